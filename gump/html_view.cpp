#include "gump/html_view.h"

#include "core/wide_text.h"
#include "data/settings_services.h"
#include "data/targeting.h"
#include "gfx/gump_art.h"
#include "gump/entry_core.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "text/unicode_font.h"
#include "world/item.h"
#include "world/object_manager.h"
#include "world/target_choice.h"

#include <algorithm>

namespace {

enum FramePiece { TopLeft, TopEdge, TopRight, LeftEdge, Centre, RightEdge, BottomLeft, BottomEdge, BottomRight };

// The font a document's plain text is drawn in (style 0).
constexpr int32_t kPlainTextFont = 1;
constexpr char16_t kTabSpaces[] = u"    ";

bool hasGlyphInTextFont(uint32_t code)
{
    if (code > 0xFFFF)
        return false;
    const int32_t previous = getUnicodeFont();
    selectUnicodeFont(kPlainTextFont);
    const bool has = hasUnicodeGlyph(char16_t(code));
    selectUnicodeFont(previous);
    return has;
}

} // namespace

HtmlViewGeometry& htmlViewGeometry()
{
    static HtmlViewGeometry geometry;
    return geometry;
}

std::u16string& htmlCutBuffer()
{
    static std::u16string buffer;
    return buffer;
}

HtmlView::HtmlView(CGump* parent, int32_t id, uint32_t flags, bool tabToParent, bool link)
    : m_id(id)
    , m_tabToParent(tabToParent)
    , m_flags(flags)
{
    setTypeName("html gump");
    const int32_t base = (flags & (HtmlViewFlag::kSmallEntry | HtmlViewFlag::kFrame3000)) ? kFrameSetSmall : kFrameSetNormal;
    for (int32_t i = 0; i < 9; ++i)
        m_frameArts[i] = base + i;
    if (!(flags & HtmlViewFlag::kNoScrollBar))
        m_scrollBar = GumpHandle(new ScrollBar(this));
    if (link && parent)
        gumpLink(this, parent);
}

HtmlView::~HtmlView() = default;

const std::u16string& HtmlView::text() const
{
    static const std::u16string kEmpty;
    return m_document ? m_document->firstRunText() : kEmpty;
}

void HtmlView::setRect(int32_t x, int32_t y, int32_t width, int32_t height)
{
    setLocation(x, y);
    resizePage(width, height);
    m_textRect = { 0, 0, this->width(), this->height() };
    if (!(m_flags & HtmlViewFlag::kNoFrame)) {
        const GumpArtSize left = gumpArtSize(m_frameArts[LeftEdge]);
        const GumpArtSize top = gumpArtSize(m_frameArts[TopEdge]);
        m_textRect = { left.width, top.height, this->width() - left.width, this->height() - top.height };
    }
    if (!(m_flags & HtmlViewFlag::kNoScrollBar)) {
        const int32_t arrowWidth = gumpArtSize(kScrollArrowArt).width;
        m_textRect.right -= arrowWidth;
        if (ScrollBar* bar = scrollBar())
            bar->setGeometry(this->width() - arrowWidth, 0, this->height());
    }
    layout();
}

void HtmlView::setText(std::u16string_view text, int32_t defaultColour)
{
    m_defaultColour = defaultColour;
    m_document = std::make_unique<HtmlDocument>(text, m_flags, defaultColour);
    m_contentHeight = 100;
    m_scrollPos = 0;
    if (ScrollBar* bar = scrollBar())
        bar->setThumbPosition(0, 100);
    layout();
}

void HtmlView::clearPlaceholder()
{
    if (!placeholderPending)
        return;
    placeholderPending = false;
    // Only the first block is the placeholder: a quoted text after it stays.
    if (m_document && m_document->runCount() > 1)
        m_document->replaceFirstRunText(u"");
    else if (m_document)
        m_document = std::make_unique<HtmlDocument>(u"", m_flags, m_defaultColour);
}

void HtmlView::paintFrame()
{
    GumpPage& face = *page(0);
    const int32_t width = scrollBar() ? face.width - gumpArtSize(kScrollArrowArt).width : face.width;
    const GumpArtSize topLeft = gumpArtSize(m_frameArts[TopLeft]);
    const GumpArtSize topEdge = gumpArtSize(m_frameArts[TopEdge]);
    const GumpArtSize topRight = gumpArtSize(m_frameArts[TopRight]);
    const GumpArtSize left = gumpArtSize(m_frameArts[LeftEdge]);
    const GumpArtSize centre = gumpArtSize(m_frameArts[Centre]);
    const GumpArtSize right = gumpArtSize(m_frameArts[RightEdge]);
    const GumpArtSize bottomLeft = gumpArtSize(m_frameArts[BottomLeft]);
    const GumpArtSize bottomRight = gumpArtSize(m_frameArts[BottomRight]);
    const BlitTarget target = face.target();
    drawGumpArt(copySpan, m_frameArts[TopLeft], target, 0, 0);
    tileOpaque(m_frameArts[TopEdge], face, topLeft.width, 0, width - topRight.width, topEdge.height);
    drawGumpArt(copySpan, m_frameArts[TopRight], target, width - topRight.width, 0);
    // The middle in rows as tall as the shortest middle piece; a missing
    // piece (no height) leaves the middle unpainted.
    const int32_t rowHeight = std::min({ left.height, centre.height, right.height });
    const int32_t bottomY = face.height - topEdge.height;
    for (int32_t y = topEdge.height; rowHeight > 0 && y < bottomY; y += rowHeight) {
        const ScreenRect band { 0, y, width, std::min(y + rowHeight, bottomY) };
        drawGumpArtClipped(copySpan, m_frameArts[LeftEdge], target, &band, 0, y);
        tileOpaque(m_frameArts[Centre], face, left.width, y, width - right.width, band.bottom);
        drawGumpArtClipped(copySpan, m_frameArts[RightEdge], target, &band, width - right.width, y);
    }
    drawGumpArt(copySpan, m_frameArts[BottomLeft], target, 0, bottomY);
    tileOpaque(m_frameArts[BottomEdge], face, bottomLeft.width, bottomY, width - bottomRight.width, face.height);
    drawGumpArt(copySpan, m_frameArts[BottomRight], target, width - bottomRight.width, bottomY);
}

void HtmlView::placeThumb()
{
    if (ScrollBar* bar = scrollBar())
        bar->setThumbPosition(m_scrollPos, m_contentHeight);
}

void HtmlView::layout()
{
    GumpPage& face = *page(0);
    if (!face.isAllocated())
        return;
    if (!(m_flags & HtmlViewFlag::kNoFrame))
        paintFrame();
    else
        std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    if (m_document) {
        const int32_t height = m_document->draw(face.pixels.data(), face.width, face.height, &m_textRect, m_scrollPos,
            m_selStart, m_selEnd, (m_flags & HtmlViewFlag::kNoFrame) != 0);
        m_contentHeight = std::max(1, height + m_textRect.top - m_textRect.bottom);
    }
    placeThumb();
    if (highlighted) {
        const uint16_t mask = isTextPixelFormat565() ? 0xFFFF : 0x7FFF;
        const TextClip area = m_textRect.intersected({ 0, 0, face.width, face.height });
        for (int32_t y = area.top; y < area.bottom; ++y) {
            for (int32_t x = area.left; x < area.right; ++x) {
                uint16_t& pixel = face.pixels[size_t(y) * size_t(face.width) + size_t(x)];
                pixel = uint16_t(~pixel & mask);
                if (pixel == 0)
                    pixel = 1;
            }
        }
    }
}

void HtmlView::takeFocus()
{
    gumpReleaseFocus();
    gumpSetFocus(this);
}

void HtmlView::beginEditing()
{
    clearPlaceholder();
    m_selStart = m_selEnd = 0;
    layout();
    takeFocus();
}

void HtmlView::scrollTo(int32_t position, int32_t range, CGump*)
{
    if (m_contentHeight <= 0 || range <= 0)
        return;
    m_scrollPos = std::clamp(int32_t(int64_t(position) * m_contentHeight / range), 0, m_contentHeight);
    placeThumb();
    layout();
}

void HtmlView::scrollStep(int32_t direction, CGump*)
{
    const int32_t before = m_scrollPos;
    m_scrollPos = std::clamp(m_scrollPos + (direction != 0 ? kStep : -kStep), 0, m_contentHeight);
    if (m_scrollPos == before)
        return;
    placeThumb();
    layout();
}

void HtmlView::insertText(std::u16string_view inserted)
{
    if (isReadOnly() || !m_document || m_document->runCount() == 0 || m_selStart < 0)
        return;
    const int32_t length = textLength();
    if (((m_flags & HtmlViewFlag::kSmallEntry) && length > kSmallEntryLimit) || length > kTextLimit)
        return;
    if (m_selStart >= length)
        m_selStart = m_selEnd = length;
    std::u16string updated = text();
    updated.insert(size_t(m_selStart), inserted);
    m_document->replaceFirstRunText(std::move(updated));
    m_selStart += int32_t(inserted.size());
    m_selEnd += int32_t(inserted.size());
    layout();
    scrollCaretIntoView();
}

void HtmlView::deleteSelection(bool cut)
{
    const int32_t length = textLength();
    if (!m_document || m_selStart == m_selEnd || m_selStart < 0 || m_selEnd < 0 || m_selStart > length
        || m_selEnd > length)
        return;
    const int32_t from = std::min(m_selStart, m_selEnd);
    const int32_t to = std::max(m_selStart, m_selEnd);
    m_selStart = m_selEnd = from;
    std::u16string updated = text();
    if (cut)
        htmlCutBuffer() = updated.substr(size_t(from), size_t(to - from));
    updated.erase(size_t(from), size_t(to - from));
    m_document->replaceFirstRunText(std::move(updated));
    layout();
    scrollCaretIntoView();
}

void HtmlView::deleteCharAtCaret()
{
    if (isReadOnly() || !m_document || m_selStart < 0 || m_selStart >= textLength())
        return;
    std::u16string updated = text();
    updated.erase(size_t(m_selStart), 1);
    m_document->replaceFirstRunText(std::move(updated));
    layout();
    scrollCaretIntoView();
}

void HtmlView::scrollCaretIntoView()
{
    int32_t x = 0;
    int32_t y = 0;
    if (!m_document || !m_document->charPosition(m_selEnd, x, y, &m_textRect, m_scrollPos))
        return;
    const int32_t top = m_textRect.top + m_document->topMargin;
    const int32_t bottom = y + kStep + m_document->bottomMargin;
    if (y < top)
        m_scrollPos -= top - y;
    else if (bottom > m_textRect.bottom)
        m_scrollPos += bottom - m_textRect.bottom;
    m_scrollPos = std::clamp(m_scrollPos, 0, m_contentHeight);
    placeThumb();
    layout();
}

void HtmlView::draw(GumpCanvas& canvas)
{
    drawOwnBuffer(canvas);
    drawChildren(canvas);
}

bool HtmlView::containsPoint(int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < width() && y < height(); }

bool HtmlView::isShiftOnly() const
{
    GumpPointer& keys = service<GumpPointer>();
    return keys.isShiftHeld() && !keys.isControlHeld() && !keys.isAltHeld();
}

void HtmlView::answerGmTarget()
{
    TargetingState& targeting = targetingState();
    if (!targeting.targetingActive || !targeting.callback)
        return;
    const uint32_t serial = service<HtmlViewMessenger>().gmCurrentPlayerSerial();
    WorldObject* object = serial ? findObjectBySerial(serial) : nullptr;
    if (!object)
        return;
    auto callback = targeting.callback;
    callback(targetChoiceOf(*object));
}

void HtmlView::onLeftDown(int32_t x, int32_t y)
{
    setDragAnchor(x, y);
    if (resizable && service<GumpPointer>().isShiftHeld()) {
        m_resizing = true;
        return;
    }
    GumpHandle self(this);
    answerGmTarget();
    if (!self)
        return;
    if (movable) {
        m_moving = true;
        return;
    }
    const bool inText = m_textRect.contains(x, y);
    if (!isReadOnly() && inText) {
        clearPlaceholder();
        if (m_document) {
            const int32_t index = m_document->charIndexAt(x, y, &m_textRect, m_scrollPos);
            if (index >= 0)
                m_selStart = m_selEnd = index;
        }
        layout();
        takeFocus();
    }
    if ((m_flags & HtmlViewFlag::kClickCommand) && inText) {
        if (CGump* owner = parent()) {
            owner->setLastCommandId(m_id);
            forwardButtonToOwner(owner);
            if (!self)
                return;
        }
    }
    passToParent(&CGump::onLeftDown, x, y);
}

void HtmlView::onDrag(int32_t x, int32_t y)
{
    const bool shift = service<GumpPointer>().isShiftHeld();
    if (m_resizing && !shift) {
        m_resizing = false;
        m_moving = true;
    } else if (m_moving && shift && resizable) {
        m_moving = false;
        m_resizing = true;
    }
    if (m_moving) {
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
        return;
    }
    if (m_resizing) {
        const int32_t newWidth = width() + x - dragAnchorX();
        const int32_t newHeight = height() + y - dragAnchorY();
        if (newWidth < kMinimumSize || newHeight < kMinimumSize)
            return;
        // The view keeps its own place; only its size follows the pointer.
        setRect(this->x(), this->y(), newWidth, newHeight);
        setDragAnchor(x, y);
        htmlViewGeometry().width = newWidth;
        htmlViewGeometry().height = newHeight;
        return;
    }
    if (!isReadOnly() && m_textRect.contains(x, y)) {
        clearPlaceholder();
        if (m_document) {
            const int32_t index = m_document->charIndexAt(x, y, &m_textRect, m_scrollPos);
            if (index >= 0 && m_selStart >= 0)
                m_selEnd = index;
        }
        layout();
        takeFocus();
    }
    passToParent(&CGump::onDrag, x, y);
}

void HtmlView::followLink(int32_t x, int32_t y)
{
    if ((m_flags & (HtmlViewFlag::kNoLinks | HtmlViewFlag::kNoLinksToo)) || !m_document)
        return;
    std::u16string href;
    const int32_t result = m_document->hitTestLink(x, y, href);
    if (result < 0)
        return;
    if (!href.empty()) {
        m_selStart = m_selEnd = -1;
        if (result != 0) {
            service<HtmlViewMessenger>().sendMessengerCommand(1, href);
        } else {
            // Only http and https reach the browser, as one argument and
            // without a shell; the text goes as UTF-8, so no character can
            // turn into another on the way. Any other link opens nothing, so
            // it leaves the player in full screen too.
            const std::string url = wideToUtf8String(href.c_str());
            if (isWebLink(url)) {
                DisplaySettingsService& display = displaySettings();
                if (display.isFullScreen())
                    display.setDisplayMode(false);
                openUrlInBrowser(url);
            }
        }
    } else {
        m_scrollPos = std::min(result, m_contentHeight);
        placeThumb();
    }
    layout();
}

void HtmlView::onLeftUp(int32_t x, int32_t y)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    if (m_moving) {
        int32_t screenX = 0;
        int32_t screenY = 0;
        localToScreen(screenX, screenY);
        htmlViewGeometry().x = screenX;
        htmlViewGeometry().y = screenY;
    }
    m_moving = false;
    m_resizing = false;
    GumpHandle self(this);
    followLink(x, y);
    if (self)
        passToParent(&CGump::onLeftUp, x, y);
}

void HtmlView::onRightDown(int32_t x, int32_t y)
{
    if (gmMenu) {
        // The menu holds the clicks from now on: the view lets go of the
        // pointer, or the next press would still be the view's.
        service<GumpPointer>().clearPointerCaptureIf(this);
        localToScreen(x, y);
        service<HtmlViewMessenger>().showGmPlayerMenu(x, y);
    }
}

void HtmlView::onRightUp(int32_t x, int32_t y) { passToParent(&CGump::onRightUp, x, y); }

void HtmlView::onHoverTick()
{
    if (CGump* owner = parent())
        owner->onHoverTick();
}

bool HtmlView::moveCaret(uint32_t code)
{
    const bool shift = isShiftOnly();
    const int32_t length = textLength();
    switch (code) {
    case GumpKey::kUp:
    case GumpKey::kDown: {
        if (m_flags & (HtmlViewFlag::kSmallEntry | HtmlViewFlag::kReadOnly))
            return true;
        int32_t x = 0;
        int32_t y = 0;
        if (!m_document || !m_document->charPosition(shift ? m_selEnd : m_selStart, x, y, &m_textRect, m_scrollPos))
            return true;
        const int32_t target
            = m_document->charIndexAt(x, code == GumpKey::kUp ? y - kStep : y + kStep, &m_textRect, m_scrollPos);
        if (shift) {
            if (target >= 0)
                m_selEnd = target;
        } else if (target >= 0) {
            m_selStart = m_selEnd = target;
        } else {
            m_selEnd = m_selStart;
        }
        return true;
    }
    case GumpKey::kLeft:
    case GumpKey::kRight:
        if (isReadOnly())
            return true;
        if (shift) {
            if (code == GumpKey::kLeft && m_selEnd > 0)
                --m_selEnd;
            else if (code == GumpKey::kRight && m_selEnd < length)
                ++m_selEnd;
        } else {
            if (code == GumpKey::kLeft && m_selStart >= 1)
                --m_selStart;
            else if (code == GumpKey::kRight && m_selStart < length)
                ++m_selStart;
            m_selEnd = m_selStart;
        }
        return true;
    case GumpKey::kHome:
    case GumpKey::kEnd: {
        if (isReadOnly())
            return true;
        const int32_t to = code == GumpKey::kHome ? 0 : length;
        m_selEnd = to;
        if (!shift)
            m_selStart = to;
        return true;
    }
    default:
        return false;
    }
}

void HtmlView::onKey(uint32_t code)
{
    GumpHandle self(this);
    if (code == GumpKey::kEscape) {
        gumpReleaseFocus();
        if (!self)
            return;
        m_selStart = m_selEnd = -1;
        layout();
        return;
    }
    if (code == GumpKey::kUp || code == GumpKey::kDown || code == GumpKey::kLeft || code == GumpKey::kRight
        || code == GumpKey::kHome || code == GumpKey::kEnd) {
        // Navigation moves a caret that is there.
        if (m_selStart < 0 || m_selEnd < 0)
            return;
        moveCaret(code);
    } else if (code == GumpKey::kBackspace) {
        if (isReadOnly())
            return;
        if (m_selStart != m_selEnd) {
            deleteSelection(false);
        } else if (m_selStart >= 1) {
            --m_selStart;
            --m_selEnd;
            deleteCharAtCaret();
        }
    } else if (code == GumpKey::kDelete) {
        if (isReadOnly())
            return;
        if (m_selStart == m_selEnd)
            deleteCharAtCaret();
        else
            deleteSelection(isShiftOnly());
    } else if (code == GumpKey::kInsert) {
        if (!isShiftOnly() || isReadOnly())
            return;
        deleteSelection(false);
        const std::u16string paste = htmlCutBuffer();
        if (!paste.empty())
            insertText(paste);
    } else if (code == GumpKey::kTab) {
        if (isReadOnly())
            return;
        if (m_tabToParent) {
            if (CGump* owner = parent())
                owner->onTab();
            return;
        }
        deleteSelection(false);
        insertText(kTabSpaces);
    } else if (code == GumpKey::kEnter) {
        if (m_flags & (HtmlViewFlag::kSmallEntry | HtmlViewFlag::kReadOnly))
            return;
        deleteSelection(false);
        insertText(u"\n");
    } else {
        if (GumpKey::isNavigationKey(code))
            return;
        if (!hasGlyphInTextFont(code))
            return;
        deleteSelection(false);
        const char16_t typed = char16_t(code);
        insertText(std::u16string_view(&typed, 1));
    }
    if (!self)
        return;
    layout();
    scrollCaretIntoView();
}
