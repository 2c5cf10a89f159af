#include "messenger/gm_chat_window.h"

#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/entry_core.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/text_list.h"
#include "messenger/chat_text.h"
#include "messenger/messenger_connection.h"
#include "messenger/messenger_services.h"
#include "messenger/messenger_protocol.h"
#include "platform/clock.h"

#include <algorithm>

namespace {

constexpr int32_t kGmEdgeArt = 2700;
constexpr int32_t kGmSideArt = 2701;
constexpr int32_t kGmBarArt = 252;
constexpr int32_t kGmBackingArt = 256;
constexpr int32_t kGmGripArt = 2703;
constexpr int32_t kGmCloseArt = 2708;
constexpr int32_t kGmMinimiseArt = 2710;
constexpr int32_t kGmIconArt = 2642;
constexpr int32_t kGmMinSplit = 90;
constexpr int32_t kGmMinWidth = 93;
constexpr int32_t kGmMinHeight = 98;
constexpr int32_t kGmChatList = 0;
constexpr int32_t kGmEntryList = 1;
constexpr int32_t kGmTitleList = 2;
constexpr char16_t kGmTitle[] = u"VARDUN ONLINE GM CHAT";
constexpr char16_t kGmWelcome[] = u"Welcome to Vardun Online GM chat!";

GmChatWindow*& currentGmChat()
{
    static GmChatWindow* window = nullptr;
    return window;
}

void minimiseGmChat(CGump* window) { window->minimize(); }

void gmChatGripPressed(CGump* window)
{
    int32_t x = 0;
    int32_t y = 0;
    window->localToScreen(x, y);
    const GumpScreen& screen = gumpScreen();
    service<ResizeHandles>().beginResize(window, { kGmMinWidth, kGmMinHeight, screen.width - x, screen.height - y });
}

Button* makeGmButton(CGump* window, int32_t art, GumpCallback callback)
{
    auto* button = new Button(0, 0, ButtonBehaviour::ClickOnRelease, 0, callback, art, art + 1, false);
    gumpLink(button, window);
    return button;
}

} // namespace

GmChatWindow* gmChatWindow() { return currentGmChat(); }

GmChatPlacement& gmChatPlacement()
{
    static GmChatPlacement placement;
    return placement;
}

GmChatWindow::GmChatWindow(
    int32_t x, int32_t y, int32_t width, int32_t height, int32_t sessionId, std::u16string_view gmName)
    : ControlGump(ControlSet::Chat)
    , m_sessionId(sessionId)
    , m_gmName(gmName.substr(0, kMaxGmChatWindowName))
{
    setTypeName("normal gump");
    addKind(GumpKind::GmChatWindow);
    currentGmChat() = this;
    const GumpArtSize icon = gumpArtSize(kGmIconArt);
    setMinimisedSize(icon.width, icon.height);
    for (GumpHandle& piece : m_frame)
        piece = GumpHandle(new TextPane2(this));
    m_minimise = GumpHandle(makeGmButton(this, kGmMinimiseArt, minimiseGmChat));
    m_close = GumpHandle(makeGmButton(this, kGmCloseArt, closeButtonParent));
    m_bar = GumpHandle(new ScrollBar2(this));
    const int32_t system = chatSettingColour(u"ChatColorSystemMessage");
    auto* title = new TextList2(
        this, false, false, 1, kGmTitleList, chatSettingColour(u"ChatColorConferenceMenuBackground"));
    m_title = GumpHandle(title);
    auto* chat = new TextList2(this, true, false, kChatLines, kGmChatList, chatSettingColour(u"ChatColorTextBackground"));
    m_chat = GumpHandle(chat);
    auto* entry
        = new TextList2(this, true, false, kEntryLines, kGmEntryList, chatSettingColour(u"ChatColorInputBackground"));
    m_entry = GumpHandle(entry);
    auto* grip = new Button(0, 0, ButtonBehaviour::ClickOnRelease, 0, gmChatGripPressed, kGmGripArt, kGmGripArt, false);
    gumpLink(grip, this);
    m_grip = GumpHandle(grip);
    title->addLine(kGmTitle, system, system, -1, -1);
    chat->addLine(kGmWelcome, system, system, -1, -1);
    entry->addLine(u"", chatSettingColour(u"ChatColorInput"), 0, -1, -1);
    setLocation(x, y);
    setRestorePosition(x, y);
    setSize(std::max(width, kGmMinWidth), std::max(height, kGmMinHeight));
    layout();
    gumpLink(this, nullptr);
    sendMessengerCommand(MessengerCommand::GmChatJoin, sessionArgument());
}

GmChatWindow::~GmChatWindow()
{
    GmChatPlacement& placement = gmChatPlacement();
    placement = { isMinimised() ? restoreX() : x(), isMinimised() ? restoreY() : y(), width(), height(), isMinimised(),
        true };
    sendMessengerCommand(MessengerCommand::GmChatEnd, sessionArgument());
    deleteChildren();
    currentGmChat() = nullptr;
}

std::u16string GmChatWindow::sessionArgument() const { return messengerDecimal(m_sessionId) + u" " + m_gmName; }

TextList* GmChatWindow::titleList() const { return static_cast<TextList*>(m_title.get()); }
TextList* GmChatWindow::chatList() const { return static_cast<TextList*>(m_chat.get()); }
TextList* GmChatWindow::entryLine() const { return static_cast<TextList*>(m_entry.get()); }

void GmChatWindow::layout()
{
    const int32_t ah = gumpArtSize(kGmEdgeArt).height;
    const int32_t bw = gumpArtSize(kGmSideArt).width;
    const GumpArtSize bar = gumpArtSize(kGmBarArt);
    const int32_t w = width();
    const int32_t h = height();
    const int32_t s = std::max(h - kGmChatEntryHeight, kGmMinSplit);
    auto pane = [this](size_t index) { return static_cast<TextPane*>(m_frame[index].get()); };
    pane(0)->setGeometry(false, kGmEdgeArt, 0, 0, w);
    pane(1)->setGeometry(false, kGmEdgeArt, 0, h - ah, w);
    pane(2)->setGeometry(false, kGmEdgeArt, bw, ah + bar.height, w - 2 * bw);
    pane(3)->setGeometry(false, kGmEdgeArt, bw, s, w - 2 * bw);
    pane(4)->setGeometry(true, kGmSideArt, 0, ah, h - 2 * ah);
    pane(5)->setGeometry(true, kGmSideArt, w - bw, ah, h - 2 * ah);
    pane(6)->setGeometry(true, kGmBackingArt, bw, ah, bar.height);
    CGump* grip = m_grip.get();
    grip->setLocation(w - grip->width() - bw, h - grip->height() - ah);
    CGump* close = m_close.get();
    close->setLocation(w - close->width() - bw, ah);
    CGump* minimise = m_minimise.get();
    minimise->setLocation(close->x() - minimise->width(), ah);
    titleList()->setGeometry(bw, ah, std::max(w - 2 * bw - close->width() - minimise->width(), 0), bar.height);
    static_cast<ScrollBar*>(m_bar.get())->setGeometry(bw, 2 * ah + bar.height, s - 2 * ah - bar.height);
    chatList()->setGeometry(bar.width + bw + 2, 2 * ah + bar.height, w - 2 * bw - bar.width - 2, s - 2 * ah - bar.height);
    entryLine()->setGeometry(bw, s + ah, w - 2 * bw, h - 2 * ah - s);
}

void GmChatWindow::addLine(std::u16string_view text, int32_t type, int32_t nameStart, int32_t nameEnd)
{
    const ChatColours colours = chatColoursOf(type);
    chatList()->addLine(text, colours.text, colours.name, nameStart, nameEnd);
}

void GmChatWindow::addReceivedLine(std::u16string_view line)
{
    // "/m", two characters, the session, a blank, the GM's name, a blank and
    // the text; anything else shows as it came after the command.
    std::u16string_view argument = line.size() > 4 ? line.substr(4) : std::u16string_view();
    while (!argument.empty() && (argument.back() == u'\r' || argument.back() == u'\n'))
        argument.remove_suffix(1);
    const size_t blank = argument.find(u' ');
    if (blank != std::u16string_view::npos) {
        const std::u16string_view rest = argument.substr(blank + 1);
        if (!m_gmName.empty() && rest.size() > m_gmName.size() && rest.substr(0, m_gmName.size()) == m_gmName
            && rest[m_gmName.size()] == u' ') {
            const std::u16string text = m_gmName + u": " + std::u16string(rest.substr(m_gmName.size() + 1));
            addLine(text, 0, 0, int32_t(m_gmName.size()) - 1);
            return;
        }
    }
    addLine(argument, 0);
}

void GmChatWindow::focusEntry()
{
    gumpReleaseFocus();
    gumpSetFocus(entryLine());
    entryLine()->syncEditCursor();
}

bool GmChatWindow::submitText(const std::u16string& text, CGump* sender)
{
    if (sender != entryLine())
        return false;
    sendMessengerCommand(MessengerCommand::GmChatLine, sessionArgument() + u" " + text);
    entryLine()->clear();
    return true;
}

void GmChatWindow::notify(const std::u16string& text, CGump*)
{
    entryLine()->appendEditText(text);
    focusEntry();
}

void GmChatWindow::setScrollRange(int32_t position, int32_t maximum, int32_t sender)
{
    if (sender == kGmChatList)
        static_cast<ScrollBar*>(m_bar.get())->setThumbPosition(position, maximum);
}

void GmChatWindow::scrollTo(int32_t position, int32_t range, CGump* sender)
{
    if (sender == m_bar.get())
        chatList()->scrollTo(position, range, sender);
}

void GmChatWindow::scrollStep(int32_t direction, CGump* sender)
{
    if (sender == m_bar.get())
        chatList()->scrollStep(direction, sender);
}

CGump* GmChatWindow::findChildAt(int32_t x, int32_t y, CGump* excluded)
{
    if (isMinimised())
        return containsPoint(x, y) ? this : nullptr;
    return CGump::findChildAt(x, y, excluded);
}

void GmChatWindow::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    if (isMinimised()) {
        int32_t x = 0;
        int32_t y = 0;
        localToScreen(x, y);
        drawGumpArtClipped(copySpanTransparent, kGmIconArt, canvas.target(), &canvas.clip(), x, y);
        return;
    }
    drawChildren(canvas);
}

bool GmChatWindow::containsPoint(int32_t x, int32_t y)
{
    if (isMinimised())
        return getGumpArtPixel(kGmIconArt, x, y) != 0;
    bool hit = false;
    forEachChildBottomUp([&](CGump* child) {
        if (!hit && child->isVisible())
            hit = child->containsPoint(x - child->x(), y - child->y());
    });
    return hit;
}

void GmChatWindow::onLeftDown(int32_t x, int32_t y)
{
    bringToFront(false);
    setDragAnchor(x, y);
    m_dragging = true;
    m_leftHeld = true;
    if (!isMinimised())
        return;
    if (m_clickState == 1) {
        m_clickState = 2;
    } else {
        m_clickState = 1;
        m_firstClickTime = platform::clock().tickMs();
    }
}

void GmChatWindow::onHoverTick()
{
    if (m_clickState != 1 || platform::clock().tickMs() - m_firstClickTime <= kDoubleClickMs)
        return;
    m_clickState = 0;
    if (m_leftHeld)
        m_suppressRelease = true;
}

void GmChatWindow::onDrag(int32_t x, int32_t y)
{
    if (m_dragging)
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void GmChatWindow::onLeftUp(int32_t x, int32_t y)
{
    m_dragging = false;
    m_leftHeld = false;
    if (m_suppressRelease) {
        m_suppressRelease = false;
        m_clickState = 0;
    } else if (m_clickState == 2 && isMinimised()) {
        m_clickState = 0;
        restore();
    } else if (!isMinimised()) {
        const TextList* title = titleList();
        const bool inTitle = x >= title->x() && y >= title->y() && x < title->x() + title->width()
            && y < title->y() + title->height();
        if (!inTitle)
            focusEntry();
    }
    service<GumpPointer>().setPointerCapture(nullptr);
}

void GmChatWindow::resize(int32_t width, int32_t height, bool)
{
    setSize(std::max(width, kGmMinWidth), std::max(height, kGmMinHeight));
    layout();
}

void GmChatWindow::onKey(uint32_t code) { entryLine()->onKey(code); }

void GmChatWindow::onFocusLost() { entryLine()->onFocusLost(); }

void openGmChatWindow()
{
    if (GmChatWindow* open = gmChatWindow()) {
        open->bringToFront(false);
        return;
    }
    if (!isMessengerOpen())
        return;
    const GmChatOffer& offer = gmChatOffer();
    const GmChatPlacement& placement = gmChatPlacement();
    GmChatWindow* window = placement.saved
        ? new GmChatWindow(placement.x, placement.y, placement.width, placement.height, offer.sessionId, offer.name)
        : new GmChatWindow(0, 0, 640, 480, offer.sessionId, offer.name);
    if (placement.saved && placement.minimised)
        window->minimize();
    sendMessengerCommand(MessengerCommand::GmChatJoin, window->sessionArgument());
}
