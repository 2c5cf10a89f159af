// A full placement-checker rebuild of the largest house the grid holds
// (32 x 32 cells, four floors): clear, file every piece, compute support for
// every floor and scan for legality, as the design engine does after each edit.

#include "housing/house_placement_checker.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr uint16_t kFloorPiece = 1000;
constexpr uint16_t kWallPiece = 2000;
constexpr uint16_t kRoofPiece = 5000;

class BenchTiles final : public housing::PieceTileData {
public:
    housing::PieceTileAttributes attributes(uint16_t id) const override
    {
        switch (id) {
        case kWallPiece:
            return { 20, 0 };
        case kRoofPiece:
            return { 5, housing::kTileFlagRoof };
        default:
            return { 0, 0 };
        }
    }
};

struct Piece {
    int32_t x, y, z;
    uint16_t id;
};

// Walls every seventh row and column and along the far sides (so floor spans
// of six cells bridge them), a floor over every upper-floor cell and a roof over the top floor.
std::vector<Piece> largestHouse()
{
    std::vector<Piece> pieces;
    for (int32_t floor = 0; floor < 4; ++floor) {
        int32_t z = 7 + 20 * floor;
        for (int32_t x = 1; x < 32; ++x) {
            for (int32_t y = 1; y < 32; ++y) {
                if (floor > 0)
                    pieces.push_back({ x, y, z, kFloorPiece });
                if (x % 7 == 1 || y % 7 == 1 || x == 31 || y == 31)
                    pieces.push_back({ x, y, z, kWallPiece });
                if (floor == 3)
                    pieces.push_back({ x, y, z, kRoofPiece });
            }
        }
    }
    return pieces;
}

std::string supportText()
{
    std::string text = "header\nheader\n";
    // wall: direct support, connects sideways, carries the floor above
    text += "wall " + std::to_string(kWallPiece) + " 0 1 1 0 1 0 1 0 1 0 1 0 0 0\n";
    return text;
}

void BM_HouseCheckerFullRebuild(benchmark::State& state)
{
    housing::SupportInfoTable support;
    support.loadFromBytes(supportText());
    BenchTiles tiles;
    housing::HouseFrame frame { 1000, 1000, 0, 1000, 1031, 1000, 1031, 4 };
    housing::HousePlacementChecker checker(support, tiles, frame);
    std::vector<Piece> pieces = largestHouse();
    bool legal = false;
    for (auto _ : state) {
        checker.clear();
        for (const Piece& piece : pieces)
            checker.fileComponent(piece.x, piece.y, piece.z, piece.id);
        checker.rebuildSupport();
        legal = checker.allFloorsLegal().legal;
        benchmark::DoNotOptimize(legal);
    }
    state.counters["pieces"] = double(pieces.size());
    state.counters["legal"] = legal ? 1 : 0;
}

} // namespace

BENCHMARK(BM_HouseCheckerFullRebuild)->Unit(benchmark::kMicrosecond);
