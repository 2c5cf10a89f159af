#include "world/multi_preview.h"

#include "world/cell_picking.h"
#include "world/house_designer_view.h"
#include "world/multi_components.h"
#include "world/tile_data.h"
#include "world/world_services.h"

#include <algorithm>
#include <iterator>

namespace {

MultiPreview* g_preview = nullptr;

// The tools of the house designer that seat pieces on a floor.
constexpr int32_t kFloorTools[] = { 0, 2, 3 };
constexpr int32_t kStairTool = 4;

} // namespace

MultiPreview* multiPreview() { return g_preview; }
void setMultiPreview(MultiPreview* preview) { g_preview = preview; }

MultiPreviewPiece::MultiPreviewPiece(uint16_t pieceGraphic, uint16_t pieceHue, bool translucent)
    : m_translucent(translucent)
{
    graphic = uint16_t(pieceGraphic & 0x3FFF);
    graphicOffset = 0;
    baseHue = pieceHue;
    hue = normalizeHue(pieceHue);
    drawGraphic = remappedDrawGraphic(graphic);
}

MultiPreviewPiece::~MultiPreviewPiece()
{
    if (!isDetached())
        leaveWorld();
    if (g_preview && PreviewPieceList::isLinked(this))
        g_preview->m_pieces.remove(this);
}

void MultiPreviewPiece::draw(const BlitTarget& target, const ScreenRect& dirty)
{
    // A placement shows its pieces see-through; the designer's own pieces
    // show plainly, whatever their tile flags say.
    TileData& tiles = tileData();
    int32_t record = tileIndex();
    uint32_t flags = tiles.item(record).flags;
    if (!tiles.setItemFlags(record, m_translucent ? flags | kTileTranslucent : 0))
        return;
    StaticObject::draw(target, dirty);
    tiles.setItemFlags(record, flags);
}

void MultiPreview::freeDesign()
{
    m_components.clear();
    m_kind.clear();
    m_hasDesign = false;
}

void MultiPreview::setDesign(std::string kind, std::vector<PreviewComponent> components)
{
    freeDesign();
    m_kind = std::move(kind);
    m_components = std::move(components);
    m_hasDesign = true;
    m_loaded = false;
    m_lastX = -1;
}

bool MultiPreview::loadFromMulti(int32_t multiId, int32_t x, int32_t y, int32_t z)
{
    std::vector<MultiRecord> records;
    if (!getMultiComponents(multiId, records))
        return false;
    freeDesign();
    for (const MultiRecord& record : records)
        m_components.push_back({ int16_t(record.x - x), int16_t(record.y - y), int16_t(record.z - z), record.graphic, 0 });
    m_kind = "multi";
    m_hasDesign = true;
    m_lastX = -1;
    m_loaded = true;
    return true;
}

void MultiPreview::loadFromPacket(size_t count, std::span<const uint16_t> words, int32_t x, int32_t y, int32_t z)
{
    freeDesign();
    count = std::min(count, words.size() / kPacketRecordWords);
    for (size_t n = 0; n < count; ++n) {
        std::span<const uint16_t> record = words.subspan(n * kPacketRecordWords, kPacketRecordWords);
        m_components.push_back({ int16_t(int16_t(record[4]) - x), int16_t(int16_t(record[6]) - y),
            int16_t(int16_t(record[8]) - z), record[0], record[2] });
    }
    m_kind = "objlist";
    m_hasDesign = true;
    m_lastX = -1;
    m_loaded = true;
}

void MultiPreview::setHue(uint16_t hue)
{
    for (PreviewComponent& component : m_components)
        component.hue = hue;
}

bool MultiPreview::clearIfTemporary()
{
    if (!m_hasDesign)
        return false;
    if (!m_loaded)
        return true;
    freeDesign();
    m_zOffset = 0;
    m_baseZ = 0;
    m_loaded = false;
    return false;
}

void MultiPreview::deletePieces()
{
    while (MultiPreviewPiece* piece = m_pieces.head()) {
        piece->invalidate();
        delete piece;
    }
}

void MultiPreview::update(int32_t x, int32_t y)
{
    deletePieces();
    if (!m_hasDesign)
        return;
    HouseDesignerView& designer = worldService<HouseDesignerView>();
    int32_t tool = designer.currentTool();
    bool translucent = false;
    int32_t base = 0;
    if (std::find(std::begin(kFloorTools), std::end(kFloorTools), tool) != std::end(kFloorTools)) {
        base = designer.floorLowZ(designer.currentFloor());
    } else if (tool == kStairTool) {
        base = designer.floorLowZ(designer.acceptsCell(x, y) ? 0 : designer.currentFloor());
    } else {
        base = topZAt(x, y);
        translucent = true;
    }
    base += m_zOffset;
    for (const PreviewComponent& component : m_components) {
        auto* piece = new MultiPreviewPiece(component.graphic, component.hue, translucent);
        m_pieces.pushFront(piece);
        piece->enterWorldAt(x + component.dx, y + component.dy, base + component.dz);
        piece->invalidate();
    }
    m_lastX = x;
    m_lastY = y;
    m_baseZ = base;
}
