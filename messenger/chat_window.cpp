#include "messenger/chat_window.h"

#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/entry_core.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/popup_list.h"
#include "gump/text_list.h"
#include "messenger/chat_text.h"
#include "messenger/context_help_window.h"
#include "messenger/messenger_services.h"
#include "net/game_connection.h"
#include "net/packet_table.h"
#include "platform/clock.h"
#include "protocol/login_state.h"

#include <algorithm>

namespace {

constexpr int32_t kChatEdgeArt = 2700;
constexpr int32_t kChatSideArt = 2701;
constexpr int32_t kChatArrowArt = 252;
constexpr int32_t kChatArrowDownArt = 253;
constexpr int32_t kChatBackingArt = 256;
constexpr int32_t kChatGripArt = 2703;
constexpr int32_t kChatCloseArt = 2708;
constexpr int32_t kChatHelpArt = 2710;
constexpr int32_t kChatMinWidth = 93;
constexpr int32_t kChatMinHeight = 98;
constexpr int32_t kChatMinSplitX = 34;
constexpr int32_t kChatMinSplitY = 90;
// The divider's outline: at least this wide and high, and this far short of
// the window's right and bottom edges.
constexpr int32_t kChatSplitMinWidth = 39;
constexpr int32_t kChatSplitMinHeight = 80;
constexpr int32_t kChatSplitRightRoom = 60;
constexpr int32_t kChatSplitBottomRoom = 8;

// The menu and command texts of the command popup, by entry number.
constexpr std::pair<int32_t, int32_t> kChatCommandEntries[10]
    = { { 3, 68 }, { 4, 71 }, { 5, 84 }, { 6, 83 }, { 7, 80 }, { 9, 72 }, { 10, 73 }, { 11, 75 }, { 12, 76 },
          { 14, 85 } };

ChatWindow*& currentChatWindow()
{
    static ChatWindow* window = nullptr;
    return window;
}

GumpArtSize chatArt(int32_t art) { return gumpArtSize(art); }

bool endsInDollar(std::u16string_view text) { return !text.empty() && text.back() == u'$'; }

void chatHelpPressed(CGump*) { openOrRaiseContextHelp(); }

void chatGripPressed(CGump* window)
{
    int32_t x = 0;
    int32_t y = 0;
    window->localToScreen(x, y);
    const GumpScreen& screen = gumpScreen();
    service<ResizeHandles>().beginResize(
        window, { kChatMinWidth, kChatMinHeight, screen.width - x, screen.height - y });
}

void chatSplitGripPressed(CGump* window)
{
    auto* chat = static_cast<ChatWindow*>(window);
    service<ResizeHandles>().beginSplitResize(chat, chat->splitX(), chat->splitY(),
        { kChatSplitMinWidth, kChatSplitMinHeight, chat->width() - kChatSplitRightRoom,
            chat->height() - kChatSplitBottomRoom });
}

Button* makeChatButton(CGump* window, int32_t upArt, int32_t downArt, GumpCallback callback, int32_t id)
{
    auto* button = new Button(0, 0, ButtonBehaviour::ClickOnRelease, 0, callback, upArt, downArt, false);
    button->setId(id);
    button->setPassId(true);
    gumpLink(button, window);
    return button;
}

void sendChatPacket(std::u16string_view line)
{
    PacketStorage<4096> packet;
    if (buildChatLinePacket(packet, line))
        sendPacket(packet);
}

} // namespace

ChatWindow* chatWindow() { return currentChatWindow(); }

ChatPlacement& chatPlacement()
{
    static ChatPlacement placement;
    return placement;
}

ChatWindow::ChatWindow(int32_t x, int32_t y, int32_t width, int32_t height, std::u16string_view ownName)
    : ControlGump(ControlSet::Chat)
    , m_ownName(ownName)
{
    setTypeName("normal gump");
    addKind(GumpKind::ChatWindow);
    currentChatWindow() = this;
    if (chatPlacement().saved) {
        m_userListWidth = chatPlacement().userListWidth;
        m_inputHeight = chatPlacement().inputHeight;
    }
    const GumpArtSize icon = chatArt(kChatIconArt);
    setMinimisedSize(icon.width, icon.height);
    for (GumpHandle& piece : m_frame)
        piece = GumpHandle(new TextPane2(this));
    m_help = GumpHandle(makeChatButton(this, kChatHelpArt, kChatHelpArt + 1, chatHelpPressed, 0));
    m_close = GumpHandle(makeChatButton(this, kChatCloseArt, kChatCloseArt + 1, closeButtonParent, 0));
    for (int32_t which = 0; which < 2; ++which)
        m_arrows[size_t(which)]
            = GumpHandle(makeChatButton(this, kChatArrowArt, kChatArrowDownArt, forwardButtonToOwner, which));
    for (GumpHandle& bar : m_bars)
        bar = GumpHandle(new ScrollBar2(this));
    const int32_t menuBackground = chatSettingColour(u"ChatColorConferenceMenuBackground");
    m_lists[ChatList::kConference] = GumpHandle(new TextList2(this, false, false, 1, ChatList::kConference, menuBackground));
    m_lists[ChatList::kCommand] = GumpHandle(new TextList2(
        this, false, false, 1, ChatList::kCommand, chatSettingColour(u"ChatColorCommandMenuBackground")));
    m_lists[ChatList::kMessages] = GumpHandle(new TextList2(
        this, true, false, kMessageLines, ChatList::kMessages, chatSettingColour(u"ChatColorTextBackground")));
    m_lists[ChatList::kInput] = GumpHandle(
        new TextList2(this, true, false, kInputLines, ChatList::kInput, chatSettingColour(u"ChatColorInputBackground")));
    m_lists[ChatList::kUsers] = GumpHandle(
        new TextList2(this, false, true, kUserLines, ChatList::kUsers, chatSettingColour(u"ChatColorUserListBackground")));
    m_grip = GumpHandle(makeChatButton(this, kChatGripArt, kChatGripArt, chatGripPressed, 0));
    m_splitGrip = GumpHandle(makeChatButton(this, kChatGripArt, kChatGripArt, chatSplitGripPressed, 0));

    m_conferences.push_back({ {}, chatEntry(0) });
    for (size_t i = 0; i < m_commands.size(); ++i)
        m_commands[i] = { chatEntry(kChatCommandEntries[i].first), chatEntry(kChatCommandEntries[i].second) };

    addSystemLine(chatEntry(94));
    list(ChatList::kInput)->addLine(u"", chatSettingColour(u"ChatColorInput"), 0, -1, -1);
    const int32_t option = chatSettingColour(u"ChatColorMenuOption");
    list(ChatList::kConference)->addLine(chatEntry(1), option, 0, -1, -1);
    list(ChatList::kCommand)->addLine(chatEntry(2), option, 0, -1, -1);

    setLocation(x, y);
    setRestorePosition(x, y);
    setSize(std::max(width, kChatMinWidth), std::max(height, kChatMinHeight));
    layout();
    gumpLink(this, nullptr);
}

ChatWindow::~ChatWindow()
{
    ChatPlacement& placement = chatPlacement();
    placement = { isMinimised() ? restoreX() : x(), isMinimised() ? restoreY() : y(), width(), height(),
        m_userListWidth, m_inputHeight, isMinimised(), true };
    currentChatWindow() = nullptr;
    if (loginSession().loggedIn)
        sendChatPacket(u"X");
    deleteChildren();
}

TextList* ChatWindow::list(int32_t which) const { return static_cast<TextList*>(m_lists[size_t(which)].get()); }

PopupList* ChatWindow::popup(int32_t which) const { return static_cast<PopupList*>(m_popups[size_t(which)].get()); }

int32_t ChatWindow::splitX() const { return std::max(width() - m_userListWidth, kChatMinSplitX); }

int32_t ChatWindow::splitY() const { return std::max(height() - m_inputHeight, kChatMinSplitY); }

void ChatWindow::setSplit(int32_t userListWidth, int32_t inputHeight)
{
    m_userListWidth = userListWidth;
    m_inputHeight = inputHeight;
    layout();
}

void ChatWindow::layout()
{
    const int32_t e = chatArt(kChatEdgeArt).height;
    const int32_t v = chatArt(kChatSideArt).width;
    const GumpArtSize arrow = chatArt(kChatArrowArt);
    const int32_t aw = arrow.width;
    const int32_t ah = arrow.height;
    const int32_t w = width();
    const int32_t h = height();
    const int32_t sx = splitX();
    const int32_t sy = splitY();
    auto piece = [this](size_t index) { return static_cast<TextPane*>(m_frame[index].get()); };
    piece(0)->setGeometry(false, kChatEdgeArt, 0, 0, w);
    piece(1)->setGeometry(false, kChatEdgeArt, 0, h - e, w);
    piece(2)->setGeometry(true, kChatSideArt, 0, e, h - 2 * e);
    piece(3)->setGeometry(true, kChatSideArt, w - v, e, h - 2 * e);
    piece(4)->setGeometry(false, kChatEdgeArt, v, e + ah, w - 2 * v);
    piece(5)->setGeometry(false, kChatEdgeArt, v, sy, sx - v);
    piece(6)->setGeometry(true, kChatSideArt, sx, e, h - 2 * e);
    piece(7)->setGeometry(true, kChatBackingArt, v, e, ah);
    piece(8)->setGeometry(true, kChatBackingArt, sx + v, e, ah);

    CGump* close = m_close.get();
    close->setLocation(w - close->width() - v, e);
    CGump* help = m_help.get();
    help->setLocation(close->x() - help->width(), e);
    m_arrows[0].get()->setLocation(v, e);
    m_arrows[1].get()->setLocation(sx + v, e);
    list(ChatList::kConference)->setGeometry(v + aw, e, sx - aw - v, ah);
    list(ChatList::kCommand)->setGeometry(sx + aw + v, e, std::max(help->x() - (sx + aw + v), 0), ah);
    static_cast<ScrollBar*>(m_bars[0].get())->setGeometry(v, 2 * e + ah, sy - 2 * e - ah);
    list(ChatList::kMessages)->setGeometry(v + aw, 2 * e + ah, sx - aw - v, sy - 2 * e - ah);
    list(ChatList::kInput)->setGeometry(v, sy + e, sx - v, h - 2 * e - sy);
    static_cast<ScrollBar*>(m_bars[1].get())->setGeometry(sx + v, 2 * e + ah, h - 3 * e - ah);
    list(ChatList::kUsers)->setGeometry(sx + aw + v, 2 * e + ah, w - 2 * v - sx - aw, h - 3 * e - ah);
    CGump* grip = m_grip.get();
    grip->setLocation(w - grip->width() - v, h - grip->height() - e);
    CGump* splitGrip = m_splitGrip.get();
    splitGrip->setLocation(sx - splitGrip->width(), sy - splitGrip->height());
    if (PopupList* commands = popup(1))
        commands->setLocation(sx, e + ah);
}

void ChatWindow::addConference(std::u16string_view name, bool hasPassword)
{
    const char16_t mark = hasPassword ? u' ' : u'$';
    for (size_t i = 1; i < m_conferences.size(); ++i) {
        ChatConference& conference = m_conferences[i];
        if (conference.name == name) {
            if (!conference.display.empty())
                conference.display.back() = mark;
            return;
        }
    }
    std::u16string display = chatEntry(65);
    display += u'"';
    display += name;
    display += u'"';
    display += mark;
    m_conferences.push_back({ std::u16string(name), std::move(display) });
}

void ChatWindow::removeConference(std::u16string_view name)
{
    if (m_conferences.size() < 2)
        return;
    auto found = std::find_if(m_conferences.begin() + 1, m_conferences.end(),
        [name](const ChatConference& conference) { return conference.name == name; });
    if (found != m_conferences.end())
        m_conferences.erase(found);
}

void ChatWindow::addSpeechLine(
    std::u16string_view text, int32_t type, int32_t nameStart, int32_t nameEnd, std::string_view language)
{
    const ChatColours colours = chatColoursOf(type);
    list(ChatList::kMessages)->addLine(text, colours.text, colours.name, nameStart, nameEnd, language);
}

void ChatWindow::addSystemLine(std::u16string_view text)
{
    const int32_t colour = chatSettingColour(u"ChatColorSystemMessage");
    list(ChatList::kMessages)->addLine(text, colour, colour, -1, -1);
}

void ChatWindow::setConferenceLine(std::u16string_view text)
{
    TextList* line = list(ChatList::kConference);
    line->clear();
    line->addLine(text, chatSettingColour(u"ChatColorMenuOption"), 0, -1, -1);
}

void ChatWindow::alert()
{
    if (isMinimised() && !m_alerted)
        m_alerted = true;
}

void ChatWindow::openPopup(int32_t which)
{
    if (which != 0 && which != 1)
        return;
    if (PopupList* open = popup(which)) {
        closeGump(open);
        return;
    }
    std::vector<std::u16string> items;
    if (which == 0) {
        for (const ChatConference& conference : m_conferences)
            items.push_back(conference.display);
    } else {
        for (const ChatCommand& command : m_commands)
            items.push_back(command.menu);
    }
    const int32_t background = chatSettingColour(
        which == 0 ? u"ChatColorConferenceMenuBackground" : u"ChatColorCommandMenuBackground");
    auto* made = new PopupList(this, items, background);
    m_popups[size_t(which)] = GumpHandle(made);
    const int32_t e = chatArt(kChatEdgeArt).height;
    const int32_t ah = chatArt(kChatArrowArt).height;
    made->setLocation(which == 0 ? 0 : splitX(), e + ah);
}

void ChatWindow::focusInput()
{
    TextList* input = list(ChatList::kInput);
    gumpSetFocus(input);
    input->syncEditCursor();
}

void ChatWindow::onPopupChoice(const std::u16string& text, int32_t which)
{
    bool dialogOpened = false;
    TextList* input = list(ChatList::kInput);
    if (which == 0) {
        for (size_t i = 0; i < m_conferences.size(); ++i) {
            if (m_conferences[i].display != text)
                continue;
            if (i == 0) {
                const std::u16string password = chatEntry(20);
                new ChatDialog(this, -1, chatEntry(18), chatEntry(19), &password);
                dialogOpened = true;
            } else {
                focusInput();
                input->setEditText(m_conferences[i].display);
            }
            break;
        }
    } else if (which == 1) {
        int32_t asking = 0;
        for (size_t i = 0; i < m_commands.size(); ++i) {
            const ChatCommand& command = m_commands[i];
            const bool immediate = endsInDollar(command.command);
            if (command.menu == text) {
                if (immediate) {
                    focusInput();
                    input->setEditText(command.command);
                } else {
                    new ChatDialog(this, int32_t(2 * i + 1), chatEntry(96 + asking), u"", nullptr);
                    dialogOpened = true;
                }
                break;
            }
            if (!immediate)
                ++asking;
        }
    }
    if (!dialogOpened)
        focusInput();
}

void ChatWindow::notify(const std::u16string& text, CGump* sender)
{
    for (int32_t which = 0; which < 2; ++which) {
        PopupList* open = popup(which);
        if (open && (sender == open || sender == open->list())) {
            GumpHandle self(this);
            closeGump(open);
            onPopupChoice(text, which);
            return;
        }
    }
    if (sender == list(ChatList::kUsers)) {
        TextList* input = list(ChatList::kInput);
        focusInput();
        if (input->editText().empty())
            input->appendEditText(chatEntry(68) + text + u" ");
        else
            input->appendEditText(text);
    }
}

void ChatWindow::forgetGump(CGump* dying)
{
    for (GumpHandle& open : m_popups) {
        if (open.get() == dying)
            open = GumpHandle();
    }
}

void ChatWindow::childClosedWithText(CGump* child, const std::u16string* first, const std::u16string* second)
{
    auto* dialog = static_cast<ChatDialog*>(child);
    const int32_t request = dialog->request();
    const std::u16string one = first ? *first : std::u16string();
    if (request == -1) {
        std::u16string line = u"c" + one;
        if (second && !second->empty())
            line += u"{" + *second + u"}";
        sendChatPacket(line);
    } else if (request >= 1 && size_t(request / 2) < m_commands.size()) {
        TextList* input = list(ChatList::kInput);
        focusInput();
        input->setEditText(m_commands[size_t(request / 2)].command);
        input->appendEditText(one + (request == 1 ? u" " : u"$"));
    }
    focusInput();
}

void ChatWindow::sendInputLine(const std::u16string& text)
{
    sendChatPacket(chatLineToSend(text));
    list(ChatList::kInput)->clear();
}

bool ChatWindow::submitText(const std::u16string& text, CGump* sender)
{
    if (sender != list(ChatList::kInput))
        return false;
    sendInputLine(text);
    return true;
}

ScrollBar* ChatWindow::scrollBarOf(int32_t listId) const
{
    if (listId == ChatList::kMessages)
        return static_cast<ScrollBar*>(m_bars[0].get());
    if (listId == ChatList::kUsers)
        return static_cast<ScrollBar*>(m_bars[1].get());
    return nullptr;
}

TextList* ChatWindow::listOfBar(CGump* bar) const
{
    if (bar == m_bars[0].get())
        return list(ChatList::kMessages);
    if (bar == m_bars[1].get())
        return list(ChatList::kUsers);
    return nullptr;
}

void ChatWindow::setScrollRange(int32_t position, int32_t maximum, int32_t sender)
{
    if (ScrollBar* bar = scrollBarOf(sender))
        bar->setThumbPosition(position, maximum);
}

void ChatWindow::scrollTo(int32_t position, int32_t range, CGump* sender)
{
    if (TextList* lines = listOfBar(sender))
        lines->scrollTo(position, range, sender);
}

void ChatWindow::scrollStep(int32_t direction, CGump* sender)
{
    if (TextList* lines = listOfBar(sender))
        lines->scrollStep(direction, sender);
}

CGump* ChatWindow::findChildAt(int32_t x, int32_t y, CGump* excluded)
{
    if (isMinimised())
        return containsPoint(x, y) ? this : nullptr;
    return CGump::findChildAt(x, y, excluded);
}

void ChatWindow::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    if (isMinimised()) {
        int32_t x = 0;
        int32_t y = 0;
        localToScreen(x, y);
        drawGumpArtClipped(copySpanTransparent, m_alerted ? kChatAlertIconArt : kChatIconArt, canvas.target(),
            &canvas.clip(), x, y);
        return;
    }
    drawChildren(canvas);
}

bool ChatWindow::containsPoint(int32_t x, int32_t y)
{
    if (isMinimised())
        return getGumpArtPixel(m_alerted ? kChatAlertIconArt : kChatIconArt, x, y) != 0;
    bool hit = false;
    forEachChildBottomUp([&](CGump* child) {
        if (!hit && child->isVisible())
            hit = child->containsPoint(x - child->x(), y - child->y());
    });
    return hit;
}

void ChatWindow::onLeftDown(int32_t x, int32_t y)
{
    bringToFront(false);
    setDragAnchor(x, y);
    m_dragging = true;
    m_leftHeld = true;
    m_moved = false;
    if (!isMinimised())
        return;
    const uint32_t now = platform::clock().tickMs();
    if (m_clickState == 1 && now - m_firstClickTime <= kDoubleClickMs) {
        m_clickState = 2;
    } else {
        m_clickState = 1;
        m_firstClickTime = now;
    }
}

void ChatWindow::onHoverTick()
{
    // A press held beyond the double-click time is a move, not a click.
    if (m_clickState == 1 && m_leftHeld && platform::clock().tickMs() - m_firstClickTime > kDoubleClickMs) {
        m_clickState = 0;
        m_moved = true;
    }
}

void ChatWindow::onDrag(int32_t x, int32_t y)
{
    if (!m_dragging)
        return;
    if (x != dragAnchorX() || y != dragAnchorY())
        m_moved = true;
    moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void ChatWindow::onLeftUp(int32_t x, int32_t y)
{
    m_dragging = false;
    m_leftHeld = false;
    service<GumpPointer>().setPointerCapture(nullptr);
    if (isMinimised()) {
        if (m_clickState == 2) {
            m_clickState = 0;
            m_alerted = false;
            restore();
        }
        return;
    }
    const TextList* conference = list(ChatList::kConference);
    const TextList* command = list(ChatList::kCommand);
    auto inside = [x, y](const CGump* line) {
        return x >= line->x() && y >= line->y() && x < line->x() + line->width() && y < line->y() + line->height();
    };
    if (inside(conference)) {
        openPopup(0);
        return;
    }
    if (inside(command)) {
        openPopup(1);
        return;
    }
    focusInput();
}

void ChatWindow::resize(int32_t width, int32_t height, bool split)
{
    if (split) {
        m_userListWidth = this->width() - width;
        m_inputHeight = this->height() - height;
    } else {
        setSize(std::max(width, kChatMinWidth), std::max(height, kChatMinHeight));
    }
    layout();
}

void ChatWindow::onKey(uint32_t code) { list(ChatList::kInput)->onKey(code); }

void ChatWindow::onCommand(int32_t id) { openPopup(id); }

void ChatWindow::onFocusLost() { list(ChatList::kInput)->onFocusLost(); }
