// The house designer's edits: the design click of each tool, what it sends
// and how the client's own copy of the house follows at once.
#include "housing/house_design_packets.h"
#include "housing/house_designer.h"
#include "housing/house_piece.h"
#include "world/item.h"
#include "world/mobile.h"
#include "world/multi_cache.h"
#include "world/object_manager.h"
#include "world/cell_grid.h"
#include "world/multi_preview.h"
#include "world/tile_data.h"

namespace housing {

namespace {

// The span above a new piece's height in which older pieces give way to it.
constexpr int32_t kPieceWindow = 20;
constexpr int32_t kStaircaseWindow = 40;

} // namespace

void HouseDesigner::setMark(StaticObject& piece, uint16_t hue)
{
    piece.invalidate();
    auto x = int16_t(piece.x);
    auto y = int16_t(piece.y);
    auto z = int16_t(piece.z);
    for (ComponentMark& mark : m_marks)
        if (mark.id == piece.graphic && mark.x == x && mark.y == y && mark.z == z) {
            mark.hue = hue;
            return;
        }
    m_marks.push_back({ piece.graphic, hue, x, y, z });
}

void HouseDesigner::applyToolAtCursor(int32_t x, int32_t y, bool force)
{
    Item* item = house();
    if (!item || !item->multi())
        return;
    bool placing = m_tool == kPlacePieceTool || m_tool == kWallTool || m_tool == kStaircaseTool
        || m_tool == kFrontStairTool;
    if (m_tool == kEraseTool) {
        WorldObject* object = worldCellGrid().pickAt(x, y, true);
        if (!force && object == m_lastHoverObject)
            return;
        m_lastHoverObject = object;
        clearMarks();
        int32_t low = 0;
        int32_t high = 0;
        floorZRange(-1, low, high);
        for (const MultiComponent& component : item->multi()->components())
            if (component.object && component.object == object
                && inFloorWindow(component.object->graphic, component.object->z, low, high))
                setMark(*component.object, kRefusedHue);
        return;
    }
    if (!placing)
        return;
    WorldObject* land = worldCellGrid().findLandAt(x, y);
    if (!land || (!force && land->x == m_lastHoverX && land->y == m_lastHoverY))
        return;
    m_lastHoverX = land->x;
    m_lastHoverY = land->y;
    clearMarks();
    if (m_currentComponent > 0 && (m_tool == kStaircaseTool || !isFlat(uint16_t(m_currentComponent)))) {
        int32_t low = 0;
        int32_t high = 0;
        floorZRange(-1, low, high);
        for (const MultiComponent& component : item->multi()->components()) {
            StaticObject* piece = component.object;
            if (!piece || piece->x != land->x || piece->y != land->y || piece->graphic == m_currentComponent
                || !inFloorWindow(piece->graphic, piece->z, low, high + (m_tool == kStaircaseTool ? 20 : 0)))
                continue;
            setMark(*piece, m_tool == kStaircaseTool && !isFlat(piece->graphic) ? kRefusedHue : kReplacedHue);
        }
    }
    if (MultiPreview* preview = multiPreview(); preview && preview->hasDesign())
        preview->setHue(canPlaceAt(land->x, land->y) ? 0 : kRefusedHue);
}

void HouseDesigner::onDesignTarget(const std::optional<TargetChoice>& choice)
{
    if (!house()) {
        m_houseSerial = 0;
        return;
    }
    if (!choice)
        return;
    switch (m_tool) {
    case kPlacePieceTool:
    case kWallTool:
    case kFrontStairTool:
        placePiece(choice->x, choice->y);
        break;
    case kEraseTool:
        erasePiece(*choice);
        break;
    case kStaircaseTool:
        placeStaircase(choice->x, choice->y);
        break;
    case kPickTool:
        pickPiece(*choice);
        break;
    default:
        break;
    }
}

void HouseDesigner::placePiece(int32_t x, int32_t y)
{
    beginPlacement();
    Item* item = house();
    if (!item || m_currentComponent <= 0)
        return;
    if (!canPlaceAt(x, y)) {
        // The refusal shows: the preview turns to the warning hue.
        if (MultiPreview* preview = multiPreview(); preview && preview->hasDesign())
            preview->setHue(kRefusedHue);
        return;
    }
    auto id = uint16_t(m_currentComponent);
    int32_t relX = x - item->x;
    int32_t relY = y - item->y;
    int32_t z = m_tool == kFrontStairTool ? (houseBaseZ() == kUnknownZ ? 0 : houseBaseZ()) : floorLowZ(-1);
    int32_t relZ = z - item->z;
    if (!m_heightMode && item->multi() && item->multi()->find(relX, relY, relZ, id))
        return;
    if (m_heightMode) {
        int32_t adjust = m_heightAdjust - (isLoweredComponentId(id) ? 3 : 0);
        sendDesignCommand(DesignCommand::PlaceComponentAtHeight, { id, uint32_t(relX), uint32_t(relY), uint32_t(adjust) });
    } else {
        sendDesignCommand(DesignCommand::PlaceComponent, { id, uint32_t(relX), uint32_t(relY) });
    }
    predictPlacement(id, relX, relY, relZ, kPieceWindow);
}

void HouseDesigner::placeStaircase(int32_t x, int32_t y)
{
    beginStairsPlacement();
    Item* item = house();
    std::vector<MultiRecord> records;
    if (!item || !canPlaceAt(x, y) || !getMultiComponents(m_currentComponent, records))
        return;
    int32_t relX = x - item->x;
    int32_t relY = y - item->y;
    int32_t relZ = floorLowZ(-1) - item->z;
    sendDesignCommand(DesignCommand::PlaceStairs, { uint32_t(m_currentComponent), uint32_t(relX), uint32_t(relY) });
    for (const MultiRecord& record : records)
        if (record.flags & 1)
            predictPlacement(record.graphic, relX + record.x, relY + record.y, relZ + record.z, kStaircaseWindow);
}

void HouseDesigner::predictPlacement(uint16_t id, int32_t x, int32_t y, int32_t z, int32_t window)
{
    bool newRoof = isRoof(id);
    bool newWall = hasTileFlag(id, kTileWall);
    bool newFlat = isFlat(id);
    for (const DesignRecord& old : houseRecords()) {
        if (old.dx != x || old.dy != y)
            continue;
        int32_t low = isRoof(old.graphic) ? z - 3 : z;
        if (old.dz < low || old.dz > z + window - 1)
            continue;
        bool compatible = !(newRoof && hasTileFlag(old.graphic, kTileWall))
            && !(newWall && isRoof(old.graphic)) && newFlat == isFlat(old.graphic);
        if (compatible)
            removeComponent(m_houseSerial, old);
    }
    addComponent(m_houseSerial, { id, 0, int16_t(x), int16_t(y), int16_t(z) });
}

void HouseDesigner::erasePiece(const TargetChoice& choice)
{
    // The erase tool stays armed.
    beginEraseTool();
    Item* item = house();
    if (!item || !item->multi() || choice.graphic <= kFixedFirstPiece || choice.graphic == kGroundFloorPiece)
        return;
    int32_t floor = floorOfPlayer();
    int32_t low = 0;
    int32_t high = 0;
    floorZRange(-1, low, high);
    if (floor == 1)
        low = houseBaseZ();
    else if (floor == 0)
        high = houseBaseZ() + 26;
    if (!inFloorWindow(choice.graphic, choice.z, low, high))
        return;
    DesignRecord record { choice.graphic, 0, int16_t(choice.x - item->x), int16_t(choice.y - item->y),
        int16_t(choice.z - item->z) };
    const MultiComponent* found = item->multi()->find(record.dx, record.dy, record.dz, record.graphic);
    if (!found || !found->object)
        return;
    record.hue = found->object->baseHue;
    bool roof = isRoof(record.graphic);
    sendDesignCommand(roof ? DesignCommand::EraseRoofComponent : DesignCommand::EraseComponent,
        { record.graphic, uint32_t(int32_t(record.dx)), uint32_t(int32_t(record.dy)), uint32_t(int32_t(record.dz)) });
    removeComponent(m_houseSerial, record);
    HouseBounds bounds;
    if (isStairPiece(record.graphic) && (floor > 1 || (houseBounds(bounds) && choice.y != bounds.maxY)))
        removeStaircase(record.graphic, record.dx, record.dy, choice.z);
    if (floor == 1 && isFlat(record.graphic) && !roof)
        addComponent(m_houseSerial, { kGroundFloorPiece, 0, record.dx, record.dy, record.dz });
}

void HouseDesigner::removeStaircase(uint16_t id, int32_t x, int32_t y, int32_t z)
{
    int32_t direction = m_catalogue.stairPieceDirection(id);
    if (direction < 0)
        return;
    Item* item = house();
    if (!item)
        return;
    int32_t low = 0;
    int32_t high = 0;
    floorZRange(-1, low, high);
    int32_t step = (z - low) / 5;
    while (direction == 0) {
        if (step >= 3)
            return;
        int32_t next = -1;
        for (const DesignRecord& piece : houseRecords())
            if (piece.dx == x && piece.dy == y && item->z + piece.dz == z + 5 && !isFlat(piece.graphic)
                && isStairPiece(piece.graphic))
                next = m_catalogue.stairPieceDirection(piece.graphic);
        if (next < 0)
            return;
        direction = next;
        z += 5;
        ++step;
    }
    int32_t cx = x;
    int32_t cy = y;
    int32_t dx = 0;
    int32_t dy = 0;
    switch (direction) {
    case 1:
        cy = y + step;
        dy = -1;
        break;
    case 3:
        cy = y - step;
        dy = 1;
        break;
    case 2:
        cx = x - step;
        dx = 1;
        break;
    default:
        cx = x + step;
        dx = -1;
        break;
    }
    for (int32_t cell = 0; cell < 4; ++cell, cx += dx, cy += dy) {
        for (const DesignRecord& piece : houseRecords())
            if (piece.dx == cx && piece.dy == cy && !isFlat(piece.graphic) && piece.dz >= low - item->z
                && piece.dz <= high - item->z)
                removeComponent(m_houseSerial, piece);
        if (floorOfPlayer() == 1)
            addComponent(m_houseSerial, { kGroundFloorPiece, 0, int16_t(cx), int16_t(cy), int16_t(low - item->z) });
    }
}

void HouseDesigner::pickPiece(const TargetChoice& choice)
{
    ComponentLocation location;
    if (choice.isMobile || choice.graphic == 0 || !m_catalogue.locateComponent(choice.graphic, location))
        return;
    if (window().isOpen())
        window().showFoundComponent(choice.graphic, location);
}

void HouseDesigner::addComponent(uint32_t serial, DesignRecord record)
{
    Item* item = findItemBySerial(serial);
    if (!item || !item->multi())
        return;
    MultiComponentList& list = *item->multi();
    if (list.find(record.dx, record.dy, record.dz, record.graphic))
        return;
    int16_t unshiftedZ = record.dz;
    if (m_heightMode)
        record.dz = int16_t(record.dz + m_heightAdjust - (isLoweredComponentId(record.graphic) ? 3 : 0));
    list.append(makeMultiPiece(record.graphic, record.hue), record.dx, record.dy, record.dz);
    multiCache().addComponent(serial, record);
    if (isFlat(record.graphic))
        deletePreviewPiecesAt(item->x + record.dx, item->y + record.dy, item->z + unshiftedZ);
    list.placeAt(item->x, item->y, item->z);
    if (serial != m_houseSerial)
        return;
    ++m_componentCount;
    if (m_catalogue.isDoorOrTeleporter(record.graphic))
        ++m_specialCount;
    rebuildChecker();
}

void HouseDesigner::removeComponent(uint32_t serial, const DesignRecord& record)
{
    Item* item = findItemBySerial(serial);
    if (!item || !item->multi() || !item->multi()->remove(record))
        return;
    multiCache().removeComponent(serial, record);
    item->multi()->placeAt(item->x, item->y, item->z);
    if (serial != m_houseSerial)
        return;
    if (isFlat(record.graphic)) {
        // An empty upper-floor cell gets its marker back.
        int32_t z = item->z + record.dz;
        HouseBounds b;
        int32_t relative = z - houseBaseZ();
        int32_t x = item->x + record.dx;
        int32_t y = item->y + record.dy;
        if (houseBounds(b) && relative >= 27 && (relative - 27) % 20 == 0 && relative <= 20 * floorCount() - 13
            && x > b.minX && x <= b.maxX && y > b.minY && y < b.maxY)
            addPreviewPiece(x, y, z);
    }
    --m_componentCount;
    if (m_catalogue.isDoorOrTeleporter(record.graphic))
        --m_specialCount;
    rebuildChecker();
}

} // namespace housing
