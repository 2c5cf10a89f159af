#include "windows/target_gump.h"

#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "windows/gump_world_objects.h"
#include "windows/speech_services.h"
#include "windows/status_bar_table.h"
#include "windows/window_packets.h"
#include "windows/world_view_gump.h"
#include "world/body_animation.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <algorithm>

namespace {

constexpr int32_t kHangBelow = 10;

std::vector<TargetGump*>& openTargetBars()
{
    static std::vector<TargetGump*> bars;
    return bars;
}

Mobile* mobileOf(uint32_t serial)
{
    WorldObject* object = findObjectBySerial(serial);
    return object && object->isMobile() ? static_cast<Mobile*>(object) : nullptr;
}

// Another window shows the mobile: a visible status bar or another target bar.
bool isShownElsewhere(uint32_t serial, const CGump* except)
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump == except || !gump->isVisible())
            continue;
        if ((gump->is(GumpKind::StatusGump) && gump->ownerSerial() == serial)
            || (gump->is(GumpKind::TargetGump) && static_cast<TargetGump*>(gump)->mobileSerial() == serial))
            return true;
    }
    return false;
}

TargetGump* replaceBar(Mobile& mobile, int32_t kind)
{
    for (TargetGump* bar : openTargetBars()) {
        if (bar->kind() == kind) {
            closeGump(bar);
            break;
        }
    }
    auto* bar = new TargetGump(mobile, kind);
    gumpLink(bar, nullptr);
    return bar;
}

} // namespace

bool showsPoisoned(const Mobile& mobile)
{
    constexpr uint8_t kPoisonedFlag = 0x04;
    constexpr uint16_t kPoisonedKey = 1;
    auto key = mobile.statusFlags.find(kPoisonedKey);
    return (mobile.flags & kPoisonedFlag) != 0 || (key != mobile.statusFlags.end() && key->second != 0);
}

namespace target_gump_detail {
std::vector<GumpHandle> openBars()
{
    std::vector<GumpHandle> handles;
    for (TargetGump* bar : openTargetBars())
        handles.emplace_back(bar);
    return handles;
}
} // namespace target_gump_detail

TargetGump* findTargetGump(uint32_t serial)
{
    if (serial == 0)
        return nullptr;
    for (TargetGump* bar : openTargetBars()) {
        if (bar->mobileSerial() == serial)
            return bar;
    }
    return nullptr;
}

TargetGump::TargetGump(Mobile& mobile, int32_t kind)
    : CGump(0, 0, &mobile, 1, 0, 0)
    , m_kind(kind)
    , m_serial(mobile.serial)
{
    setTypeName("target gump");
    addKind(GumpKind::TargetGump);
    setOwnerSerial(mobile.serial);
    int32_t width = 0, height = 0;
    getGumpArtSize(kFaceArt, width, height);
    setSize(width, height);
    page(0)->allocate(width, height);
    drawFace();
    openTargetBars().push_back(this);

    StatusBarTable& table = statusBarTable();
    if (!table.contains(m_serial))
        table.place(m_serial, isPartyMember(m_serial));
    sendStatusRequest(kStatusBarRequest, m_serial);
}

TargetGump::~TargetGump()
{
    auto& bars = openTargetBars();
    bars.erase(std::remove(bars.begin(), bars.end(), this), bars.end());
    if (!isShownElsewhere(m_serial, this))
        statusBarTable().release(m_serial);
}

TargetGump* TargetGump::showLastTarget(Mobile& mobile) { return replaceBar(mobile, kLastTarget); }

TargetGump* TargetGump::showCombatant(Mobile& mobile) { return replaceBar(mobile, kCombatant); }

void TargetGump::closeForSerial(uint32_t serial) { closeGump(findTargetGump(serial)); }

void TargetGump::setFill(int32_t current, int32_t maximum)
{
    m_current = current;
    m_maximum = maximum;
    drawFace();
}

void TargetGump::drawFace()
{
    GumpPage& face = *page(0);
    if (!face.isAllocated())
        return;
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    Mobile* mobile = mobileOf(m_serial);
    setCurrentHueNumber(getNotorietyHue(mobile));
    drawGumpArt(hueSpanByRed, kFaceArt, face.target(), 0, 0);
    if (!mobile)
        return;
    const double fill = m_current > m_maximum || m_maximum == 0 ? 1.0 : double(m_current) / double(m_maximum);
    const int32_t shown = int32_t(kFillWidth * fill) - 1;
    if (shown <= 0)
        return;
    const ScreenRect clip { 0, 0, shown, face.height };
    setCurrentHueNumber(showsPoisoned(*mobile) ? kPoisonedFillHue : kFillHue);
    drawGumpArtClipped(hueSpanByRed, kFillArt, face.target(), &clip, 0, 0);
}

bool TargetGump::follow()
{
    Mobile* mobile = mobileOf(m_serial);
    if (!mobile) {
        closeGump(this);
        return false;
    }
    setOwner(mobile);
    drawFace();
    const ScreenRect bounds = objectClientRect(*mobile);
    int32_t x = (bounds.left + bounds.right) / 2 - width() / 2;
    int32_t y = bounds.bottom + kHangBelow;
    if (worldViewGump()) {
        const GumpScreen& screen = gumpScreen();
        x = std::clamp(x, screen.gameViewX, std::max(screen.gameViewX, screen.gameViewX + screen.gameWidth - width()));
        y = std::clamp(
            y, screen.gameViewY, std::max(screen.gameViewY, screen.gameViewY + screen.gameHeight - height()));
    }
    if (x != this->x() || y != this->y())
        moveBy(x - this->x(), y - this->y(), true, nullptr, true);
    return true;
}

void TargetGump::tick() { follow(); }

void TargetGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    GumpPage& face = *page(0);
    if (!face.isAllocated())
        return;
    int32_t x = 0, y = 0;
    localToScreen(x, y);
    drawImageClipped(blendSpan75, face.pixels.data(), face.width, face.height, canvas.target(), &canvas.clip(), x, y);
}

void TargetGump::releasePointer() { service<GumpPointer>().clearPointerCaptureIf(this); }
void TargetGump::onLeftDown(int32_t, int32_t) { releasePointer(); }
void TargetGump::onLeftUp(int32_t, int32_t) { releasePointer(); }
void TargetGump::onRightDown(int32_t, int32_t) { releasePointer(); }
void TargetGump::onRightUp(int32_t, int32_t) { releasePointer(); }
