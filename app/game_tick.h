#pragma once
// The fixed-step game tick and the clocks the rest of the client reads. The
// tick splits its work into three rates by elapsed time: pointer and window
// updates at least 33 ms apart, a one-second step for the game clock, and a
// frame at least 76 ms apart that advances every subsystem and draws. Each
// subsystem wires its own work into a named step (TickStep); a step nobody has
// wired is skipped. Times are 32-bit millisecond counts compared unsigned.
// Main thread only.

// The speech budget the DecaySpeechBudget step drains belongs to the throttle.
#include "windows/speech_throttle.h"

#include <array>
#include <cstdint>
#include <functional>

// Elapsed milliseconds from `then` to `now`. When the counter wrapped between
// them (now < then) the answer is one less than the plain modular difference;
// callers have always compared against this value, so it is kept.
uint32_t tickDiff(uint32_t now, uint32_t then);

enum class PixelLayout {
    Rgb555,
    Rgb565,
};

// Darkens `count` pixels in place by one step per colour field, never carrying
// a field below 0 into its neighbour. In 5-6-5 the green field is rebuilt from
// its upper five bits, so green roughly halves at every step.
void darkenPixels(uint16_t* pixels, int64_t count, PixelLayout layout);

// Darkens the game area of a ring back buffer: `gameHeight` rows of
// `gameWidth` pixels starting at index `ringStart`, rows `width` apart, with
// every index taken modulo width * height.
void darkenRingGameArea(uint16_t* pixels, int32_t width, int32_t height, int64_t ringStart, int32_t gameWidth,
    int32_t gameHeight, PixelLayout layout);

// The in-game clock: one game minute lasts 20 real seconds.
struct GameClock {
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t subMinute = 0;

    // One real second.
    void advanceSecond();
};

// The work the tick runs, in the order it runs it within its gate.
enum class TickStep : uint8_t {
    // Input gate (at least 33 ms apart).
    UpdatePointer,
    GumpManagerUpdate,
    AgePendingRecords, // only when the one-second step ran in this tick
    // Frame gate (at least 76 ms apart).
    DecaySpeechBudget,
    ReleaseQueuedSpeech,
    WalkPathStep,
    MusicStep,
    UpdateSound,
    WalkingStep,
    ObjectManagerUpdate,
    WeatherStep,
    MacroStep,
    ViewRangeStep,
    UpdateWeaponAbilities,
    ItemPropertyRequests,
    MacroDelayCountdown,
    RenderFrame, // skipped in a catch-up tick
    SendKeepAlive,
    DesktopReopen,
    // Runs when the frame gate stayed shut, so a playing video stays shown.
    VideoRedraw,
    Count,
};

inline constexpr size_t kTickStepCount = static_cast<size_t>(TickStep::Count);

const char* tickStepName(TickStep step);

class GameTick {
public:
    static constexpr uint32_t kInputGateMs = 33;
    static constexpr uint32_t kSecondMs = 1000;
    static constexpr uint32_t kFrameGateMs = 76;

    // Wires `work` into `step`, replacing what was there; an empty function
    // unwires it.
    void setStep(TickStep step, std::function<void()> work);
    // True when something is wired into `step`.
    bool hasStep(TickStep step) const;

    // One tick; `skipDraw` runs everything but RenderFrame.
    void run(bool skipDraw);

    // The values stored by the last tick: wall-clock milliseconds truncated
    // to 32 bits, and calendar seconds.
    uint32_t currentTimeMs() const { return m_currentTimeMs; }
    int32_t currentTimeSeconds() const { return m_currentTimeSeconds; }
    const GameClock& gameClock() const { return m_gameClock; }
    GameClock& gameClock() { return m_gameClock; }

private:
    void runStep(TickStep step);

    std::array<std::function<void()>, kTickStepCount> m_steps;
    uint32_t m_currentTimeMs = 0;
    int32_t m_currentTimeSeconds = 0;
    uint32_t m_lastInputTime = 0;
    uint32_t m_lastSecondTime = 0;
    uint32_t m_lastFrameTime = 0;
    GameClock m_gameClock;
};

// The process-wide tick (its clocks are read everywhere).
GameTick& gameTick();
uint32_t currentTimeMs();
int32_t currentTimeSeconds();
