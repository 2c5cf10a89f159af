// Reading the desktop file: choosing it on entering the world, restoring
// each record, and the deferred reopening of the stored containers.
#include "gump/desktop_file.h"

#include "data/client_file_path.h"
#include "data/client_services.h"
#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "data/managed_files.h"
#include "data/player_lists.h"
#include "data/server_config_store.h"
#include "data/settings_registry.h"
#include "data/settings_services.h"
#include "gump/desktop_services.h"
#include "gump/desktop_session.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "platform/clock.h"
#include "world/item.h"
#include "world/mobile.h"
#include "world/multi_cache.h"
#include "world/object_manager.h"

#include <algorithm>

namespace {

namespace Type = DesktopRecordType;

constexpr uint32_t kPaperdollRequestBit = 0x80000000;
constexpr int32_t kSlotCount = 6;

void sendDesktopUseRequest(uint32_t serial)
{
    PacketStorage<16> packet;
    if (buildUseObjectPacket(packet, serial))
        sendPacket(packet);
}

void sendDesktopStatusRequest(uint8_t type, uint32_t serial)
{
    PacketStorage<16> packet;
    if (buildStatusRequestPacket(packet, type, serial))
        sendPacket(packet);
}

uint32_t backpackSerial()
{
    const PlayerMobile* self = player();
    const Item* pack = self ? self->layerItem(Mobile::kBackpackLayer) : nullptr;
    return pack ? pack->serial : 0;
}

// A window the file opens through the factory, placed as the record says.
CGump* openByKind(int32_t kind) { return gumpOpenByKind(nullptr, kind, nullptr, false, false); }

void addPending(DesktopSession& session, const DesktopEntry& entry, uint32_t serial, int32_t keptIndex)
{
    DesktopPendingSlot slot;
    slot.entry.type = entry.type;
    slot.entry.serial = serial;
    slot.entry.minimised = entry.minimised;
    slot.entry.page = entry.page;
    slot.entry.width = uint16_t(entry.width);
    slot.entry.height = uint16_t(entry.height);
    slot.entry.x = entry.x;
    slot.entry.y = entry.y;
    slot.keptIndex = keptIndex;
    session.pending.push_back(slot);
}

void addToReopenList(DesktopSession& session, uint32_t serial)
{
    if (isPlayerDead())
        return;
    session.reopenList.push_back(serial);
    session.reopenFinished = false;
    session.backpackReopened = false;
}

// The status bar, text, options, radar and ability-book windows.
bool restoreStatusBar(DesktopSession& session, const DesktopEntry& entry)
{
    CGump* bar = service<FactoryWindows>().createStatusBar(player(), true);
    if (!bar)
        return false;
    gumpLink(bar, nullptr);
    if (entry.minimised == 1)
        bar->minimize();
    bar->setLocation(entry.x, entry.y);
    sendDesktopStatusRequest(kStatusBarRequest, playerSerial());
    session.login.restoredStatusBar = GumpHandle(bar);
    return true;
}

bool restoreTextWindow(const DesktopEntry& entry)
{
    CGump* window = openByKind(gump_kind::kTextWindow);
    if (!window)
        return false;
    window->resize(entry.width, entry.height, false);
    if (entry.minimised == 1)
        window->minimize();
    window->setLocation(entry.x, entry.y);
    return true;
}

bool restorePlaced(int32_t kind, const DesktopEntry& entry, bool canMinimise)
{
    CGump* window = openByKind(kind);
    if (!window)
        return false;
    if (canMinimise && entry.minimised == 1)
        window->minimize();
    window->setLocation(entry.x, entry.y);
    return true;
}

bool restoreAbilityBook(const DesktopEntry& entry)
{
    CGump* book = openByKind(gump_kind::kAbilityBook);
    if (!book)
        return false;
    if (!book->is(GumpKind::AbilityBook))
        return true;
    if (entry.minimised == 1)
        book->minimize();
    book->setLocation(int16_t(entry.x), int16_t(entry.y));
    book->setCurrentPage(entry.page);
    book->clampToScreen();
    book->kindAction();
    return true;
}

bool restoreItemProperties(const DesktopEntry& entry)
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::ItemProperties)) {
            gump->setLocation(int16_t(entry.x), int16_t(entry.y));
            return true;
        }
    }
    return service<DesktopWindows>().restoreItemPropertyAnchor(entry.x, entry.y);
}

DesktopWindowGeometry geometryOf(const DesktopEntry& entry)
{
    DesktopWindowGeometry geometry;
    geometry.viewX = entry.x;
    geometry.viewY = entry.y;
    geometry.left = entry.windowLeft;
    geometry.top = entry.windowTop;
    geometry.screenWidth = entry.width;
    geometry.screenHeight = entry.height;
    geometry.maximised = entry.maximised == 1;
    return geometry;
}

enum class Applied {
    Taken,
    Kept,
    // Kept, and waiting for a window the server opens.
    Pending,
    Dropped,
    Stop,
};

Applied applyRecord(DesktopSession& session, DesktopRecord& record, DesktopEntry& entry, uint32_t& pendingSerial)
{
    DesktopWindows& windows = service<DesktopWindows>();
    auto taken = [](bool done) { return done ? Applied::Taken : Applied::Kept; };
    // Past the pending table's size, records of the windows the server
    // opens are read and kept, and nothing is asked for them.
    const bool waitsForServer = entry.type == Type::kPaperdoll || entry.type == Type::kContainer
        || entry.type == Type::kSkillWindow || entry.type == Type::kSpellbook || entry.type == Type::kSizedContainer;
    if (waitsForServer && session.pending.size() >= kMaxDesktopPending)
        return Applied::Kept;
    switch (entry.type) {
    case Type::kPaperdoll:
        pendingSerial = playerSerial();
        sendDesktopUseRequest(playerSerial() | kPaperdollRequestBit);
        return Applied::Pending;
    case Type::kStatusBar:
        return taken(restoreStatusBar(session, entry));
    case Type::kTextWindow:
        return taken(restoreTextWindow(entry));
    case Type::kContainer:
    case Type::kSizedContainer:
        if (session.login.firstTimeLayout) {
            // A first-time layout puts its containers on the player's own
            // backpack; without one there is nothing to put them on.
            uint32_t pack = backpackSerial();
            if (pack == 0)
                return Applied::Stop;
            entry.serial = pack;
            record = encodeDesktopRecord(entry);
        }
        pendingSerial = entry.serial;
        addToReopenList(session, entry.serial);
        return Applied::Pending;
    case Type::kSkillWindow:
        sendDesktopStatusRequest(kSkillsRequest, playerSerial());
        windows.skillWindowRequested();
        return Applied::Pending;
    case Type::kSpellbook:
        entry.x = int16_t(entry.x);
        entry.y = int16_t(entry.y);
        pendingSerial = entry.serial;
        addToReopenList(session, entry.serial);
        return Applied::Pending;
    case Type::kOptions:
        return taken(restorePlaced(gump_kind::kOptions, entry, true));
    case Type::kFightingStyle:
        return taken(windows.restoreFightingStyle(entry.x, entry.y, entry.minimised == 1));
    case Type::kOldSpellIcon:
        return taken(windows.restoreIcon(DesktopIcon::Spell, entry.number + 1, entry.x, entry.y));
    case Type::kSkillIcon:
        return taken(windows.restoreIcon(DesktopIcon::Skill, entry.number, entry.x, entry.y));
    case Type::kAbilityIcon:
        return taken(windows.restoreIcon(DesktopIcon::Ability, entry.number, entry.x, entry.y));
    case Type::kSpellIcon:
        return taken(windows.restoreIcon(DesktopIcon::Spell, entry.number, entry.x, entry.y));
    case Type::kHelpPopup:
        setDesktopHelpPopupPosition(entry.x, entry.y);
        return Applied::Taken;
    case Type::kChat: {
        DesktopChatLayout layout { entry.x, entry.y, entry.width, entry.height, entry.layoutA, entry.layoutB,
            entry.minimised, entry.open != 0 };
        return taken(windows.restoreChatLayout(layout));
    }
    case Type::kOldWindowGeometry:
    case Type::kWindowGeometry:
        if (!service<DesktopShell>().applyWindowGeometry(geometryOf(entry)))
            return Applied::Kept;
        session.windowRecordMissing = false;
        return Applied::Taken;
    case Type::kGmChat:
    case Type::kWebPage:
    case Type::kMessageList: {
        DesktopWindowRect rect { entry.x, entry.y, entry.width, entry.height, entry.minimised, entry.open != 0 };
        return taken(windows.restoreMessengerWindow(entry.type, rect));
    }
    case Type::kRadar: {
        CGump* radar = openByKind(entry.number == 1 ? gump_kind::kRadarSmall : gump_kind::kRadarLarge);
        if (!radar)
            return Applied::Kept;
        radar->setLocation(entry.x, entry.y);
        session.login.restoredRadar = GumpHandle(radar);
        return Applied::Taken;
    }
    case Type::kSkipped:
        return Applied::Dropped;
    case Type::kAbilityBook:
        return taken(restoreAbilityBook(entry));
    case Type::kItemProperties:
        return taken(restoreItemProperties(entry));
    default:
        return Applied::Stop;
    }
}

} // namespace

// ---- Session state ----------------------------------------------------------

DesktopSession& desktopSession()
{
    static DesktopSession session;
    return session;
}

int32_t DesktopSession::keep(const DesktopRecord& record)
{
    kept.push_back({ record, true });
    return int32_t(kept.size()) - 1;
}

void DesktopSession::release(int32_t index)
{
    if (index >= 0 && size_t(index) < kept.size())
        kept[size_t(index)].kept = false;
}

std::string desktopSlotFileName(int32_t slot)
{
    if (slot < 0 || slot >= kSlotCount)
        return {};
    return "desktop.vo" + std::to_string(slot + 1);
}

std::string desktopClientPath(const std::string& name) { return clientFilePath(name); }

std::optional<std::string> desktopCharacterFile()
{
    ConfigFiles& files = configFiles();
    if (files.shardName().empty() || files.characterName().empty())
        return std::nullopt;
    if (serverConfigStore().isEnabled())
        return std::string(kSharedDesktopFile);
    // Every part of the path is made safe: the shard's name comes from the
    // server.
    return files.perCharacterPath(kDesktopFileName);
}

std::optional<std::string> desktopMultiCacheFile()
{
    std::optional<std::string> name = configFiles().perCharacterPath("Multicache.dat");
    if (!name)
        return std::nullopt;
    return desktopClientPath(*name);
}

void desktopReset() { desktopSession() = DesktopSession {}; }

DesktopLoginFlags& desktopLoginFlags() { return desktopSession().login; }
bool desktopRestorePending() { return desktopSession().restorePending; }
bool desktopWindowRecordMissing() { return desktopSession().windowRecordMissing; }
const std::vector<uint32_t>& desktopReopenList() { return desktopSession().reopenList; }
bool desktopReopenFinished() { return desktopSession().reopenFinished; }
bool desktopBackpackReopened() { return desktopSession().backpackReopened; }

const std::vector<DesktopPendingEntry>& desktopPendingEntries()
{
    static std::vector<DesktopPendingEntry> entries;
    entries.clear();
    for (const DesktopPendingSlot& slot : desktopSession().pending)
        entries.push_back(slot.entry);
    return entries;
}

void desktopHelpPopupPosition(int32_t& x, int32_t& y)
{
    x = desktopSession().helpPopupX;
    y = desktopSession().helpPopupY;
}

void setDesktopHelpPopupPosition(int32_t x, int32_t y)
{
    DesktopSession& session = desktopSession();
    session.hasHelpPopupPosition = true;
    session.helpPopupX = x;
    session.helpPopupY = y;
}

std::vector<DesktopRecord> desktopKeptRecords()
{
    std::vector<DesktopRecord> records;
    for (const DesktopKeptRecord& kept : desktopSession().kept) {
        if (kept.kept)
            records.push_back(kept.record);
    }
    return records;
}

// ---- Opening and reading ----------------------------------------------------

void desktopOpen()
{
    // A new login starts from nothing: the pending entries, reopen list and
    // kept records of an earlier session (perhaps another character's) must
    // neither place this one's windows nor be written into its file.
    desktopReset();
    DesktopSession& session = desktopSession();
    session.lastReopenAt = platform::clock().tickMs();
    session.windowRecordMissing = true;

    // What is kept per character beside the layout.
    service<DesktopWindows>().loadWindowData();
    service<SkillGroups>().loadSkillGroups();
    loadCharacterData();
    if (std::optional<std::string> cache = desktopMultiCacheFile())
        multiCache().load(*cache);
    ConfigFiles& files = configFiles();
    if (files.forgetAccountPassword()) {
        setConfigValueGlobal(ConfigKeyKind::RememberAcctPW, "no");
        setConfigValueGlobal(ConfigKeyKind::AcctPassword, "");
        setConfigValueGlobal(ConfigKeyKind::NumPassTries, "-1");
    }

    std::string bytes;
    bool opened = false;
    if (std::optional<std::string> own = desktopCharacterFile())
        opened = readManagedFile(*own, bytes, kMaxDesktopFileBytes);
    if (!opened) {
        std::string slot = desktopSlotFileName(configValues().defaultCharacterSlot);
        opened = !slot.empty() && readManagedFile(slot, bytes, kMaxDesktopFileBytes);
    }

    const ServerConfigStore& store = serverConfigStore();
    DesktopLoginFlags& login = session.login;
    if (opened && (!store.isEnabled() || store.syncFlag() == 0)) {
        login = DesktopLoginFlags {};
    } else {
        if (!opened)
            opened = readManagedFile(kFirstTimeDesktopFile, bytes, kMaxDesktopFileBytes);
        login.firstTimeLayout = true;
        login.dockFirstPaperdoll = true;
        login.restoredRadar = GumpHandle();
        login.restoredStatusBar = GumpHandle();
        settings().setBoolSetting(u"NewbieDesktop", 1);
        if (settings().getBoolSetting(u"FullScreen") != 0)
            displaySettings().setDisplayMode(false);
    }
    if (opened)
        desktopRead({ reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size() });
}

bool desktopRead(std::span<const uint8_t> bytes)
{
    DesktopSession& session = desktopSession();
    DesktopFileImage image;
    if (!splitDesktopFile(bytes, image))
        return false;
    if (image.playerSerial != playerSerial() && !session.login.firstTimeLayout)
        return false;
    session.restorePending = true;
    session.pending.clear();
    session.kept.clear();
    for (DesktopRecord& record : image.records) {
        DesktopEntry entry;
        if (!decodeDesktopRecord(record, entry))
            break;
        uint32_t pendingSerial = 0;
        Applied applied = applyRecord(session, record, entry, pendingSerial);
        if (applied == Applied::Stop)
            break;
        if (applied == Applied::Kept)
            session.keep(record);
        else if (applied == Applied::Pending)
            addPending(session, entry, pendingSerial, session.keep(record));
    }
    if (session.pending.empty())
        session.restorePending = false;
    return true;
}

// ---- Windows the server opens -----------------------------------------------

void desktopReopenPending()
{
    DesktopSession& session = desktopSession();
    const uint32_t now = platform::clock().tickMs();
    if (now - session.lastReopenAt < kDesktopReopenIntervalMs)
        return;
    session.lastReopenAt = now;
    if (!gameState().isInGame()) {
        session.reopenList.clear();
        session.reopenFinished = true;
        return;
    }
    if (session.reopenList.empty())
        return;
    const uint32_t serial = session.reopenList.front();
    const Item* item = findItemBySerial(serial);
    const PlayerMobile* self = player();
    if (!item || !self || !item->isInside(*self)) {
        // Gone, or no longer carried: not asked for, and not kept either.
        session.reopenList.erase(session.reopenList.begin());
        for (DesktopPendingSlot& slot : session.pending) {
            if (slot.entry.serial == serial && slot.entry.type != Type::kPaperdoll)
                session.release(slot.keptIndex);
        }
        return;
    }
    // The serial stays listed until the server opens it: the request repeats.
    sendDesktopUseRequest(serial);
}

void desktopOnContainerOpened(uint32_t serial, CGump* containerGump, CGump* spellbookGump)
{
    DesktopSession& session = desktopSession();
    if (serial != 0 && serial == backpackSerial())
        session.backpackReopened = true;
    auto listed = std::find(session.reopenList.begin(), session.reopenList.end(), serial);
    if (listed == session.reopenList.end())
        return;
    session.reopenList.erase(listed);
    if (session.reopenList.empty())
        session.reopenFinished = true;

    CGump* window = isValidGump(spellbookGump) ? spellbookGump : isValidGump(containerGump) ? containerGump : nullptr;
    if (!window)
        return;
    const bool isBook = window == spellbookGump;
    for (DesktopPendingSlot& slot : session.pending) {
        const DesktopPendingEntry& entry = slot.entry;
        if (entry.serial != serial || entry.type == Type::kPaperdoll || (entry.type == Type::kSpellbook) != isBook)
            continue;
        // The file keeps where a window was shown, minimised or not.
        if (entry.minimised == 1 && !window->isMinimised())
            window->minimize();
        window->setLocation(entry.x, entry.y);
        if (isBook)
            window->setCurrentPage(entry.page);
        session.release(slot.keptIndex);
    }
    if (!isBook && session.login.firstTimeLayout)
        window->placeOutsideGameArea();
    window->clampToScreen();
}

void desktopPendingClear()
{
    DesktopSession& session = desktopSession();
    session.reopenList.clear();
    session.reopenFinished = true;
}

std::optional<DesktopPendingEntry> desktopTakePending(uint8_t type, uint32_t serial)
{
    DesktopSession& session = desktopSession();
    for (auto it = session.pending.begin(); it != session.pending.end(); ++it) {
        if (it->entry.type != type || (type == Type::kPaperdoll && it->entry.serial != serial))
            continue;
        DesktopPendingEntry entry = it->entry;
        session.release(it->keptIndex);
        session.pending.erase(it);
        return entry;
    }
    return std::nullopt;
}

void desktopDockRestoredWindows()
{
    DesktopLoginFlags& login = desktopSession().login;
    if (!login.dockFirstPaperdoll || settings().getBoolSetting(u"FullScreen") != 0)
        return;
    service<DesktopShell>().fillWorkArea();
    if (CGump* radar = login.restoredRadar.get())
        radar->placeOutsideGameArea();
    if (CGump* bar = login.restoredStatusBar.get())
        bar->placeOutsideGameArea();
}
