// Many blocks per call. One chain of lookups waits on each lookup's table
// read before it knows where the next code starts, which leaves most of the
// processor idle; so several stretches of the input are decoded side by side,
// each by its own chain. A stretch after the first starts at a byte that may
// lie inside a code, so its first blocks may be garbage: the chain before it
// goes on, code by code, until one of its block ends is also a block start of
// the next stretch. From that position on both decode alike (decoding depends
// on nothing but the position), and a prefix code usually falls into step
// within a few codes. When they never meet, the blocks past the last one the
// earlier chain reached are left for the next call.

#include "net/huffman_decoder.h"

#include "net/huffman_decode_table.h"

#include <algorithm>
#include <cstring>

using namespace huffman_tables;

namespace {

constexpr int kMaxChains = 4;
// Below this many input bytes per chain, fewer chains are used.
constexpr size_t kMinChainBytes = 256;
// A stretch is sized so that its output fits its share of the output room at
// up to this many output bytes per input byte (most streams give one or two).
constexpr size_t kOutputPerInputByte = 2;
constexpr int kLookupsPerGroup = 3;
// Input bytes a group may take: its refill moves by at most seven.
constexpr int kGroupInput = 7;
constexpr uint32_t kGroupOutput = kLookupsPerGroup * kMaxBytesPerLookup;
// The smallest share of the output room and of the block ends worth a chain.
constexpr uint32_t kMinChainRoom = 256;
constexpr uint32_t kMinChainBlocks = 32;

// The state of one chain. `bits` holds the last 60 bits before `in` from bit
// 4 up, most significant first, and zeros in bits 0-3; the next `shift + 8`
// of them are unread, so the window of the next lookup is
// `(bits >> shift) & kLookupMask`. The unread bits always end on a byte
// boundary (`in`), so dropping the padding after an end code is a mask on
// `shift`. A group is three lookups and a refill: a refill moves `in` on by
// whole bytes and reads the eight bytes before it again, which brings the
// unread bits to 53-60; a lookup takes at most 12 bits and 7 of padding, so
// three lookups always find 12 bits.
struct Chain {
    uint64_t bits;
    int64_t shift;
    const uint8_t* in;
    uint32_t out; // output offset
    uint32_t ends; // next block end index
};

struct ChainLimits {
    const uint8_t* inStop; // a group needs kGroupInput bytes from `in` on
    uint32_t outStop; // a group starts only at or below these
    uint32_t endsStop;
};

// The hot state of a chain, held in registers while groups run.
struct Lane {
    uint64_t bits;
    int64_t shift;
    const uint8_t* in;
    uint32_t out;
    uint32_t* ends;
};

__attribute__((always_inline)) inline void laneLookup(Lane& lane, const DecodeEntry* entries, uint8_t* out)
{
    const DecodeEntry& entry = entries[(lane.bits >> lane.shift) & kLookupMask];
    std::memcpy(out + lane.out, entry.bytes, kMaxBytesPerLookup);
    lane.out += entry.count;
    lane.shift = (lane.shift - entry.bitCount) & entry.paddingMask;
    // Stored on every lookup and kept only after an end code: no branch.
    *lane.ends = lane.out;
    lane.ends += entry.endsPacket;
}

__attribute__((always_inline)) inline void laneRefill(Lane& lane)
{
    int64_t bytes = (52 - lane.shift) >> 3;
    lane.in += bytes;
    lane.shift += 8 * bytes;
    uint64_t word;
    std::memcpy(&word, lane.in - 8, 8);
    lane.bits = __builtin_bswap64(word) << 4;
}

// Groups that a chain can run one after the other within its limits: each
// takes at most kGroupInput input bytes, kGroupOutput output bytes and
// kLookupsPerGroup block ends.
inline size_t safeGroups(const Lane& lane, const ChainLimits& limits, const uint32_t* blockEnds)
{
    ptrdiff_t input = limits.inStop - lane.in - kGroupInput;
    int64_t room = int64_t(limits.outStop) - int64_t(lane.out);
    ptrdiff_t ends = (blockEnds + limits.endsStop) - lane.ends;
    if (input < 0 || room < 0 || ends < 0)
        return 0;
    return 1
        + std::min({ size_t(input) / kGroupInput, size_t(room) / kGroupOutput, size_t(ends) / kLookupsPerGroup });
}

// Runs the chains' groups interleaved, lookup by lookup, so that their table
// reads overlap, while every chain still can; between runs, the number of
// groups that are sure to fit is worked out again.
template <int Count>
void runLanes(Lane* lanes, const ChainLimits* limits, uint8_t* out, const uint32_t* blockEnds)
{
    const DecodeEntry* entries = tables().entries;
    Lane lane[Count];
#pragma GCC unroll 4
    for (int j = 0; j < Count; ++j)
        lane[j] = lanes[j];
    for (;;) {
        size_t groups = safeGroups(lane[0], limits[0], blockEnds);
#pragma GCC unroll 4
        for (int j = 1; j < Count; ++j)
            groups = std::min(groups, safeGroups(lane[j], limits[j], blockEnds));
        if (groups == 0)
            break;
        do {
#pragma GCC unroll 4
            for (int i = 0; i < kLookupsPerGroup; ++i) {
#pragma GCC unroll 4
                for (int j = 0; j < Count; ++j)
                    laneLookup(lane[j], entries, out);
            }
#pragma GCC unroll 4
            for (int j = 0; j < Count; ++j)
                laneRefill(lane[j]);
        } while (--groups);
    }
#pragma GCC unroll 4
    for (int j = 0; j < Count; ++j)
        lanes[j] = lane[j];
}

// Runs the chains side by side while all of them can, then each one alone to
// its own limit.
void runChains(int count, Chain* chains, const ChainLimits* limits, uint8_t* out, uint32_t* blockEnds)
{
    Lane lanes[kMaxChains];
    for (int j = 0; j < count; ++j)
        lanes[j] = { chains[j].bits, chains[j].shift, chains[j].in, chains[j].out, blockEnds + chains[j].ends };
    switch (count) {
    case 4:
        runLanes<4>(lanes, limits, out, blockEnds);
        break;
    case 3:
        runLanes<3>(lanes, limits, out, blockEnds);
        break;
    case 2:
        runLanes<2>(lanes, limits, out, blockEnds);
        break;
    default:
        break;
    }
    for (int j = 0; j < count; ++j) {
        runLanes<1>(lanes + j, limits + j, out, blockEnds);
        chains[j] = { lanes[j].bits, lanes[j].shift, lanes[j].in, lanes[j].out, uint32_t(lanes[j].ends - blockEnds) };
    }
}

// A chain at `position`, its unread bits read in. False when the input ends
// too soon for that: then no group may run, and only the position is exact.
bool startChain(Chain& chain, const uint8_t* raw, size_t rawLength, uint32_t position, uint32_t out, uint32_t ends)
{
    // The unread bits end at the byte boundary 53-60 bits on.
    size_t end = (size_t(position) + 60) / 8;
    chain.out = out;
    chain.ends = ends;
    if (end > rawLength) {
        chain.bits = 0;
        chain.in = raw + position / 8;
        chain.shift = -8 - int64_t(position % 8);
        return false;
    }
    // Near the start of the input there may be fewer than eight bytes before
    // `end`; the first refill comes after three lookups, by when there are.
    uint64_t word = 0;
    for (size_t at = end >= 8 ? end - 8 : 0; at < end; ++at)
        word = word << 8 | raw[at];
    chain.bits = word << 4;
    chain.in = raw + end;
    chain.shift = int64_t(end * 8 - position) - 8;
    return true;
}

uint32_t chainPosition(const Chain& chain, const uint8_t* raw)
{
    return uint32_t(chain.in - raw) * 8 - uint32_t(chain.shift + 8);
}

uint32_t codeBits(const uint8_t* bytes, size_t count)
{
    const uint8_t* byteBits = tables().byteBits;
    uint32_t total = 0;
    for (size_t i = 0; i < count; ++i)
        total += byteBits[bytes[i]];
    return total;
}

// Adds `shift` to `count` block ends, four at a time.
void shiftBlockEnds(uint32_t* ends, uint32_t count, uint32_t shift)
{
    typedef uint32_t Four __attribute__((vector_size(16)));
    Four add = { shift, shift, shift, shift };
    uint32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        Four four;
        std::memcpy(&four, ends + i, sizeof four);
        four += add;
        std::memcpy(ends + i, &four, sizeof four);
    }
    for (; i < count; ++i)
        ends[i] += shift;
}

// One stretch of the input and its share of the output and of the block ends.
struct Stretch {
    uint32_t startBit;
    size_t stopByte; // the fast groups end before they could pass this byte
    uint32_t outStart;
    uint32_t outEnd;
    uint32_t endsStart;
    uint32_t endsEnd;
    bool stopsAtInputEnd;
    bool reachedStop; // the fast groups ran to the input stop, not to a full share
    uint32_t position; // exact bit position of the chain after its fast groups
    Chain chain;
};

enum class CodeStep { BlockEnd, NeedMoreInput, Full };

// Decodes code by code from the stretch's position up to and including the
// next end code, within the stretch's shares.
CodeStep decodeToBlockEnd(const uint8_t* raw, size_t rawLength, Stretch& stretch, uint8_t* out, uint32_t* blockEnds)
{
    if (uint64_t(stretch.position) >= uint64_t(rawLength) * 8)
        return CodeStep::NeedMoreInput;
    const Tables& table = tables();
    BitWindow window(raw, rawLength, stretch.position);
    for (;;) {
        const SymbolEntry& code = window.peekSymbol(table);
        if (code.bitCount > window.available())
            return CodeStep::NeedMoreInput;
        if (code.symbol == kHuffmanEndSymbol) {
            if (stretch.chain.ends >= stretch.endsEnd)
                return CodeStep::Full;
            stretch.position = nextByteBoundary(stretch.position + code.bitCount);
            blockEnds[stretch.chain.ends++] = stretch.chain.out;
            return CodeStep::BlockEnd;
        }
        if (stretch.chain.out >= stretch.outEnd)
            return CodeStep::Full;
        out[stretch.chain.out++] = uint8_t(code.symbol);
        window.consume(code.bitCount);
        stretch.position += code.bitCount;
    }
}

// Goes on decoding `current` block by block until one of its block ends is a
// block start of `next` (true), or it cannot find one (false). `nextFirstEnd`
// and `nextFromOut` say where the blocks of `next` that count begin.
bool meetNextStretch(const uint8_t* raw, size_t rawLength, Stretch& current, const Stretch& next, uint8_t* out,
    uint32_t* blockEnds, uint32_t& nextFirstEnd, uint32_t& nextFromOut)
{
    uint32_t candidate = next.startBit; // where block `index` of `next` starts
    uint32_t candidateOut = next.outStart;
    uint32_t index = 0;
    uint32_t nextBlocks = next.chain.ends - next.endsStart;
    for (;;) {
        if (decodeToBlockEnd(raw, rawLength, current, out, blockEnds) != CodeStep::BlockEnd)
            return false;
        while (index < nextBlocks && candidate < current.position) {
            uint32_t blockEnd = blockEnds[next.endsStart + index];
            candidate = huffmanBlockEnd(candidate, out + candidateOut, blockEnd - candidateOut);
            candidateOut = blockEnd;
            ++index;
        }
        if (candidate == current.position) {
            nextFirstEnd = next.endsStart + index;
            nextFromOut = candidateOut;
            return true;
        }
        if (candidate < current.position)
            return false; // every block start that `next` knows lies behind
    }
}

// Splits the input into stretches and the output room and the block ends
// into shares, one per chain. Returns the number of chains.
int planStretches(size_t rawLength, uint32_t bitPosition, size_t outCapacity, size_t maxBlocks, Stretch* stretches)
{
    size_t firstByte = bitPosition / 8;
    size_t inputBytes = rawLength - firstByte;
    uint32_t room = uint32_t(std::min<size_t>(outCapacity, UINT32_MAX));
    uint32_t blocks = uint32_t(std::min<size_t>(maxBlocks, UINT32_MAX));
    uint32_t count = uint32_t(std::clamp<size_t>(inputBytes / kMinChainBytes, 1, kMaxChains));
    while (count > 1 && (room / count < kMinChainRoom || blocks / count < kMinChainBlocks))
        --count;
    uint32_t share = room / count;
    uint32_t blockShare = blocks / count;
    size_t span = std::min((inputBytes + count - 1) / count, share / kOutputPerInputByte);
    // A block takes at least one input byte (the first one may start inside
    // a byte), so a stretch this short never runs out of block ends before
    // its input stop, which would leave the stretches after it unused.
    if (count > 1)
        span = std::min<size_t>(span, blockShare - kLookupsPerGroup - 1);
    span = std::max<size_t>(span, 1);
    for (uint32_t j = 0; j < count; ++j) {
        Stretch& stretch = stretches[j];
        size_t startByte = firstByte + j * span;
        bool isLast = j + 1 == count;
        stretch.startBit = j == 0 ? bitPosition : uint32_t(startByte * 8);
        stretch.stopByte = std::min(startByte + span, rawLength);
        stretch.stopsAtInputEnd = isLast && stretch.stopByte == rawLength;
        stretch.outStart = j * share;
        stretch.outEnd = isLast ? room : stretch.outStart + share;
        stretch.endsStart = j * blockShare;
        stretch.endsEnd = isLast ? blocks : stretch.endsStart + blockShare;
    }
    return int(count);
}

} // namespace

uint32_t huffmanBlockEnd(uint32_t bitPosition, const uint8_t* bytes, size_t count)
{
    return nextByteBoundary(
        bitPosition + codeBits(bytes, count) + uint32_t(huffmanCodeTable[kHuffmanEndSymbol].bitCount));
}

HuffmanBlocks huffmanDecodeBlocks(const uint8_t* raw, size_t rawLength, uint32_t bitPosition, uint8_t* out,
    size_t outCapacity, uint32_t* blockEnds, size_t maxBlocks)
{
    HuffmanBlocks result { 0, bitPosition, 0 };
    if (uint64_t(bitPosition) >= uint64_t(rawLength) * 8 || maxBlocks == 0)
        return result;

    Stretch stretches[kMaxChains];
    int count = planStretches(rawLength, bitPosition, outCapacity, maxBlocks, stretches);
    Chain chains[kMaxChains];
    ChainLimits limits[kMaxChains];
    for (int j = 0; j < count; ++j) {
        const Stretch& stretch = stretches[j];
        bool filled = startChain(chains[j], raw, rawLength, stretch.startBit, stretch.outStart, stretch.endsStart);
        limits[j].inStop = raw + stretch.stopByte;
        // A share too small for one group is decoded code by code only.
        if (!filled || stretch.outEnd - stretch.outStart < kGroupOutput
            || stretch.endsEnd - stretch.endsStart < kLookupsPerGroup) {
            limits[j] = { chains[j].in, 0, 0 };
            continue;
        }
        limits[j].outStop = stretch.outEnd - kGroupOutput;
        limits[j].endsStop = stretch.endsEnd - kLookupsPerGroup;
    }
    runChains(count, chains, limits, out, blockEnds);
    for (int j = 0; j < count; ++j) {
        Stretch& stretch = stretches[j];
        stretch.chain = chains[j];
        stretch.reachedStop = limits[j].inStop == raw + stretch.stopByte && limits[j].inStop - chains[j].in < kGroupInput;
        stretch.position = chainPosition(chains[j], raw);
        // The last stretch of the input finishes code by code.
        if (stretch.stopsAtInputEnd) {
            while (decodeToBlockEnd(raw, rawLength, stretch, out, blockEnds) == CodeStep::BlockEnd) { }
        }
    }

    // Joins the stretches' blocks into one run at the start of the output.
    uint32_t fromOut = stretches[0].outStart;
    uint32_t fromEnd = stretches[0].endsStart;
    for (int j = 0;; ++j) {
        Stretch& current = stretches[j];
        uint32_t nextFirstEnd = 0;
        uint32_t nextFromOut = 0;
        bool met = j + 1 < count && current.reachedStop
            && meetNextStretch(raw, rawLength, current, stretches[j + 1], out, blockEnds, nextFirstEnd, nextFromOut);
        uint32_t blocks = current.chain.ends - fromEnd;
        if (blocks > 0) {
            uint32_t lastEnd = blockEnds[current.chain.ends - 1];
            // After its last end code the chain decoded only bytes.
            result.bitPosition = current.position - codeBits(out + lastEnd, current.chain.out - lastEnd);
            uint32_t length = lastEnd - fromOut;
            uint32_t to = result.count == 0 ? 0 : blockEnds[result.count - 1];
            if (to != fromOut)
                std::memmove(out + to, out + fromOut, length);
            // The block ends move down and shift with the bytes, in two
            // passes that need no care for the overlap; the first chain's
            // stay where they are.
            uint32_t* moved = blockEnds + result.count;
            if (result.count != fromEnd)
                std::memmove(moved, blockEnds + fromEnd, blocks * sizeof *moved);
            if (to != fromOut)
                shiftBlockEnds(moved, blocks, to - fromOut); // modulo 2^32: they only move down
            result.count += blocks;
        }
        if (!met)
            break;
        fromOut = nextFromOut;
        fromEnd = nextFirstEnd;
    }
    for (int j = 0; j < count; ++j) {
        const Stretch& stretch = stretches[j];
        result.written = std::max(result.written, std::min(stretch.chain.out + kMaxBytesPerLookup, stretch.outEnd));
    }
    return result;
}
