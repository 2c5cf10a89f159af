#include "world/world_screen.h"

#include "gfx/back_buffer.h"

#include <cstdlib>

namespace {

BackBuffer* g_backBuffer = nullptr;

} // namespace

WorldScreen& worldScreen()
{
    static WorldScreen screen;
    return screen;
}

void setWorldBackBuffer(BackBuffer* buffer) { g_backBuffer = buffer; }

void invalidateWorldRect(const ScreenRect& rect)
{
    if (!g_backBuffer || rect.isEmpty())
        return;
    const WorldScreen& screen = worldScreen();
    ScreenRect shifted { rect.left - screen.viewPixelX, rect.top - screen.viewPixelY, rect.right - screen.viewPixelX,
        rect.bottom - screen.viewPixelY };
    g_backBuffer->invalidateScreenRect(&shifted);
}

void invalidateWholeScreen()
{
    if (g_backBuffer)
        g_backBuffer->invalidateWholeScreen();
}

void scrollWorldContent(int32_t dx, int32_t dy)
{
    if (!g_backBuffer)
        return;
    if (std::abs(dx) < g_backBuffer->width() && std::abs(dy) < g_backBuffer->height() / 2)
        g_backBuffer->scrollWorldView(dx, dy);
    else
        g_backBuffer->invalidateWholeScreen();
}

ScreenRect worldGameArea()
{
    if (!g_backBuffer)
        return {};
    return { 0, 0, g_backBuffer->gameWidth(), g_backBuffer->gameHeight() };
}

void clearWorldBackBuffer()
{
    if (g_backBuffer)
        g_backBuffer->clearBackBufferRing();
}
