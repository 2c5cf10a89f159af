#include "messenger/messenger_test_support.h"

#include "messenger/message_store.h"
#include "messenger/messenger_connection.h"
#include "messenger/messenger_protocol.h"
#include "messenger/messenger_windows.h"
#include "text/html_document.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

namespace messenger_test {

namespace {

constexpr uint32_t kLoopbackAddress = 0x7F000001u;
constexpr auto kPatience = std::chrono::seconds(10);

} // namespace

void resetMessenger()
{
    messengerState() = MessengerState();
    clearMessageStore();
    clearAddressBook();
    messengerRequests() = MessengerRequestState();
    gmChatOffer() = GmChatOffer();
    pageHistoryClear();
    forgetMessengerWindowPlaces();
}

Loopback::Loopback(bool answering)
    : peer(answering)
{
    resetMessenger();
    messengerState().socket = std::make_unique<MessengerConnection>();
    messengerSocket()->connectTo(kLoopbackAddress, peer.port());
    pumpUntil([this] { return peer.clientCount() == 1; });
}

Loopback::~Loopback() { resetMessenger(); }

bool Loopback::pumpUntil(const std::function<bool()>& done)
{
    const auto until = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        if (MessengerConnection* socket = messengerSocket())
            socket->poll();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

std::vector<std::u16string> Loopback::takeSent()
{
    const std::string mark = "mark " + std::to_string(++m_marks);
    const std::u16string echo = u"ECHO: " + std::u16string(mark.begin(), mark.end()) + u"\r\n";
    sendMessengerCommandAscii(MessengerCommand::Echo, mark);
    std::vector<std::u16string> lines;
    pumpUntil([&] {
        lines = peer.received();
        return std::find(lines.begin() + std::ptrdiff_t(std::min(m_taken, lines.size())), lines.end(), echo)
            != lines.end();
    });
    const auto end = std::find(lines.begin() + std::ptrdiff_t(std::min(m_taken, lines.size())), lines.end(), echo);
    std::vector<std::u16string> sent(lines.begin() + std::ptrdiff_t(std::min(m_taken, lines.size())), end);
    m_taken = size_t(end - lines.begin()) + 1;
    return sent;
}

RecordingNotices::RecordingNotices()
    : m_previousNotices(installWindowNotices(this))
    , m_previousText(installService<MessengerNotices>(this))
{
}

RecordingNotices::~RecordingNotices()
{
    installService<MessengerNotices>(m_previousText);
    installWindowNotices(m_previousNotices);
}

void RecordingNotices::addSystemMessage(uint16_t, uint16_t, std::string_view text) { messages.emplace_back(text); }

void RecordingNotices::addSystemText(uint16_t hue, uint16_t, std::u16string_view text)
{
    texts.emplace_back(text);
    textHues.push_back(hue);
}

} // namespace messenger_test
