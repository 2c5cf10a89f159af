#include "windows/speech_throttle.h"

#include "core/wide_text.h"
#include "data/config_key_rules.h"
#include "protocol/protocol_services.h"
#include "windows/speech_packets.h"
#include "windows/system_text.h"

#include <cstdio>
#include <deque>
#include <limits>

namespace {

constexpr uint16_t kThrottleNoticeHue = 0;
constexpr uint16_t kThrottleNoticeFont = 3;

struct QueuedSpeech {
    bool utf16 = true;
    std::u16string wide;
    std::string bytes;
    uint8_t type = 0;

    size_t length() const { return utf16 ? wide.size() : bytes.size(); }
};

std::deque<QueuedSpeech>& speechQueue()
{
    static std::deque<QueuedSpeech> queue;
    return queue;
}

// Queues a line past the budget. A looping macro (or anything else that
// speaks faster than the budget drains) would otherwise grow the queue without
// end, and every spam notice walks the whole queue; the oldest lines are the
// least worth saying by the time they would leave, so they go first.
void enqueue(QueuedSpeech line)
{
    std::deque<QueuedSpeech>& queue = speechQueue();
    while (queue.size() >= kMaxQueuedSpeech) {
        queue.pop_front();
        addSystemMessage(kThrottleNoticeHue, kThrottleNoticeFont, "[Spam detected, oldest queued speech dropped]");
    }
    queue.push_back(std::move(line));
}

// A line counts its characters up to its terminator.
template <typename View> View untilTerminator(View text)
{
    size_t end = text.find(typename View::value_type(0));
    return end == View::npos ? text : text.substr(0, end);
}

class ThrottleUnthrottledSpeech final : public UnthrottledSpeech {
public:
    void sendSpeech(const std::string& text, uint8_t type) override { sendSpeechAsciiUnthrottled(text, type); }
};

} // namespace

SpeechBudget& speechBudget()
{
    static SpeechBudget budget;
    return budget;
}

void decaySpeechBudget(SpeechBudget& budget, uint32_t now, uint32_t spamLimit)
{
    uint64_t drained = uint64_t(uint32_t(now - budget.lastDecay)) * spamLimit + budget.drainCarry;
    uint64_t decay = drained / 1000;
    budget.lastDecay = now;
    if (budget.budget <= 0 || decay >= uint64_t(budget.budget)) {
        // An empty budget banks no drain for later speech.
        budget.budget = 0;
        budget.drainCarry = 0;
        return;
    }
    budget.budget -= int32_t(decay);
    budget.drainCarry = uint32_t(drained % 1000);
}

int32_t spamLimit()
{
    int32_t limit = configValues().spamLimit;
    return limit > 0 ? limit : kDefaultSpamLimit;
}

bool speechBudgetAvailable() { return speechBudget().budget < spamLimit(); }

void chargeSpeechBudget(int32_t characters)
{
    int32_t& budget = speechBudget().budget;
    // A huge limit lets the budget climb; it stops at the top instead of wrapping.
    if (characters > std::numeric_limits<int32_t>::max() - budget)
        budget = std::numeric_limits<int32_t>::max();
    else
        budget += characters;
}

void sendSpeech(std::u16string_view text, uint8_t type)
{
    text = untilTerminator(text);
    if (speechBudgetAvailable()) {
        sendUnicodeSpeech(text, type);
        chargeSpeechBudget(int32_t(text.size()));
        return;
    }
    // The notice counts the queue without this line.
    showSpamNotice();
    enqueue({ true, std::u16string(text), {}, type });
}

void sendSpeechAscii(std::string_view text, uint8_t type)
{
    text = untilTerminator(text);
    if (speechBudgetAvailable()) {
        sendUnicodeSpeech(bytesToWideString(text), type);
        chargeSpeechBudget(int32_t(text.size()));
        return;
    }
    showSpamNotice();
    enqueue({ false, {}, std::string(text), type });
}

void sendSpeechAsciiUnthrottled(std::string_view text, uint8_t type)
{
    sendUnicodeSpeech(bytesToWideString(untilTerminator(text)), type);
}

void showSpamNotice()
{
    int64_t limit = spamLimit();
    int64_t waiting = speechBudget().budget - limit;
    for (const QueuedSpeech& line : speechQueue())
        waiting += int64_t(line.length());
    char text[64];
    std::snprintf(text, sizeof text, "[Spam detected, speech queued for %lld seconds]",
        static_cast<long long>(waiting / limit));
    addSystemMessage(kThrottleNoticeHue, kThrottleNoticeFont, text);
}

void releaseQueuedSpeech()
{
    std::deque<QueuedSpeech>& queue = speechQueue();
    while (!queue.empty() && speechBudgetAvailable()) {
        QueuedSpeech line = std::move(queue.front());
        queue.pop_front();
        if (line.utf16)
            sendSpeech(line.wide, line.type);
        else
            sendSpeechAscii(line.bytes, line.type);
    }
}

size_t queuedSpeechCount() { return speechQueue().size(); }

void clearSpeechQueue() { speechQueue().clear(); }

void decaySpeechBudgetStep(uint32_t now) { decaySpeechBudget(speechBudget(), now, uint32_t(spamLimit())); }

void startSpeechThrottle(uint32_t now)
{
    speechBudget() = SpeechBudget { 0, now };
    static ThrottleUnthrottledSpeech unthrottled;
    installUnthrottledSpeech(&unthrottled);
}
