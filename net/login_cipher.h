#pragma once
// The login stream cipher and the constants of both stream ciphers' set-up.
// Client and server must agree on every value here, so the test peer includes
// this header too; nothing else may hold a copy of these numbers.
//
// Each byte sent on a login connection is XORed with the low byte of key word
// A, then both words step: each shifts right by one bit, the bit shifted out
// of one word enters the top of the other, and each is XORed with its own
// constant when the bit it lost was set.

#include <cstdint>

namespace login_cipher {

constexpr uint32_t kDeriveA = 0x5A3C96E1u;
constexpr uint32_t kDeriveB = 0x2F81D47Bu;
constexpr uint32_t kMaskB = 0x7FFFFFFFu;
constexpr uint32_t kStepA = 0xA3B1C6D5u;
constexpr uint32_t kStepB = 0x9E3779B9u;

// XORed into the Twofish seed word on a connection made without the
// game-server flag.
constexpr uint32_t kLoginTableSeedMask = 0x6B2E5F19u;

} // namespace login_cipher

struct LoginStreamCipher {
    uint32_t keyA { 0 };
    uint32_t keyB { 0 };
};

// The key words for a connection whose seed is `seed` (host order).
inline LoginStreamCipher deriveLoginKeys(uint32_t seed)
{
    LoginStreamCipher keys;
    keys.keyA = ~(seed ^ login_cipher::kDeriveA);
    keys.keyB = ((seed << 16 | seed >> 16) ^ login_cipher::kDeriveB) & login_cipher::kMaskB;
    return keys;
}

inline uint8_t loginCipherStep(LoginStreamCipher& keys, uint8_t input)
{
    uint8_t output = uint8_t(input ^ uint8_t(keys.keyA));
    uint32_t lowA = keys.keyA & 1;
    uint32_t lowB = keys.keyB & 1;
    keys.keyA = (keys.keyA >> 1 | lowB << 31) ^ (lowA ? login_cipher::kStepA : 0);
    keys.keyB = (keys.keyB >> 1 | lowA << 31) ^ (lowB ? login_cipher::kStepB : 0);
    return output;
}
