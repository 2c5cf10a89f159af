#pragma once
// One drawn frame: the world's dirty rectangles, then every gump over the
// client area (which presents), then the speech line. While the death fade
// runs, the game area is darkened one step per frame instead; "You are dead."
// appears on the frame at which the counter becomes 16 and at 32 the fade ends
// with the resurrection choice sent to the server. The services belong to the
// world, the gump framework and the network; one not wired is skipped.
// Main thread only.

#include <cstdint>
#include <functional>

struct FrameServices {
    std::function<bool()> hasGameConnection;
    std::function<void()> renderWorldDirtyRects;
    // Redraws every gump over the whole client area and presents it.
    std::function<void()> redrawAllGumps;
    std::function<void()> refreshSpeechLine;
    std::function<void()> darkenGameArea;
    // Shows "You are dead." (hue 0, font 3) centred in the game area.
    std::function<void()> showDeathText;
    std::function<void()> invalidateWholeScreen;
    // The resurrection-choice request with choice 2.
    std::function<void()> sendResurrectionChoice;
};

// The top-left that centres a gump of the given size in the game area, each
// half rounded toward zero.
void centreInGameArea(int32_t gameWidth, int32_t gameHeight, int32_t gumpWidth, int32_t gumpHeight, int32_t& x,
    int32_t& y);

class FrameRenderer {
public:
    static constexpr int32_t kDeathTextFrame = 16;
    static constexpr int32_t kDeathFadeEnd = 32;

    explicit FrameRenderer(FrameServices services);

    // The server's death notice.
    void startDeathFade() { m_deathFadeCounter = 1; }
    int32_t deathFadeCounter() const { return m_deathFadeCounter; }

    void renderFrame();

private:
    void run(const std::function<void()>& service)
    {
        if (service)
            service();
    }

    FrameServices m_services;
    int32_t m_deathFadeCounter = 0;
};
