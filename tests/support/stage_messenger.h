#pragma once
// The messenger service of the stage: a peer on loopback that speaks the
// messenger's line protocol (UTF-16LE lines, each ended by a 16-bit NUL) to
// the client, for the end-to-end tests and ./run.sh. Its mailbox holds two
// mails for the character Aldric, its address book three names (one of them
// the fixed support address); every mail the player sends is answered by a
// mail back from its recipient, announced with "/p"; each connection opens
// with a notice ("/K"), and its first mail lists carry the notice that the
// address book changed (so the client asks for the book) until the client
// deletes it. It also records every line it received.
//
// It runs on a thread of its own from construction to destruction; every
// member may be called from any thread.

#include "platform/sockets.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test {

struct StageMail {
    int32_t id = 0;
    std::u16string toName;
    std::u16string toAddress;
    std::u16string fromName;
    std::u16string fromAddress;
    std::u16string date;
    std::u16string subject;
    int32_t read = 0;
    std::u16string body;
};

struct StageAddress {
    std::u16string address;
    std::u16string name;
    std::u16string description;
};

class StageMessenger {
public:
    static constexpr char16_t kNotice[] = u"Welcome to the messenger of the stage.";
    static constexpr char16_t kPageTitle[] = u"Stage Pages";
    // The id of the address-book notice in the mail list.
    static constexpr int32_t kBookNoticeId = 100;

    // With `answering` off it only records what it receives (and sends what a
    // test gives it).
    explicit StageMessenger(bool answering = true);
    ~StageMessenger();
    StageMessenger(const StageMessenger&) = delete;
    StageMessenger& operator=(const StageMessenger&) = delete;

    bool isListening() const { return m_port != 0; }
    uint16_t port() const { return m_port; }
    size_t clientCount() const;

    // Every line received so far, in order, without its terminator.
    std::vector<std::u16string> received() const;
    // The received lines that start with `prefix`.
    std::vector<std::u16string> receivedStartingWith(std::u16string_view prefix) const;
    // Sends one line (or any bytes, for bad-input runs) to every client.
    void send(std::u16string_view line);
    void sendBytes(const std::vector<uint8_t>& bytes);
    // Closes every client connection (the listener stays).
    void closeClients();

    std::vector<StageMail> mailbox() const;
    std::vector<StageAddress> addressBook() const;

    // The stage's texts as the client receives them.
    std::u16string mailListText() const;
    std::u16string addressListText() const;
    static std::u16string mailBlock(const StageMail& mail);

private:
    struct Client;

    void run();
    void accept();
    bool readFrom(Client& client);
    void answer(Client& client, std::u16string_view line);
    void sendTo(Client& client, std::u16string_view line);
    void mailReceived(std::u16string_view text);

    bool m_answering;
    platform::SocketHandle m_listener = platform::kNoSocket;
    uint16_t m_port = 0;
    mutable std::mutex m_lock;
    std::vector<std::unique_ptr<Client>> m_clients;
    std::vector<std::u16string> m_received;
    std::vector<StageMail> m_mailbox;
    std::vector<StageAddress> m_book;
    int32_t m_nextId = 103;
    std::atomic<bool> m_stop { false };
    std::thread m_thread;
};

// A line as the wire carries it: UTF-16LE units and the 16-bit NUL.
std::vector<uint8_t> messengerWireBytes(std::u16string_view line);

} // namespace test
