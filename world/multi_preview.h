#pragma once
// The placement preview: while the player chooses where to place a multi
// (from a placement request, or in the house designer), a temporary set of
// pieces follows the pointer. The design is loaded from multi.mul or from a
// server packet; the pieces are rebuilt at the pointer's cell every frame,
// drawn translucent for an ordinary placement. One preview for the run,
// made at start-up. Main thread only.

#include "world/intrusive_list.h"
#include "world/static_object.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// A piece of the preview, in the world only while the preview shows it.
class MultiPreviewPiece final : public StaticObject {
public:
    MultiPreviewPiece(uint16_t pieceGraphic, uint16_t pieceHue, bool translucent);
    ~MultiPreviewPiece() override;

    void destroy() override { delete this; }
    void draw(const BlitTarget& target, const ScreenRect& dirty) override;
    bool isPreviewPiece() const override { return true; }

    ListHook<MultiPreviewPiece> previewLink;

private:
    bool m_translucent;
};

using PreviewPieceList = IntrusiveList<MultiPreviewPiece, &MultiPreviewPiece::previewLink>;

struct PreviewComponent {
    int16_t dx = 0;
    int16_t dy = 0;
    int16_t dz = 0;
    uint16_t graphic = 0;
    uint16_t hue = 0;
};

class MultiPreview {
public:
    // Words of one record of the server's object-list packet.
    static constexpr size_t kPacketRecordWords = 10;

    ~MultiPreview() { deletePieces(); }

    // The records of multi `multiId`, offsets taken relative to (x, y, z).
    bool loadFromMulti(int32_t multiId, int32_t x, int32_t y, int32_t z);
    // `count` records of ten 16-bit words (graphic, hue, x, y, z in words 0,
    // 2, 4, 6 and 8); only whole records present in `words` are taken.
    void loadFromPacket(size_t count, std::span<const uint16_t> words, int32_t x, int32_t y, int32_t z);
    void setHue(uint16_t hue);
    // Frees a design either loader made and answers false; answers true
    // (freeing nothing) for a design that came another way; false for none.
    bool clearIfTemporary();
    void deletePieces();
    // Rebuilds the pieces at cell (x, y).
    void update(int32_t x, int32_t y);

    bool hasDesign() const { return m_hasDesign; }
    const std::string& kind() const { return m_kind; }
    const std::vector<PreviewComponent>& components() const { return m_components; }
    const PreviewPieceList& pieces() const { return m_pieces; }
    int32_t lastX() const { return m_lastX; }
    int32_t lastY() const { return m_lastY; }
    int32_t baseZ() const { return m_baseZ; }
    void setZOffset(int32_t offset) { m_zOffset = offset; }
    // For a design set by the house designer (not temporary).
    void setDesign(std::string kind, std::vector<PreviewComponent> components);
    // The house designer's tools without a preview drop it with its pieces.
    void clearDesign()
    {
        deletePieces();
        freeDesign();
    }

private:
    friend class MultiPreviewPiece;
    void freeDesign();

    std::string m_kind;
    std::vector<PreviewComponent> m_components;
    bool m_hasDesign = false;
    bool m_loaded = false;
    int32_t m_lastX = -1;
    int32_t m_lastY = -1;
    int32_t m_baseZ = 0;
    int32_t m_zOffset = 0;
    PreviewPieceList m_pieces;
};

// The preview made at start-up; null before and after.
MultiPreview* multiPreview();
void setMultiPreview(MultiPreview* preview);
