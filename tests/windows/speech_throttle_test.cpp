// The speech throttle on a fake clock: lines sent while the budget allows,
// queued with the spam notice once it is spent, and released in order as the
// frame steps drain it at the program's frame times (76 to 80 ms) and small
// limits; a SpamLimit of 0 or less; a 75-minute stall across the clock's wrap.

#include "protocol/protocol_services.h"
#include "speech_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace test {
namespace {

class SpeechThrottle : public SpeechTest {
protected:
    // The text of a sent plain line (byte lines only).
    static std::string lineOf(const Bytes& packet)
    {
        std::string text;
        for (size_t at = 12; at + 1 < packet.size(); at += 2) {
            if (packet[at] == 0 && packet[at + 1] == 0)
                break;
            text.push_back(char(packet[at + 1]));
        }
        return text;
    }

    // Frames until `untilMs` past the start, each `stepsMs` apart in turn, as
    // the tick runs them: the decay, then the release. Each line sent is noted
    // with the time it left.
    void runFrames(std::vector<uint32_t> stepsMs, uint32_t untilMs)
    {
        size_t turn = 0;
        for (uint32_t elapsed = 0; elapsed < untilMs; turn = (turn + 1) % stepsMs.size()) {
            const uint32_t stepMs = stepsMs[turn];
            elapsed += stepMs;
            clock.advance(stepMs);
            size_t before = sent.size();
            decaySpeechBudgetStep(clock.tickMs());
            releaseQueuedSpeech();
            for (size_t i = before; i < sent.size(); ++i)
                trace.push_back(std::to_string(clock.tickMs() - m_start) + " " + lineOf(sent[i]));
        }
    }

    void start() { m_start = clock.tickMs(); }

    std::vector<std::string> notices() const
    {
        std::vector<std::string> lines;
        for (const std::string& line : journalLines()) {
            if (line.starts_with("[Spam"))
                lines.push_back(line);
        }
        return lines;
    }

    std::vector<std::string> trace;

private:
    uint32_t m_start = 0;
};

TEST_F(SpeechThrottle, ALongLineGoesAtOnceAndTheNextWaitsAboutTwoSeconds)
{
    start();
    sendSpeechAscii(std::string(100, 'a'), speech_type::kSay);
    ASSERT_EQ(sent.size(), 1u);
    sendSpeechAscii("second", speech_type::kSay);
    sendSpeechAscii("third", speech_type::kSay);
    EXPECT_EQ(sent.size(), 1u);
    EXPECT_EQ(queuedSpeechCount(), 2u);
    EXPECT_EQ(notices(), (std::vector<std::string> { "[Spam detected, speech queued for 2 seconds]",
                             "[Spam detected, speech queued for 2 seconds]" }));
    // Frames of 76 ms drain 2.28 characters each: 71 characters take 2367 ms,
    // so the 32nd frame lets the second line go; "second" takes the budget to
    // 34, and with the 0.96 left over from the drain two frames more take 5.
    runFrames({ 76 }, 3000);
    EXPECT_EQ(trace, (std::vector<std::string> { "2432 second", "2584 third" }));
    EXPECT_EQ(queuedSpeechCount(), 0u);
}

struct DrainCase {
    const char* name;
    int32_t limit;
    std::vector<uint32_t> framesMs;
    size_t firstLength;
};

class SpeechDrain : public SpeechThrottle, public testing::WithParamInterface<DrainCase> { };

// At any limit and frame time the budget drains at the limit's rate: the
// queued line leaves on the first frame by which limit * t / 1000 whole
// characters have drained the long line's budget below the limit.
TEST_P(SpeechDrain, TheQueuedLineLeavesWhenTheLimitsRateAllows)
{
    const DrainCase& drain = GetParam();
    configValues().spamLimit = drain.limit;
    start();
    sendSpeechAscii(std::string(drain.firstLength, 'a'), speech_type::kSay);
    sendSpeechAscii("next", speech_type::kSay);
    ASSERT_EQ(queuedSpeechCount(), 1u);
    uint64_t leaves = 0;
    for (size_t turn = 0; int64_t(drain.firstLength) - int64_t(leaves * drain.limit / 1000) >= drain.limit;
        ++turn)
        leaves += drain.framesMs[turn % drain.framesMs.size()];
    // At least as long as the drain needs, and at most one frame more.
    const uint64_t ideal = (drain.firstLength - drain.limit + 1) * 1000 / drain.limit;
    ASSERT_GE(leaves, ideal);
    ASSERT_LE(leaves, ideal + 80);
    runFrames(drain.framesMs, uint32_t(leaves + 1000));
    EXPECT_EQ(trace, (std::vector<std::string> { std::to_string(leaves) + " next" }));
}

INSTANTIATE_TEST_SUITE_P(FrameTimes, SpeechDrain,
    testing::Values(DrainCase { "Default30At76", 30, { 76 }, 100 }, DrainCase { "Default30At80", 30, { 80 }, 100 },
        DrainCase { "Thirteen", 13, { 76 }, 40 }, DrainCase { "FiveMixedFrames", 5, { 76, 80, 78, 77, 79 }, 12 },
        DrainCase { "One", 1, { 77 }, 3 }),
    [](const testing::TestParamInfo<DrainCase>& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(SpeechThrottle, LinesLeaveInTheOrderTyped)
{
    start();
    speechBudget().budget = 40;
    for (const char* line : { "one", "two", "three", "four" })
        sendSpeechAscii(line, speech_type::kSay);
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(notices().back(), "[Spam detected, speech queued for 0 seconds]") << "(40 - 30 + 11) / 30";
    runFrames({ 100 }, 2000);
    EXPECT_EQ(trace, (std::vector<std::string> { "400 one", "500 two", "600 three", "800 four" }));
}

struct Flood {
    const char* name;
    bool unicode;
};

class SpeechFlood : public SpeechThrottle, public testing::WithParamInterface<Flood> { };

// Speech far faster than the budget drains: the queue keeps the newest lines
// up to its bound, the oldest are the ones dropped, and each drop is told.
TEST_P(SpeechFlood, KeepsOnlyTheNewestLines)
{
    constexpr size_t kExtra = 36;
    speechBudget().budget = 1000000;
    for (size_t i = 0; i < kMaxQueuedSpeech + kExtra; ++i) {
        const std::string line = "line " + std::to_string(i);
        if (GetParam().unicode)
            sendSpeech(std::u16string(line.begin(), line.end()), speech_type::kSay);
        else
            sendSpeechAscii(line, speech_type::kSay);
        ASSERT_LE(queuedSpeechCount(), kMaxQueuedSpeech);
    }
    EXPECT_EQ(queuedSpeechCount(), kMaxQueuedSpeech);
    EXPECT_TRUE(sent.empty());
    size_t dropNotices = 0;
    for (const std::string& line : notices())
        dropNotices += line == "[Spam detected, oldest queued speech dropped]";
    EXPECT_EQ(dropNotices, kExtra);
    speechBudget().budget = 0;
    releaseQueuedSpeech();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(lineOf(sent.front()), "line " + std::to_string(kExtra)) << "the first line kept leaves first";
    clearSpeechQueue();
}

INSTANTIATE_TEST_SUITE_P(Speech, SpeechFlood, testing::Values(Flood { "Unicode", true }, Flood { "Bytes", false }),
    [](const testing::TestParamInfo<Flood>& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(SpeechThrottle, TheNoticeCountsTheWholeQueue)
{
    configValues().spamLimit = 10;
    speechBudget().budget = 10;
    sendSpeech(std::u16string(25, u'x'), speech_type::kSay);
    sendSpeech(u"y", speech_type::kSay);
    EXPECT_EQ(notices(), (std::vector<std::string> { "[Spam detected, speech queued for 0 seconds]",
                             "[Spam detected, speech queued for 2 seconds]" }));
}

struct LimitCase {
    const char* name;
    const char* settingsLine;
};

class NonPositiveSpamLimit : public SpeechThrottle, public testing::WithParamInterface<LimitCase> { };

TEST_P(NonPositiveSpamLimit, CountsAsThirtyAndNeverStopsSpeech)
{
    settingsKeyRules().applyConfigKey(ConfigKeyKind::SpamLimit, GetParam().settingsLine, false);
    EXPECT_LE(configValues().spamLimit, 0);
    EXPECT_EQ(spamLimit(), kDefaultSpamLimit);
    start();
    sendSpeechAscii(std::string(45, 'a'), speech_type::kSay);
    sendSpeechAscii("later", speech_type::kSay);
    EXPECT_EQ(notices(), (std::vector<std::string> { "[Spam detected, speech queued for 0 seconds]" }));
    runFrames({ 100 }, 1000);
    EXPECT_EQ(trace, (std::vector<std::string> { "600 later" }));
}

INSTANTIATE_TEST_SUITE_P(Settings, NonPositiveSpamLimit,
    testing::Values(LimitCase { "Zero", "0" }, LimitCase { "Negative", "-5" }, LimitCase { "NotANumber", "many" }),
    [](const testing::TestParamInfo<LimitCase>& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(SpeechThrottle, A75MinuteStallAcrossTheWrapDrainsTheWholeBudget)
{
    // 75 minutes at 1000 characters a second is 4.5 million characters: a
    // 32-bit product of the stall and the limit would wrap and drain only
    // about 205 thousand of them.
    clock.setTick(0xFFFFF000u);
    speechBudget() = SpeechBudget { 4000000, clock.tickMs() };
    configValues().spamLimit = 1000;
    start();
    sendSpeechAscii("after the stall", speech_type::kSay);
    EXPECT_EQ(queuedSpeechCount(), 1u);
    runFrames({ 75u * 60u * 1000u }, 75u * 60u * 1000u);
    EXPECT_EQ(trace, (std::vector<std::string> { "4500000 after the stall" }));
    EXPECT_EQ(speechBudget().budget, 15);
}

TEST_F(SpeechThrottle, AHugeLimitLetsTheBudgetStopAtTheTop)
{
    configValues().spamLimit = INT32_MAX;
    speechBudget().budget = INT32_MAX - 3;
    sendSpeechAscii("overflow", speech_type::kSay);
    EXPECT_EQ(sent.size(), 1u);
    EXPECT_EQ(speechBudget().budget, INT32_MAX);
}

TEST_F(SpeechThrottle, UnthrottledSpeechPassesAFullBudget)
{
    startSpeechThrottle(clock.tickMs());
    speechBudget().budget = 500;
    unthrottledSpeech().sendSpeech("=go #12", speech_type::kSay);
    installUnthrottledSpeech(nullptr);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(lineOf(sent[0]), "=go #12");
    EXPECT_EQ(speechBudget().budget, 500);
    EXPECT_EQ(queuedSpeechCount(), 0u);
}

TEST_F(SpeechThrottle, TheLengthCountsUpToTheTerminator)
{
    sendSpeechAscii(std::string_view("ab\0cdef", 7), speech_type::kSay);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(lineOf(sent[0]), "ab");
    EXPECT_EQ(speechBudget().budget, 2);
}

} // namespace
} // namespace test
