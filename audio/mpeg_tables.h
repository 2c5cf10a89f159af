#pragma once
// Constant tables of the MPEG audio decoder (ISO/IEC 11172-3 and 13818-3).
// Plain tables are constant data; the derived ones (powers, windows, Huffman
// lookup tables) are built by static initialisers before main and only read
// afterwards, so decoders on any thread may share them.

#include <cstdint>

namespace mpeg {

// Bit rates in kbit/s by bit-rate index: MPEG-1 layers I, II, III, then the
// low sampling frequencies' layer I row and the row layers II and III share.
extern const uint16_t kBitRates[5][16];
// Sample rates in Hz by sample-rate row (index, plus 3 for the low sampling frequencies).
extern const uint32_t kSampleRates[6];

// ---- Synthesis filter bank ----
// The standard's synthesis window D[0..511], every value an exact multiple of 2^-16.
double synthesisWindow(int index);

// ---- Layers I and II ----
// A quantiser of the layer II allocation tables: `levels` 3, 5 or 9 for the
// grouped ones (three samples in one code word of `bits` bits), 0 for `bits`-bit samples.
struct Quantiser {
    uint8_t bits;
    uint8_t levels;
};
struct AllocationTable {
    uint8_t subbandLimit;
    const uint8_t* allocationBits; // nbal per subband
    const Quantiser* const* quantisers; // per subband, indexed by allocation value (entry 0 unused)
};
// Tables 3-B.2a to 3-B.2d of ISO/IEC 11172-3, then the low sampling frequencies' table.
extern const AllocationTable kAllocationTables[5];
// Scale factors 2^(1 - i/3); index 63, which the standard does not use, is 0.
extern const float (&kScaleFactorValues)[64];

// ---- Layer III ----
struct ScaleFactorBands {
    uint16_t longBounds[23];
    uint16_t shortBounds[14];
};
// Rows: 22050, 24000, 16000, 44100, 48000, 32000 Hz.
extern const ScaleFactorBands kScaleFactorBands[6];
extern const uint8_t kSlen[2][16];
extern const uint8_t kPretab[22];
extern const uint8_t kLsfPartitions[6][3][4];

struct HuffmanCodeTable {
    const uint16_t* codes;
    const uint8_t* lengths;
    uint8_t size; // values per axis (x and y run 0..size-1); 0 for the count-1 tables
    uint8_t linbits;
};
constexpr int kHuffmanTableCount = 34;
extern const HuffmanCodeTable kHuffmanCodeTables[kHuffmanTableCount];

// Lookup tables for decoding. An entry whose top bit is clear is a leaf: the
// symbol in bits 0-7, the code bits this level consumes in bits 8-15, and in
// bits 16-23 those bits plus the symbol's sign bits (one per non-zero value;
// linbits come on top). Otherwise bits 0-23 give the start of the next level
// (from `entries`) and bits 24-28 its width in bits.
struct HuffmanLookup {
    const uint32_t* entries; // null for tables without codes
    uint8_t rootBits;
};
extern const HuffmanLookup (&kHuffmanLookups)[kHuffmanTableCount];

// The largest magnitude the syntax can express: 15 plus 13 linbits.
constexpr int kMaxMagnitude = 15 + 8191;
extern const float (&kPow43)[kMaxMagnitude + 1]; // |x|^(4/3)
extern const float (&kPowHalf)[64]; // 2^(-k/2)
extern const float (&kIntensityRatios)[16]; // tan(k*pi/12), 1e11 at k = 6
extern const float (&kLsfIntensity)[2][32]; // (2^-1/4)^n and (2^-1/2)^n
extern const float (&kAliasCs)[8];
extern const float (&kAliasCa)[8];
// The 36-point IMDCT through the 18-point DCT-IV: the 9-point transforms of
// its even half [p][j] = cos(p (2j + 1) pi / 18) and odd half [p][j] =
// cos((2p + 1)(2j + 1) pi / 36), the scale 1 / (2 cos((2j + 1) pi / 72)) of
// output j, and the window of each block type (type 2 unused) with the signs
// of outputs 9..35 folded in.
extern const float (&kImdctEven)[9][9];
extern const float (&kImdctOdd)[9][9];
extern const float (&kImdctScale)[18];
extern const float (&kImdctSignedWindows)[4][36];
// The same factors, each repeated in four lanes, for four subbands side by side.
struct ImdctWideFactors {
    float even[9][9][4];
    float odd[9][9][4];
    float scale[18][4];
    float windows[4][36][4];
};
extern const ImdctWideFactors& kImdctWide;
// The 12-point IMDCT of short blocks with the short window folded in: [output 0..11][input 0..5].
extern const float (&kImdctShort)[12][6];

} // namespace mpeg
