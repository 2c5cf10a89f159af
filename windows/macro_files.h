#pragma once
// The player's macros: a key with Ctrl, Alt and Shift bound to at most ten
// actions (speak, walk, open a window, use a skill, cast a spell, target...).
// They are kept per character in the text file "macros.txt"; the key names
// the file uses are those of "keynames.txt", one line per keyboard scan code
// 0..88. The reader, parser, formatter and writer live here; running the
// macros is windows/macro_runner.h, editing them the options window's macro
// page. Main thread only.
//
// The file is a text file with CR LF line ends. A macro is a key line
// ("<key name> <ctrl> <alt> <shift>"), one line per action and "########".
// The writer stores each action as '+' and its UTF-16 units (little-endian);
// like every text line, a line-feed byte inside a unit is stored as CR LF, so
// a character whose low or high byte is 0x0A or 0x0D (U+xx0A, U+xx0D,
// U+0A00-0AFF, U+0D00-0DFF) cuts its line short when read back. That is the
// format the stored files have; it is read the same way.

#include "core/installed_service.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace macro {

inline constexpr int32_t kMaxActions = 10;
inline constexpr int32_t kActionCount = 49;
inline constexpr int32_t kKeyNameCount = 89;
inline constexpr int32_t kWindowNameCount = 20;
inline constexpr int32_t kDirectionCount = 8;
inline constexpr const char* kMacrosFile = "macros.txt";
inline constexpr const char* kKeyNamesFile = "keynames.txt";
inline constexpr const char* kEndLine = "########";

// The action numbers (their place in the action name table, from 1).
enum Action : int32_t {
    kNone = 0,
    kSay = 1,
    kEmote,
    kWhisper,
    kYell,
    kWalk,
    kWarPeace,
    kPaste,
    kOpen,
    kClose,
    kMinimize,
    kMaximize,
    kOpenDoor,
    kUseSkill,
    kLastSkill,
    kCastSpell,
    kLastSpell,
    kLastObject,
    kBow,
    kSalute,
    kQuitGame,
    kAllNames,
    kLastTarget,
    kTargetSelf,
    kArmDisarm,
    kWaitForTarg,
    kTargetNext,
    kAttackLast,
    kDelay,
    kCircleTrans,
    kCommand,
    kCloseGumps,
    kAlwaysRun,
    kSaveDesktop,
    kKillGumpOpen,
    kPrimaryAbility,
    kSecondaryAbility,
    kEquipLastWeapon,
    kSetUpdateRange,
    kModifyUpdateRange,
    kIncreaseUpdateRange,
    kDecreaseUpdateRange,
    kMaxUpdateRange,
    kMinUpdateRange,
    kDefaultUpdateRange,
    kUpdateRangeInfo,
    kEnableRangeColor,
    kDisableRangeColor,
    kToggleRangeColor,
    kInvokeVirtue,
};

// The window names of Open, Close, Minimize and Maximize (the argument).
enum WindowName : int32_t {
    kConfiguration = 0,
    kPaperdoll,
    kStatus,
    kJournal,
    kSkills,
    kMageSpellbook,
    kChat,
    kBackpack,
    kOverview,
    kMail,
    kPartyManifest,
    kPartyChat,
    kNecroSpellbook,
    kPaladinSpellbook,
    kCombatBook,
    kBushidoSpellbook,
    kNinjitsuSpellbook,
    kGuild,
    kSpellWeavingSpellbook,
    kQuestLog,
};

// What an action's argument is.
enum class ArgumentKind : uint8_t { None, Text, Direction, Window, Skill, Spell, Hand, Virtue };

inline constexpr int32_t kLeftHand = 1;
inline constexpr int32_t kRightHand = 2;

// The tables: an empty view (or None) outside their ranges.
std::string_view actionName(int32_t action);
ArgumentKind argumentKind(int32_t action);
std::string_view windowName(int32_t index);
std::string_view directionName(int32_t index);
std::string_view virtueName(int32_t virtue);

// The keyboard's scan codes 0..88 (the PC's first set): the virtual key of
// each and its name as the key-name service gives it.
uint16_t virtualKeyForScanCode(int32_t scanCode);
std::string_view keyNameForScanCode(int32_t scanCode);
// The first scan code whose key gives the virtual key; -1 for none.
int32_t scanCodeForVirtualKey(uint16_t virtualKey);

// The spell names the CastSpell argument is read and written with; the spell
// table answers them. Until one is installed no spell is known, and a
// CastSpell line keeps the name it was read with.
class SpellNames {
public:
    virtual ~SpellNames() = default;
    virtual int32_t spellCount() { return 0; }
    virtual int32_t spellIdByIndex(int32_t) { return 0; }
    // "Bad Spell" for an id not in the table.
    virtual std::string spellName(int32_t) { return "Bad Spell"; }
};

struct MacroAction {
    int32_t action = kNone;
    // Direction, window, skill, spell id, hand or virtue, as the kind says.
    int32_t argument = 0;
    // The text of the text actions. For CastSpell while no spell table
    // answers, the spell's name as read, so that writing the file back does
    // not lose it.
    std::u16string text;
};

struct MacroRecord {
    uint32_t virtualKey = 0;
    // The scan code shifted left by 16.
    uint32_t keyData = 0;
    bool control = false;
    bool alt = false;
    bool shift = false;
    int32_t count = 0;
    std::array<MacroAction, kMaxActions> actions {};

    int32_t scanCode() const { return int32_t((keyData >> 16) & 0xFF); }
};

// The key names read from "keynames.txt": entry n names scan code n; an
// entry the file did not give is absent.
using KeyNameTable = std::array<std::optional<std::string>, kKeyNameCount>;

// One action line (the bytes of the line, without its line end) into
// `slot`; false (and the slot cleared) for an unknown action name.
bool parseMacroAction(std::string_view line, MacroAction& slot);
// The line's text (without the '+' and the line end) for one action.
std::u16string formatMacroAction(const MacroAction& action);

// The macros of a file's bytes, as the reader finds them with `keyNames`.
std::vector<MacroRecord> parseMacroFile(const std::string& bytes, const KeyNameTable& keyNames);
// The bytes the writer stores for a macro list (CR LF line ends).
std::string formatMacroFile(const std::vector<MacroRecord>& macros);
// The key names of a "keynames.txt" file's bytes (89 lines at most).
KeyNameTable parseKeyNames(const std::string& bytes);

// The process-wide list. `generation` changes on every load or edit, so that
// a running macro can tell that its record is gone.
struct MacroList {
    std::vector<MacroRecord> macros;
    KeyNameTable keyNames {};
    uint32_t generation = 0;

    void replace(std::vector<MacroRecord> list)
    {
        macros = std::move(list);
        ++generation;
    }
};
MacroList& macroList();

// Where the character's macros are kept: "Desktop/common/macros.txt" while
// settings are stored on the server, else the character's own folder, once a
// character is chosen; "macros.txt" before.
std::string macrosPath();
// Reads the key names and the macro list (the skill names first, when any
// are loaded, so that UseSkill arguments match); the character's file, or
// "macros.txt" when that cannot be read.
void loadMacros();
// Writes the list to the character's file (to "macros.txt" when that cannot
// be written); a failure everywhere is told to the player and play goes on.
bool saveMacros();
// Whether "keynames.txt" gave any key name (without them no macro is read).
bool keyNamesLoaded();
void freeMacros();

} // namespace macro

template <>
struct ServiceFallback<macro::SpellNames> {
    using Type = macro::SpellNames;
};
