#include "frontend/scroll_choice_gump.h"

#include "frontend/front_end_flow.h"
#include "frontend/front_end_state.h"
#include "frontend/main_menu.h"
#include "frontend/shard_list_gump.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/entry_core.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/input_control.h"
#include "gump/thumb.h"
#include "gump/unicode_input_control.h"
#include "net/game_connection.h"
#include "platform/clock.h"
#include "protocol/login_state.h"
#include "protocol/protocol_services.h"
#include "protocol/protocol_text.h"
#include "text/ascii_font.h"

#include <algorithm>

namespace {

constexpr int32_t kScrollChoiceThumbArt = 254;
constexpr int32_t kUpArt = 250;
constexpr int32_t kDownArt = 252;
constexpr int32_t kColumnTopArt = 257;
constexpr int32_t kColumnBottomArt = 255;
constexpr int32_t kColumnMiddleArt = 256;
constexpr int32_t kScrollChoiceTitleFont = 6;
constexpr int32_t kTitleLineSpacing = 14;
constexpr int32_t kSortLabelCliloc = 1044580;
constexpr std::array<int32_t, 3> kMarkerX = { 26, 40, 54 };

struct SortButton {
    int32_t x;
    int32_t art;
    int32_t tooltip;
    GumpCallback callback;
};

template <void (*Sort)(ScrollChoiceGump&)>
void sortList(CGump* list)
{
    Sort(*static_cast<ScrollChoiceGump*>(list));
}

constexpr std::array<SortButton, 3> kSortButtons = { {
    { 80, 2363, 100060, sortList<ShardListGump::sortByTimeZone> },
    { 188, 2366, 100059, sortList<ShardListGump::sortByLoad> },
    { 296, 2369, 100058, sortList<ShardListGump::sortByPing> },
} };

} // namespace

ScrollChoiceGump::ScrollChoiceGump(CGump* listener, int32_t frameArt, int32_t x, int32_t y, int32_t width,
    int32_t height, InputControl* target, bool shardLayout, bool wideText)
    : CGump(x, y, nullptr, 1, width, height)
    , m_listener(listener)
    , m_target(target)
    , m_frameArt(frameArt)
    , m_shardLayout(shardLayout)
    , m_choosesShard(shardLayout)
    , m_wideText(wideText)
    , m_scrollColumnX(width - 19)
    , m_trackBottom(shardLayout ? height - 68 : height - 20)
{
    setTypeName("scrollchoice gump");
    page(0)->allocate(width, height);
    if (shardLayout) {
        m_listRect = { 74, 10, width - 150, height - 67 };
        m_secondRect = { width - 140, 10, width - 90, height - 67 };
        m_thirdRect = { width - 80, 10, width - 30, height - 67 };
    } else {
        m_listRect = { 20, 10, width - 20, height - 30 };
    }

    m_thumb = new Thumb(width - 20, m_trackTop + 21, true, m_trackBottom, kScrollChoiceThumbArt);
    gumpLink(m_thumb, this);
    auto* up = new Button(width - 20, m_trackTop, ButtonBehaviour::RepeatOnPress, 0,
        onParent<&ScrollChoiceGump::scrollUp>, kUpArt, kUpArt + 1, false);
    up->setHoverArt(kUpArt);
    gumpLink(up, this);
    auto* down = new Button(width - 20, m_trackBottom, ButtonBehaviour::RepeatOnPress, 0,
        onParent<&ScrollChoiceGump::scrollDown>, kDownArt, kDownArt + 1, false);
    down->setHoverArt(kDownArt);
    gumpLink(down, this);

    if (shardLayout) {
        auto* label = new UnicodeInputControl(
            0, height - 40, EntrySize { 160, 30, false }, int32_t(EntryMode::Text), 30, 1, 0, false, false);
        label->options.readOnly = true;
        label->setText(clilocText(kSortLabelCliloc));
        label->redraw();
        gumpLink(label, this);
        for (const SortButton& sort : kSortButtons) {
            auto* button = new Button(sort.x, height - 40, ButtonBehaviour::ClickOnRelease, 0, sort.callback,
                sort.art, sort.art + 1, false);
            button->setHoverArt(sort.art + 2);
            button->setTooltipId(sort.tooltip);
            gumpLink(button, this);
        }
    }
    redrawList();
}

ScrollChoiceGump::~ScrollChoiceGump()
{
    if (gumpManager().bulkClosing)
        return;
    CGump* listener = m_listener.get();
    if (listener && m_target)
        listener->onChoiceListClosed();
    if (!m_choosesShard || m_quietClose)
        return;
    if (m_shardPickPending) {
        // Closed without a choice: back to the main menu, off the road. The
        // menu under the list had hidden its login window for the road; a
        // fresh one shows it again.
        openNewMainMenu();
        closeGameConnection();
        loginSession().loginInProgress = false;
        clientShell().setWindowTitle(u"");
        return;
    }
    if (m_shardLayout)
        makeCurrentWaiting(kConnectingText, nullptr, false, true, true);
}

bool ScrollChoiceGump::addItem(
    int32_t value, const std::string& text, uint16_t colour, const std::string& second, const std::string& third)
{
    if (m_count >= kMaxRows)
        return false;
    const size_t row = size_t(m_count);
    m_values[row] = value;
    m_colours[row] = colour;
    m_texts[row] = text.substr(0, kMaxRowText);
    m_second[row] = second.substr(0, kMaxRowText);
    m_third[row] = third.substr(0, kMaxRowText);
    ++m_count;
    return true;
}

void ScrollChoiceGump::clearTexts()
{
    for (int32_t row = 0; row < kMaxRows; ++row) {
        m_texts[size_t(row)].clear();
        m_second[size_t(row)].clear();
        m_third[size_t(row)].clear();
    }
}

int32_t ScrollChoiceGump::rowHeight() const
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t baseline = 0;
    measureAsciiText(m_rowFont, "Aq", width, height, baseline);
    return std::max(height, 1);
}

void ScrollChoiceGump::redrawList()
{
    GumpPage& face = *page(0);
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    drawNinePatchRecord(0, 0, width() - 20, m_shardLayout ? height() - 45 : height(), m_frameArt, face, true);
    drawScrollColumn(face);
    if (!m_title.empty()) {
        drawAsciiTextWrapped(28, height() - 88, kScrollChoiceTitleFont, 0, m_title.c_str(), width() - 40, face.surface(),
            wholeSurface(face.surface()), 0, kTitleLineSpacing, false);
    }
    drawRows(face);
}

void ScrollChoiceGump::drawScrollColumn(GumpPage& face)
{
    const int32_t x = m_scrollColumnX - 1;
    const int32_t top = gumpArtSize(kUpArt).height;
    const GumpArtSize topPiece = gumpArtSize(kColumnTopArt);
    const GumpArtSize bottomPiece = gumpArtSize(kColumnBottomArt);
    drawGumpArt(copySpanTransparent, kColumnTopArt, face.target(), x, top);
    const int32_t bottom = m_trackBottom - bottomPiece.height;
    drawGumpArt(copySpanTransparent, kColumnBottomArt, face.target(), x, bottom);
    const GumpArtSize middle = gumpArtSize(kColumnMiddleArt);
    if (!middle.exists())
        return;
    // The middle piece repeats between the two ends, the last one cut.
    const ScreenRect between { x, top + topPiece.height, x + middle.width, bottom };
    for (int32_t y = between.top; y < between.bottom; y += middle.height)
        drawGumpArtClipped(copySpanTransparent, kColumnMiddleArt, face.target(), &between, x, y);
}

void ScrollChoiceGump::drawRows(GumpPage& face)
{
    const int32_t height = rowHeight();
    int32_t textWidth = 0;
    int32_t textHeight = 0;
    int32_t baseline = 0;
    measureAsciiText(m_rowFont, "Aq", textWidth, textHeight, baseline);
    const TextSurface surface = face.surface();
    for (int32_t row = std::max(m_firstVisible, 0), top = m_listRect.top; row < m_count && top < m_listRect.bottom;
         ++row, top += height) {
        const size_t at = size_t(row);
        if (m_shardLayout) {
            for (size_t which = 0; which < m_marks.size(); ++which) {
                if (m_marks[which] != -1 && m_values[at] == m_marks[which])
                    drawGumpArt(copySpanTransparent, kFirstMarkerArt + int32_t(which), face.target(), kMarkerX[which],
                        top);
            }
        }
        int32_t hue = m_colours[at] ? m_colours[at] : kDefaultRowHue;
        if (row == m_hovered)
            hue = m_shardLayout ? kShardHoverHue : kHoverHue;
        // Text is drawn on its baseline; the row's top is where its tallest
        // letter begins.
        const int32_t y = top + baseline;
        drawAsciiText(m_listRect.left, y, m_rowFont, hue, m_texts[at].c_str(), surface, m_listRect);
        if (m_shardLayout) {
            drawAsciiText(m_secondRect.left, y, m_rowFont, hue, m_second[at].c_str(), surface, m_secondRect);
            drawAsciiText(m_thirdRect.left, y, m_rowFont, hue, m_third[at].c_str(), surface, m_thirdRect);
        }
    }
}

void ScrollChoiceGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    drawOwnBuffer(canvas);
    drawChildren(canvas);
}

int32_t ScrollChoiceGump::rowAt(int32_t x, int32_t y, bool forHover) const
{
    ScreenRect area = m_listRect;
    if (forHover && m_shardLayout)
        area.right = m_thirdRect.right;
    if (!area.contains(x, y))
        return -1;
    const int32_t row = m_firstVisible + (y - area.top) / rowHeight();
    return row >= 0 && row < m_count ? row : -1;
}

void ScrollChoiceGump::onMouseOver(int32_t x, int32_t y)
{
    service<GumpPointer>().setCursorForGumpType(0);
    const int32_t row = rowAt(x, y, true);
    if (row != m_hovered) {
        m_hovered = row;
        redrawList();
    }
}

void ScrollChoiceGump::onMouseLeave()
{
    if (m_hovered != -1) {
        m_hovered = -1;
        redrawList();
    }
    m_click.clickPhase = 0;
}

bool ChoiceClick::press(CGump& gump, int32_t x, int32_t y)
{
    gump.setDragAnchor(x, y);
    pressPending = true;
    hoverTicks = 1;
    GumpHandle self(&gump);
    gump.bringToFront(false);
    if (!self)
        return false;
    if (clickPhase == 1) {
        clickPhase = 2;
    } else {
        clickPhase = 1;
        pressTime = platform::clock().tickMs();
    }
    return true;
}

bool ChoiceClick::hoverTick(bool& held)
{
    if (clickPhase == 1 && platform::clock().tickMs() - pressTime > kDoubleClickMs) {
        clickPhase = 0;
        if (pressPending)
            held = true;
    }
    if (!pressPending)
        return false;
    if (++hoverTicks >= 2) {
        hoverTicks = 0;
        return true;
    }
    return false;
}

void ScrollChoiceGump::onLeftDown(int32_t x, int32_t y)
{
    if (!m_click.press(*this, x, y))
        return;
}

void ScrollChoiceGump::onLeftUp(int32_t, int32_t)
{
    m_click.pressPending = false;
    if (m_held) {
        m_held = false;
        m_click.clickPhase = 0;
    } else if (m_click.clickPhase == 2) {
        m_click.clickPhase = 0;
    }
    service<GumpPointer>().setPointerCapture(nullptr);
}

void ScrollChoiceGump::onRightUp(int32_t, int32_t)
{
    if (!m_rightClickCloses)
        return;
    service<GumpPointer>().setPointerCapture(nullptr);
    m_shardPickPending = 1;
    closeGump(this);
}

void ScrollChoiceGump::onHoverTick()
{
    if (m_click.hoverTick(m_held))
        choose(dragAnchorX(), dragAnchorY());
}

void ScrollChoiceGump::onSlider(int32_t position, int32_t range, CGump*)
{
    if (range <= 0 || m_count <= 0)
        return;
    m_firstVisible = std::clamp(int32_t(int64_t(position) * m_count / range), 0, m_count - 1);
    redrawList();
}

void ScrollChoiceGump::scrollUp()
{
    if (m_firstVisible <= 0)
        return;
    --m_firstVisible;
    redrawList();
    m_thumb->setPosition(m_firstVisible, m_count);
}

void ScrollChoiceGump::scrollDown()
{
    if (m_firstVisible >= m_count - 1)
        return;
    ++m_firstVisible;
    redrawList();
    m_thumb->setPosition(m_firstVisible, m_count);
}

void ScrollChoiceGump::choose(int32_t x, int32_t y)
{
    const int32_t row = rowAt(x, y, false);
    if (row < 0)
        return;
    const int32_t value = m_values[size_t(row)];
    if (auto* target = static_cast<InputControl*>(m_target.get())) {
        GumpHandle self(this);
        target->setValue(value);
        target->setNarrowText(m_texts[size_t(row)]);
        target->kindAction();
        if (CGump* listener = m_listener.get())
            listener->onControlChanged(target);
        if (self)
            closeGump(this);
        return;
    }
    m_shardPickPending = 0;
    loginSession().shardName = m_texts[size_t(row)];
    // The shard list window goes with the choice; a list of its own (the
    // combined list of older servers) goes itself, which ends its modal hold.
    CGump* listener = m_listener.get();
    CGump* window = listener && listener == frontEnd().shardListWindow.get() ? listener : this;
    selectShard(window, value);
}
