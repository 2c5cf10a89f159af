#include "frontend/splash_gump.h"

#include "frontend/front_end_state.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/gump_manager.h"
#include "platform/clock.h"


SplashGump::SplashGump(int32_t picture, uint32_t durationMs, SplashCallback callback)
    : FrontEndGump(0, 0, kFrontEndWidth, kFrontEndHeight)
    , m_durationMs(durationMs)
    , m_startMs(platform::clock().tickMs())
    , m_picture(picture)
    , m_callback(std::move(callback))
{
    setTypeName("Splash gump");
    prepareFrontEndScreen();
    GumpPage& face = makePage();
    clearFrontEndBackBuffer();
    // A plain copy: the picture's every pixel, its colour 0 included.
    drawGumpArt(copySpan, picture, face.target(), 0, 0);
}

SplashGump::~SplashGump() { gumpClearModalIf(this); }

void SplashGump::tick()
{
    if (platform::clock().tickMs() - m_startMs < m_durationMs)
        return;
    gumpClearModalIf(this);
    GumpHandle self(this);
    SplashCallback callback = std::move(m_callback);
    m_callback = nullptr;
    if (callback)
        callback(m_picture);
    closeGump(self.get());
}

SplashGump* showSplashGump(int32_t picture, uint32_t durationMs, SplashCallback callback)
{
    if (frontEnd().splash)
        return nullptr;
    auto* splash = new SplashGump(picture, durationMs, std::move(callback));
    frontEnd().splash = GumpHandle(splash);
    gumpLink(splash, nullptr);
    gumpSetModal(splash);
    return splash;
}

