#include "core/error_report.h"
#include "core/text_console.h"
#include "platform/instance_marker.h"
#include "platform/message_box.h"
#include "platform/process_exit.h"
#include "support/temp_dir.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

// Every test that opens the reporter does so in a child process, because the
// reporter is process-wide state that opens once. The child tells the parent
// what it saw through its exit code and standard error.
class ReporterDeathTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("VARDUN_RUNTIME_DIR", m_runtime.path().c_str(), 1); }
    void TearDown() override { unsetenv("VARDUN_RUNTIME_DIR"); }

private:
    test::TempDir m_runtime;
};

// Writes every box to standard error, where the parent of a death test sees it.
class StandardErrorBoxes final : public platform::MessageBoxSink {
public:
    void show(const std::string& caption, const std::string& text, platform::MessageBoxIcon) override
    {
        std::fprintf(stderr, "box caption=[%s] length=%zu text=[%s]\n", caption.c_str(), text.size(), text.c_str());
    }
};

TEST_F(ReporterDeathTest, FatalShowsTheTextRunsCleanupsAndFails)
{
    EXPECT_EXIT(
        {
            StandardErrorBoxes boxes;
            platform::ScopedMessageBoxSink guard(boxes);
            platform::atExit([] { std::fputs("cleaned up\n", stderr); });
            reportFatal("Unknown facet %d.\n", 7);
        },
        ::testing::ExitedWithCode(1), "box caption=\\[fatal: \\] length=17 text=\\[Unknown facet 7.\n\\]\ncleaned up");
}

TEST_F(ReporterDeathTest, TextIsCutAt2047Characters)
{
    EXPECT_EXIT(
        {
            StandardErrorBoxes boxes;
            platform::ScopedMessageBoxSink guard(boxes);
            std::string longText(3000, 'x');
            longText[2046] = 'y';
            reportFatal("%s", longText.c_str());
        },
        ::testing::ExitedWithCode(1), "length=2047 text=\\[x*y\\]");
}

TEST_F(ReporterDeathTest, LesserReportsNeverShowABox)
{
    EXPECT_EXIT(
        {
            platform::RecordingMessageBoxSink boxes;
            platform::ScopedMessageBoxSink guard(boxes);
            reportError("error %d", 1);
            reportMessage("message %d", 2);
            reportPlain("plain %d", 3);
            reportPlain(nullptr);
            std::_Exit(boxes.boxes.empty() ? 42 : 1);
        },
        ::testing::ExitedWithCode(42), "");
}

TEST_F(ReporterDeathTest, AReportAfterTheCloseIsFatal)
{
    EXPECT_EXIT(
        {
            StandardErrorBoxes boxes;
            platform::ScopedMessageBoxSink guard(boxes);
            reporterOpen();
            reporterClose();
            reportError("late %d", 1);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(1), "box caption=\\[fatal: \\] length=0");
}

TEST_F(ReporterDeathTest, CountsAnotherCopyHoldingTheReportMarker)
{
    EXPECT_EXIT(
        {
            reporterOpen();
            std::_Exit(10 + reporterInstanceCount());
        },
        ::testing::ExitedWithCode(10), "");

    bool othersHolding = true;
    auto otherCopy = platform::InstanceMarker::join("report", othersHolding);
    ASSERT_TRUE(otherCopy);
    EXPECT_FALSE(othersHolding);
    EXPECT_EXIT(
        {
            reporterOpen();
            std::_Exit(10 + reporterInstanceCount());
        },
        ::testing::ExitedWithCode(11), "");
}

TEST_F(ReporterDeathTest, OpeningCreatesTheConsole)
{
    EXPECT_EXIT(
        {
            bool before = reporterConsole() != nullptr;
            setConsoleMode(2);
            reporterOpen();
            TextConsole* console = reporterConsole();
            setConsoleMode(2);
            consolePutChar('A');
            bool ok = !before && console && console->mode() == 2 && console->cellAt(0, 0).character == 'A';
            std::_Exit(ok ? 42 : 1);
        },
        ::testing::ExitedWithCode(42), "");
}

} // namespace
