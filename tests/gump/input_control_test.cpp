// The text entries: key sequences against the caret, scroll, limits and
// notifications; the click state machine on a fake clock; the mobile pick;
// and the faces they draw.
#include "gump_test_support.h"

#include "data/client_services.h"
#include "data/targeting.h"
#include "gump/input_control.h"
#include "gump/unicode_input_control.h"
#include "text/ascii_font.h"
#include "support/recording_notices.h"
#include "text/text_canvas.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using gump_test::Desktop;
using gump_test::PageGump;

// A window that counts what its entry tells it.
class EntryWindow : public PageGump {
public:
    EntryWindow()
        : PageGump(50, 50, 400, 200, 0x0001)
    {
    }
    void onControlChanged(CGump*) override { ++changes; }
    void onControlPressed(CGump*) override { ++presses; }
    void onControlReleased(CGump*) override { ++releases; }
    void onControlActivated(CGump*) override { ++activations; }
    void onTab() override { ++tabs; }
    void onEnter() override { ++enters; }
    void onEscape() override { ++escapes; }

    int32_t changes = 0;
    int32_t presses = 0;
    int32_t releases = 0;
    int32_t activations = 0;
    int32_t tabs = 0;
    int32_t enters = 0;
    int32_t escapes = 0;
};

class Entries : public Desktop {
protected:
    Entries()
    {
        window = new EntryWindow;
        gumpLink(window, nullptr);
    }

    template <typename Entry>
    Entry* add(Entry* entry)
    {
        gumpLink(entry, window);
        gumpSetFocus(entry);
        return entry;
    }

    // A number entry that picks a mobile on a double click.
    InputControl* pickingEntry()
    {
        auto* entry = new InputControl(10, 10, EntrySize { 200, 20, false }, 1, 50, 0, 0, false, false);
        entry->options.pickMobile = true;
        gumpLink(entry, window);
        return entry;
    }

    EntryWindow* window;
};

// One key-sequence case: an entry (mode, limit, width, flags), its text, caret
// and first shown character before, the keys, and what must follow.
struct KeyCase {
    const char* name;
    int32_t mode = 0;
    int32_t maxLength = 100;
    int32_t width = 300;
    std::function<void(EntryOptions&)> flags {};
    std::string text {};
    int32_t value = 0;
    int32_t caret = -1; // -1: as constructed
    int32_t firstShown = 0;
    std::vector<uint32_t> keys {};
    std::string expectedText {};
    int32_t expectedValue = 0;
    int32_t expectedCaret = 0;
    int32_t expectedFirstShown = 0;
    int32_t expectedChanges = 0;
};

class EntryKeys : public Entries, public testing::WithParamInterface<KeyCase> { };

TEST_P(EntryKeys, FollowTheKeyTable)
{
    const KeyCase& c = GetParam();
    auto* entry = add(new InputControl(10, 10, EntrySize { c.width, 20, false }, c.mode, c.maxLength, 0, 0, true, false));
    if (c.flags)
        c.flags(entry->options);
    entry->setNarrowText(c.text);
    entry->setValue(c.value);
    if (c.caret >= 0)
        entry->setCaret(c.caret);
    entry->setFirstShown(c.firstShown);
    for (uint32_t key : c.keys)
        entry->onKey(key);
    EXPECT_EQ(entry->narrowText(), c.expectedText);
    EXPECT_EQ(entry->value(), c.expectedValue);
    EXPECT_EQ(entry->caret(), c.expectedCaret);
    EXPECT_EQ(entry->firstShown(), c.expectedFirstShown);
    EXPECT_EQ(window->changes, c.expectedChanges);
}

std::vector<uint32_t> typedKeys(const std::string& text) { return std::vector<uint32_t>(text.begin(), text.end()); }

std::vector<uint32_t> times(uint32_t key, int count) { return std::vector<uint32_t>(size_t(count), key); }

std::vector<uint32_t> operator+(std::vector<uint32_t> a, const std::vector<uint32_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

using namespace GumpKey;

const KeyCase kKeyCases[] = {
    { .name = "NumberUpToItsLimit",
        .mode = 1,
        .maxLength = 100,
        .keys = typedKeys("1000"),
        .expectedValue = 100,
        .expectedCaret = 4,
        .expectedChanges = 3 },
    { .name = "NumberBackspacesToZeroThenIgnored",
        .mode = 1,
        .maxLength = 100,
        .keys = typedKeys("100") + times(kBackspace, 4),
        .expectedValue = 0,
        .expectedCaret = 1,
        .expectedChanges = 6 },
    { .name = "NumberTakesDigitsOnly",
        .mode = 1,
        .maxLength = 1000,
        .keys = typedKeys("4a-2"),
        .expectedValue = 42,
        .expectedCaret = 3,
        .expectedChanges = 2 },
    // Computed in 64 bits: 9999999999 is past any int32 limit.
    { .name = "NumberLimitWithoutOverflow",
        .mode = 1,
        .maxLength = 0x7FFFFFFF,
        .keys = typedKeys("9999999999"),
        .expectedValue = 999999999,
        .expectedCaret = 10,
        .expectedChanges = 9 },
    { .name = "ShownNumberOnlyShortens",
        .mode = 3,
        .maxLength = 1000,
        .value = 123,
        .caret = 3,
        .keys = typedKeys("7") + std::vector<uint32_t> { kBackspace },
        .expectedValue = 12,
        .expectedCaret = 2,
        .expectedChanges = 1 },
    { .name = "TypeAtTheCaret",
        .text = "ac",
        .caret = 1,
        .keys = typedKeys("b"),
        .expectedText = "abc",
        .expectedCaret = 2,
        .expectedChanges = 1 },
    { .name = "MaxLength183Takes183",
        .maxLength = 183,
        .width = 2000,
        .keys = times('a', 184),
        .expectedText = std::string(183, 'a'),
        .expectedCaret = 183,
        .expectedChanges = 183 },
    { .name = "MaxLengthPastTheBufferIsCut",
        .maxLength = 500,
        .width = 2000,
        .keys = times('a', 190),
        .expectedText = std::string(183, 'a'),
        .expectedCaret = 183,
        .expectedChanges = 183 },
    { .name = "LimitOfThree",
        .maxLength = 3,
        .keys = typedKeys("abcd"),
        .expectedText = "abc",
        .expectedCaret = 3,
        .expectedChanges = 3 },
    { .name = "BackspaceRemovesBeforeTheCaret",
        .text = "abc",
        .caret = 2,
        .keys = { kBackspace },
        .expectedText = "ac",
        .expectedCaret = 1,
        .expectedChanges = 1 },
    // At the start there is nothing before the caret: nothing happens.
    { .name = "BackspaceAtCaretZero",
        .text = "abc",
        .caret = 3,
        .keys = { kHome, kBackspace, 'x' },
        .expectedText = "xabc",
        .expectedCaret = 1,
        .expectedChanges = 1 },
    { .name = "BackspaceOnEmptyText", .keys = { kBackspace, kDelete }, .expectedText = "", .expectedCaret = 0 },
    { .name = "DeleteRemovesAtTheCaret",
        .text = "abc",
        .caret = 0,
        .keys = { kDelete },
        .expectedText = "bc",
        .expectedCaret = 0,
        .expectedChanges = 1 },
    { .name = "DeleteAtTheEnd",
        .text = "abc",
        .caret = 3,
        .keys = { kDelete },
        .expectedText = "abc",
        .expectedCaret = 3 },
    { .name = "LeftFrom20Shows12",
        .text = std::string(30, 'a'),
        .caret = 20,
        .firstShown = 20,
        .keys = { kLeft },
        .expectedText = std::string(30, 'a'),
        .expectedCaret = 19,
        .expectedFirstShown = 12 },
    { .name = "LeftFrom5ShowsTheStart",
        .text = std::string(30, 'a'),
        .caret = 5,
        .firstShown = 5,
        .keys = { kLeft },
        .expectedText = std::string(30, 'a'),
        .expectedCaret = 4,
        .expectedFirstShown = 0 },
    { .name = "HomeAndEnd", .text = "abcd", .caret = 2, .keys = { kHome }, .expectedText = "abcd", .expectedCaret = 0 },
    { .name = "RightStopsAtTheEnd",
        .text = "ab",
        .caret = 1,
        .keys = { kRight, kRight, kRight },
        .expectedText = "ab",
        .expectedCaret = 2 },
    { .name = "UpAndDownIgnored",
        .text = "ab",
        .caret = 1,
        .keys = { kUp, kDown },
        .expectedText = "ab",
        .expectedCaret = 1 },
    // In the combo mode only End moves the caret.
    { .name = "ComboModeMovesOnlyByEnd",
        .mode = 2,
        .text = "abc",
        .caret = 1,
        .keys = { kHome, kLeft, kRight },
        .expectedText = "abc",
        .expectedCaret = 1 },
    { .name = "ComboModeEnd",
        .mode = 2,
        .text = "abc",
        .caret = 1,
        .keys = { kEnd },
        .expectedText = "abc",
        .expectedCaret = 3 },
    { .name = "NameCharactersOnly",
        .flags = [](EntryOptions& o) { o.nameCharsOnly = true; },
        .keys = typedKeys("a!b- .'9#"),
        .expectedText = "ab- .'9",
        .expectedCaret = 7,
        .expectedChanges = 7 },
    { .name = "AlphanumericOnly",
        .flags = [](EntryOptions& o) { o.alphanumericOnly = true; },
        .keys = typedKeys("a b-9"),
        .expectedText = "ab9",
        .expectedCaret = 3,
        .expectedChanges = 3 },
    { .name = "GlyphlessCodesRefused",
        .keys = { 0x4E00, 1, 0x10FFFF, 'z' },
        .expectedText = "z",
        .expectedCaret = 1,
        .expectedChanges = 1 },
    { .name = "ReadOnlyTakesNothing",
        .flags = [](EntryOptions& o) { o.readOnly = true; },
        .text = "ab",
        .caret = 2,
        .keys = typedKeys("c") + std::vector<uint32_t> { kBackspace, kHome },
        .expectedText = "ab",
        .expectedCaret = 2 },
    // Width 40 leaves 34 pixels: "abcde" plus "_" (6 each) is 36, so the
    // fifth character is put in and at once taken back, with one report.
    { .name = "FitToWidthTakesBack",
        .width = 40,
        .flags = [](EntryOptions& o) { o.fitToWidth = true; },
        .keys = typedKeys("abcde"),
        .expectedText = "abcd",
        .expectedCaret = 4,
        .expectedChanges = 5 },
    // Without the fit rule the view scrolls to keep the caret in sight.
    { .name = "ScrollsToTheCaret",
        .width = 40,
        .keys = typedKeys("abcdefgh"),
        .expectedText = "abcdefgh",
        .expectedCaret = 8,
        .expectedFirstShown = 4,
        .expectedChanges = 8 },
};

INSTANTIATE_TEST_SUITE_P(Keys, EntryKeys, testing::ValuesIn(kKeyCases),
    [](const testing::TestParamInfo<KeyCase>& test) { return std::string(test.param.name); });

TEST_F(Entries, TabEnterAndEscapeGoToTheWindow)
{
    auto* entry = add(new InputControl(0, 0, EntrySize { 100, 20, false }, 0, 10, 0, 0, true, false));
    entry->onKey(kTab);
    entry->onKey(kEnter);
    entry->onKey(kEscape);
    EXPECT_EQ(window->tabs, 1);
    EXPECT_EQ(window->enters, 1);
    EXPECT_EQ(window->escapes, 1);
    EXPECT_EQ(entry->narrowText(), "");
}

TEST_F(Entries, AWindowClosedByTheReportIsNotTouchedAgain)
{
    struct Closing : EntryWindow {
        void onControlChanged(CGump*) override { closeGump(this); }
    };
    auto* closing = new Closing;
    gumpLink(closing, nullptr);
    auto* entry = new InputControl(0, 0, EntrySize { 40, 20, false }, 0, 10, 0, 0, true, false);
    entry->options.fitToWidth = true;
    gumpLink(entry, closing);
    GumpHandle handle(entry);
    entry->onKey('a');
    EXPECT_FALSE(handle);
}

TEST_F(Entries, APressPlacesTheCaretAndTakesTheFocus)
{
    auto* entry = new InputControl(10, 10, EntrySize { 200, 20, false }, 0, 50, 0, 0, true, false);
    gumpLink(entry, window);
    entry->setNarrowText("abcdef");
    // Characters are 6 wide: x - 1 = 14 holds two of them.
    entry->onLeftDown(15, 5);
    EXPECT_EQ(gumpFocus(), entry);
    EXPECT_EQ(entry->caret(), 2);
    EXPECT_EQ(window->presses, 1);
    entry->onLeftUp(15, 5);
}

TEST_F(Entries, AComboEntryAsksForItsList)
{
    auto* entry = new InputControl(10, 10, EntrySize { 200, 20, false }, 2, 50, 0, 0, false, true);
    gumpLink(entry, window);
    entry->onLeftDown(5, 5);
    EXPECT_EQ(window->activations, 1);
    EXPECT_EQ(gumpFocus(), nullptr);
}

TEST_F(Entries, ClickStatesOnTheFakeClock)
{
    auto* entry = new InputControl(10, 10, EntrySize { 200, 20, false }, 0, 50, 0, 0, true, false);
    gumpLink(entry, window);
    // Two presses within the double-click time: the second release is a double click.
    entry->onLeftDown(5, 5);
    EXPECT_EQ(entry->clickState(), 1);
    entry->onLeftUp(5, 5);
    clock.advance(200);
    entry->onHoverTick();
    entry->onLeftDown(5, 5);
    EXPECT_EQ(entry->clickState(), 2);
    entry->onLeftUp(5, 5);
    EXPECT_EQ(window->releases, 1);
    EXPECT_EQ(entry->clickState(), 0);
    // A single press that is let go: the state falls back after the time.
    entry->onLeftDown(5, 5);
    entry->onLeftUp(5, 5);
    clock.advance(kDoubleClickMs + 1);
    entry->onHoverTick();
    EXPECT_EQ(entry->clickState(), 0);
    EXPECT_FALSE(entry->isLongPress());
    // A press held past the time is a long press: its release is no click.
    entry->onLeftDown(5, 5);
    clock.advance(kDoubleClickMs + 1);
    entry->onHoverTick();
    EXPECT_TRUE(entry->isLongPress());
    entry->onLeftUp(5, 5);
    EXPECT_EQ(window->releases, 1);
    EXPECT_FALSE(entry->isLongPress());
    // Leaving the entry forgets a first click.
    entry->onLeftDown(5, 5);
    entry->onMouseLeave();
    EXPECT_EQ(entry->clickState(), 0);
}

void doubleClick(InputControl& entry)
{
    for (int press = 0; press < 2; ++press) {
        entry.onLeftDown(5, 5);
        entry.onLeftUp(5, 5);
    }
}

TEST_F(Entries, ADoubleClickPicksAMobile)
{
    test::RecordingNotices notices;
    WindowNotices* previous = installWindowNotices(&notices);
    InputControl* entry = pickingEntry();
    doubleClick(*entry);
    EXPECT_TRUE(targetingState().targetingActive);
    EXPECT_EQ(pendingPickEntry(), entry);
    EXPECT_EQ(window->releases, 1);
    ASSERT_TRUE(targetingState().callback);
    TargetChoice mobile;
    mobile.isMobile = true;
    mobile.serial = 0x1234;
    targetingState().callback(mobile);
    EXPECT_EQ(entry->value(), 0x1234);
    EXPECT_EQ(entry->narrowText(), "(mobile)");
    EXPECT_EQ(window->changes, 1);
    EXPECT_FALSE(targetingState().targetingActive);
    EXPECT_FALSE(targetingState().callback);
    EXPECT_EQ(pendingPickEntry(), entry) << "kept until the name comes";

    // While targeting is on, a double click starts no second pick, but the
    // window still hears of it.
    beginTargeting();
    clearPendingPickEntry();
    doubleClick(*entry);
    EXPECT_EQ(pendingPickEntry(), nullptr);
    EXPECT_EQ(window->releases, 2);
    endTargeting();

    // Not a mobile.
    pickMobileForEntry(std::nullopt);
    EXPECT_EQ(notices.messages, (std::vector<std::string> { "Select a player.", "Not a mobile." }));
    closeGump(entry);
    installWindowNotices(previous);
}

TEST_F(Entries, DestroyingThePendingEntryForgetsIt)
{
    InputControl* entry = pickingEntry();
    doubleClick(*entry);
    ASSERT_EQ(pendingPickEntry(), entry);
    closeGump(entry);
    EXPECT_EQ(pendingPickEntry(), nullptr);
    TargetChoice mobile;
    mobile.isMobile = true;
    targetingState().callback(mobile);
    EXPECT_FALSE(targetingState().targetingActive);
}

TEST_F(Entries, LosingTheFocusRedrawsWithoutTheCaret)
{
    auto* entry = add(new InputControl(0, 0, EntrySize { 60, 20, false }, 0, 10, 0, 0, true, false));
    entry->setNarrowText("ab");
    entry->setCaret(2);
    entry->redraw();
    const std::vector<uint16_t> focused = entry->page(0)->pixels;
    gumpReleaseFocus();
    const std::vector<uint16_t> unfocused = entry->page(0)->pixels;
    EXPECT_NE(focused, unfocused);
    // The caret "_" sat at x = 3 + 12 with its baseline 2 below the text's.
    test::TextCanvas reference(60, 20);
    int32_t w = 0, h = 0, baseline = 0;
    measureAsciiText(0, "Aq", w, h, baseline);
    drawAsciiText(3, 2 + baseline, 0, 0, "ab", reference.surface(), TextClip { 3, 2, 57, 18 });
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 60; ++x)
            ASSERT_EQ(unfocused[size_t(y) * 60 + size_t(x)], reference.at(x, y)) << x << "," << y;
}

TEST_F(Entries, AUnicodeEntryTakes181UnitsAndAnyGlyph)
{
    auto* entry = add(new UnicodeInputControl(0, 0, EntrySize { 3000, 20, false }, 0, 181, 0, 0, true, false));
    for (int i = 0; i < 200; ++i)
        entry->onKey('w');
    EXPECT_EQ(entry->text().size(), 181u);
    EXPECT_EQ(window->changes, 181);
    auto* second = add(new UnicodeInputControl(0, 30, EntrySize { 300, 20, false }, 0, 500, 0, 0, true, false));
    second->options.nameCharsOnly = false;
    second->onKey('!');
    second->onKey(0x4E00); // no glyph in the test face
    EXPECT_EQ(second->text(), u"!");
    second->setText(std::u16string(400, u'x'));
    EXPECT_EQ(second->text().size(), 181u) << "a longer text is cut to what fits";
}

} // namespace
