#include "platform/message_box.h"
#include "platform/window.h"
#include "support/scoped_environment.h"

#include <gtest/gtest.h>

namespace {

struct BoxChoiceCase {
    const char* name;
    const char* headless; // VARDUN_HEADLESS, null for unset
    const char* videoDriver; // SDL_VIDEODRIVER
    const char* display; // DISPLAY
    const char* waylandDisplay; // WAYLAND_DISPLAY
    bool headlessExpected;
    bool displayBoxExpected;
};

class MessageBoxChoice : public testing::TestWithParam<BoxChoiceCase> { };

// Whether boxes go to the screen or to standard error follows the same
// headless switch as the window, plus the signs that no screen exists.
TEST_P(MessageBoxChoice, FollowsTheHeadlessSwitchAndTheSession)
{
    const BoxChoiceCase& c = GetParam();
    test::ScopedEnvironment headless("VARDUN_HEADLESS", c.headless);
    test::ScopedEnvironment driver("SDL_VIDEODRIVER", c.videoDriver);
    test::ScopedEnvironment display("DISPLAY", c.display);
    test::ScopedEnvironment wayland("WAYLAND_DISPLAY", c.waylandDisplay);
    EXPECT_EQ(platform::headlessRequested(), c.headlessExpected);
    EXPECT_EQ(platform::displayMessageBoxSink() != nullptr, c.displayBoxExpected);
}

INSTANTIATE_TEST_SUITE_P(Environments, MessageBoxChoice,
    testing::Values(BoxChoiceCase { "HeadlessAsked", "1", nullptr, ":0", nullptr, true, false },
        BoxChoiceCase { "HeadlessZeroIsOff", "0", nullptr, ":0", nullptr, false, true },
        BoxChoiceCase { "HeadlessEmptyIsOff", "", nullptr, nullptr, "wayland-0", false, true },
        BoxChoiceCase { "DummyVideoDriver", "0", "dummy", ":0", nullptr, false, false },
        BoxChoiceCase { "NoDisplayServer", nullptr, nullptr, nullptr, nullptr, false, false }),
    [](const testing::TestParamInfo<BoxChoiceCase>& param) { return std::string(param.param.name); });

} // namespace
