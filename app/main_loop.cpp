#include "app/main_loop.h"

#include "platform/clock.h"
#include "platform/sockets.h"

#include <algorithm>

MainLoop::MainLoop(platform::Window& window, GameTick& tick, Dispatcher dispatch)
    : m_window(window)
    , m_tick(tick)
    , m_dispatch(std::move(dispatch))
{
}

void MainLoop::setStep(LoopStep step, std::function<void()> work)
{
    size_t index = static_cast<size_t>(step);
    if (index < m_steps.size())
        m_steps[index] = std::move(work);
}

bool MainLoop::hasStep(LoopStep step) const
{
    size_t index = static_cast<size_t>(step);
    return index < m_steps.size() && m_steps[index];
}

void MainLoop::runStep(LoopStep step)
{
    auto& work = m_steps[static_cast<size_t>(step)];
    if (work)
        work();
}

void MainLoop::start() { m_lastTickTime = platform::clock().tickMs(); }

uint32_t MainLoop::millisecondsUntilTick() const
{
    uint32_t elapsed = platform::clock().tickMs() - m_lastTickTime;
    return elapsed >= kTickIntervalMs ? 0 : kTickIntervalMs - elapsed;
}

bool MainLoop::runPass()
{
    if (--m_passCounter <= 0) {
        m_passCounter = kPassesPerSerialRefresh;
        runStep(LoopStep::RefreshPlayerSerial);
    }
    runStep(LoopStep::PollServerSettings);

    platform::WindowMessage message;
    bool onlyMotion = true;
    bool anyMessage = false;
    while (m_window.peekMessage(message)) {
        if (message.kind == platform::MessageKind::Quit) {
            m_exitCode = int(message.code);
            return false;
        }
        anyMessage = true;
        onlyMotion = onlyMotion && message.kind == platform::MessageKind::MouseMove;
        if (m_dispatch)
            m_dispatch(message);
        runStep(LoopStep::UpdateSound);
        runStep(LoopStep::PollTranslationServer);
    }

    // Sleep until the next tick is due, or until input or network data arrive.
    uint32_t wait = millisecondsUntilTick();
    m_window.messageDescriptors(m_windowDescriptors);
    if (anyMessage && onlyMotion && !m_windowDescriptors.empty()) {
        // The pointer moving sends an event for every few pixels; its
        // position is taken by the tick anyway, so further motion is left to
        // gather for a while (whatever else comes waits as long) and is read
        // in one go: a pass per event would cost more than all the rest.
        const uint32_t gather = std::min(wait, kMotionGatherMs);
        if (!m_networkPump || !m_networkPump(gather, {}))
            platform::clock().sleepMs(gather);
    } else if (!m_windowDescriptors.empty()) {
        // One wait for the network and the window alike, until the tick.
        if ((!m_networkPump || !m_networkPump(wait, m_windowDescriptors)) && wait > 0)
            waitForDescriptors(wait);
    } else {
        bool waited = m_networkPump && m_networkPump(std::min(wait, kMaxNetworkWaitMs), {});
        if (!waited && wait > 0)
            m_window.waitForMessage(wait);
    }
    runStep(LoopStep::UpdateSound);

    scheduleTick();
    return true;
}

void MainLoop::waitForDescriptors(uint32_t timeoutMs)
{
    std::vector<platform::SocketPoll>& entries = m_descriptorPolls;
    entries.clear();
    for (int32_t descriptor : m_windowDescriptors) {
        platform::SocketPoll entry;
        entry.socket = descriptor;
        entry.wantRead = true;
        entries.push_back(entry);
    }
    platform::pollSockets(entries, timeoutMs);
}

void MainLoop::scheduleTick()
{
    uint32_t now = platform::clock().tickMs();
    uint32_t elapsed = now - m_lastTickTime;
    if (elapsed < kTickIntervalMs)
        return;
    if (elapsed < 2 * kTickIntervalMs) {
        m_tick.run(false);
        m_lastTickTime += kTickIntervalMs;
        return;
    }
    // Far behind (a stall): tick once and restart the schedule from now rather
    // than running a burst of catch-up ticks.
    if (m_frameSkipping)
        m_tick.run(true);
    m_tick.run(false);
    m_lastTickTime = now;
}

int MainLoop::run()
{
    while (runPass()) { }
    return m_exitCode;
}
