#include "net/game_stream_cipher.h"

#include <algorithm>
#include <nettle/md5.h>

void GameStreamCipher::init(uint32_t seedWord)
{
    m_index = 0;
    uint8_t key[TWOFISH128_KEY_SIZE];
    for (int i = 0; i < TWOFISH128_KEY_SIZE; ++i)
        key[i] = uint8_t(seedWord >> (24 - 8 * (i % 4)));
    twofish128_set_key(&m_key, key);
    for (int i = 0; i < kTableSize; ++i)
        m_table[i] = uint8_t(i);
    encryptTable();
}

void GameStreamCipher::encryptTable() { twofish_encrypt(&m_key, kTableSize, m_table, m_table); }

void GameStreamCipher::apply(uint8_t* data, size_t count)
{
    for (size_t i = 0; i < count;) {
        if (m_index == kTableSize) {
            encryptTable();
            m_index = 0;
        }
        // XOR the longest run the current table still covers.
        size_t run = std::min(count - i, size_t(kTableSize - m_index));
        const uint8_t* stream = m_table + m_index;
        for (size_t k = 0; k < run; ++k)
            data[i + k] ^= stream[k];
        i += run;
        m_index += int32_t(run);
    }
}

void GameStreamCipher::tableDigest(uint8_t digest[kDigestSize]) const
{
    md5_ctx context;
    md5_init(&context);
    md5_update(&context, kTableSize, m_table);
    md5_digest(&context, kDigestSize, digest);
}
