#include "data/character_names.h"
#include "data/player_lists.h"
#include "fixtures/byte_writer.h"
#include "settings_fixture.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::span<const uint8_t> bytesOf(const std::string& text)
{
    return { reinterpret_cast<const uint8_t*>(text.data()), text.size() };
}

// ---- Ignore list ---------------------------------------------------------------------

std::string ignoreRecord(const std::string& name, uint32_t serial, char filler = '\0')
{
    std::string record(30, filler);
    record.replace(0, name.size(), name);
    if (name.size() < 30 && filler == '\0')
        record[name.size()] = '\0';
    for (int i = 0; i < 4; ++i)
        record.push_back(char((serial >> (8 * i)) & 0xFF));
    return record;
}

TEST(IgnoreList, ReadsWholeRecordsAndEndsEveryName)
{
    std::string bytes = ignoreRecord("Troll", 0x40001234) + ignoreRecord(std::string(30, 'N'), 7) + "\x01\x02";
    std::vector<IgnoreEntry> entries = parseIgnoreList(bytesOf(bytes));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_STREQ(entries[0].name.data(), "Troll");
    EXPECT_EQ(entries[0].serial, 0x40001234u);
    EXPECT_EQ(std::string(entries[1].name.data()), std::string(29, 'N')) << "a name without terminator is ended";
}

TEST(IgnoreList, HoldsTwentyAtMostAndRoundTrips)
{
    std::string bytes;
    for (uint32_t i = 0; i < 25; ++i)
        bytes += ignoreRecord("p" + std::to_string(i), i);
    std::vector<IgnoreEntry> entries = parseIgnoreList(bytesOf(bytes));
    ASSERT_EQ(entries.size(), kMaxIgnoreEntries);
    std::string written = ignoreListBytes(entries);
    EXPECT_EQ(written, bytes.substr(0, 20 * 34));
    EXPECT_TRUE(parseIgnoreList({}).empty());
}

// ---- Filter words --------------------------------------------------------------------

TEST(FilterWords, StoredShiftedByThirteen)
{
    // "ab" as the file holds it: 6E 00 6F 00 17 00.
    const std::string ab("\x6E\x00\x6F\x00\x17\x00", 6);
    EXPECT_EQ(filterWordBytes({ u"ab" }), ab);
    EXPECT_EQ(parseFilterWords(bytesOf(ab)), (std::vector<std::u16string> { u"ab" }));
}

TEST(FilterWords, LineEndsAndLimits)
{
    auto shifted = [](std::u16string text) {
        std::string bytes;
        for (char16_t unit : text) {
            unit = char16_t(unit + 13);
            bytes.push_back(char(unit & 0xFF));
            bytes.push_back(char(unit >> 8));
        }
        return bytes;
    };
    // A shifted CR, then a raw LF that belongs to it; empty lines are dropped;
    // the last word may end at the end of the file; odd bytes are ignored.
    std::string bytes = shifted(u"one\r") + std::string("\n\0", 2) + shifted(u"\n\ntwo") + "\x01";
    EXPECT_EQ(parseFilterWords(bytesOf(bytes)), (std::vector<std::u16string> { u"one", u"two" }));

    std::string many;
    for (int i = 0; i < 130; ++i)
        many += shifted(u"w" + std::u16string(40, u'x') + u"\n");
    std::vector<std::u16string> words = parseFilterWords(bytesOf(many));
    ASSERT_EQ(words.size(), kMaxFilterWords);
    EXPECT_EQ(words[0].size(), kMaxFilterWordLength);
}

TEST(FilterWords, EmptyListIsAnEmptyFile)
{
    EXPECT_EQ(filterWordBytes({}), "");
    EXPECT_TRUE(parseFilterWords({}).empty());
}

TEST_F(SettingsFixture, PlayerListsLoadSaveAndReport)
{
    std::vector<std::u16string> heard;
    setFilterWordsListener([&](const std::vector<std::u16string>& words) { heard = words; });
    m_client.write("ignore.lst", ignoreRecord("Troll", 77));
    m_client.write("vobscene.lst", filterWordBytes({ u"darn", u"heck" }));
    loadPlayerLists();
    EXPECT_TRUE(isIgnored(77));
    EXPECT_FALSE(isIgnored(78));
    EXPECT_EQ(heard, (std::vector<std::u16string> { u"darn", u"heck" }));
    playerLists().filterWords.push_back(u"drat");
    EXPECT_TRUE(savePlayerList(0));
    EXPECT_FALSE(savePlayerList(2));
    loadPlayerLists();
    EXPECT_EQ(playerLists().filterWords.size(), 3u);
    setFilterWordsListener(nullptr);
    playerLists() = PlayerLists {};
}

// ---- Password scrambling -------------------------------------------------------------

TEST(PasswordScramble, RoundTripsEveryPrintableCharacter)
{
    std::string text;
    for (int c = 32; c < 127; ++c)
        text.push_back(char(c));
    std::string scrambled = text;
    shiftScrambleText(scrambled);
    EXPECT_NE(scrambled, text);
    // 'r' (114) becomes 127: the stored files hold it so.
    EXPECT_EQ(scrambled[114 - 32], '\x7F');
    EXPECT_EQ(scrambled[115 - 32], '!');
    unshiftScrambleText(scrambled);
    EXPECT_EQ(scrambled, text);
}

// ---- Character data ------------------------------------------------------------------

TEST(CharacterData, OldFormFillsFiveSlots)
{
    ByteWriter writer;
    for (int i = 0; i < 5; ++i)
        writer.u16(100 + i);
    for (int i = 0; i < 5; ++i)
        writer.u16(200 + i);
    CharacterHues hues;
    ASSERT_TRUE(parseCharacterData(writer.bytes(), hues));
    EXPECT_EQ(hues.speech[4], 104);
    EXPECT_EQ(hues.emote[0], 200);
    EXPECT_EQ(hues.speech[5], kDefaultSpeechHue);
    EXPECT_EQ(hues.emote[5], kDefaultEmoteHue);
}

TEST(CharacterData, CurrentFormRoundTripsAndDamagedFormsChangeNothing)
{
    CharacterHues hues;
    hues.speech[5] = 1234;
    hues.emote[2] = 55;
    std::string bytes = characterDataBytes(hues);
    EXPECT_EQ(bytes.size(), 31u);
    CharacterHues read;
    ASSERT_TRUE(parseCharacterData(bytesOf(bytes), read));
    EXPECT_EQ(read.speech, hues.speech);
    EXPECT_EQ(read.emote, hues.emote);

    for (const std::string& damaged :
        { bytes.substr(0, 30), std::string(" ver 2\n") + bytes.substr(7), std::string(21, 'x'), std::string() }) {
        CharacterHues untouched;
        EXPECT_FALSE(parseCharacterData(bytesOf(damaged), untouched)) << damaged.size();
        EXPECT_EQ(untouched.speech[0], kDefaultSpeechHue);
    }
}

TEST_F(SettingsFixture, CharacterDataOfTheDefaultSlotIsInUse)
{
    CharacterHues hues;
    hues.speech[3] = 321;
    hues.emote[3] = 123;
    m_client.write("chardata.mul", characterDataBytes(hues));
    read("DefaultChar=3\r\n");
    loadCharacterData();
    EXPECT_EQ(speechStyle().speechHue, 321);
    EXPECT_EQ(speechStyle().emoteHue, 123);
    characterHues() = CharacterHues {};
    speechStyle() = SpeechStyle {};
}

// ---- Speech keywords -----------------------------------------------------------------

TEST(SpeechKeywords, WholeRecordsOnly)
{
    std::string bytes("\x00\x01\x00\x03"
                      "bank"
                      "\xFF\xFE\x00\x02"
                      "hi",
        12);
    bytes.replace(4, 4, "ban");
    bytes = std::string("\x00\x01\x00\x03", 4) + "ban" + std::string("\xFF\xFE\x00\x02", 4) + "hi"
        + std::string("\x00\x05\x00\x09", 4) + "cut";
    std::vector<SpeechKeyword> table = parseSpeechKeywords(bytesOf(bytes));
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].text, "ban");
    EXPECT_EQ(table[0].id, 1);
    EXPECT_EQ(table[1].id, -2) << "the id is sign-extended";
    std::string negative = std::string("\x00\x01\xFF\xFF", 4) + "x";
    EXPECT_TRUE(parseSpeechKeywords(bytesOf(negative)).empty());
    EXPECT_TRUE(parseSpeechKeywords(bytesOf(std::string("\x00\x01\x00", 3))).empty());
}

// ---- Character names -----------------------------------------------------------------

struct NameCase {
    const char* label;
    const char* name;
    int32_t refused;
};

class CharacterName : public ::testing::TestWithParam<NameCase> { };

TEST_P(CharacterName, Rules) { EXPECT_EQ(validateCharacterName(GetParam().name), GetParam().refused); }

INSTANTIATE_TEST_SUITE_P(Cases, CharacterName,
    ::testing::Values(NameCase { "Plain", "Tomas", 0 }, NameCase { "LordPrefix", "Lord Tomas", 1 },
        NameCase { "LordIsABeginningNotAWord", "Lordan", 1 }, NameCase { "TwoSeparators", "Ab  Cd", 1 },
        NameCase { "SeparatorAtTheEnd", "Ab-", 0 }, NameCase { "ReservedWordInsideAWord", "Archery", 0 },
        NameCase { "ReservedWordAfterBlank", "Mister Mage", 1 }, NameCase { "ReservedWordBeforeDash", "Mage-Bob", 1 },
        NameCase { "DigitFirst", "1Bob", 1 }, NameCase { "DigitLater", "Bob2", 1 },
        NameCase { "ApostropheOk", "O'Hara", 0 }, NameCase { "StaffWordAnyCase", "Sir GAMEMASTER", 1 },
        NameCase { "Empty", "", 1 }, NameCase { "HighByte", "Bj\xF6rn", 1 }),
    [](const ::testing::TestParamInfo<NameCase>& entry) { return std::string(entry.param.label); });

TEST(FindNoCase, FirstOccurrenceIgnoringCase)
{
    EXPECT_EQ(findNoCase("aba", "a BbAba"), 4);
    EXPECT_EQ(findNoCase("", "abc"), 0);
    EXPECT_EQ(findNoCase("abcd", "abc"), -1);
    EXPECT_EQ(findNoCase("ZZ", "abc"), -1);
    EXPECT_FALSE(isInvalidNameChar('\''));
    EXPECT_TRUE(isInvalidNameChar('_'));
}

} // namespace
