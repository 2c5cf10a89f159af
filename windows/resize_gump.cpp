#include "windows/resize_gump.h"

#include "gfx/colour_tables.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "windows/window_services.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr int32_t kTextWindowMinHeight = 220;
constexpr int32_t kBoardMessageMinHeight = 260;
constexpr int32_t kScreenBottomMargin = 20;
constexpr int32_t kResizeChatMinWidth = 93;
constexpr int32_t kResizeChatMinHeight = 98;
constexpr uint16_t kResizeOutlineColour = packRgb(255, 255, 255);

int32_t evenUp(int32_t value) { return value + (value & 1); }

int32_t clampOrMin(int32_t value, int32_t low, int32_t high)
{
    // A window low on the screen may have its maximum below its minimum:
    // the minimum wins.
    return std::max(std::min(value, high), low);
}

void fillRow(const BlitTarget& target, int32_t x, int32_t y, int32_t length)
{
    if (y < target.bounds.top || y >= target.bounds.bottom)
        return;
    for (int32_t px = std::max(x, target.bounds.left); px < std::min(x + length, target.bounds.right); ++px)
        *target.at(px, y) = kResizeOutlineColour;
}

void fillColumn(const BlitTarget& target, int32_t x, int32_t y, int32_t length)
{
    if (x < target.bounds.left || x >= target.bounds.right)
        return;
    for (int32_t py = std::max(y, target.bounds.top); py < std::min(y + length, target.bounds.bottom); ++py)
        *target.at(x, py) = kResizeOutlineColour;
}

ResizeGump* outlineOn(const CGump& window)
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->typeName() == std::string_view("resize gump")
            && static_cast<ResizeGump*>(gump)->target() == &window)
            return static_cast<ResizeGump*>(gump);
    }
    return nullptr;
}

} // namespace

ResizeLimits resizeLimitsFor(CGump& window, int32_t screenWidth, int32_t screenHeight)
{
    if (window.is(GumpKind::ChatWindow) || window.is(GumpKind::GmChatWindow) || window.is(GumpKind::MessengerWindow)
        || window.is(GumpKind::PartyGump) || window.is(GumpKind::PartyChat))
        return { kResizeChatMinWidth, kResizeChatMinHeight, screenWidth - window.x(), screenHeight - window.y() };
    const int32_t minHeight = window.is(GumpKind::BulletinMessage) ? kBoardMessageMinHeight : kTextWindowMinHeight;
    return { window.width(), minHeight, window.width(), screenHeight - window.y() - kScreenBottomMargin };
}

ResizeGump::ResizeGump(CGump& target, int32_t width, int32_t height, const ResizeLimits& limits, int32_t value)
    : CGump(target.x(), target.y(), nullptr, 0, 0, 0)
    , m_target(&target)
    , m_limits { evenUp(limits.minWidth), limits.minHeight, evenUp(limits.maxWidth), limits.maxHeight }
    , m_value(value)
{
    setTypeName("resize gump");
    // It starts at the window's size; the pointer moves it from the next
    // frame on (the window's own press point is not the grip's).
    setOutlineSize(width, height);
}

void ResizeGump::setOutlineSize(int32_t newWidth, int32_t newHeight)
{
    setSize(evenUp(clampOrMin(newWidth, m_limits.minWidth, m_limits.maxWidth)),
        clampOrMin(newHeight, m_limits.minHeight, m_limits.maxHeight));
}

void ResizeGump::draw(GumpCanvas& canvas)
{
    int32_t left = 0, top = 0;
    localToScreen(left, top);
    const BlitTarget& target = canvas.target();
    fillRow(target, left, top, width() - 1);
    fillColumn(target, left + width() - 2, top, height() - 1);
    fillRow(target, left, top + height() - 2, width() - 1);
    fillColumn(target, left, top, height() - 1);
}

bool ResizeGump::containsPoint(int32_t, int32_t) { return false; }

void ResizeGump::onMouseOver(int32_t, int32_t) { }

void ResizeGump::onDrag(int32_t x, int32_t y) { setOutlineSize(x, y); }

bool ResizeGump::isClosableByCloseAll() { return false; }

void ResizeGump::onLeftUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    if (CGump* window = m_target.get())
        window->resize(width(), height(), m_value != 0);
    closeGump(this);
}

void startWindowResize(CGump& window)
{
    const GumpScreen& screen = gumpScreen();
    startWindowResize(window, resizeLimitsFor(window, screen.width, screen.height));
}

void startWindowResize(CGump& window, const ResizeLimits& limits)
{
    if (outlineOn(window))
        return;
    auto* outline = new ResizeGump(window, window.width(), window.height(), limits, 0);
    gumpLink(outline, nullptr);
    service<GumpPointer>().setPointerCapture(outline);
}

void startSplitResize(CGump& window, int32_t width, int32_t height, const ResizeLimits& limits)
{
    if (outlineOn(window))
        return;
    auto* outline = new ResizeGump(window, width, height, limits, 1);
    gumpLink(outline, nullptr);
    service<GumpPointer>().setPointerCapture(outline);
}

namespace {

class OutlineResizeFrames final : public ResizeFrames {
public:
    void openResizeFrame(CGump* target, int32_t minWidth, int32_t minHeight, int32_t maxWidth,
        int32_t maxHeight) override
    {
        if (target)
            startWindowResize(*target, { minWidth, minHeight, maxWidth, maxHeight });
    }
};

} // namespace

ResizeFrames& resizeOutlineFrames()
{
    static OutlineResizeFrames frames;
    return frames;
}
