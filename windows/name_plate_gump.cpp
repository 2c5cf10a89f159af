#include "windows/name_plate_gump.h"

#include "core/wide_text.h"
#include "data/targeting.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "text/unicode_font.h"
#include "windows/gump_world_objects.h"
#include "windows/window_packets.h"
#include "windows/world_view_gump.h"
#include "world/body_animation.h"
#include "world/item_graphics.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <array>

namespace {

constexpr int32_t kNameRoom = NamePlateGump::kWidth - 5;
constexpr size_t kShortestShortened = 4;

std::array<int32_t, 9> frameArts()
{
    std::array<int32_t, 9> arts {};
    for (int32_t i = 0; i < 9; ++i)
        arts[size_t(i)] = NamePlateGump::kFirstFrameArt + i;
    return arts;
}

int32_t measureWidth(const std::u16string& text)
{
    int32_t width = 0, height = 0, zero = 0;
    measureUnicodeText(text.c_str(), width, height, zero);
    return width;
}

} // namespace

std::u16string fitNameWithEllipsis(std::u16string name, int32_t maxWidth)
{
    // Each pass keeps one character fewer of the name before the dots.
    while (measureWidth(name) > maxWidth && name.size() > kShortestShortened) {
        name = name.substr(0, name.size() - 4) + u"...";
    }
    return name;
}

NamePlateGump::NamePlateGump(WorldObject& object)
    : CGump(0, 0, nullptr, 1, kWidth, kHeight)
    , m_objectSerial(service<GumpWorld>().serialOf(&object))
{
    addKind(GumpKind::NamePlate);
    page(0)->allocate(kWidth, kHeight);
    const std::array<int32_t, 9> arts = frameArts();
    drawNinePatchFrame(0, 0, kWidth, kHeight, arts.data(), true, 0, 0);
    if (object.isMobile()) {
        sendNameRequest(m_objectSerial);
        drawNinePatchFrame(
            0, 0, kWidth, kHeight, arts.data(), true, getNotorietyHue(static_cast<Mobile*>(&object)), 0);
        return;
    }
    if (object.hasItemTile()) {
        const auto& item = static_cast<const Item&>(object);
        drawName(item.nameText.empty() ? std::string(getObjectName(item)) : item.nameText);
    }
}

NamePlateGump::~NamePlateGump() { allNamesForget(m_objectSerial, this); }

void NamePlateGump::drawName(std::string_view name)
{
    std::u16string wide = bytesToWideString(name);
    const int32_t previousFont = getUnicodeFont();
    selectUnicodeFont(kNameFont);
    wide = fitNameWithEllipsis(std::move(wide), kNameRoom);
    int32_t width = 0, height = 0, offset = 0;
    measureUnicodeText(wide.c_str(), width, height, offset);
    GumpPage* face = page(0);
    if (face && face->isAllocated()) {
        TextSurface surface = face->surface();
        drawUnicodeTextLine(surface, wide.c_str(), (kWidth - width) / 2, (kHeight - height) / 2 + offset + 1,
            kNameColour, wholeSurface(surface));
    }
    selectUnicodeFont(previousFont);
}

WorldObject* NamePlateGump::objectOrClose()
{
    WorldObject* object = findObjectBySerial(m_objectSerial);
    if (!object)
        closeGump(this);
    return object;
}

void NamePlateGump::followMobile()
{
    WorldObject* object = objectOrClose();
    if (!object)
        return;
    const GumpScreen& screen = gumpScreen();
    ScreenRect bounds = objectClientRect(*object);
    const int32_t left = screen.gameViewX;
    const int32_t top = screen.gameViewY;
    if (bounds.right < left || bounds.left > left + screen.gameWidth || bounds.bottom < top
        || bounds.top > top + screen.gameHeight) {
        closeGump(this);
        return;
    }
    int32_t x = (bounds.left + bounds.right) / 2 - kWidth / 2;
    int32_t y = bounds.top - kHeight;
    if (x != this->x() || y != this->y())
        moveTo(x, y, true, nullptr, false);
}

void NamePlateGump::onMouseOver(int32_t, int32_t)
{
    GumpPointer& pointer = service<GumpPointer>();
    if (targetingState().targetingActive)
        pointer.setCursorKind(kTargetCursorKind);
    else
        pointer.setCursorForGumpType(0);
}

void NamePlateGump::onLeftDown(int32_t x, int32_t y)
{
    m_clicks.press();
    setDragAnchor(x, y);
}

void NamePlateGump::clickAction()
{
    WorldObject* object = objectOrClose();
    if (!object)
        return;
    if (targetingState().targetingActive)
        completeTarget(object);
    else
        requestContextMenu(m_objectSerial);
}

void NamePlateGump::onHoverTick()
{
    switch (m_clicks.expire()) {
    case ClickEvent::Hold:
        m_clicks.dragStarted = true;
        break;
    case ClickEvent::Single:
        clickAction();
        break;
    default:
        break;
    }
}

void NamePlateGump::onDrag(int32_t x, int32_t y)
{
    if (!m_clicks.leftDown || m_clicks.clickState <= 0
        || !WindowClicks::movedBeyondThreshold(x, y, dragAnchorX(), dragAnchorY()))
        return;
    m_clicks.dragStarted = true;
    m_clicks.clickState = 0;
    WorldObject* object = objectOrClose();
    if (object && worldViewGump())
        worldViewGump()->startDrag(object);
}

void NamePlateGump::onLeftUp(int32_t, int32_t)
{
    GumpHandle self(this);
    bringToFront(false);
    if (!self)
        return;
    const bool targeting = targetingState().targetingActive;
    const bool pending = m_clicks.clickState == 1;
    const ClickEvent event = m_clicks.release();
    if (event == ClickEvent::Double) {
        if (WorldObject* object = objectOrClose())
            doubleClickObject(object);
    } else if (event == ClickEvent::Single || (pending && targeting)) {
        m_clicks.clickState = 0;
        clickAction();
    }
    if (self)
        service<GumpPointer>().clearPointerCaptureIf(this);
}

void NamePlateGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void showMobileNameOnPlate(uint32_t serial, std::string_view name)
{
    CGump* plate = allNamesFind(serial);
    if (plate && plate->is(GumpKind::NamePlate))
        static_cast<NamePlateGump*>(plate)->drawName(name);
}
