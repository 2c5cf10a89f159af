#include "windows/journal_gump.h"

#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/thumb.h"
#include "windows/resize_gump.h"

#include <algorithm>

namespace {

constexpr int32_t kJournalButtonX = 137;
constexpr int32_t kJournalThumbX = 256;
constexpr int32_t kJournalThumbY = 72;
constexpr int32_t kArrowX = 249;
constexpr int32_t kUpY = 56;
constexpr int32_t kLockX = 233;
constexpr int32_t kJournalTextLeft = 38;
constexpr int32_t kJournalTextTop = 68;
constexpr int32_t kRightMargin = 55;
constexpr int32_t kJournalBottomMargin = 78;
constexpr int32_t kJournalTitleX = 111;
constexpr int32_t kTitleDrop = 10;

int32_t journalArtHeight(int32_t art) { return gumpArtSize(art).height; }

void onJournalUp(CGump* parent) { static_cast<JournalGump*>(parent)->scrollByArrow(-JournalLogGump::kArrowStep); }

void onJournalDown(CGump* parent) { static_cast<JournalGump*>(parent)->scrollByArrow(JournalLogGump::kArrowStep); }

} // namespace

int32_t textWindowRight(int32_t width, int32_t margin)
{
    const int32_t right = width - margin;
    return right % 2 == 0 ? right - 1 : right;
}

void drawTextWindowFrame(GumpPage& page, int32_t titleArt, int32_t titleX, int32_t titleDrop)
{
    if (!page.isAllocated())
        return;
    std::fill(page.pixels.begin(), page.pixels.end(), uint16_t(0));
    const int32_t buttonHeight = journalArtHeight(JournalGump::kMinimiseArt);
    const int32_t grip = journalArtHeight(JournalGump::kGripArt);
    drawVerticalGumpStrip(JournalGump::kFrameArt, 2, page, buttonHeight - 1, grip);
    const BlitTarget target = page.target();
    drawGumpArt(copySpanTransparent, titleArt, target, titleX, buttonHeight + titleDrop);
    drawGumpArt(copySpanTransparent, JournalGump::kRuleArt, target, 30, buttonHeight + 34);
    drawGumpArt(copySpanTransparent, JournalGump::kRuleArt, target, 31, page.height - grip - 48);
}

void moveTextWindowChildren(CGump& window, Thumb* knob, int32_t newWidth, int32_t newHeight)
{
    const int32_t dx = newWidth - window.width();
    const int32_t dy = newHeight - window.height();
    const int32_t middleX = window.width() / 2;
    const int32_t middleY = window.height() / 2;
    for (CGump* child = window.firstChild(); child && isValidGump(child); child = child->next()) {
        if (child == knob)
            continue;
        child->setLocation(child->x() + (child->x() > middleX ? dx : 0), child->y() + (child->y() > middleY ? dy : 0));
    }
    if (knob) {
        knob->setLocation(knob->x() + dx, knob->y());
        knob->setRange(knob->minX() + dx, knob->maxX() + dx, knob->minY(), knob->maxY() + dy);
    }
}

JournalGump::JournalGump(int32_t x, int32_t y)
    : JournalLogGump(x, y, 2, (gumpArtSize(kFrameArt).width + 7) / 8 * 8, kHeight)
{
    setTypeName("text gump");
    addKind(GumpKind::TextWindow);
    setSizeLimits(width(), kMinHeight, width(), -1);
    const GumpArtSize minimised = gumpArtSize(kMinimisedArt);
    setMinimisedSize(minimised.width, minimised.height);
    page(1)->allocate(minimised.width, minimised.height);
    if (page(1)->isAllocated())
        drawGumpArt(copySpanTransparent, kMinimisedArt, page(1)->target(), 0, 0);
    placeTextArea();

    const int32_t grip = journalArtHeight(kGripArt);
    auto* lock = new Button(kLockX, kHeight - grip - 52, ButtonBehaviour::Toggle, 0, nullptr, 0, kLockArt, false);
    attachScrollControls(new Thumb(kJournalThumbX, kJournalThumbY, true, kHeight - grip - 56, kThumbArt), lock);
    gumpLink(new Button(kJournalButtonX, 0, ButtonBehaviour::ClickOnRelease, 0, [](CGump* parent) { parent->minimize(); },
                 kMinimiseArt, kMinimiseArt, false),
        this);
    auto* resizeGrip = new Button(kJournalButtonX, kHeight - grip - 3, ButtonBehaviour::ClickOnRelease, 0,
        [](CGump* parent) { startWindowResize(*parent); }, kGripArt, kGripPressedArt, false);
    gumpLink(resizeGrip, this);
    gumpLink(new Button(kArrowX, kUpY, ButtonBehaviour::RepeatOnPress, 0, onJournalUp, kUpArt, kUpArt, false), this);
    gumpLink(new Button(kArrowX, kHeight - grip - 52, ButtonBehaviour::RepeatOnPress, 0, onJournalDown, kDownArt,
                 kDownArt, false),
        this);
    layoutToNewest();
    syncThumb();
    redrawText();
}

JournalGump::~JournalGump() { deleteChildren(); }

void JournalGump::placeTextArea()
{
    setTextArea({ kJournalTextLeft, kJournalTextTop, textWindowRight(width(), kRightMargin), height() - kJournalBottomMargin });
}

void JournalGump::redrawText()
{
    GumpPage& face = *page(0);
    face.allocate(width(), height());
    drawTextWindowFrame(face, kTitleArt, kJournalTitleX, kTitleDrop);
    drawLines(face);
}

void JournalGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    setCurrentPage(isMinimised() ? 1 : 0);
    drawPage(canvas);
    setCurrentPage(0);
    if (!isMinimised())
        drawChildren(canvas);
}

bool JournalGump::containsPoint(int32_t x, int32_t y)
{
    GumpPage* shown = page(isMinimised() ? 1 : 0);
    if (!shown || !shown->isAllocated() || x < 0 || y < 0 || x >= shown->width || y >= shown->height)
        return false;
    return shown->pixel(x, y) != 0;
}

void JournalGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void JournalGump::moveWithPointer(int32_t dx, int32_t dy) { moveBy(dx, dy, true, nullptr, true); }

void JournalGump::resize(int32_t newWidth, int32_t newHeight, bool)
{
    newWidth = std::clamp(newWidth, minWidth(), maxWidth());
    newHeight = std::max(newHeight, kMinHeight);
    moveTextWindowChildren(*this, thumb(), newWidth, newHeight);
    setSize(newWidth, newHeight);
    placeTextArea();
    if (!isScrollLocked())
        layoutToNewest();
    syncThumb();
    redrawText();
}
