#include "gump_test_support.h"

#include "fixtures/font_writers.h"
#include "text/ascii_font.h"
#include "text/unicode_font.h"

#include <algorithm>

namespace gump_test {

WorldObject* fakeObject(int index)
{
    static char objects[64];
    return reinterpret_cast<WorldObject*>(&objects[index]);
}

PageGump::PageGump(int32_t x, int32_t y, int32_t width, int32_t height, uint16_t colour, int32_t hole)
    : CGump(x, y, nullptr, 1, width, height)
{
    GumpPage& shown = *page(0);
    shown.allocate(width, height);
    for (int32_t py = 0; py < height; ++py) {
        for (int32_t px = 0; px < width; ++px) {
            bool edge = px < hole || py < hole || px >= width - hole || py >= height - hole;
            shown.pixels[size_t(py) * size_t(width) + size_t(px)] = edge ? 0 : colour;
        }
    }
}

void addStandardArt(fixture::GumpArtFiles& files)
{
    using fixture::patternPicture;
    using fixture::solidPicture;
    // The waiting box's frame (2600..2608) and inner frame (3500..3508):
    // 10-pixel corners and edges, a 6-pixel centre tile.
    for (int32_t i = 0; i < 9; ++i) {
        int32_t width = i == 4 ? 6 : 10;
        files.add(2600 + i, patternPicture(width, width, uint16_t(0x0400 + i * 0x111)));
        files.add(3500 + i, solidPicture(width, width, uint16_t(0x2000 + i * 0x21)));
    }
    // Its buttons: normal, pressed, hovered; busy and not.
    for (int32_t i = 0; i < 6; ++i)
        files.add(1150 + i, patternPicture(20, 10, uint16_t(0x1000 + i * 0x333)));
    // A button: up, down, hover, flash, each a 10 x 10 picture with
    // transparent corners.
    for (int32_t i = 0; i < 4; ++i)
        files.add(100 + i, patternPicture(10, 10, uint16_t(0x0100 + i * 0x1111)));
    // A check box: unchecked, checked, disabled, disabled checked, hover,
    // hover checked.
    for (int32_t i = 0; i < 6; ++i)
        files.add(200 + i, patternPicture(9, 9, uint16_t(0x0200 + i * 0x0F0F)));
    // A thumb.
    files.add(254, solidPicture(8, 6, 0x7C00));
    // A nine-piece frame of distinct pieces, 7 x 5 corners.
    for (int32_t i = 0; i < 9; ++i)
        files.add(300 + i, patternPicture(i == 4 ? 3 : 7, i == 4 ? 4 : 5, uint16_t(0x0800 + i * 0x0C71)));
    // Container faces: the table's default art and art 60.
    files.add(9, solidPicture(100, 80, 0x0210));
    files.add(60, solidPicture(150, 120, 0x0211));
    files.add(10, solidPicture(120, 200, 0x0212));
}

Desktop::Desktop(int32_t width, int32_t height)
{
    addStandardArt(art);
    art.install();
    unicodeFace = fixture::UnicodeFontWriter().addTestFace().bytes();
    for (int32_t font = 0; font < 2; ++font)
        installUnicodeFont(font, reinterpret_cast<const uint8_t*>(unicodeFace.data()), unicodeFace.size());
    fixture::AsciiFontFileWriter ascii;
    for (int font = 0; font < 4; ++font)
        ascii.addTestFace(font);
    std::string asciiBytes = ascii.bytes();
    parseAsciiFontFile(reinterpret_cast<const uint8_t*>(asciiBytes.data()), asciiBytes.size());
    gumpSystemStartup();
    resizeScreen(width, height);
}

Desktop::~Desktop()
{
    gumpSystemShutdown();
    gumpAttachBackBuffer(nullptr);
    unloadUnicodeFonts();
    freeAsciiFonts();
}

void Desktop::resizeScreen(int32_t width, int32_t height)
{
    buffer.resetSizeTo(width, height);
    buffer.create(std::min(width, 640), std::min(height, 480), BufferFormat::Rgb555);
    buffer.renderWorldDirtyRects(nullptr);
    gumpAttachBackBuffer(&buffer);
    gumpBackBufferRecreated();
    GumpScreen screen;
    screen.width = buffer.width();
    screen.height = buffer.height();
    screen.gameWidth = buffer.gameWidth();
    screen.gameHeight = buffer.gameHeight();
    gumpSetScreen(screen);
    fillWorld();
}

void Desktop::fillWorld()
{
    for (int64_t i = 0; i < buffer.pixelCount(); ++i)
        buffer.pixels()[i] = uint16_t((i * 13 + 7) & 0x7FFF);
    m_world.assign(buffer.pixels(), buffer.pixels() + buffer.pixelCount());
}

uint16_t Desktop::screenPixel(int32_t x, int32_t y) const
{
    const GumpScreen& screen = gumpScreen();
    int64_t count = buffer.pixelCount();
    int64_t index = (buffer.ringStart() - int64_t(buffer.width()) * screen.gameViewY - screen.gameViewX
                        + int64_t(y) * buffer.width() + x)
        % count;
    if (index < 0)
        index += count;
    return buffer.pixels()[index];
}

std::vector<uint16_t> Desktop::screenPicture() const { return unrollScreen(buffer.pixels()); }

std::vector<uint16_t> Desktop::unrollScreen(const uint16_t* ring) const
{
    // Screen pixel (x, y) is ring index (origin + y * width + x) mod count:
    // the picture is the ring read from the origin on, wrapping once.
    const GumpScreen& screen = gumpScreen();
    const int64_t count = buffer.pixelCount();
    int64_t origin = (buffer.ringStart() - int64_t(buffer.width()) * screen.gameViewY - screen.gameViewX) % count;
    if (origin < 0)
        origin += count;
    std::vector<uint16_t> picture(ring + origin, ring + count);
    picture.insert(picture.end(), ring, ring + origin);
    return picture;
}

void Desktop::composeAll(bool present) { gumpRedrawRect({ 0, 0, buffer.width(), buffer.height() }, present); }

} // namespace gump_test
