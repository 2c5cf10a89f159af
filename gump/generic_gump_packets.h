#pragma once
// The two server packets that open a server-described gump: 0xB0 carries
// the layout text and the text lines as they are, 0xDD carries both as zlib
// blocks. Each is read whole and checked before anything is shown: every
// length is bounded by the packet, an unpacked block by kMaxUnpackedBlock,
// and the lines taken by what the block holds. A packet that fails shows
// nothing. Main thread only.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// What one packet describes.
struct GenericGumpContent {
    uint32_t senderSerial = 0;
    uint32_t typeId = 0;
    int32_t x = 0;
    int32_t y = 0;
    std::string layout;
    std::vector<std::u16string> lines;
};

// The most bytes a block of 0xDD may unpack to: far above any real layout,
// and a bound on what a server's size field can make the client allocate.
inline constexpr size_t kMaxUnpackedBlock = 1 << 20;

enum class BlockResult : uint8_t {
    Decoded,
    Failed,
};
// One zlib block: a big-endian unpacked size, then the compressed bytes. A
// block shorter than 4 bytes, or of its size field alone, decodes to
// nothing. A size above kMaxUnpackedBlock or a stream zlib refuses fails;
// `out` holds exactly the bytes zlib produced.
BlockResult decodeGumpBlock(std::span<const uint8_t> block, std::string& out);

// The packets' fields; false when the packet does not hold them.
bool readGenericGumpPacket(const uint8_t* packet, GenericGumpContent& content);
bool readCompressedGumpPacket(const uint8_t* packet, GenericGumpContent& content);

void handleGenericGump(const uint8_t* packet);
void handleCompressedGump(const uint8_t* packet);
// Registers both handlers with the dispatcher (start-up, and tests).
void registerGenericGumpHandlers();
