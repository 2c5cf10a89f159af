#include "net/game_stream_cipher.h"
#include "net/login_cipher.h"

#include <gtest/gtest.h>
#include <nettle/md5.h>
#include <nettle/twofish.h>
#include <string>
#include <vector>

namespace {

std::string hex(const uint8_t* bytes, size_t count)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

TEST(NettleKnownAnswers, TwofishZeroKeyZeroBlock)
{
    twofish_ctx context;
    uint8_t key[16] = {};
    uint8_t block[16] = {};
    twofish128_set_key(&context, key);
    twofish_encrypt(&context, 16, block, block);
    EXPECT_EQ(hex(block, 16), "9f589f5cf6122c32b6bfec2f2ae8c35a");
}

TEST(NettleKnownAnswers, Md5OfAbc)
{
    md5_ctx context;
    md5_init(&context);
    md5_update(&context, 3, reinterpret_cast<const uint8_t*>("abc"));
    uint8_t digest[16];
    md5_digest(&context, 16, digest);
    EXPECT_EQ(hex(digest, 16), "900150983cd24fb0d6963f7d28e17f72");
}

// The table is the bytes 0..255 encrypted under the seed's wire bytes repeated four times.
TEST(GameStreamCipher, TableIsTheEncryptedIdentity)
{
    GameStreamCipher cipher;
    cipher.init(0x0A0B0C0Du);
    uint8_t key[16];
    for (int i = 0; i < 16; i += 4) {
        key[i] = 0x0A;
        key[i + 1] = 0x0B;
        key[i + 2] = 0x0C;
        key[i + 3] = 0x0D;
    }
    twofish_ctx context;
    twofish128_set_key(&context, key);
    uint8_t expected[256];
    for (int i = 0; i < 256; ++i)
        expected[i] = uint8_t(i);
    twofish_encrypt(&context, 256, expected, expected);
    EXPECT_EQ(hex(cipher.table(), 256), hex(expected, 256));
}

TEST(GameStreamCipher, Byte257UsesTheReEncryptedTable)
{
    GameStreamCipher cipher;
    cipher.init(0x12345678u);
    uint8_t first[256];
    std::copy(cipher.table(), cipher.table() + 256, first);
    std::vector<uint8_t> data(257, 0);
    cipher.apply(data.data(), 256);
    cipher.apply(data.data() + 256, 1);
    EXPECT_EQ(hex(data.data(), 256), hex(first, 256));

    uint8_t key[16];
    for (int i = 0; i < 16; i += 4) {
        key[i] = 0x12;
        key[i + 1] = 0x34;
        key[i + 2] = 0x56;
        key[i + 3] = 0x78;
    }
    twofish_ctx context;
    twofish128_set_key(&context, key);
    twofish_encrypt(&context, 256, first, first);
    EXPECT_EQ(data[256], first[0]);
    EXPECT_EQ(cipher.index(), 1);
}

TEST(GameStreamCipher, SplitApplicationGivesOneContinuousStream)
{
    GameStreamCipher whole;
    GameStreamCipher pieces;
    whole.init(77);
    pieces.init(77);
    std::vector<uint8_t> a(1000), b(1000);
    for (size_t i = 0; i < a.size(); ++i)
        a[i] = b[i] = uint8_t(i * 7);
    whole.apply(a.data(), a.size());
    for (size_t at = 0, step = 1; at < b.size(); at += step, step = step % 37 + 1)
        pieces.apply(b.data() + at, std::min(step, b.size() - at));
    EXPECT_EQ(a, b);
    pieces.apply(b.data(), 0);
    EXPECT_EQ(pieces.index(), whole.index());
}

TEST(LoginStreamCipher, IsItsOwnInverseAndDependsOnTheSeed)
{
    LoginStreamCipher sender = deriveLoginKeys(0xC0A80001u);
    LoginStreamCipher receiver = deriveLoginKeys(0xC0A80001u);
    LoginStreamCipher other = deriveLoginKeys(0xC0A80002u);
    std::vector<uint8_t> plain(300);
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = uint8_t(i);
    int differing = 0;
    for (uint8_t byte : plain) {
        uint8_t sent = loginCipherStep(sender, byte);
        EXPECT_EQ(loginCipherStep(receiver, sent), byte);
        differing += loginCipherStep(other, byte) != sent;
    }
    EXPECT_GT(differing, 200);
}

} // namespace
