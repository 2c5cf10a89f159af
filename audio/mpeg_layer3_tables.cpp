// Layer III tables: scale-factor bands, scale-factor lengths, pretab, the low
// sampling frequencies' partitions, and the tables derived from formulas
// (powers, intensity ratios, alias butterflies, IMDCT with windows).

#include "audio/mpeg_tables.h"

#include <cmath>

namespace mpeg {

const ScaleFactorBands kScaleFactorBands[6] = {
    // 22050 Hz
    { { 0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 116, 140, 168, 200, 238, 284, 336, 396, 464, 522, 576 },
        { 0, 4, 8, 12, 18, 24, 32, 42, 56, 74, 100, 132, 174, 192 } },
    // 24000 Hz
    { { 0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 114, 136, 162, 194, 232, 278, 332, 394, 464, 540, 576 },
        { 0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 136, 180, 192 } },
    // 16000 Hz
    { { 0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 116, 140, 168, 200, 238, 284, 336, 396, 464, 522, 576 },
        { 0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 134, 174, 192 } },
    // 44100 Hz
    { { 0, 4, 8, 12, 16, 20, 24, 30, 36, 44, 52, 62, 74, 90, 110, 134, 162, 196, 238, 288, 342, 418, 576 },
        { 0, 4, 8, 12, 16, 22, 30, 40, 52, 66, 84, 106, 136, 192 } },
    // 48000 Hz
    { { 0, 4, 8, 12, 16, 20, 24, 30, 36, 42, 50, 60, 72, 88, 106, 128, 156, 190, 230, 276, 330, 384, 576 },
        { 0, 4, 8, 12, 16, 22, 28, 38, 50, 64, 80, 100, 126, 192 } },
    // 32000 Hz
    { { 0, 4, 8, 12, 16, 20, 24, 30, 36, 44, 54, 66, 82, 102, 126, 156, 194, 240, 296, 364, 448, 550, 576 },
        { 0, 4, 8, 12, 16, 22, 30, 42, 58, 78, 104, 138, 180, 192 } },
};

const uint8_t kSlen[2][16] = {
    { 0, 0, 0, 0, 3, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4 },
    { 0, 1, 2, 3, 0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 2, 3 },
};

const uint8_t kPretab[22] = { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 3, 3, 3, 2, 0 };

// Scale factors per partition at the low sampling frequencies: [scalefac_compress
// range][long, short, mixed][partition].
const uint8_t kLsfPartitions[6][3][4] = {
    { { 6, 5, 5, 5 }, { 9, 9, 9, 9 }, { 6, 9, 9, 9 } },
    { { 6, 5, 7, 3 }, { 9, 9, 12, 6 }, { 6, 9, 12, 6 } },
    { { 11, 10, 0, 0 }, { 18, 18, 0, 0 }, { 15, 18, 0, 0 } },
    { { 7, 7, 7, 0 }, { 12, 12, 12, 0 }, { 6, 15, 12, 0 } },
    { { 6, 6, 6, 3 }, { 12, 9, 9, 6 }, { 6, 12, 9, 6 } },
    { { 8, 8, 5, 0 }, { 15, 12, 9, 0 }, { 6, 18, 9, 0 } },
};

namespace {

struct DerivedTables {
    float pow43[kMaxMagnitude + 1];
    float powHalf[64];
    float intensityRatios[16];
    float lsfIntensity[2][32];
    float aliasCs[8];
    float aliasCa[8];
    float imdctEven[9][9];
    float imdctOdd[9][9];
    float imdctScale[18];
    float imdctSignedWindows[4][36];
    ImdctWideFactors imdctWide;
    float imdctShort[12][6];

    DerivedTables()
    {
        for (int i = 0; i <= kMaxMagnitude; ++i)
            pow43[i] = static_cast<float>(std::pow(static_cast<double>(i), 4.0 / 3.0));
        for (int k = 0; k < 64; ++k)
            powHalf[k] = static_cast<float>(std::pow(2.0, -0.5 * k));
        for (int k = 0; k < 16; ++k)
            intensityRatios[k] = k == 6 ? 1.0e11f : static_cast<float>(std::tan(k * M_PI / 12.0));
        for (int n = 0; n < 32; ++n) {
            lsfIntensity[0][n] = static_cast<float>(std::pow(2.0, -0.25 * n));
            lsfIntensity[1][n] = static_cast<float>(std::pow(2.0, -0.5 * n));
        }
        static const double kAliasCoefficients[8] = { -0.6, -0.535, -0.33, -0.185, -0.095, -0.041, -0.0142, -0.0037 };
        for (int i = 0; i < 8; ++i) {
            const double root = std::sqrt(1.0 + kAliasCoefficients[i] * kAliasCoefficients[i]);
            aliasCs[i] = static_cast<float>(1.0 / root);
            aliasCa[i] = static_cast<float>(kAliasCoefficients[i] / root);
        }
        double windows[4][36] = {};
        for (int i = 0; i < 36; ++i)
            windows[0][i] = std::sin(M_PI / 36.0 * (i + 0.5));
        for (int i = 0; i < 18; ++i)
            windows[1][i] = windows[0][i];
        for (int i = 18; i < 24; ++i)
            windows[1][i] = 1.0;
        for (int i = 24; i < 30; ++i)
            windows[1][i] = std::sin(M_PI / 12.0 * (i - 18 + 0.5));
        for (int i = 6; i < 12; ++i)
            windows[3][i] = std::sin(M_PI / 12.0 * (i - 6 + 0.5));
        for (int i = 12; i < 18; ++i)
            windows[3][i] = 1.0;
        for (int i = 18; i < 36; ++i)
            windows[3][i] = windows[0][i];
        // The 36-point IMDCT through the 18-point DCT-IV C: outputs 0..8 are
        // C[9..17], 9..26 are -C[17..0] and 27..35 are -C[0..8]; the window
        // takes those signs. C[j] times 2 cos((2j + 1) pi / 72) is a DCT-III
        // of the inputs' neighbour sums, whose even and odd halves are 9-point
        // transforms.
        for (int type = 0; type < 4; ++type) {
            for (int i = 0; i < 36; ++i)
                imdctSignedWindows[type][i] = static_cast<float>(i < 9 ? windows[type][i] : -windows[type][i]);
        }
        for (int p = 0; p < 9; ++p) {
            for (int j = 0; j < 9; ++j) {
                imdctEven[p][j] = static_cast<float>(std::cos(M_PI * p * (2 * j + 1) / 18.0));
                imdctOdd[p][j] = static_cast<float>(std::cos(M_PI * (2 * p + 1) * (2 * j + 1) / 36.0));
            }
        }
        for (int j = 0; j < 18; ++j)
            imdctScale[j] = static_cast<float>(1.0 / (2.0 * std::cos(M_PI * (2 * j + 1) / 72.0)));
        for (int lane = 0; lane < 4; ++lane) {
            for (int p = 0; p < 9; ++p) {
                for (int j = 0; j < 9; ++j) {
                    imdctWide.even[p][j][lane] = imdctEven[p][j];
                    imdctWide.odd[p][j][lane] = imdctOdd[p][j];
                }
            }
            for (int j = 0; j < 18; ++j)
                imdctWide.scale[j][lane] = imdctScale[j];
            for (int type = 0; type < 4; ++type) {
                for (int i = 0; i < 36; ++i)
                    imdctWide.windows[type][i][lane] = imdctSignedWindows[type][i];
            }
        }
        for (int i = 0; i < 12; ++i) {
            for (int k = 0; k < 6; ++k) {
                const double c = std::cos(M_PI / 24.0 * (2 * i + 7) * (2 * k + 1));
                imdctShort[i][k] = static_cast<float>(std::sin(M_PI / 12.0 * (i + 0.5)) * c);
            }
        }
    }
};

const DerivedTables gDerived;

} // namespace

const float (&kPow43)[kMaxMagnitude + 1] = gDerived.pow43;
const float (&kPowHalf)[64] = gDerived.powHalf;
const float (&kIntensityRatios)[16] = gDerived.intensityRatios;
const float (&kLsfIntensity)[2][32] = gDerived.lsfIntensity;
const float (&kAliasCs)[8] = gDerived.aliasCs;
const float (&kAliasCa)[8] = gDerived.aliasCa;
const float (&kImdctEven)[9][9] = gDerived.imdctEven;
const float (&kImdctOdd)[9][9] = gDerived.imdctOdd;
const float (&kImdctScale)[18] = gDerived.imdctScale;
const float (&kImdctSignedWindows)[4][36] = gDerived.imdctSignedWindows;
const ImdctWideFactors& kImdctWide = gDerived.imdctWide;
const float (&kImdctShort)[12][6] = gDerived.imdctShort;

} // namespace mpeg
