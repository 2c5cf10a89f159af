#include "frontend/front_end_gump.h"

#include "data/settings_registry.h"
#include "frontend/front_end_shell.h"
#include "gfx/back_buffer.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "protocol/login_state.h"

void clearFrontEndBackBuffer()
{
    if (BackBuffer* buffer = gumpManager().backBuffer) {
        buffer->clearBackBufferRing();
        buffer->invalidateWholeScreen();
    }
}

void prepareFrontEndScreen()
{
    FrontEndShell& shell = service<FrontEndShell>();
    loginSession().loggedIn = false;
    shell.clearViewOffsets();
    shell.setGameWindowSize(kFrontEndWidth, kFrontEndHeight);
    if (BackBuffer* buffer = gumpManager().backBuffer)
        buffer->invalidateWholeScreen();
    // The display mode follows the new size by going out of full screen and
    // back.
    if (settings().getBoolSetting(u"FullScreen")) {
        shell.switchToWindowed();
        shell.switchToFullScreen();
    }
    shell.setMainWindowRect(0, 0, kFrontEndWidth, kFrontEndHeight);
    if (BackBuffer* buffer = gumpManager().backBuffer)
        buffer->invalidateWholeScreen();
    shell.setAllowWindowResize(false);
}

FrontEndGump::FrontEndGump(int32_t x, int32_t y, int32_t width, int32_t height)
    : CGump(x, y, nullptr, 1, width, height)
{
}

void FrontEndGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    drawPage(canvas);
    drawChildren(canvas);
}

bool FrontEndGump::containsPoint(int32_t x, int32_t y)
{
    return isVisible() && x >= 0 && y >= 0 && x < width() && y < height();
}

void FrontEndGump::releasePointerCapture() { service<GumpPointer>().setPointerCapture(nullptr); }

void FrontEndGump::setFrontEndCursor() { service<GumpPointer>().setCursorKind(kFrontEndCursorKind); }

void FrontEndGump::dragDialog(int32_t x, int32_t y)
{
    if (m_dragging)
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

GumpPage& FrontEndGump::makePage()
{
    GumpPage& face = *page(0);
    face.allocate(width(), height());
    return face;
}
