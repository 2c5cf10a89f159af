// The receive side of a connection: read, digest XOR, Huffman decoding,
// framing by the packet table and the pause hold-back.
//
// Consumed bytes are not moved out of the raw buffer packet by packet: a read
// position advances instead, and the buffer is compacted once at the end of
// each read step. Moving the rest of a 512 KB read after every small packet
// would make one large read quadratic.

#include "net/buffered_connection.h"
#include "net/huffman_decoder.h"
#include "net/packet_dispatcher.h"
#include "net/packet_table.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t kPausePacketLength = 2;
// Below this many unread input bytes, blocks are decoded one at a time.
constexpr uint32_t kMinBlocksInput = 32;

// Each block holds exactly one whole packet; anything else is a broken
// stream, which would stall for ever. `size` is at least 1. Without branches,
// since fixed and variable ids come in no order a predictor could learn.
bool isOnePacket(const uint8_t* block, uint32_t size)
{
    uint32_t word = packetLengthWords[block[0]];
    // A variable packet's own length word when the block holds one, else 0,
    // which no block size equals; the bytes read stay inside the block.
    uint32_t holds = uint32_t(size >= 3);
    uint32_t carried = (uint32_t(block[holds]) << 8 | block[2 * holds]) & (0u - holds);
    // The carried length for a variable id, the word otherwise (0 for an
    // unknown id), chosen by a mask.
    uint32_t variable = 0u - uint32_t(word == kVariableLength);
    uint32_t length = word ^ ((word ^ carried) & variable);
    return length == size;
}

// The index of the first block from `i` on that does not end at `from`
// (`count` when there is none): the end of a run of empty blocks.
uint32_t skipEmptyBlocks(const uint32_t* ends, uint32_t i, uint32_t count, uint32_t from)
{
    typedef uint32_t Four __attribute__((vector_size(16)));
    Four same = { from, from, from, from };
    for (; i + 4 <= count; i += 4) {
        Four four;
        std::memcpy(&four, ends + i, sizeof four);
        Four equal = four == same;
        uint64_t halves[2];
        std::memcpy(halves, &equal, sizeof halves);
        if ((halves[0] & halves[1]) != ~uint64_t(0))
            break;
    }
    while (i < count && ends[i] == from)
        ++i;
    return i;
}

} // namespace

bool BufferedConnection::onReadable()
{
    if (!isOpen())
        return false;
    bool peerClosed = false;
    while (m_rawFill < kRawBufferSize) {
        platform::IoResult result = platform::socketReceive(m_handle, m_raw + m_rawFill, kRawBufferSize - m_rawFill);
        if (result.status == platform::IoStatus::WouldBlock)
            break;
        if (result.status == platform::IoStatus::Closed) {
            peerClosed = true;
            break;
        }
        if (result.status == platform::IoStatus::Error) {
            loseConnection();
            return false;
        }
        takeReceived(m_raw + m_rawFill, size_t(result.count));
    }
    if (!processReceived() || !isOpen())
        return false;
    // A peer that closed its side sends nothing more, and its socket stays
    // readable, so the pump would never wait again: once the packets that
    // came before the close are delivered, the connection is lost.
    if (peerClosed) {
        loseConnection();
        return false;
    }
    return true;
}

size_t BufferedConnection::receiveBytes(const uint8_t* data, size_t count)
{
    size_t taken = std::min(count, kRawBufferSize - m_rawFill);
    if (taken == 0)
        return 0;
    std::memcpy(m_raw + m_rawFill, data, taken);
    takeReceived(m_raw + m_rawFill, taken);
    processReceived();
    return taken;
}

bool BufferedConnection::processReceived()
{
    uint32_t resets = m_resetCount;
    if (m_rawFill > m_rawStart && !splitPackets())
        return false;
    // A handler that closed the connection has already emptied the buffer.
    if (m_resetCount == resets)
        compactRaw();
    return true;
}

void BufferedConnection::takeReceived(uint8_t* data, size_t count)
{
    if (m_cipherOn && m_compressed) {
        // The digest repeats every 16 bytes: turned to this read's phase, it
        // is XORed in whole 16-byte steps. The counter's wrap at 2^32 keeps
        // the phase, 2^32 being a multiple of 16.
        static_assert(GameStreamCipher::kDigestSize == 16);
        typedef uint8_t Sixteen __attribute__((vector_size(16)));
        uint8_t turned[16];
        for (uint32_t i = 0; i < 16; ++i)
            turned[i] = m_digest[(m_digestCounter + i) % 16];
        Sixteen key;
        std::memcpy(&key, turned, sizeof key);
        size_t i = 0;
        for (; i + 16 <= count; i += 16) {
            Sixteen bytes;
            std::memcpy(&bytes, data + i, sizeof bytes);
            bytes ^= key;
            std::memcpy(data + i, &bytes, sizeof bytes);
        }
        for (; i < count; ++i)
            data[i] ^= turned[i % 16];
        m_digestCounter += uint32_t(count);
    }
    m_rawFill += uint32_t(count);
    countReceived(uint32_t(count));
}

uint8_t* BufferedConnection::activeBase() { return m_compressed ? m_decoded : m_raw + m_rawStart; }

bool BufferedConnection::splitPackets()
{
    uint32_t resets = m_resetCount;
    for (;;) {
        Split step;
        if (!m_compressed)
            step = splitPlainOnce();
        else if (canSplitBlocks())
            step = splitCompressedBlocks();
        else
            step = splitCompressedOnce();
        if (step == Split::Lost)
            return false;
        if (step == Split::Stop || m_resetCount != resets)
            return true;
    }
}

BufferedConnection::Split BufferedConnection::splitCompressedOnce()
{
    HuffmanResult decoded
        = huffmanDecodeOne(m_raw, m_rawFill, m_rawBitPosition, m_decoded, kDecodedBufferSize, m_decodedLength);
    if (decoded == HuffmanResult::NeedMoreInput)
        return Split::Stop;
    // A packet (or the held ones) longer than the decoded buffer: the stream
    // can never make progress again, so the connection is given up.
    if (decoded == HuffmanResult::OutputFull) {
        loseConnection();
        return Split::Lost;
    }
    // The end code was met: everything decoded so far ends here.
    uint32_t held = m_heldOffset;
    uint32_t end = m_decodedLength;
    if (end == held)
        return Split::Continue; // an empty block carries nothing

    uint8_t* packet = m_decoded + held;
    uint32_t length = end - held;
    if (!isOnePacket(packet, length)) {
        loseConnection();
        return Split::Lost;
    }

    uint32_t resets = m_resetCount;
    bool paused = m_paused;
    deliverPacket(packet, length);
    if (m_resetCount != resets)
        return Split::Stop;
    if (!paused) {
        std::memset(m_decoded, 0, end);
        m_decodedLength = 0;
    }
    return Split::Continue;
}

// Nothing is held or half decoded, and enough input waits for decoding many
// blocks in one go to pay.
bool BufferedConnection::canSplitBlocks() const
{
    return !m_paused && m_decodedLength == 0 && m_heldOffset == 0
        && uint64_t(m_rawFill) * 8 >= uint64_t(m_rawBitPosition) + kMinBlocksInput * 8;
}

// Decodes every whole block that arrived into the decoded buffer at once, then
// delivers them in order. A handler that pauses delivery, closes the
// connection or switches the stream form ends the run: the blocks after its
// packet are read again the usual way.
BufferedConnection::Split BufferedConnection::splitCompressedBlocks()
{
    HuffmanBlocks blocks = huffmanDecodeBlocks(
        m_raw, m_rawFill, m_rawBitPosition, m_decoded, kDecodedBufferSize, m_blockEnds, kMaxDecodedBlocks);
    if (blocks.count == 0) {
        // The first block is cut off or needs more room than a share: the
        // usual way decides.
        std::memset(m_decoded, 0, blocks.written);
        return splitCompressedOnce();
    }
    uint32_t resets = m_resetCount;
    uint32_t from = 0;
    for (uint32_t i = 0; i < blocks.count; ++i) {
        uint32_t end = m_blockEnds[i];
        if (end == from) {
            // An empty block carries nothing; a run of them is passed over
            // four at a time.
            i = skipEmptyBlocks(m_blockEnds, i, blocks.count, from) - 1;
            continue;
        }
        uint8_t* packet = m_decoded + from;
        if (!isOnePacket(packet, end - from)) {
            loseConnection();
            return Split::Lost;
        }
        dispatchPacket(packet);
        if (m_resetCount != resets)
            return Split::Stop;
        if (m_paused || !m_compressed) {
            uint32_t position = m_rawBitPosition;
            uint32_t start = 0;
            for (uint32_t k = 0; k <= i; ++k) {
                position = huffmanBlockEnd(position, m_decoded + start, m_blockEnds[k] - start);
                start = m_blockEnds[k];
            }
            m_rawBitPosition = position;
            std::memset(m_decoded, 0, blocks.written);
            return Split::Continue;
        }
        from = end;
    }
    m_rawBitPosition = blocks.bitPosition;
    std::memset(m_decoded, 0, blocks.written);
    return Split::Continue;
}

BufferedConnection::Split BufferedConnection::splitPlainOnce()
{
    uint32_t held = m_heldOffset;
    uint32_t available = m_rawFill - m_rawStart;
    if (available < held + 3 && held > 0 && m_rawFill == kRawBufferSize)
        return makeRoomBehindHeld();
    if (available < held + 1)
        return Split::Stop;
    uint8_t* packet = m_raw + m_rawStart + held;
    uint8_t id = packet[0];
    uint32_t length;
    if (packetIsVariable(id)) {
        if (available < held + 3)
            return Split::Stop;
        // Garbage lengths below the header still advance the stream.
        length = std::max<uint32_t>(packetLength(packet), 3);
    } else if (packetIsKnown(id)) {
        length = packetFixedLength(id);
    } else {
        length = 1; // an unknown id goes to the dispatcher alone, which ignores it
    }

    if (m_rawStart + held + length > kRawBufferSize)
        return makeRoomBehindHeld();
    if (available < held + length)
        return Split::Stop;

    uint32_t resets = m_resetCount;
    bool paused = m_paused;
    deliverPacket(packet, length);
    if (m_resetCount != resets)
        return Split::Stop;
    if (!paused)
        m_rawStart += length;
    return Split::Continue;
}

// The next packet (or its header) cannot fit behind what is held. Packets
// already dispatched in this read still occupy the front of the buffer: moving
// the rest down may be room enough, and the pause goes on. Otherwise deliver
// the held packets, end the pause and move the rest to the front.
BufferedConnection::Split BufferedConnection::makeRoomBehindHeld()
{
    if (m_rawStart > 0) {
        compactRaw();
        return Split::Continue;
    }
    if (m_heldOffset > 0) {
        uint32_t resets = m_resetCount;
        m_paused = false;
        releaseHeld();
        if (m_resetCount != resets)
            return Split::Stop;
    }
    compactRaw();
    return Split::Continue;
}

void BufferedConnection::deliverPacket(uint8_t* packet, uint32_t length)
{
    if (!m_paused) {
        dispatchPacket(packet);
        return;
    }
    if (packet[0] != kPausePacketId) {
        holdPacket(packet, length);
        return;
    }
    uint32_t offset = uint32_t(packet - activeBase());
    if (packet[1] == 0) {
        // Resume: this packet is dropped together with the held ones.
        m_heldOffset += kPausePacketLength;
        m_paused = false;
        releaseHeld();
        return;
    }
    // A further pause while paused is removed without being dispatched.
    cutOutActive(offset, kPausePacketLength);
}

void BufferedConnection::holdPacket(uint8_t* packet, uint32_t length)
{
    m_held.push_back(uint32_t(packet - activeBase()));
    m_paused = true;
    m_heldOffset += length;
}

void BufferedConnection::releaseHeld()
{
    uint32_t resets = m_resetCount;
    for (size_t i = 0; i < m_held.size(); ++i) {
        dispatchPacket(activeBase() + m_held[i]);
        if (m_resetCount != resets)
            return;
    }
    m_held.clear();
    uint32_t drop = m_heldOffset;
    m_heldOffset = 0;
    if (m_compressed) {
        drop = std::min(drop, m_decodedLength);
        std::memmove(m_decoded, m_decoded + drop, m_decodedLength - drop);
        std::memset(m_decoded + m_decodedLength - drop, 0, drop);
        m_decodedLength -= drop;
    } else {
        m_rawStart += std::min(drop, m_rawFill - m_rawStart);
    }
}

void BufferedConnection::cutOutActive(uint32_t offset, uint32_t count)
{
    uint8_t* base = activeBase();
    uint32_t& length = m_compressed ? m_decodedLength : m_rawFill;
    uint32_t activeLength = m_compressed ? m_decodedLength : m_rawFill - m_rawStart;
    std::memmove(base + offset, base + offset + count, activeLength - offset - count);
    std::memset(base + activeLength - count, 0, count);
    length -= count;
}

void BufferedConnection::compactRaw()
{
    // Only one of the two read positions is in use, depending on the stream form.
    uint32_t drop = m_rawStart + m_rawBitPosition / 8;
    if (drop == 0)
        return;
    std::memmove(m_raw, m_raw + drop, m_rawFill - drop);
    std::memset(m_raw + m_rawFill - drop, 0, drop);
    m_rawFill -= drop;
    m_rawBitPosition %= 8;
    m_rawStart = 0;
}
