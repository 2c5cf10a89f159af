#include "windows/profile_gump.h"

#include "data/settings_registry.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/thumb.h"
#include "net/packet_dispatcher.h"
#include "protocol/packet_reader.h"
#include "text/unicode_font.h"
#include "windows/window_packets.h"
#include "windows/window_services.h"
#include "world/object_manager.h"
#include "world/world_services.h"

#include <algorithm>
#include <optional>

namespace {

constexpr int32_t kProfileTextFont = 1;
constexpr int32_t kX = 170;
constexpr int32_t kY = 90;
constexpr int32_t kProfileThumbX = 256;
constexpr int32_t kProfileThumbY = 72;
constexpr int32_t kProfileButtonX = 137;
constexpr int32_t kProfileTextLeft = 40;
constexpr int32_t kProfileTitleX = 90;
constexpr int32_t kProfileTitleTop = 56;
constexpr int32_t kTextBottomMargin = 70;
constexpr int32_t kSeparatorGap = 30;
constexpr int32_t kProfileGap = 44;
constexpr int32_t kFixedGap = 26;
constexpr int32_t kLowerMiddleDrop = 9;
constexpr uint32_t kExtendedKey = 0xE000;
constexpr uint32_t kEnd = 0xE023;
constexpr uint32_t kHome = 0xE024;
constexpr uint32_t kLeftKey = 0xE025;
constexpr uint32_t kUp = 0xE026;
constexpr uint32_t kRightKey = 0xE027;
constexpr uint32_t kDown = 0xE028;
constexpr uint32_t kDelete = 0xE02E;

uint16_t colourSetting(const char16_t* name)
{
    const int32_t colour = settings().getColourSetting(name);
    return uint16_t(colour > 0 ? colour : ProfileGump::kTitleColour);
}

// Three pieces: the left art, the middle repeated (`middleDrop` lower), the
// right art, `width` wide from x.
void drawSeparator(GumpPage& page, int32_t first, int32_t x, int32_t y, int32_t width, int32_t middleDrop)
{
    const BlitTarget target = page.target();
    const int32_t leftWidth = gumpArtSize(first).width;
    const int32_t rightWidth = gumpArtSize(first + 2).width;
    const int32_t middleWidth = gumpArtSize(first + 1).width;
    drawGumpArt(copySpanTransparent, first, target, x, y);
    const ScreenRect middle { x + leftWidth, 0, x + width - rightWidth, page.height };
    for (int32_t at = middle.left; middleWidth > 0 && at < middle.right; at += middleWidth)
        drawGumpArtClipped(copySpanTransparent, first + 1, target, &middle, at, y + middleDrop);
    drawGumpArt(copySpanTransparent, first + 2, target, x + width - rightWidth, y);
}

int32_t profileTextHeight(const std::u16string& text, int32_t width)
{
    if (text.empty())
        return 0;
    int32_t maxWidth = 0, height = 0, zero = 0;
    measureUnicodeTextWrapped(text.c_str(), width, maxWidth, height, zero);
    return height;
}

std::u16string widen(const std::string& narrow)
{
    std::u16string wide;
    for (char c : narrow)
        wide.push_back(char16_t(uint8_t(c)));
    return wide;
}

// 16-bit units to a 0 unit; none when the packet ends first.
std::optional<std::u16string> readWideText(PacketReader& reader)
{
    std::u16string text;
    for (;;) {
        const uint16_t unit = reader.u16();
        if (!reader.ok())
            return std::nullopt;
        if (unit == 0)
            break;
        // Longer texts are cut; the rest is read to find the terminator.
        if (text.size() < ProfileGump::kMaxText)
            text.push_back(char16_t(unit));
    }
    return text;
}

} // namespace

ProfileGump::ProfileGump(uint32_t serial, std::u16string title, std::u16string fixedText, std::u16string profile)
    : CGump(kX, kY, nullptr, 2, gumpArtSize(kFrameArt).width, kHeight)
    , m_title(std::move(title))
    , m_fixed(std::move(fixedText))
    , m_profile(std::move(profile))
    , m_editable(serial != 0 && serial == playerSerial())
{
    setTypeName("profile gump");
    addKind(GumpKind::Profile);
    setOwnerSerial(serial);
    m_title.resize(std::min(m_title.size(), kMaxText));
    m_fixed.resize(std::min(m_fixed.size(), kMaxText));
    m_profile.resize(std::min(m_profile.size(), kMaxText));
    m_unchanged = m_profile;
    int32_t minimisedWidth = 0, minimisedHeight = 0;
    getGumpArtSize(kMinimisedArt, minimisedWidth, minimisedHeight);
    setMinimisedSize(minimisedWidth, minimisedHeight);
    page(1)->allocate(minimisedWidth, minimisedHeight);
    if (page(1)->isAllocated())
        drawGumpArt(copySpanTransparent, kMinimisedArt, page(1)->target(), 0, 0);

    const int32_t grip = gumpArtSize(kGripArt).height;
    auto* scrollThumb = new Thumb(kProfileThumbX, kProfileThumbY, true, kProfileThumbY + kHeight - grip - 56, kThumbArt);
    gumpLink(scrollThumb, this);
    m_thumb = GumpHandle(scrollThumb);
    auto* minimise = new Button(kProfileButtonX, 0, ButtonBehaviour::ClickOnRelease, 0,
        [](CGump* parent) { parent->minimize(); }, kMinimiseArt, kMinimiseArt, false);
    gumpLink(minimise, this);
    auto* resizeGrip = new Button(kProfileButtonX, kHeight - grip - 3, ButtonBehaviour::ClickOnRelease, 0,
        [](CGump* parent) { service<WindowResizing>().startResize(parent); }, kGripArt, kGripArt, false);
    resizeGrip->setHoverArt(kGripHoverArt);
    gumpLink(resizeGrip, this);
    redraw();
}

ProfileGump::~ProfileGump()
{
    if (m_editable && m_profile != m_unchanged && isWorldConnected())
        sendProfileUpdate(ownerSerial(), m_profile);
    deleteChildren();
}

Thumb* ProfileGump::thumb() const { return static_cast<Thumb*>(m_thumb.get()); }

void ProfileGump::redraw()
{
    const int32_t previousFont = getUnicodeFont();
    selectUnicodeFont(kProfileTextFont);
    // Each pass that moves the scroll lays the page out again; the scroll
    // only moves towards a fixed point, so this ends.
    for (int32_t pass = 0; pass < 4 && !layOut(); ++pass) { }
    selectUnicodeFont(previousFont);
}

bool ProfileGump::layOut()
{
    GumpPage& face = *page(0);
    face.allocate(width(), height());
    if (!face.isAllocated())
        return true;
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    drawVerticalGumpStrip(kFrameArt, 2, face, gumpArtSize(kMinimiseArt).height - 1, gumpArtSize(kGripArt).height);
    TextSurface surface = face.surface();
    const TextClip clip { 0, gumpArtSize(kMinimiseArt).height, width(), height() - gumpArtSize(kGripArt).height };
    const int32_t textBottom = height() - kTextBottomMargin;

    drawUnicodeTextWrapped(
        surface, width() - 160, m_title.c_str(), kProfileTitleX, kProfileTitleTop - m_scroll, kTitleColour, clip, false);
    const int32_t separatorY = profileTextHeight(m_title, width() - 160) - m_scroll + kSeparatorGap;
    drawSeparator(face, 92, kProfileTextLeft, separatorY, width() - 85, 0);

    const int32_t wrap = width() - 50 - 40;
    const int32_t profileY = separatorY + kProfileGap;
    drawUnicodeTextWrapped(surface, wrap, m_profile.c_str(), kProfileTextLeft, profileY, colourSetting(u"ProfileColor2"), clip,
        false);
    int32_t contentBottom = profileY + profileTextHeight(m_profile, wrap);
    if (m_editing) {
        int32_t caretX = 0, caretY = 0;
        unicodeCaretPosition(m_caret, m_profile.c_str(), wrap, caretX, caretY);
        const int32_t lineHeight = std::max(profileTextHeight(u"A", wrap), 1);
        const int32_t caretBottom = profileY + caretY + lineHeight;
        if (caretBottom > textBottom) {
            m_scroll += caretBottom - textBottom;
            return false;
        }
        drawUnicodeTextLine(surface, u"_", kProfileTextLeft + caretX, profileY + caretY, colourSetting(u"ProfileColor2"), clip);
    }
    if (!m_fixed.empty()) {
        const int32_t secondY = contentBottom + 4;
        drawSeparator(face, 95, kProfileTextLeft, secondY, width() - 85, kLowerMiddleDrop);
        const int32_t fixedY = secondY + kFixedGap;
        drawUnicodeTextWrapped(
            surface, wrap, m_fixed.c_str(), kProfileTextLeft, fixedY, colourSetting(u"ProfileColor1"), clip, false);
        contentBottom = fixedY + profileTextHeight(m_fixed, wrap);
    }
    m_largestScroll = std::max(contentBottom + m_scroll - height() + 80, 0);
    if (m_scroll > m_largestScroll) {
        m_scroll = m_largestScroll;
        return false;
    }
    return true;
}

void ProfileGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    setCurrentPage(isMinimised() ? 1 : 0);
    drawPage(canvas);
    setCurrentPage(0);
    if (!isMinimised())
        drawChildren(canvas);
}

bool ProfileGump::containsPoint(int32_t x, int32_t y)
{
    GumpPage* shown = page(isMinimised() ? 1 : 0);
    if (!shown || !shown->isAllocated() || x < 0 || y < 0 || x >= shown->width || y >= shown->height)
        return false;
    return shown->pixel(x, y) != 0;
}

void ProfileGump::onLeftDown(int32_t x, int32_t y)
{
    GumpHandle self(this);
    bringToFront(true);
    if (!self)
        return;
    setDragAnchor(x, y);
    m_pressed = true;
}

void ProfileGump::onLeftUp(int32_t x, int32_t y)
{
    GumpHandle self(this);
    const bool moved = x != dragAnchorX() || y != dragAnchorY();
    m_pressed = false;
    if (isMinimised()) {
        restore();
    } else if (m_editable && !m_editing && !moved) {
        startEditing();
    }
    if (self)
        service<GumpPointer>().clearPointerCaptureIf(this);
}

void ProfileGump::startEditing()
{
    gumpReleaseFocus();
    gumpSetFocus(this);
    m_editing = true;
    m_caret = int32_t(m_profile.size());
    redraw();
}

void ProfileGump::onFocusLost()
{
    m_editing = false;
    redraw();
}

void ProfileGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void ProfileGump::onDrag(int32_t x, int32_t y)
{
    if (m_pressed)
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void ProfileGump::onSlider(int32_t position, int32_t range, CGump*)
{
    const int32_t scroll = range > 0 ? position * m_largestScroll / range : 0;
    if (scroll == m_scroll)
        return;
    m_scroll = scroll;
    redraw();
}

void ProfileGump::resize(int32_t newWidth, int32_t newHeight, bool)
{
    const int32_t dx = newWidth - width();
    const int32_t dy = newHeight - height();
    const int32_t middleX = width() / 2;
    const int32_t middleY = height() / 2;
    forEachChildBottomUp([&](CGump* child) {
        if (child == thumb())
            return;
        child->setLocation(child->x() + (child->x() > middleX ? dx : 0), child->y() + (child->y() > middleY ? dy : 0));
    });
    if (Thumb* knob = thumb()) {
        knob->setLocation(knob->x() + dx, knob->y());
        knob->setRange(knob->minX() + dx, knob->maxX() + dx, knob->minY(), knob->maxY() + dy);
    }
    setSize(newWidth, newHeight);
    redraw();
}

void ProfileGump::onKey(uint32_t code)
{
    if (!m_editing)
        return;
    const int32_t length = int32_t(m_profile.size());
    switch (code) {
    case 8:
        if (m_caret > 0) {
            --m_caret;
            m_profile.erase(size_t(m_caret), 1);
        }
        break;
    case 9:
        return;
    case 27:
        gumpReleaseFocus();
        return;
    case kEnd:
    case kDown:
        m_caret = length;
        break;
    case kHome:
    case kUp:
        m_caret = 0;
        break;
    case kLeftKey:
        m_caret = std::max(m_caret - 1, 0);
        break;
    case kRightKey:
        m_caret = std::min(m_caret + 1, length);
        break;
    case kDelete:
        if (m_caret < length)
            m_profile.erase(size_t(m_caret), 1);
        break;
    default: {
        if (code >= kExtendedKey)
            return;
        const int32_t previousFont = getUnicodeFont();
        selectUnicodeFont(kProfileTextFont);
        const bool drawable = code == 13 || hasUnicodeGlyph(char16_t(code));
        selectUnicodeFont(previousFont);
        if (!drawable || m_profile.size() >= kMaxText)
            return;
        m_profile.insert(size_t(m_caret), 1, char16_t(code));
        ++m_caret;
        break;
    }
    }
    redraw();
}

ProfileGump* findProfileGump(uint32_t serial)
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::Profile) && gump->ownerSerial() == serial)
            return static_cast<ProfileGump*>(gump);
    }
    return nullptr;
}

void handleProfilePacket(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint32_t serial = reader.u32();
    // A title without its NUL takes the rest of the packet, and the texts
    // after it are then missing: the packet is refused.
    const std::string title = reader.textToEnd();
    const std::optional<std::u16string> fixedText = readWideText(reader);
    const std::optional<std::u16string> profile = fixedText ? readWideText(reader) : std::nullopt;
    if (!profile)
        return;
    if (ProfileGump* open = findProfileGump(serial)) {
        open->clampToScreen();
        return;
    }
    std::u16string wideTitle = widen(title);
    wideTitle.resize(std::min(wideTitle.size(), ProfileGump::kMaxText));
    gumpLink(new ProfileGump(serial, std::move(wideTitle), *fixedText, *profile), nullptr);
}

void registerProfileHandler() { registerPacketHandler(0xB8, handleProfilePacket); }
