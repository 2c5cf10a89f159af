#include "app/frame_render.h"

void centreInGameArea(
    int32_t gameWidth, int32_t gameHeight, int32_t gumpWidth, int32_t gumpHeight, int32_t& x, int32_t& y)
{
    x = gameWidth / 2 - gumpWidth / 2;
    y = gameHeight / 2 - gumpHeight / 2;
}

FrameRenderer::FrameRenderer(FrameServices services)
    : m_services(std::move(services))
{
}

void FrameRenderer::renderFrame()
{
    bool connected = m_services.hasGameConnection && m_services.hasGameConnection();
    if (!connected)
        return;
    if (m_deathFadeCounter == 0) {
        run(m_services.renderWorldDirtyRects);
        run(m_services.redrawAllGumps);
        run(m_services.refreshSpeechLine);
        return;
    }
    run(m_services.darkenGameArea);
    ++m_deathFadeCounter;
    if (m_deathFadeCounter == kDeathTextFrame)
        run(m_services.showDeathText);
    if (m_deathFadeCounter >= kDeathFadeEnd) {
        m_deathFadeCounter = 0;
        run(m_services.invalidateWholeScreen);
        if (m_services.hasGameConnection && m_services.hasGameConnection())
            run(m_services.sendResurrectionChoice);
    }
    run(m_services.redrawAllGumps);
    run(m_services.refreshSpeechLine);
}
