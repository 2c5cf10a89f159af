#pragma once
// The server's side of a connection's stream forms: from the client's seed,
// the login cipher and the game cipher that decipher what the client sends,
// and the compression (Huffman, then the digest XOR) of what a game server
// sends back. Used by the scripted peer and the test login and game server.

#include "net/game_stream_cipher.h"
#include "net/login_cipher.h"

#include <cstdint>
#include <vector>

namespace test {

class ServerStreamCodec {
public:
    // Sets up both directions as the client does for the same seed:
    // `gameServer` selects the Twofish key form.
    void start(uint32_t seed, bool gameServer);

    void loginDecipher(uint8_t* bytes, size_t count);
    void gameDecipher(uint8_t* bytes, size_t count) { m_gameCipher.apply(bytes, count); }
    // The stream a game server sends for `packets`, continuing the digest
    // position of earlier calls.
    std::vector<uint8_t> compress(const std::vector<std::vector<uint8_t>>& packets);

private:
    LoginStreamCipher m_loginKeys;
    GameStreamCipher m_gameCipher;
    uint8_t m_digest[GameStreamCipher::kDigestSize] {};
    uint32_t m_digestCounter { 0 };
};

} // namespace test
