#include "platform/instance_marker.h"

#include "support/scoped_environment.h"
#include "support/temp_dir.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Another process running tests/programs/hold_instance_marker.cpp.
class MarkerHolder {
public:
    MarkerHolder(const char* mode, const std::string& name)
    {
        std::string program = std::string(VARDUN_TEST_BINARY_DIR) + "/hold_instance_marker";
        int toChild[2];
        int fromChild[2];
        if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
        char* argv[] = { program.data(), const_cast<char*>(mode), const_cast<char*>(name.c_str()), nullptr };
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv, environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(toChild[0]);
        close(fromChild[1]);
        m_input = toChild[1];
        m_output = fromChild[0];
    }

    ~MarkerHolder()
    {
        kill();
        if (m_input >= 0)
            close(m_input);
        if (m_output >= 0)
            close(m_output);
    }

    // The line the holder printed once it tried for the marker, or empty
    // after ten seconds of silence.
    std::string report()
    {
        std::string line;
        pollfd wanted { m_output, POLLIN, 0 };
        while (line.find('\n') == std::string::npos && poll(&wanted, 1, 10000) == 1) {
            char chunk[64];
            ssize_t got = read(m_output, chunk, sizeof chunk);
            if (got <= 0)
                break;
            line.append(chunk, size_t(got));
        }
        return line;
    }

    // Kills the holder without letting it clean up, as a crash would.
    void kill()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

    bool started() const { return m_pid > 0; }

private:
    pid_t m_pid = -1;
    int m_input = -1;
    int m_output = -1;
};

class InstanceMarkerTest : public ::testing::Test {
protected:
    test::TempDir m_runtime;
    test::ScopedEnvironment m_environment { "VARDUN_RUNTIME_DIR", m_runtime.file("markers").c_str() };
};

TEST_F(InstanceMarkerTest, AnotherProcessSeesTheMarkerUntilItsHolderDies)
{
    EXPECT_FALSE(platform::InstanceMarker::probe("Vardun Online"));

    MarkerHolder holder("acquire", "Vardun Online");
    ASSERT_TRUE(holder.started()) << "helper program missing from " VARDUN_TEST_BINARY_DIR;
    ASSERT_EQ(holder.report(), "held 0\n");

    EXPECT_TRUE(platform::InstanceMarker::probe("Vardun Online"));
    bool existedBefore = false;
    EXPECT_EQ(platform::InstanceMarker::acquire("Vardun Online", existedBefore), nullptr);
    EXPECT_TRUE(existedBefore);
    bool othersHolding = false;
    EXPECT_EQ(platform::InstanceMarker::join("Vardun Online", othersHolding), nullptr);
    EXPECT_TRUE(othersHolding);
    // Other names are untouched.
    EXPECT_FALSE(platform::InstanceMarker::probe("VoPatchApp"));

    holder.kill();
    EXPECT_FALSE(platform::InstanceMarker::probe("Vardun Online"));
    auto mine = platform::InstanceMarker::acquire("Vardun Online", existedBefore);
    EXPECT_NE(mine, nullptr);
    EXPECT_FALSE(existedBefore);
}

TEST_F(InstanceMarkerTest, AnotherProcessIsRefusedWhileThisOneHolds)
{
    bool existedBefore = true;
    auto mine = platform::InstanceMarker::acquire("VoClientApp", existedBefore);
    ASSERT_NE(mine, nullptr);
    EXPECT_FALSE(existedBefore);

    MarkerHolder holder("acquire", "VoClientApp");
    ASSERT_TRUE(holder.started());
    EXPECT_EQ(holder.report(), "refused 1\n");

    mine.reset();
    MarkerHolder second("acquire", "VoClientApp");
    EXPECT_EQ(second.report(), "held 0\n");
}

TEST_F(InstanceMarkerTest, JoinersCountEachOther)
{
    bool othersHolding = true;
    auto first = platform::InstanceMarker::join("report", othersHolding);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(othersHolding);

    MarkerHolder holder("join", "report");
    ASSERT_TRUE(holder.started());
    EXPECT_EQ(holder.report(), "held 1\n");

    // While anyone has joined, nobody can take the marker for itself.
    bool existedBefore = false;
    EXPECT_EQ(platform::InstanceMarker::acquire("report", existedBefore), nullptr);
    EXPECT_TRUE(existedBefore);

    first.reset();
    auto again = platform::InstanceMarker::join("report", othersHolding);
    EXPECT_NE(again, nullptr);
    EXPECT_TRUE(othersHolding);

    holder.kill();
    again.reset();
    auto alone = platform::InstanceMarker::join("report", othersHolding);
    EXPECT_NE(alone, nullptr);
    EXPECT_FALSE(othersHolding);
}

TEST_F(InstanceMarkerTest, UnusableNamesAreRefused)
{
    for (const char* name : { "", ".", "..", "../escape", "a/b" }) {
        bool flag = true;
        EXPECT_FALSE(platform::InstanceMarker::probe(name)) << name;
        EXPECT_EQ(platform::InstanceMarker::acquire(name, flag), nullptr) << name;
        EXPECT_FALSE(flag) << name;
        EXPECT_EQ(platform::InstanceMarker::join(name, flag), nullptr) << name;
        EXPECT_FALSE(flag) << name;
    }
}

TEST_F(InstanceMarkerTest, TheMarkerDirectoryIsPrivate)
{
    bool existedBefore = false;
    auto marker = platform::InstanceMarker::acquire("VoStarterApp", existedBefore);
    ASSERT_NE(marker, nullptr);
    struct stat info { };
    ASSERT_EQ(stat(platform::instanceMarkerDirectory().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(InstanceMarkerDirectory, FollowsTheRuntimeDirectory)
{
    test::ScopedEnvironment noOverride("VARDUN_RUNTIME_DIR", nullptr);
    {
        test::ScopedEnvironment runtime("XDG_RUNTIME_DIR", "/run/user/1234");
        EXPECT_EQ(platform::instanceMarkerDirectory(), "/run/user/1234/vardun");
    }
    test::ScopedEnvironment runtime("XDG_RUNTIME_DIR", nullptr);
    EXPECT_EQ(platform::instanceMarkerDirectory(), "/tmp/vardun-" + std::to_string(geteuid()));
}

TEST(InstanceMarkerDirectory, RefusesALinkInPlaceOfTheDirectory)
{
    test::TempDir base;
    ASSERT_EQ(symlink(base.path().c_str(), base.file("link").c_str()), 0);
    test::ScopedEnvironment runtime("VARDUN_RUNTIME_DIR", base.file("link").c_str());
    bool existedBefore = false;
    EXPECT_EQ(platform::InstanceMarker::acquire("Vardun Online", existedBefore), nullptr);
}

} // namespace
