#include "housing/house_designer.h"

#include "data/client_services.h"
#include "housing/house_design_packets.h"
#include "housing/house_piece.h"
#include "world/item.h"
#include "world/mobile.h"
#include "world/multi_cache.h"
#include "world/multi_preview.h"
#include "world/object_manager.h"
#include "world/tile_data.h"
#include "world/world_screen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace housing {

namespace {

constexpr uint16_t kIllegalHue = 946;
constexpr uint16_t kIllegalFont = 1;
constexpr const char* kNotLegal = "House not legal, not committing!";

// Preview pieces are tinted by the floor they mark.
uint16_t previewHue(int32_t z, int32_t baseZ)
{
    int32_t d = z - baseZ;
    if (d >= 27 && d <= 46)
        return 81;
    if (d >= 47 && d <= 66)
        return 86;
    if (d >= 67 && d <= 86)
        return 91;
    return 0;
}

} // namespace

PieceTileAttributes WorldPieceTiles::attributes(uint16_t id) const
{
    const TileDataItem& item = tileData().item(id);
    return { item.height, item.flags };
}

HouseDesigner& houseDesigner()
{
    static HouseDesigner designer;
    return designer;
}

bool multiRecordExtent(const Item& house, HouseBounds& out)
{
    const MultiComponentList* list = house.multi();
    std::vector<MultiRecord> records;
    if (!list || !getMultiComponents(list->multiId(), records) || records.empty())
        return false;
    out = { records[0].x, records[0].y, records[0].x, records[0].y };
    for (const MultiRecord& record : records) {
        out.minX = std::min<int32_t>(out.minX, record.x);
        out.minY = std::min<int32_t>(out.minY, record.y);
        out.maxX = std::max<int32_t>(out.maxX, record.x);
        out.maxY = std::max<int32_t>(out.maxY, record.y);
    }
    return true;
}

bool computeHouseBounds(const Item& house, HouseBounds& out)
{
    HouseBounds own;
    if (!multiRecordExtent(house, own))
        return false;
    out = { own.minX + house.x, own.minY + house.y, own.maxX + house.x, own.maxY + 1 + house.y };
    return true;
}

Item* findHouseAtPoint(int32_t x, int32_t y)
{
    for (Item* item = itemList().head(); item; item = ItemList::next(item)) {
        HouseBounds bounds;
        if (item->multi() && computeHouseBounds(*item, bounds) && x >= bounds.minX && x <= bounds.maxX
            && y >= bounds.minY && y <= bounds.maxY)
            return &item->multi()->owner();
    }
    return nullptr;
}

HouseDesigner::HouseDesigner() = default;

// At exit the world has gone before the designer; its pieces went with it.
HouseDesigner::~HouseDesigner() = default;

DesignWindowLink& HouseDesigner::window()
{
    static DesignWindowLink none;
    return m_window ? *m_window : none;
}

Item* HouseDesigner::house() { return m_houseSerial ? findItemBySerial(m_houseSerial) : nullptr; }

int32_t HouseDesigner::houseBaseZ()
{
    if (m_baseZ == kUnknownZ)
        if (Item* item = house())
            m_baseZ = item->z;
    return m_baseZ;
}

bool HouseDesigner::houseBounds(HouseBounds& out)
{
    if (!m_boundsCached) {
        Item* item = house();
        if (!item || !computeHouseBounds(*item, m_bounds))
            return false;
        m_boundsCached = true;
    }
    out = m_bounds;
    return true;
}

bool HouseDesigner::isPlayerInDesign()
{
    if (!m_houseSerial || m_tool == kNoDesign || !house())
        return false;
    const PlayerMobile* self = player();
    HouseBounds bounds;
    return self && houseBounds(bounds) && self->x >= bounds.minX && self->x <= bounds.maxX && self->y >= bounds.minY
        && self->y <= bounds.maxY;
}

int32_t HouseDesigner::floorOfPlayer()
{
    if (!isPlayerInDesign())
        return 0;
    int32_t d = player()->z - houseBaseZ();
    if (d < 7)
        return 0;
    if (d < 27)
        return 1;
    if (d < 47)
        return 2;
    if (d < 67)
        return 3;
    return 4;
}

void HouseDesigner::floorZRange(int32_t floor, int32_t& low, int32_t& high)
{
    if (floor == -1)
        floor = floorOfPlayer();
    int32_t base = houseBaseZ();
    if (base == kUnknownZ) {
        low = high = 0;
    } else if (floor <= 0) {
        low = base;
        high = base + 6;
    } else {
        low = base + 20 * floor - 13;
        high = base + 20 * floor + 6;
    }
}

int32_t HouseDesigner::floorLowZ(int32_t floor)
{
    int32_t low = 0;
    int32_t high = 0;
    floorZRange(floor, low, high);
    return low;
}

int32_t HouseDesigner::floorCount()
{
    HouseBounds bounds;
    if (!houseBounds(bounds))
        return 3;
    int32_t width = std::abs(bounds.maxX - bounds.minX) + 1;
    int32_t depth = std::abs(bounds.maxY - bounds.minY);
    return width > 13 || depth > 13 ? 4 : 3;
}

int32_t HouseDesigner::componentBudget()
{
    HouseBounds bounds;
    if (!houseBounds(bounds))
        return 0;
    int32_t w = std::abs(bounds.maxX - bounds.minX) + 1;
    int32_t d = std::abs(bounds.maxY - bounds.minY);
    int32_t f = floorCount();
    int32_t inner = (d - 1) * (w - 1);
    // A quarter of the floors' inner cells, rounded toward zero.
    auto extra = int32_t(std::trunc(double(f) * double(inner) / 4.0));
    return f * (inner + 2 * (w + d) - 4) + extra + 2 * d + 3 * w - 5;
}

bool HouseDesigner::isLoweredComponent(int32_t id) { return isLoweredComponentId(id); }

bool HouseDesigner::isStairPiece(int32_t id) const
{
    if (id <= 0)
        return false;
    for (const ComponentRow& row : m_catalogue.table(ComponentKind::Stairs).rows())
        if (std::find(row.pieces.begin(), row.pieces.end(), id) != row.pieces.end())
            return true;
    return false;
}

bool HouseDesigner::inFloorWindow(uint16_t id, int32_t z, int32_t low, int32_t high) const
{
    if (isRoof(id)) {
        int32_t shift = isLoweredComponentId(id) ? 6 : 3;
        low -= shift;
        high -= shift;
    }
    return z >= low && z <= high;
}

std::vector<DesignRecord> HouseDesigner::houseRecords()
{
    std::vector<DesignRecord> records;
    Item* item = house();
    if (!item || !item->multi())
        return records;
    for (const MultiComponent& component : item->multi()->components()) {
        if (!component.object || component.object->graphic <= kFixedFirstPiece)
            continue;
        records.push_back({ component.object->graphic, component.object->baseHue, component.dx, component.dy,
            int16_t(component.dz) });
    }
    return records;
}

bool HouseDesigner::canPlaceAt(int32_t x, int32_t y)
{
    HouseBounds b;
    Item* item = house();
    if (!item || !houseBounds(b))
        return false;
    int32_t budget = componentBudget();
    int32_t plain = m_componentCount - m_specialCount;
    if (m_tool == kFrontStairTool)
        return x > b.minX && x <= b.maxX && y == b.maxY && floorOfPlayer() <= 1 && plain < budget;
    if (m_tool == kStaircaseTool) {
        std::vector<MultiRecord> records;
        if (floorOfPlayer() == floorCount() || !getMultiComponents(m_currentComponent, records) || records.empty())
            return false;
        int32_t minX = records[0].x, maxX = records[0].x, minY = records[0].y, maxY = records[0].y;
        for (const MultiRecord& r : records) {
            minX = std::min<int32_t>(minX, r.x);
            maxX = std::max<int32_t>(maxX, r.x);
            minY = std::min<int32_t>(minY, r.y);
            maxY = std::max<int32_t>(maxY, r.y);
        }
        if (!(x + minX > b.minX && y + minY > b.minY && x + maxX <= b.maxX && y + maxY < b.maxY))
            return false;
        if (plain + int32_t(records.size()) - 1 >= budget)
            return false;
        int32_t low = 0;
        int32_t high = 20;
        if (houseBaseZ() != kUnknownZ) {
            floorZRange(-1, low, high);
            high += 20;
        }
        for (const DesignRecord& piece : houseRecords()) {
            int32_t px = item->x + piece.dx;
            int32_t py = item->y + piece.dy;
            int32_t pz = item->z + piece.dz;
            if (!isFlat(piece.graphic) && px >= x + minX && px <= x + maxX && py >= y + minY && py <= y + maxY
                && pz >= low && pz <= high)
                return false;
        }
        return true;
    }
    if (m_tool != kPlacePieceTool && m_tool != kWallTool)
        return false;
    if (x < b.minX || x > b.maxX || y < b.minY || y >= b.maxY)
        return false;
    const PlayerMobile* self = player();
    int32_t playerZ = self ? self->z : 0;
    auto current = uint16_t(m_currentComponent);
    const DesignRecord* flat = nullptr;
    const DesignRecord* tall = nullptr;
    std::vector<DesignRecord> records = houseRecords();
    for (const DesignRecord& piece : records) {
        if (item->x + piece.dx != x || item->y + piece.dy != y || item->z + piece.dz != playerZ)
            continue;
        if (isStairPiece(piece.graphic))
            return false;
        if (isFlat(piece.graphic) && !isRoof(piece.graphic))
            flat = &piece;
        else
            tall = &piece;
    }
    bool special = m_catalogue.isDoorOrTeleporter(current);
    auto sameClass = [&](uint16_t other) { return m_catalogue.isDoorOrTeleporter(other) == special; };
    bool edgeDecides = false;
    if (flat && occupiesFloorSlot(m_tiles, flat->graphic) && occupiesFloorSlot(m_tiles, current)
        && sameClass(flat->graphic))
        return true;
    if (tall && !occupiesFloorSlot(m_tiles, tall->graphic) && !occupiesFloorSlot(m_tiles, current)
        && sameClass(tall->graphic))
        edgeDecides = true;
    if (!edgeDecides) {
        bool allowed = special ? m_specialCount < specialBudget() : plain < budget;
        if (!allowed)
            return false;
    }
    if (x != b.minX && y != b.minY)
        return true;
    if (x == b.minX && y == b.minY)
        return m_support.mayStandOnCorner(current);
    if (x == b.minX)
        return m_support.mayStandOnWestColumn(current);
    return m_support.mayStandOnNorthRow(current);
}

bool HouseDesigner::hidesObject(const StaticObject& object)
{
    if (!isDesigning() || object.isPreviewPiece())
        return false;
    const PlayerMobile* self = player();
    if (!self || object.z <= self->z + 5)
        return false;
    Item* item = house();
    if (item && item->multi())
        for (const MultiComponent& component : item->multi()->components())
            if (component.object == &object)
                return false;
    return true;
}

int32_t HouseDesigner::componentHue(const StaticObject& object)
{
    if (m_tool < 0)
        return -1;
    if (isPlayerInDesign())
        for (const ComponentMark& mark : m_marks)
            if (mark.x == object.x && mark.y == object.y && mark.z == object.z && mark.id == object.graphic)
                return mark.hue;
    if (m_checker && !m_checker->isSupported(object.graphic, object.x, object.y, object.z))
        return kUnsupportedHue;
    return -1;
}

void HouseDesigner::rebuildChecker()
{
    if (!m_checker)
        return;
    m_checker->clear();
    for (const DesignRecord& piece : houseRecords())
        m_checker->fileComponent(piece.dx, piece.dy, piece.dz, piece.graphic);
    m_checker->rebuildSupport();
}

void HouseDesigner::recountComponents()
{
    m_componentCount = 0;
    m_specialCount = 0;
    for (const DesignRecord& piece : houseRecords()) {
        ++m_componentCount;
        if (m_catalogue.isDoorOrTeleporter(piece.graphic))
            ++m_specialCount;
    }
    m_shownComponentCount = -1;
    m_shownSpecialCount = -1;
}

bool HouseDesigner::countsChanged()
{
    if (m_componentCount == m_shownComponentCount && m_specialCount == m_shownSpecialCount)
        return false;
    m_shownComponentCount = m_componentCount;
    m_shownSpecialCount = m_specialCount;
    return true;
}

void HouseDesigner::loadTables()
{
    m_catalogue.load();
    m_support.load();
}

void HouseDesigner::beginCustomizing(uint32_t serial)
{
    // A design still open ends first (and tells the server).
    window().close();
    m_catalogue.load();
    m_houseSerial = serial;
    m_componentCount = 0;
    m_specialCount = 0;
    m_shownComponentCount = -1;
    m_shownSpecialCount = -1;
    m_boundsCached = false;
    m_checker.reset();
    HouseBounds bounds;
    if (houseBounds(bounds)) {
        Item* item = house();
        m_support.load();
        HouseFrame frame { item ? item->x : 0, item ? item->y : 0, item ? item->z : 0, bounds.minX, bounds.maxX,
            bounds.minY, bounds.maxY, floorCount() };
        m_checker = std::make_unique<HousePlacementChecker>(m_support, m_tiles, frame);
    }
    recountComponents();
    rebuildChecker();
    window().open();
    rebuildPreviewPieces();
    invalidateWholeScreen();
}

void HouseDesigner::resetDesignState()
{
    m_houseSerial = 0;
    m_componentCount = 0;
    m_specialCount = 0;
    m_shownComponentCount = -1;
    m_shownSpecialCount = -1;
    m_boundsCached = false;
    m_checker.reset();
    deletePreviewPieces();
    invalidateWholeScreen();
}

void HouseDesigner::exitDesign()
{
    resetDesignState();
    if (player())
        sendDesignCommand(DesignCommand::ExitDesign);
}

void HouseDesigner::endCustomizing()
{
    window().close();
    resetDesignState();
}

void HouseDesigner::setTool(int32_t tool)
{
    if (tool == kNoDesign) {
        clearViewFlags();
        clearMarks();
        if (targetingState().targetingActive)
            endTargeting();
        if (MultiPreview* preview = multiPreview())
            preview->clearDesign();
        m_baseZ = kUnknownZ;
        m_currentComponent = -1;
        m_houseSerial = 0;
    }
    m_tool = tool;
}

void HouseDesigner::selectFloor(int32_t floor)
{
    if (floor < 1 || floor > 4)
        return;
    sendDesignCommand(DesignCommand::SelectFloor, { uint32_t(floor) });
    m_floorViewModes.fill(0);
    clearViewFlags();
}

void HouseDesigner::adjustHeight(int32_t delta)
{
    m_heightAdjust = std::clamp(m_heightAdjust + delta, kMinHeightAdjust, kMaxHeightAdjust);
    beginPlacement();
    window().redraw();
}

int32_t HouseDesigner::floorViewMode(int32_t floor) const
{
    return floor >= 1 && floor <= 4 ? m_floorViewModes[size_t(floor - 1)] : 0;
}

void HouseDesigner::cycleFloorView(int32_t floor)
{
    if (floor < 1 || floor > 4)
        return;
    int32_t& mode = m_floorViewModes[size_t(floor - 1)];
    mode = (mode + 1) % kFloorViewModeCount;
    applyFloorView(floor, mode, false);
}

void HouseDesigner::refreshFloors()
{
    for (int32_t floor = 1; floor <= 4; ++floor)
        applyFloorView(floor, m_floorViewModes[size_t(floor - 1)], false);
}

void HouseDesigner::clearFloorViewModes() { m_floorViewModes.fill(0); }

void HouseDesigner::applyFloorView(int32_t floor, int32_t mode, bool all)
{
    // Draw flags of tall and flat pieces by mode: 8 dims, 4 hides.
    static constexpr int32_t kTall[kFloorViewModeCount] = { 0, 8, 4, 0, 0, 8, 4 };
    static constexpr int32_t kFlat[kFloorViewModeCount] = { 0, 0, 0, 8, 4, 8, 4 };
    if (mode < 0 || mode >= kFloorViewModeCount || (!all && (floor < 1 || floor > 4)))
        return;
    Item* item = house();
    if (!item || !item->multi())
        return;
    int32_t low = 0;
    int32_t high = 0;
    floorZRange(floor, low, high);
    for (const MultiComponent& component : item->multi()->components()) {
        StaticObject* piece = component.object;
        if (!piece || (!all && !inFloorWindow(piece->graphic, piece->z, low, high)))
            continue;
        int32_t flags = isFlat(piece->graphic) ? kFlat[mode] : kTall[mode];
        if (piece->drawFlags != flags) {
            piece->drawFlags = flags;
            piece->invalidate();
        }
    }
}

void HouseDesigner::clearViewFlags() { applyFloorView(0, 0, true); }

void HouseDesigner::clearMarks()
{
    Item* item = house();
    if (m_marks.empty())
        return;
    m_marks.clear();
    if (item && item->multi())
        for (const MultiComponent& component : item->multi()->components())
            if (component.object)
                component.object->invalidate();
}

void HouseDesigner::startDesignTargeting()
{
    TargetingState& targeting = targetingState();
    targeting.command = {};
    targeting.intent = TargetIntent::Neutral;
    targeting.callback = [](const std::optional<TargetChoice>& choice) { houseDesigner().onDesignTarget(choice); };
    beginTargeting();
}

void HouseDesigner::beginPlacement()
{
    if (targetingState().targetingActive)
        endTargeting();
    clearMarks();
    startDesignTargeting();
    MultiPreview* preview = multiPreview();
    if (!preview || m_currentComponent < 0)
        return;
    auto id = uint16_t(m_currentComponent);
    int32_t offset = m_heightMode ? m_heightAdjust - (isLoweredComponentId(id) ? 3 : 0) : 0;
    preview->setDesign("house design", { { 0, 0, 0, id, 0 } });
    preview->setZOffset(offset);
}

void HouseDesigner::beginStairsPlacement()
{
    if (targetingState().targetingActive)
        endTargeting();
    clearMarks();
    startDesignTargeting();
    MultiPreview* preview = multiPreview();
    std::vector<MultiRecord> records;
    if (!preview || !getMultiComponents(m_currentComponent, records))
        return;
    std::vector<PreviewComponent> pieces;
    for (const MultiRecord& record : records)
        if (record.flags & 1)
            pieces.push_back({ record.x, record.y, record.z, record.graphic, 0 });
    preview->setDesign("house design", std::move(pieces));
    preview->setZOffset(0);
}

void HouseDesigner::beginEraseTool()
{
    cancelPlacement();
    startDesignTargeting();
}

void HouseDesigner::beginPickTool()
{
    cancelPlacement();
    startDesignTargeting();
}

void HouseDesigner::cancelPlacement()
{
    if (targetingState().targetingActive)
        endTargeting();
    targetingState().callback = nullptr;
    if (MultiPreview* preview = multiPreview())
        preview->clearDesign();
    clearMarks();
}

void HouseDesigner::backupDesign() { sendDesignCommand(DesignCommand::Backup); }
void HouseDesigner::restoreDesign() { sendDesignCommand(DesignCommand::Restore); }
void HouseDesigner::synchDesign() { sendDesignCommand(DesignCommand::Synch); }
void HouseDesigner::clearDesign() { sendDesignCommand(DesignCommand::Clear); }
void HouseDesigner::revertDesign() { sendDesignCommand(DesignCommand::Revert); }

void HouseDesigner::commitDesign()
{
    if (m_checker) {
        PlacementVerdict verdict = m_checker->allFloorsLegal();
        if (!verdict.legal) {
            if (verdict.message)
                windowNotices().addSystemMessage(verdict.hue, uint16_t(verdict.font), verdict.message);
            windowNotices().addSystemMessage(kIllegalHue, kIllegalFont, kNotLegal);
            return;
        }
    }
    sendDesignCommand(DesignCommand::Commit);
}

void HouseDesigner::designReceived(uint32_t serial)
{
    if (!isPlayerInDesign() || serial != m_houseSerial)
        return;
    refreshFloors();
    recountComponents();
    rebuildChecker();
    rebuildPreviewPieces();
    window().redraw();
}

void HouseDesigner::designRevised()
{
    refreshFloors();
    hidePreviewPiecesAbovePlayer();
    window().redraw();
}

void HouseDesigner::playerMovedInDesign()
{
    hidePreviewPiecesAbovePlayer();
    window().redraw();
}

void HouseDesigner::addPreviewPiece(int32_t x, int32_t y, int32_t z)
{
    int32_t base = houseBaseZ();
    int32_t low = 0;
    int32_t high = 0;
    floorZRange(1, low, high);
    uint16_t hue = z >= low && z <= high ? 0 : previewHue(z, base);
    auto* piece = new HousePiece(x, y, z, hue);
    m_previewPieces.push_back(piece);
    const PlayerMobile* self = player();
    if (self && z > self->z)
        piece->leaveWorld();
}

void HouseDesigner::deletePreviewPiecesAt(int32_t x, int32_t y, int32_t z)
{
    std::erase_if(m_previewPieces, [&](HousePiece* piece) {
        if (!isValidWorldObject(piece))
            return true;
        if (piece->homeX != x || piece->homeY != y || piece->homeZ != z)
            return false;
        piece->invalidate();
        delete piece;
        return true;
    });
}

void HouseDesigner::deletePreviewPieces()
{
    // A world reset (a new connection) may have taken the pieces already.
    for (HousePiece* piece : m_previewPieces) {
        if (!isValidWorldObject(piece))
            continue;
        piece->invalidate();
        delete piece;
    }
    m_previewPieces.clear();
}

void HouseDesigner::rebuildPreviewPieces()
{
    deletePreviewPieces();
    HouseBounds b;
    Item* item = house();
    if (!item || !houseBounds(b))
        return;
    int32_t base = houseBaseZ();
    int32_t top = base + 20 * floorCount() - 13;
    for (int32_t z = base + 27; z <= top; z += 20)
        for (int32_t x = b.minX + 1; x <= b.maxX; ++x)
            for (int32_t y = b.minY + 1; y < b.maxY; ++y)
                addPreviewPiece(x, y, z);
    for (const DesignRecord& piece : houseRecords())
        if (isFlat(piece.graphic))
            deletePreviewPiecesAt(item->x + piece.dx, item->y + piece.dy, item->z + piece.dz);
}

void HouseDesigner::hidePreviewPiecesAbovePlayer()
{
    const PlayerMobile* self = player();
    if (!self)
        return;
    std::erase_if(m_previewPieces, [](HousePiece* piece) { return !isValidWorldObject(piece); });
    for (HousePiece* piece : m_previewPieces) {
        bool above = piece->homeZ > self->z;
        if (above && !piece->isDetached())
            piece->leaveWorld();
        else if (!above && piece->isDetached())
            piece->enterWorldAt(piece->homeX, piece->homeY, piece->homeZ);
    }
}

} // namespace housing
