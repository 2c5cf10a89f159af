#include "windows/windows_test_support.h"

#include "data/config_key_rules.h"
#include "gump/button.h"
#include "gump/desktop_file.h"
#include "gump/desktop_records.h"
#include "gump/gump_factory.h"
#include "gump/gump_painters.h"
#include "gump/thumb.h"
#include "gump/toggle_control.h"
#include "support/png_writer.h"
#include "windows/dye_and_tip_packets.h"
#include "windows/journal.h"
#include "windows/journal_gump.h"
#include "windows/own_character_actions.h"
#include "windows/resize_gump.h"
#include "windows/text_log_gump.h"
#include "windows/text_window_services.h"
#include "windows/tips_gump.h"
#include "windows/window_services.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>

namespace {

class JournalWindows : public windows_test::WindowDesktop {
protected:
    JournalWindows()
    {
        fillWorld();
        journal().clear();
    }
    ~JournalWindows() override { journal().clear(); }

    static void addLines(int32_t count, const std::string& stem = "line ")
    {
        for (int32_t i = 0; i < count; ++i)
            journal().addText(stem + std::to_string(i), 0);
    }
    // The window the menubar's journal button opens.
    JournalGump* openFromMenubar()
    {
        own_actions::openJournal();
        for (CGump* gump = gumpListTail(); gump; gump = gump->previous()) {
            if (gump->is(GumpKind::TextWindow))
                return static_cast<JournalGump*>(gump);
        }
        return nullptr;
    }
    // The rows from the first visible one to the end of the newest line.
    static int32_t rowsToEnd(const JournalLogGump& view)
    {
        const auto& entries = journal().entries();
        int32_t rows = -view.offset();
        bool counting = false;
        for (const JournalEntry& entry : entries) {
            counting = counting || &entry == view.firstVisible();
            if (counting)
                rows += view.entryHeight(entry);
        }
        return rows;
    }

    TextWindowServices textServices;
};

TEST_F(JournalWindows, TheMenubarOpensTheJournalAtTheOriginFollowingTheNewestLine)
{
    addLines(3);
    JournalGump* window = openFromMenubar();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->x(), 0);
    EXPECT_EQ(window->y(), 0);
    EXPECT_STREQ(window->typeName(), "text gump");
    EXPECT_EQ(window->height(), JournalGump::kHeight);
    EXPECT_FALSE(window->isScrollLocked());
    // Three short lines fit: the oldest shows from its first row.
    EXPECT_EQ(window->firstVisible(), &journal().entries().front());
    EXPECT_EQ(window->offset(), 0);

    addLines(40, "more ");
    // Following: the newest line ends on the text area's last usable row.
    const JournalLogGump::TextArea& area = window->textArea();
    EXPECT_EQ(rowsToEnd(*window), area.bottom - area.top - 4 + 1);
    // The thumb shows the share above the first visible row.
    int64_t total = 0;
    for (const JournalEntry& entry : journal().entries())
        total += window->entryHeight(entry);
    const Thumb* knob = window->thumb();
    EXPECT_EQ(knob->y(), knob->minY() + (knob->maxY() - knob->minY() + 1) * (total - rowsToEnd(*window)) / total);

    // The down arrow on the newest line stops with its last row at the top.
    for (int32_t i = 0; i < 400; ++i)
        window->scrollByArrow(JournalLogGump::kArrowStep);
    EXPECT_TRUE(window->isScrollLocked());
    EXPECT_EQ(window->firstVisible(), &journal().entries().back());
    EXPECT_EQ(window->offset(), window->entryHeight(journal().entries().back()) - 1);

    // Locked, new lines leave the view where it is but the thumb moves.
    window->onSlider(0, 100, window->thumb());
    const uint64_t first = window->firstVisible()->sequence;
    const int32_t thumbBefore = window->thumb()->y();
    window->scrollByArrow(JournalLogGump::kArrowStep * 3);
    const uint64_t lockedFirst = window->firstVisible()->sequence;
    const int32_t lockedOffset = window->offset();
    addLines(20, "late ");
    EXPECT_EQ(window->firstVisible()->sequence, lockedFirst);
    EXPECT_EQ(window->offset(), lockedOffset);
    EXPECT_LE(window->thumb()->y(), thumbBefore + 1);
    EXPECT_EQ(first, journal().entries().front().sequence - 0) << "the slider's top is the oldest line";

    // Unchecking the lock goes back to the newest line.
    Button* lock = window->lockToggle();
    int32_t lx = 0, ly = 0;
    lock->localToScreen(lx, ly);
    pressLeft(lx + 2, ly + 2);
    releaseLeft(lx + 2, ly + 2);
    EXPECT_FALSE(window->isScrollLocked());
    EXPECT_EQ(rowsToEnd(*window), area.bottom - area.top - 4 + 1);

    // A right click closes it.
    pressRight(100, 150);
    releaseRight(100, 150);
    EXPECT_FALSE(isValidGump(window));
}

TEST_F(JournalWindows, TheThumbMapsToTheOldestAndTheNewestAndThroughTallLines)
{
    journal().addText("short", 0);
    // A line far taller than 255 rows: a long run of words wraps many times.
    std::string tall;
    for (int32_t i = 0; i < 60; ++i)
        tall += "word ";
    for (int32_t i = 0; i < 8; ++i)
        journal().addTextWide(std::u16string(tall.begin(), tall.end()), 0);
    addLines(5);
    JournalGump* window = openFromMenubar();
    ASSERT_NE(window, nullptr);
    const auto& entries = journal().entries();

    window->onSlider(1, 200, window->thumb());
    EXPECT_EQ(window->firstVisible(), &entries.front());
    EXPECT_EQ(window->offset(), 0);
    EXPECT_TRUE(window->isScrollLocked()) << "the slider locks the view";

    window->onSlider(200, 200, window->thumb());
    EXPECT_EQ(window->firstVisible(), &entries.back());
    EXPECT_EQ(window->offset(), window->entryHeight(entries.back()) - 1);

    // In between: the row p * total / range, found independently.
    int64_t total = 0;
    for (const JournalEntry& entry : entries)
        total += window->entryHeight(entry);
    for (int32_t position : { 37, 100, 163 }) {
        window->onSlider(position, 200, window->thumb());
        int64_t target = int64_t(position) * total / 200;
        size_t index = 0;
        while (target >= window->entryHeight(entries[index])) {
            target -= window->entryHeight(entries[index]);
            ++index;
        }
        EXPECT_EQ(window->firstVisible(), &entries[index]) << position;
        EXPECT_EQ(window->offset(), int32_t(target)) << position;
    }
}

TEST_F(JournalWindows, TheHundredAndFirstLineMovesALockedViewOffTheDroppedLine)
{
    addLines(int32_t(kMaxJournalEntries));
    JournalGump* window = openFromMenubar();
    ASSERT_NE(window, nullptr);
    window->onSlider(0, 10, window->thumb());
    const uint64_t second = journal().entries()[1].sequence;
    journal().addText("one more", 0);
    ASSERT_NE(window->firstVisible(), nullptr);
    EXPECT_EQ(window->firstVisible()->sequence, second);
}

TEST_F(JournalWindows, TheGripsOutlineKeepsTheWidthEvenAndTheJournalAtLeast300High)
{
    JournalGump* window = openFromMenubar();
    ASSERT_NE(window, nullptr);
    window->moveTo(100, 40, true, nullptr, false);
    const int32_t width = window->width();
    startWindowResize(*window);
    auto* outline = static_cast<ResizeGump*>(capture());
    ASSERT_TRUE(isValidGump(outline));
    EXPECT_STREQ(outline->typeName(), "resize gump");
    // The width never changes; the height stops at the limits.
    outline->onDrag(width + 37, 1000);
    EXPECT_EQ(outline->width(), width + (width & 1));
    EXPECT_EQ(outline->height(), gumpScreen().height - 40 - 20);
    outline->onDrag(3, 5);
    EXPECT_EQ(outline->height(), 220);
    releaseLeft(103, 45);
    EXPECT_FALSE(isValidGump(outline));
    EXPECT_EQ(window->width(), width);
    EXPECT_EQ(window->height(), JournalGump::kMinHeight) << "the journal never goes below 300";

    window->resize(width, 400, false);
    EXPECT_EQ(window->height(), 400);
    EXPECT_EQ(window->textArea().bottom, 400 - 78);
    EXPECT_EQ(window->thumb()->maxY() - window->thumb()->minY() > 100, true);
}

struct OutlineCase {
    const char* name;
    ResizeLimits limits;
    int32_t dragX;
    int32_t dragY;
    int32_t width;
    int32_t height;
};

class ResizeOutlines : public JournalWindows, public testing::WithParamInterface<OutlineCase> { };

TEST_P(ResizeOutlines, ClampsToTheLimitsWithEvenWidths)
{
    const OutlineCase& c = GetParam();
    JournalGump window(10, 10);
    ResizeGump outline(window, window.width(), window.height(), c.limits, 0);
    outline.onDrag(c.dragX, c.dragY);
    EXPECT_EQ(outline.width(), c.width);
    EXPECT_EQ(outline.height(), c.height);
}

INSTANTIATE_TEST_SUITE_P(Outline, ResizeOutlines,
    testing::Values(OutlineCase { "OddWidthGoesUp", { 93, 98, 601, 500 }, 301, 200, 302, 200 },
        OutlineCase { "BelowTheMinimum", { 93, 98, 600, 500 }, 10, 10, 94, 98 },
        OutlineCase { "AboveTheMaximum", { 93, 98, 600, 500 }, 900, 900, 600, 500 },
        // A window low on the screen: its maximum height lies below its minimum.
        OutlineCase { "MinimumOverMaximum", { 270, 220, 270, 120 }, 270, 150, 270, 220 }),
    [](const testing::TestParamInfo<OutlineCase>& param) { return std::string(param.param.name); });

TEST_F(JournalWindows, TheJournalsLinesStayInsideTheTextAreaAndItsPictureIsKept)
{
    addLines(30, "A journal line that is long enough to wrap inside the window ");
    JournalGump* window = openFromMenubar();
    ASSERT_NE(window, nullptr);
    window->moveTo(200, 60, true, nullptr, false);
    window->scrollByArrow(JournalLogGump::kArrowStep * 5);
    // Outside the text area the page is the frame alone.
    GumpPage frameOnly;
    frameOnly.allocate(window->width(), window->height());
    drawTextWindowFrame(frameOnly, JournalGump::kTitleArt, 111, 10);
    const GumpPage& face = *window->page(0);
    const JournalLogGump::TextArea& area = window->textArea();
    int32_t inside = 0, outsideChanged = 0;
    for (int32_t y = 0; y < face.height; ++y) {
        for (int32_t x = 0; x < face.width; ++x) {
            const bool changed = face.pixel(x, y) != frameOnly.pixel(x, y);
            const bool inArea = x >= area.left && x <= area.right && y >= area.top && y <= area.bottom;
            (inArea ? inside : outsideChanged) += changed ? 1 : 0;
        }
    }
    EXPECT_GT(inside, 0) << "text was drawn";
    EXPECT_EQ(outsideChanged, 0);

    composeAll();
    const std::vector<uint16_t> shown = screenPicture();
    test::writeSurfacePng(test::picturePath("journal_window.png"), shown.data(), 640, 480, 640);
    const uint64_t hash = test::surfaceHash(shown.data(), 640, 480, 640);
    EXPECT_EQ(hash, 0xc208409bd21aaba3ull) << std::hex << hash;
}

TEST_F(JournalWindows, TheMahjongLogFollowsTheJournalAndPassesItsRightClickToTheBoard)
{
    class Board final : public CGump {
    public:
        Board()
            : CGump(50, 20, nullptr, 0, 520, 520)
        {
        }
        void onRightUp(int32_t x, int32_t y) override { rightUps.push_back({ x, y }); }
        std::vector<std::pair<int32_t, int32_t>> rightUps;
    };
    auto* board = new Board();
    gumpLink(board, nullptr);
    auto* log = new TextGump(*board);
    EXPECT_EQ(log->parent(), board);
    EXPECT_EQ(log->textArea().right, 321);
    addLines(60);
    EXPECT_EQ(rowsToEnd(*log), 315 - 15 - 4 + 1);
    log->onRightUp(7, 9);
    ASSERT_EQ(board->rightUps.size(), 1u);
    EXPECT_EQ(board->rightUps[0], std::make_pair(7, 9));
    closeGump(board);
    journal().addText("after the board", 0);
}

TEST_F(JournalWindows, TheDesktopFileRestoresTheJournalsPlaceAndHeightAndWritesItBack)
{
    DesktopEntry entry;
    entry.type = DesktopRecordType::kTextWindow;
    entry.x = 120;
    entry.y = 30;
    entry.width = 270;
    entry.height = 380;
    ASSERT_TRUE(desktopRead(joinDesktopFile(player()->serial, { encodeDesktopRecord(entry) })));
    CGump* window = gumpListTail();
    while (window && !window->is(GumpKind::TextWindow))
        window = window->previous();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->x(), 120);
    EXPECT_EQ(window->y(), 30);
    EXPECT_EQ(window->height(), 380);

    window->moveTo(60, 70, true, nullptr, false);
    DesktopFileImage image;
    ASSERT_TRUE(splitDesktopFile(desktopLayoutBytes(), image));
    int32_t written = 0;
    for (const DesktopRecord& record : image.records) {
        DesktopEntry read;
        if (record.type != DesktopRecordType::kTextWindow || !decodeDesktopRecord(record, read))
            continue;
        ++written;
        EXPECT_EQ(read.x, 60);
        EXPECT_EQ(read.y, 70);
        EXPECT_EQ(read.height, 380);
    }
    EXPECT_EQ(written, 1);
}

class TipWindows : public JournalWindows { };

TEST_F(TipWindows, ATipHasItsButtonsAndTheBoxWritesShowTipsWhenItCloses)
{
    configValues().showTips = true;
    service<TipsWindows>().openTips({ "first tip line", "second" }, 200, 100, false);
    auto* tip = static_cast<TipsGump*>(gumpListTail());
    ASSERT_STREQ(tip->typeName(), "tips gump");
    EXPECT_TRUE(tip->isTip());
    EXPECT_EQ(tip->x(), 200);
    ASSERT_NE(tip->hideBox(), nullptr);
    EXPECT_FALSE(tip->hideBox()->isChecked());
    tip->hideBox()->setChecked(true);
    closeGump(tip);
    EXPECT_FALSE(configValues().showTips) << "\"no\" stored";

    // Next (and previous) only close the window; its box, ticked now that
    // tips are off, keeps them off.
    service<TipsWindows>().openTips({ "another tip" }, 200, 100, false);
    CGump* next = gumpListTail();
    const int32_t grip = gumpArtSize(JournalGump::kGripArt).height;
    pressLeft(200 + 251 + 4, 100 + JournalGump::kHeight - grip - 24 + 4);
    releaseLeft(200 + 251 + 4, 100 + JournalGump::kHeight - grip - 24 + 4);
    EXPECT_FALSE(isValidGump(next));
    EXPECT_FALSE(configValues().showTips);
}

TEST_F(TipWindows, ANoticeStandsAtTwentyTwentyWithoutTheBox)
{
    auto* notice = new TipsGump(450, 500, { "notice" }, false);
    gumpLink(notice, nullptr);
    EXPECT_EQ(notice->x(), TipsGump::kNoticeX);
    EXPECT_EQ(notice->y(), TipsGump::kNoticeY);
    EXPECT_EQ(notice->hideBox(), nullptr);
    configValues().showTips = true;
    closeGump(notice);
    EXPECT_TRUE(configValues().showTips);
}

TEST_F(TipWindows, TheThumbMapsLinesAndAnEmptyTipStaysOnItsFirstLine)
{
    std::vector<std::string> lines;
    for (int32_t i = 0; i < 130; ++i)
        lines.push_back(std::string(90, char('a' + i % 26)));
    TipsGump tip(0, 0, lines, true);
    ASSERT_EQ(tip.lines().size(), TipsGump::kMaxLines) << "at most 100 lines";
    EXPECT_EQ(tip.lines()[0].size(), TipsGump::kMaxLineLength) << "of 79 characters";
    tip.onSlider(50, 50, tip.thumb());
    EXPECT_EQ(tip.firstLine(), 99) << "the thumb at the bottom shows the last line first";
    tip.onSlider(25, 50, tip.thumb());
    EXPECT_EQ(tip.firstLine(), 50);

    TipsGump empty(0, 0, {}, true);
    empty.onSlider(50, 50, empty.thumb());
    EXPECT_EQ(empty.firstLine(), 0);
    empty.stepLines(1);
    EXPECT_EQ(empty.firstLine(), 0);
}

// A tip's lines in font 6 of the sample data: letters 6 pixels wide, the
// blank 4, so 35 letters fill the 214-pixel line.
struct TipSplit {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
};

class TipSplits : public JournalWindows, public testing::WithParamInterface<TipSplit> { };

TEST_P(TipSplits, CutTheTextIntoTheWindowsLines)
{
    EXPECT_EQ(tipLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Texts, TipSplits,
    testing::Values(TipSplit { "Short", "a tip", { "a tip" } },
        TipSplit { "CarriageReturnsEndLines", "one\rtwo\r", { "one", "two", "" } },
        TipSplit { "BreaksAtTheLastBlankAndDropsIt", std::string(30, 'a') + " " + std::string(10, 'b'),
            { std::string(30, 'a'), std::string(10, 'b') } },
        TipSplit { "AWordWithoutABlankKeepsEveryCharacter", std::string(40, 'c'),
            { std::string(35, 'c'), std::string(5, 'c') } },
        TipSplit { "Empty", "", { "" } }),
    [](const testing::TestParamInfo<TipSplit>& row) { return std::string(row.param.name); });

} // namespace
