#include "support/stage_messenger.h"

#include <algorithm>
#include <span>

namespace test {

namespace {

constexpr uint32_t kPollMs = 5;
constexpr char16_t kDomain[] = u"@messenger.vardun.net";

std::u16string toWide(std::string_view text) { return std::u16string(text.begin(), text.end()); }

std::u16string decimal(int32_t value) { return toWide(std::to_string(value)); }

int32_t leadingNumber(std::u16string_view text)
{
    int32_t value = 0;
    for (char16_t unit : text) {
        if (unit < u'0' || unit > u'9' || value > 100000000)
            break;
        value = value * 10 + (unit - u'0');
    }
    return value;
}

// The text between `open` and `close` in `line`, empty when missing.
std::u16string between(std::u16string_view line, char16_t open, char16_t close)
{
    const size_t start = line.find(open);
    if (start == std::u16string_view::npos)
        return {};
    const size_t end = line.find(close, start + 1);
    return std::u16string(line.substr(start + 1, end == std::u16string_view::npos ? end : end - start - 1));
}

// The line of `text` that starts with `name`, without the name and its end.
std::u16string headerValue(std::u16string_view text, std::u16string_view name)
{
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find(u"\r\n", at);
        const std::u16string_view line = text.substr(at, end == std::u16string_view::npos ? end : end - at);
        if (line.starts_with(name))
            return std::u16string(line.substr(name.size()));
        if (end == std::u16string_view::npos)
            break;
        at = end + 2;
    }
    return {};
}

} // namespace

std::vector<uint8_t> messengerWireBytes(std::u16string_view line)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(line.size() * 2 + 2);
    for (char16_t unit : line) {
        bytes.push_back(uint8_t(unit & 0xFF));
        bytes.push_back(uint8_t(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

struct StageMessenger::Client {
    platform::SocketHandle socket = platform::kNoSocket;
    std::vector<uint8_t> input;
    std::vector<uint8_t> output;
    // The first list of a connection carries the notice that the address
    // book changed, until the client deletes it.
    bool bookNoticePending = true;
};

StageMessenger::StageMessenger(bool answering)
    : m_answering(answering)
{
    m_mailbox.push_back({ 101, u"Aldric", u"aldric" + std::u16string(kDomain), u"Kendra",
        u"kendra" + std::u16string(kDomain), u"Mon Feb  3 10:00:00 2003 EST", u"Welcome to the stage", 0,
        u"The lantern inn keeps a room for you.\r\nCome by before nightfall." });
    m_mailbox.push_back({ 102, u"Aldric", u"aldric" + std::u16string(kDomain), u"Brom",
        u"brom" + std::u16string(kDomain), u"Tue Feb  4 09:30:00 2003 GMT", u"Supplies", 1,
        u"Your sword is mended." });
    m_book.push_back({ u"support" + std::u16string(kDomain), u"Vardun Support", std::u16string(1, char16_t(1)) });
    m_book.push_back({ u"kendra" + std::u16string(kDomain), u"Kendra", u"friend from the inn" });
    m_book.push_back({ u"brom" + std::u16string(kDomain), u"Brom", u"smith" });
    m_listener = platform::tcpListenLoopback(0);
    if (m_listener == platform::kNoSocket)
        return;
    platform::setSocketBlocking(m_listener, false);
    m_port = platform::socketLocalPort(m_listener);
    m_thread = std::thread([this] { run(); });
}

StageMessenger::~StageMessenger()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    for (auto& client : m_clients)
        platform::closeSocket(client->socket);
    platform::closeSocket(m_listener);
}

size_t StageMessenger::clientCount() const
{
    std::lock_guard guard(m_lock);
    return m_clients.size();
}

std::vector<std::u16string> StageMessenger::received() const
{
    std::lock_guard guard(m_lock);
    return m_received;
}

std::vector<std::u16string> StageMessenger::receivedStartingWith(std::u16string_view prefix) const
{
    std::vector<std::u16string> lines;
    for (const std::u16string& line : received()) {
        if (line.starts_with(prefix))
            lines.push_back(line);
    }
    return lines;
}

void StageMessenger::send(std::u16string_view line) { sendBytes(messengerWireBytes(line)); }

void StageMessenger::sendBytes(const std::vector<uint8_t>& bytes)
{
    std::lock_guard guard(m_lock);
    for (auto& client : m_clients)
        client->output.insert(client->output.end(), bytes.begin(), bytes.end());
}

void StageMessenger::closeClients()
{
    std::lock_guard guard(m_lock);
    for (auto& client : m_clients)
        platform::closeSocket(client->socket);
    m_clients.clear();
}

std::vector<StageMail> StageMessenger::mailbox() const
{
    std::lock_guard guard(m_lock);
    return m_mailbox;
}

std::vector<StageAddress> StageMessenger::addressBook() const
{
    std::lock_guard guard(m_lock);
    return m_book;
}

std::u16string StageMessenger::mailBlock(const StageMail& mail)
{
    return decimal(mail.id) + u"\r\nTo: <" + mail.toAddress + u"> \"" + mail.toName + u"\" ()\r\nFrom: <"
        + mail.fromAddress + u"> \"" + mail.fromName + u"\" ()\r\nDate: " + mail.date + u"\r\nSubject: "
        + mail.subject + u"\r\nRead: " + decimal(mail.read) + u"\r\n";
}

std::u16string StageMessenger::mailListText() const
{
    std::u16string text;
    for (const StageMail& mail : m_mailbox)
        text += mailBlock(mail);
    return text;
}

std::u16string StageMessenger::addressListText() const
{
    std::u16string text;
    for (const StageAddress& entry : m_book)
        text += u"<" + entry.address + u"> \"" + entry.name + u"\" (" + entry.description + u")\r\n";
    return text + u".\r\n";
}

void StageMessenger::run()
{
    while (!m_stop) {
        std::vector<platform::SocketPoll> polls;
        {
            std::lock_guard guard(m_lock);
            polls.push_back({ m_listener, true, false });
            for (auto& client : m_clients)
                polls.push_back({ client->socket, true, !client->output.empty() });
        }
        if (platform::pollSockets(polls, kPollMs) <= 0)
            continue;
        std::lock_guard guard(m_lock);
        if (polls[0].readable)
            accept();
        for (size_t i = 1; i < polls.size(); ++i) {
            auto found = std::find_if(m_clients.begin(), m_clients.end(),
                [&](const std::unique_ptr<Client>& client) { return client->socket == polls[i].socket; });
            if (found == m_clients.end())
                continue;
            Client& client = **found;
            if (polls[i].writable && !client.output.empty()) {
                const platform::IoResult sent
                    = platform::socketSend(client.socket, client.output.data(), client.output.size());
                if (sent.status == platform::IoStatus::Done)
                    client.output.erase(client.output.begin(), client.output.begin() + sent.count);
            }
            if (polls[i].readable && !readFrom(client)) {
                platform::closeSocket(client.socket);
                m_clients.erase(found);
            }
        }
    }
}

void StageMessenger::accept()
{
    const platform::SocketHandle socket = platform::tcpAccept(m_listener, 0);
    if (socket == platform::kNoSocket)
        return;
    platform::setSocketBlocking(socket, false);
    auto client = std::make_unique<Client>();
    client->socket = socket;
    if (m_answering)
        sendTo(*client, u"/K " + std::u16string(kNotice));
    m_clients.push_back(std::move(client));
}

bool StageMessenger::readFrom(Client& client)
{
    uint8_t buffer[4096];
    const platform::IoResult got = platform::socketReceive(client.socket, buffer, sizeof buffer);
    if (got.status == platform::IoStatus::WouldBlock)
        return true;
    if (got.status != platform::IoStatus::Done)
        return false;
    client.input.insert(client.input.end(), buffer, buffer + got.count);
    size_t start = 0;
    for (size_t at = 0; at + 1 < client.input.size(); at += 2) {
        if (client.input[at] != 0 || client.input[at + 1] != 0)
            continue;
        std::u16string line;
        for (size_t i = start; i < at; i += 2)
            line.push_back(char16_t(client.input[i] | (client.input[i + 1] << 8)));
        start = at + 2;
        m_received.push_back(line);
        if (m_answering)
            answer(client, line);
    }
    client.input.erase(client.input.begin(), client.input.begin() + std::ptrdiff_t(start));
    return true;
}

void StageMessenger::sendTo(Client& client, std::u16string_view line)
{
    const std::vector<uint8_t> bytes = messengerWireBytes(line);
    client.output.insert(client.output.end(), bytes.begin(), bytes.end());
}

void StageMessenger::answer(Client& client, std::u16string_view line)
{
    const std::u16string_view command = line.substr(0, 2);
    const std::u16string_view argument = line.size() > 3 ? line.substr(3) : std::u16string_view();
    if (command == u"/s") {
        std::u16string list = mailListText();
        if (client.bookNoticePending)
            list += decimal(kBookNoticeId) + u"\r\nFrom: \"0\"<0@0>(0)\r\nSubject: NEW_ADDRESS\r\n";
        sendTo(client, u"/s\r\n" + list);
    } else if (command == u"/b") {
        sendTo(client, u"/b\r\n" + addressListText());
    } else if (command == u"/r") {
        const int32_t id = leadingNumber(argument);
        auto mail = std::find_if(m_mailbox.begin(), m_mailbox.end(), [id](const StageMail& m) { return m.id == id; });
        if (mail == m_mailbox.end())
            sendTo(client, u"/r\r\n" + decimal(id) + u"\r\nDEAD\r\n");
        else
            sendTo(client, u"/r\r\n" + mailBlock(*mail) + u"\r\n" + mail->body + u"\r\n.\r\n");
    } else if (command == u"/x") {
        mailReceived(line.substr(std::min<size_t>(line.size(), 4)));
        sendTo(client, u"/p");
    } else if (command == u"/o") {
        const int32_t id = leadingNumber(argument);
        if (id == kBookNoticeId)
            client.bookNoticePending = false;
        std::erase_if(m_mailbox, [id](const StageMail& m) { return m.id == id; });
    } else if (command == u"/j") {
        const int32_t id = leadingNumber(argument);
        for (StageMail& mail : m_mailbox) {
            if (mail.id == id)
                mail.read = 1;
        }
    } else if (command == u"/v") {
        const std::u16string address = between(argument, u'<', u'>');
        std::erase_if(m_book, [&](const StageAddress& entry) { return entry.address == address; });
    } else if (command == u"/a") {
        // "<account@domain> <address> "name" (description)"
        const size_t second = argument.find(u'<', 1);
        if (second != std::u16string_view::npos) {
            const std::u16string_view entry = argument.substr(second);
            const std::u16string address = between(entry, u'<', u'>');
            for (StageAddress& stored : m_book) {
                if (stored.address == address)
                    stored.description = between(entry, u'(', u')');
            }
        }
    } else if (command == u"/g") {
        sendTo(client, u"/h\r\n<HTML><HEAD><TITLE>" + std::u16string(kPageTitle)
                + u"</TITLE></HEAD><BODY>The stage's pages: <A HREF=\"news.htm\" INT>news</A>.</BODY></HTML>");
    }
}

void StageMessenger::mailReceived(std::u16string_view text)
{
    // The mail is answered by its recipient: a new mail back to the sender.
    const std::u16string to = headerValue(text, u"To: ");
    const std::u16string from = headerValue(text, u"From: ");
    StageMail reply;
    reply.id = m_nextId++;
    reply.toName = between(from, u'"', u'"');
    reply.toAddress = between(from, u'<', u'>');
    reply.fromName = between(to, u'"', u'"');
    reply.fromAddress = between(to, u'<', u'>');
    reply.date = u"Wed Feb  5 12:00:00 2003 GMT";
    reply.subject = u"Re: " + headerValue(text, u"Subject: ");
    reply.body = u"Thank you for your letter.";
    m_mailbox.push_back(reply);
}

} // namespace test
