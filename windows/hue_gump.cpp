#include "windows/hue_gump.h"

#include "gfx/art_blitter.h"
#include "gfx/art_cache.h"
#include "gfx/art_image.h"
#include "gfx/gump_art.h"
#include "gfx/hue_table.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/thumb.h"
#include "text/ascii_font.h"
#include "windows/window_packets.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr int32_t kSliderX = 38;
constexpr int32_t kSliderY = 142;
constexpr int32_t kSliderEnd = 186;
constexpr int32_t kSliderArt = 2117;
constexpr int32_t kSliderHoverArt = 2118;
constexpr int32_t kHueOkX = 208;
constexpr int32_t kHueOkY = 138;
constexpr int32_t kOkArt = 2311;
constexpr int32_t kOkDownArt = 2312;
constexpr int32_t kOkHoverArt = 2313;
constexpr int32_t kMoveCursor = 17;
constexpr int32_t kItemArtBase = 0x4000;
constexpr int32_t kHueTextFont = 3;
constexpr int32_t kTextWrap = 54;
constexpr int32_t kFirstHue = 2;

uint16_t swatchOf(int32_t hue)
{
    const int32_t record = std::clamp(hue - 1, 0, HueTable::kEntryCount - 1);
    return uint16_t(hueTable().entry(record).colours[16] | 1);
}

void shadeDown(CGump* parent)
{
    auto* picker = static_cast<HueGump*>(parent);
    picker->setShade(picker->shade() - 1);
}

void shadeUp(CGump* parent)
{
    auto* picker = static_cast<HueGump*>(parent);
    picker->setShade(picker->shade() + 1);
}

// The item picture of a graphic, or the first item picture when it has none.
const ArtImage* itemPicture(uint16_t graphic)
{
    const ArtImage* image = getArtImage(kItemArtBase + graphic);
    return image ? image : getArtImage(kItemArtBase);
}

} // namespace

HueGump::HueGump(uint32_t serial, uint16_t value, uint16_t graphic)
    : CGump(0, 0, nullptr, 1, 0, 0)
    , m_serial(serial)
    , m_value(value)
    , m_graphic(graphic)
    , m_replyByPacket(true)
    , m_itemPreview(true)
{
    int32_t width = 0, height = 0;
    getGumpArtSize(kArt, width, height);
    setSize(width, height);
    const GumpScreen& screen = gumpScreen();
    setLocation((screen.width - width) / 2, (screen.height - height) / 2);
    addChildren();
}

HueGump::HueGump(
    int32_t x, int32_t y, int32_t previewArt, bool textPreview, std::string text, int32_t hue, HueChosen chosen)
    : CGump(x, y, nullptr, 1, 0, 0)
    , m_artPreview(!textPreview)
    , m_textPreview(textPreview)
    , m_previewArt(previewArt)
    , m_text(std::move(text))
    , m_hue(hue)
    , m_shade(((hue - kFirstHue) % kShades + kShades) % kShades)
    , m_chosen(std::move(chosen))
{
    int32_t width = 0, height = 0;
    getGumpArtSize(kArt, width, height);
    setSize(width, height);
    addChildren();
}

HueGump::~HueGump()
{
    if (m_replyByPacket)
        sendDyeResponse(m_serial, m_value, uint16_t(m_hue));
    else if (m_chosen)
        m_chosen(m_cancelled ? -1 : m_hue);
    deleteChildren();
}

void HueGump::addChildren()
{
    setTypeName("hue gump");
    addKind(GumpKind::HuePicker);
    page(0)->allocate(width(), height());
    auto* slider = new Thumb(kSliderX, kSliderY, false, kSliderEnd, kSliderArt);
    slider->setHoverArt(kSliderHoverArt);
    gumpLink(slider, this);
    slider->setPosition(m_shade, kShades - 1);
    m_slider = GumpHandle(slider);
    gumpLink(Button::hotSpot(26, 142, 39, 158, ButtonBehaviour::ClickOnRelease, 0, shadeDown, false), this);
    gumpLink(Button::hotSpot(184, 142, 197, 158, ButtonBehaviour::ClickOnRelease, 0, shadeUp, false), this);
    auto* ok = new Button(
        kHueOkX, kHueOkY, ButtonBehaviour::ClickOnRelease, 0, onParent<&HueGump::accept>, kOkArt, kOkDownArt, false);
    ok->setHoverArt(kOkHoverArt);
    gumpLink(ok, this);
    redraw();
}

int32_t HueGump::hueAt(int32_t x, int32_t y) const
{
    if (x < kGridLeft || x > kGridRight || y < kGridTop || y > kGridBottom)
        return -1;
    return 100 * ((y - kGridTop) / kCell) + 5 * ((x - kGridLeft) / kCell) + m_shade + kFirstHue;
}

void HueGump::setShade(int32_t shade)
{
    shade = std::clamp(shade, 0, kShades - 1);
    m_hue += shade - m_shade;
    m_shade = shade;
    if (auto* slider = static_cast<Thumb*>(m_slider.get()))
        slider->setPosition(m_shade, kShades - 1);
    redraw();
}

void HueGump::redraw()
{
    GumpPage& face = *page(0);
    if (!face.isAllocated())
        return;
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    drawGumpArt(copySpanTransparent, kArt, face.target(), 0, 0);
    for (int32_t row = 0; row < kRows; ++row) {
        for (int32_t column = 0; column < kColumns; ++column) {
            const uint16_t colour = swatchOf(kFirstHue + 100 * row + 5 * column + m_shade);
            for (int32_t y = 0; y < kCell; ++y) {
                const int32_t py = kGridTop + row * kCell + y;
                for (int32_t x = 0; x < kCell; ++x) {
                    const int32_t px = kGridLeft + column * kCell + x;
                    if (px < face.width && py < face.height)
                        face.pixels[size_t(py) * size_t(face.width) + size_t(px)] = colour;
                }
            }
        }
    }
    // A cross on the current hue's cell.
    const int32_t cellX = kGridLeft + (((m_hue - kFirstHue) % 100) / 5) * kCell;
    const int32_t cellY = kGridTop + ((m_hue - kFirstHue) / 100) * kCell;
    for (int32_t i = 3; i < 6; ++i) {
        if (cellX + i < face.width && cellY + 4 < face.height && m_hue >= kFirstHue)
            face.pixels[size_t(cellY + 4) * size_t(face.width) + size_t(cellX + i)] = kMarkColour;
        if (cellX + 4 < face.width && cellY + i < face.height && m_hue >= kFirstHue)
            face.pixels[size_t(cellY + i) * size_t(face.width) + size_t(cellX + 4)] = kMarkColour;
    }
    drawPreview(face);
}

void HueGump::drawPreview(GumpPage& face)
{
    const BlitTarget target = face.target();
    const int32_t areaLeft = kGridRight + 1;
    const int32_t areaWidth = face.width - areaLeft;
    if (m_artPreview) {
        if (m_hue == 0) {
            drawGumpArt(copySpanTransparent, m_previewArt, target, kGridRight - 40, kGridTop - 70);
        } else {
            setCurrentHueNumber(m_hue);
            drawGumpArt(hueSpanByRed, m_previewArt, target, kGridRight - 40, kGridTop - 70);
        }
    } else if (m_textPreview) {
        TextSurface surface = face.surface();
        int32_t wrappedWidth = 0, wrappedHeight = 0, baseline = 0;
        wrapAsciiText(kHueTextFont, m_text.c_str(), kTextWrap, wrappedWidth, wrappedHeight, baseline, 0);
        drawAsciiTextWrapped(areaLeft + (areaWidth - wrappedWidth) / 2, kGridTop, kHueTextFont, m_hue, m_text.c_str(),
            kTextWrap, surface, wholeSurface(surface), 0, 0, true);
    } else if (m_itemPreview) {
        const ArtImage* image = itemPicture(m_graphic);
        if (!image)
            return;
        setCurrentHueNumber(m_hue);
        blitArt(hueSpanByRed, image, target, areaLeft + (areaWidth - image->width()) / 2,
            kGridTop + (kGridBottom - kGridTop - image->height()) / 2);
    }
}

void HueGump::accept() { closeGump(this); }

void HueGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    drawPage(canvas);
    drawChildren(canvas);
}

bool HueGump::containsPoint(int32_t x, int32_t y)
{
    return isVisible() && x >= 0 && y >= 0 && x < width() && y < height();
}

void HueGump::onLeftDown(int32_t x, int32_t y)
{
    GumpHandle self(this);
    bringToFront(false);
    if (!self)
        return;
    setDragAnchor(x, y);
    m_dragging = true;
    const int32_t picked = hueAt(x, y);
    m_picking = picked >= 0;
    if (m_picking) {
        m_hue = picked;
        redraw();
    } else {
        service<GumpPointer>().setCursorKind(kMoveCursor);
    }
}

void HueGump::onDrag(int32_t x, int32_t y)
{
    if (!m_dragging)
        return;
    if (m_picking) {
        const int32_t picked = hueAt(x, y);
        if (picked >= 0 && picked != m_hue) {
            m_hue = picked;
            redraw();
        }
        return;
    }
    moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void HueGump::onLeftUp(int32_t, int32_t)
{
    m_dragging = false;
    m_picking = false;
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void HueGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    // A dye request must be answered: only OK closes it.
    if (m_replyByPacket)
        return;
    m_cancelled = true;
    closeGump(this);
}

void HueGump::onSlider(int32_t position, int32_t range, CGump*)
{
    const int32_t shade = range > 0 ? position * (kShades - 1) / range : 0;
    m_hue += shade - m_shade;
    m_shade = shade;
    redraw();
}

HueGump* findDyePicker(uint32_t serial)
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::HuePicker) && std::string_view(gump->typeName()) == "hue gump"
            && static_cast<HueGump*>(gump)->repliesByPacket() && static_cast<HueGump*>(gump)->serialOfRequest() == serial)
            return static_cast<HueGump*>(gump);
    }
    return nullptr;
}

HueGump* openDyePicker(uint32_t serial, uint16_t value, uint16_t graphic)
{
    if (HueGump* open = findDyePicker(serial)) {
        open->clampToScreen();
        return open;
    }
    auto* picker = new HueGump(serial, value, graphic);
    gumpLink(picker, nullptr);
    return picker;
}
