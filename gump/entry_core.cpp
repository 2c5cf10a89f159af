#include "gump/entry_core.h"

#include "core/wide_text.h"
#include "gfx/gump_art.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "platform/clock.h"

#include <algorithm>

namespace {

// The view moves back this many characters when the caret leaves it on the left.
constexpr int32_t kScrollBackStep = 8;
// The art of a focused entry that shows differently while unfocused.
constexpr int32_t kFocusedArt = 2444;
constexpr int32_t kUnfocusedArt = 2443;

// The drop-down arrows of the combo look and the arts they go with.
constexpr int32_t kComboArtWide = 2445;
constexpr int32_t kComboArtNarrow = 2446;
constexpr int32_t kEntryArrowArt = 2437;
constexpr int32_t kSmallArrowArt = 5009;

bool isDigit(uint32_t code) { return code >= '0' && code <= '9'; }
bool isLetter(uint32_t code) { return (code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z'); }

} // namespace

void ClickCounter::press()
{
    if (state == 1) {
        state = 2;
    } else {
        state = 1;
        firstPressAt = platform::clock().tickMs();
    }
}

bool ClickCounter::expire()
{
    if (state != 1 || platform::clock().tickMs() - firstPressAt <= kDoubleClickMs)
        return false;
    state = 0;
    return true;
}

EntrySize entrySizeOfArt(const EntryArt& art)
{
    int32_t width = 0;
    int32_t height = 0;
    getGumpArtSize(art.art, width, height);
    return { art.widthOverride != 0 ? art.widthOverride : width, height + 1, art.widthOverride != 0 };
}

TextEntryCore::TextEntryCore(int32_t x, int32_t y, int32_t width, int32_t height, int32_t mode, int32_t maxLength,
    int32_t capacity)
    : CGump(x, y, nullptr, 1, width, height)
    , m_mode(std::clamp(mode, 0, 255))
    , m_maxLength(maxLength)
    , m_capacity(capacity)
{
    // The number modes show "0" with the caret after it.
    m_caret = m_mode == 1 ? 1 : 0;
    page(0)->allocate(width, height);
}

void TextEntryCore::draw(GumpCanvas& canvas)
{
    drawOwnBuffer(canvas);
    drawChildren(canvas);
}

bool TextEntryCore::containsPoint(int32_t x, int32_t y) { return containsPointInBuffer(x, y); }

bool TextEntryCore::hasFocus() { return gumpFocus() == this; }

void TextEntryCore::setText(std::u16string_view text)
{
    m_text.assign(text.substr(0, size_t(textCapacity())));
}

std::u16string TextEntryCore::shownString() const
{
    if (isNumberMode()) {
        char16_t digits[34];
        intToWstr(m_value, digits, 10);
        return digits;
    }
    if (options.password)
        return std::u16string(m_text.size(), u'*');
    return m_text;
}

int32_t TextEntryCore::backgroundArt() const
{
    if (options.selected && options.selectedArt)
        return options.selectedArt;
    if (m_hovered && options.hoverArt)
        return options.hoverArt;
    if (m_text.empty() && options.emptyArt)
        return options.emptyArt;
    if (options.readOnly)
        return options.readOnlyArt;
    return artId();
}

bool TextEntryCore::notifyChanged()
{
    GumpHandle self(this);
    if (CGump* owner = parent())
        owner->onControlChanged(this);
    return bool(self);
}

void TextEntryCore::onLeftDown(int32_t x, int32_t y)
{
    GumpHandle self(this);
    if (CGump* owner = parent()) {
        owner->bringToFront(false);
        if (!self)
            return;
        owner = parent();
        if (owner)
            owner->onControlPressed(this);
        if (!self)
            return;
    }
    if (options.editable && !options.readOnly) {
        gumpReleaseFocus();
        if (!self)
            return;
        gumpSetFocus(this);
        const std::u16string shown = shownString();
        if (isNumberMode()) {
            m_caret = int32_t(shown.size());
        } else {
            m_firstShown = std::clamp(m_firstShown, 0, int32_t(shown.size()));
            const std::u16string visible = shown.substr(size_t(m_firstShown));
            const int32_t within = options.multiLine ? charInBox(visible, width() - 6, x - 1, y)
                                                     : fitChars(visible, x - 1);
            m_caret = m_firstShown + within;
        }
        redraw();
    } else if (m_mode == 2 && !options.readOnly) {
        if (CGump* owner = parent())
            owner->onControlActivated(this);
        if (!self)
            return;
    }
    m_pressed = true;
    m_clicks.press();
    setDragAnchor(x, y);
}

void TextEntryCore::onHoverTick()
{
    if (m_clicks.expire() && m_pressed)
        m_longPress = true;
}

void TextEntryCore::onLeftUp(int32_t, int32_t)
{
    m_pressed = false;
    if (m_longPress) {
        m_longPress = false;
        m_clicks.reset();
        service<GumpPointer>().clearPointerCaptureIf(this);
        return;
    }
    if (m_clicks.state == 2) {
        m_clicks.reset();
        GumpHandle self(this);
        onDoubleClickReleased();
        if (!self)
            return;
        if (CGump* owner = parent())
            owner->onControlReleased(this);
        if (!self)
            return;
    }
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void TextEntryCore::onRightUp(int32_t x, int32_t y)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    CGump* owner = parent();
    if (!owner)
        return;
    localToScreen(x, y);
    owner->screenToLocal(x, y);
    owner->onRightUp(x, y);
}

void TextEntryCore::onMouseOver(int32_t x, int32_t y)
{
    // The base sets the pointer shape of gump type 0.
    CGump::onMouseOver(x, y);
    if (m_hovered)
        return;
    m_hovered = true;
    if (hoverChangesFace())
        redraw();
}

void TextEntryCore::onMouseLeave()
{
    CGump::onMouseLeave();
    m_clicks.reset();
    if (!m_hovered)
        return;
    m_hovered = false;
    if (hoverChangesFace())
        redraw();
}

void TextEntryCore::onFocusLost()
{
    if (artId() == kFocusedArt)
        setArtId(kUnfocusedArt);
    kindAction();
}

void TextEntryCore::keepCaretShownAfterLeftStep()
{
    if (m_caret < m_firstShown)
        m_firstShown = std::max(0, m_firstShown - kScrollBackStep);
}

void TextEntryCore::scrollToCaret()
{
    if (options.fitToWidth)
        return;
    const std::u16string shown = shownString();
    const int32_t length = int32_t(shown.size());
    m_firstShown = std::clamp(m_firstShown, 0, length);
    const int32_t caret = std::clamp(m_caret, 0, length);
    const int32_t fitting = fitChars(shown.substr(size_t(m_firstShown)), width() - 12);
    if (m_firstShown + fitting > caret)
        return;
    const int32_t hiddenStart = m_firstShown + fitting;
    int32_t overflow = measureChars(caret - hiddenStart, shown.substr(size_t(hiddenStart)));
    while (overflow > 0 && m_firstShown < length - 1) {
        overflow -= charWidth(shown[size_t(m_firstShown)]);
        ++m_firstShown;
    }
}

void TextEntryCore::backspace()
{
    if (isNumberMode()) {
        if (m_value == 0)
            return;
        m_value /= 10;
        if (m_caret > 1)
            --m_caret;
    } else {
        if (m_text.empty())
            return;
        m_caret = std::clamp(m_caret, 0, int32_t(m_text.size()));
        // At the start there is nothing before the caret to remove.
        if (m_caret == 0)
            return;
        m_text.erase(size_t(m_caret) - 1, 1);
        --m_caret;
    }
    keepCaretShownAfterLeftStep();
    redraw();
    notifyChanged();
}

void TextEntryCore::typeDigit(uint32_t code)
{
    if (!isDigit(code))
        return;
    // In 64 bits: the limit may be anything a server asks for.
    const int64_t next = int64_t(m_value) * 10 + int64_t(code - '0');
    if (next > m_maxLength)
        return;
    m_value = int32_t(next);
    ++m_caret;
    redraw();
    notifyChanged();
}

void TextEntryCore::typeCharacter(uint32_t code)
{
    if (code > 0xFFFF || !hasGlyph(code))
        return;
    if (options.nameCharsOnly && !isLetter(code) && !isDigit(code) && code != ' ' && code != '-' && code != '.'
        && code != '\'')
        return;
    if (options.alphanumericOnly && !isLetter(code) && !isDigit(code))
        return;
    const int32_t limit = std::min(m_maxLength, textCapacity());
    if (int32_t(m_text.size()) >= limit)
        return;
    m_caret = std::clamp(m_caret, 0, int32_t(m_text.size()));
    m_text.insert(size_t(m_caret), 1, char16_t(code));
    ++m_caret;
    scrollToCaret();
    if ((options.multiLine || options.fitToWidth) && overflowsBox(m_text + u"_")) {
        // Taken back as by Backspace, which redraws and notifies once.
        backspace();
        return;
    }
    redraw();
    notifyChanged();
}

void TextEntryCore::onKey(uint32_t code)
{
    if (options.readOnly)
        return;
    CGump* owner = parent();
    const bool text = !isNumberMode();
    const int32_t length = int32_t(shownString().size());
    switch (code) {
    case GumpKey::kTab:
        if (owner)
            owner->onTab();
        return;
    case GumpKey::kEnter:
        if (owner)
            owner->onEnter();
        return;
    case GumpKey::kEscape:
        if (owner)
            owner->onEscape();
        return;
    case GumpKey::kHome:
        if (m_mode == 0 && m_caret > 0) {
            m_caret = 0;
            m_firstShown = 0;
            redraw();
        }
        return;
    case GumpKey::kEnd: {
        if (m_mode > 2)
            return;
        if (m_caret != length) {
            m_caret = length;
            scrollToCaret();
            redraw();
        }
        return;
    }
    case GumpKey::kLeft:
        if (m_mode == 0 && m_caret > 0) {
            m_caret = std::min(m_caret, length) - 1;
            keepCaretShownAfterLeftStep();
            redraw();
        }
        return;
    case GumpKey::kRight:
        if (m_mode == 0 && m_caret < length) {
            ++m_caret;
            scrollToCaret();
            redraw();
        }
        return;
    case GumpKey::kUp:
    case GumpKey::kDown:
        return;
    case GumpKey::kBackspace:
        backspace();
        return;
    case GumpKey::kDelete:
        if (text) {
            if (m_caret >= length)
                return;
            ++m_caret;
        }
        backspace();
        return;
    default:
        break;
    }
    if (m_mode == 0 || m_mode == 2)
        typeCharacter(code);
    else if (m_mode == 1)
        typeDigit(code);
}

void TextEntryCore::startSizeForm(bool editable, bool centred, bool threeSlice)
{
    setArtId(0);
    options.editable = editable;
    options.centred = centred;
    options.clearBackground = true;
    options.threeSliceBackground = threeSlice;
}

void TextEntryCore::useArtBackground(const EntryArt& art)
{
    setArtId(art.art);
    options.readOnlyArt = art.readOnlyArt;
    options.clearBackground = false;
    options.threeSliceBackground = art.widthOverride != 0;
}

void TextEntryCore::paintBackground()
{
    GumpPage& face = *page(0);
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    if (options.clearBackground)
        return;
    const int32_t art = backgroundArt();
    if (options.threeSliceBackground)
        drawThreeSlice(art, face);
    else
        drawGumpArt(copySpanTransparent, art, face.target(), 0, 0);
}

void TextEntryCore::paintText(int32_t ink, int32_t caretInk)
{
    GumpPage& face = *page(0);
    const int32_t marginX = options.marginX;
    const int32_t marginY = options.marginY;
    const TextClip clip { marginX, marginY, width() - marginX, height() - marginY };
    const std::u16string shown = shownString();
    m_firstShown = std::clamp(m_firstShown, 0, int32_t(shown.size()));
    const std::u16string visible = shown.substr(size_t(m_firstShown));
    const int32_t textY = marginY + baselineOffset();
    const int32_t caretInView = std::clamp(m_caret - m_firstShown, 0, int32_t(visible.size()));
    const int32_t wrapWidth = width() - 2 * marginX;

    if (isNumberMode()) {
        if (hasFocus()) {
            drawLine(marginX, textY, visible, ink, clip);
            drawCaret(marginX + measureChars(caretInView, visible), textY + 2, caretInk, clip);
        } else if (options.centred) {
            drawLine((width() - lineWidth(shown)) / 2, textY, shown, ink, clip);
        } else {
            drawLine(marginX, textY, shown, ink, clip);
        }
        return;
    }
    if (hasFocus()) {
        int32_t caretX = 0;
        int32_t caretY = 0;
        if (options.multiLine && !options.password) {
            drawWrapped(marginX, marginY, visible, wrapWidth, ink, clip);
            wrappedCaret(caretInView, visible, wrapWidth, caretX, caretY);
        } else {
            drawLine(marginX, textY, visible, ink, clip);
            caretX = measureChars(caretInView, visible);
        }
        drawCaret(marginX + caretX, textY + caretY + 2, caretInk, clip);
        return;
    }
    if (options.password) {
        drawLine(marginX, textY, visible, ink, clip);
    } else if (options.centred) {
        const int32_t textWidth = lineWidth(shown);
        const bool fits = options.readOnly ? textWidth < clip.width() : textWidth + 2 * marginX < width();
        if (fits)
            drawLine((width() - textWidth) / 2, textY, shown, ink, clip);
        else
            drawCut(marginX, textY, shown, ink, clip);
        if (!options.readOnly) {
            if (artId() == kComboArtWide)
                drawGumpArt(copySpanTransparent, kEntryArrowArt, face.target(), width() - marginX - 11, marginY + 2);
            else if (artId() == kComboArtNarrow)
                drawGumpArt(copySpanTransparent, kEntryArrowArt, face.target(), width() - marginX - 15, marginY + 2);
            else
                drawGumpArt(copySpanTransparent, kSmallArrowArt, face.target(), width() - marginX - 9, 1);
        }
    } else if (options.multiLine) {
        drawWrapped(marginX, marginY, visible, wrapWidth, ink, clip);
    } else {
        drawLine(marginX, textY, visible, ink, clip);
    }
}
