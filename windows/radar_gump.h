#pragma once
// The radar window: an overview of the land round the player, one pixel per
// map cell. Land takes its colour from "radarcol.mul" and is shaded by its
// slope; statics, trees and the items lying in the world are drawn over it
// by height; every colour is converted at the current light level, and the
// picture is laid into the frame art as a diamond (each cell two pixels
// high) wherever the frame holds its key colour. The player's pixel, the
// centre of the frame, blinks.
//
// Two faces, gump arts 5010 (the small one, which the map button and the
// key open) and 5011; the picture is half the frame art's size each way. A
// double click asks the factory for the radar again, which swaps the faces
// in place. At most one radar is open; the world reaches it through
// openRadarGump(). Main thread only; times are tick-count milliseconds.

#include "gump/gump.h"
#include "windows/window_clicks.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

inline constexpr char kRadarColourFileName[] = "radarcol.mul";
// 0..0x3FFF land ids, then 0x4000 + graphic for statics and items.
inline constexpr int32_t kRadarColourCount = 0x10000;
inline constexpr int32_t kRadarColourFileBytes = kRadarColourCount * 2;

using RadarColours = std::array<uint16_t, kRadarColourCount>;

// The colour table of a whole "radarcol.mul" image (little-endian 5-5-5);
// false, and the table left as it was, unless the image is exactly the size
// of the table.
bool parseRadarColours(std::span<const uint8_t> bytes, RadarColours& colours);

class RadarGump final : public CGump {
public:
    static constexpr int32_t kSmallFace = 5010;
    static constexpr int32_t kLargeFace = 5011;
    static constexpr int32_t kMinimisedWidth = 40;
    static constexpr int32_t kMinimisedHeight = 20;
    static constexpr uint16_t kMinimisedFill = 20;
    // The frame's picture area, and the cells off the map.
    static constexpr uint16_t kKeyColour555 = 1057;
    static constexpr uint16_t kKeyColour565 = 2113;
    // Land id 2 and pure white show as this light grey.
    static constexpr uint16_t kPaleWhite = (30 << 10) | (30 << 5) | 30;
    static constexpr uint32_t kRebuildIntervalMs = 500;
    // The centre pixel changes on every fifth blink step.
    static constexpr int32_t kBlinkSteps = 5;
    // How far the window keeps itself on screen while dragged.
    static constexpr int32_t kKeepOnScreen = 160;

    // The window with face `face` (5010 or 5011) at (x, y), not linked; its
    // colour table read from "radarcol.mul" and its first picture built.
    RadarGump(int32_t x, int32_t y, int32_t face);
    ~RadarGump() override;

    void draw(GumpCanvas& canvas) override;
    bool lookKey(uint64_t& key) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    // The gump manager's step of the radar, before the other gumps tick:
    // tickRadar, then blinkPlayer.
    void tick() override;

    // Rebuilds the picture unless the player's cell, the light level and the
    // facet are those of the last picture and no rebuild is forced.
    void rebuildImage();
    // The next rebuild happens whatever the key (the map or the objects on it
    // changed under the player).
    void forceRebuild() { m_force = true; }
    // Rebuilds (when anything changed) once 500 ms have passed since the
    // last rebuild.
    void tickRadar();
    // Every fifth call the centre pixel turns white or back to what it was.
    void blinkPlayer();

    int32_t face() const { return m_face; }
    // Picture width and height in cells.
    int32_t pictureWidth() const { return m_pictureWidth; }
    int32_t pictureHeight() const { return m_pictureHeight; }
    // The picture (rows of pictureWidth) and the composed window face.
    const std::vector<uint16_t>& picture() const { return m_picture; }
    const GumpPage& composite() { return *page(0); }
    const RadarColours& colours() const { return m_colours; }
    // How many pictures have been built (the rebuilds that found nothing
    // changed do not count).
    int32_t buildCount() const { return m_buildCount; }
    uint16_t keyColour() const;

private:
    struct Window;

    void buildPicture();
    void drawLand(const Window& window);
    void drawStatics(const Window& window);
    void drawWorldItems(const Window& window);
    void compose();
    // Puts a converted colour at picture cell (column, row).
    void plot(int32_t column, int32_t row, uint16_t colour);
    uint16_t convert(uint16_t colour) const;
    uint16_t huedColour(int32_t graphic, uint16_t hue) const;

    RadarColours m_colours {};
    int32_t m_face;
    int32_t m_pictureWidth = 0;
    int32_t m_pictureHeight = 0;
    std::vector<uint16_t> m_picture;
    // The top height drawn at each picture cell. Sixteen bits: a static's
    // top (z plus its tile height) reaches well past what a byte holds.
    std::vector<int16_t> m_heights;
    // The rebuild key.
    int32_t m_keyX = 0;
    int32_t m_keyY = 0;
    int32_t m_keyLight = 0;
    int32_t m_keyFacet = 0;
    bool m_force = true;
    int32_t m_light = 0;
    uint32_t m_lastRebuild = 0;
    int32_t m_buildCount = 0;
    int32_t m_blinkCounter = 0;
    uint16_t m_savedCentre = 0;
    bool m_centreWhite = false;
    WindowClicks m_clicks;
    bool m_clickSuppressed = false;
};

// The open radar, or null.
RadarGump* openRadarGump();

// The radar's place in the gump factory (createRadar, radarSizeValue) and
// the world's rebuild requests (RadarView), in front of the services
// installed before; uninstall puts those back.
void installRadarServices();
void uninstallRadarServices();
