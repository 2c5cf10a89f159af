// The "Messages" window over the mail list and the "Read Message" window of
// one mail: reading, answering, forwarding and deleting mail and the cards
// its senders gave.
#include "messenger/messenger_windows.h"

#include "core/wide_text.h"
#include "gump/gump_manager.h"
#include "gump/html_view.h"
#include "messenger/message_lists.h"
#include "messenger/messenger_connection.h"
#include "messenger/messenger_protocol.h"
#include "protocol/login_state.h"
#include "world/world_services.h"

#include <utility>

namespace {

constexpr int32_t kMessagesMinWidth = 400;
constexpr int32_t kMessagesMinHeight = 300;
constexpr int32_t kReaderMinWidth = 450;
constexpr int32_t kReaderMinHeight = 300;
constexpr uint32_t kReaderFlagsWithRecipient = 66;
constexpr uint32_t kReaderFlags = 2;
constexpr int32_t kMailEditOffset = 5;

constexpr std::u16string_view kDeleteOneText = u"Are you sure you want to delete this message?";
constexpr std::u16string_view kDeleteManyText = u"Are you sure you want to delete these messages?";
constexpr std::u16string_view kCardsText = u"This will permanently delete all of these greeting cards";
constexpr std::u16string_view kCardText = u"This will permanently delete the greeting card you gave ";
constexpr std::u16string_view kCardQuestion = u". Are you sure you want to do this?";

std::u16string cardQuestion(std::u16string_view name)
{
    return std::u16string(kCardText) + std::u16string(name) + std::u16string(kCardQuestion);
}

// Asks the service for a mail body; `action` opens its window when it comes.
void requestBody(int32_t id, int32_t action, bool fromList)
{
    MessengerRequestState& request = messengerRequests();
    request.bodyRequestFromList = fromList;
    request.bodyRequestFromReader = !fromList;
    request.pendingBodyAction = action;
    sendMessengerCommand(MessengerCommand::RequestBody, messengerDecimal(id));
}

// Reply or Forward on a mail: the send window opens over `window` when the
// body is here; otherwise the body is asked for and the window opens when it
// arrives.
void answerMail(MessengerWindow* window, int32_t id, int32_t command, bool fromList)
{
    const MessageRecord* record = findMessageRecord(id);
    if (!record || sendWindow())
        return;
    if (!record->bodyLoaded) {
        requestBody(id, command, fromList);
        return;
    }
    const bool reply = command == MessengerButton::Reply;
    openMailEditWindow(window, kMailEditOffset, kMailEditOffset, window->width(), window->height(), std::nullopt,
        reply ? id : 0, reply ? 0 : id);
}

void deleteOnServer(int32_t id)
{
    if (findMessage(id) < 0)
        return;
    sendMessengerCommand(MessengerCommand::DeleteMessage, messengerDecimal(id));
    deleteMessageById(id);
    refreshMessengerWindows();
}

} // namespace

void markMessageRead(int32_t id)
{
    if (MessageRecord* record = findMessageRecord(id))
        record->readState = 1;
    sendMessengerCommand(MessengerCommand::MarkRead, messengerDecimal(id) + u" 1");
}

void deleteGivenCards(const std::vector<int32_t>& ids)
{
    for (int32_t id : ids) {
        const MessageRecord* record = findMessageRecord(id);
        if (!record)
            continue;
        const std::u16string sender = record->fromAddress;
        const std::vector<AddressEntry>& book = addressBook();
        for (size_t i = 0; i < book.size(); ++i) {
            if (book[i].address != sender)
                continue;
            sendMessengerCommand(MessengerCommand::DeleteCard, addressEntryText(book[i]));
            deleteAddress(int32_t(i));
            break;
        }
        deleteMessageById(id);
        refreshMessengerWindows();
    }
    sendMessengerCommand(MessengerCommand::RequestList, u"");
}

MessageListWindow::MessageListWindow(int32_t x, int32_t y, int32_t width, int32_t height)
    : MessengerWindow(0)
{
    setTypeName("messages gump");
    addKind(GumpKind::MessengerList);
    m_title = u"Messages";
    setMinimumSize(kMessagesMinWidth, kMessagesMinHeight);
    messengerRequests() = MessengerRequestState();
    m_messageList = GumpHandle(new MessageListControl(this));
    addMessengerButton(MessengerButton::Minimise, 0);
    addMessengerButton(MessengerButton::Close, 0);
    addMessengerButton(MessengerButton::Resize, 0);
    addMessengerButton(MessengerButton::New, 1);
    addMessengerButton(MessengerButton::Reply, 6);
    addMessengerButton(MessengerButton::DeleteCard, 7);
    addMessengerButton(MessengerButton::Forward, 8);
    addMessengerButton(MessengerButton::Delete, 9);
    addMessengerButton(MessengerButton::Addresses, 5);
    worldService<WorldSounds>().playSound(kOpenSound, 0, 0, false, 0, false);
    finishWindow(nullptr, x, y, width, height);
    messengerWindowSlots().messageList = GumpHandle(this);
}

MessageListWindow::~MessageListWindow()
{
    messengerRequests() = MessengerRequestState();
    closeGump(sendWindow());
    closeGump(readMessageWindow());
    closeGump(addressBookWindow());
    closeGump(recipientPickerWindow());
    sendMessengerCommand(MessengerCommand::ListClosed, u"");
}

void MessageListWindow::updateButtons()
{
    const MessageListControl* control = list();
    const bool selected = control && control->selectedId() != 0;
    const bool sending = sendWindow() != nullptr;
    setButtonDisabled(MessengerButton::Reply, sending || !selected);
    setButtonDisabled(MessengerButton::Forward, sending || !selected);
    setButtonDisabled(MessengerButton::Delete, !selected);
    setButtonDisabled(MessengerButton::DeleteCard, !selected);
    setButtonDisabled(MessengerButton::New, sending);
}

void MessageListWindow::askAbout(int32_t code, const std::u16string& text)
{
    closeGump(m_prompt.get());
    m_prompt = GumpHandle(askCentredOn(this, code, text));
}

void MessageListWindow::onCommand(int32_t command)
{
    MessageListControl* control = list();
    const int32_t id = control ? control->selectedId() : 0;
    const MessageRecord* record = id ? findMessageRecord(id) : nullptr;
    switch (command) {
    case MessengerButton::Reply:
    case MessengerButton::Forward:
        answerMail(this, id, command, true);
        return;
    case kReadCommand:
        if (!record)
            return;
        if (record->bodyLoaded)
            openReadMessageWindow(this, 0, 0, width(), height(), id);
        else
            requestBody(id, BodyAction::Read, true);
        return;
    case MessengerButton::Delete: {
        if (!record)
            return;
        m_asked = control->selectedIds();
        const bool many = m_asked.size() > 1;
        askAbout(many ? PromptCode::DeleteMany : PromptCode::DeleteOne,
            std::u16string(many ? kDeleteManyText : kDeleteOneText));
        return;
    }
    case MessengerButton::DeleteCard: {
        if (!record)
            return;
        m_asked = control->selectedIds();
        const bool many = m_asked.size() > 1;
        askAbout(many ? PromptCode::DeleteCards : PromptCode::DeleteCard,
            many ? std::u16string(kCardsText) + std::u16string(kCardQuestion) : cardQuestion(record->fromName));
        return;
    }
    case MessengerButton::New:
        if (!sendWindow())
            openMailEditWindow(this, kMailEditOffset, kMailEditOffset, width(), height(), std::nullopt, 0, 0);
        return;
    case MessengerButton::Addresses:
        openAddressBookWindow(width() / 4, height() / 4, width() / 2, height() / 2);
        return;
    default:
        return;
    }
}

bool MessageListWindow::onPromptAnswer(int32_t code, const std::u16string&, int32_t)
{
    // The mail the question named, as the player saw it selected; mail that
    // has gone since is left alone.
    const std::vector<int32_t> asked = std::exchange(m_asked, {});
    GumpHandle self(this);
    switch (code) {
    case PromptCode::DeleteOne:
    case PromptCode::DeleteMany:
        for (int32_t id : asked)
            deleteOnServer(id);
        break;
    case PromptCode::DeleteCard:
    case PromptCode::DeleteCards:
        deleteGivenCards(asked);
        break;
    default:
        return true;
    }
    if (self)
        resizeMessengerWindow(-1, -1);
    return true;
}

ReadMessageWindow::ReadMessageWindow(
    CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height, int32_t messageId)
    : MessengerWindow(0)
    , m_id(messageId)
{
    setTypeName("read message gump");
    closeGump(readMessageWindow());
    messengerRequests().bodyRequestFromReader = false;
    m_title = u"Read Message";
    setMinimumSize(kReaderMinWidth, kReaderMinHeight);
    const MessageRecord* record = findMessageRecord(messageId);
    const MessageRecord empty;
    const MessageRecord& shown = record ? *record : empty;
    m_headerShown = { true, true, true, true };
    m_headerValue[To] = shown.toName.empty() ? bytesToWideString(loginSession().accountName) : shown.toName;
    m_headerValue[From] = shown.fromName;
    m_headerValue[Date] = shown.dateText;
    m_headerValue[Subject] = shown.subject;
    auto* body = new HtmlView(this, 0, shown.toName.empty() ? kReaderFlags : kReaderFlagsWithRecipient, false, true);
    body->placeholderPending = false;
    body->setText(shown.body, 1);
    m_bodyControl = GumpHandle(body);
    addMessengerButton(MessengerButton::Minimise, 0);
    addMessengerButton(MessengerButton::Close, 0);
    addMessengerButton(MessengerButton::Resize, 0);
    addMessengerButton(MessengerButton::Reply, 1);
    addMessengerButton(MessengerButton::Forward, 3);
    addMessengerButton(MessengerButton::Delete, 4);
    addMessengerButton(MessengerButton::DeleteCard, 5);
    finishWindow(parent, x, y, width, height);
    messengerWindowSlots().read = GumpHandle(this);
    markMessageRead(messageId);
    refreshMessengerWindows();
}

ReadMessageWindow::~ReadMessageWindow() { messengerRequests().bodyRequestFromReader = false; }

void ReadMessageWindow::updateButtons()
{
    const bool sending = sendWindow() != nullptr;
    setButtonDisabled(MessengerButton::Reply, sending);
    setButtonDisabled(MessengerButton::Forward, sending);
}

void ReadMessageWindow::onCommand(int32_t command)
{
    const MessageRecord* record = findMessageRecord(m_id);
    switch (command) {
    case MessengerButton::Reply:
    case MessengerButton::Forward:
        answerMail(this, m_id, command, false);
        return;
    case MessengerButton::Delete:
        closeGump(m_prompt.get());
        m_prompt = GumpHandle(askCentredOn(this, PromptCode::DeleteOne, std::u16string(kDeleteOneText)));
        return;
    case MessengerButton::DeleteCard:
        if (!record)
            return;
        closeGump(m_prompt.get());
        m_prompt = GumpHandle(askCentredOn(this, PromptCode::DeleteCard, cardQuestion(record->fromName)));
        return;
    default:
        return;
    }
}

bool ReadMessageWindow::onPromptAnswer(int32_t code, const std::u16string&, int32_t)
{
    if (code == PromptCode::DeleteOne)
        deleteOnServer(m_id);
    else if (code == PromptCode::DeleteCard)
        deleteGivenCards({ m_id });
    else
        return true;
    closeGump(this);
    return true;
}
