// The speech packet as it leaves: the plain form (byte and UTF-16 lines), the
// emote form, the keyword-coded form with its 12-bit packing, the keyword
// patterns, and the UTF-8 encoding.

#include "fixtures/client_directory.h"
#include "speech_fixture.h"

#include <gtest/gtest.h>

namespace test {
namespace {

Bytes packKeywords(std::vector<int32_t> ids) { return packKeywordIds(ids); }

TEST(KeywordPacking, TwelveBitsHighFirstPaddedWithZeroBits)
{
    EXPECT_EQ(packKeywords({ 0x123 }), (Bytes { 0x00, 0x11, 0x23 }));
    EXPECT_EQ(packKeywords({ 0x010, 0x020 }), (Bytes { 0x00, 0x20, 0x10, 0x02, 0x00 }));
    EXPECT_EQ(packKeywords({ 0xFFF, 0x001, 0xABC }), (Bytes { 0x00, 0x3F, 0xFF, 0x00, 0x1A, 0xBC }));
    EXPECT_EQ(packKeywords({}), (Bytes { 0x00, 0x00 }));
}

struct PatternCase {
    const char* name;
    const char* pattern;
    const char* text;
    bool matches;
};

class KeywordPatterns : public testing::TestWithParam<PatternCase> { };

TEST_P(KeywordPatterns, MatchAsTheirStarsSay)
{
    const PatternCase& c = GetParam();
    std::vector<SpeechKeyword> table { { c.pattern, 7 } };
    EXPECT_EQ(!matchSpeechKeywords(c.text, table).empty(), c.matches);
}

INSTANTIATE_TEST_SUITE_P(Patterns, KeywordPatterns,
    testing::Values(PatternCase { "WordAlone", "*hello*", "hello", true },
        PatternCase { "WordAmongOthers", "*hello*", "well, hello there", true },
        PatternCase { "WordBeforePunctuation", "*hello*", "hello!", true },
        PatternCase { "WordInsideAnother", "*hello*", "othello", false },
        PatternCase { "WordFoundOnSecondTry", "*hello*", "othello hello", true },
        PatternCase { "WordIgnoresAsciiCase", "*hello*", "HeLLo", true },
        PatternCase { "WordNextToHighByte", "*hello*", "hello\xC3\xA9", false },
        PatternCase { "PrefixPattern", "hail*", "hail the king", true },
        PatternCase { "PrefixPatternNeedsTheStart", "hail*", "all hail", false },
        PatternCase { "SuffixPattern", "*bye", "good bye", true },
        PatternCase { "SuffixPatternNeedsTheEnd", "*bye", "bye now", false },
        PatternCase { "PlainNeedsTheWholeLine", "vendor buy", "vendor buy", true },
        PatternCase { "PlainRefusesMore", "vendor buy", "vendor buy now", false },
        PatternCase { "ThreeStarsNeverMatch", "*a*b*", "a b", false },
        PatternCase { "PatternLetterCaseIgnored", "*Bank*", "bank", true }),
    [](const testing::TestParamInfo<PatternCase>& caseInfo) { return std::string(caseInfo.param.name); });

TEST(KeywordPatterns, MatchingIdsComeSortedAndOnce)
{
    std::vector<SpeechKeyword> table { { "*bank*", 0x30 }, { "*balance*", 0x10 }, { "*bank*", 0x30 },
        { "*bank*", 5000 }, { "*bank*", -2 } };
    EXPECT_EQ(matchSpeechKeywords("bank balance", table), (std::vector<int32_t> { 0x10, 0x30 }));
}

TEST(Utf8, OneToThreeBytesPerUnit)
{
    EXPECT_EQ(utf8Encode(u"a\u00E9\u4E00"), "a\xC3\xA9\xE4\xB8\x80");
    EXPECT_EQ(utf8Encode(u"\xD83D\xDE00"), "\xED\xA0\xBD\xED\xB8\x80") << "surrogates are encoded one by one";
}

class SpeechPackets : public SpeechTest {
protected:
    // Loads "speech.mul" from a client directory, as start-up does.
    void loadKeywords(const std::vector<std::pair<uint16_t, std::string>>& entries)
    {
        std::string file;
        for (const auto& [id, text] : entries) {
            file.push_back(char(id >> 8));
            file.push_back(char(id));
            file.push_back(char(text.size() >> 8));
            file.push_back(char(text.size()));
            file += text;
        }
        m_client.write("speech.mul", file);
        loadSpeechKeywords();
    }
    void TearDown() override
    {
        freeSpeechKeywords();
        SpeechTest::TearDown();
    }

    fixture::ClientDirectory m_client;
};

TEST_F(SpeechPackets, AByteLineGoesOutAsUtf16)
{
    speechStyle() = SpeechStyle { 0x02B2, 3, 0x0225, 1 };
    sendSpeechAscii("hi \xE9", speech_type::kYell);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0],
        (Bytes { 0xAD, 0x00, 0x16, 0x09, 0x02, 0xB2, 0x00, 0x03, 'E', 'N', 'U', 0, 0, 'h', 0, 'i', 0, ' ', 0, 0xE9, 0,
            0 }));
}

TEST_F(SpeechPackets, AUnicodeLineGoesOutBigEndian)
{
    sendSpeech(u"\u4E00!", speech_type::kWhisper);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0],
        (Bytes { 0xAD, 0x00, 0x12, 0x08, 0x03, 0xE3, 0x00, 0x03, 'E', 'N', 'U', 0, 0x4E, 0x00, 0, '!', 0, 0 }));
}

TEST_F(SpeechPackets, AnEmoteIsStarredInTheEmoteStyleAndNeverCoded)
{
    loadKeywords({ { 0x2A, "*waves*" } });
    speechStyle() = SpeechStyle { 0x02B2, 3, 0x0225, 1 };
    sendSpeech(u"waves  ", speech_type::kEmote);
    ASSERT_EQ(sent.size(), 1u);
    Bytes expected = concatBytes({ { 0xAD, 0x00, 0x1C, 0x02, 0x02, 0x25, 0x00, 0x01, 'E', 'N', 'U', 0 },
        unitsBigEndian(u"*waves*"), { 0, 0 } });
    EXPECT_EQ(sent[0], expected);
}

TEST_F(SpeechPackets, AKeywordLineCarriesItsIdsThenUtf8)
{
    loadKeywords({ { 0x123, "*bank*" }, { 0x010, "hail*" }, { 0x020, "*guards*" } });
    sendSpeech(u"Hail Bank GUARDS, \u00E9", speech_type::kSay);
    ASSERT_EQ(sent.size(), 1u);
    // Values 3, 0x010, 0x020, 0x123: 00 30 10 02 01 23.
    Bytes expected = concatBytes({ { 0xAD, 0x00, 0x27, 0xC0, 0x03, 0xE3, 0x00, 0x03, 'E', 'N', 'U', 0 },
        { 0x00, 0x30, 0x10, 0x02, 0x01, 0x23 }, { 'H', 'a', 'i', 'l', ' ', 'B', 'a', 'n', 'k', ' ' },
        { 'G', 'U', 'A', 'R', 'D', 'S', ',', ' ', 0xC3, 0xA9, 0 } });
    EXPECT_EQ(sent[0], expected);
    EXPECT_EQ(sendKeywordSpeech(u"nothing here", speech_type::kSay), 0);
    EXPECT_EQ(sent.size(), 1u) << "no keyword, nothing sent by the keyword form";
    EXPECT_EQ(sendKeywordSpeech(u"bank", speech_type::kYell), 2);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1][3], 0xC9);
}

TEST_F(SpeechPackets, ABlankLineGoesOutEmpty)
{
    sendUnicodeSpeech(u"   ", speech_type::kSay);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (Bytes { 0xAD, 0x00, 0x0E, 0x00, 0x03, 0xE3, 0x00, 0x03, 'E', 'N', 'U', 0, 0, 0 }));
}

TEST_F(SpeechPackets, WithoutAGameConnectionTheLineIsDropped)
{
    installSpeechPacketSender(nullptr);
    sendUnicodeSpeech(u"anyone?", speech_type::kSay);
    EXPECT_TRUE(sent.empty());
}

TEST_F(SpeechPackets, ATooLongLineIsNotSentHalf)
{
    PacketStorage<65535> buffer;
    EXPECT_FALSE(buildSpeechPacket(buffer, 0, 0, 0, speechLanguage(), std::u16string(40000, u'x')));
}

} // namespace
} // namespace test
