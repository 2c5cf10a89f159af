#include "windows/tips_gump.h"

#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "data/config_keys.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/thumb.h"
#include "gump/toggle_control.h"
#include "text/ascii_font.h"
#include "windows/journal_gump.h"
#include "windows/resize_gump.h"

#include <algorithm>

namespace {

constexpr int32_t kTipButtonX = 137;
constexpr int32_t kTipThumbX = 256;
constexpr int32_t kTipThumbY = 72;
constexpr int32_t kTipArrowX = 249;
constexpr int32_t kTipUpY = 56;
constexpr int32_t kTipTextLeft = 38;
constexpr int32_t kTipTextTop = 68;
constexpr int32_t kTipRightMargin = 49;
constexpr int32_t kTipBottomMargin = 78;
constexpr int32_t kTipMinimisedArt = 2507;
constexpr int32_t kNoticeMinimisedArt = 2515;
constexpr int32_t kTipTitleArt = 2506;
constexpr int32_t kNoticeTitleArt = 2514;
constexpr int32_t kPreviousArt = 2508;
constexpr int32_t kNextArt = 2509;
constexpr int32_t kTipsBoxArt = 2510;
constexpr int32_t kTipsBoxCheckedArt = 2511;
constexpr int32_t kBoxFont = 9;
constexpr int32_t kBoxHue = 648;
constexpr int32_t kTipColumnLeftFromRight = 48;
constexpr int32_t kTipColumnRightFromRight = 25;

int32_t tipArtHeight(int32_t art) { return gumpArtSize(art).height; }

void onTipUp(CGump* parent) { static_cast<TipsGump*>(parent)->stepLines(-1); }

void onTipDown(CGump* parent) { static_cast<TipsGump*>(parent)->stepLines(1); }

} // namespace

TipsGump::TipsGump(int32_t x, int32_t y, const std::vector<std::string>& lines, bool isTip)
    : CGump(isTip ? x : kNoticeX, isTip ? y : kNoticeY, nullptr, 2,
          (gumpArtSize(JournalGump::kFrameArt).width + 7) / 8 * 8, JournalGump::kHeight)
    , m_isTip(isTip)
{
    setTypeName("tips gump");
    // The window holds 100 lines of 79 characters; the rest of a longer
    // text is left out.
    for (size_t i = 0; i < std::min(lines.size(), kMaxLines); ++i)
        m_lines.push_back(lines[i].substr(0, std::min(lines[i].size(), lines[i].find('\0'))).substr(0, kMaxLineLength));
    const int32_t minimisedArt = isTip ? kTipMinimisedArt : kNoticeMinimisedArt;
    const GumpArtSize minimised = gumpArtSize(minimisedArt);
    setMinimisedSize(minimised.width, minimised.height);
    page(1)->allocate(minimised.width, minimised.height);
    if (page(1)->isAllocated())
        drawGumpArt(copySpanTransparent, minimisedArt, page(1)->target(), 0, 0);

    const int32_t grip = tipArtHeight(JournalGump::kGripArt);
    const int32_t height = JournalGump::kHeight;
    auto* knob = new Thumb(kTipThumbX, kTipThumbY, true, height - grip - 56, JournalGump::kThumbArt);
    gumpLink(knob, this);
    m_thumb = GumpHandle(knob);
    gumpLink(new Button(kTipButtonX, 0, ButtonBehaviour::ClickOnRelease, 0, [](CGump* parent) { parent->minimize(); },
                 JournalGump::kMinimiseArt, JournalGump::kMinimiseArt, false),
        this);
    gumpLink(new Button(kTipButtonX, height - grip - 3, ButtonBehaviour::ClickOnRelease, 0,
                 [](CGump* parent) { startWindowResize(*parent); }, JournalGump::kGripArt,
                 JournalGump::kGripPressedArt, false),
        this);
    gumpLink(new Button(kTipArrowX, kTipUpY, ButtonBehaviour::RepeatOnPress, 0, onTipUp, JournalGump::kUpArt,
                 JournalGump::kUpArt, false),
        this);
    gumpLink(new Button(kTipArrowX, height - grip - 52, ButtonBehaviour::RepeatOnPress, 0, onTipDown,
                 JournalGump::kDownArt, JournalGump::kDownArt, false),
        this);
    if (isTip) {
        gumpLink(new Button(35, height - grip - 24, ButtonBehaviour::RepeatOnPress, 0, closeButtonParent, kPreviousArt,
                     kPreviousArt, false),
            this);
        gumpLink(new Button(251, height - grip - 24, ButtonBehaviour::RepeatOnPress, 0, closeButtonParent, kNextArt,
                     kNextArt, false),
            this);
        auto* box = new ToggleControl(96, height - grip - 27, kTipsBoxArt, kTipsBoxCheckedArt, kBoxFont, kBoxHue,
            "Don't show again", !configValues().showTips, 0, 0);
        gumpLink(box, this);
        m_hideBox = GumpHandle(box);
    }
    redraw();
    syncThumb();
}

TipsGump::~TipsGump()
{
    if (const ToggleControl* box = hideBox()) {
        const bool show = !box->isChecked();
        configValues().showTips = show;
        setConfigValue(ConfigKeyKind::ShowTips, show ? "yes" : "no");
    }
    deleteChildren();
}

ToggleControl* TipsGump::hideBox() const { return static_cast<ToggleControl*>(m_hideBox.get()); }

Thumb* TipsGump::thumb() const { return static_cast<Thumb*>(m_thumb.get()); }

void TipsGump::redraw()
{
    GumpPage& face = *page(0);
    face.allocate(width(), height());
    markLookChanged();
    if (m_isTip)
        drawTextWindowFrame(face, kTipTitleArt, 127, 9);
    else
        drawTextWindowFrame(face, kNoticeTitleArt, 112, 11);
    if (!face.isAllocated())
        return;
    m_textRight = textWindowRight(width(), kTipRightMargin);
    const int32_t bottom = height() - kTipBottomMargin;
    const TextClip clip { kTipTextLeft, kTipTextTop, m_textRight + 1, bottom + 1 };
    const TextSurface surface = face.surface();
    int32_t y = kTipTextTop;
    for (size_t i = size_t(m_first); i < m_lines.size() && y <= bottom; ++i, y += kLineHeight)
        drawAsciiTextWrapped(kTipTextLeft, y, kFont, 0, m_lines[i].c_str(), m_textRight - kTipTextLeft + 1, surface,
            clip, 0, 0, false);
}

void TipsGump::syncThumb()
{
    if (Thumb* knob = thumb())
        knob->setPosition(m_first, std::max(int32_t(m_lines.size()) - 1, 0));
}

void TipsGump::setFirst(int32_t line)
{
    // An empty text has no last line: the first line stays 0.
    m_first = std::clamp(line, 0, std::max(int32_t(m_lines.size()) - 1, 0));
}

void TipsGump::stepLines(int32_t delta)
{
    setFirst(m_first + delta);
    syncThumb();
    redraw();
}

void TipsGump::onSlider(int32_t position, int32_t range, CGump*)
{
    const int32_t count = int32_t(m_lines.size());
    if (position <= 1 || range <= 0)
        setFirst(0);
    else if (position >= range)
        setFirst(count - 1);
    else
        setFirst(int32_t(int64_t(position) * count / range));
    redraw();
}

void TipsGump::pageAt(int32_t x, int32_t y)
{
    Thumb* knob = thumb();
    if (!knob || m_lines.empty() || x < width() - kTipColumnLeftFromRight || x > width() - kTipColumnRightFromRight
        || y < kTipTextTop || y > height() - kTipBottomMargin)
        return;
    const int32_t t = y - 8;
    const bool back = t < knob->y();
    setFirst(m_first + (back ? -kPageLines : kPageLines));
    syncThumb();
    const bool reached = back ? knob->y() <= t : knob->y() >= t;
    if (!reached) {
        knob->setLocation(knob->x(), std::clamp(t, knob->minY(), std::max(knob->minY(), knob->maxY())));
        onSlider(knob->y() - knob->minY(), knob->maxY() - knob->minY(), knob);
        return;
    }
    redraw();
}

void TipsGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    setCurrentPage(isMinimised() ? 1 : 0);
    drawPage(canvas);
    setCurrentPage(0);
    if (!isMinimised())
        drawChildren(canvas);
}

bool TipsGump::containsPoint(int32_t x, int32_t y)
{
    const GumpPage* shown = page(isMinimised() ? 1 : 0);
    return shown && x >= 0 && y >= 0 && x < shown->width && y < shown->height;
}

void TipsGump::onLeftDown(int32_t x, int32_t y)
{
    GumpHandle self(this);
    bringToFront(true);
    if (!self)
        return;
    setDragAnchor(x, y);
    m_presses.press(x, y);
}

void TipsGump::onLeftUp(int32_t, int32_t)
{
    GumpHandle self(this);
    if (m_presses.release() && isMinimised())
        restore();
    if (self)
        service<GumpPointer>().clearPointerCaptureIf(this);
}

void TipsGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void TipsGump::onDrag(int32_t x, int32_t y)
{
    int32_t dx = 0, dy = 0;
    if (m_presses.drag(x, y, dx, dy))
        moveBy(dx, dy, true, nullptr, true);
}

void TipsGump::onHoverTick()
{
    if (m_presses.hoverTick())
        pageAt(m_presses.pressX(), m_presses.pressY());
}

void TipsGump::resize(int32_t newWidth, int32_t newHeight, bool)
{
    moveTextWindowChildren(*this, thumb(), newWidth, newHeight);
    setSize(newWidth, newHeight);
    syncThumb();
    redraw();
}

void openTipWindow(const std::vector<std::string>& lines, int32_t x, int32_t y, bool dockOutside)
{
    auto* tips = new TipsGump(x, y, lines, true);
    gumpLink(tips, nullptr);
    if (dockOutside)
        tips->placeOutsideGameArea();
}
