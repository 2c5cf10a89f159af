// A full placement-checker rebuild of the largest house the grid holds
// (32 x 32 cells, four floors): clear, file every piece, compute support for
// every floor and scan for legality, as the design engine does after each edit.

#include "housing/house_placement_checker.h"

#include <benchmark/benchmark.h>

#include <string>
#include <utility>
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
            return { 5, kTileRoof };
        default:
            return { 0, 0 };
        }
    }
};

using Piece = housing::HouseComponent;

// The house's component list, as the world's house item answers it.
class BenchHouse final : public housing::HouseComponentSource {
public:
    explicit BenchHouse(std::vector<Piece> pieces)
        : m_pieces(std::move(pieces))
    {
    }
    bool copyComponents(uint32_t, std::vector<Piece>& out) const override
    {
        out = m_pieces;
        return true;
    }
    size_t size() const { return m_pieces.size(); }

private:
    std::vector<Piece> m_pieces;
};

// Walls every seventh row and column and along the far sides (so floor spans
// of six cells bridge them), a floor over every upper-floor cell and a roof over the top floor.
std::vector<Piece> largestHouse()
{
    std::vector<Piece> pieces;
    for (int32_t floor = 0; floor < 4; ++floor) {
        int16_t z = int16_t(7 + 20 * floor);
        for (int32_t x = 1; x < 32; ++x) {
            for (int32_t y = 1; y < 32; ++y) {
                int16_t px = int16_t(x);
                int16_t py = int16_t(y);
                if (floor > 0)
                    pieces.push_back({ kFloorPiece, px, py, z });
                if (x % 7 == 1 || y % 7 == 1 || x == 31 || y == 31)
                    pieces.push_back({ kWallPiece, px, py, z });
                if (floor == 3)
                    pieces.push_back({ kRoofPiece, px, py, z });
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
    BenchHouse house(largestHouse());
    bool legal = false;
    for (auto _ : state) {
        checker.rebuild(1, house);
        legal = checker.allFloorsLegal().legal;
        benchmark::DoNotOptimize(legal);
    }
    state.counters["pieces"] = double(house.size());
    state.counters["legal"] = legal ? 1 : 0;
}

} // namespace

BENCHMARK(BM_HouseCheckerFullRebuild)->Unit(benchmark::kMicrosecond);
