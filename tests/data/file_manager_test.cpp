#include "data/file_manager.h"

#include "platform/key_store.h"
#include "platform/message_box.h"
#include "support/hang_guard.h"
#include "support/temp_dir.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// The directory of this test program, as the manager reports it.
std::string moduleDir()
{
    return std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/";
}

// Open file descriptors of this process: tells whether a stream was really closed.
size_t openDescriptorCount()
{
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

// Fatal reports show a box; in a death test the box goes to standard error so
// the test can tell a fatal stop from a crash.
class StderrBoxSink final : public platform::MessageBoxSink {
public:
    void show(const std::string& caption, const std::string& text, platform::MessageBoxIcon) override
    {
        std::fprintf(stderr, "box [%s] [%s]\n", caption.c_str(), text.c_str());
    }
};

// A run with the client directory given by "-r" (root/run/) and the install
// path registered as root/install/, so the search paths are
// run/, install/client/, run/tutorial/, install/client/tutorial/.
class FileManagerTest : public ::testing::Test {
protected:
    FileManagerTest()
        : m_keyStore(m_root.file("registry.ini"))
        , m_previousStore(platform::installKeyStore(&m_keyStore))
    {
        m_keyStore.createKey(kProductKeyPath);
        m_keyStore.writeString(kProductKeyPath, "InstCDPath", installBase());
        std::filesystem::create_directories(clientDir());
        std::filesystem::create_directories(installClientDir());
    }
    ~FileManagerTest() override { platform::installKeyStore(m_previousStore); }

    std::string clientDir() const { return m_root.path() + "/run/"; }
    std::string installBase() const { return m_root.path() + "/install/"; }
    std::string installClientDir() const { return installBase() + "client/"; }

    void start()
    {
        std::string client = m_root.path() + "/run";
        const char* argv[] = { "vardun", "-r", client.c_str() };
        m_manager.init(3, argv);
    }

    std::string readStream(FILE* stream)
    {
        std::string content;
        char buffer[64];
        size_t got;
        while ((got = m_manager.read(buffer, 1, sizeof buffer, stream)) > 0)
            content.append(buffer, got);
        return content;
    }

    test::TempDir m_root;
    platform::KeyStore m_keyStore;
    platform::KeyStore* m_previousStore;
    FileManager m_manager;
};

TEST_F(FileManagerTest, SearchPathsComeInTheirFixedOrder)
{
    start();
    ASSERT_EQ(m_manager.searchPathCount(), 4u);
    EXPECT_EQ(m_manager.getSearchPath(0)->directory, clientDir());
    EXPECT_EQ(m_manager.getSearchPath(1)->directory, installClientDir());
    EXPECT_EQ(m_manager.getSearchPath(2)->directory, clientDir() + "tutorial/");
    EXPECT_EQ(m_manager.getSearchPath(3)->directory, installClientDir() + "tutorial/");
    EXPECT_EQ(m_manager.getSearchPath(4), nullptr);
    EXPECT_EQ(m_manager.getClientDir(), clientDir());
    EXPECT_EQ(m_manager.getInstallDir(), installClientDir());
}

TEST_F(FileManagerTest, TheFirstSearchPathHoldingANameWins)
{
    m_root.write("run/both.txt", "client");
    m_root.write("install/client/both.txt", "install");
    m_root.write("install/client/late.txt", "install");
    m_root.write("run/tutorial/late.txt", "tutorial");
    m_root.write("install/client/tutorial/last.txt", "install tutorial");
    start();
    for (auto [name, expected] : { std::pair { "both.txt", "client" }, { "late.txt", "install" },
             { "last.txt", "install tutorial" } }) {
        FILE* stream = m_manager.open(name, "rb");
        ASSERT_NE(stream, nullptr) << name;
        EXPECT_EQ(readStream(stream), expected) << name;
        m_manager.close(stream);
    }
}

TEST_F(FileManagerTest, WithoutTheOptionTheClientDirectoryIsTheProgramsOwn)
{
    const char* argv[] = { "vardun" };
    m_manager.init(1, argv);
    ASSERT_EQ(m_manager.searchPathCount(), 4u);
    EXPECT_EQ(m_manager.getClientDir(), moduleDir());
    EXPECT_EQ(m_manager.getSearchPath(1)->directory, installClientDir());
    EXPECT_EQ(m_manager.getSearchPath(2)->directory, moduleDir() + "tutorial/");
}

TEST_F(FileManagerTest, ReopeningForWritingWritesWhereTheNameWasFoundAndClosesTheFirstStream)
{
    m_root.write("install/client/vo.cfg", "Sound=on\n");
    start();
    size_t descriptorsBefore = openDescriptorCount();
    FILE* first = m_manager.open("vo.cfg", "r");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(m_manager.getFileSize(first), 9);
    FILE* second = m_manager.open("VO.CFG", "w");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore + 1);
    EXPECT_EQ(m_manager.write("Music=off\n", 1, 10, second), 10u);
    m_manager.close(second);
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore);

    EXPECT_EQ(test::TempDir::read(installClientDir() + "vo.cfg"), "Music=off\n");
    EXPECT_FALSE(std::filesystem::exists(clientDir() + "vo.cfg"));
    ASSERT_EQ(m_manager.openFiles().size(), 1u);
    EXPECT_EQ(m_manager.openFiles()[0].path, installClientDir() + "vo.cfg");
    EXPECT_FALSE(m_manager.openFiles()[0].open);
}

TEST_F(FileManagerTest, ANameFoundNowhereIsNotRecordedUntilWritingCreatesItInTheClientDirectory)
{
    start();
    EXPECT_EQ(m_manager.open("macros.txt", "r"), nullptr);
    EXPECT_TRUE(m_manager.openFiles().empty());

    FILE* stream = m_manager.open("macros.txt", "w");
    ASSERT_NE(stream, nullptr);
    m_manager.close(stream);
    EXPECT_TRUE(std::filesystem::exists(clientDir() + "macros.txt"));
    EXPECT_FALSE(std::filesystem::exists(installClientDir() + "macros.txt"));
    ASSERT_EQ(m_manager.openFiles().size(), 1u);
    EXPECT_EQ(m_manager.openFiles()[0].path, clientDir() + "macros.txt");
}

// Only regular files are opened: a pipe, a device or a directory under a
// file's name is passed over at once, like a name that is not there.
TEST_F(FileManagerTest, ANameThatIsNoRegularFileIsPassedOverAtOnce)
{
    test::HangGuard guard(10);
    ASSERT_EQ(mkfifo((clientDir() + "login.cfg").c_str(), 0600), 0);
    std::filesystem::create_directories(clientDir() + "fonts.mul");
    m_root.write("install/client/fonts.mul", "installed");
    start();
    EXPECT_EQ(m_manager.open("login.cfg", "rb"), nullptr);
    EXPECT_EQ(m_manager.openPath(clientDir() + "login.cfg", "rb"), nullptr);
    EXPECT_TRUE(m_manager.openFiles().empty());
    FILE* stream = m_manager.open("fonts.mul", "rb");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readStream(stream), "installed");
    m_manager.close(stream);
}

TEST_F(FileManagerTest, NamesMatchWhateverTheirCaseAndSeparators)
{
    m_root.write("run/Desktop/Common/VO.CFG", "x");
    m_root.write("install/client/Multicache.dat", "cache");
    start();

    FILE* stream = m_manager.open("desktop\\common\\vo.cfg", "r");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readStream(stream), "x");
    FILE* again = m_manager.open("Desktop/common/vo.cfg", "w");
    ASSERT_NE(again, nullptr);
    m_manager.write("y", 1, 1, again);
    m_manager.close(again);
    ASSERT_EQ(m_manager.openFiles().size(), 1u);
    EXPECT_EQ(test::TempDir::read(clientDir() + "Desktop/Common/VO.CFG"), "y");

    // A new file goes into the existing folders, whatever case the name gives them.
    FILE* created = m_manager.open("DESKTOP\\COMMON\\macros.txt", "w");
    ASSERT_NE(created, nullptr);
    m_manager.close(created);
    EXPECT_TRUE(std::filesystem::exists(clientDir() + "Desktop/Common/macros.txt"));

    std::vector<uint8_t> bytes;
    EXPECT_EQ(m_manager.readWhole("MULTICACHE.DAT", bytes), 5);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "cache");
}

TEST_F(FileManagerTest, ReadWholeGivesTheBytesAndClosesTheFile)
{
    m_root.write("run/empty.def", "");
    m_root.write("run/entitled.def", std::string("\x03\x00\x00\x80", 4));
    start();
    size_t descriptorsBefore = openDescriptorCount();

    std::vector<uint8_t> bytes { 1, 2, 3 };
    EXPECT_EQ(m_manager.readWhole("empty.def", bytes), 0);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(m_manager.readWhole("missing.def", bytes), 0);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(m_manager.readWhole("entitled.def", bytes), 4);
    EXPECT_EQ(bytes, (std::vector<uint8_t> { 0x03, 0x00, 0x00, 0x80 }));

    EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
    for (const OpenFileEntry& entry : m_manager.openFiles())
        EXPECT_FALSE(entry.open) << entry.name;
}

TEST_F(FileManagerTest, CloseLeavesAForeignStreamOpen)
{
    start();
    std::string path = m_root.file("foreign.txt");
    FILE* foreign = std::fopen(path.c_str(), "w");
    ASSERT_NE(foreign, nullptr);
    m_manager.close(foreign);
    m_manager.close(nullptr);
    EXPECT_GT(std::fputs("still open", foreign), 0);
    EXPECT_EQ(std::fclose(foreign), 0);
    EXPECT_EQ(test::TempDir::read(path), "still open");
}

TEST_F(FileManagerTest, AFailedReopenReturnsNullAndLeavesTheEntryClosed)
{
    m_root.write("install/client/tiledata.mul", "tiles");
    start();
    FILE* stream = m_manager.open("tiledata.mul", "rb");
    ASSERT_NE(stream, nullptr);
    std::filesystem::remove_all(installClientDir());

    EXPECT_EQ(m_manager.open("tiledata.mul", "r+b"), nullptr);
    EXPECT_EQ(m_manager.open("tiledata.mul", "wb"), nullptr);
    ASSERT_EQ(m_manager.openFiles().size(), 1u);
    EXPECT_FALSE(m_manager.openFiles()[0].open);
    EXPECT_EQ(m_manager.openFiles()[0].handle, nullptr);

    // The name stays bound to where it was found: once that folder is back,
    // writing goes there again and not to the client directory.
    std::filesystem::create_directories(installClientDir());
    FILE* rewritten = m_manager.open("tiledata.mul", "wb");
    ASSERT_NE(rewritten, nullptr);
    m_manager.close(rewritten);
    EXPECT_TRUE(std::filesystem::exists(installClientDir() + "tiledata.mul"));
    EXPECT_FALSE(std::filesystem::exists(clientDir() + "tiledata.mul"));
}

TEST_F(FileManagerTest, OpenPathRecordsThePathGivenAndReopensIt)
{
    start();
    std::string path = m_root.file("Journal.txt");
    FILE* stream = m_manager.openPath(path, "a+");
    ASSERT_NE(stream, nullptr);
    m_manager.write("one\n", 1, 4, stream);
    FILE* again = m_manager.openPath(path, "a+");
    ASSERT_NE(again, nullptr);
    m_manager.write("two\n", 1, 4, again);
    m_manager.close(again);
    EXPECT_EQ(test::TempDir::read(path), "one\ntwo\n");
    ASSERT_EQ(m_manager.openFiles().size(), 1u);
    EXPECT_EQ(m_manager.openFiles()[0].name, path);
    EXPECT_EQ(m_manager.openPath(m_root.file("no-such-folder/x.txt"), "r"), nullptr);
}

TEST_F(FileManagerTest, FindFileComposesWithoutASeparator)
{
    m_root.write("run/Map0.mul", "m");
    start();
    std::string directory = clientDir();
    EXPECT_EQ(m_manager.findFile(directory.c_str(), "map0.mul"), clientDir() + "Map0.mul");
    EXPECT_EQ(m_manager.findFile(directory.c_str(), "map1.mul"), std::nullopt);
    std::string withoutSeparator = m_root.path() + "/run";
    EXPECT_EQ(m_manager.findFile(withoutSeparator.c_str(), "map0.mul"), std::nullopt);
}

TEST_F(FileManagerTest, ShutdownLetsTheManagerStartAgain)
{
    m_root.write("run/hues.mul", "h");
    start();
    FILE* stream = m_manager.open("hues.mul", "rb");
    m_manager.close(stream);
    m_manager.addSearchPath(m_root.path() + "/extra");
    m_manager.shutdown();
    EXPECT_FALSE(m_manager.isInitialised());
    start();
    EXPECT_EQ(m_manager.searchPathCount(), 4u);
    EXPECT_TRUE(m_manager.openFiles().empty());
}

TEST_F(FileManagerTest, AnyOperationStartsTheManagerWithTheStoredCommandLine)
{
    m_manager.setCommandLine({ "-r", "data" });
    EXPECT_FALSE(m_manager.isInitialised());
    EXPECT_EQ(m_manager.open("nothing.txt", "r"), nullptr);
    EXPECT_TRUE(m_manager.isInitialised());
    EXPECT_EQ(m_manager.getSearchPath(0)->directory, "data/");
}

TEST_F(FileManagerTest, TheModuleDirectoryIsRefusedWhenTheBufferIsTooSmall)
{
    std::string expected = moduleDir();
    EXPECT_EQ(FileManager::getModuleDirAlloc(), expected);
    std::vector<char> exact(expected.size() + 1, 'x');
    EXPECT_EQ(FileManager::getModuleDir(exact.data(), exact.size()), exact.data());
    EXPECT_EQ(std::string(exact.data()), expected);
    std::vector<char> small(expected.size(), 'x');
    EXPECT_EQ(FileManager::getModuleDir(small.data(), small.size()), nullptr);
    EXPECT_EQ(small[0], '\0');
}

TEST_F(FileManagerTest, ARegistryValueThatDoesNotFitIsRefused)
{
    char buffer[16];
    m_keyStore.writeString(kProductKeyPath, "InstCDPath", std::string(15, 'a'));
    EXPECT_EQ(readProductRegistryValue("InstCDPath", buffer, sizeof buffer), buffer);
    EXPECT_EQ(std::string(buffer), std::string(15, 'a'));

    m_keyStore.writeString(kProductKeyPath, "InstCDPath", std::string(16, 'b'));
    EXPECT_EQ(readProductRegistryValue("InstCDPath", buffer, sizeof buffer), nullptr);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(readProductRegistryValue("noid", buffer, sizeof buffer), nullptr);
}

TEST_F(FileManagerTest, AnInstallPathWithNoRoomForTheClientFolderFallsBackToTheProgramsOwn)
{
    // 1017 characters and the "client/" after them would fill the 1024-byte
    // path buffer with no room for its terminator.
    std::string longPath = "/" + std::string(1015, 'p') + "/";
    ASSERT_EQ(longPath.size(), 1017u);
    m_keyStore.writeString(kProductKeyPath, "InstCDPath", longPath);
    start();
    EXPECT_EQ(m_manager.getInstallDir(), moduleDir() + "client/");
    EXPECT_EQ(m_manager.getSearchPath(1)->directory, moduleDir() + "client/");
}

TEST_F(FileManagerTest, AnInstallPathWithoutATrailingSeparatorGetsOne)
{
    m_keyStore.writeString(kProductKeyPath, "InstCDPath", m_root.path() + "\\install");
    start();
    EXPECT_EQ(m_manager.getInstallDir(), installClientDir());
}

TEST_F(FileManagerTest, AMissingInstallPathFallsBackToTheProgramsOwn)
{
    m_keyStore.writeString(kProductKeyPath, "InstCDPath", "");
    start();
    EXPECT_EQ(m_manager.getInstallDir(), moduleDir() + "client/");
}

using FileManagerDeathTest = FileManagerTest;

TEST_F(FileManagerDeathTest, ATenthSearchPathIsFatal)
{
    start();
    for (int i = 0; i < 5; ++i)
        m_manager.addSearchPath(m_root.path() + "/extra" + std::to_string(i));
    EXPECT_EQ(m_manager.searchPathCount(), 9u);
    EXPECT_DEATH(
        {
            StderrBoxSink sink;
            platform::ScopedMessageBoxSink guard(sink);
            m_manager.addSearchPath(m_root.path() + "/tenth");
        },
        "box \\[fatal: \\] \\[The folder .*/tenth cannot be searched for game files: at most 9 folders");
}

// A data directory too long for its tutorial folder is refused by name, with
// the limit, rather than with an empty box about a folder the player never
// gave.
TEST_F(FileManagerDeathTest, ADataDirectoryTooLongForItsFoldersIsNamed)
{
    std::string longest = "/" + std::string(500, 'd');
    FileManager fits;
    const char* argvFits[] = { "vardun", "-r", longest.c_str() };
    fits.init(3, argvFits);
    EXPECT_EQ(fits.getSearchPath(2)->directory, longest + "/tutorial/");
    std::string tooLong = longest + "d";
    auto startTooLong = [this, &tooLong] {
        const char* argv[] = { "vardun", "-r", tooLong.c_str() };
        m_manager.init(3, argv);
    };
    EXPECT_DEATH(
        {
            StderrBoxSink sink;
            platform::ScopedMessageBoxSink guard(sink);
            startTooLong();
        },
        "box \\[fatal: \\] \\[The data directory path is too long: 503 characters with its closing '/', and at "
        "most 502 can be used.\n/d+/\nStart the client with -r DIR");
}

TEST_F(FileManagerDeathTest, AnOverlongSearchPathIsFatal)
{
    start();
    m_manager.addSearchPath(std::string(511, 'd'));
    EXPECT_DEATH(
        {
            StderrBoxSink sink;
            platform::ScopedMessageBoxSink guard(sink);
            m_manager.addSearchPath(std::string(512, 'd'));
        },
        "box \\[fatal: \\] \\[The folder d+ cannot be searched for game files: its path is 512 characters long");
}

TEST_F(FileManagerDeathTest, RecordingMoreThan999NamesIsFatal)
{
    start();
    for (size_t i = 0; i < FileManager::kMaxOpenFiles; ++i) {
        FILE* stream = m_manager.open("f" + std::to_string(i), "w");
        ASSERT_NE(stream, nullptr) << i;
        m_manager.close(stream);
    }
    EXPECT_EQ(m_manager.openFiles().size(), FileManager::kMaxOpenFiles);
    // Names already recorded still open.
    FILE* again = m_manager.open("f0", "r");
    EXPECT_NE(again, nullptr);
    m_manager.close(again);
    EXPECT_DEATH(
        {
            StderrBoxSink sink;
            platform::ScopedMessageBoxSink guard(sink);
            m_manager.open("one-too-many", "w");
        },
        "box \\[fatal: \\]");
}

TEST_F(FileManagerDeathTest, SeekingOrSizingAForeignStreamIsFatal)
{
    start();
    std::string path = m_root.write("foreign.bin", "abc");
    FILE* foreign = std::fopen(path.c_str(), "rb");
    ASSERT_NE(foreign, nullptr);
    auto fatal = [&](auto operation) {
        StderrBoxSink sink;
        platform::ScopedMessageBoxSink guard(sink);
        operation();
    };
    EXPECT_DEATH(fatal([&] { m_manager.seek(foreign, 0, SEEK_SET); }), "box \\[fatal: \\]");
    EXPECT_DEATH(fatal([&] { m_manager.getFileSize(foreign); }), "box \\[fatal: \\]");
    std::fclose(foreign);
}

// The command line after the program's name, and the client directory it gives.
struct CommandLineCase {
    const char* label;
    std::vector<std::string> argv;
    const char* clientDir; // null: the program's own directory
};

class FileManagerCommandLine : public FileManagerTest, public ::testing::WithParamInterface<CommandLineCase> { };

TEST_P(FileManagerCommandLine, OnlyASeparateOptionNamesTheClientDirectory)
{
    const CommandLineCase& given = GetParam();
    std::vector<const char*> argv;
    for (const std::string& argument : given.argv)
        argv.push_back(argument.c_str());
    m_manager.init(int(argv.size()), argv.data());
    std::string expected = given.clientDir ? given.clientDir : moduleDir();
    EXPECT_EQ(m_manager.getClientDir(), expected);
    EXPECT_EQ(m_manager.getSearchPath(0)->directory, expected);
    EXPECT_EQ(m_manager.getSearchPath(2)->directory, expected + "tutorial/");
}

INSTANTIATE_TEST_SUITE_P(Cases, FileManagerCommandLine,
    ::testing::Values(CommandLineCase { "None", { "vardun" }, nullptr },
        CommandLineCase { "Directory", { "vardun", "-r", "/srv/data" }, "/srv/data/" },
        CommandLineCase { "TrailingSeparatorKept", { "vardun", "-r", "/srv/data/" }, "/srv/data/" },
        CommandLineCase { "BackslashesTurned", { "vardun", "-r", "data\\sub" }, "data/sub/" },
        CommandLineCase { "DirectoryWithBlanks", { "vardun", "-r", "/srv/my data" }, "/srv/my data/" },
        CommandLineCase { "AfterOtherArguments", { "vardun", "--quiet", "-r", "data" }, "data/" },
        CommandLineCase { "FirstOptionWins", { "vardun", "-r", "one", "-r", "two" }, "one/" },
        CommandLineCase { "InsideAWord", { "vardun", "x-ray" }, nullptr },
        CommandLineCase { "InsideAWordWithDirectory", { "vardun", "x-ray", "/srv/data" }, nullptr },
        CommandLineCase { "JoinedToItsDirectory", { "vardun", "-r/srv/data" }, nullptr },
        CommandLineCase { "InTheProgramName", { "/opt/x-r /srv/vardun" }, nullptr },
        CommandLineCase { "TrailingWithNothingAfter", { "vardun", "-r" }, nullptr },
        CommandLineCase { "FollowedByAnEmptyArgument", { "vardun", "-r", "" }, nullptr },
        CommandLineCase { "UpperCase", { "vardun", "-R", "data" }, nullptr }),
    [](const ::testing::TestParamInfo<CommandLineCase>& param) { return std::string(param.param.label); });

} // namespace
