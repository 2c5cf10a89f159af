#include "gump/gump_factory.h"

#include "core/message_boxes.h"
#include "gfx/gump_art.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int32_t kCascadeStep = 16;
constexpr int32_t kCascadeMargin = 16;
constexpr int32_t kCellWidth = 96;
constexpr int32_t kCellHeight = 64;
constexpr int32_t kGridStart = 16;
constexpr int32_t kOptionsArtFirst = 5000;
constexpr int32_t kOptionsArtSecond = 5001;

// Raised, restored when minimised and kept on screen: an existing window the
// player asked for again.
CGump* reuse(CGump* gump)
{
    GumpHandle handle(gump);
    gump->bringToFront(false);
    if (handle.get() && gump->isMinimised())
        gump->restore();
    if (handle.get())
        gump->clampToScreen();
    return handle.get();
}

CGump* findTopLevel(GumpKind kind)
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(kind))
            return gump;
    }
    return nullptr;
}

bool ownerMatches(CGump* gump, WorldObject* object, bool wantPaperdoll, bool wantShop, bool wantStatus)
{
    GumpWorld& world = service<GumpWorld>();
    if (gump->owner() == object) {
        if (gump->is(GumpKind::CourseGump) || gump->is(GumpKind::StackGump))
            return true;
        bool wantsAny = wantPaperdoll || wantShop || wantStatus;
        if (world.isContainer(object) && !wantsAny && gump->is(GumpKind::ContainerGump))
            return true;
        if (world.isMobile(object)) {
            if (wantPaperdoll && gump->is(GumpKind::Paperdoll))
                return true;
            if (wantShop && gump->is(GumpKind::ShopGump))
                return true;
            if (wantStatus && gump->is(GumpKind::StatusGump))
                return true;
            if (!wantsAny && !gump->is(GumpKind::Paperdoll) && !gump->is(GumpKind::ShopGump)
                && !gump->is(GumpKind::StatusGump))
                return true;
        }
        return false;
    }
    // Status bars that lost their object still show its serial.
    return !gump->owner() && gump->ownerSerial() == world.serialOf(object) && world.isMobile(object)
        && gump->is(GumpKind::StatusGump);
}

CGump* openRadarInPlaceOf(CGump* radar)
{
    FactoryWindows& windows = service<FactoryWindows>();
    const int32_t x = radar->x();
    const int32_t y = radar->y();
    const int32_t face = windows.radarSizeValue(radar) > 100 ? gump_kind::kRadarSmall : gump_kind::kRadarLarge;
    closeGump(radar);
    CGump* swapped = windows.createRadar(face, 0, 0);
    if (!isValidGump(swapped))
        return nullptr;
    gumpLink(swapped, nullptr);
    swapped->moveTo(x, y, true, nullptr, false);
    swapped->clampToScreen();
    return swapped;
}

CGump* createOptionsWindow()
{
    FactoryWindows& windows = service<FactoryWindows>();
    int32_t width = 0;
    int32_t height = 0;
    if (!getGumpArtSize(kOptionsArtFirst, width, height) || !getGumpArtSize(kOptionsArtSecond, width, height)) {
        showMessageBox("Missing ClientCfg GUMP art!", "Error", AfterBox::Return);
        return nullptr;
    }
    if (!windows.hasOptionsRecord()) {
        bool strays = false;
        for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
            if (gump->is(GumpKind::OptionsGump)) {
                gump->clampToScreen();
                strays = true;
            }
        }
        if (strays)
            return nullptr;
    }
    return windows.createOptionsWindow();
}

CGump* createContainer(WorldObject* owner, int32_t art, int32_t artWidth, int32_t artHeight)
{
    GumpManager& manager = gumpManager();
    const GumpScreen& screen = gumpScreen();
    int32_t x = screen.width - artWidth - 10;
    int32_t y = 10;
    if (manager.settings.offsetGumps) {
        manager.cascadeX += kCascadeStep;
        manager.cascadeY += kCascadeStep;
        if (manager.cascadeX + artWidth >= screen.width - kCascadeMargin)
            manager.cascadeX = kCascadeMargin;
        if (manager.cascadeY + artHeight >= screen.height - kCascadeMargin)
            manager.cascadeY = kCascadeMargin;
        x = manager.cascadeX;
        y = manager.cascadeY;
    }
    return service<FactoryWindows>().createContainer(owner, art, x, y, artWidth, artHeight);
}

} // namespace

CGump* gumpFindForObject(WorldObject* object, bool wantPaperdoll, bool wantShop, CGump* first, bool wantStatus)
{
    if (!object)
        return nullptr;
    for (CGump* gump = first; gump; gump = gump->next()) {
        if (!isValidGump(gump))
            return nullptr;
        if (ownerMatches(gump, object, wantPaperdoll, wantShop, wantStatus))
            return gump;
        if (CGump* found = gumpFindForObject(object, wantPaperdoll, wantShop, gump->firstChild(), false))
            return found;
    }
    return nullptr;
}

CGump* gumpFindPaperdollOrContainer(WorldObject* item)
{
    GumpWorld& world = service<GumpWorld>();
    WorldObject* holder = item ? world.parentObject(item) : nullptr;
    if (!holder)
        return nullptr;
    if (world.isMobile(holder))
        return gumpFindForObject(holder, true, false, gumpListHead(), false);
    return gumpFindForObject(holder, false, false, gumpListHead(), false);
}

CGump* gumpOpenByKind(WorldObject* owner, int32_t kind, CGump* parent, bool containerFlag, bool extra)
{
    FactoryWindows& windows = service<FactoryWindows>();
    if (owner) {
        CGump* found = gumpFindForObject(
            owner, kind == gump_kind::kPaperdoll, kind == gump_kind::kShop, gumpListHead(), extra);
        if (found)
            return reuse(found);
    }

    switch (kind) {
    case gump_kind::kOptions:
        if (CGump* options = windows.optionsWindow(); isValidGump(options))
            return reuse(options);
        break;
    case gump_kind::kRadarLarge:
    case gump_kind::kRadarSmall:
        if (CGump* radar = findTopLevel(GumpKind::Radar))
            return openRadarInPlaceOf(radar);
        break;
    case gump_kind::kTextWindow:
        if (CGump* text = findTopLevel(GumpKind::TextWindow))
            return text;
        break;
    case gump_kind::kAbilityBook:
        if (CGump* book = findTopLevel(GumpKind::AbilityBook))
            return reuse(book);
        break;
    case gump_kind::kShop:
        while (CGump* shop = findTopLevel(GumpKind::ShopGump))
            closeGump(shop);
        break;
    default:
        break;
    }

    int32_t artWidth = 0;
    int32_t artHeight = 0;
    getGumpArtSize(kind, artWidth, artHeight);
    const int32_t screenWidth = gumpScreen().width;
    CGump* created = nullptr;
    switch (kind) {
    case gump_kind::kTextWindow:
        created = windows.createTextWindow(0, 0);
        break;
    case gump_kind::kStatusBar:
        if (CGump* bar = gumpFindForObject(owner, false, false, gumpListHead(), true)) {
            windows.reslotStatusBar(bar);
            if (!isValidGump(bar))
                return nullptr;
            bar->setVisible(true);
            bar->clampToScreen();
            return bar;
        }
        created = windows.createStatusBar(owner, service<GumpWorld>().isPlayer(owner));
        break;
    case gump_kind::kPaperdoll:
        // Placed by the kind's art; the paperdoll takes its own size from its
        // face.
        created = windows.createPaperdoll(owner, screenWidth - artWidth, 0);
        break;
    case gump_kind::kShop:
        if (!owner)
            return nullptr;
        created = windows.createShop(owner, 150, 5);
        break;
    case gump_kind::kStackChooser: {
        int32_t x = 0;
        int32_t y = 0;
        service<GumpPointer>().pointerPosition(x, y);
        created = windows.createStackChooser(owner, x - 50, y - 37);
        break;
    }
    case gump_kind::kOptions:
        created = createOptionsWindow();
        break;
    case gump_kind::kRadarLarge:
    case gump_kind::kRadarSmall:
        created = windows.createRadar(kind, 0, 0);
        break;
    case gump_kind::kAbilityBook:
        // The book links and places itself.
        return windows.createAbilityBook(-1, -1);
    default:
        // An unknown kind that is not a container has no face to show.
        if (!containerFlag)
            return nullptr;
        created = createContainer(owner, kind, artWidth, artHeight);
        break;
    }
    if (!isValidGump(created))
        return nullptr;
    gumpLink(created, parent);
    return created;
}

bool minimiseGridTakeCell(int32_t& x, int32_t& y)
{
    GumpManager& manager = gumpManager();
    const GumpScreen& screen = gumpScreen();
    if (screen.width - 112 <= 16)
        return false;
    for (int32_t cellX = kGridStart; cellX < screen.width - 112; cellX += kCellWidth) {
        for (int32_t cellY = kGridStart; cellY < screen.height - 80; cellY += kCellHeight) {
            bool taken = false;
            for (size_t i = 0; i < manager.minimiseCellsX.size(); ++i) {
                if (manager.minimiseCellsX[i] == cellX && manager.minimiseCellsY[i] == cellY) {
                    taken = true;
                    break;
                }
            }
            if (taken)
                continue;
            manager.minimiseCellsX.push_back(cellX);
            manager.minimiseCellsY.push_back(cellY);
            x = cellX;
            y = cellY;
            return true;
        }
    }
    return false;
}

void minimiseGridFreeCell(int32_t x, int32_t y)
{
    GumpManager& manager = gumpManager();
    for (size_t i = 0; i < manager.minimiseCellsX.size(); ++i) {
        if (manager.minimiseCellsX[i] == x && manager.minimiseCellsY[i] == y) {
            manager.minimiseCellsX.erase(manager.minimiseCellsX.begin() + ptrdiff_t(i));
            manager.minimiseCellsY.erase(manager.minimiseCellsY.begin() + ptrdiff_t(i));
            return;
        }
    }
}

void minimizeClearingPage(CGump* gump, int32_t page)
{
    if (!isValidGump(gump))
        return;
    if (GumpPage* cleared = gump->page(page))
        std::fill(cleared->pixels.begin(), cleared->pixels.end(), uint16_t(0));
    gump->minimize();
}
