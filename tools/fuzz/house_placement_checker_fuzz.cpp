// Files an arbitrary small house into a placement checker: sixteen pieces
// whose tile data and support flags come from the input, a frame of any size
// (some wider or deeper than the grid), and pieces anywhere around it; then
// computes support and scans it.
#include "fuzz_byte_reader.h"
#include "housing/house_placement_checker.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr uint16_t kFirstPiece = 6170; // the sixteen ids reach over the surface markers
constexpr int kPieceKinds = 16;

class Tiles final : public housing::PieceTileData {
public:
    housing::PieceTileAttributes attributes(uint16_t id) const override
    {
        int kind = int(id) - kFirstPiece;
        return kind >= 0 && kind < kPieceKinds ? m_pieces[kind] : housing::PieceTileAttributes {};
    }
    housing::PieceTileAttributes m_pieces[kPieceKinds];
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzByteReader in(data, size);
    Tiles tiles;
    std::string support = "name id flags\n\n";
    for (int kind = 0; kind < kPieceKinds; ++kind) {
        uint8_t shape = in.u8();
        uint32_t flags = ((shape & 1) ? kTileSurface : 0) | ((shape & 2) ? kTileRoof : 0);
        tiles.m_pieces[kind] = { uint8_t(shape >> 4), flags };
        uint16_t supportBits = in.u16();
        support += "p " + std::to_string(kFirstPiece + kind);
        for (int column = 0; column < 14; ++column)
            support += (supportBits >> column) & 1 ? " 1" : " 0";
        support += "\n";
    }
    housing::SupportInfoTable table;
    table.loadFromBytes(support);

    housing::HouseFrame frame;
    frame.x = 1000;
    frame.y = 1000;
    frame.z = 0;
    frame.minX = 1000 - (in.u8() & 3);
    frame.maxX = frame.minX + (in.u8() % 36);
    frame.minY = 1000 - (in.u8() & 3);
    frame.maxY = frame.minY + (in.u8() % 36);
    frame.floors = in.u8() % 6;
    housing::HousePlacementChecker checker(table, tiles, frame);
    checker.clear();

    struct Placed {
        int32_t x, y, z;
        uint16_t id;
    };
    std::vector<Placed> placed;
    while (!in.empty() && placed.size() < 2048) {
        Placed piece { int32_t(in.u8() % 40) - 4, int32_t(in.u8() % 40) - 4, int32_t(in.u8()) - 20,
            uint16_t(kFirstPiece + in.u8() % (kPieceKinds + 1)) };
        checker.fileComponent(piece.x, piece.y, piece.z, piece.id);
        placed.push_back(piece);
    }
    checker.rebuildSupport();

    housing::PlacementVerdict verdict = checker.allFloorsLegal();
    if (!verdict.legal && verdict.message
        && (verdict.x < 0 || verdict.x >= checker.width() || verdict.y < 0 || verdict.y >= checker.height()
            || verdict.floor < 0 || verdict.floor >= checker.floors()))
        abort();
    if (verdict.legal && !checker.fitsGrid())
        abort();
    for (const Placed& piece : placed)
        checker.isSupported(piece.id, frame.x + piece.x, frame.y + piece.y, frame.z + piece.z);
    return 0;
}
