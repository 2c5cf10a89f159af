#include "gfx/pixel_spans.h"

#include "gfx/colour_tables.h"
#include "gfx/pixel_copy.h"

namespace {

struct SpanState {
    int32_t hue = 0;
    bool stipplePhase = false;
    int32_t blendTable = 0;
    uint16_t bloodColour = 0x3E0;
};

SpanState& spanState()
{
    static SpanState spanState;
    return spanState;
}

const uint16_t* hueColours() { return hueTable().entry(spanState().hue).colours.data(); }

inline uint16_t blend50(uint16_t d, uint16_t s)
{
    return static_cast<uint16_t>((((d & kHalveMask) + (s & kHalveMask)) >> 1) | 1);
}

// Three parts of `strong`, one part of `weak`.
inline uint16_t blend75(uint16_t weak, uint16_t strong)
{
    return static_cast<uint16_t>(
        (((((weak & kQuarterMask) + (strong & kQuarterMask)) >> 1) + (strong & kHalveMask)) >> 1) | 1);
}

inline uint16_t blendByTable(const uint16_t* table, uint16_t d, uint16_t s)
{
    return static_cast<uint16_t>(table[redOf(d) * 32 + redOf(s)] << 10 | table[greenOf(d) * 32 + greenOf(s)] << 5
        | table[blueOf(d) * 32 + blueOf(s)]);
}

} // namespace

void setCurrentHue(int32_t entryIndex)
{
    spanState().hue = entryIndex >= 0 && entryIndex < HueTable::kEntryCount ? entryIndex : 0;
}

int32_t currentHue() { return spanState().hue; }

void setCurrentHueNumber(int32_t hueNumber)
{
    setCurrentHue(hueNumber - 1);
}

bool isBlendLevelZero(int32_t level)
{
    return (level & 15) == 0;
}

int32_t selectBlendTable(int32_t level)
{
    spanState().blendTable = blendTableIndexForLevel(level);
    return level & 15;
}

void resetStipplePhase() { spanState().stipplePhase = false; }

void setCensoredBloodColour(uint16_t colour) { spanState().bloodColour = colour; }

void copySpan(uint16_t* destination, const uint16_t* source, int32_t count)
{
    copyPixels(destination, source, count);
}

void copySpanTransparent(uint16_t* destination, const uint16_t* source, int32_t count)
{
    copyPixelsSkippingZero(destination, source, count);
}

void stippleSpan(uint16_t* destination, const uint16_t* source, int32_t count)
{
    spanState().stipplePhase = !spanState().stipplePhase;
    for (int32_t i = spanState().stipplePhase ? 1 : 0; i < count; i += 2)
        if (source[i])
            destination[i] = source[i];
}

void blendSpan50(uint16_t* destination, const uint16_t* source, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        if (source[i])
            destination[i] = blend50(destination[i], source[i]);
}

void blendSpan75(uint16_t* destination, const uint16_t* source, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        if (source[i])
            destination[i] = blend75(destination[i], source[i]);
}

void blendSpan75Opaque(uint16_t* destination, const uint16_t* source, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        destination[i] = blend75(destination[i], source[i]);
}

void blendSpan25Opaque(uint16_t* destination, const uint16_t* source, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        destination[i] = blend75(source[i], destination[i]);
}

void hueSpanByRed(uint16_t* destination, const uint16_t* source, int32_t count)
{
    const uint16_t* hue = hueColours();
    for (int32_t i = 0; i < count; ++i) {
        uint16_t s = source[i];
        if (s == 1)
            destination[i] = 1;
        else if (s)
            destination[i] = hue[redOf(s)];
    }
}

void hueSpanOpaque(uint16_t* destination, const uint16_t* source, int32_t count)
{
    const uint16_t* hue = hueColours();
    for (int32_t i = 0; i < count; ++i)
        destination[i] = hue[redOf(source[i])];
}

void hueSpanByGreen(uint16_t* destination, const uint16_t* source, int32_t count)
{
    const uint16_t* hue = hueColours();
    for (int32_t i = 0; i < count; ++i)
        destination[i] = hue[greenOf(source[i])];
}

void partialHueSpan(uint16_t* destination, const uint16_t* source, int32_t count)
{
    hueSpanGreyOnly(destination, source, count, hueTable().entry(spanState().hue));
}

void partialHueSpanOpaque(uint16_t* destination, const uint16_t* source, int32_t count)
{
    const uint16_t* hue = hueColours();
    for (int32_t i = 0; i < count; ++i) {
        uint16_t s = source[i];
        destination[i] = isGrey(s) ? hue[redOf(s)] : s;
    }
}

void hueBlendSpan75(uint16_t* destination, const uint16_t* source, int32_t count)
{
    const uint16_t* hue = hueColours();
    for (int32_t i = 0; i < count; ++i)
        if (source[i])
            destination[i] = blend75(destination[i], hue[redOf(source[i])]);
}

void hueBlendSpan75Opaque(uint16_t* destination, const uint16_t* source, int32_t count)
{
    const uint16_t* hue = hueColours();
    for (int32_t i = 0; i < count; ++i)
        destination[i] = blend75(destination[i], hue[redOf(source[i])]);
}

void partialHueBlendSpan75(uint16_t* destination, const uint16_t* source, int32_t count)
{
    const uint16_t* hue = hueColours();
    for (int32_t i = 0; i < count; ++i) {
        uint16_t s = source[i];
        if (s)
            destination[i] = isGrey(s) ? blend75(destination[i], hue[redOf(s)]) : s;
    }
}

void partialHueBlendSpan75Opaque(uint16_t* destination, const uint16_t* source, int32_t count)
{
    const uint16_t* hue = hueColours();
    for (int32_t i = 0; i < count; ++i) {
        uint16_t s = source[i];
        destination[i] = isGrey(s) ? blend75(destination[i], hue[redOf(s)]) : s;
    }
}

void blendTableSpan(uint16_t* destination, const uint16_t* source, int32_t count)
{
    const uint16_t* table = colourTables().blend[spanState().blendTable].data();
    for (int32_t i = 0; i < count; ++i)
        destination[i] = blendByTable(table, destination[i], source[i]);
}

void hueBlendTableSpan(uint16_t* destination, const uint16_t* source, int32_t count)
{
    const uint16_t* table = colourTables().blend[spanState().blendTable].data();
    const uint16_t* hue = hueColours();
    for (int32_t i = 0; i < count; ++i)
        destination[i] = blendByTable(table, destination[i], hue[greenOf(source[i])]);
}

void bloodRecolourSpan(uint16_t* destination, const uint16_t* source, int32_t count)
{
    const ColourTables& tables = colourTables();
    const uint16_t blood = spanState().bloodColour;
    for (int32_t i = 0; i < count; ++i) {
        uint16_t s = source[i];
        if (redOf(s) > greenOf(s) + blueOf(s)) {
            // Scaled by (red + 1) / 32, which is shade level 31 - red.
            const auto& row = tables.shade[31 - redOf(s)];
            destination[i]
                = static_cast<uint16_t>(row[redOf(blood)] << 10 | row[greenOf(blood)] << 5 | row[blueOf(blood)]);
        } else {
            destination[i] = s;
        }
    }
}

void hueSpanGreyOnly(uint16_t* destination, const uint16_t* source, int32_t count, const HueEntry& hue)
{
    for (int32_t i = 0; i < count; ++i) {
        uint16_t s = source[i];
        if (s)
            destination[i] = isGrey(s) ? hue.colours[redOf(s)] : s;
    }
}
