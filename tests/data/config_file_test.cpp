#include "data/config_file.h"
#include "data/client_services.h"

#include "fixtures/client_directory.h"
#include "fixtures/text_file_writer.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "support/hang_guard.h"
#include "support/recording_notices.h"
#include "support/temp_dir.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <gtest/gtest.h>
#include <vector>

namespace {

// ---- Grammar -------------------------------------------------------------------

struct GrammarCase {
    const char* label;
    const char* line;
    bool hasKey;
    const char* key;
    const char* value;
};

class ConfigLineGrammar : public ::testing::TestWithParam<GrammarCase> { };

TEST_P(ConfigLineGrammar, SplitsKeyAndValue)
{
    const GrammarCase& c = GetParam();
    std::string_view key;
    std::string_view value;
    ASSERT_EQ(parseConfigLine(c.line, key, value), c.hasKey);
    if (!c.hasKey)
        return;
    EXPECT_EQ(key, c.key);
    EXPECT_EQ(value, c.value);
}

const GrammarCase kGrammarCases[] = {
    { "Plain", "Sound=on", true, "Sound", "on" },
    { "BlanksInsideTheValueStay", "PlayerName=Some Name", true, "PlayerName", "Some Name" },
    { "BlanksAroundEqualsKeepTheEquals", "Sound = on", true, "Sound", "= on" },
    { "LeadingBlanksSkipped", " \t\fSound=on", true, "Sound", "on" },
    { "TabSeparator", "Sound\ton", true, "Sound", "on" },
    { "ValueEndsAtTab", "Sound=\ton\tmore", true, "Sound", "on" },
    { "EmptyValue", "Sound=", true, "Sound", "" },
    { "KeyOnly", "Sound", true, "Sound", "" },
    { "LeadingEqualsSkipped", "=Sound=on", true, "Sound", "on" },
    { "SeparatorLine", ";------------------------------", true, ";------------------------------", "" },
    { "Blank", "  \t ", false, "", "" },
    { "Empty", "", false, "", "" },
};

INSTANTIATE_TEST_SUITE_P(Cases, ConfigLineGrammar, ::testing::ValuesIn(kGrammarCases),
    [](const ::testing::TestParamInfo<GrammarCase>& entry) { return std::string(entry.param.label); });

TEST(ConfigKeys, NamesMatchWithoutRegardToCase)
{
    EXPECT_EQ(findConfigKey("sound"), ConfigKeyKind::Sound);
    EXPECT_EQ(findConfigKey("USE565"), ConfigKeyKind::Use565);
    EXPECT_EQ(findConfigKey("IgnoreAllianceChat"), ConfigKeyKind::IgnoreAllianceChat);
    EXPECT_FALSE(findConfigKey("Foo").has_value());
    EXPECT_STREQ(configKeyName(ConfigKeyKind::Use565), "use565");
    EXPECT_STREQ(configKeyName(ConfigKeyKind::CdRomDataPath), "CdRomDataPath");
}

struct LineCase {
    const char* label;
    std::string bytes;
    std::vector<std::string> lines;
};

class TextLines : public ::testing::TestWithParam<LineCase> { };

TEST_P(TextLines, EndAtAnyLineEndAndAreCut)
{
    test::TempDir root;
    FILE* stream = std::fopen(root.write("lines.txt", GetParam().bytes).c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    std::vector<std::string> lines;
    std::string line;
    while (readTextLine(stream, line))
        lines.push_back(line);
    std::fclose(stream);
    EXPECT_EQ(lines, GetParam().lines);
}

const LineCase kLineCases[] = {
    { "CrLf", "a\r\nb\r\n", { "a", "b" } },
    { "LfCr", "a\n\rb", { "a", "b" } },
    { "Cr", "a\rb\r", { "a", "b" } },
    { "TwoLfAreTwoLines", "a\n\nb", { "a", "", "b" } },
    { "CrCrAreTwoLines", "a\r\rb", { "a", "", "b" } },
    { "NoFinalLineEnd", "a\r\nlast", { "a", "last" } },
    { "LongLineCutRestDropped", std::string(300, 'x') + "\r\nnext", { std::string(254, 'x'), "next" } },
    { "Empty", "", {} },
};

INSTANTIATE_TEST_SUITE_P(Cases, TextLines, ::testing::ValuesIn(kLineCases),
    [](const ::testing::TestParamInfo<LineCase>& entry) { return std::string(entry.param.label); });

// ---- Reading -------------------------------------------------------------------

// Boxes on standard error, where a death test can see them.
class StandardErrorBoxes final : public platform::MessageBoxSink {
public:
    void show(const std::string& caption, const std::string& text, platform::MessageBoxIcon) override
    {
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    }
};

class RecordingRules : public ConfigKeyRules {
public:
    void applyConfigKey(ConfigKeyKind kind, const std::string& value, bool perCharacter) override
    {
        applied.push_back(std::string(configKeyName(kind)) + "=" + value + (perCharacter ? " (pc)" : ""));
    }
    bool isServerStoredMode() override { return serverStored; }
    void resetSettingsToDefaults() override { applied.push_back("reset"); }
    void switchObscenityFilterOff() override { applied.push_back("filter off"); }

    bool serverStored = false;
    std::vector<std::string> applied;
};

class ConfigFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_files.setRules(&m_rules);
        // Not a first play: the obscenity rule stays out of the way.
        m_files.setLoginCount(5);
    }
    void chooseCharacter()
    {
        m_files.setAccountName("acct");
        m_files.setShardName("Shard One");
        m_files.setCharacterName("Hero");
    }
    std::string characterDirectory() const { return "Desktop/acct/Shard One/Hero"; }

    fixture::ClientDirectory m_client;
    RecordingRules m_rules;
    ConfigFiles m_files;
};

TEST_F(ConfigFilesTest, ReadsEveryKnownKeyInOrder)
{
    m_client.write("login.cfg",
        fixture::textLines({ "sound=ON", "Foo=bar", "Music=", "LoginServer=login.example.net,7775", "",
                               ";------------------------------", "Sound = on", std::string(260, 'x') },
            "\n", false));
    EXPECT_TRUE(m_files.readConfigFile("login.cfg", false));
    EXPECT_EQ(
        m_rules.applied, (std::vector<std::string> { "Sound=ON", "LoginServer=login.example.net,7775", "Sound== on" }));
    EXPECT_FALSE(m_files.readConfigFile("missing.cfg", false));
}

TEST_F(ConfigFilesTest, APerCharacterCopyCannotChangeAccountKeys)
{
    chooseCharacter();
    m_client.write("vo.cfg", "Sound=program\r\n");
    m_client.write(characterDirectory() + "/VO.CFG",
        fixture::textLines({ "AcctPassword=secret", "ClientLogin=9", "TranslationServer=on", "FullScreen=on",
            "NextLoginKey=1", "Sound=character" }));
    EXPECT_TRUE(m_files.readConfigFile("ignored", true));
    EXPECT_EQ(m_rules.applied, (std::vector<std::string> { "Sound=character (pc)" }));

    // Settings stored on the server: the shared copy, after the defaults, and
    // full screen is taken from it.
    m_rules.applied.clear();
    m_rules.serverStored = true;
    m_client.write("Desktop/common/vo.cfg", fixture::textLines({ "FullScreen=on", "AcctPassword=secret" }));
    EXPECT_TRUE(m_files.readConfigFile("ignored", true));
    EXPECT_EQ(m_rules.applied, (std::vector<std::string> { "reset", "FullScreen=on (pc)" }));
}

TEST_F(ConfigFilesTest, AMissingCharacterCopyFallsBackToTheProgramFile)
{
    chooseCharacter();
    m_client.write("vo.cfg", fixture::textLines({ "Sound=program", "AcctPassword=secret" }));
    EXPECT_TRUE(m_files.readConfigFile("ignored", true));
    // The per-character rules stay in force for the program file.
    EXPECT_EQ(m_rules.applied, (std::vector<std::string> { "Sound=program (pc)" }));

    m_rules.applied.clear();
    m_files.setCharacterName("");
    EXPECT_TRUE(m_files.readConfigFile("ignored", true));
    EXPECT_EQ(m_rules.applied, (std::vector<std::string> { "Sound=program (pc)", "AcctPassword=secret (pc)" }));
}

TEST_F(ConfigFilesTest, AFirstPlaySwitchesTheObscenityFilterOffOnce)
{
    m_client.write("vo.cfg", "Sound=on\r\n");
    m_files.setLoginCount(1);
    EXPECT_TRUE(m_files.readConfigFile("vo.cfg", false));
    EXPECT_TRUE(m_files.readConfigFile("vo.cfg", false));
    // The second read finds the line the first one wrote, and nothing more.
    EXPECT_EQ(
        m_rules.applied, (std::vector<std::string> { "Sound=on", "filter off", "Sound=on", "ObscenityFilter=off" }));
    EXPECT_EQ(m_client.read("vo.cfg"), "Sound=on\r\nObscenityFilter=off\r\n");
}

// ---- Writing, byte for byte -------------------------------------------------------

struct RewriteCase {
    const char* label;
    std::string before;
    ConfigKeyKind kind;
    const char* value;
    bool forgetAccountPassword;
    std::string after;
};

class GlobalRewrite : public ConfigFilesTest, public ::testing::WithParamInterface<RewriteCase> { };

TEST_P(GlobalRewrite, ChangesOneLineAndKeepsEveryOtherByte)
{
    const RewriteCase& c = GetParam();
    m_client.write("vo.cfg", c.before);
    m_files.setForgetAccountPassword(c.forgetAccountPassword);
    m_files.setConfigValueGlobal(c.kind, c.value);
    EXPECT_EQ(m_client.read("vo.cfg"), c.after);
}

const std::string kFixture = "Sound = on\r\nFoo=bar\r\nMusicVol=200";

const RewriteCase kRewriteCases[] = {
    { "InPlace", kFixture, ConfigKeyKind::Sound, "off", false, "Sound=off\r\nFoo=bar\r\nMusicVol=200" },
    { "LastLineWithoutLineEnd", kFixture, ConfigKeyKind::MusicVol, "100", false,
        "Sound = on\r\nFoo=bar\r\nMusicVol=100\r\n" },
    { "AppendAfterLastLineWithoutLineEnd", kFixture, ConfigKeyKind::Music, "on", false,
        "Sound = on\r\nFoo=bar\r\nMusicVol=200\r\nMusic=on\r\n" },
    { "AppendAfterLineEnd", "Foo=bar\n", ConfigKeyKind::Music, "on", false, "Foo=bar\nMusic=on\r\n" },
    { "KeyNamedAnyCaseWrittenAsInTable", "a\r\nmusicvol=1\r\nb\r\n", ConfigKeyKind::MusicVol, "2", false,
        "a\r\nMusicVol=2\r\nb\r\n" },
    { "OtherLineEndsKept", "A=1\n\rFoo=bar\rSound=on\n\rTail", ConfigKeyKind::Sound, "off", false,
        "A=1\n\rFoo=bar\rSound=off\r\nTail" },
    { "FirstOfTwoReplaced", "Sound=a\r\nSound=b\r\n", ConfigKeyKind::Sound, "c", false, "Sound=c\r\nSound=b\r\n" },
    { "AccountKeyRemoved", "AcctID=me\r\nAcctPassword=xyz\nSound=on\r\n", ConfigKeyKind::AcctPassword, "", true,
        "AcctID=me\r\nSound=on\r\n" },
    { "AbsentAccountKeyNotAppended", "AcctID=me\r\n", ConfigKeyKind::NumPassTries, "-1", true, "AcctID=me\r\n" },
    { "AccountKeyKeptWithoutForget", "AcctPassword=xyz\r\n", ConfigKeyKind::AcctPassword, "abc", false,
        "AcctPassword=abc\r\n" },
    { "EmptyFile", "", ConfigKeyKind::Sound, "on", false, "Sound=on\r\n" },
};

INSTANTIATE_TEST_SUITE_P(Cases, GlobalRewrite, ::testing::ValuesIn(kRewriteCases),
    [](const ::testing::TestParamInfo<RewriteCase>& entry) { return std::string(entry.param.label); });

TEST_F(ConfigFilesTest, AMissingProgramFileIsCreatedInTheClientDirectory)
{
    m_files.setConfigValueGlobal(ConfigKeyKind::ClientFirstLaunch, "no");
    EXPECT_EQ(m_client.read("vo.cfg"), "ClientFirstLaunch=no\r\n");
}

TEST_F(ConfigFilesTest, ARewriteLeavesNoOtherFileBehind)
{
    m_client.write("vo.cfg", kFixture);
    m_files.setConfigValueGlobal(ConfigKeyKind::Sound, "off");
    m_files.setConfigValueGlobal(ConfigKeyKind::Music, "on");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_client.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string> { "vo.cfg" });
}

TEST_F(ConfigFilesTest, ARewriteReplacesTheFileInsteadOfTruncatingIt)
{
    // A second name for the old file: a rewrite in place would change what it
    // reads, while a whole new file renamed over the old one leaves it as it
    // was, which is what keeps a crash halfway from losing the settings.
    std::string file = m_client.write("vo.cfg", kFixture);
    std::filesystem::create_hard_link(file, m_client.path() + "/old.cfg");
    m_files.setConfigValueGlobal(ConfigKeyKind::Sound, "off");
    m_files.setConfigValueGlobal(ConfigKeyKind::Music, "on");
    EXPECT_EQ(m_client.read("old.cfg"), kFixture);
    EXPECT_EQ(m_client.read("vo.cfg"), "Sound=off\r\nFoo=bar\r\nMusicVol=200\r\nMusic=on\r\n");
}

// A disk with little room left: for as long as it lives, no file may grow
// past 1 KiB (a limit that binds root too, whom a read-only folder would not
// stop).
class FullDisk {
public:
    static constexpr rlim_t kRoom = 1024;
    FullDisk()
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tight = m_previous;
        tight.rlim_cur = kRoom;
        setrlimit(RLIMIT_FSIZE, &tight);
    }
    ~FullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousSignal);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit m_previous {};
    void (*m_previousSignal)(int) = nullptr;
};

TEST_F(ConfigFilesTest, AFailedSaveKeepsTheOldFileAndSaysSo)
{
    // Settings longer than the room left.
    const std::string settingsText = kFixture + "\r\n" + std::string(2 * FullDisk::kRoom, ';');
    m_client.write("vo.cfg", settingsText);
    test::RecordingNotices notices;
    WindowNotices* previous = installWindowNotices(&notices);
    testing::internal::CaptureStderr();
    {
        FullDisk full;
        m_files.setConfigValueGlobal(ConfigKeyKind::Sound, "off");
    }
    const std::string errors = testing::internal::GetCapturedStderr();
    installWindowNotices(previous);
    EXPECT_EQ(m_client.read("vo.cfg"), settingsText);
    const std::string said = "Could not save vo.cfg; the file was left as it was.";
    EXPECT_EQ(notices.messages, std::vector<std::string> { said });
    EXPECT_NE(errors.find(said), std::string::npos) << errors;
}

// A settings file kept elsewhere and linked into the client directory stays
// linked after a rewrite, and the file it names has the new line.
TEST_F(ConfigFilesTest, ARewriteThroughASymbolicLinkKeepsTheLink)
{
    std::string kept = m_client.root().write("kept/vo.cfg", kFixture);
    std::string link = m_client.path() + "/vo.cfg";
    std::filesystem::create_directories(m_client.path());
    std::filesystem::create_symlink(kept, link);
    m_files.setConfigValueGlobal(ConfigKeyKind::Sound, "off");
    m_files.setConfigValueGlobal(ConfigKeyKind::Music, "on");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(test::TempDir::read(kept), "Sound=off\r\nFoo=bar\r\nMusicVol=200\r\nMusic=on\r\n");
}

// A named pipe (or anything but a regular file) in place of a settings file
// is a file that cannot be opened, found out at once instead of blocking the
// start for ever.
TEST_F(ConfigFilesTest, APipeInPlaceOfASettingsFileCannotBeOpened)
{
    test::HangGuard guard(10);
    std::filesystem::create_directories(m_client.path());
    ASSERT_EQ(mkfifo((m_client.path() + "/vo.cfg").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((m_client.path() + "/login.cfg").c_str(), 0600), 0);
    std::filesystem::create_directories(m_client.path() + "/servers.cfg");
    EXPECT_FALSE(m_files.readConfigFile("vo.cfg", true));
    EXPECT_FALSE(m_files.readConfigFile("login.cfg", false));
    EXPECT_FALSE(m_files.readConfigFile("servers.cfg", false));
    std::string value;
    EXPECT_FALSE(m_files.lookupConfigValue(ConfigKeyKind::Sound, value));
    EXPECT_TRUE(m_rules.applied.empty());
}

using ConfigFilesDeathTest = ConfigFilesTest;

// When the file to write is a pipe the write cannot be made: the stop names
// the file instead of showing an empty box.
TEST_F(ConfigFilesDeathTest, AWriteThatFindsAPipeStopsWithItsName)
{
    std::filesystem::create_directories(m_client.path());
    ASSERT_EQ(mkfifo((m_client.path() + "/vo.cfg").c_str(), 0600), 0);
    EXPECT_EXIT(
        {
            test::HangGuard guard(10);
            StandardErrorBoxes boxes;
            platform::ScopedMessageBoxSink sink(boxes);
            m_files.setConfigValueGlobal(ConfigKeyKind::Sound, "off");
        },
        ::testing::ExitedWithCode(1), "\\[fatal: \\] The settings file vo.cfg cannot be written");
}

TEST_F(ConfigFilesTest, TheFirstCharacterWriteCopiesTheProgramFile)
{
    chooseCharacter();
    m_client.write("vo.cfg", kFixture);
    platform::makeDirectories(m_client.path() + "/" + characterDirectory());
    m_files.setConfigValue(ConfigKeyKind::Sound, "off");
    EXPECT_EQ(m_client.read(characterDirectory() + "/vo.cfg"), "Sound=off\r\nFoo=bar\r\nMusicVol=200");
    EXPECT_EQ(m_client.read("vo.cfg"), kFixture);

    // Account keys are removed from the character's copy.
    m_client.write(characterDirectory() + "/vo.cfg", "AcctPassword=x\r\nSound=off\r\n");
    m_files.setConfigValue(ConfigKeyKind::AcctPassword, "y");
    EXPECT_EQ(m_client.read(characterDirectory() + "/vo.cfg"), "Sound=off\r\n");
}

TEST_F(ConfigFilesTest, WithoutTheCharacterFolderTheProgramFileIsWritten)
{
    chooseCharacter();
    m_client.write("vo.cfg", kFixture);
    m_files.setConfigValue(ConfigKeyKind::Music, "on");
    EXPECT_EQ(m_client.read("vo.cfg"), kFixture + "\r\nMusic=on\r\n");
}

TEST_F(ConfigFilesTest, LookupTakesTheFirstWordOfTheLastLine)
{
    m_client.write("vo.cfg", fixture::textLines({ "UserLanguageCodeString=DEU", "UserLanguageCodeString=ENU x" }));
    std::string value = "kept";
    EXPECT_TRUE(m_files.lookupConfigValue(ConfigKeyKind::UserLanguageCodeString, value));
    EXPECT_EQ(value, "ENU");
    EXPECT_FALSE(m_files.lookupConfigValue(ConfigKeyKind::Sound, value));
    EXPECT_EQ(value, "ENU");

    chooseCharacter();
    m_client.write(characterDirectory() + "/vo.cfg", "UserLanguageCodeString=FRA\r\n");
    EXPECT_TRUE(m_files.lookupConfigValue(ConfigKeyKind::UserLanguageCodeString, value));
    EXPECT_EQ(value, "FRA");
}

// ---- Names in paths -------------------------------------------------------------

struct PathCase {
    const char* label;
    const char* account;
    const char* shard;
    const char* character;
    const char* expected; // null: no per-character path
};

class PerCharacterPath : public ::testing::TestWithParam<PathCase> { };

TEST_P(PerCharacterPath, NoNameLeadsOutOfTheDesktopFolder)
{
    const PathCase& c = GetParam();
    ConfigFiles files;
    files.setAccountName(c.account);
    files.setShardName(c.shard);
    files.setCharacterName(c.character);
    std::optional<std::string> path = files.perCharacterPath("vo.cfg");
    if (!c.expected) {
        EXPECT_FALSE(path.has_value()) << *path;
        return;
    }
    EXPECT_EQ(path.value_or("?"), c.expected);
}

const PathCase kPathCases[] = {
    { "Plain", "acct", "Shard One", "Hero", "Desktop/acct/Shard One/Hero/vo.cfg" },
    { "ShardClimbsOut", "acct", "../../../etc", "Hero", "Desktop/acct/etc_/Hero/vo.cfg" },
    { "AccountWithSeparators", "a/b\\c", "Shard", "Hero", "Desktop/a_b_c_/Shard/Hero/vo.cfg" },
    { "ShardDotDot", "acct", "..", "Hero", nullptr },
    { "CharacterDot", "acct", "Shard", ".", nullptr },
    { "AccountDotDot", "..", "Shard", "Hero", nullptr },
    { "NoShard", "acct", "", "Hero", nullptr },
    { "NoCharacter", "acct", "Shard", "", nullptr },
    { "CharacterCutAt29", "acct", "Shard", "abcdefghijklmnopqrstuvwxyz0123456789",
        "Desktop/acct/Shard/abcdefghijklmnopqrstuvwxyz012/vo.cfg" },
    { "TrailingBlank", "acct", "Shard ", "Hero ", "Desktop/acct/Shard_/Hero_/vo.cfg" },
};

INSTANTIATE_TEST_SUITE_P(Cases, PerCharacterPath, ::testing::ValuesIn(kPathCases),
    [](const ::testing::TestParamInfo<PathCase>& entry) { return std::string(entry.param.label); });

TEST_F(ConfigFilesTest, AServerSentShardNameCannotPlaceAFileOutsideTheClient)
{
    m_files.setAccountName("acct");
    m_files.setShardName("../..");
    m_files.setCharacterName("Hero");
    m_client.write("vo.cfg", "Sound=on\r\n");
    m_files.setConfigValue(ConfigKeyKind::Sound, "off");
    EXPECT_EQ(m_client.read("vo.cfg"), "Sound=off\r\n");
}

} // namespace
