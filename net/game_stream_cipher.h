#pragma once
// The game stream cipher: a 256-byte table encrypted with Twofish (128-bit key:
// the four seed bytes repeated four times), XORed onto the sent bytes and
// encrypted again in place each time its 256 bytes are used up. The MD5 digest
// of the first table keys the XOR of the receive direction.

#include <cstddef>
#include <cstdint>
#include <nettle/twofish.h>

class GameStreamCipher {
public:
    static constexpr int kTableSize = 256;
    static constexpr int kDigestSize = 16;

    // `seedWord` holds the four key bytes in wire order, most significant first.
    void init(uint32_t seedWord);
    void apply(uint8_t* data, size_t count);
    // Forgets the key stream position (the table stays).
    void reset() { m_index = 0; }
    const uint8_t* table() const { return m_table; }
    int32_t index() const { return m_index; }
    // MD5 of the current table.
    void tableDigest(uint8_t digest[kDigestSize]) const;

private:
    void encryptTable();

    twofish_ctx m_key {};
    uint8_t m_table[kTableSize] {};
    int32_t m_index { 0 };
};
