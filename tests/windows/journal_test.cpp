// The journal: the 100-line list and the views that follow it, suppression,
// the prefixes the text windows give speech lines, the journal file in both
// of its forms, and the system messages that feed it.

#include "data/config_file.h"
#include "data/server_config_store.h"
#include "fixtures/client_directory.h"
#include "speech_fixture.h"
#include "support/temp_dir.h"
#include "world/overhead_texts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace test {
namespace {

// A view that shows the journal from a first visible line on, as the journal
// windows do.
class FollowingView final : public JournalView {
public:
    void journalLineDropping(const JournalEntry& entry) override
    {
        ++dropped;
        if (firstVisible == entry.sequence)
            firstVisible = entry.sequence + 1;
    }
    void journalLineAdded(const JournalEntry& entry) override
    {
        ++added;
        lastAdded = entry.sequence;
    }
    uint64_t firstVisible = 0;
    uint64_t lastAdded = 0;
    int dropped = 0;
    int added = 0;
};

class JournalTest : public SpeechTest {
protected:
    void TearDown() override
    {
        journal().closeFile();
        SpeechTest::TearDown();
    }
    void saveTo(const std::string& path, bool sixteenBit)
    {
        settingsKeyRules().applyConfigKey(ConfigKeyKind::JournalSaveFile, path, false);
        settingsKeyRules().applyConfigKey(ConfigKeyKind::JournalSaveUnicode, sixteenBit ? "on" : "off", false);
    }
    TempDir m_dir;
};

TEST_F(JournalTest, The101stLineDropsTheOldestAndMovesTheViewOn)
{
    FollowingView view;
    journal().addView(&view);
    for (int i = 0; i < 100; ++i)
        journal().addText("line " + std::to_string(i), uint16_t(i));
    view.firstVisible = journal().entries().front().sequence;
    uint64_t second = journal().entries()[1].sequence;
    journal().addTextWide(u"line 100", 0x1234);
    journal().removeView(&view);
    EXPECT_EQ(journal().entries().size(), kMaxJournalEntries);
    EXPECT_EQ(journal().entries().front().narrow, "line 1");
    EXPECT_EQ(journal().entries().back().text, u"line 100");
    EXPECT_EQ(journal().entries().back().hue, 0x1234);
    EXPECT_EQ(view.firstVisible, second);
    EXPECT_EQ(view.dropped, 1);
    EXPECT_EQ(view.added, 101);
    EXPECT_EQ(journal().find(second - 1), nullptr);
    ASSERT_NE(journal().find(second), nullptr);
    EXPECT_EQ(journal().find(second)->narrow, "line 1");
}

TEST_F(JournalTest, SuppressedLinesGoNowhere)
{
    saveTo(m_dir.file("journal.txt"), false);
    FollowingView view;
    journal().addView(&view);
    {
        ScopedJournalSuppression replaying;
        EXPECT_TRUE(addSystemMessage(0, 3, "again"));
        journal().addTextWide(u"again", 0);
    }
    journal().removeView(&view);
    EXPECT_TRUE(journal().entries().empty());
    EXPECT_EQ(view.added, 0);
    EXPECT_EQ(TempDir::read(m_dir.file("journal.txt")), "");
    EXPECT_EQ(windows.texts.size(), 1u) << "the line is still shown";
    EXPECT_FALSE(journal().isSuppressed());
}

TEST_F(JournalTest, WindowTextsTakeThePrefixStateAndResetIt)
{
    journal().setPrefix(JournalPrefix::Speaker, std::string_view("Mira\0junk", 9));
    journal().addWindowText("hi", 0);
    journal().addWindowText("plain", 0);
    journal().setPrefix(JournalPrefix::YouSee);
    journal().addWindowTextWide(u"a bag", 0);
    EXPECT_EQ(journalLines(), (std::vector<std::string> { "Mira: hi", "plain", "You see: a bag" }));
    EXPECT_EQ(journal().speakerName(), "");
}

TEST_F(JournalTest, LinesAreBoundedInLength)
{
    journal().addText(std::string(5000, 'a'), 0);
    journal().addTextWide(std::u16string(5000, u'b'), 0);
    EXPECT_EQ(journal().entries()[0].narrow.size(), kMaxJournalLineLength);
    EXPECT_EQ(journal().entries()[1].text.size(), kMaxJournalLineLength);
}

struct FileCase {
    const char* name;
    bool sixteenBit;
    bool wide;
    std::u16string text;
    std::string bytes;
};

class JournalFileBytes : public testing::TestWithParam<FileCase> { };

TEST_P(JournalFileBytes, AreTheTextStreamsOrUtf16)
{
    const FileCase& c = GetParam();
    JournalEntry entry;
    entry.wide = c.wide;
    if (c.wide)
        entry.text = c.text;
    else
        for (char16_t unit : c.text)
            entry.narrow.push_back(char(unit));
    EXPECT_EQ(journalFileBytes(entry, c.sixteenBit), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(Lines, JournalFileBytes,
    testing::Values(FileCase { "EmptyEightBit", false, false, u"", std::string("\r\n") },
        FileCase { "EmptySixteenBit", true, false, u"", std::string("\r\0\n\0", 4) },
        FileCase { "EmptyWideSixteenBit", true, true, u"", std::string("\r\0\n\0", 4) },
        FileCase { "LineFeedsInsideBecomeCrLf", false, false, u"a\nb", std::string("a\r\nb\r\n") },
        FileCase { "SixteenBitKeepsLineFeedsAsTheyAre", true, false, u"a\nb",
            std::string("a\0\n\0b\0\r\0\n\0", 10) },
        FileCase { "HighCharactersDroppedInEightBit", false, true, u"caf\u00E9 \u4E00ok", std::string("caf ok\r\n") },
        FileCase { "HighCharactersKeptInSixteenBit", true, true, u"\u00E9\u4E00",
            std::string("\xE9\0\0\x4E\r\0\n\0", 8) },
        FileCase { "BytesWidenedInSixteenBit", true, false, u"\u00E9", std::string("\xE9\0\r\0\n\0", 6) }),
    [](const testing::TestParamInfo<FileCase>& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(JournalTest, EveryLineIsAppendedToTheFileAsItArrives)
{
    std::string path = m_dir.file("journal.txt");
    m_dir.write("journal.txt", "earlier\r\n");
    saveTo(path, false);
    addSystemMessage(0, 3, "Welcome");
    journal().addTextWide(u"", 0);
    EXPECT_EQ(TempDir::read(path), "earlier\r\nWelcome\r\n\r\n");
}

TEST_F(JournalTest, TheFileStaysTheOneFirstOpened)
{
    std::string first = m_dir.file("first.txt");
    saveTo(first, true);
    journal().addText("a", 0);
    saveTo(m_dir.file("second.txt"), true);
    journal().addText("b", 0);
    EXPECT_EQ(TempDir::read(first), std::string("a\0\r\0\n\0b\0\r\0\n\0", 12));
    EXPECT_FALSE(std::filesystem::exists(m_dir.file("second.txt")));
}

TEST_F(JournalTest, AFileThatCannotBeOpenedIsTriedAgainWithTheNextLine)
{
    std::string path = m_dir.file("later/journal.txt");
    saveTo(path, false);
    journal().addText("lost", 0);
    EXPECT_EQ(journal().entries().size(), 1u) << "the list keeps the line";
    std::filesystem::create_directory(m_dir.file("later"));
    journal().addText("kept", 0);
    EXPECT_EQ(TempDir::read(path), "kept\r\n");
}

// Saving is on exactly when a journal file was named: a per-character
// settings read in server-stored mode puts every setting back to its default,
// SaveJournal with them, before the first line is written.
TEST_F(JournalTest, APerCharacterSettingsReadKeepsSaving)
{
    std::string path = m_dir.file("journal.txt");
    saveTo(path, false);
    ConfigFiles files;
    files.setRules(&settingsKeyRules());
    files.setShardName("Shard");
    files.setCharacterName("Hero");
    serverConfigStore().setEnabled(true);
    files.readConfigFile("vo.cfg", true);
    serverConfigStore().setEnabled(false);
    ASSERT_EQ(m_settings.getBoolSetting(u"SaveJournal"), 0) << "the read put the settings back to defaults";
    journal().addText("in the world", 0);
    EXPECT_EQ(TempDir::read(path), "in the world\r\n");
}

TEST_F(JournalTest, NoFileWithoutAName)
{
    m_settings.setBoolSetting(u"SaveJournal", 1);
    journal().addText("nowhere", 0);
    EXPECT_EQ(journal().entries().size(), 1u);
}

TEST_F(JournalTest, ASystemMessageInAnUnloadedFontShowsAndJournalsNothing)
{
    EXPECT_FALSE(addSystemMessage(0, 5, "lost"));
    EXPECT_TRUE(windows.texts.empty());
    EXPECT_TRUE(journal().entries().empty());
    EXPECT_TRUE(addSystemMessage(33, 3, "shown"));
    ASSERT_EQ(windows.texts.size(), 1u);
    EXPECT_EQ(windows.texts[0].hue, 33);
    EXPECT_EQ(journal().entries()[0].hue, 33);
}

TEST_F(JournalTest, SystemMessagesOfEveryLayerComeHere)
{
    windowNotices().addSystemMessage(0, 3, "from below");
    EXPECT_EQ(journalLines(), (std::vector<std::string> { "from below" }));
}

TEST_F(JournalTest, TheOtherWindowNoticesStayWithTheServiceBefore)
{
    class Recording final : public WindowNotices {
    public:
        void addSystemMessage(uint16_t, uint16_t, std::string_view) override { ++messages; }
        void showWaitingBox(std::string_view) override { ++boxes; }
        void clearAbilityIcons() override { }
        void showPlayerWarMode(bool) override { }
        void clearPlacementPreview() override { }
        void reloadSkillGroups() override { }
        void reloadMacros() override { ++reloads; }
        int messages = 0;
        int boxes = 0;
        int reloads = 0;
    } recording;
    uninstallSystemTextServices();
    WindowNotices* before = installWindowNotices(&recording);
    installSystemTextServices();
    windowNotices().showWaitingBox("wait");
    windowNotices().reloadMacros();
    windowNotices().addSystemMessage(0, 3, "mine");
    uninstallSystemTextServices();
    installWindowNotices(before);
    installSystemTextServices();
    EXPECT_EQ(recording.boxes, 1);
    EXPECT_EQ(recording.reloads, 1);
    EXPECT_EQ(recording.messages, 0);
    EXPECT_EQ(journalLines(), (std::vector<std::string> { "mine" }));
}

TEST_F(JournalTest, TheWorldsTextsAreJournaledWithTheirPrefix)
{
    Mobile* speaker = addMobile(0x00000B01, kCentreX + 1, kCentreY);
    ASSERT_NE(speaker, nullptr);
    WorldMessages& messages = worldService<WorldMessages>();
    messages.prefixNextNameWithYouSee();
    showOverheadText(*speaker, "a horse", 0, 3, 0, false);
    showOverheadText(*speaker, "Now following.", 0, 3, 0, false);
    messages.addSystemMessage(u"It begins to rain.", 0, 3);
    EXPECT_EQ(journalLines(), (std::vector<std::string> { "You see: a horse", "Now following.", "It begins to rain." }));
    ASSERT_EQ(windows.texts.size(), 3u);
    EXPECT_EQ(windows.texts[0].kind, "ascii");
    EXPECT_EQ(windows.texts[2].kind, "unicode");
}

} // namespace
} // namespace test
