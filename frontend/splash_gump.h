#pragma once
// The splash screen: one full-screen picture shown for a fixed time at
// start-up, before the intro film or the main menu. It is the modal gump
// while it is up, cannot be clicked away, and ends by itself on the first
// gump update after its time, calling what comes next with its picture.
// Only one exists at a time. Times are 32-bit millisecond ticks compared
// unsigned. Main thread only.

#include "frontend/front_end_gump.h"

#include <cstdint>
#include <functional>

using SplashCallback = std::function<void(int32_t picture)>;

class SplashGump final : public FrontEndGump {
public:
    SplashGump(int32_t picture, uint32_t durationMs, SplashCallback callback);
    ~SplashGump() override;

    // Ends the splash once its time is up.
    void tick() override;
    void onLeftDown(int32_t, int32_t) override { }
    void onLeftUp(int32_t, int32_t) override { }
    void onRightDown(int32_t, int32_t) override { }
    void onRightUp(int32_t, int32_t) override { }
    void onDrag(int32_t, int32_t) override { }
    void onKey(uint32_t) override { }

    int32_t picture() const { return m_picture; }

private:
    uint32_t m_durationMs;
    uint32_t m_startMs;
    int32_t m_picture;
    SplashCallback m_callback;
};

// Shows the splash unless one is up already; returns it (null when ignored).
SplashGump* showSplashGump(int32_t picture, uint32_t durationMs, SplashCallback callback);

