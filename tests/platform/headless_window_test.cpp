#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "support/scoped_environment.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using platform::MessageKind;

std::vector<MessageKind> drain(platform::Window& window)
{
    std::vector<MessageKind> kinds;
    platform::WindowMessage message;
    while (window.peekMessage(message))
        kinds.push_back(message.kind);
    return kinds;
}

TEST(HeadlessWindow, CreateQueuesCreateSizeAndActivate)
{
    platform::HeadlessWindow window;
    window.setScreen(800, 600, 16);
    platform::WindowCreateParams params;
    params.clientWidth = 1024;
    params.clientHeight = 480;
    ASSERT_TRUE(window.create(params));
    EXPECT_FALSE(window.create(params));
    EXPECT_EQ(drain(window), (std::vector<MessageKind> { MessageKind::Create, MessageKind::Size, MessageKind::Activate }));
    int32_t width = 0;
    int32_t height = 0;
    window.clientSize(width, height);
    EXPECT_EQ(width, 800); // at most the screen
    EXPECT_EQ(height, 480);
    window.destroy();
    EXPECT_EQ(drain(window), (std::vector<MessageKind> { MessageKind::Destroy }));
    EXPECT_FALSE(window.exists());
}

TEST(HeadlessWindow, WaitingSleepsOnTheClockUntilAScheduledMessage)
{
    platform::FakeClock clock(0xFFFFFFF0u);
    platform::ScopedClock guard(clock);
    platform::HeadlessWindow window;
    window.scheduleMessage(0x10, { MessageKind::Close, 0, 0, 0, 0 });
    platform::WindowMessage message;
    EXPECT_FALSE(window.peekMessage(message));
    window.waitForMessage(10);
    EXPECT_EQ(clock.tickMs(), 0xFFFFFFFAu);
    EXPECT_FALSE(window.peekMessage(message));
    window.waitForMessage(1000); // stops at the scheduled message, across the wrap
    EXPECT_EQ(clock.tickMs(), 0x10u);
    ASSERT_TRUE(window.peekMessage(message));
    EXPECT_EQ(message.kind, MessageKind::Close);
}

TEST(HeadlessWindow, CloseAfterTheGivenTimeWhenAsked)
{
    test::ScopedEnvironment closeAfter("VARDUN_HEADLESS_CLOSE_MS", "300");
    platform::FakeClock clock(1000);
    platform::ScopedClock guard(clock);
    platform::HeadlessWindow window;
    window.create({});
    drain(window);
    clock.advance(299);
    EXPECT_TRUE(drain(window).empty());
    clock.advance(1);
    EXPECT_EQ(drain(window), (std::vector<MessageKind> { MessageKind::Close }));
}

TEST(HeadlessWindow, DropNextCharRemovesOnlyTheFirstCharacter)
{
    platform::HeadlessWindow window;
    window.postMessage({ MessageKind::KeyDown, 'A', 1, 0, 0 });
    window.postMessage({ MessageKind::Char, 'a', 0, 0, 0 });
    window.postMessage({ MessageKind::Char, 'b', 0, 0, 0 });
    window.dropNextCharMessage();
    platform::WindowMessage message;
    ASSERT_TRUE(window.peekMessage(message));
    EXPECT_EQ(message.kind, MessageKind::KeyDown);
    ASSERT_TRUE(window.peekMessage(message));
    EXPECT_EQ(message.code, uint32_t('b'));
}

TEST(HeadlessWindow, ResizeQueuesSizeOnlyOnChange)
{
    platform::HeadlessWindow window;
    window.create({});
    drain(window);
    window.setClientSize(640, 480);
    EXPECT_TRUE(drain(window).empty());
    window.setClientSize(704, 480);
    EXPECT_EQ(drain(window), (std::vector<MessageKind> { MessageKind::Size }));
}

} // namespace
