// Writing the desktop file: the open windows from the top of the desktop
// down, the main window, the containers on the character parents first, and
// the records kept for windows this client does not show.
#include "gump/desktop_file.h"

#include "data/client_services.h"
#include "data/config_key_rules.h"
#include "data/managed_files.h"
#include "data/settings_registry.h"
#include "gump/desktop_services.h"
#include "gump/desktop_session.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "net/game_connection.h"
#include "platform/file_system.h"
#include "world/mobile.h"
#include "world/multi_cache.h"
#include "world/object_manager.h"

#include <algorithm>
#include <set>

namespace {

namespace Type = DesktopRecordType;

// Deeper nesting than this is no real character's.
constexpr int32_t kMaxContainerDepth = 64;
constexpr int32_t kLargeRadarSize = 100;

bool isPlayersOwn(const CGump& gump)
{
    const PlayerMobile* self = player();
    return self && gump.owner() == static_cast<const WorldObject*>(self);
}

DesktopEntry placed(uint8_t type, const CGump& gump)
{
    DesktopEntry entry;
    entry.type = type;
    entry.x = gump.x();
    entry.y = gump.y();
    entry.minimised = gump.isMinimised() ? 1 : 0;
    return entry;
}

DesktopEntry sized(uint8_t type, const CGump& gump)
{
    DesktopEntry entry = placed(type, gump);
    entry.width = gump.width();
    entry.height = gump.height();
    return entry;
}

// The number of container links from the object up to the player, or -1
// when it does not lie inside the player.
int32_t depthInPlayer(WorldObject* object)
{
    GumpWorld& world = service<GumpWorld>();
    for (int32_t depth = 1; object && depth <= kMaxContainerDepth; ++depth) {
        WorldObject* parent = world.parentObject(object);
        if (parent && world.isPlayer(parent))
            return depth;
        object = parent;
    }
    return -1;
}

// What the walk of the open windows found, to leave out the kept records
// that live windows now describe.
struct Written {
    std::vector<DesktopRecord> records;
    std::set<uint8_t> types;
    std::set<uint32_t> containerSerials;
    CGump* chatWindow = nullptr;

    void add(const DesktopEntry& entry)
    {
        records.push_back(encodeDesktopRecord(entry));
        types.insert(entry.type);
        if (entry.type == Type::kContainer || entry.type == Type::kSpellbook)
            containerSerials.insert(entry.serial);
    }
};

// The first rule a top-level window meets gives its record.
void describeWindow(CGump& gump, Written& written)
{
    DesktopWindows& windows = service<DesktopWindows>();
    uint32_t number = 0;
    if (gump.is(GumpKind::Paperdoll) && isPlayersOwn(gump)) {
        written.add(placed(Type::kPaperdoll, gump));
    } else if (gump.is(GumpKind::StatusGump) && isPlayersOwn(gump)) {
        written.add(placed(Type::kStatusBar, gump));
    } else if (gump.is(GumpKind::TextWindow)) {
        written.add(sized(Type::kTextWindow, gump));
    } else if (gump.is(GumpKind::SpellIcon) || gump.is(GumpKind::AbilityIcon) || gump.is(GumpKind::SkillIcon)) {
        if (!windows.iconNumber(&gump, number))
            return;
        DesktopEntry entry = placed(gump.is(GumpKind::SpellIcon)
                ? Type::kSpellIcon
                : (gump.is(GumpKind::AbilityIcon) ? Type::kAbilityIcon : Type::kSkillIcon),
            gump);
        entry.number = number;
        written.add(entry);
    } else if (gump.is(GumpKind::SkillGump)) {
        written.add(sized(Type::kSkillWindow, gump));
    } else if (gump.is(GumpKind::OptionsGump)) {
        written.add(placed(Type::kOptions, gump));
    } else if (gump.is(GumpKind::FightingStyle)) {
        written.add(placed(Type::kFightingStyle, gump));
    } else if (gump.is(GumpKind::GmChatWindow) || gump.is(GumpKind::MessengerWebPage)
        || gump.is(GumpKind::MessengerList)) {
        // Of the messenger's windows only the web page and "Messages" windows
        // are kept; the others belong to them or answer one question.
        DesktopEntry entry = sized(gump.is(GumpKind::GmChatWindow)
                ? Type::kGmChat
                : (gump.is(GumpKind::MessengerWebPage) ? Type::kWebPage : Type::kMessageList),
            gump);
        entry.open = 1;
        written.add(entry);
    } else if (gump.is(GumpKind::ChatWindow)) {
        written.chatWindow = &gump;
    } else if (gump.is(GumpKind::Radar)) {
        DesktopEntry entry = placed(Type::kRadar, gump);
        entry.minimised = 0;
        // 1 for the small face, art 5010 (a picture no wider than 100).
        entry.number = service<FactoryWindows>().radarSizeValue(&gump) > kLargeRadarSize ? 0 : 1;
        written.add(entry);
    }
}

// Containers and spellbooks on the character at `depth`; with `first`
// also the ability book and the item-property windows. True when a
// container was written.
bool describeContainers(int32_t depth, bool first, Written& written)
{
    GumpWorld& world = service<GumpWorld>();
    bool wroteContainer = false;
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        const bool isBook = gump->is(GumpKind::Spellbook) && !gump->is(GumpKind::AbilityBook);
        if ((gump->is(GumpKind::ContainerGump) || isBook) && depthInPlayer(gump->owner()) == depth) {
            DesktopEntry entry = placed(isBook ? Type::kSpellbook : Type::kContainer, *gump);
            entry.serial = world.serialOf(gump->owner());
            if (isBook) {
                entry.x = std::max(entry.x, 0);
                entry.y = std::max(entry.y, 0);
                entry.page = uint8_t(gump->currentPage());
            } else {
                wroteContainer = true;
            }
            written.add(entry);
        } else if (first && gump->is(GumpKind::AbilityBook)) {
            DesktopEntry entry = placed(Type::kAbilityBook, *gump);
            entry.x = std::max(entry.x, 0);
            entry.y = std::max(entry.y, 0);
            entry.page = uint8_t(gump->currentPage());
            written.add(entry);
        } else if (first && gump->is(GumpKind::ItemProperties)) {
            DesktopEntry entry = placed(Type::kItemProperties, *gump);
            entry.x = std::max(entry.x, 0);
            entry.y = std::max(entry.y, 0);
            written.add(entry);
        }
    }
    return wroteContainer;
}

bool isContainerRecord(uint8_t type)
{
    return type == Type::kContainer || type == Type::kSizedContainer || type == Type::kSpellbook;
}

bool isWindowGeometry(uint8_t type) { return type == Type::kWindowGeometry || type == Type::kOldWindowGeometry; }

// A kept record that a live window of the walk now describes is left out:
// the singletons by type, containers by serial.
bool isSuperseded(const DesktopRecord& record, const Written& written)
{
    switch (record.type) {
    case Type::kOldSpellIcon:
    case Type::kSkillIcon:
    case Type::kAbilityIcon:
    case Type::kSpellIcon:
        return false;
    case Type::kContainer:
    case Type::kSizedContainer:
    case Type::kSpellbook: {
        DesktopEntry entry;
        return decodeDesktopRecord(record, entry) && written.containerSerials.count(entry.serial) != 0;
    }
    case Type::kOldWindowGeometry:
        return written.types.count(Type::kWindowGeometry) != 0;
    default:
        return written.types.count(record.type) != 0;
    }
}

void appendKept(Written& written, const std::vector<DesktopRecord>& kept, bool (*wanted)(uint8_t))
{
    const Written before = written;
    for (const DesktopRecord& record : kept) {
        if (wanted(record.type) && !isSuperseded(record, before))
            written.records.push_back(record);
    }
}

// The folder of a per-character file, made under the client directory.
bool makeFolderOf(const std::string& name)
{
    std::string path = desktopClientPath(name);
    std::string folder = platform::parentDirectory(path);
    bool made = platform::makeDirectories(folder);
    platform::forgetDirectoryCache();
    if (!made)
        reportSaveFailure(name);
    return made;
}

} // namespace

std::vector<uint8_t> desktopLayoutBytes()
{
    const std::vector<DesktopRecord> kept = desktopKeptRecords();
    Written written;
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next())
        describeWindow(*gump, written);
    appendKept(written, kept, [](uint8_t type) {
        return !isContainerRecord(type) && !isWindowGeometry(type) && type != Type::kChat
            && type != Type::kAbilityBook && type != Type::kItemProperties && type != Type::kHelpPopup;
    });

    DesktopChatLayout chat;
    if (service<DesktopWindows>().chatLayout(written.chatWindow, chat)) {
        DesktopEntry entry;
        entry.type = Type::kChat;
        entry.x = chat.x;
        entry.y = chat.y;
        entry.width = chat.width;
        entry.height = chat.height;
        entry.layoutA = chat.layoutA;
        entry.layoutB = chat.layoutB;
        entry.minimised = chat.minimised;
        entry.open = written.chatWindow ? 1 : 0;
        written.add(entry);
    } else {
        appendKept(written, kept, [](uint8_t type) { return type == Type::kChat; });
    }

    DesktopWindowGeometry geometry;
    if (service<DesktopShell>().windowGeometry(geometry)) {
        DesktopEntry entry;
        entry.type = Type::kWindowGeometry;
        entry.x = geometry.viewX;
        entry.y = geometry.viewY;
        entry.windowLeft = geometry.left;
        entry.windowTop = geometry.top;
        entry.width = geometry.screenWidth;
        entry.height = geometry.screenHeight;
        entry.maximised = geometry.maximised ? 1 : 0;
        written.add(entry);
    } else {
        appendKept(written, kept, isWindowGeometry);
    }

    // Parents are written, and so later reopened, before their contents.
    for (int32_t depth = 1; depth <= kMaxContainerDepth; ++depth) {
        if (!describeContainers(depth, depth == 1, written))
            break;
    }
    appendKept(written, kept, [](uint8_t type) {
        return isContainerRecord(type) || type == Type::kAbilityBook || type == Type::kItemProperties;
    });

    const DesktopSession& session = desktopSession();
    if (session.hasHelpPopupPosition) {
        DesktopEntry entry;
        entry.type = Type::kHelpPopup;
        entry.x = session.helpPopupX;
        entry.y = session.helpPopupY;
        written.add(entry);
    }
    return joinDesktopFile(playerSerial(), written.records);
}

bool desktopWrite()
{
    if (!isGameConnected() || !gameState().isInGame())
        return false;
    service<DesktopWindows>().saveWindowData();
    saveSettings();

    std::string target;
    if (std::optional<std::string> own = desktopCharacterFile())
        target = *own;
    else
        target = desktopSlotFileName(configValues().defaultCharacterSlot);
    if (target.empty())
        return false;
    std::optional<std::string> cache = desktopMultiCacheFile();

    const std::vector<uint8_t> bytes = desktopLayoutBytes();
    const std::string content(bytes.begin(), bytes.end());
    if (!writeManagedFile(target, content)) {
        // A character's first layout: its folders are made first. A folder
        // that cannot be made, or a file that cannot be written, is reported
        // and the game goes on without saving the layout.
        if (!makeFolderOf(target))
            return false;
        if (!saveManagedFile(target, content))
            return false;
    }
    if (cache)
        multiCache().save(*cache);
    return true;
}
