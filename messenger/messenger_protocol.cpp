#include "messenger/messenger_protocol.h"

#include "core/wide_text.h"
#include "data/client_services.h"
#include "gump/gump_manager.h"
#include "messenger/messenger_connection.h"
#include "messenger/messenger_services.h"
#include "messenger/messenger_windows.h"
#include "protocol/login_state.h"

#include <algorithm>

namespace {

constexpr std::u16string_view kLineEnd = u"\r\n";
constexpr std::u16string_view kGmEndedText = u"The GM has ended this chat session.";
constexpr std::u16string_view kGmRequestText = u"A GM is requesting a chat session.";
constexpr std::u16string_view kPageFailedText = u"Cannot load the requested page.";
constexpr char kNewMessageText[] = "You have a new message.";
constexpr uint16_t kMessengerNoticeHue = 43;
constexpr uint16_t kMessengerSystemFont = 3;
constexpr int32_t kSmallPromptWidth = 150;
constexpr int32_t kSmallPromptHeight = 100;

// The two-character prefix and whether it carries an argument.
struct CommandForm {
    std::u16string_view prefix;
    bool takesArgument;
};

CommandForm commandForm(int32_t command)
{
    switch (command) {
    case MessengerCommand::GetPage:
        return { u"/g ", true };
    case MessengerCommand::RequestAddressBook:
        return { u"/b ", false };
    case MessengerCommand::EditAddress:
        return { u"/a ", true };
    case MessengerCommand::GiveCard:
        return { u"/d ", true };
    case MessengerCommand::DeleteCard:
        return { u"/v ", true };
    case MessengerCommand::RequestBody:
        return { u"/r ", true };
    case MessengerCommand::DeleteMessage:
        return { u"/o ", true };
    case MessengerCommand::RequestList:
        return { u"/s ", false };
    case MessengerCommand::GmChatJoin:
        return { u"/i ", true };
    case MessengerCommand::GmChatEnd:
        return { u"/e ", true };
    case MessengerCommand::GmChatLine:
        return { u"/m ", true };
    case MessengerCommand::ListClosed:
        return { u"/y ", false };
    case MessengerCommand::MarkRead:
        return { u"/j ", true };
    case MessengerCommand::Query:
        return { u"/q ", true };
    default:
        return { u"ECHO: ", true };
    }
}

bool sameCommand(std::u16string_view line, std::u16string_view command)
{
    return startsWithNoCase(line, command.substr(0, 2));
}

// The argument from `start`, empty for a line shorter than that.
std::u16string_view argumentFrom(std::u16string_view line, size_t start)
{
    return line.size() > start ? line.substr(start) : std::u16string_view();
}

std::u16string widen(std::string_view bytes) { return bytesToWideString(bytes); }

// Tab and the line ends, and the codes 1 to 5 that mark fixed address-book
// entries in their descriptions.
bool isLineControl(char16_t unit)
{
    return unit == u'\t' || unit == u'\r' || unit == u'\n' || (unit >= 1 && unit <= 5);
}

bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

// "/i": the session number at the argument's start (each sign before the
// digits turns it round), and the name after the first blank that follows.
void offerGmChat(std::u16string_view argument)
{
    GmChatOffer& offer = gmChatOffer();
    bool negative = false;
    size_t at = 0;
    while (at < argument.size() && (argument[at] == u'+' || argument[at] == u'-'))
        negative ^= argument[at++] == u'-';
    int64_t value = 0;
    while (at < argument.size() && argument[at] >= u'0' && argument[at] <= u'9')
        value = std::min<int64_t>(value * 10 + (argument[at++] - u'0'), INT32_MAX);
    offer.sessionId = int32_t(negative ? -value : value);
    const size_t blank = argument.find(u' ', at);
    const std::u16string_view name = blank == std::u16string_view::npos ? std::u16string_view()
                                                                        : argument.substr(blank + 1);
    offer.name.assign(name.substr(0, size_t(kMaxGmChatNameUnits)));
    const GumpScreen& screen = gumpScreen();
    openMessengerPrompt(nullptr, screen.width / 2 - kSmallPromptWidth / 2, screen.height / 2 - kSmallPromptHeight / 2,
        kSmallPromptWidth, kSmallPromptHeight, PromptCode::GmChatRequest, kGmRequestText, false);
}

void gmChatEnded()
{
    GmChatWindows& chat = service<GmChatWindows>();
    CGump* window = chat.window();
    if (!window)
        return;
    int32_t x = 0;
    int32_t y = 0;
    window->localToScreen(x, y);
    openMessengerNotice(nullptr, x + window->width() / 2 - kSmallPromptWidth / 2,
        y + window->height() / 2 - kSmallPromptHeight / 2, kSmallPromptWidth, kSmallPromptHeight, 0, kGmEndedText);
    chat.close();
}

void mailListArrived(std::u16string_view list)
{
    resetMessageList();
    parseMessageList(list);
    messengerState().status = MessengerStatus::ListReceived;
    refreshMessengerWindows();
    if (countUnreadMessages() > 0)
        windowNotices().addSystemMessage(0, kMessengerSystemFont, kNewMessageText);
}

// "/r": the body is stored, and the window that asked for it opens.
void bodyArrived(std::u16string_view argument)
{
    CGump* list = messageListWindow();
    if (!list)
        return;
    const int32_t index = storeMessageBody(argument);
    if (index < 0)
        return;
    const int32_t id = messageStore()[size_t(index)].id;
    const MessengerRequestState& request = messengerRequests();
    switch (request.pendingBodyAction) {
    case BodyAction::Reply:
    case BodyAction::Forward: {
        CGump* over = request.bodyRequestFromList ? list
                                                  : (request.bodyRequestFromReader ? readMessageWindow() : nullptr);
        if (!over)
            return;
        const bool reply = request.pendingBodyAction == BodyAction::Reply;
        openMailEditWindow(over, 0, 0, over->width(), over->height(), std::nullopt, reply ? id : 0, reply ? 0 : id);
        return;
    }
    case BodyAction::Read:
        if (request.bodyRequestFromList)
            openReadMessageWindow(list, 0, 0, list->width(), list->height(), id);
        return;
    default:
        return;
    }
}

} // namespace

MessengerRequestState& messengerRequests()
{
    static MessengerRequestState state;
    return state;
}

GmChatOffer& gmChatOffer()
{
    static GmChatOffer offer;
    return offer;
}

std::u16string messengerDecimal(int64_t value)
{
    const std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}

std::u16string buildMessengerCommand(int32_t command, std::u16string_view argument)
{
    std::u16string line;
    if (command == MessengerCommand::SendMail) {
        line.reserve(argument.size() + 8);
        line.append(u"/x").append(kLineEnd).append(argument).append(kLineEnd);
        return line;
    }
    const CommandForm form = commandForm(command);
    line.append(form.prefix);
    if (form.takesArgument)
        line.append(argument);
    line.append(kLineEnd);
    return line;
}

int32_t sendMessengerCommand(int32_t command, std::u16string_view argument)
{
    MessengerConnection* socket = messengerSocket();
    if (!socket)
        return 0;
    if (command == MessengerCommand::RequestList)
        messengerState().status = MessengerStatus::Waiting;
    return socket->queueMessage(buildMessengerCommand(command, argument));
}

int32_t sendMessengerCommandAscii(int32_t command, std::string_view argument)
{
    return sendMessengerCommand(command, widen(argument));
}

std::u16string messengerSenderName(bool signWithAccount)
{
    const LoginSession& session = loginSession();
    if (signWithAccount)
        return widen(session.accountName);
    const std::u16string shard = session.shardName.empty() ? u"Nowhere" : widen(session.shardName);
    return widen(session.playerName) + u" of " + shard;
}

std::u16string buildMailText(const MailAddressing& to, std::u16string_view subject, std::u16string_view body)
{
    const std::u16string sender = to.senderId.empty() ? messengerDecimal(messengerState().accountId) : to.senderId;
    std::u16string text;
    text.reserve(body.size() + 256);
    text.append(u"To: <").append(to.address).append(u"> \"").append(to.name).append(u"\" (").append(to.comment);
    text.append(u")").append(kLineEnd);
    text.append(u"From: <").append(sender).append(u"@").append(kMessengerMailDomain).append(u"> \"");
    text.append(messengerSenderName(to.signWithAccount)).append(u"\"").append(kLineEnd);
    text.append(u"Subject: ").append(subject == kSubjectPlaceholder ? std::u16string_view() : subject);
    text.append(kLineEnd).append(kLineEnd);
    text.append(body);
    return text;
}

int32_t sendMail(const MailAddressing& to, std::u16string_view subject, std::u16string_view body)
{
    return sendMessengerCommand(MessengerCommand::SendMail, buildMailText(to, subject, body));
}

void composeOrSendMail(bool chooseRecipient, std::u16string_view address, std::u16string_view name,
    bool signWithAccount, bool editableSubject, std::u16string_view subject, bool editableBody,
    std::u16string_view body, std::u16string_view title, std::u16string_view senderId)
{
    if (chooseRecipient || editableSubject || editableBody) {
        ComposeRequest request;
        request.chooseRecipient = chooseRecipient;
        request.address.assign(address.substr(0, size_t(kMessengerFieldLength)));
        request.name.assign(name.substr(0, size_t(kMessengerFieldLength)));
        request.signWithAccount = signWithAccount;
        request.editableSubject = editableSubject;
        request.subject.assign(subject);
        request.editableBody = editableBody;
        request.body.assign(body);
        request.title.assign(title.substr(0, size_t(kMessengerFieldLength)));
        openComposeWindow(request);
        return;
    }
    MailAddressing to;
    to.address.assign(address);
    to.name.assign(name);
    to.comment = u"dummy";
    to.signWithAccount = signWithAccount;
    to.senderId.assign(senderId);
    sendMail(to, subject, body);
}

bool isAcceptableMessengerLine(std::u16string_view line)
{
    if (int64_t(line.size()) > kMaxMessengerLineUnits)
        return false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char16_t unit = line[i];
        if ((unit < 0x20 && !isLineControl(unit)) || unit == 0x7F || unit == 0xFFFE || unit == 0xFFFF)
            return false;
        if (isHighSurrogate(unit)) {
            if (i + 1 >= line.size() || !isLowSurrogate(line[i + 1]))
                return false;
            ++i;
        } else if (isLowSurrogate(unit)) {
            return false;
        }
    }
    return true;
}

void handleMessengerLine(std::u16string_view line)
{
    if (!isAcceptableMessengerLine(line))
        return;
    // The argument follows the command and the two characters after it.
    const std::u16string_view argument = argumentFrom(line, 4);
    if (sameCommand(line, u"/h")) {
        if (isWebPageWindowOpen())
            showWebPage(argument);
    } else if (sameCommand(line, u"/f")) {
        if (isWebPageWindowOpen())
            showWebPage(kPageFailedText);
    } else if (sameCommand(line, u"/e")) {
        gmChatEnded();
    } else if (sameCommand(line, u"/i")) {
        if (!service<GmChatWindows>().window())
            offerGmChat(argument);
    } else if (sameCommand(line, u"/m")) {
        if (service<GmChatWindows>().window())
            service<GmChatWindows>().addLine(line);
    } else if (sameCommand(line, u"/p")) {
        messengerState().status = MessengerStatus::Waiting;
        sendMessengerCommand(MessengerCommand::RequestList, u"");
    } else if (sameCommand(line, u"/b")) {
        resetAddressBook();
        parseAddressList(argument);
    } else if (sameCommand(line, u"/s")) {
        mailListArrived(argument);
    } else if (sameCommand(line, u"/K")) {
        std::u16string_view text = argumentFrom(line, 3);
        text = text.substr(0, std::min(text.find(u'\r'), text.find(u'\n')));
        service<MessengerNotices>().addSystemText(kMessengerNoticeHue, kMessengerSystemFont, text);
    } else if (sameCommand(line, u"/r")) {
        bodyArrived(argument);
    }
}
