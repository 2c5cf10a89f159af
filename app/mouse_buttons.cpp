#include "app/mouse_buttons.h"

#include "app/pointer.h"
#include "platform/clock.h"

MouseButtons::MouseButtons(PointerTargets& targets)
    : m_targets(targets)
{
}

void MouseButtons::setPointerCapture(CGump* gump) { m_capture = gump && m_targets.isValid(gump) ? gump : nullptr; }

void MouseButtons::releasePointerCaptureIf(CGump* gump)
{
    if (m_capture == gump)
        m_capture = nullptr;
}

CGump* MouseButtons::validCapture()
{
    if (m_capture && !m_targets.isValid(m_capture))
        m_capture = nullptr;
    return m_capture;
}

void MouseButtons::commonFirstSteps(int32_t x, int32_t y)
{
    movePointerTo(x, y);
    m_targets.closeContextPopupUnlessOn(x, y);
}

void MouseButtons::onLeftButtonDown(int32_t x, int32_t y)
{
    m_pressedObjectSerial = 0;
    m_leftButtonDown = true;
    commonFirstSteps(x, y);
    if (!m_capture)
        m_capture = m_targets.hitTest(x, y, GumpHitMode::SkipBarks);
    int32_t localX = x;
    int32_t localY = y;
    if (CGump* capture = validCapture()) {
        m_targets.toLocal(capture, localX, localY);
        m_targets.leftDown(capture, localX, localY);
    }
    m_pressX = x;
    m_pressY = y;
    // The handler may have let go of the capture or destroyed its gump.
    if (CGump* capture = validCapture())
        m_pressedObjectSerial = m_targets.containerItemAt(capture, localX, localY);
    else
        m_pressedObjectSerial = m_targets.pickDynamicObjectAt(x, y);
}

void MouseButtons::onLeftButtonUp(int32_t x, int32_t y)
{
    m_leftButtonDown = false;
    m_shiftAtLeftRelease = m_targets.isShiftHeld();
    commonFirstSteps(x, y);
    CGump* capture = validCapture();
    if (!capture)
        return;
    CGump* popup = m_targets.helpPopup();
    if (popup && m_targets.parentOf(capture) == popup) {
        // A child of the help popup is handed client coordinates and lets go.
        m_capture = nullptr;
        m_targets.leftUp(capture, x, y);
        return;
    }
    int32_t localX = x;
    int32_t localY = y;
    m_targets.toLocal(capture, localX, localY);
    // The capture is kept: the gump releases it when it wants.
    m_targets.leftUp(capture, localX, localY);
}

CGump* MouseButtons::findRightClickGump(int32_t x, int32_t y)
{
    if (CGump* modal = m_targets.modalGump()) {
        if (m_targets.containsPoint(modal, x, y))
            return m_targets.childAt(modal, x, y);
        return nullptr;
    }
    for (CGump* gump : m_targets.topLevelGumps()) {
        if (m_targets.isVisible(gump) && m_targets.containsPoint(gump, x, y) && !m_targets.isBark(gump))
            return m_targets.childAt(gump, x, y);
    }
    return nullptr;
}

void MouseButtons::onRightButtonDown(int32_t x, int32_t y)
{
    m_rightButtonDown = true;
    commonFirstSteps(x, y);
    if (!m_capture) {
        m_capture = findRightClickGump(x, y);
        if (!m_capture)
            return;
    }
    if (CGump* capture = validCapture()) {
        int32_t localX = x;
        int32_t localY = y;
        m_targets.toLocal(capture, localX, localY);
        m_targets.rightDown(capture, localX, localY);
    }
}

void MouseButtons::onRightButtonUp(int32_t x, int32_t y)
{
    m_rightButtonDown = false;
    commonFirstSteps(x, y);
    if (m_capture) {
        CGump* popup = m_targets.helpPopup();
        if (popup && m_targets.isValid(m_capture) && m_targets.parentOf(m_capture) == popup) {
            m_capture = nullptr;
        } else if (CGump* capture = validCapture()) {
            int32_t localX = x;
            int32_t localY = y;
            m_targets.toLocal(capture, localX, localY);
            m_targets.rightUp(capture, localX, localY);
        }
    }
    if (m_targets.helpPopup()) {
        int32_t px = 0;
        int32_t py = 0;
        getPointerPosition(px, py);
        if (insideHelpPopup(px, py))
            m_targets.closeHelpPopup();
    }
}

bool MouseButtons::insideHelpPopup(int32_t x, int32_t y)
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    m_targets.helpPopupRect(left, top, width, height);
    // The popup's border itself counts as outside.
    return left < x && x < left + width && top < y && y < top + height;
}

void MouseButtons::updatePointer()
{
    int32_t x = 0;
    int32_t y = 0;
    getPointerPosition(x, y);
    updateHoverHelp(x, y);

    if (CGump* capture = validCapture()) {
        int32_t localX = x;
        int32_t localY = y;
        m_targets.toLocal(capture, localX, localY);
        m_targets.drag(capture, localX, localY);
    }

    CGump* current = m_targets.hitTest(x, y, GumpHitMode::IncludeBarks);
    CGump* previous = m_targets.hitTest(m_lastHoverX, m_lastHoverY, GumpHitMode::SkipBarks);
    if (previous && previous != current && m_targets.isValid(previous) && m_targets.wantsLeaveNotice(previous))
        m_targets.mouseOver(previous, -1, -1);
    m_lastHoverX = x;
    m_lastHoverY = y;

    CGump* highlighted = m_targets.highlightedWindow();
    if (highlighted && highlighted != current)
        m_targets.clearHighlight();

    if (current && !m_targets.isValid(current))
        current = nullptr;
    CGump* hovered = m_targets.hoveredGump();
    if (hovered && m_targets.isValid(hovered) && hovered != current)
        m_targets.mouseLeave(hovered);
    m_targets.setHoveredGump(current);
    if (current) {
        int32_t localX = x;
        int32_t localY = y;
        m_targets.toLocal(current, localX, localY);
        m_targets.mouseOver(current, localX, localY);
        m_targets.hoverTick(current);
    }

    if (CGump* capture = validCapture())
        m_targets.hoverTick(capture);
}

void MouseButtons::updateHoverHelp(int32_t x, int32_t y)
{
    uint32_t now = platform::clock().tickMs();
    WorldObject* item = m_targets.pickHoverItem(x, y);
    if (!item)
        m_hoverItem = nullptr;

    switch (m_hoverState) {
    case 0:
        m_hoverStart = now;
        if (item && item != m_hoverItem) {
            m_hoverItem = item;
            m_hoverState = 1;
        }
        break;
    case 1:
        if (x == m_hoverLastX && y == m_hoverLastY && now - m_hoverStart >= m_hoverSettings.preDelayMs) {
            m_hoverState = 2;
        } else {
            m_hoverLastX = x;
            m_hoverLastY = y;
        }
        break;
    case 2:
        if (m_hoverItem && m_hoverSettings.enabled) {
            if (m_targets.isValidObject(m_hoverItem))
                m_targets.sendObjectHelpRequest(m_targets.serialOf(m_hoverItem));
            else
                m_hoverItem = nullptr;
        }
        m_hoverRequestTime = now;
        m_hoverState = 3;
        break;
    case 3:
        if (m_targets.helpPopup() || now - m_hoverRequestTime >= kHelpAnswerWaitMs)
            m_hoverState = 4;
        break;
    case 4:
        if (!m_hoverSettings.persistent || !m_targets.helpPopup())
            m_hoverState = 0;
        break;
    default:
        m_hoverState = 0;
        break;
    }

    CGump* popup = m_targets.helpPopup();
    if (!popup)
        return;
    bool inside = insideHelpPopup(x, y);
    bool captureIsChild = m_capture && m_targets.isValid(m_capture) && m_targets.parentOf(m_capture) == popup;
    if (!inside && !m_hoverSettings.sticky && !captureIsChild)
        m_targets.closeHelpPopup();
}
