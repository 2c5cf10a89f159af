#include "core/message_boxes.h"
#include "platform/message_box.h"
#include "platform/process_exit.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <new>

namespace {

TEST(MessageBoxes, NarrowAndWideTextsReachThePlatformAsUtf8)
{
    platform::RecordingMessageBoxSink sink;
    platform::ScopedMessageBoxSink guard(sink);
    showMessageBox("Caf\xE9", "ERROR", AfterBox::Return);
    showMessageBoxWide(u"\u20AC \U0001F600", u"Error: Color Mode", AfterBox::Return);
    ASSERT_EQ(sink.boxes.size(), 2u);
    EXPECT_EQ(sink.boxes[0].caption, "ERROR");
    EXPECT_EQ(sink.boxes[0].text, "Caf\xC3\xA9");
    EXPECT_EQ(sink.boxes[1].caption, "Error: Color Mode");
    EXPECT_EQ(sink.boxes[1].text, "\xE2\x82\xAC \xF0\x9F\x98\x80");
}

class PrintingBoxes final : public platform::MessageBoxSink {
public:
    void show(const std::string& caption, const std::string& text, platform::MessageBoxIcon) override
    {
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    }
};

TEST(MessageBoxesDeathTest, ExitAfterEndsWithCodeOneThroughTheCleanups)
{
    EXPECT_EXIT(
        {
            PrintingBoxes boxes;
            platform::ScopedMessageBoxSink guard(boxes);
            platform::atExit([] { std::fputs("cleaned up\n", stderr); });
            showMessageBox("Another copy is running", "ERROR", AfterBox::ExitProcess);
        },
        ::testing::ExitedWithCode(1), "\\[ERROR\\] Another copy is running\ncleaned up");
}

TEST(MessageBoxesDeathTest, RunningOutOfMemorySaysSoAndEndsWithCodeOne)
{
    EXPECT_EXIT(
        {
            PrintingBoxes boxes;
            platform::ScopedMessageBoxSink guard(boxes);
            installOutOfMemoryHandler();
            std::get_new_handler()();
        },
        ::testing::ExitedWithCode(1), "\\[Out of memory\\] There is not enough memory to continue execution.  If");
}

} // namespace
