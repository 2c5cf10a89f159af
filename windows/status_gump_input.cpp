// What the player does on a status gump: clicks and double clicks, targets,
// the rename entry, hovering, and opening it from a paperdoll.
#include "windows/status_gump.h"

#include "data/character_names.h"
#include "data/client_services.h"
#include "data/targeting.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/input_control.h"
#include "windows/window_packets.h"
#include "windows/world_view_gump.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <cstdlib>

namespace {

constexpr const char* kUnacceptableName = "Unacceptable name.";

GumpHandle& highlightSource()
{
    static GumpHandle gump;
    return gump;
}

} // namespace

CGump* highlightingStatusGump() { return highlightSource().get(); }

void clearStatusHighlight()
{
    highlightSource() = GumpHandle();
    PlayerMobile* self = player();
    if (!self || self->highlightedSerial == 0)
        return;
    if (WorldObject* object = findObjectBySerial(self->highlightedSerial))
        object->invalidate();
    self->highlightedSerial = 0;
}

void StatusGump::onLeftDown(int32_t x, int32_t y)
{
    GumpHandle self(this);
    m_pressed = true;
    m_pressX = x;
    m_pressY = y;
    setDragAnchor(x, y);
    if (isTargetPending()) {
        completeTarget(mobile());
        if (!self)
            return;
    }
    for (StatusGump* member : groupMembers()) {
        member->bringToFront(false);
        if (!self)
            return;
    }
    if (m_clickState == 1) {
        m_clickState = 2;
    } else {
        m_clickState = 1;
        m_firstClickTime = platform::clock().tickMs();
    }
}

void StatusGump::onDrag(int32_t x, int32_t y)
{
    // A bar dragged out of the world view moves without a press of its own.
    if (m_pressed && m_clickState != 0 && (std::abs(x - m_pressX) > 4 || std::abs(y - m_pressY) > 4))
        m_clickSuppressed = true;
    dragTo(x, y);
}

void StatusGump::onLeftUp(int32_t, int32_t)
{
    GumpHandle self(this);
    if (service<GumpPointer>().isAltHeld())
        leaveGroup();
    if (m_snapCandidate && m_snapSide != NoSide)
        dockToCandidate();
    m_snapCandidate = nullptr;
    m_snapSide = NoSide;
    service<GumpPointer>().clearPointerCaptureIf(this);
    m_pressed = false;
    if (m_clickSuppressed) {
        m_clickSuppressed = false;
        m_clickState = 0;
        return;
    }
    if (m_clickState == 2) {
        m_clickState = 0;
        doubleClick();
    }
}

void StatusGump::onHoverTick()
{
    if (m_clickState == 1 && platform::clock().tickMs() - m_firstClickTime > kDoubleClickMs) {
        m_clickState = 0;
        if (m_pressed)
            m_clickSuppressed = true;
    }
}

void StatusGump::doubleClick()
{
    if (!isMinimised()) {
        leaveGroup();
        return;
    }
    if (ownerSerial() == playerSerial()) {
        restoreToPage();
        return;
    }
    if (worldViewGump())
        doubleClickObject(mobile());
}

void StatusGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    std::vector<GumpHandle> members;
    for (StatusGump* member : groupMembers())
        members.emplace_back(member);
    for (const GumpHandle& member : members)
        closeGump(member.get());
}

void StatusGump::onMouseOver(int32_t, int32_t)
{
    GumpPointer& pointer = service<GumpPointer>();
    if (targetingState().targetingActive)
        pointer.setCursorKind(kTargetCursorKind);
    else
        pointer.setCursorForGumpType(0);
    Mobile* shown = mobile();
    PlayerMobile* self = player();
    if (!shown || !self || self->highlightedSerial == shown->serial)
        return;
    if (WorldObject* previous = findObjectBySerial(self->highlightedSerial))
        previous->invalidate();
    self->highlightedSerial = shown->serial;
    highlightSource() = GumpHandle(this);
    shown->invalidate();
}

void StatusGump::onEnter()
{
    InputControl* entry = nameEntry();
    if (!entry)
        return;
    const std::string name = entry->narrowText();
    if (validateCharacterName(name) != 0) {
        windowNotices().showWaitingBox(kUnacceptableName);
        return;
    }
    sendRenameRequest(ownerSerial(), name);
    gumpReleaseFocus();
}

void StatusGump::raiseForPaperdoll()
{
    GumpHandle self(this);
    if (ownerSerial() == playerSerial() && isMinimised())
        restoreToPage();
    moveToPartySlot();
    setVisible(true);
    clampToScreen();
    bringToFront(false);
    if (self)
        leaveGroup();
}

StatusGump* openStatusFromPaperdoll(Mobile& mobile)
{
    const uint32_t serial = mobile.serial;
    StatusGump* gump = findStatusGumpOf(serial);
    if (gump) {
        GumpHandle alive(gump);
        gump->raiseForPaperdoll();
        gump = static_cast<StatusGump*>(alive.get());
    } else {
        gump = new StatusGump(&mobile, serial, serial != playerSerial());
        gumpLink(gump, nullptr);
    }
    sendStatusRequest(kStatusBarRequest, serial);
    return gump;
}
