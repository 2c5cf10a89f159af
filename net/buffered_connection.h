#pragma once
// A connection to a login or game server: the 4-byte seed sent on connect,
// the receive side (digest XOR, Huffman decoding, framing by the packet table,
// the pause hold-back) and the send side (a 64 KB queue, the login stream
// cipher at queue time, the game stream cipher at flush).
//
// Main thread only; no locks. The object is large (about 700 KB of buffers),
// so it lives on the heap. A packet handed to dispatchPacket lies in the
// connection's buffer and is valid only during the call; the length word of a
// variable packet is in network order, read it with packetLength.

#include "net/game_stream_cipher.h"
#include "net/login_cipher.h"
#include "net/tcp_socket.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class PacketBuffer;

class BufferedConnection : public MeteredSocket {
public:
    static constexpr size_t kRawBufferSize = 524288;
    static constexpr size_t kDecodedBufferSize = 65536;
    // Blocks decoded in one go at most.
    static constexpr size_t kMaxDecodedBlocks = 16384;
    static constexpr size_t kSendBufferSize = 65536;
    // How long a connect may wait for the server to answer.
    static constexpr uint32_t kConnectTimeoutMs = 15000;

    BufferedConnection();

    // Clears every flag, buffer and cipher state and forgets the handle.
    virtual void resetState();
    void markClosed() final { resetState(); }

    // Called after the connection was lost (closed on an error). `reason` is
    // empty for socket errors.
    virtual void onConnectionLost(const char16_t* reason);
    // An exceptional condition on the socket: close, report the loss, false.
    virtual bool onException();
    // The read step: reads until the socket would block, then frames and
    // delivers every complete packet. False when the connection was lost.
    virtual bool onReadable();
    // One flush; true while bytes remain unsent.
    virtual bool onWritable();
    virtual bool hasPendingOutput() const { return m_sendFill > 0; }
    // Handles one complete packet.
    virtual void dispatchPacket(const uint8_t* packet);

    // Connects (closing an open connection first) and sends the seed. Address
    // and port in host order. False when no connection was made.
    bool connect(uint32_t address, uint16_t port);

    // Copies `packet` into the send queue, through the login stream cipher on
    // a connection that is not compressed. False when the packet was not
    // queued: a failed build, or no room left in the 64 KB queue (the packet
    // is still counted in the send statistics).
    bool queuePacket(const PacketBuffer& packet);
    // One send attempt; true while unsent bytes remain. A socket that cannot
    // take more now sends nothing and keeps the bytes for the next pass.
    bool flush();
    // Flushes until the queue is empty or the connection is lost (for a
    // blocking socket).
    void flushAll();

    // The read step after the bytes arrived: appends `count` received bytes
    // (XORed with the digest on a compressed connection), frames and delivers
    // packets and compacts the buffer. Returns how many bytes were taken (less
    // than `count` when the buffer is full); onReadable is this after recv.
    size_t receiveBytes(const uint8_t* data, size_t count);

    // The dispatcher calls this when the server pauses delivery (0x33 with a
    // non-zero byte): following packets are held until it resumes.
    void pauseDelivery() { m_paused = true; }
    // Counts one received packet in the receive statistics.
    void countReceivedPacket(const uint8_t* packet, uint32_t length)
    {
        m_receiveIdStats.add(packet[0], length);
        m_receiveSizeStats.add(length);
    }

    bool isSecondary() const { return m_secondary; }
    void setSecondary(bool on) { m_secondary = on; }
    bool isConfirmed() const { return m_confirmed; }
    void setConfirmed(bool on) { m_confirmed = on; }
    bool isGameServer() const { return m_gameServer; }
    void setGameServer(bool on) { m_gameServer = on; }
    bool isCompressed() const { return m_compressed; }
    void setCompressed(bool on) { m_compressed = on; }
    bool isCipherOn() const { return m_cipherOn; }
    bool isPaused() const { return m_paused; }
    int32_t heldCount() const { return int32_t(m_held.size()); }
    uint32_t sendFill() const { return m_sendFill; }
    // The bytes queued and not yet sent (before the game cipher, which is
    // applied as they go out).
    const uint8_t* queuedBytes() const { return m_send; }
    uint32_t rawFill() const { return m_rawFill - m_rawStart; }
    const GameStreamCipher& gameCipher() const { return m_gameCipher; }
    const LoginStreamCipher& loginKeys() const { return m_loginKeys; }

private:
    enum class Split { Continue, Stop, Lost };

    void clearBuffers();
    void loseConnection();
    void takeReceived(uint8_t* data, size_t count);
    // Frames and delivers what arrived, then compacts the raw buffer once.
    // False when the connection was lost.
    bool processReceived();
    bool splitPackets();
    Split splitCompressedOnce();
    bool canSplitBlocks() const;
    Split splitCompressedBlocks();
    Split splitPlainOnce();
    Split makeRoomBehindHeld();
    void deliverPacket(uint8_t* packet, uint32_t length);
    void holdPacket(uint8_t* packet, uint32_t length);
    void releaseHeld();
    void cutOutActive(uint32_t offset, uint32_t count);
    uint8_t* activeBase();
    void compactRaw();

    bool m_secondary { false };
    bool m_confirmed { false };
    uint32_t m_sendCipherMark { 0 };
    bool m_gameServer { false };
    bool m_compressed { false };
    uint32_t m_decodedLength { 0 };
    uint32_t m_rawBitPosition { 0 }; // bits consumed from the start of m_raw (compressed stream)
    uint32_t m_rawStart { 0 }; // bytes consumed from the start of m_raw (plain stream)
    uint32_t m_rawFill { 0 };
    uint32_t m_sendFill { 0 };
    LoginStreamCipher m_loginKeys;
    bool m_cipherOn { false };
    bool m_paused { false };
    uint32_t m_heldOffset { 0 };
    // Offsets of held packets from the start of the active buffer, in arrival order.
    std::vector<uint32_t> m_held;
    GameStreamCipher m_gameCipher;
    uint8_t m_digest[GameStreamCipher::kDigestSize] {};
    uint32_t m_digestCounter { 0 };
    // Counts resets, so that framing notices a close made by a handler.
    uint32_t m_resetCount { 0 };

    uint8_t m_decoded[kDecodedBufferSize];
    uint32_t m_blockEnds[kMaxDecodedBlocks];
    uint8_t m_raw[kRawBufferSize];
    uint8_t m_send[kSendBufferSize];
};

// The seed of the next connect, in host order; 0 until the first connect that
// needs one takes this host's address. The relay packet replaces it.
uint32_t connectionSeed();
void setConnectionSeed(uint32_t seed);

// In edit-server mode connections send no seed and use no cipher.
bool editServerMode();
void setEditServerMode(bool on);
