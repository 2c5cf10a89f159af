#pragma once
// The client's main loop: each pass drains the window's message queue into the
// window procedure, pumps the network once and runs the game tick when its
// 50 ms interval has passed. A pass that finds nothing to do waits, in the
// network pump's readiness call or on the window's queue, until the next tick
// is due, so an idle client sleeps instead of spinning. Main thread only.

#include "app/game_tick.h"
#include "platform/sockets.h"
#include "platform/window.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

enum class LoopStep : uint8_t {
    RefreshPlayerSerial, // every 100 passes
    PollServerSettings,
    UpdateSound, // after every message and after the network pump
    PollTranslationServer, // after every message
    Count,
};

class MainLoop {
public:
    static constexpr uint32_t kTickIntervalMs = 50;
    static constexpr int32_t kPassesPerSerialRefresh = 100;
    // The longest the network pump may wait in one pass, so that window input
    // is picked up promptly while the pump sleeps, unless the window gives
    // descriptors that wake the pump on input (then it waits for the tick).
    static constexpr uint32_t kMaxNetworkWaitMs = 10;
    // After a pass that only saw the pointer move, how long further input is
    // left to gather before the next pass reads it (with descriptors only).
    static constexpr uint32_t kMotionGatherMs = 20;

    using Dispatcher = std::function<void(const platform::WindowMessage&)>;
    // Pumps every connection, waiting at most the given milliseconds for one
    // to become ready or one of the window's descriptors to become readable.
    // Answers false when there was no connection to wait on: the loop then
    // waits for window input instead.
    using NetworkPump = std::function<bool(uint32_t maxWaitMs, std::span<const int32_t> windowDescriptors)>;

    MainLoop(platform::Window& window, GameTick& tick, Dispatcher dispatch);

    void setStep(LoopStep step, std::function<void()> work);
    // True when something is wired into `step`.
    bool hasStep(LoopStep step) const;
    void setNetworkPump(NetworkPump pump) { m_networkPump = std::move(pump); }
    // With frame skipping on, a late schedule first runs a tick that does not draw.
    void setFrameSkipping(bool on) { m_frameSkipping = on; }

    // The schedule starts from now.
    void start();
    // One pass; false once the quit message was taken (exitCode() holds its code).
    bool runPass();
    // Passes until quit; returns the quit message's code.
    int run();

    uint32_t lastTickTime() const { return m_lastTickTime; }
    int exitCode() const { return m_exitCode; }

private:
    void runStep(LoopStep step);
    uint32_t millisecondsUntilTick() const;
    void scheduleTick();
    // Sleeps until one of the window's descriptors is readable or the time is up.
    void waitForDescriptors(uint32_t timeoutMs);

    platform::Window& m_window;
    GameTick& m_tick;
    Dispatcher m_dispatch;
    NetworkPump m_networkPump;
    std::vector<int32_t> m_windowDescriptors;
    std::vector<platform::SocketPoll> m_descriptorPolls;
    std::array<std::function<void()>, static_cast<size_t>(LoopStep::Count)> m_steps;
    uint32_t m_lastTickTime = 0;
    int32_t m_passCounter = kPassesPerSerialRefresh;
    bool m_frameSkipping = false;
    int m_exitCode = 0;
};
