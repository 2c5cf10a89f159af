#include "gump/gump_manager.h"

#include "gfx/back_buffer.h"
#include "gump/gump_services.h"
#include "gump/property_cache.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "platform/clock.h"
#include "text/cliloc_table.h"
#include "text/localization.h"
#include "text/string_file.h"

#include <algorithm>
#include <array>

namespace {

// Walks the desktop from the top (or from the bottom), surviving any
// destruction on the way, and hands each gump to `visit`.
template <typename Visit>
void walkDesktop(Visit visit, GumpListCursor::Direction direction = GumpListCursor::Direction::Down)
{
    GumpManager& manager = gumpManager();
    GumpListCursor cursor(direction == GumpListCursor::Direction::Down ? manager.head : manager.tail, direction);
    while (CGump* gump = cursor.take())
        visit(gump);
}

// Closes every top-level gump `shouldClose` picks.
template <typename Pick>
void closeDesktopGumps(Pick shouldClose)
{
    walkDesktop([&shouldClose](CGump* gump) {
        if (shouldClose(gump))
            closeGump(gump);
    });
}

bool isAnyOf(CGump* gump, std::initializer_list<GumpKind> kinds)
{
    return std::any_of(kinds.begin(), kinds.end(), [gump](GumpKind kind) { return gump->is(kind); });
}

uint32_t masterOf(const GumpManager& manager, uint32_t typeId)
{
    auto found = manager.masterGumps.find(typeId);
    return found == manager.masterGumps.end() ? typeId : found->second;
}

void sendSingleClick(uint32_t serial)
{
    std::array<uint8_t, 16> storage {};
    PacketBuffer packet(storage.data(), storage.size());
    if (buildSingleClickPacket(packet, serial))
        sendPacket(packet);
}

} // namespace

GumpListCursor::GumpListCursor(CGump* first, Direction direction)
    : m_next(first)
    , m_direction(direction)
    , m_outer(gumpManager().cursors)
{
    gumpManager().cursors = this;
}

GumpListCursor::~GumpListCursor()
{
    // Cursors live on the stack and end in the reverse order of their start.
    GumpListCursor** link = &gumpManager().cursors;
    while (*link && *link != this)
        link = &(*link)->m_outer;
    if (*link)
        *link = m_outer;
}

CGump* GumpListCursor::take()
{
    CGump* gump = m_next;
    if (!gump || !isValidGump(gump)) {
        m_next = nullptr;
        return nullptr;
    }
    m_next = m_direction == Direction::Down ? gump->next() : gump->previous();
    return gump;
}

void GumpListCursor::advancePast(CGump* dying)
{
    for (GumpListCursor* cursor = gumpManager().cursors; cursor; cursor = cursor->m_outer) {
        if (cursor->m_next == dying)
            cursor->m_next = cursor->m_direction == Direction::Down ? dying->next() : dying->previous();
    }
}

GumpManager::GumpManager() = default;

void GumpManager::reset()
{
    head = tail = focus = hovered = modal = menubar = tooltip = nullptr;
    childrenDeleting = 0;
    bulkClosing = false;
    presentationOff = true;
    presentRect = {};
    restoreQueue.clear();
    composedRects.clear();
    previousComposedRects.clear();
    changedRects.clear();
    looks = GumpLooks();
    tooltipGump = nullptr;
    tooltipText = WString();
    tooltipSince = 0;
    allNamesOn = false;
    allNames.clear();
    masterGumps.clear();
    masterPositions.clear();
    cascadeX = 16;
    cascadeY = 16;
    minimiseCellsX.clear();
    minimiseCellsY.clear();
    tooltipTablesOpened = false;
}

GumpManager& gumpManager()
{
    static GumpManager manager;
    return manager;
}

void gumpSystemStartup()
{
    GumpManager& manager = gumpManager();
    if (manager.head)
        gumpSystemShutdown();
    manager.reset();
    manager.settings = GumpSettings {};
    service<SkillGroups>().loadSkillGroups();
}

void gumpSystemShutdown()
{
    GumpManager& manager = gumpManager();
    manager.bulkClosing = true;
    while (manager.head) {
        CGump* head = manager.head;
        if (!isValidGump(head)) {
            // A list that names a dead gump cannot be walked further.
            manager.head = manager.tail = nullptr;
            break;
        }
        delete head;
    }
    closeGump(manager.tooltip);
    manager.reset();
}

void gumpAttachBackBuffer(BackBuffer* buffer)
{
    GumpManager& manager = gumpManager();
    manager.backBuffer = buffer;
    manager.restoreQueue.clear();
    if (buffer && buffer->exists()) {
        manager.screen.width = buffer->width();
        manager.screen.height = buffer->height();
    }
}

void gumpSetScreen(const GumpScreen& screen) { gumpManager().screen = screen; }

const GumpScreen& gumpScreen() { return gumpManager().screen; }

GumpSettings& gumpSettings() { return gumpManager().settings; }

void gumpBackBufferRecreated()
{
    GumpManager& manager = gumpManager();
    // The saved pixels describe the old buffer.
    manager.restoreQueue.clear();
    if (manager.backBuffer && manager.backBuffer->exists()) {
        manager.screen.width = manager.backBuffer->width();
        manager.screen.height = manager.backBuffer->height();
        manager.presentationOff = false;
    }
}

bool clampGameViewOffset(int32_t& x, int32_t& y, const GumpScreen& screen)
{
    int32_t newX = std::max(x, 0);
    int32_t newY = std::max(y, 0);
    if (newX + screen.gameWidth > screen.width)
        newX = std::max(screen.width - screen.gameWidth, 0);
    if (newY + screen.gameHeight > screen.height)
        newY = std::max(screen.height - screen.gameHeight, 0);
    bool changed = newX != x || newY != y;
    x = newX;
    y = newY;
    return changed;
}

void gumpLink(CGump* gump, CGump* parent)
{
    if (!isValidGump(gump) || (parent && !isValidGump(parent)))
        return;
    // A gump never becomes its own ancestor.
    for (CGump* ancestor = parent; ancestor; ancestor = ancestor->m_parent) {
        if (ancestor == gump)
            return;
    }
    GumpManager& manager = gumpManager();
    if (gump->m_parent || gump->m_next || gump->m_previous || manager.head == gump)
        gumpUnlink(gump);
    CGump*& first = parent ? parent->m_firstChild : manager.head;
    CGump*& last = parent ? parent->m_lastChild : manager.tail;
    gump->m_parent = parent;
    gump->m_previous = nullptr;
    gump->m_next = first;
    if (first)
        first->m_previous = gump;
    first = gump;
    if (!last)
        last = gump;
}

void gumpUnlink(CGump* gump)
{
    GumpManager& manager = gumpManager();
    CGump* parent = gump->m_parent;
    CGump*& first = parent ? parent->m_firstChild : manager.head;
    CGump*& last = parent ? parent->m_lastChild : manager.tail;
    if (first == gump)
        first = gump->m_next;
    if (last == gump)
        last = gump->m_previous;
    if (gump->m_previous)
        gump->m_previous->m_next = gump->m_next;
    if (gump->m_next)
        gump->m_next->m_previous = gump->m_previous;
    gump->m_next = gump->m_previous = gump->m_parent = nullptr;
}

CGump* gumpListHead() { return gumpManager().head; }

CGump* gumpListTail() { return gumpManager().tail; }

void gumpSetFocus(CGump* gump)
{
    GumpManager& manager = gumpManager();
    if (manager.focus == gump)
        return;
    gumpReleaseFocus();
    manager.focus = isValidGump(gump) ? gump : nullptr;
    service<SpeechLine>().refresh();
}

void gumpReleaseFocus()
{
    GumpManager& manager = gumpManager();
    CGump* gump = manager.focus;
    if (!gump)
        return;
    manager.focus = nullptr;
    if (manager.childrenDeleting > 0)
        return;
    if (isValidGump(gump))
        gump->onFocusLost();
    if (service<GameSession>().isInWorld())
        service<SpeechLine>().refresh();
}

CGump* gumpFocus()
{
    GumpManager& manager = gumpManager();
    if (manager.focus && !isValidGump(manager.focus))
        manager.focus = nullptr;
    return manager.focus;
}

CGump* gumpHovered()
{
    GumpManager& manager = gumpManager();
    if (manager.hovered && !isValidGump(manager.hovered))
        manager.hovered = nullptr;
    return manager.hovered;
}

void gumpSetHovered(CGump* gump) { gumpManager().hovered = isValidGump(gump) ? gump : nullptr; }

CGump* gumpModal()
{
    GumpManager& manager = gumpManager();
    if (manager.modal && !isValidGump(manager.modal))
        manager.modal = nullptr;
    return manager.modal;
}

void gumpSetModal(CGump* gump) { gumpManager().modal = isValidGump(gump) ? gump : nullptr; }

void gumpClearModalIf(CGump* gump)
{
    GumpManager& manager = gumpManager();
    if (manager.modal == gump)
        manager.modal = nullptr;
}

bool gumpIsSpecialOwner(CGump* overheadText)
{
    if (!isValidGump(overheadText))
        return false;
    if (overheadText->is(GumpKind::EquipInfo))
        return true;
    WorldObject* owner = overheadText->owner();
    GumpWorld& world = service<GumpWorld>();
    return owner && (world.isMobile(owner) || world.isCorpse(owner));
}

CGump* gumpHitTest(int32_t x, int32_t y, CGump* excluded, bool passThrough)
{
    if (CGump* modal = gumpModal()) {
        int32_t localX = x;
        int32_t localY = y;
        modal->screenToLocal(localX, localY);
        return modal->containsPoint(localX, localY) ? modal->findChildAt(localX, localY, excluded) : nullptr;
    }
    for (CGump* gump = gumpManager().head; gump; gump = gump->next()) {
        if (!isValidGump(gump))
            return nullptr;
        if (gump == excluded || !gump->isVisible())
            continue;
        int32_t localX = x;
        int32_t localY = y;
        gump->screenToLocal(localX, localY);
        if (!gump->containsPoint(localX, localY))
            continue;
        if (!passThrough || !gump->is(GumpKind::OverheadText) || gumpIsSpecialOwner(gump))
            return gump->findChildAt(localX, localY, excluded);
    }
    return nullptr;
}

void gumpExpireTimed()
{
    const uint32_t now = platform::clock().tickMs();
    closeDesktopGumps([now](CGump* gump) {
        return (gump->is(GumpKind::EquipInfo) || gump->is(GumpKind::OverheadText)) && gump->hasExpired(now);
    });
}

void gumpManagerUpdate()
{
    gumpExpireTimed();
    // The radar's step (its rebuild when due, then the blink) comes before
    // the other gumps tick; there is one radar at most.
    CGump* radar = nullptr;
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump) && !radar; gump = gump->next())
        radar = gump->is(GumpKind::Radar) ? gump : nullptr;
    if (radar)
        radar->tick();
    walkDesktop([](CGump* gump) {
        if (!gump->is(GumpKind::Radar))
            gump->tick();
    });
    walkDesktop(
        [](CGump* gump) {
            if (gump->is(GumpKind::DamageNumbers))
                gump->riseStep();
        },
        GumpListCursor::Direction::Up);
    service<ItemProperties>().tickItemProperties();
    GumpPointer& pointer = service<GumpPointer>();
    if (gumpManager().allNamesOn && !(pointer.isControlHeld() && pointer.isShiftHeld()))
        showAllNames(false);
}

void gumpUpdateOverheads()
{
    walkDesktop([](CGump* gump) {
        bool looseText = gump->is(GumpKind::OverheadText) && !gump->attachedGump();
        if (looseText || gump->is(GumpKind::DamageNumbers) || gump->is(GumpKind::NamePlate))
            gump->followView();
    });
}

void gumpCloseAllClosable()
{
    closeDesktopGumps([](CGump* gump) {
        if (!gump->isClosableByCloseAll()
            || isAnyOf(gump,
                { GumpKind::PartyGump, GumpKind::TextWindow, GumpKind::SkillGump, GumpKind::Radar,
                    GumpKind::Paperdoll, GumpKind::ItemProperties }))
            return false;
        if (gump->is(GumpKind::GenericGump)) {
            GumpHandle handle(gump);
            gump->replyBeforeCloseAll();
            return handle.get() != nullptr;
        }
        return true;
    });
}

void gumpCloseAllClosableKinds()
{
    closeDesktopGumps([](CGump* gump) { return gump->isClosableByCloseAll(); });
}

void gumpCloseWorldGumps()
{
    closeDesktopGumps([](CGump* gump) {
        return gump->isClosableByCloseAll()
            && isAnyOf(gump,
                { GumpKind::ContainerGump, GumpKind::Book, GumpKind::ShopGump, GumpKind::BillGump,
                    GumpKind::Paperdoll, GumpKind::SkillGump, GumpKind::StatusGump, GumpKind::Trade,
                    GumpKind::GenericGump });
    });
}

void gumpCloseObjectGumps()
{
    // The trade window stays: closing it here would drop both trade
    // containers on this side without the server's word, which ends the
    // trade itself and closes the window with its own packet.
    closeDesktopGumps([](CGump* gump) { return gump->owner() != nullptr && !gump->is(GumpKind::Trade); });
}

void gumpCloseAllButPersistent()
{
    closeDesktopGumps([](CGump* gump) {
        return !isAnyOf(
            gump, { GumpKind::WorldView, GumpKind::SpeechLine, GumpKind::GameAreaEdge, GumpKind::PointerGump });
    });
    if (BackBuffer* buffer = gumpManager().backBuffer)
        buffer->resetBackgroundAndRedraw();
}

void genericGumpCloseById(uint32_t typeId)
{
    walkDesktop([typeId](CGump* gump) {
        if (gump->is(GumpKind::GenericGump))
            gump->closeIfMatches(typeId);
    });
}

void missileGumpsShiftBy(int32_t dx, int32_t dy)
{
    walkDesktop([dx, dy](CGump* gump) {
        if (gump->is(GumpKind::Missile))
            gump->shiftMissile(dx, dy);
    });
}

void missileGumpsCloseAll()
{
    closeDesktopGumps([](CGump* gump) { return gump->is(GumpKind::Missile); });
}

const WString* gumpTooltipText(int32_t id)
{
    if (id < 0)
        return nullptr;
    struct Table {
        const char* name;
        int32_t base;
    };
    static constexpr Table kTables[] = {
        { "gt_5400", 5400 },
        { "gt_5000", 5000 },
        { "gt_4000", 4000 },
        { "gt_2400", 2400 },
        { "gt_2310", 2310 },
        { "gt_2000", 2000 },
        { "gt_1010", 1010 },
        { "gt_0000", 0 },
        { "tooltips", 100000 },
    };
    GumpManager& manager = gumpManager();
    const std::string& language = getLanguageCode();
    // Every table is opened on the first use; afterwards only the loaded
    // copies are looked up, so a missing file is not searched for again on
    // every frame.
    const bool firstUse = !manager.tooltipTablesOpened;
    manager.tooltipTablesOpened = true;
    if (firstUse) {
        for (const Table& table : kTables)
            findStringFile(table.name, language, table.name, false, false, false);
    }
    for (const Table& table : kTables) {
        if (id < table.base)
            continue;
        StringFile* file = findLoadedStringFile(table.name, language, table.name, false);
        if (!file || id - table.base >= file->count())
            continue;
        if (const WString* text = file->getString(id - table.base))
            return text;
    }
    if (id > 499999) {
        static WString message;
        getClilocString(message, id, 1);
        if (!message.isEmpty())
            return &message;
    }
    return nullptr;
}

void showAllNames(bool on)
{
    GumpManager& manager = gumpManager();
    if (manager.allNamesOn == on)
        return;
    manager.allNamesOn = on;
    if (!on) {
        std::vector<GumpHandle> plates;
        for (const auto& entry : manager.allNames)
            plates.emplace_back(entry.second);
        manager.allNames.clear();
        for (const GumpHandle& plate : plates)
            closeGump(plate.get());
        return;
    }
    const GumpScreen& screen = manager.screen;
    const ScreenRect gameArea { screen.gameViewX, screen.gameViewY, screen.gameViewX + screen.gameWidth,
        screen.gameViewY + screen.gameHeight };
    for (const GumpWorld::NameCandidate& candidate : service<GumpWorld>().nameCandidates(gameArea)) {
        if (int32_t(manager.allNames.size()) >= kMaxNamePlates)
            break;
        if (manager.allNames.count(candidate.serial))
            continue;
        CGump* plate = service<NamePlates>().createNamePlate(candidate.serial);
        if (!isValidGump(plate))
            continue;
        const ScreenRect& bounds = candidate.bounds;
        plate->setLocation((bounds.left + bounds.right) / 2 - plate->width() / 2, bounds.top - plate->height());
        gumpLink(plate, nullptr);
        manager.allNames[candidate.serial] = plate;
    }
}

void allNamesForget(uint32_t serial, CGump* gump)
{
    GumpManager& manager = gumpManager();
    auto found = manager.allNames.find(serial);
    if (found != manager.allNames.end() && found->second == gump)
        manager.allNames.erase(found);
}

CGump* allNamesFind(uint32_t serial)
{
    GumpManager& manager = gumpManager();
    auto found = manager.allNames.find(serial);
    return found != manager.allNames.end() && isValidGump(found->second) ? found->second : nullptr;
}

void masterGumpSet(uint32_t typeId, uint32_t masterId) { gumpManager().masterGumps[typeId] = masterId; }

void masterGumpStorePosition(uint32_t typeId, int32_t x, int32_t y)
{
    GumpManager& manager = gumpManager();
    manager.masterPositions[masterOf(manager, typeId)] = { int16_t(x), int16_t(y), -1 };
}

MasterPosition masterGumpPosition(uint32_t typeId)
{
    GumpManager& manager = gumpManager();
    auto found = manager.masterPositions.find(masterOf(manager, typeId));
    return found == manager.masterPositions.end() ? MasterPosition {} : found->second;
}

void masterGumpMapsClear()
{
    GumpManager& manager = gumpManager();
    manager.masterGumps.clear();
    manager.masterPositions.clear();
}

void requestObjectName(WorldObject* object)
{
    if (!object)
        return;
    GumpWorld& world = service<GumpWorld>();
    ItemProperties& properties = service<ItemProperties>();
    const uint32_t serial = world.serialOf(object);
    if (!service<GameSession>().hasObjectPropertyLists()) {
        sendSingleClick(serial);
        return;
    }
    bool listed = world.isLiftableItem(object) || world.isMobile(object) || world.isCorpse(object);
    if (!listed && !propertyListEligible(object)) {
        sendSingleClick(serial);
        return;
    }
    if (gumpSettings().itemPropsMode != 3)
        return;
    if (propertyListEntryCount(serial) != 0 || propertyListIsDeferred(serial))
        properties.showItemProperties(serial, true, true);
}
