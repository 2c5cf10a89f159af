#pragma once
// The speech throttle: every line the player says (typed, or said by a macro)
// is charged to a budget of characters that drains at SpamLimit characters a
// second. While the budget is at or above the limit, lines wait in a queue,
// oldest first, and the player is told how long; the frame tick drains the
// budget and sends what the budget allows again, in the order typed. Times
// are 32-bit tick-count milliseconds. Main thread only.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The budget, the time it last drained, and the thousandths of a character
// that drain has not yet taken off.
struct SpeechBudget {
    int32_t budget = 0;
    uint32_t lastDecay = 0;
    uint32_t drainCarry = 0;
};

// The process-wide budget of the speech throttle.
SpeechBudget& speechBudget();

// Lowers the budget by the time since the last decay times `spamLimit` per
// second, not below 0. The product is taken in 64 bits: a 32-bit product wraps
// after a stall of 2^32 / spamLimit ms and would decay far too little. What
// the division leaves over is carried to the next frame: a frame of 76 ms at a
// limit below 14 would otherwise drain nothing, ever, and at 30 the budget
// would drain at 26 a second.
void decaySpeechBudget(SpeechBudget& budget, uint32_t now, uint32_t spamLimit);

constexpr int32_t kDefaultSpamLimit = 30;
// The SpamLimit setting. A value of 0 or less (which is also what a missing or
// unreadable setting reads as) would stop speech for ever and leave the
// notice nothing to divide by: it counts as the default.
int32_t spamLimit();

bool speechBudgetAvailable();
void chargeSpeechBudget(int32_t characters);

// At most this many lines wait; a line queued past it drops the oldest, and
// the player is told.
inline constexpr size_t kMaxQueuedSpeech = 64;

// Throttled sending: sent at once while the budget is below the limit (then
// charged with the line's length), otherwise queued with the spam notice.
void sendSpeech(std::u16string_view text, uint8_t type);
// The same for byte text (each byte one character).
void sendSpeechAscii(std::string_view text, uint8_t type);
// Byte text past the budget (the shard switch, the GM tools).
void sendSpeechAsciiUnthrottled(std::string_view text, uint8_t type);

// "[Spam detected, speech queued for N seconds]" in the system-message area.
void showSpamNotice();
// The frame step after the decay: sends queued lines while the budget allows.
void releaseQueuedSpeech();
size_t queuedSpeechCount();
// Forgets every queued line (tests).
void clearSpeechQueue();

// The two tick steps with the current time and setting.
void decaySpeechBudgetStep(uint32_t now);
// Start-up: the budget is empty and drains from now; the shard switch's
// unthrottled speech comes here.
void startSpeechThrottle(uint32_t now);
