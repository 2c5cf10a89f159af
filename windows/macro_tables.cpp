#include "windows/macro_files.h"

#include <algorithm>

namespace macro {

namespace {

struct ActionRow {
    const char* name;
    ArgumentKind kind;
};

constexpr std::array<ActionRow, kActionCount> kActionRows { {
    { "Say", ArgumentKind::Text },
    { "Emote", ArgumentKind::Text },
    { "Whisper", ArgumentKind::Text },
    { "Yell", ArgumentKind::Text },
    { "Walk", ArgumentKind::Direction },
    { "War/Peace", ArgumentKind::None },
    { "Paste", ArgumentKind::None },
    { "Open", ArgumentKind::Window },
    { "Close", ArgumentKind::Window },
    { "Minimize", ArgumentKind::Window },
    { "Maximize", ArgumentKind::Window },
    { "OpenDoor", ArgumentKind::None },
    { "UseSkill", ArgumentKind::Skill },
    { "LastSkill", ArgumentKind::None },
    { "CastSpell", ArgumentKind::Spell },
    { "LastSpell", ArgumentKind::None },
    { "LastObject", ArgumentKind::None },
    { "Bow", ArgumentKind::None },
    { "Salute", ArgumentKind::None },
    { "QuitGame", ArgumentKind::None },
    { "AllNames", ArgumentKind::None },
    { "LastTarget", ArgumentKind::None },
    { "TargetSelf", ArgumentKind::None },
    { "Arm/Disarm", ArgumentKind::Hand },
    { "WaitForTarg", ArgumentKind::None },
    { "TargetNext", ArgumentKind::None },
    { "AttackLast", ArgumentKind::None },
    { "Delay", ArgumentKind::Text },
    { "CircleTrans", ArgumentKind::None },
    { "Command", ArgumentKind::None },
    { "CloseGumps", ArgumentKind::None },
    { "AlwaysRun", ArgumentKind::None },
    { "SaveDesktop", ArgumentKind::None },
    { "KillGumpOpen", ArgumentKind::None },
    { "PrimaryAbility", ArgumentKind::None },
    { "SecondaryAbility", ArgumentKind::None },
    { "EquipLastWeapon", ArgumentKind::None },
    { "SetUpdateRange", ArgumentKind::Text },
    { "ModifyUpdateRange", ArgumentKind::Text },
    { "IncreaseUpdateRange", ArgumentKind::None },
    { "DecreaseUpdateRange", ArgumentKind::None },
    { "MaxUpdateRange", ArgumentKind::None },
    { "MinUpdateRange", ArgumentKind::None },
    { "DefaultUpdateRange", ArgumentKind::None },
    { "UpdateRangeInfo", ArgumentKind::None },
    { "EnableRangeColor", ArgumentKind::None },
    { "DisableRangeColor", ArgumentKind::None },
    { "ToggleRangeColor", ArgumentKind::None },
    { "InvokeVirtue", ArgumentKind::Virtue },
} };

constexpr std::array<const char*, kWindowNameCount> kWindowNames {
    "Configuration", "Paperdoll", "Status", "Journal", "Skills", "MageSpellbook", "Chat", "Backpack", "Overview",
    "Mail", "PartyManifest", "PartyChat", "NecroSpellbook", "PaladinSpellbook", "CombatBook", "BushidoSpellbook",
    "NinjitsuSpellbook", "Guild", "SpellWeavingSpellbook", "QuestLog",
};

constexpr std::array<const char*, kDirectionCount> kDirectionNames { "NW", "N", "NE", "E", "SE", "S", "SW", "W" };

struct ScanRow {
    uint16_t virtualKey;
    const char* name;
};

// The PC keyboard's first scan-code set as the key-name service names it;
// the keypad's keys give the virtual keys of the navigation keys they share.
constexpr std::array<ScanRow, kKeyNameCount> kScanRows { {
    { 0x00, "" }, { 0x1B, "Esc" }, { 0x31, "1" }, { 0x32, "2" }, { 0x33, "3" }, { 0x34, "4" }, { 0x35, "5" },
    { 0x36, "6" }, { 0x37, "7" }, { 0x38, "8" }, { 0x39, "9" }, { 0x30, "0" }, { 0xBD, "-" }, { 0xBB, "=" },
    { 0x08, "Backspace" }, { 0x09, "Tab" }, { 0x51, "Q" }, { 0x57, "W" }, { 0x45, "E" }, { 0x52, "R" },
    { 0x54, "T" }, { 0x59, "Y" }, { 0x55, "U" }, { 0x49, "I" }, { 0x4F, "O" }, { 0x50, "P" }, { 0xDB, "[" },
    { 0xDD, "]" }, { 0x0D, "Enter" }, { 0x11, "Ctrl" }, { 0x41, "A" }, { 0x53, "S" }, { 0x44, "D" },
    { 0x46, "F" }, { 0x47, "G" }, { 0x48, "H" }, { 0x4A, "J" }, { 0x4B, "K" }, { 0x4C, "L" }, { 0xBA, ";" },
    { 0xDE, "'" }, { 0xC0, "`" }, { 0x10, "Shift" }, { 0xDC, "\\" }, { 0x5A, "Z" }, { 0x58, "X" },
    { 0x43, "C" }, { 0x56, "V" }, { 0x42, "B" }, { 0x4E, "N" }, { 0x4D, "M" }, { 0xBC, "," }, { 0xBE, "." },
    { 0xBF, "/" }, { 0x10, "Right Shift" }, { 0x6A, "Num *" }, { 0x12, "Alt" }, { 0x20, "Space" },
    { 0x14, "Caps Lock" }, { 0x70, "F1" }, { 0x71, "F2" }, { 0x72, "F3" }, { 0x73, "F4" }, { 0x74, "F5" },
    { 0x75, "F6" }, { 0x76, "F7" }, { 0x77, "F8" }, { 0x78, "F9" }, { 0x79, "F10" }, { 0x90, "Num Lock" },
    { 0x91, "Scroll Lock" }, { 0x24, "Num 7" }, { 0x26, "Num 8" }, { 0x21, "Num 9" }, { 0x6D, "Num -" },
    { 0x25, "Num 4" }, { 0x0C, "Num 5" }, { 0x27, "Num 6" }, { 0x6B, "Num +" }, { 0x23, "Num 1" },
    { 0x28, "Num 2" }, { 0x22, "Num 3" }, { 0x2D, "Num 0" }, { 0x2E, "Num Del" }, { 0x2C, "Sys Req" },
    { 0x00, "" }, { 0xE2, "\\" }, { 0x7A, "F11" }, { 0x7B, "F12" },
} };

} // namespace

std::string_view actionName(int32_t action)
{
    return action >= 1 && action <= kActionCount ? kActionRows[size_t(action - 1)].name : std::string_view {};
}

ArgumentKind argumentKind(int32_t action)
{
    return action >= 1 && action <= kActionCount ? kActionRows[size_t(action - 1)].kind : ArgumentKind::None;
}

std::string_view windowName(int32_t index)
{
    return index >= 0 && index < kWindowNameCount ? kWindowNames[size_t(index)] : std::string_view {};
}

std::string_view directionName(int32_t index)
{
    return index >= 0 && index < kDirectionCount ? kDirectionNames[size_t(index)] : std::string_view {};
}

std::string_view virtueName(int32_t virtue)
{
    switch (virtue) {
    case 2:
        return "Sacrifice";
    case 3:
        return "Valor";
    default:
        return "Honor";
    }
}

uint16_t virtualKeyForScanCode(int32_t scanCode)
{
    return scanCode >= 0 && scanCode < kKeyNameCount ? kScanRows[size_t(scanCode)].virtualKey : 0;
}

std::string_view keyNameForScanCode(int32_t scanCode)
{
    return scanCode >= 0 && scanCode < kKeyNameCount ? kScanRows[size_t(scanCode)].name : std::string_view {};
}

int32_t scanCodeForVirtualKey(uint16_t virtualKey)
{
    if (virtualKey == 0)
        return -1;
    const auto found = std::find_if(
        kScanRows.begin(), kScanRows.end(), [virtualKey](const ScanRow& row) { return row.virtualKey == virtualKey; });
    return found == kScanRows.end() ? -1 : int32_t(found - kScanRows.begin());
}

} // namespace macro
