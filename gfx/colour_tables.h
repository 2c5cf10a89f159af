#pragma once
// Pixel format constants and the colour lookup tables every drawer shares.
// Pixels are 16-bit 5-5-5 (red bits 10-14, green 5-9, blue 0-4, bit 15 unused);
// 0 is black and also the transparent value of art. The tables are built once,
// on first use, and never change, so they may be read from any thread.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

inline constexpr int kRedShift = 10;
inline constexpr int kGreenShift = 5;
// Each channel's lowest bit cleared: two pixels can be added and halved whole.
inline constexpr uint16_t kHalveMask = 0x7BDE;
// Each channel's two lowest bits cleared.
inline constexpr uint16_t kQuarterMask = 0x739C;
// kHalveMask >> 1: halves a pixel in one step.
inline constexpr uint16_t kShadowMask = 0x3DEF;

inline constexpr uint16_t redOf(uint16_t p) { return (p >> 10) & 31; }
inline constexpr uint16_t greenOf(uint16_t p) { return (p >> 5) & 31; }
inline constexpr uint16_t blueOf(uint16_t p) { return p & 31; }
inline constexpr bool isGrey(uint16_t p) { return (p >> 5) == (p & 0x3FF); }

// 8-bit channels to a 5-5-5 pixel.
inline constexpr uint16_t packRgb(uint32_t r, uint32_t g, uint32_t b)
{
    return static_cast<uint16_t>((((r & 0xFF) >> 3) << 10) | (((g & 0xFF) >> 3) << 5) | ((b & 0xFF) >> 3));
}

// 5-5-5 to 5-6-5; the new low green bit is 0.
inline constexpr uint16_t convert555To565(uint16_t p)
{
    return static_cast<uint16_t>((p & 0x001F) | ((p & 0x7FE0) << 1));
}

inline constexpr int kBlendTableCount = 8;
inline constexpr int kBlendTableSize = 32 * 32;

struct ColourTables {
    // A grey 5-5-5 pixel of the same brightness, for every 15-bit pixel.
    std::array<uint16_t, 32768> greyscale;
    // A hue intensity 0..25 for every 16-bit pixel; the red channel counts with
    // its top four bits only.
    std::array<uint8_t, 65536> greyIndex;
    // shade[level][v] = v * (32 - level) / 32.
    std::array<std::array<uint8_t, 32>, 32> shade;
    // The shade table as 32-bit values indexed [v][level]: plain, moved to the
    // red position and moved to the green position.
    std::array<std::array<uint32_t, 32>, 32> shadeValue;
    std::array<std::array<uint32_t, 32>, 32> shadeRed;
    std::array<std::array<uint32_t, 32>, 32> shadeGreen;
    // Indexed destination channel * 32 + source channel.
    std::array<std::array<uint16_t, kBlendTableSize>, kBlendTableCount> blend;
};

const ColourTables& colourTables();

// The table a blend level selects (level & 15; levels 8..15 share table 1).
int blendTableIndexForLevel(int32_t level);

// palette.mul: 256 red, green, blue triples. Kept because the file is part of
// the installation, but nothing draws with it.
struct Palette {
    std::array<uint8_t, 768> triples;
};
// Null when the bytes are not a whole palette.
std::optional<Palette> parsePalette(std::span<const uint8_t> bytes);

// Start-up: reads "palette.mul" through the file manager when it exists, then
// loads the animation info table. Returns the palette, when there was one.
std::optional<Palette> loadPalette();
