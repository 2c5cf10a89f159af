#include "data/post_patch.h"
#include "platform/clock.h"
#include "support/address_space_limit.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A process table of made-up processes: a process ends when asked only if it
// listens, and always when forced. Nothing real is ever signalled.
class FakeProcessTable final : public platform::ProcessTable {
public:
    bool list(std::vector<platform::ProcessEntry>& out) override
    {
        out.clear();
        for (const auto& [id, process] : processes) {
            if (process.running)
                out.push_back({ id, process.name });
        }
        return listable;
    }
    bool isRunning(int32_t id) override
    {
        auto found = processes.find(id);
        if (found == processes.end())
            return false;
        // A process that ends by itself does so at its time.
        if (found->second.endsAtTick && platform::clock().tickMs() >= found->second.endsAtTick)
            found->second.running = false;
        return found->second.running;
    }
    bool requestEnd(int32_t id) override
    {
        log.push_back("term " + std::to_string(id) + " at " + std::to_string(platform::clock().tickMs()));
        if (processes[id].listens)
            processes[id].running = false;
        return true;
    }
    bool forceEnd(int32_t id) override
    {
        log.push_back("kill " + std::to_string(id));
        processes[id].running = false;
        return true;
    }

    struct Process {
        std::string name;
        bool running = true;
        bool listens = true;
        uint32_t endsAtTick = 0;
    };
    std::map<int32_t, Process> processes;
    bool listable = true;
    std::vector<std::string> log;
};

// Runs each test in a working directory of its own.
class PostPatch : public ::testing::Test {
protected:
    PostPatch()
        : m_clock(0)
        , m_scoped(m_clock)
        , m_previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(m_root.path());
        m_environment.startProgram
            = [this](const std::string& path, const std::vector<std::string>& arguments, const std::string& directory) {
                  started.push_back(path + " " + arguments.at(0) + " in " + directory);
                  return false;
              };
    }
    ~PostPatch() override { std::filesystem::current_path(m_previous); }

    void write(const std::string& name, const std::string& text) { std::ofstream(name, std::ios::binary) << text; }
    std::string read(const std::string& name)
    {
        std::ifstream stream(name, std::ios::binary);
        std::stringstream text;
        text << stream.rdbuf();
        return text.str();
    }

    test::TempDir m_root;
    platform::FakeClock m_clock;
    platform::ScopedClock m_scoped;
    std::filesystem::path m_previous;
    FakeProcessTable m_processes;
    PostPatchEnvironment m_environment { m_processes, nullptr, "/opt/game/" };
    std::vector<std::string> started;
};

TEST_F(PostPatch, NothingToDoWithoutTheCommandFile)
{
    EXPECT_FALSE(postPatchPending());
    EXPECT_FALSE(runPostPatchStep(m_environment));
    EXPECT_TRUE(started.empty());
}

struct PatchCommandCase {
    const char* label;
    const char* commands;
    std::map<std::string, std::string> before;
    std::map<std::string, std::string> after; // "" = gone
};

class PostPatchCommands : public PostPatch, public ::testing::WithParamInterface<PatchCommandCase> { };

TEST_P(PostPatchCommands, RunAndTheCommandFileIsGone)
{
    for (const auto& [name, text] : GetParam().before)
        write(name, text);
    write(kPostPatchFile, GetParam().commands);
    ASSERT_TRUE(postPatchPending());
    EXPECT_TRUE(runPostPatchStep(m_environment));
    EXPECT_FALSE(std::filesystem::exists(kPostPatchFile));
    for (const auto& [name, text] : GetParam().after) {
        if (text.empty())
            EXPECT_FALSE(std::filesystem::exists(name)) << name;
        else
            EXPECT_EQ(read(name), text) << name;
    }
    EXPECT_EQ(started, (std::vector<std::string> { "/opt/game/vo.exe /opt/game/vo.exe in /opt/game/" }));
}

INSTANTIATE_TEST_SUITE_P(Cases, PostPatchCommands,
    ::testing::Values(PatchCommandCase { "MoveReplaces", "moveandreplacefile a.dat a.new\r\n",
                          { { "a.dat", "old" }, { "a.new", "new" } }, { { "a.dat", "new" }, { "a.new", "" } } },
        PatchCommandCase { "CommandWordAnyCase", "\n\nMoveAndReplaceFile a.dat a.new extra words\n",
            { { "a.dat", "old" }, { "a.new", "new" } }, { { "a.dat", "new" } } },
        PatchCommandCase { "OneArgumentChangesNothing", "moveandreplacefile a.dat\r\n",
            { { "a.dat", "old" }, { "a.new", "new" } }, { { "a.dat", "old" }, { "a.new", "new" } } },
        PatchCommandCase { "MissingTargetLeavesTheSource", "moveandreplacefile gone.dat a.new\n",
            { { "a.new", "new" } }, { { "a.new", "new" }, { "gone.dat", "" } } },
        PatchCommandCase { "PatchNumberSetsEveryMatchAndDropsTheHeader",
            "changepatchnumber Win32_client_555 42\r\nchangepatchnumber nobody 9\n",
            { { "verinfo", "0 hdr x 1 2 3 4 5 Win32_client_555 1\nother 7\nWin32_client_555 3\n" } },
            { { "verinfo", "Win32_client_555 42\nother 7\nWin32_client_555 42\n" } } },
        PatchCommandCase { "PatchNumberWithoutMatchKeepsTheFile", "changepatchnumber nobody 9\n",
            { { "verinfo", "0 hdr x 1 2 3 4 5 a 1\n" } }, { { "verinfo", "0 hdr x 1 2 3 4 5 a 1\n" } } },
        PatchCommandCase { "UnknownCommandsAreSkipped", "format c:\nmoveandreplacefile a.dat a.new\n",
            { { "a.dat", "old" }, { "a.new", "new" } }, { { "a.dat", "new" } } }),
    [](const ::testing::TestParamInfo<PatchCommandCase>& entry) { return std::string(entry.param.label); });

TEST_F(PostPatch, EmptyCommandFileIsDeletedAndStartUpGoesOn)
{
    write(kPostPatchFile, "");
    EXPECT_FALSE(runPostPatchStep(m_environment));
    EXPECT_FALSE(std::filesystem::exists(kPostPatchFile));
    EXPECT_TRUE(started.empty());
}

TEST_F(PostPatch, OverLargeCommandFileIsDeletedAndStartUpGoesOn)
{
    write(kPostPatchFile, std::string(kMaxPostPatchFileSize + 1, 'x'));
    EXPECT_FALSE(runPostPatchStep(m_environment));
    EXPECT_FALSE(std::filesystem::exists(kPostPatchFile));
}

// A file that opens but fails to read: the kernel's view of this process's
// memory, whose first page is never mapped.
TEST_F(PostPatch, UnreadableCommandFileIsDeletedAndStartUpGoesOn)
{
    std::filesystem::create_symlink("/proc/self/mem", kPostPatchFile);
    ASSERT_TRUE(postPatchPending());
    EXPECT_FALSE(runPostPatchStep(m_environment));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(kPostPatchFile)));
    EXPECT_TRUE(started.empty());
}

// A file claiming 16 GB (sparse, so it takes no disk) is refused by its size
// before any of it is read.
TEST_F(PostPatch, HugeCommandFileIsRefusedByItsSizeAlone)
{
    write(kPostPatchFile, "moveandreplacefile a.dat a.new\n");
    std::filesystem::resize_file(kPostPatchFile, uintmax_t(1) << 34);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            test::limitAddressSpaceGrowth(size_t(1) << 30);
            bool refused = !runPostPatchStep(m_environment) && !std::filesystem::exists(kPostPatchFile);
            std::exit(refused ? 0 : 2);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(PostPatch, LauncherThatDoesNotEndIsAskedAfter15TicksThenForced)
{
    m_processes.processes[42] = { "VO.EXE", true, false, 0 };
    m_processes.processes[7] = { "other", true, true, 0 };
    EXPECT_TRUE(waitForLauncherExit(m_environment));
    EXPECT_EQ(m_processes.log, (std::vector<std::string> { "term 42 at 15000", "kill 42" }));
    EXPECT_TRUE(m_processes.processes[7].running);
}

TEST_F(PostPatch, LauncherThatEndsByItselfIsLeftAlone)
{
    m_processes.processes[42] = { "vo.exe", true, true, 3500 };
    EXPECT_TRUE(waitForLauncherExit(m_environment));
    EXPECT_TRUE(m_processes.log.empty());
    EXPECT_EQ(m_clock.tickMs(), 4000u);
}

TEST_F(PostPatch, NoListingMeansTheWaitFails)
{
    m_processes.listable = false;
    EXPECT_FALSE(waitForLauncherExit(m_environment));
    m_processes.listable = true;
    m_environment.programDirectory.clear();
    EXPECT_FALSE(waitForLauncherExit(m_environment));
}

TEST_F(PostPatch, VersionListReadsPairsUpToTheMaximum)
{
    write("list", "0 a b 1 2 3 4 5 first 1\nsecond -2 third 3\n");
    std::vector<VersionEntry> entries;
    ASSERT_TRUE(readVersionInfo("list", entries, 2));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].name, "second");
    EXPECT_EQ(entries[1].number, -2);
    write("bad", "name notanumber\n");
    EXPECT_FALSE(readVersionInfo("bad", entries, 10));
    write("badheader", "0 a b 1 2 x\n");
    EXPECT_FALSE(readVersionInfo("badheader", entries, 10));
    EXPECT_FALSE(readVersionInfo("missing", entries, 10));
}

TEST(ProgramPaths, KeysNameTheirFiles)
{
    EXPECT_EQ(programFilePath("/g/", "StartExePath"), "/g/vo.exe");
    EXPECT_EQ(programFilePath("/g/", "PatchExePath"), "/g/vopatch.exe");
    EXPECT_EQ(programFilePath("/g/", "ExePath"), "/g/client.exe");
    EXPECT_EQ(programFilePath("/g/", "InstCDPath"), "/g/");
    EXPECT_EQ(programFilePath("/g/", "Other"), "");
    EXPECT_EQ(programFilePath("", "ExePath"), "");
}

} // namespace
