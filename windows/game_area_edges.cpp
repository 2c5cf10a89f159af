#include "windows/game_area_edges.h"

#include "gfx/gump_art.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "windows/window_services.h"
#include "world/world_screen.h"

#include <array>

namespace {

std::array<GameAreaEdgeGump*, 4> g_edges {};

} // namespace

GameAreaEdgeGump::GameAreaEdgeGump(int32_t side)
    : CGump(0, 0, nullptr, 1, 0, 0)
    , m_side(side)
{
    setTypeName("GameAreaEdgeGump");
    addKind(GumpKind::GameAreaEdge);
    layout();
    g_edges[size_t(side & 3)] = this;
    gumpLink(this, nullptr);
}

GameAreaEdgeGump::~GameAreaEdgeGump()
{
    if (g_edges[size_t(m_side & 3)] == this)
        g_edges[size_t(m_side & 3)] = nullptr;
}

void GameAreaEdgeGump::layout()
{
    int32_t w0 = 0, h0 = 0, w1 = 0, h1 = 0;
    getGumpArtSize(kHorizontalArt, w0, h0);
    getGumpArtSize(kVerticalArt, w1, h1);
    const GumpScreen& screen = gumpScreen();
    const int32_t gameWidth = screen.gameWidth;
    const int32_t gameHeight = screen.gameHeight;
    const bool horizontal = m_side == Top || m_side == Bottom;
    int32_t width = horizontal ? gameWidth + 2 * w1 : w1;
    int32_t height = horizontal ? h0 : gameHeight;
    int32_t x = m_side == Right ? gameWidth : -w1;
    int32_t y = m_side == Top ? -h0 : m_side == Bottom ? gameHeight : 0;
    setLocation(x, y);
    setSize(width, height);
    GumpPage* face = page(0);
    face->release();
    face->allocate(width, height);
    markLookChanged();
    if (!face->isAllocated())
        return;
    const BlitTarget target = face->target();
    const int32_t art = horizontal ? kHorizontalArt : kVerticalArt;
    const int32_t step = horizontal ? w0 : h1;
    const int32_t length = horizontal ? width : height;
    for (int32_t at = 0; step > 0 && at < length; at += step)
        drawGumpArt(copySpan, art, target, horizontal ? at : 0, horizontal ? 0 : at);
}

void GameAreaEdgeGump::onLeftDown(int32_t x, int32_t y)
{
    const GumpScreen& screen = gumpScreen();
    m_grabX = x - screen.gameViewX;
    m_grabY = y - screen.gameViewY;
    m_dragging = true;
}

void GameAreaEdgeGump::onRightDown(int32_t x, int32_t y)
{
    const GumpScreen& screen = gumpScreen();
    m_grabX = x - screen.gameViewX;
    m_grabY = y - screen.gameViewY;
    m_dragging = false;
}

void GameAreaEdgeGump::onLeftUp(int32_t, int32_t)
{
    m_dragging = false;
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void GameAreaEdgeGump::onRightUp(int32_t, int32_t) { service<GumpPointer>().clearPointerCaptureIf(this); }

void GameAreaEdgeGump::onDrag(int32_t x, int32_t y)
{
    if (!m_dragging)
        return;
    GumpScreen screen = gumpScreen();
    int32_t dx = x - screen.gameViewX - m_grabX;
    int32_t dy = y - screen.gameViewY - m_grabY;
    if (screen.gameViewX + dx < 0)
        dx = -screen.gameViewX;
    if (screen.gameViewY + dy < 0)
        dy = -screen.gameViewY;
    if (screen.gameWidth + screen.gameViewX + dx > screen.width)
        dx = screen.width - screen.gameViewX - screen.gameWidth;
    if (screen.gameHeight + screen.gameViewY + dy > screen.height)
        dy = screen.height - screen.gameViewY - screen.gameHeight;
    if (dx == 0 && dy == 0)
        return;
    m_grabX -= dx;
    m_grabY -= dy;
    screen.gameViewX += dx;
    screen.gameViewY += dy;
    gumpSetScreen(screen);
    service<GameViewPlacement>().setGameViewOffset(screen.gameViewX, screen.gameViewY);
    invalidateWholeScreen();
}

void createGameAreaEdges()
{
    for (int32_t side = GameAreaEdgeGump::Top; side <= GameAreaEdgeGump::Right; ++side) {
        if (!isValidGump(g_edges[size_t(side)]))
            new GameAreaEdgeGump(side);
    }
}

void relayoutGameAreaEdges()
{
    for (GameAreaEdgeGump* edge : g_edges) {
        if (isValidGump(edge))
            edge->layout();
    }
}

GameAreaEdgeGump* gameAreaEdge(int32_t side)
{
    GameAreaEdgeGump* edge = g_edges[size_t(side & 3)];
    return isValidGump(edge) ? edge : nullptr;
}
