#include "platform/process_info.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <thread>

namespace {

// A stand-in URL opener on PATH that writes each argument it was given on a
// line of its own.
class FakeOpener : public ::testing::Test {
protected:
    FakeOpener()
        : path("PATH", (dir.path() + ":/usr/bin:/bin").c_str())
    {
        std::string script = "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > " + dir.file("args")
            + ".tmp\nmv " + dir.file("args") + ".tmp " + dir.file("args") + "\n";
        chmod(dir.write("xdg-open", script).c_str(), 0755);
    }
    std::string arguments()
    {
        // Up to 10 s: starting the opener may be slow on a loaded machine.
        for (int i = 0; i < 1000; ++i) {
            std::string text = test::TempDir::read(dir.file("args"));
            if (!text.empty())
                return text;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return {};
    }

    test::TempDir dir;
    test::ScopedEnvironment path;
};

TEST_F(FakeOpener, UrlArrivesAsOneArgumentWithoutAShell)
{
    std::string url = "http://example.invalid/a b;touch " + dir.file("owned") + "$(id)";
    ASSERT_TRUE(platform::openUrl(url));
    EXPECT_EQ(arguments(), url + "\n");
    EXPECT_TRUE(test::TempDir::read(dir.file("owned")).empty());
}

TEST_F(FakeOpener, OptionLikeAndControlCharacterTextsAreRefused)
{
    EXPECT_FALSE(platform::openUrl(""));
    EXPECT_FALSE(platform::openUrl("--help"));
    EXPECT_FALSE(platform::openUrl("http://example.invalid/\nsecond"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(test::TempDir::read(dir.file("args")).empty());
}

TEST(ParentProcess, NameHasNoDirectory)
{
    std::string name = platform::parentProcessName();
    EXPECT_FALSE(name.empty());
    EXPECT_EQ(name.find('/'), std::string::npos);
}

} // namespace
