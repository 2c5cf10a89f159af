// The hover tooltip: its markup, its size, and its life on the desktop.
#include "gump_test_support.h"

#include "gump/html_view.h"
#include "gump/tooltip_gump.h"
#include "text/unicode_font.h"

#include <gtest/gtest.h>

namespace {

using gump_test::Desktop;
using gump_test::PageGump;

class Tooltips : public Desktop {
protected:
    Tooltips()
    {
        art.add(TooltipGump::kFrameArt, fixture::solidPicture(8, 8, 0x2108));
        art.install();
    }
};

TEST_F(Tooltips, ShortTextsAreCentredInTheTooltipFont)
{
    TooltipGump tooltip(0, 0, WString(std::string(999, 'a').c_str()));
    EXPECT_EQ(tooltip.markup(), u"<CENTER><BASEFONT SIZE 4>" + std::u16string(999, u'a') + u"</CENTER>");
    TooltipGump plain(0, 0, WString(std::string(1000, 'a').c_str()));
    EXPECT_EQ(plain.markup(), std::u16string(1000, u'a'));
    EXPECT_TRUE(plain.is(GumpKind::Tooltip));
}

TEST_F(Tooltips, TheSizeFollowsTheText)
{
    TooltipGump tooltip(0, 0, WString("a few words to show"));
    ASSERT_NE(tooltip.view(), nullptr);
    // Laid out at 65, 81, ... until the width is at least twice the height.
    const int32_t textWidth = tooltip.width() - 6;
    const int32_t textHeight = tooltip.height() - 2;
    EXPECT_GT(textHeight, 0);
    EXPECT_GE(textWidth, 2 * textHeight - 16) << textWidth << "x" << textHeight;
    EXPECT_EQ(tooltip.view()->x(), 2);
    EXPECT_EQ(tooltip.view()->width(), tooltip.width() - 4);
    EXPECT_EQ(tooltip.page(0)->pixel(0, 0), 0x2108) << "the frame art is tiled from the corner";
}

TEST_F(Tooltips, ALongTextStopsAtTheScreenWidth)
{
    std::string text;
    while (text.size() < 3000)
        text += "ab ";
    TooltipGump tooltip(0, 0, WString(text.c_str()));
    EXPECT_LE(tooltip.width(), gumpScreen().width + TooltipGump::kWidthStep + 6);
}

TEST_F(Tooltips, WithoutFontsTheLayoutEndsAtOnce)
{
    unloadUnicodeFonts();
    installUnicodeFont(0, nullptr, 0);
    TooltipGump tooltip(0, 0, WString("text"));
    EXPECT_EQ(tooltip.width(), 6);
    EXPECT_EQ(tooltip.height(), 2);
}

TEST_F(Tooltips, ARightClickOrLeavingClosesIt)
{
    auto* first = new TooltipGump(10, 10, WString("one"));
    gumpLink(first, nullptr);
    GumpHandle firstHandle(first);
    first->onRightUp(1, 1);
    EXPECT_FALSE(firstHandle);
    auto* second = new TooltipGump(10, 10, WString("two"));
    gumpLink(second, nullptr);
    GumpHandle secondHandle(second);
    second->onMouseLeave();
    EXPECT_FALSE(secondHandle);
}

// A gump with a tooltip text, for the manager's hover.
class Labelled final : public PageGump {
public:
    Labelled()
        : PageGump(100, 100, 80, 40, 0x03E0)
    {
    }
    WString getTooltipText(int32_t, int32_t) override { return WString("Labelled window"); }
};

// The program's tooltip window, watched: the manager destroys the tooltip
// after the composition that shows it.
class WatchedWindow final : public TooltipWindow {
public:
    CGump* createTooltip(int32_t x, int32_t y, const WString& text) override
    {
        CGump* tooltip = tooltipGumpWindow().createTooltip(x, y, text);
        markups.push_back(static_cast<TooltipGump*>(tooltip)->markup());
        sizes.emplace_back(tooltip->width(), tooltip->height());
        return tooltip;
    }
    std::vector<std::u16string> markups;
    std::vector<std::pair<int32_t, int32_t>> sizes;
};

TEST_F(Tooltips, TheManagerShowsItAfterTheDelay)
{
    WatchedWindow watched;
    ScopedService<TooltipWindow> window(watched);
    gumpLink(new Labelled, nullptr);
    pointer.x = 120;
    pointer.y = 110;
    composeAll(true);
    clock.advance(gumpSettings().toolTipPreDelayMs + 1);
    composeAll(true);
    ASSERT_EQ(watched.markups.size(), 1u);
    EXPECT_EQ(watched.markups[0], u"<CENTER><BASEFONT SIZE 4>Labelled window</CENTER>");
    EXPECT_GT(watched.sizes[0].first, 6);
    EXPECT_EQ(gumpManager().tooltip, nullptr) << "gone after the composition that showed it";
}

} // namespace
