// Layer II bit-allocation tables (ISO/IEC 11172-3 Tables 3-B.2a to 3-B.2d and
// the low sampling frequencies' table of ISO/IEC 13818-3) and the scale factors
// of layers I and II.

#include "audio/mpeg_tables.h"

#include <cmath>

namespace mpeg {
namespace {

// Allocation value to quantiser, one row per kind of subband.
constexpr Quantiser kUnused { 0, 0 };
constexpr Quantiser kRowA[16] = { kUnused, { 5, 3 }, { 3, 0 }, { 4, 0 }, { 5, 0 }, { 6, 0 }, { 7, 0 }, { 8, 0 },
    { 9, 0 }, { 10, 0 }, { 11, 0 }, { 12, 0 }, { 13, 0 }, { 14, 0 }, { 15, 0 }, { 16, 0 } };
constexpr Quantiser kRowB[16] = { kUnused, { 5, 3 }, { 7, 5 }, { 3, 0 }, { 10, 9 }, { 4, 0 }, { 5, 0 }, { 6, 0 },
    { 7, 0 }, { 8, 0 }, { 9, 0 }, { 10, 0 }, { 11, 0 }, { 12, 0 }, { 13, 0 }, { 16, 0 } };
constexpr Quantiser kRowC[8] = { kUnused, { 5, 3 }, { 7, 5 }, { 3, 0 }, { 10, 9 }, { 4, 0 }, { 5, 0 }, { 16, 0 } };
constexpr Quantiser kRowD[4] = { kUnused, { 5, 3 }, { 7, 5 }, { 16, 0 } };
constexpr Quantiser kRowE[16] = { kUnused, { 5, 3 }, { 7, 5 }, { 10, 9 }, { 4, 0 }, { 5, 0 }, { 6, 0 }, { 7, 0 },
    { 8, 0 }, { 9, 0 }, { 10, 0 }, { 11, 0 }, { 12, 0 }, { 13, 0 }, { 14, 0 }, { 15, 0 } };
constexpr Quantiser kRowF[8] = { kUnused, { 5, 3 }, { 7, 5 }, { 10, 9 }, { 4, 0 }, { 5, 0 }, { 6, 0 }, { 7, 0 } };
constexpr Quantiser kRowLsfLow[16] = { kUnused, { 5, 3 }, { 7, 5 }, { 3, 0 }, { 10, 9 }, { 4, 0 }, { 5, 0 },
    { 6, 0 }, { 7, 0 }, { 8, 0 }, { 9, 0 }, { 10, 0 }, { 11, 0 }, { 12, 0 }, { 13, 0 }, { 14, 0 } };
constexpr Quantiser kRowLsfHigh[4] = { kUnused, { 5, 3 }, { 7, 5 }, { 10, 9 } };

constexpr uint8_t kBitsA[30] = { 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 2, 2, 2, 2, 2,
    2, 2 };
constexpr uint8_t kBitsC[12] = { 4, 4, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3 };
constexpr uint8_t kBitsLsf[30] = { 4, 4, 4, 4, 3, 3, 3, 3, 3, 3, 3, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
    2, 2, 2 };

constexpr const Quantiser* kRowsAB[30] = { kRowA, kRowA, kRowA, kRowB, kRowB, kRowB, kRowB, kRowB, kRowB, kRowB,
    kRowB, kRowC, kRowC, kRowC, kRowC, kRowC, kRowC, kRowC, kRowC, kRowC, kRowC, kRowC, kRowC, kRowD, kRowD, kRowD,
    kRowD, kRowD, kRowD, kRowD };
constexpr const Quantiser* kRowsCD[12] = { kRowE, kRowE, kRowF, kRowF, kRowF, kRowF, kRowF, kRowF, kRowF, kRowF,
    kRowF, kRowF };
constexpr const Quantiser* kRowsLsf[30] = { kRowLsfLow, kRowLsfLow, kRowLsfLow, kRowLsfLow, kRowF, kRowF, kRowF,
    kRowF, kRowF, kRowF, kRowF, kRowLsfHigh, kRowLsfHigh, kRowLsfHigh, kRowLsfHigh, kRowLsfHigh, kRowLsfHigh,
    kRowLsfHigh, kRowLsfHigh, kRowLsfHigh, kRowLsfHigh, kRowLsfHigh, kRowLsfHigh, kRowLsfHigh, kRowLsfHigh,
    kRowLsfHigh, kRowLsfHigh, kRowLsfHigh, kRowLsfHigh, kRowLsfHigh };

struct ScaleFactorTable {
    float values[64];
    ScaleFactorTable()
    {
        for (int i = 0; i < 63; ++i)
            values[i] = static_cast<float>(std::pow(2.0, 1.0 - i / 3.0));
        values[63] = 0.0f;
    }
};

const ScaleFactorTable gScaleFactors;

} // namespace

const AllocationTable kAllocationTables[5] = {
    { 27, kBitsA, kRowsAB },
    { 30, kBitsA, kRowsAB },
    { 8, kBitsC, kRowsCD },
    { 12, kBitsC, kRowsCD },
    { 30, kBitsLsf, kRowsLsf },
};

const float (&kScaleFactorValues)[64] = gScaleFactors.values;

} // namespace mpeg
