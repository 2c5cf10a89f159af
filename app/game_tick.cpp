#include "app/game_tick.h"

#include "platform/clock.h"

uint32_t tickDiff(uint32_t now, uint32_t then)
{
    if (now >= then)
        return now - then;
    return now - then - 1;
}

namespace {

uint16_t lowerField(uint16_t field) { return field ? uint16_t(field - 1) : field; }

constexpr const char* kStepNames[] = {
    "UpdatePointer",
    "GumpManagerUpdate",
    "AgePendingRecords",
    "DecaySpeechBudget",
    "ReleaseQueuedSpeech",
    "WalkPathStep",
    "MusicStep",
    "UpdateSound",
    "WalkingStep",
    "ObjectManagerUpdate",
    "WeatherStep",
    "MacroStep",
    "ViewRangeStep",
    "UpdateWeaponAbilities",
    "ItemPropertyRequests",
    "MacroDelayCountdown",
    "RenderFrame",
    "SendKeepAlive",
    "DesktopReopen",
    "VideoRedraw",
};
static_assert(std::size(kStepNames) == kTickStepCount);

} // namespace

void darkenPixels(uint16_t* pixels, int64_t count, PixelLayout layout)
{
    for (int64_t i = 0; i < count; ++i) {
        uint16_t p = pixels[i];
        if (layout == PixelLayout::Rgb555) {
            uint16_t red = lowerField((p >> 10) & 31);
            uint16_t green = lowerField((p >> 5) & 31);
            uint16_t blue = lowerField(p & 31);
            pixels[i] = uint16_t((red << 10) | (green << 5) | blue);
        } else {
            uint16_t red = lowerField((p >> 11) & 31);
            uint16_t green = lowerField((p >> 6) & 31); // upper five bits of the six
            uint16_t blue = lowerField(p & 31);
            pixels[i] = uint16_t((red << 11) | (green << 5) | blue);
        }
    }
}

void darkenRingGameArea(uint16_t* pixels, int32_t width, int32_t height, int64_t ringStart, int32_t gameWidth,
    int32_t gameHeight, PixelLayout layout)
{
    int64_t ringSize = int64_t(width) * height;
    if (!pixels || ringSize <= 0 || gameWidth <= 0 || gameHeight <= 0)
        return;
    if (gameWidth > width)
        gameWidth = width;
    if (gameHeight > height)
        gameHeight = height;
    int64_t rowStart = ((ringStart % ringSize) + ringSize) % ringSize;
    for (int32_t row = 0; row < gameHeight; ++row) {
        int64_t first = ringSize - rowStart;
        if (first >= gameWidth) {
            darkenPixels(pixels + rowStart, gameWidth, layout);
        } else {
            // The row runs past the ring's end: the rest comes from its start.
            darkenPixels(pixels + rowStart, first, layout);
            darkenPixels(pixels, gameWidth - first, layout);
        }
        rowStart += width;
        if (rowStart >= ringSize)
            rowStart -= ringSize;
    }
}

void GameClock::advanceSecond()
{
    if (++subMinute < 20)
        return;
    subMinute = 0;
    if (++minute < 60)
        return;
    minute = 0;
    if (++hour >= 24)
        hour = 0;
}

const char* tickStepName(TickStep step)
{
    size_t index = static_cast<size_t>(step);
    return index < kTickStepCount ? kStepNames[index] : "";
}

void GameTick::setStep(TickStep step, std::function<void()> work)
{
    size_t index = static_cast<size_t>(step);
    if (index < kTickStepCount)
        m_steps[index] = std::move(work);
}

bool GameTick::hasStep(TickStep step) const
{
    size_t index = static_cast<size_t>(step);
    return index < kTickStepCount && m_steps[index];
}

void GameTick::runStep(TickStep step)
{
    auto& work = m_steps[static_cast<size_t>(step)];
    if (work)
        work();
}

void GameTick::run(bool skipDraw)
{
    platform::Clock& clock = platform::clock();
    m_currentTimeMs = clock.systemMs();
    m_currentTimeSeconds = int32_t(clock.unixSeconds());
    uint32_t now = m_currentTimeMs;

    if (now - m_lastInputTime >= kInputGateMs) {
        m_lastInputTime = now;
        bool secondStepRan = false;
        if (now - m_lastSecondTime >= kSecondMs) {
            m_lastSecondTime = now;
            m_gameClock.advanceSecond();
            secondStepRan = true;
        }
        runStep(TickStep::UpdatePointer);
        runStep(TickStep::GumpManagerUpdate);
        if (secondStepRan)
            runStep(TickStep::AgePendingRecords);
    }

    if (now - m_lastFrameTime >= kFrameGateMs) {
        m_lastFrameTime = now;
        for (TickStep step : { TickStep::DecaySpeechBudget, TickStep::ReleaseQueuedSpeech, TickStep::WalkPathStep,
                 TickStep::MusicStep, TickStep::UpdateSound, TickStep::WalkingStep, TickStep::ObjectManagerUpdate,
                 TickStep::WeatherStep, TickStep::MacroStep, TickStep::ViewRangeStep,
                 TickStep::UpdateWeaponAbilities, TickStep::ItemPropertyRequests, TickStep::MacroDelayCountdown })
            runStep(step);
        if (!skipDraw)
            runStep(TickStep::RenderFrame);
        runStep(TickStep::SendKeepAlive);
        runStep(TickStep::DesktopReopen);
    } else {
        runStep(TickStep::VideoRedraw);
    }
}

GameTick& gameTick()
{
    static GameTick tick;
    return tick;
}

uint32_t currentTimeMs() { return gameTick().currentTimeMs(); }
int32_t currentTimeSeconds() { return gameTick().currentTimeSeconds(); }
