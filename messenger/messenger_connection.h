#pragma once
// The messenger connection: a second TCP connection beside the game
// connection that carries the messenger's line protocol
// (messenger/messenger_protocol.h). The stream is UTF-16LE text in which
// every message ends with one 16-bit NUL. The connection keeps a fixed
// receive buffer of unsplit bytes and a fixed send queue; the network pump
// polls it once a pass (one readiness check of at most 1 ms, one receive,
// a flush when writable, then the complete messages are handed on).
//
// There is one connection at a time, owned by the process-wide messenger
// state below. It is opened only by the reconnect rule: at most one attempt
// a minute, and only while the game connection is up and the messenger
// account number is known. Main thread only; no locks.

#include "net/tcp_socket.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// What the message list shows about the mail list.
enum class MessengerStatus : int32_t {
    NotAvailable = 0,
    Waiting = 1,
    ListReceived = 2,
    Processing = 3,
};

class MessengerConnection final : public MeteredSocket {
public:
    static constexpr int32_t kReceiveBufferSize = 524288;
    static constexpr int32_t kSendQueueSize = 65536;
    // The number the reconnect rule connects with.
    static constexpr uint16_t kMessengerPort = 5300;

    // Each complete message (its text without the terminator) goes to
    // `handler`; by default the protocol's line handler.
    using LineHandler = std::function<void(std::u16string_view)>;
    explicit MessengerConnection(LineHandler handler = {});

    // The per-pass step of the network pump.
    void poll();
    // Sends what the socket takes of the queue; true while bytes remain.
    bool flushSendQueue();
    // Hands every complete message in the receive buffer on and removes it.
    void splitMessages();
    // Appends the text (up to a NUL it may hold) and a 16-bit NUL to the send
    // queue; the bytes queued, or 0 when the whole message does not fit (it
    // is dropped). Never sends: the next writable pass does.
    int32_t queueMessage(std::u16string_view text);
    // Starts connecting to the messenger service (messengerEndpoint);
    // `port` is the port used when the settings name none. Bytes of the
    // last connection that never made a whole message are dropped: they
    // cannot belong to the first message of a new stream. True while the
    // connection is under way or made.
    bool connect(uint16_t port);
    bool connectTo(uint32_t address, uint16_t port);

    int32_t receivedCount() const { return m_received; }
    int32_t queuedCount() const { return m_queued; }

private:
    // Closes the socket and runs the reconnect rule.
    void fail();

    LineHandler m_handler;
    std::vector<uint8_t> m_receive;
    std::vector<uint8_t> m_send;
    int32_t m_received = 0;
    int32_t m_queued = 0;
};

// The process-wide messenger values.
struct MessengerState {
    std::unique_ptr<MessengerConnection> socket;
    // The player's account number on the messenger service; -1 while
    // unknown (the reconnect rule waits for it).
    int32_t accountId = -1;
    // The calendar second of the last connection attempt.
    int64_t lastAttempt = 0;
    MessengerStatus status = MessengerStatus::NotAvailable;
};
MessengerState& messengerState();
// The connection, or null.
MessengerConnection* messengerSocket();
// True when the connection exists and its socket is open.
bool isMessengerOpen();

// The reconnect rule: marks the mail list not available, then, when the game
// connection is open, the account number known and more than 60 seconds
// have passed since the last attempt, makes the connection when there is
// none and starts connecting it.
void reconnectMessenger();

// Start-up and shutdown: a new connection object (an old one is deleted
// first), and the deletion at the end.
void replaceMessengerSocket();
void deleteMessengerSocket();

// Where the messenger service is: the "UserCentral" settings address when
// one is configured (its port, or `port` when it gives none), else the
// login server the login road chose, at `port`. False when neither is known.
bool messengerEndpoint(uint16_t port, uint32_t& address, uint16_t& targetPort);
