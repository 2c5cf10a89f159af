// The speech line as a player types into it: the mode chosen by the first
// characters and shown as a prefix, the length and width limits, Enter with
// each mode and with a prompt pending, the history keys, and the navigation
// keys that walk.

#include "platform/virtual_keys.h"
#include "speech_fixture.h"

#include <gtest/gtest.h>

namespace test {
namespace {

namespace vk = platform::vk;

struct TypingCase {
    const char* name;
    std::u16string keys;
    std::u16string shown; // what the line window shows after the keys
    uint8_t mode;
    bool gmOpen = false;
    bool ignoreGuild = false;
    bool commandBody = false;
};

class SpeechTyping : public SpeechTest, public testing::WithParamInterface<TypingCase> { };

TEST_P(SpeechTyping, ShowsTheModeItsFirstCharactersChose)
{
    const TypingCase& c = GetParam();
    setGmConversationOpen(c.gmOpen);
    m_settings.setBoolSetting(u"IgnoreGuildChat", c.ignoreGuild);
    if (c.commandBody)
        player()->graphic = SpeechEntry::kCommandLineBody;
    type(c.keys);
    EXPECT_EQ(speechEntry().mode(), c.mode);
    EXPECT_EQ(speechEntry().shownLine().text, c.shown);
    EXPECT_TRUE(sent.empty()) << "typing sends nothing";
}

INSTANTIATE_TEST_SUITE_P(Keys, SpeechTyping,
    testing::Values(TypingCase { "BangBlankYells", u"! ", u"Yell: _", speech_type::kYell },
        TypingCase { "BangLetterBlankStaysSay", u"!a ", u"!a _", speech_type::kSay },
        TypingCase { "ApostropheBlankSays", u"' hi", u"hi_", speech_type::kSay },
        TypingCase { "ColonBlankEmotes", u": waves", u"Emote: waves_", speech_type::kEmote },
        TypingCase { "SemicolonBlankWhispers", u"; psst", u"Whisper: psst_", speech_type::kWhisper },
        TypingCase { "SlashOnEmptyLineIsParty", u"/", u"Party: _", speech_type::kParty },
        TypingCase { "SlashAfterTextIsText", u"a/b", u"a/b_", speech_type::kSay },
        TypingCase { "BackslashIsGuild", u"\\hi", u"Guild: hi_", speech_type::kGuild },
        TypingCase { "BackslashWhileGuildIgnoredIsText", u"\\hi", u"\\hi_", speech_type::kSay, false, true },
        TypingCase { "BackslashBlankIsGuildEvenIgnored", u"\\ hi", u"Guild: hi_", speech_type::kGuild, false, true },
        TypingCase { "PipeIsAlliance", u"|x", u"Alliance: x_", speech_type::kAlliance },
        TypingCase { "BracketWithoutGmIsText", u"[x", u"[x_", speech_type::kSay },
        TypingCase { "BracketWhileGmOpenIsGm", u"[x", u"GM: x_", speech_type::kGm, true },
        TypingCase { "BracketBlankWithoutGmIsText", u"[ x", u"[ x_", speech_type::kSay },
        TypingCase { "DotIsTextForOtherBodies", u".x", u".x_", speech_type::kSay },
        TypingCase { "DotIsCommandLineForBody987", u".x", u"C: x_", speech_type::kCommandLine, false, false, true },
        TypingCase { "EqualsIsCommandLineForBody987", u"=", u"C: _", speech_type::kCommandLine, false, false, true },
        TypingCase { "NoGlyphNoCharacter", u"a~b", u"ab_", speech_type::kSay },
        TypingCase { "BackspaceOnTextEmptiedReturnsToSay", u": x\b", u"_", speech_type::kSay },
        TypingCase { "BackspaceOnEmptyPartyReturnsToSay", u"/\b", u"_", speech_type::kSay },
        TypingCase { "BackspaceOnEmptyGuildReturnsToSay", u"\\\b", u"_", speech_type::kSay },
        TypingCase { "BackspaceKeepsPartyWhileTextLeft", u"/ab\b", u"Party: a_", speech_type::kParty },
        TypingCase { "BackspaceEmptyingPartyKeepsParty", u"/a\b", u"Party: _", speech_type::kParty },
        TypingCase { "BackspaceOnEmptyGmKeepsGm", u"[\b", u"GM: _", speech_type::kGm, true },
        TypingCase { "BackspaceOnEmptySayDoesNothing", u"\b\b", u"_", speech_type::kSay }),
    [](const testing::TestParamInfo<TypingCase>& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(SpeechTest, TheLineShowsThePrefixHueAndFontOfItsMode)
{
    speechStyle() = SpeechStyle { 690, 3, 549, 4 };
    m_settings.setColourSetting(u"GuildChatColor", 77);
    type(u": hi");
    EXPECT_EQ(windows.line, u"Emote: hi_");
    EXPECT_EQ(windows.lineHue, 549);
    EXPECT_EQ(windows.lineFont, 4);
    EXPECT_FALSE(windows.lineUnicode);
    speechEntry().setLine(u"", speech_type::kGuild);
    EXPECT_EQ(windows.line, u"Guild: _");
    EXPECT_EQ(windows.lineHue, 77);
    speechEntry().setLine(u"x", speech_type::kParty);
    EXPECT_EQ(windows.lineHue, 1153);
    EXPECT_TRUE(windows.lineUnicode) << "party lines are always shown as UTF-16";
    speechEntry().setLine(u"x", speech_type::kGm);
    EXPECT_EQ(windows.lineHue, 34);
}

TEST_F(SpeechTest, TheCommandLineModeIsShownWithTheNextChange)
{
    player()->graphic = SpeechEntry::kCommandLineBody;
    type(u"a\b");
    int shows = windows.lineShows;
    type(u".");
    EXPECT_EQ(speechEntry().mode(), speech_type::kCommandLine);
    EXPECT_EQ(windows.lineShows, shows);
    type(u"n");
    EXPECT_EQ(windows.line, u"C: n_");
    EXPECT_EQ(windows.lineHue, 995);
}

TEST_F(SpeechTest, ALineTakes128CharactersAndAPartyLine116)
{
    type(std::u16string(130, u'a'));
    EXPECT_EQ(speechEntry().text().size(), SpeechEntry::kMaxLength);
    type(u" /.");
    EXPECT_EQ(speechEntry().text().size(), SpeechEntry::kMaxLength) << "the direct appends keep the limit too";

    speechEntry().setLine(u"", speech_type::kSay);
    type(u"/");
    type(std::u16string(120, u'b'));
    EXPECT_EQ(speechEntry().text().size(), SpeechEntry::kMaxPartyLength);
    EXPECT_EQ(speechEntry().text(), std::u16string(116, u'b'));
}

TEST_F(SpeechTest, ALineMeasuring600PixelsTakesNothingMore)
{
    // Each 'W' of the test font is 100 pixels wide: the sixth starts at 500.
    type(u"WWWWWWW");
    EXPECT_EQ(speechEntry().text(), u"WWWWWW");
    type(u"a /");
    EXPECT_EQ(speechEntry().text(), u"WWWWWW") << "blanks and slashes obey the width as well";
    speechEntry().setLine(u"WWWWW", speech_type::kSay);
    type(u"a");
    EXPECT_EQ(speechEntry().text(), u"WWWWWa");
}

TEST_F(SpeechTest, UnicodeModeKeepsUnitsAndTestsTheUnicodeFont)
{
    useUnicodeSpeech(true);
    type(u"a\u4E00\u4E01");
    EXPECT_EQ(speechEntry().text(), u"a\u4E00") << "U+4E01 has no glyph in the font";
    EXPECT_TRUE(windows.lineUnicode);
    useUnicodeSpeech(false);
    speechEntry().setLine(u"", speech_type::kSay);
    type(u"\u01E9");
    EXPECT_EQ(speechEntry().text(), u"\u00E9") << "byte mode keeps the low byte";
}

TEST_F(SpeechTest, EnterSendsTheLineAndEmptiesIt)
{
    type(u"hello  \r");
    ASSERT_EQ(sent.size(), 1u);
    Bytes expected = concatBytes({ { 0xAD, 0x00, 0x18, 0x00, 0x03, 0xE3, 0x00, 0x03, 'E', 'N', 'U', 0 },
        unitsBigEndian(u"hello"), { 0, 0 } });
    EXPECT_EQ(sent[0], expected) << "trailing blanks are cut";
    EXPECT_EQ(speechEntry().text(), u"");
    EXPECT_EQ(speechEntry().mode(), speech_type::kSay);
    EXPECT_EQ(windows.line, u"_");
    EXPECT_EQ(speechEntry().historyCount(), 1u);
}

TEST_F(SpeechTest, EnterOnAnEmptyLineOnlyReturnsToSay)
{
    type(u"/\r");
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(speechEntry().mode(), speech_type::kSay);
    EXPECT_EQ(speechEntry().historyCount(), 0u);
}

TEST_F(SpeechTest, EnterWithAPromptPendingAnswersItWhateverTheMode)
{
    pendingPrompt() = PendingPrompt { true, false, 0x55, 0x66 };
    type(u": yes\r");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (Bytes { 0x9A, 0x00, 0x13, 0, 0, 0, 0x55, 0, 0, 0, 0x66, 0, 0, 0, 1, 'y', 'e', 's', 0 }));
    EXPECT_FALSE(pendingPrompt().pending);
    EXPECT_EQ(speechEntry().mode(), speech_type::kSay);
    EXPECT_EQ(windows.line, u"_");

    pendingPrompt() = PendingPrompt { true, true, 0x55, 0x67 };
    useUnicodeSpeech(true);
    type(u"\u4E00\r");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1],
        (Bytes { 0xC2, 0x00, 0x15, 0, 0, 0, 0x55, 0, 0, 0, 0x67, 0, 0, 0, 1, 'E', 'N', 'U', 0, 0x00, 0x4E }));
    EXPECT_FALSE(pendingPrompt().unicode);
}

TEST_F(SpeechTest, TheCancelKeyAnswersAPendingPromptWithNothing)
{
    EXPECT_FALSE(speechEntry().cancelPrompt());
    pendingPrompt() = PendingPrompt { true, false, 7, 8 };
    type(u"abc");
    EXPECT_TRUE(speechEntry().cancelPrompt());
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (Bytes { 0x9A, 0x00, 0x10, 0, 0, 0, 7, 0, 0, 0, 8, 0, 0, 0, 0, 0 }));
    EXPECT_EQ(speechEntry().text(), u"");
}

TEST_F(SpeechTest, PromptPacketsSetThePromptTheLineAnswers)
{
    Bytes ascii = fixture::ServerPacket(0x9A).u32(0x11).u32(0x22).u32(3).text("ask", 4).bytes();
    handlePromptPacket(ascii.data());
    EXPECT_TRUE(pendingPrompt().pending);
    EXPECT_FALSE(pendingPrompt().unicode);
    EXPECT_EQ(pendingPrompt().serial, 0x11u);
    EXPECT_EQ(pendingPrompt().promptId, 0x22u);
    Bytes wide = fixture::ServerPacket(0xC2).u32(0x33).u32(0x44).u32(3).text("ENU", 4).unicode(u"?").bytes();
    handleUnicodePromptPacket(wide.data());
    EXPECT_TRUE(pendingPrompt().unicode);
    EXPECT_EQ(pendingPrompt().promptId, 0x44u);
    pendingPrompt() = PendingPrompt {};
    Bytes shortPacket = fixture::ServerPacket(0x9A).u32(0x11).bytes();
    handlePromptPacket(shortPacket.data());
    EXPECT_FALSE(pendingPrompt().pending) << "a prompt without its id is refused";
}

TEST_F(SpeechTest, TheCommandLineRunsItsWordsOrSaysTheLineWithAnEqualsSign)
{
    player()->graphic = SpeechEntry::kCommandLineBody;
    type(u".NEXT abc\r");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (Bytes { 0x12, 0x00, 0x08, 218, 'a', 'b', 'c', 0 }));
    type(u"=go #12\r");
    ASSERT_EQ(sent.size(), 2u);
    Bytes expected = concatBytes({ { 0xAD, 0x00, 0x1C, 0x00, 0x03, 0xE3, 0x00, 0x03, 'E', 'N', 'U', 0 },
        unitsBigEndian(u"=go #12"), { 0, 0 } });
    EXPECT_EQ(sent[1], expected);

    player()->graphic = 400;
    speechEntry().setLine(u"next abc", speech_type::kCommandLine);
    type(u"\r");
    EXPECT_EQ(sent.size(), 2u) << "with another body the command line is dropped";
}

TEST_F(SpeechTest, HistoryRecallsLinesWithTheirModes)
{
    type(u"one\r! two\r");
    ASSERT_EQ(sent.size(), 2u);
    auto press = [](char letter) { return speechEntry().onKeyDown(vk::letter(letter), true, false, 0); };
    EXPECT_TRUE(press('Q'));
    EXPECT_EQ(speechEntry().text(), u"two");
    EXPECT_EQ(speechEntry().mode(), speech_type::kYell);
    EXPECT_EQ(windows.line, u"Yell: two_");
    speechEntry().onChar(0x11);
    EXPECT_EQ(speechEntry().text(), u"two") << "the key's own control character is dropped";
    EXPECT_TRUE(press('Q'));
    EXPECT_EQ(speechEntry().text(), u"one");
    EXPECT_EQ(speechEntry().mode(), speech_type::kSay);
    EXPECT_TRUE(press('Q'));
    EXPECT_EQ(speechEntry().text(), u"two") << "before the first comes the last";
    EXPECT_TRUE(press('W'));
    EXPECT_EQ(speechEntry().text(), u"one") << "past the last comes the first";
    // Where the window system makes no character for the chord, the next
    // typed character is kept.
    speechEntry().onChar(u'!');
    EXPECT_EQ(speechEntry().text(), u"one!");
}

TEST_F(SpeechTest, HistoryKeepsTheLast50Lines)
{
    for (int i = 0; i < 52; ++i)
        type(u"line" + std::u16string(1, char16_t(u'A' + i % 26)) + u"\r");
    EXPECT_EQ(speechEntry().historyCount(), SpeechEntry::kHistorySize);
    speechEntry().onKeyDown(vk::letter('Q'), true, false, 0);
    EXPECT_EQ(speechEntry().text(), u"lineZ") << "the 52nd line (index 51) overwrote slot 1";
    speechEntry().onKeyDown(vk::letter('Q'), true, false, 0);
    EXPECT_EQ(speechEntry().text(), u"lineY");
    speechEntry().onKeyDown(vk::letter('Q'), true, false, 0);
    EXPECT_EQ(speechEntry().text(), u"lineX") << "slot 49 holds the 50th line";
}

TEST_F(SpeechTest, KeysWalkAndLeaveTheRestToTheCharacters)
{
    SpeechEntry& entry = speechEntry();
    const uint16_t keys[] = { vk::kUp, vk::kPageUp, vk::kRight, vk::kPageDown, vk::kDown, vk::kEnd, vk::kLeft,
        vk::kHome };
    for (uint16_t key : keys)
        EXPECT_TRUE(entry.onKeyDown(key, false, false, 0));
    EXPECT_EQ(walking.directions, (std::vector<int32_t> { 0, 1, 2, 3, 4, 5, 6, 7 }));
    EXPECT_TRUE(entry.onKeyDown(vk::letter('Q'), false, false, 0)) << "plain Q waits for its character";
    EXPECT_TRUE(entry.onKeyDown(vk::letter('V'), false, false, 0));
    EXPECT_FALSE(entry.onKeyDown(vk::letter('A'), false, false, 0));
    EXPECT_FALSE(entry.onKeyDown(vk::letter('S'), false, true, 0)) << "Alt+S belongs to the window";
    EXPECT_FALSE(entry.onKeyDown(vk::kTab, false, true, 0));

    installGameState(nullptr);
    EXPECT_TRUE(entry.onKeyDown(vk::kUp, false, false, 0)) << "out of the world every key is swallowed";
    EXPECT_EQ(walking.directions.size(), 8u);
    type(u"abc");
    EXPECT_EQ(entry.text(), u"") << "and nothing is typed";
}

} // namespace
} // namespace test
