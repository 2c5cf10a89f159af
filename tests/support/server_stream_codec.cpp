#include "support/server_stream_codec.h"

#include "support/huffman_encoder.h"

namespace test {

void ServerStreamCodec::start(uint32_t seed, bool gameServer)
{
    m_loginKeys = deriveLoginKeys(seed);
    m_gameCipher.init(gameServer ? seed : seed ^ login_cipher::kLoginTableSeedMask);
    m_gameCipher.tableDigest(m_digest);
    m_digestCounter = 0;
}

void ServerStreamCodec::loginDecipher(uint8_t* bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        bytes[i] = loginCipherStep(m_loginKeys, bytes[i]);
}

std::vector<uint8_t> ServerStreamCodec::compress(const std::vector<std::vector<uint8_t>>& packets)
{
    std::vector<uint8_t> stream = huffmanEncodePackets(packets);
    for (uint8_t& byte : stream)
        byte ^= m_digest[(m_digestCounter++) % GameStreamCipher::kDigestSize];
    return stream;
}

} // namespace test
