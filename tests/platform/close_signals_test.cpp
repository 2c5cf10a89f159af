#include "platform/close_signals.h"

#include "platform/headless/headless_window.h"

#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

class CloseSignals : public ::testing::TestWithParam<int> {
protected:
    CloseSignals() { platform::installCloseSignalHandlers(); }
    ~CloseSignals() override { platform::restoreCloseSignalHandlers(); }
};

// The first termination request is only noted, and reaches the window as its
// close request, once.
TEST_P(CloseSignals, TheFirstIsTheWindowsCloseRequest)
{
    platform::HeadlessWindow window;
    ASSERT_EQ(std::raise(GetParam()), 0);
    platform::WindowMessage message;
    ASSERT_TRUE(window.peekMessage(message));
    EXPECT_EQ(message.kind, platform::MessageKind::Close);
    EXPECT_FALSE(window.peekMessage(message));
    EXPECT_FALSE(platform::takeCloseSignal());
}

using CloseSignalsDeathTest = CloseSignals;

// A second request ends the program as the signal does by default.
TEST_P(CloseSignalsDeathTest, TheSecondEndsTheProgramAtOnce)
{
    EXPECT_EXIT(
        {
            std::raise(GetParam());
            std::raise(SIGTERM);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGTERM), "");
}

std::string signalName(const ::testing::TestParamInfo<int>& param)
{
    return param.param == SIGTERM ? "Terminate" : param.param == SIGINT ? "Interrupt" : "HangUp";
}

INSTANTIATE_TEST_SUITE_P(Signals, CloseSignals, ::testing::Values(SIGTERM, SIGINT, SIGHUP), signalName);
INSTANTIATE_TEST_SUITE_P(Signals, CloseSignalsDeathTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP), signalName);

TEST(CloseSignalHandlers, RestoredDefaultsForgetARequest)
{
    platform::installCloseSignalHandlers();
    std::raise(SIGHUP);
    platform::restoreCloseSignalHandlers();
    EXPECT_FALSE(platform::takeCloseSignal());
    struct sigaction action { };
    sigaction(SIGTERM, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_DFL);
}

} // namespace
