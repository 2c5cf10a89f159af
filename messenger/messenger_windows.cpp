// The messenger windows' slots, the openers the protocol and the desktop
// use, the refresh after the stores change, and the small prompt windows.
#include "messenger/messenger_windows.h"

#include "gump/desktop_records.h"
#include "gump/gump_manager.h"
#include "gump/html_view.h"
#include "messenger/message_lists.h"
#include "messenger/messenger_protocol.h"
#include "messenger/messenger_services.h"

namespace {

constexpr MessengerWindowPlace kDefaultWebPagePlace { 0, 0, 640, 480, false };
constexpr MessengerWindowPlace kDefaultMessagesPlace { 120, 90, 400, 400, false };
constexpr int32_t kPromptMinWidth = 150;
constexpr int32_t kPromptMinHeight = 100;
constexpr int32_t kEditMinHeight = 75;
constexpr uint32_t kMessengerDescriptionFlags = 309;
constexpr uint32_t kPromptHtmlFlags = HtmlViewFlag::kReadOnly;

std::optional<MessengerWindowPlace>& keptPlace(uint8_t recordType)
{
    static std::optional<MessengerWindowPlace> webPage;
    static std::optional<MessengerWindowPlace> messages;
    return recordType == DesktopRecordType::kWebPage ? webPage : messages;
}

template <typename Window>
Window* slotWindow(const GumpHandle& slot)
{
    return static_cast<Window*>(slot.get());
}

void relayout(MessengerWindow* window)
{
    if (window)
        window->resizeMessengerWindow(-1, -1);
}

} // namespace

MessengerWindowSlots& messengerWindowSlots()
{
    static MessengerWindowSlots slots;
    return slots;
}

WebPageWindow* webPageWindow() { return slotWindow<WebPageWindow>(messengerWindowSlots().webPage); }
MessageListWindow* messageListWindow() { return slotWindow<MessageListWindow>(messengerWindowSlots().messageList); }
AddressBookWindow* addressBookWindow() { return slotWindow<AddressBookWindow>(messengerWindowSlots().addressBook); }
RecipientPickerWindow* recipientPickerWindow()
{
    return slotWindow<RecipientPickerWindow>(messengerWindowSlots().picker);
}
MailEditWindow* sendWindow() { return slotWindow<MailEditWindow>(messengerWindowSlots().send); }
ReadMessageWindow* readMessageWindow() { return slotWindow<ReadMessageWindow>(messengerWindowSlots().read); }

void keepMessengerWindowPlace(uint8_t recordType, const MessengerWindowPlace& place) { keptPlace(recordType) = place; }

void forgetMessengerWindowPlaces()
{
    keptPlace(DesktopRecordType::kWebPage).reset();
    keptPlace(DesktopRecordType::kMessageList).reset();
}

void toggleWebPageWindow()
{
    if (WebPageWindow* open = webPageWindow()) {
        open->bringToFront(false);
        return;
    }
    const MessengerWindowPlace place = keptPlace(13).value_or(kDefaultWebPagePlace);
    auto* window = new WebPageWindow(place.x, place.y, place.width, place.height);
    if (place.minimised)
        window->minimize();
    sendMessengerCommandAscii(MessengerCommand::GetPage, kMessengerDefaultPage);
}

void toggleMessageListWindow()
{
    sendMessengerCommand(MessengerCommand::RequestList, u"");
    if (MessageListWindow* open = messageListWindow()) {
        if (open->isMinimised())
            open->restore();
        open->bringToFront(false);
        return;
    }
    const MessengerWindowPlace place = keptPlace(14).value_or(kDefaultMessagesPlace);
    auto* window = new MessageListWindow(place.x, place.y, place.width, place.height);
    if (place.minimised)
        window->minimize();
}

bool isWebPageWindowOpen() { return webPageWindow() != nullptr; }

void showWebPage(std::u16string_view html)
{
    if (WebPageWindow* window = webPageWindow())
        window->showPage(html);
}

MailEditWindow* openMailEditWindow(CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height,
    std::optional<AddressEntry> recipient, int32_t repliedId, int32_t forwardedId)
{
    return new MailEditWindow(parent, x, y, width, height, std::move(recipient), repliedId, forwardedId);
}

MailEditWindow* openComposeWindow(const ComposeRequest& request)
{
    MessageListWindow* list = messageListWindow();
    if (!list)
        return nullptr;
    return new MailEditWindow(list, 5, 5, list->width(), list->height(), request);
}

ReadMessageWindow* openReadMessageWindow(
    CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height, int32_t messageId)
{
    if (!findMessageRecord(messageId))
        return nullptr;
    return new ReadMessageWindow(parent, x, y, width, height, messageId);
}

AddressBookWindow* openAddressBookWindow(int32_t x, int32_t y, int32_t width, int32_t height)
{
    closeGump(addressBookWindow());
    return new AddressBookWindow(x, y, width, height);
}

MessengerPromptWindow* openMessengerPrompt(CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height,
    int32_t code, std::u16string_view text, bool html)
{
    return new MessengerPromptWindow(parent, x, y, width, height, code, text, html);
}

MessengerPromptWindow* askCentredOn(CGump* window, int32_t code, std::u16string_view text)
{
    constexpr int32_t kQuestionWidth = 260;
    constexpr int32_t kQuestionHeight = 190;
    return openMessengerPrompt(window, window->width() / 2 - kQuestionWidth / 2,
        window->height() / 2 - kQuestionHeight / 2, kQuestionWidth, kQuestionHeight, code, text, false);
}

MessengerNoticeWindow* openMessengerNotice(
    CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height, int32_t code, std::u16string_view text)
{
    return new MessengerNoticeWindow(parent, x, y, width, height, code, text);
}

void refreshMessengerWindows()
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::Paperdoll))
            gump->refreshLayout();
    }
    relayout(messageListWindow());
    relayout(readMessageWindow());
    relayout(sendWindow());
}

void redrawMessageListControl()
{
    if (MessageListWindow* window = messageListWindow()) {
        if (MessageListControl* list = window->list())
            list->redraw();
    }
}

void redrawAddressLists()
{
    if (AddressBookWindow* window = addressBookWindow()) {
        if (AddressListControl* list = window->list())
            list->redraw();
    }
    if (RecipientPickerWindow* window = recipientPickerWindow()) {
        if (AddressListControl* list = window->list())
            list->redraw();
    }
}

MessengerPromptWindow::MessengerPromptWindow(CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height,
    int32_t code, std::u16string_view text, bool html)
    : MessengerWindow(html ? 1 : 0)
    , m_code(code)
{
    setTypeName("messenger prompt");
    setMinimumSize(kPromptMinWidth, kPromptMinHeight);
    m_bodyText.assign(text.substr(0, size_t(kMessengerFieldLength)));
    if (html)
        m_htmlView = GumpHandle(new HtmlView(this, 0, kPromptHtmlFlags, false, true));
    addMessengerButton(MessengerButton::Ok, 1);
    addMessengerButton(MessengerButton::Cancel, 5);
    finishWindow(parent, x, y, width, height);
}

void MessengerPromptWindow::onCommand(int32_t command)
{
    if (command == MessengerButton::Cancel) {
        closeGump(this);
        return;
    }
    if (command != MessengerButton::Ok)
        return;
    GumpHandle self(this);
    if (CGump* owner = parent()) {
        const bool answered = owner->onMessengerEvent(m_code, 0, 0);
        if (self && answered)
            closeGump(this);
        return;
    }
    const int32_t code = m_code;
    closeGump(this);
    if (code == PromptCode::GmChatRequest)
        service<GmChatWindows>().open();
}

MessengerNoticeWindow::MessengerNoticeWindow(CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height,
    int32_t code, std::u16string_view text)
    : MessengerWindow(0)
    , m_code(code)
{
    setTypeName("messenger notice");
    setMinimumSize(kPromptMinWidth, kPromptMinHeight);
    m_bodyText.assign(text.substr(0, size_t(kMessengerFieldLength)));
    addMessengerButton(MessengerButton::Ok, 2);
    finishWindow(parent, x, y, width, height);
}

void MessengerNoticeWindow::onCommand(int32_t command)
{
    if (command != MessengerButton::Ok)
        return;
    GumpHandle self(this);
    if (CGump* owner = parent()) {
        const bool answered = owner->onMessengerEvent(m_code, 0, 0);
        if (self && answered)
            closeGump(this);
        return;
    }
    closeGump(this);
}

DescriptionEditWindow::DescriptionEditWindow(MessengerWindow* parent, int32_t x, int32_t y, int32_t width,
    int32_t height, int32_t code, std::u16string_view name, std::u16string_view description)
    : MessengerWindow(0)
    , m_code(code)
{
    setTypeName("description editor");
    setMinimumSize(kPromptMinWidth, kEditMinHeight);
    m_title = u"Edit Description";
    m_centreTitle = true;
    m_headerAboveBody = true;
    m_bodyText.assign(name.substr(0, size_t(kMessengerFieldLength)));
    auto* editor = new HtmlView(this, 0, kMessengerDescriptionFlags, false, true);
    editor->placeholderPending = false;
    editor->setText(description.substr(0, size_t(kMessengerFieldLength)), 1);
    m_bodyControl = GumpHandle(editor);
    addMessengerButton(MessengerButton::Ok, 1);
    addMessengerButton(MessengerButton::Cancel, 5);
    finishWindow(parent, x, y, width, height);
}

void DescriptionEditWindow::onCommand(int32_t command)
{
    if (command == MessengerButton::Cancel) {
        closeGump(this);
        return;
    }
    if (command != MessengerButton::Ok)
        return;
    GumpHandle self(this);
    const std::u16string text = editor() ? editor()->text() : std::u16string();
    if (MessengerWindow* owner = messengerWindowOf(parent()))
        owner->onPromptAnswer(m_code, text.substr(0, size_t(kMessengerFieldLength)), 0);
    if (self)
        closeGump(this);
}
