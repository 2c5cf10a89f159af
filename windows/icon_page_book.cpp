#include "windows/icon_page_book.h"

#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "windows/icon_gumps.h"

#include <algorithm>

void IconPageBook::onLeftDown(int32_t x, int32_t y)
{
    bringToFront(false);
    m_pressX = x;
    m_pressY = y;
    setDragAnchor(x, y);
    m_clicks.press();
    m_pressedIcon = isMinimised() ? 0 : std::max(iconAtPress(x, y), 0);
}

void IconPageBook::onDrag(int32_t x, int32_t y)
{
    if (!m_clicks.leftDown)
        return;
    const bool moved = WindowClicks::movedBeyondThreshold(x, y, dragAnchorX(), dragAnchorY());
    if (m_pressedIcon > 0) {
        if (!moved)
            return;
        const int32_t icon = m_pressedIcon;
        m_pressedIcon = 0;
        m_clicks = WindowClicks {};
        int32_t screenX = x, screenY = y;
        localToScreen(screenX, screenY);
        service<GumpPointer>().clearPointerCaptureIf(this);
        dragOutIcon(pulledIconKind(), icon, screenX, screenY);
        return;
    }
    if (moved)
        m_clicks.dragStarted = true;
    moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void IconPageBook::onLeftUp(int32_t, int32_t)
{
    GumpHandle self(this);
    const ClickEvent event = m_clicks.release();
    if (event == ClickEvent::Double)
        doubleClick(m_pressX, m_pressY);
    else if (event == ClickEvent::Single)
        singleClick(m_pressX, m_pressY);
    if (self)
        service<GumpPointer>().clearPointerCaptureIf(this);
}

void IconPageBook::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void IconPageBook::onHoverTick()
{
    const ClickEvent event = m_clicks.expire();
    if (event == ClickEvent::Single)
        singleClick(m_pressX, m_pressY);
    else if (event == ClickEvent::Hold)
        m_clicks.dragStarted = true; // a hold ends quietly
}
