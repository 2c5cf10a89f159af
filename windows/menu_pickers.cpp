#include "windows/menu_pickers.h"

#include "gfx/art_cache.h"
#include "gfx/gump_art.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/input_control.h"
#include "gump/toggle_control.h"
#include "gump/waiting_gump.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "protocol/packet_reader.h"
#include "text/ascii_font.h"
#include "windows/item_pictures.h"
#include "world/static_object.h"
#include "world/tile_data.h"

#include <algorithm>

namespace {

constexpr int32_t kPickerTitleFont = 1;
constexpr int32_t kPickerTextHue = 902;
constexpr int32_t kPickerTitleX = 39;
constexpr int32_t kPickerTitleTop = 18;
constexpr int32_t kPickerNameX = 39;
constexpr int32_t kNameY = 103;
constexpr int32_t kPickerNameWidth = 218;
constexpr int32_t kNameHeight = 16;
constexpr int32_t kNameLimit = 30;
// RGB (8, 8, 8) in 8-bit channels behind the pictures.
constexpr uint16_t kStripColour = (1 << 10) | (1 << 5) | 1;
// Within this many pixels of its end a slide moves 3 at a time.
constexpr int32_t kSlideFinish = 6;
constexpr int32_t kSlideFinishStep = 3;

constexpr int32_t kStringTitleX = 20;
constexpr int32_t kStringTitleTop = 16;
constexpr int32_t kStringTitleWidth = 360;
constexpr int32_t kChoiceTextWidth = 330;
constexpr int32_t kBoxX = 20;
constexpr int32_t kChoiceTextX = 50;
constexpr int32_t kPickerBoxArt = 5002;
constexpr int32_t kPickerBoxCheckedArt = 5003;
constexpr int32_t kCancelArt = 5200;
constexpr int32_t kPickerOkArt = 5042;

void sendMenuChoice(uint32_t serial, uint16_t menuId, uint16_t index, uint16_t graphic, uint16_t hue)
{
    PacketStorage<13> packet;
    if (buildMenuChoicePacket(packet, serial, menuId, index, graphic, hue))
        sendPacket(packet);
}

// A picture of the strip: the graphic's static art, through the art remap
// table (whose hue an unhued entry takes), else art 0x4000.
struct StripPicture {
    const ArtImage* image = nullptr;
    uint16_t graphic = 0;
    uint16_t hue = 0;
};

StripPicture stripPicture(const MenuChoice& choice)
{
    StripPicture picture { nullptr, choice.graphic, choice.hue };
    if (const int32_t remapHue = artRemapHue(choice.graphic); remapHue >= 0) {
        picture.graphic = remappedDrawGraphic(choice.graphic);
        if (picture.hue == 0)
            picture.hue = uint16_t(remapHue);
    }
    picture.image = getArtImage(ArtImageCache::kStaticArtBase + picture.graphic);
    if (!picture.image)
        picture.image = getArtImage(ArtImageCache::kStaticArtBase);
    return picture;
}

int32_t wrappedHeight(int32_t font, const std::string& text, int32_t width)
{
    int32_t widest = 0;
    int32_t height = 0;
    int32_t baseline = 0;
    wrapAsciiText(font, text.c_str(), width, widest, height, baseline, 0);
    return height;
}

} // namespace

ObjPickerGump::ObjPickerGump(int32_t x, int32_t y, uint32_t serial, uint16_t menuId, std::string_view title,
    std::vector<MenuChoice> choices)
    : DialogWindow(x, y, nullptr)
    , m_serial(serial)
    , m_menuId(menuId)
    , m_choices(std::move(choices))
{
    setTypeName("objpicker gump");
    for (MenuChoice& choice : m_choices) {
        if (choice.name.empty())
            choice.name = std::string(tileNameText(tileData().item(choice.graphic).name));
    }
    makePageFromArt(kFaceArt);
    if (GumpPage* face = page(0))
        drawAsciiLine(*face, kPickerTitleFont, kPickerTextHue, kPickerTitleX, kPickerTitleTop, title);
    m_nameEntry = new InputControl(kPickerNameX, kNameY, EntrySize { kPickerNameWidth, kNameHeight, false }, 0, kNameLimit,
        kPickerTitleFont, kPickerTextHue, false, false);
    m_nameEntry->options.readOnly = true;
    gumpLink(m_nameEntry, this);
    gumpLink(Button::hotSpot(22, 61, 35, 79, ButtonBehaviour::RepeatOnPress, 0, onParent<&ObjPickerGump::scrollLeft>,
                 false),
        this);
    gumpLink(Button::hotSpot(261, 61, 274, 79, ButtonBehaviour::RepeatOnPress, 0,
                 onParent<&ObjPickerGump::scrollRight>, false),
        this);
    drawStrip();
}

ObjPickerGump::~ObjPickerGump()
{
    if (!currentGameConnection())
        return;
    const MenuChoice* picked = m_chosen > 0 ? &m_choices[size_t(m_chosen - 1)] : nullptr;
    sendMenuChoice(m_serial, m_menuId, uint16_t(m_chosen), picked ? picked->graphic : 0, picked ? picked->hue : 0);
}

int32_t ObjPickerGump::pictureWidth(int32_t index) const
{
    if (index < 0 || size_t(index) >= m_choices.size())
        return kMissingWidth;
    const StripPicture picture = stripPicture(m_choices[size_t(index)]);
    return picture.image ? picture.image->width() : kMissingWidth;
}

void ObjPickerGump::drawStrip()
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    const ScreenRect strip { kStripLeft, kStripTop, kStripRight + 1, kStripBottom + 1 };
    uint16_t fill = kStripColour;
    if (isGumpArt565())
        convertPixelsTo565(&fill, 1);
    for (int32_t row = strip.top; row < strip.bottom && row < face->height; ++row)
        std::fill_n(face->pixels.begin() + ptrdiff_t(row) * face->width + strip.left,
            std::max(0, std::min(strip.right, face->width) - strip.left), fill);
    int32_t x = kStripLeft - (m_sliding ? m_offset : 0);
    for (size_t i = size_t(m_first); i < m_choices.size() && x <= kStripRight; ++i) {
        const StripPicture picture = stripPicture(m_choices[i]);
        if (!picture.image) {
            x += kMissingWidth;
            continue;
        }
        const int32_t top = kStripTop + (strip.height() - picture.image->height()) / 2;
        PixelSpanFn span = windowItemSpan(picture.hue, tileData().item(picture.graphic).flags, picture.graphic, false);
        drawItemPicture(*face, picture.image, span, x, top, strip);
        x += picture.image->width();
    }
}

int32_t ObjPickerGump::choiceAt(int32_t x, int32_t y) const
{
    if (m_sliding || x < kStripLeft || x > kStripRight || y < kStripTop || y > kStripBottom)
        return -1;
    int32_t remainder = x - kStripLeft;
    for (int32_t i = m_first; size_t(i) < m_choices.size(); ++i) {
        remainder -= pictureWidth(i);
        if (remainder < 0)
            return i;
    }
    return -1;
}

void ObjPickerGump::scrollLeft()
{
    if (m_sliding || m_first <= 0)
        return;
    --m_first;
    StripSlide slide = startSlideLeft(pictureWidth(m_first));
    m_sliding = slide.sliding;
    m_offset = slide.offset;
    m_step = slide.step;
    drawStrip();
}

void ObjPickerGump::scrollRight()
{
    if (m_sliding || size_t(m_first) + 1 >= m_choices.size())
        return;
    StripSlide slide = startSlideRight(pictureWidth(m_first));
    m_sliding = slide.sliding;
    m_offset = slide.offset;
    m_step = slide.step;
    if (!m_sliding)
        ++m_first;
    drawStrip();
}

void ObjPickerGump::tick()
{
    if (!m_sliding)
        return;
    StripSlide slide { m_sliding, m_offset, m_step };
    if (stepSlide(slide, pictureWidth(m_first)))
        ++m_first;
    m_sliding = slide.sliding;
    m_offset = slide.offset;
    drawStrip();
}

void ObjPickerGump::onLeftDown(int32_t x, int32_t y)
{
    DialogWindow::onLeftDown(x, y);
    m_clicks.press();
}

void ObjPickerGump::onLeftUp(int32_t x, int32_t y)
{
    if (m_clicks.release() == ClickEvent::Double) {
        const int32_t hit = choiceAt(x, y);
        if (hit >= 0) {
            m_chosen = hit + 1;
            releaseCapture();
            closeGump(this);
            return;
        }
    }
    DialogWindow::onLeftUp(x, y);
}

void ObjPickerGump::onMouseOver(int32_t x, int32_t y)
{
    DialogWindow::onMouseOver(x, y);
    const int32_t hit = choiceAt(x, y);
    if (hit == m_hovered)
        return;
    m_hovered = hit;
    m_nameEntry->setNarrowText(hit >= 0 ? m_choices[size_t(hit)].name : std::string());
    m_nameEntry->redraw();
}

StripSlide startSlideLeft(int32_t width)
{
    // The new first picture starts hidden to its last column and slides in.
    StripSlide slide;
    slide.offset = width - 1;
    slide.step = -((width - 6) / 4);
    slide.sliding = slide.offset > 0;
    if (!slide.sliding)
        slide.offset = 0;
    return slide;
}

StripSlide startSlideRight(int32_t width)
{
    StripSlide slide;
    slide.offset = 1;
    slide.step = (width - 6) / 4;
    slide.sliding = slide.offset < width - 1;
    if (!slide.sliding)
        slide.offset = 0;
    return slide;
}

bool stepSlide(StripSlide& slide, int32_t width)
{
    if (!slide.sliding)
        return false;
    // A narrow picture's step would be 0 or less and never end: every step
    // moves at least as far as the last few.
    if (slide.step < 0) {
        const int32_t move = slide.offset <= kSlideFinish ? kSlideFinishStep : std::max(-slide.step, kSlideFinishStep);
        slide.offset -= move;
        if (slide.offset <= 0) {
            slide.offset = 0;
            slide.sliding = false;
        }
        return false;
    }
    const int32_t end = width - 1;
    const int32_t move = end - slide.offset <= kSlideFinish ? kSlideFinishStep : std::max(slide.step, kSlideFinishStep);
    slide.offset += move;
    if (slide.offset < end)
        return false;
    slide.offset = 0;
    slide.sliding = false;
    return true;
}

StringPickerGump::StringPickerGump(uint32_t serial, uint16_t menuId, std::string_view title, std::vector<MenuChoice> choices)
    : DialogWindow(0, 0, nullptr)
    , m_serial(serial)
    , m_menuId(menuId)
    , m_choices(std::move(choices))
{
    setTypeName("stringpicker gump");
    const std::string heading(title);
    const int32_t titleHeight = wrappedHeight(kPickerTitleFont, heading, kStringTitleWidth);
    int32_t height = titleHeight + 106;
    std::vector<int32_t> textHeights;
    for (const MenuChoice& choice : m_choices) {
        textHeights.push_back(wrappedHeight(kPickerTitleFont, choice.name, kChoiceTextWidth));
        height += textHeights.back() + 6;
    }
    setSize(kWidth, height);
    const GumpScreen& screen = gumpScreen();
    setLocation((screen.width - kWidth) / 2, (screen.height - height) / 2);
    GumpPage& face = *page(0);
    face.allocate(kWidth, height);
    drawNinePatch(kFrameArt, face, true);
    const TextSurface surface = face.surface();
    drawAsciiTextWrapped(kStringTitleX, kStringTitleTop, kPickerTitleFont, kPickerTextHue, heading.c_str(), kStringTitleWidth,
        surface, wholeSurface(surface), 0, 0, false);
    int32_t top = titleHeight + 36;
    for (size_t i = 0; i < m_choices.size(); ++i) {
        auto* box = new ToggleControl(kBoxX, top, kPickerBoxArt, kPickerBoxCheckedArt, kPickerTitleFont, kPickerTextHue, "", false, kPickerBoxArt,
            kPickerBoxCheckedArt);
        gumpLink(box, this);
        m_boxes.push_back(box);
        drawAsciiTextWrapped(kChoiceTextX, top + 2, kPickerTitleFont, kPickerTextHue, m_choices[i].name.c_str(), kChoiceTextWidth,
            surface, wholeSurface(surface), 0, 0, false);
        top += textHeights[i] + 6;
    }
    auto* cancelButton = new Button(40, height - 44, ButtonBehaviour::ClickOnRelease, 0,
        onParent<&StringPickerGump::cancel>, kCancelArt, kCancelArt + 1, false);
    gumpLink(cancelButton, this);
    auto* okButton = new Button(160, height - 44, ButtonBehaviour::ClickOnRelease, 0,
        onParent<&StringPickerGump::accept>, kPickerOkArt, kPickerOkArt + 1, false);
    gumpLink(okButton, this);
}

StringPickerGump::~StringPickerGump() { gumpClearModalIf(this); }

void StringPickerGump::accept()
{
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        if (m_boxes[i]->isChecked()) {
            sendMenuChoice(m_serial, m_menuId, uint16_t(i + 1), m_choices[i].graphic, 0);
            closeGump(this);
            return;
        }
    }
    gumpShowWaiting(std::string(kChooseOne), nullptr, false, false, false);
}

void StringPickerGump::cancel()
{
    sendMenuChoice(m_serial, m_menuId, 0, 0, 0);
    closeGump(this);
}

void StringPickerGump::onRightUp(int32_t, int32_t)
{
    releaseCapture();
    cancel();
}

void StringPickerGump::onControlChanged(CGump* control)
{
    auto box = std::find(m_boxes.begin(), m_boxes.end(), control);
    if (box == m_boxes.end())
        return;
    // A radio column: the box clicked stays checked, every other clears.
    (*box)->setChecked(true);
    (*box)->redraw();
    for (ToggleControl* other : m_boxes) {
        if (other != *box && other->isChecked()) {
            other->setChecked(false);
            other->redraw();
        }
    }
}

void handleItemListMenu(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint32_t serial = reader.u32();
    const uint16_t menuId = reader.u16();
    std::string title = reader.bytes(reader.u8());
    title.resize(std::min(title.size(), title.find('\0')));
    const uint8_t count = reader.u8();
    std::vector<MenuChoice> choices;
    for (uint8_t i = 0; i < count && reader.ok(); ++i) {
        MenuChoice choice;
        choice.graphic = reader.u16();
        choice.hue = reader.u16();
        choice.name = reader.bytes(reader.u8());
        choice.name.resize(std::min(choice.name.size(), choice.name.find('\0')));
        choices.push_back(std::move(choice));
    }
    // A menu of no entries has no first picture to choose the kind by, and
    // nothing to pick: it opens nothing.
    if (!reader.ok() || choices.empty())
        return;
    if (choices.front().graphic != 0) {
        gumpLink(new ObjPickerGump(0, 0, serial, menuId, title, std::move(choices)), nullptr);
        return;
    }
    auto* picker = new StringPickerGump(serial, menuId, title, std::move(choices));
    gumpLink(picker, nullptr);
    gumpSetModal(picker);
}
