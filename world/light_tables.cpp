#include "world/light_pass.h"

#include <array>

namespace {

using Curve = std::array<uint8_t, 32>;

constexpr Curve kCurveA { 0, 1, 2, 4, 6, 8, 11, 14, 17, 20, 23, 26, 29, 30, 31, 31, 31, 31, 31, 31, 31, 31, 31, 31, 31,
    31, 31, 31, 31, 31, 31, 31 };
constexpr Curve kCurveB { 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 17, 19, 21,
    23, 25, 27 };
constexpr Curve kCurveM { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22,
    24, 26, 28 };
constexpr Curve kCurveD { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7,
    8 };

struct LightOperatorRow {
    int32_t first;
    int32_t last;
    int32_t code;
};

// Later rows win; the first row covers every graphic.
constexpr LightOperatorRow kOperatorRows[] = {
    { 0, 0xFFFF, 666 },
    { 4012, 4012, 30 },
    { 4017, 4017, 60 },
    { 5703, 5703, 61 },
    { 6587, 6587, 40 },
    { 7979, 7979, 40 },
    { 2555, 2580, 30 },
    { 2581, 2601, 666 },
    { 2842, 2856, 666 },
    { 3553, 3562, 31 },
    { 6217, 6224, 61 },
    { 6227, 6234, 61 },
    { 6522, 6569, 60 },
    { 6571, 6582, 60 },
    { 7885, 7890, 1 },
    { 8148, 8148, 2 },
    { 3948, 3948, 2 },
    { 3629, 3632, 62 },
    { 3633, 3635, 40 },
    { 3676, 3690, 6 },
    { 4846, 4941, 31 },
    { 12394, 12955, 31 },
    { 13371, 13420, 31 },
    { 13639, 13644, 31 },
    { 14612, 14633, 1 },
    { 14662, 14692, 6 },
    { 14695, 14714, 6 },
    { 14732, 14751, 31 },
    { 15874, 15883, 1 },
    { 15911, 15930, 31 },
};

Curve identity()
{
    Curve curve {};
    for (size_t v = 0; v < curve.size(); ++v)
        curve[v] = uint8_t(v);
    return curve;
}

Curve halved(const Curve& curve)
{
    Curve half {};
    for (size_t v = 0; v < curve.size(); ++v)
        half[v] = uint8_t(curve[v] >> 1);
    return half;
}

LightOperator makeOperator(const Curve& red, const Curve& green, const Curve& blue)
{
    return { red, green, blue };
}

struct OperatorTable {
    LightOperator all;
    LightOperator curveBAll;
    LightOperator halfRedGreen;
    LightOperator curveMGreen;
    LightOperator curveDRedMBlue;
    LightOperator curveARed;
    LightOperator curveMRed;
    LightOperator red;
    LightOperator curveMRedGreen;
    LightOperator curveBRedGreen;
    LightOperator redGreen;
};

const OperatorTable& operators()
{
    static const OperatorTable table = [] {
        const Curve v = identity();
        const Curve none {};
        OperatorTable t;
        t.all = makeOperator(v, v, v);
        t.curveBAll = makeOperator(kCurveB, kCurveB, kCurveB);
        t.halfRedGreen = makeOperator(halved(v), halved(v), v);
        t.curveMGreen = makeOperator(none, kCurveM, none);
        t.curveDRedMBlue = makeOperator(kCurveD, none, kCurveM);
        t.curveARed = makeOperator(kCurveA, halved(kCurveA), none);
        t.curveMRed = makeOperator(kCurveM, halved(kCurveM), none);
        t.red = makeOperator(v, none, none);
        t.curveMRedGreen = makeOperator(kCurveM, kCurveM, none);
        t.curveBRedGreen = makeOperator(kCurveB, kCurveB, none);
        t.redGreen = makeOperator(v, v, none);
        return t;
    }();
    return table;
}

} // namespace

int32_t lightOperatorCode(int32_t graphic)
{
    int32_t code = 666;
    for (const LightOperatorRow& row : kOperatorRows) {
        if (graphic >= row.first && graphic <= row.last)
            code = row.code;
    }
    return code;
}

const LightOperator& lightOperator(int32_t code)
{
    const OperatorTable& t = operators();
    switch (code) {
    case 62:
        return t.curveBAll;
    case 2:
        return t.halfRedGreen;
    case 1:
        return t.curveMGreen;
    case 6:
        return t.curveDRedMBlue;
    case 30:
        return t.curveARed;
    case 31:
        return t.curveMRed;
    case 40:
        return t.red;
    case 60:
        return t.curveMRedGreen;
    case 61:
        return t.curveBRedGreen;
    case 50:
        return t.redGreen;
    default:
        return t.all;
    }
}
