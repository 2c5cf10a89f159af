#include "gump/input_control.h"

#include "core/wide_text.h"
#include "data/client_services.h"
#include "data/targeting.h"
#include "gfx/gump_art.h"
#include "gump/gump_painters.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "text/ascii_font.h"

#include <algorithm>

namespace {

constexpr uint16_t kSystemHue = 0;
constexpr uint16_t kSystemFont = 3;
// The mobile pick's target type: an object.
constexpr int32_t kPickTargetType = 2;

GumpHandle& pendingPick()
{
    static GumpHandle handle;
    return handle;
}

std::string narrow(const std::u16string& text)
{
    std::string out(text.size(), '\0');
    for (size_t i = 0; i < text.size(); ++i)
        out[i] = char(uint8_t(text[i]));
    return out;
}

} // namespace

InputControl::InputControl(int32_t x, int32_t y, const EntryArt& art, int32_t mode, int32_t maxLength, int32_t font,
    int32_t hue, bool editable, bool centred)
    : InputControl(x, y, entrySizeOfArt(art), mode, maxLength, font, hue, editable, centred)
{
    useArtBackground(art);
    redraw();
}

InputControl::InputControl(int32_t x, int32_t y, const EntrySize& size, int32_t mode, int32_t maxLength, int32_t font,
    int32_t hue, bool editable, bool centred)
    : TextEntryCore(x, y, int32_t(uint16_t(size.width)), int32_t(uint16_t(size.height)), mode, maxLength, kCapacity)
    , m_font(font)
    , m_hue(hue)
{
    setTypeName("InputControl gump");
    addKind(GumpKind::InputControl);
    startSizeForm(editable, centred, size.threeSlice);
    redraw();
}

InputControl::~InputControl()
{
    if (pendingPick().get() == this)
        pendingPick() = GumpHandle();
}

std::string InputControl::narrowText() const { return narrow(m_text); }

void InputControl::setNarrowText(std::string_view text)
{
    setText(bytesToWideString(text));
}

int32_t InputControl::measureChars(int32_t count, const std::u16string& text)
{
    return measureAsciiChars(m_font, count, narrow(text).c_str());
}

int32_t InputControl::fitChars(const std::u16string& text, int32_t width)
{
    return fitAsciiChars(m_font, narrow(text).c_str(), width);
}

int32_t InputControl::charWidth(char16_t unit) { return asciiGlyphWidth(m_font, unit); }

int32_t InputControl::charInBox(const std::u16string& text, int32_t width, int32_t x, int32_t y)
{
    return fitAsciiTextBox(m_font, narrow(text).c_str(), width, x, y);
}

bool InputControl::overflowsBox(const std::u16string& textWithCaret)
{
    const std::string shown = narrow(textWithCaret);
    int32_t measuredWidth = 0;
    int32_t measuredHeight = 0;
    int32_t baseline = 0;
    if (options.multiLine) {
        wrapAsciiText(m_font, shown.c_str(), width() - 6, measuredWidth, measuredHeight, baseline, 0);
        return measuredHeight >= height();
    }
    measureAsciiText(m_font, shown.c_str(), measuredWidth, measuredHeight, baseline);
    return measuredWidth >= width() - 6;
}

bool InputControl::hasGlyph(uint32_t code) { return hasAsciiGlyph(m_font, int32_t(code)); }

void InputControl::onDoubleClickReleased()
{
    if (!options.pickMobile || targetingState().targetingActive)
        return;
    windowNotices().addSystemMessage(kSystemHue, kSystemFont, "Select a player.");
    pendingPick() = GumpHandle(this);
    TargetingState& targeting = targetingState();
    targeting.command = { std::string(), kPickTargetType, 0 };
    targeting.callback = pickMobileForEntry;
    beginTargeting();
}

void InputControl::redraw()
{
    if (!page(0)->isAllocated())
        return;
    paintBackground();
    paintText(m_hue, kCaretHue);
}

int32_t InputControl::baselineOffset()
{
    int32_t unusedWidth = 0;
    int32_t unusedHeight = 0;
    int32_t baseline = 0;
    measureAsciiText(m_font, "Aq", unusedWidth, unusedHeight, baseline);
    return baseline;
}

void InputControl::drawLine(int32_t x, int32_t y, const std::u16string& text, int32_t ink, const TextClip& clip)
{
    drawAsciiText(x, y, m_font, ink, narrow(text).c_str(), page(0)->surface(), clip);
}

void InputControl::drawWrapped(
    int32_t x, int32_t y, const std::u16string& text, int32_t wrapWidth, int32_t ink, const TextClip& clip)
{
    drawAsciiTextWrapped(x, y, m_font, ink, narrow(text).c_str(), wrapWidth, page(0)->surface(), clip, 0, 0, false);
}

void InputControl::drawCut(int32_t x, int32_t y, const std::u16string& text, int32_t ink, const TextClip& clip)
{
    drawAsciiTextClipped(x, y, m_font, ink, narrow(text).c_str(), page(0)->surface(), clip);
}

void InputControl::drawCaret(int32_t x, int32_t y, int32_t ink, const TextClip& clip)
{
    drawAsciiText(x, y, m_font, ink, "_", page(0)->surface(), clip);
}

int32_t InputControl::lineWidth(const std::u16string& text)
{
    int32_t textWidth = 0;
    int32_t unusedHeight = 0;
    int32_t unusedBaseline = 0;
    measureAsciiText(m_font, narrow(text).c_str(), textWidth, unusedHeight, unusedBaseline);
    return textWidth;
}

void InputControl::wrappedCaret(int32_t index, const std::u16string& text, int32_t wrapWidth, int32_t& x, int32_t& y)
{
    asciiCaretPosition(m_font, index, narrow(text).c_str(), wrapWidth, x, y);
}

TextEntry::TextEntry(int32_t x, int32_t y, const EntrySize& size, int32_t mode, int32_t maxLength, int32_t font,
    int32_t hue, bool editable, bool centred)
    : InputControl(x, y, size, mode, maxLength, font, hue, editable, centred)
{
    redraw();
}

void TextEntry::paintBackground() { m_frame.paint(kFrameArt, *page(0)); }

void TextEntry::redraw()
{
    if (!page(0)->isAllocated())
        return;
    int32_t hue = m_hue;
    if (isHovered() && hoverHue)
        hue = hoverHue;
    if (options.selected && selectedHue)
        hue = selectedHue;
    paintBackground();
    paintText(hue, kCaretHue);
    if (iconArt != -1) {
        GumpPage& face = *page(0);
        int32_t iconWidth = gumpArtSize(iconArt).width;
        drawGumpArt(copySpanTransparent, iconArt, face.target(), width() - iconWidth - 3, 2);
    }
}

InputControl* pendingPickEntry() { return static_cast<InputControl*>(pendingPick().get()); }

void clearPendingPickEntry() { pendingPick() = GumpHandle(); }

void pickMobileForEntry(const std::optional<TargetChoice>& target)
{
    InputControl* entry = pendingPickEntry();
    if (target && target->isMobile && entry) {
        entry->setValue(int32_t(target->serial));
        entry->setNarrowText("(mobile)");
        entry->redraw();
        if (CGump* owner = entry->parent())
            owner->onControlChanged(entry);
        PacketStorage<8> packet;
        if (buildNameRequestPacket(packet, target->serial))
            sendPacket(packet);
    } else {
        windowNotices().addSystemMessage(kSystemHue, kSystemFont, "Not a mobile.");
    }
    TargetingState& targeting = targetingState();
    targeting.callback = nullptr;
    targeting.command = {};
    endTargeting();
}
