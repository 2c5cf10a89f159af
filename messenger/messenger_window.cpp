#include "messenger/messenger_window.h"

#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/entry_core.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/html_view.h"
#include "messenger/message_lists.h"
#include "messenger/message_store.h"
#include "messenger/messenger_services.h"
#include "platform/clock.h"
#include "text/unicode_font.h"
#include "world/world_services.h"

#include <algorithm>
#include <unordered_set>

namespace {

constexpr int32_t kFrameBases[] = { 2600, 5054, 9200, 3500 };
enum MessengerFramePiece { FrameTopLeft, FrameTopEdge, FrameTopRight, FrameLeftEdge, FrameMiddle, FrameRightEdge, FrameBottomLeft, FrameBottomEdge, FrameBottomRight };

// The art a control's height is measured from, the art whose height the
// HTML view leaves below it, and the windows' own minimum size.
constexpr int32_t kMessengerEntryArt = 2700;
constexpr int32_t kSmallOkArt = 249;
constexpr int32_t kDefaultMinWidth = 320;
constexpr int32_t kDefaultMinHeight = 160;

constexpr uint32_t kTitleStyle = 20;
constexpr uint32_t kBodyStyle = 0;
constexpr uint32_t kHeaderStyle = 4;
constexpr uint16_t kMessengerTextColour = 1;
constexpr int32_t kMessengerTitleY = 16;
constexpr int32_t kHeaderColumn = 120;
constexpr int32_t kFirstHeaderGap = 5;
constexpr int32_t kAfterToGap = 28;
constexpr int32_t kHeaderStep = 23;
constexpr int32_t kCloseButtonY = 12;
constexpr int32_t kToggleLabelGap = 5;
constexpr int32_t kHtmlTextLimit = 32767;
// The resize handle's limits for messenger windows.
constexpr int32_t kResizeMinWidth = 93;
constexpr int32_t kResizeMinHeight = 98;

struct ButtonArt {
    int32_t up;
    int32_t down;
    int32_t hover;
};
constexpr ButtonArt kButtonArts[MessengerButton::Count] = {
    { 2703, 2703, 0 },
    { 2710, 2711, 0 },
    { 2708, 2709, 0 },
    { 4023, 4025, 4024 },
    { 4020, 4022, 4021 },
    { 4014, 4016, 4015 },
    { 4029, 4031, 4030 },
    { 4014, 4016, 4015 },
    { 4017, 4019, 4018 },
    { 4002, 4004, 4003 },
    { 4005, 4007, 4006 },
    { 4026, 4028, 4027 },
    { 4011, 4013, 4012 },
    { 4008, 4010, 4009 },
    { 211, 210, 0 },
};
constexpr ButtonArt kSmallOkArts = { 249, 248, 247 };
constexpr ButtonArt kSmallCancelArts = { 243, 241, 242 };

std::unordered_set<const CGump*>& messengerWindows()
{
    static std::unordered_set<const CGump*> windows;
    return windows;
}

int32_t messengerArtWidth(int32_t art) { return gumpArtSize(art).width; }
int32_t messengerArtHeight(int32_t art) { return gumpArtSize(art).height; }

void closeOwner(CGump* window) { closeGump(window); }
void minimiseOwner(CGump* window) { window->minimize(); }

// The grip: an outline that follows the pointer within the screen from the
// window's place, and resizes the window on release.
void beginOwnerResize(CGump* window)
{
    int32_t x = 0;
    int32_t y = 0;
    window->localToScreen(x, y);
    const GumpScreen& screen = gumpScreen();
    ResizeLimits limits { kResizeMinWidth, kResizeMinHeight, screen.width - x, screen.height - y };
    service<ResizeHandles>().beginResize(window, limits);
}

int32_t textWidth(const std::u16string& text, uint32_t style)
{
    pushUnicodeStyle(style);
    const int32_t width = measureUnicodeString(text.c_str());
    popUnicodeStyle();
    return width;
}

void drawLine(GumpPage& face, const std::u16string& text, int32_t x, int32_t y, uint32_t style, const TextClip& clip)
{
    pushUnicodeStyle(style);
    drawUnicodeTextLine(face.surface(), text.c_str(), x, y, kMessengerTextColour, clip);
    popUnicodeStyle();
}

} // namespace

MessengerWindow* messengerWindowOf(CGump* gump)
{
    if (!gump || !isValidGump(gump) || messengerWindows().count(gump) == 0)
        return nullptr;
    return static_cast<MessengerWindow*>(gump);
}

MessengerWindow::MessengerWindow(int32_t frameKind)
    : m_frameKind(std::clamp(frameKind, 0, 3))
{
    setTypeName("messenger gump");
    addKind(GumpKind::MessengerWindow);
    setMinimumSize(kDefaultMinWidth, kDefaultMinHeight);
    messengerWindows().insert(this);
}

MessengerWindow::~MessengerWindow()
{
    messengerWindows().erase(this);
    deleteChildren();
}

void MessengerWindow::setMinimumSize(int32_t width, int32_t height) { setSizeLimits(width, height, -1, -1); }

int32_t MessengerWindow::frameCornerWidth() const { return messengerArtWidth(kFrameBases[m_frameKind] + FrameTopRight); }
int32_t MessengerWindow::frameCornerHeight() const { return messengerArtHeight(kFrameBases[m_frameKind] + FrameTopRight); }

int32_t MessengerWindow::iconArt() const { return countUnreadMessages() > 0 ? kUnreadIconArt : kIconArt; }

AddressListControl* MessengerWindow::addressList() const { return static_cast<AddressListControl*>(m_addressList.get()); }
MessageListControl* MessengerWindow::messageList() const { return static_cast<MessageListControl*>(m_messageList.get()); }
HtmlView* MessengerWindow::recipientControl() const { return static_cast<HtmlView*>(m_recipientControl.get()); }
HtmlView* MessengerWindow::subjectControl() const { return static_cast<HtmlView*>(m_subjectControl.get()); }
HtmlView* MessengerWindow::bodyControl() const { return static_cast<HtmlView*>(m_bodyControl.get()); }
HtmlView* MessengerWindow::htmlView() const { return static_cast<HtmlView*>(m_htmlView.get()); }

void MessengerWindow::addMessengerButton(int32_t kind, int32_t positionCode)
{
    if (kind < 0 || kind >= MessengerButton::Count || m_buttons[size_t(kind)])
        return;
    ButtonArt art = kButtonArts[kind];
    if (m_frameKind != 0 && kind == MessengerButton::Ok)
        art = kSmallOkArts;
    else if (m_frameKind != 0 && kind == MessengerButton::Cancel)
        art = kSmallCancelArts;
    GumpCallback callback = forwardButtonToOwner;
    if (kind == MessengerButton::Resize)
        callback = beginOwnerResize;
    else if (kind == MessengerButton::Minimise)
        callback = minimiseOwner;
    else if (kind == MessengerButton::Close)
        callback = closeOwner;
    const ButtonBehaviour behaviour
        = kind == MessengerButton::Include ? ButtonBehaviour::Toggle : ButtonBehaviour::ClickOnRelease;
    Button* button = new Button(0, 0, behaviour, 0, callback, art.up, art.down, false);
    button->setHoverArt(art.hover);
    button->setId(kind);
    button->setPassId(true);
    gumpLink(button, this);
    m_buttons[size_t(kind)] = GumpHandle(button);
    m_positionCodes[size_t(kind)] = positionCode;
}

Button* MessengerWindow::messengerButton(int32_t kind) const
{
    if (kind < 0 || kind >= MessengerButton::Count)
        return nullptr;
    return static_cast<Button*>(m_buttons[size_t(kind)].get());
}

void MessengerWindow::setButtonDisabled(int32_t kind, bool disabled)
{
    if (Button* button = messengerButton(kind))
        button->setDisabled(disabled);
}

void MessengerWindow::buildMessengerFrame()
{
    GumpPage& face = *page(0);
    face.allocate(width(), height());
    const int32_t w = width();
    const int32_t h = height();
    const int32_t base = kFrameBases[m_frameKind];
    const GumpArtSize topLeft = gumpArtSize(base + FrameTopLeft);
    const GumpArtSize topEdge = gumpArtSize(base + FrameTopEdge);
    const GumpArtSize topRight = gumpArtSize(base + FrameTopRight);
    const GumpArtSize left = gumpArtSize(base + FrameLeftEdge);
    const GumpArtSize middle = gumpArtSize(base + FrameMiddle);
    const GumpArtSize right = gumpArtSize(base + FrameRightEdge);
    const GumpArtSize bottomLeft = gumpArtSize(base + FrameBottomLeft);
    const GumpArtSize bottomRight = gumpArtSize(base + FrameBottomRight);
    const BlitTarget target = face.target();
    const int32_t bottomY = h - topEdge.height;

    drawGumpArt(copySpanTransparent, base + FrameTopLeft, target, 0, 0);
    tileGumpArtArea(copySpanTransparent, base + FrameTopEdge, face, { topLeft.width, 0, w - topRight.width, topEdge.height },
        topLeft.width, 0);
    drawGumpArt(copySpanTransparent, base + FrameTopRight, target, w - topRight.width, 0);
    // Rows as tall as the shortest middle piece; a missing piece has no
    // height, and then the middle stays empty rather than never ending.
    const int32_t rowHeight = std::min({ left.height, middle.height, right.height });
    for (int32_t y = topEdge.height; rowHeight > 0 && y < bottomY; y += rowHeight) {
        const ScreenRect band { 0, y, w, std::min(y + rowHeight, bottomY) };
        drawGumpArtClipped(copySpanTransparent, base + FrameLeftEdge, target, &band, 0, y);
        tileGumpArtArea(copySpanTransparent, base + FrameMiddle, face, { left.width, y, w - right.width, band.bottom },
            left.width, y);
        drawGumpArtClipped(copySpanTransparent, base + FrameRightEdge, target, &band, w - right.width, y);
    }
    drawGumpArt(copySpanTransparent, base + FrameBottomLeft, target, 0, bottomY);
    tileGumpArtArea(copySpanTransparent, base + FrameBottomEdge, face, { bottomLeft.width, bottomY, w - bottomRight.width, h },
        bottomLeft.width, bottomY);
    drawGumpArt(copySpanTransparent, base + FrameBottomRight, target, w - bottomRight.width, bottomY);
    drawTexts(face);
}

void MessengerWindow::drawTexts(GumpPage& face)
{
    const int32_t w = width();
    const int32_t h = height();
    const int32_t cornerWidth = frameCornerWidth();
    const int32_t cornerHeight = frameCornerHeight();
    if (!m_title.empty()) {
        const int32_t x = m_centreTitle ? (w - textWidth(m_title, kTitleStyle)) / 2 : cornerWidth + 2;
        drawLine(face, m_title, x, kMessengerTitleY, kTitleStyle, { cornerWidth, kMessengerTitleY, w - cornerWidth, kMessengerTitleY + cornerHeight });
    }
    if (!m_bodyText.empty()) {
        if (HtmlView* view = htmlView(); view && m_frameKind != 0) {
            view->setRect(cornerWidth, cornerHeight, w - 2 * cornerWidth, h - 2 * cornerHeight - messengerArtHeight(kSmallOkArt));
            view->setText(std::u16string_view(m_bodyText).substr(0, size_t(kHtmlTextLimit)), kMessengerTextColour);
        } else {
            pushUnicodeStyle(kBodyStyle);
            drawUnicodeTextWrapped(face.surface(), w - cornerWidth, m_bodyText.c_str(), cornerWidth / 2,
                cornerHeight + 2, kMessengerTextColour, wholeSurface(face.surface()), false);
            popUnicodeStyle();
        }
    }
    static constexpr const char16_t* kLabels[HeaderCount] = { u"TO: ", u"FROM: ", u"DATE: ", u"SUBJECT: " };
    int32_t y = cornerHeight + kFirstHeaderGap;
    const TextClip whole = wholeSurface(face.surface());
    for (int32_t header = To; header < HeaderCount; ++header) {
        if (!m_headerShown[size_t(header)])
            continue;
        const std::u16string label = kLabels[header];
        drawLine(face, label, kHeaderColumn - textWidth(label, kHeaderStyle), y, kHeaderStyle, whole);
        if (!m_headerValue[size_t(header)].empty())
            drawLine(face, m_headerValue[size_t(header)], kHeaderColumn, y, kHeaderStyle, whole);
        y = header == To ? cornerHeight + kAfterToGap : y + kHeaderStep;
    }
}

void MessengerWindow::placeButton(int32_t kind)
{
    Button* button = messengerButton(kind);
    if (!button)
        return;
    const int32_t w = width();
    const int32_t h = height();
    const int32_t cornerWidth = frameCornerWidth();
    const int32_t cornerHeight = frameCornerHeight();
    const int32_t b = button->width();
    const int32_t buttonHeight = button->height();
    int32_t x = 0;
    int32_t y = h - buttonHeight - cornerHeight;
    if (kind == MessengerButton::Resize) {
        x = w - b;
        y = h - buttonHeight;
    } else if (kind == MessengerButton::Close) {
        x = w - b - cornerWidth;
        y = kCloseButtonY;
    } else if (kind == MessengerButton::Minimise) {
        const Button* close = messengerButton(MessengerButton::Close);
        x = w - b - cornerWidth - (close ? close->width() : 0);
        y = kCloseButtonY;
    } else {
        const int32_t fourGap = (w - 2 * cornerWidth - 4 * b - 10) / 3;
        const int32_t sixRoom = w - 2 * cornerWidth - 6 * b - 10;
        const int32_t edge = cornerWidth + 5;
        switch (m_positionCodes[size_t(kind)]) {
        case 1:
            x = edge;
            break;
        case 2:
            x = (w - b) / 2;
            break;
        case 3:
            x = fourGap + b + edge;
            break;
        case 4:
            x = w - 2 * b - fourGap - edge;
            break;
        case 5:
            x = w - b - edge;
            break;
        case 6:
        case 7:
        case 8:
        case 9: {
            const int32_t step = m_positionCodes[size_t(kind)] - 5;
            x = step * sixRoom / 5 + step * b + edge;
            break;
        }
        default:
            x = (w - b) / 2;
            y = h - cornerHeight;
            break;
        }
    }
    button->setLocation(std::max(x, 0), std::max(y, 0));
}

void MessengerWindow::drawToggleLabel(GumpPage& face)
{
    const Button* toggle = messengerButton(MessengerButton::Include);
    if (m_toggleLabel.empty() || !toggle)
        return;
    drawLine(face, m_toggleLabel, toggle->x() + toggle->width() + kToggleLabelGap, toggle->y(), kHeaderStyle,
        wholeSurface(face.surface()));
}

void MessengerWindow::layoutMessengerWindow()
{
    for (int32_t kind = 0; kind < MessengerButton::Count; ++kind)
        placeButton(kind);
    const int32_t w = width();
    const int32_t cornerWidth = frameCornerWidth();
    const int32_t cornerHeight = frameCornerHeight();
    const int32_t entryHeight = 2 * messengerArtHeight(kMessengerEntryArt) + 18;
    const int32_t controlWidth = w - cornerWidth / 2 - kHeaderColumn;
    if (HtmlView* recipient = recipientControl())
        recipient->setRect(kHeaderColumn, cornerHeight + kFirstHeaderGap, controlWidth, entryHeight);
    int32_t d = cornerHeight + (m_headerShown[To] ? kAfterToGap : kFirstHeaderGap);
    if (m_headerShown[From])
        d += kHeaderStep;
    if (m_headerShown[Date])
        d += kHeaderStep;
    if (HtmlView* subject = subjectControl())
        subject->setRect(kHeaderColumn, d, controlWidth, entryHeight);
    if (m_headerShown[Subject])
        d += kHeaderStep;

    const ContentArea area { cornerWidth / 2, d, w - cornerWidth, height() - d - cornerHeight - 5 };
    if (area.width > 0 && area.height > 0) {
        if (AddressListControl* addresses = addressList()) {
            addresses->layoutAddressList(area.x, area.y, area.width, area.height);
        } else if (MessageListControl* messages = messageList()) {
            messages->layoutMessageList(area.x, area.y, area.width, area.height, -1, -1, -1);
        } else if (HtmlView* body = bodyControl()) {
            if (m_headerAboveBody)
                body->setRect(area.x, area.y + 31, area.width, entryHeight);
            else
                body->setRect(area.x, area.y + 4, area.width, area.height - 4);
        }
    }
    if (GumpPage* face = page(0); face && face->isAllocated())
        drawToggleLabel(*face);
}

void MessengerWindow::resizeMessengerWindow(int32_t newWidth, int32_t newHeight)
{
    // The window never goes below its own minimum, whatever a handle allows:
    // its controls have no room below it.
    const int32_t w = newWidth > 0 ? std::max(newWidth, minWidth()) : width();
    const int32_t h = newHeight > 0 ? std::max(newHeight, minHeight()) : height();
    setSize(w, h);
    buildMessengerFrame();
    layoutMessengerWindow();
}

void MessengerWindow::finishWindow(CGump* parent, int32_t x, int32_t y, int32_t requestedWidth, int32_t requestedHeight)
{
    setLocation(x, y);
    setRestorePosition(x, y);
    setMinimisedPosition(x, y);
    const GumpArtSize icon = gumpArtSize(kIconArt);
    setMinimisedSize(icon.width, icon.height);
    setSize(std::max(requestedWidth, minWidth()), std::max(requestedHeight, minHeight()));
    buildMessengerFrame();
    layoutMessengerWindow();
    gumpLink(this, parent);
}

bool MessengerWindow::onPromptAnswer(int32_t, const std::u16string&, int32_t) { return true; }
void MessengerWindow::updateButtons() { }

bool MessengerWindow::onMessengerEvent(int32_t code, int32_t first, int32_t)
{
    return onPromptAnswer(code, std::u16string(), first);
}

CGump* MessengerWindow::findChildAt(int32_t x, int32_t y, CGump* excluded)
{
    if (isMinimised())
        return containsPoint(x, y) ? this : nullptr;
    return CGump::findChildAt(x, y, excluded);
}

void MessengerWindow::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    updateButtons();
    if (isMinimised()) {
        int32_t x = 0;
        int32_t y = 0;
        localToScreen(x, y);
        drawGumpArtClipped(copySpanTransparent, iconArt(), canvas.target(), &canvas.clip(), x, y);
        return;
    }
    drawOwnBuffer(canvas);
    drawChildren(canvas);
}

bool MessengerWindow::containsPoint(int32_t x, int32_t y)
{
    if (isMinimised())
        return getGumpArtPixel(iconArt(), x, y) != 0;
    int32_t screenX = x;
    int32_t screenY = y;
    localToScreen(screenX, screenY);
    for (CGump* child = firstChild(); child && isValidGump(child); child = child->next()) {
        if (!child->isVisible())
            continue;
        int32_t localX = screenX;
        int32_t localY = screenY;
        child->screenToLocal(localX, localY);
        if (child->containsPoint(localX, localY))
            return true;
    }
    GumpPage* face = page(0);
    if (!face || !face->isAllocated() || x < 0 || y < 0 || x >= face->width || y >= face->height)
        return false;
    return face->pixel(x, y) != 0;
}

void MessengerWindow::onLeftDown(int32_t x, int32_t y)
{
    bringToFront(false);
    setDragAnchor(x, y);
    m_dragging = true;
    m_leftHeld = true;
    if (isMinimised()) {
        if (m_clickState == 1) {
            m_clickState = 2;
        } else {
            m_clickState = 1;
            m_firstClickTime = platform::clock().tickMs();
        }
    }
    raiseCompanionWindows();
}

void MessengerWindow::raiseCompanionWindows() { }

void MessengerWindow::onHoverTick()
{
    if (m_clickState != 1 || platform::clock().tickMs() - m_firstClickTime <= kDoubleClickMs)
        return;
    m_clickState = 0;
    if (m_leftHeld)
        m_suppressRelease = true;
}

void MessengerWindow::onLeftUp(int32_t, int32_t)
{
    m_dragging = false;
    m_leftHeld = false;
    service<GumpPointer>().setPointerCapture(nullptr);
    if (m_suppressRelease) {
        m_suppressRelease = false;
        m_clickState = 0;
        return;
    }
    if (m_clickState == 2 && isMinimised()) {
        m_clickState = 0;
        restore();
        worldService<WorldSounds>().playSound(kOpenSound, 0, 0, false, 0, false);
    }
}

void MessengerWindow::onRightUp(int32_t, int32_t) { closeGump(this); }

void MessengerWindow::onDrag(int32_t x, int32_t y)
{
    if (m_dragging && messengerButton(MessengerButton::Resize))
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void MessengerWindow::resize(int32_t newWidth, int32_t newHeight, bool) { resizeMessengerWindow(newWidth, newHeight); }

void MessengerWindow::onKey(uint32_t code)
{
    if (HtmlView* body = bodyControl())
        body->onKey(code);
}
