// The options window: its layout language (tabs, rows, keys, the rows the
// language data must not hold), the rows' pointer rules, the tabs and the
// scrolling, Defaults and Apply writing the settings and the files, the
// ignore list's ruled rows and the fixed labels of the macro and filter
// pages, and the macro list's arrows.

#include "windows/options_gump.h"

#include "data/config_key_rules.h"
#include "data/managed_files.h"
#include "gfx/gump_art.h"
#include "support/png_writer.h"
#include "gump/button.h"
#include "gump/input_control.h"
#include "gump/toggle_control.h"
#include "gump/unicode_edit_list.h"
#include "windows/edit_list_gump.h"
#include "windows/macro_editor.h"
#include "windows/picture_windows.h"
#include "data/player_lists.h"
#include "data/settings_registry.h"
#include "gump/gump_factory.h"
#include "windows_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

using Entries = std::vector<std::u16string>;

OptionsLayout parseEntries(const Entries& entries)
{
    return parseOptionsLayout([&entries](int32_t index) -> std::optional<std::u16string> {
        if (index < 0 || size_t(index) >= entries.size())
            return std::nullopt;
        return entries[size_t(index)];
    });
}

std::vector<std::string> keysOf(const OptionsLayout& layout)
{
    std::vector<std::string> keys;
    for (const std::unique_ptr<OptionItem>& row : layout.rows) {
        std::string key;
        for (const char16_t* unit = row->key().c_str(); unit && *unit; ++unit)
            key.push_back(char(*unit));
        keys.push_back(std::to_string(row->tab()) + ":" + key);
    }
    return keys;
}

struct LayoutCase {
    const char* name;
    Entries entries;
    std::vector<std::string> keys;
};

class OptionsLayoutTable : public ::testing::TestWithParam<LayoutCase> { };

TEST_P(OptionsLayoutTable, TheLayoutGivesItsRows)
{
    const LayoutCase& c = GetParam();
    EXPECT_EQ(keysOf(parseEntries(c.entries)), c.keys);
}

INSTANTIATE_TEST_SUITE_P(Language, OptionsLayoutTable,
    ::testing::Values(
        LayoutCase { "RowsOfTwoTabs",
            { u"notice", u"##", u"#TAB0", u"General", u"text", u"Run", u"#CHECKBOX%AlwaysRun", u"Volume",
                u"#SLIDER[0-255]%SoundVol", u"##", u"#TAB7", u"Seven", u"text", u"Size",
                u"#RADIO[640x480|800x600]%GamePlayWindowSize", u"Font", u"#UNIFONT%ChatFont", u"Label", u"#DUMMY" },
            { "0:AlwaysRun", "0:SoundVol", "7:GamePlayWindowSize", "7:ChatFont", "7:" } },
        LayoutCase { "ARowBeforeAnyTab", { u"notice", u"Run", u"#CHECKBOX%AlwaysRun", u"##", u"#TAB0", u"t", u"x" }, {} },
        LayoutCase { "ALetterTabEndsTheLayout",
            { u"notice", u"##", u"#TAB1", u"t", u"x", u"Run", u"#CHECKBOX%AlwaysRun", u"##", u"#TABA", u"t", u"x",
                u"Steps", u"#CHECKBOX%Footsteps" },
            { "1:AlwaysRun" } },
        LayoutCase { "NineIsTheFilterTab", { u"n", u"##", u"#TAB9", u"t", u"x", u"Lock", u"#CHECKBOX%FilterPWOn" },
            { "9:FilterPWOn" } },
        // A key that begins with '%' is written with two.
        LayoutCase { "APercentKeyAndUnknownKeys",
            { u"n", u"##", u"#TAB0", u"t", u"x", u"Speech", u"#HUE%%SpeechHue", u"Nothing", u"#CHECKBOX%NoSuchKey",
                u"Tint", u"#COLOR%NoSuchColour", u"Run", u"#CHECKBOX%AlwaysRun" },
            { "0:%SpeechHue", "0:AlwaysRun" } },
        LayoutCase { "AnUnknownSpecEndsTheLayout",
            { u"n", u"##", u"#TAB0", u"t", u"x", u"Run", u"#CHECKBOX%AlwaysRun", u"What", u"#KNOB%SoundVol",
                u"Steps", u"#CHECKBOX%Footsteps" },
            { "0:AlwaysRun" } },
        LayoutCase { "ARadioWithoutChoices",
            { u"n", u"##", u"#TAB0", u"t", u"x", u"Run", u"#CHECKBOX%AlwaysRun", u"Size", u"#RADIO[]%Language",
                u"Steps", u"#CHECKBOX%Footsteps" },
            { "0:AlwaysRun" } },
        LayoutCase { "ARadioOfThirteenChoices",
            { u"n", u"##", u"#TAB0", u"t", u"x", u"Size", u"#RADIO[a|b|c|d|e|f|g|h|i|j|k|l|m]%Language", u"Run",
                u"#CHECKBOX%AlwaysRun" },
            {} },
        LayoutCase { "ASliderWithoutWidth",
            { u"n", u"##", u"#TAB0", u"t", u"x", u"Volume", u"#SLIDER[5-5]%SoundVol", u"Run", u"#CHECKBOX%AlwaysRun" },
            {} },
        LayoutCase { "AMissingSpecOrHeader", { u"n", u"##", u"#TAB0", u"t" }, {} }),
    [](const ::testing::TestParamInfo<LayoutCase>& row) { return std::string(row.param.name); });

// A layout of tab 0 with a check box, a slider from 5 to 20 and twenty
// dummy-sized check boxes to scroll, and tab 9 with the filter's lock.
Entries windowEntries()
{
    Entries entries { u"Restart to see it.", u"##", u"#TAB0", u"General", u"The first tab.", u"Always run",
        u"#CHECKBOX%AlwaysRun", u"Tips delay", u"#SLIDER[5-20]%BarkTimeModifier" };
    for (int i = 0; i < 20; ++i) {
        entries.push_back(u"Footsteps");
        entries.push_back(u"#CHECKBOX%Footsteps");
    }
    for (const char16_t* line : { u"##", u"#TAB9", u"Filter", u"Words", u"Lock", u"#CHECKBOX%FilterPWOn" })
        entries.push_back(line);
    return entries;
}

class OptionsWindowTest : public windows_test::WindowDesktop {
protected:
    OptionsWindowTest()
        : m_previousSettings(installSettings(&m_settings))
    {
    }
    ~OptionsWindowTest() override
    {
        closeGump(window);
        installSettings(m_previousSettings);
        playerLists() = PlayerLists {};
    }
    OptionsGump* open()
    {
        window = new OptionsGump(parseEntries(windowEntries()));
        gumpLink(window, nullptr);
        return window;
    }
    // The refusals' message boxes.
    static void closeWaitingBoxes()
    {
        for (CGump* gump = gumpListHead(); gump;) {
            CGump* next = gump->next();
            if (gump->is(GumpKind::WaitingGump))
                closeGump(gump);
            gump = next;
        }
    }
    static std::string fileText(const std::string& name)
    {
        std::string bytes;
        readManagedFile(name, bytes);
        return bytes;
    }

    SettingsRegistry m_settings;
    SettingsRegistry* m_previousSettings;
    OptionsGump* window = nullptr;
};

TEST_F(OptionsWindowTest, TheSliderPinsAtBothEndsOfItsTrack)
{
    open();
    OptionItem* slider = window->tabRows()[1];
    bool changed = false;
    slider->onPointer(-40, 0, 0, changed);
    slider->apply();
    EXPECT_EQ(m_settings.getIntSetting(u"BarkTimeModifier"), 5);
    slider->onPointer(5000, 0, 0, changed);
    EXPECT_TRUE(changed);
    slider->apply();
    EXPECT_EQ(m_settings.getIntSetting(u"BarkTimeModifier"), 20);
}

TEST_F(OptionsWindowTest, ChangesWaitForApplyAndDefaultsPutTheTabBack)
{
    open();
    OptionItem* run = window->tabRows()[0];
    bool changed = false;
    run->onPointer(OptionItem::kControlX + 1, OptionsGump::kRowsTop + 1, OptionsGump::kRowsTop, changed);
    ASSERT_TRUE(changed);
    EXPECT_EQ(m_settings.getBoolSetting(u"AlwaysRun"), 0);
    window->onCommand(OptionsGump::kApplyCommand);
    EXPECT_EQ(m_settings.getBoolSetting(u"AlwaysRun"), 1);
    window->onCommand(OptionsGump::kDefaultsCommand);
    window->apply();
    EXPECT_EQ(m_settings.getBoolSetting(u"AlwaysRun"), 0);
}

TEST_F(OptionsWindowTest, ScrollingReachesTheLastRowAndTabTwoIsNeverSelected)
{
    open();
    EXPECT_EQ(window->rowCount(), 21);
    for (int i = 0; i < 40; ++i)
        window->onScrollArrow(1, nullptr);
    EXPECT_EQ(window->firstVisibleRow(), 21);
    window->onScrollArrow(0, nullptr);
    EXPECT_EQ(window->firstVisibleRow(), 20);
    int32_t x = 0;
    int32_t y = 0;
    EXPECT_FALSE(OptionsGump::tabPlace(2, window->width(), x, y));
    EXPECT_TRUE(OptionsGump::tabPlace(9, window->width(), x, y));
    window->selectTab(OptionsGump::kFilterTab);
    EXPECT_EQ(window->group(), OptionsGump::kFilterTab);
    EXPECT_EQ(window->rowCount(), 0);
    window->selectTab(0);
    EXPECT_EQ(window->group(), 0);
}

TEST_F(OptionsWindowTest, OkayWithoutChangesWritesEveryOutputAndClosesTheWindow)
{
    playerLists().filterWords = { u"drat", std::u16string(40, u'x') };
    open();
    window->onCommand(OptionsGump::kOkayCommand);
    window = nullptr;
    EXPECT_EQ(openOptionsWindow(), nullptr);
    EXPECT_NE(fileText("vo.cfg").find("FilterPWOn=no"), std::string::npos);
    EXPECT_NE(fileText("vo.cfg").find("ObscenityFilter="), std::string::npos);
    std::string unused;
    EXPECT_TRUE(readManagedFile("macros.txt", unused));
    EXPECT_TRUE(readManagedFile("ignore.lst", unused));
    EXPECT_TRUE(readManagedFile("vobscene.lst", unused));
    // A word keeps room for its terminator in its 30-unit slot.
    ASSERT_EQ(playerLists().filterWords.size(), 2u);
    EXPECT_EQ(playerLists().filterWords[1].size(), OptionsGump::kMaxWordLength);
}

TEST_F(OptionsWindowTest, DefaultsOnTheFilterTabEmptiesTheWordList)
{
    playerLists().filterWords = { u"drat", u"blast" };
    open();
    window->selectTab(OptionsGump::kFilterTab);
    window->resetTabToDefaults();
    EXPECT_EQ(window->profanityWords(), std::vector<std::u16string> { std::u16string() });
    window->apply();
    EXPECT_TRUE(playerLists().filterWords.empty());
}

TEST_F(OptionsWindowTest, TheLockRefusesTheFilterPageUntilThePasswordMatches)
{
    m_settings.setBoolSetting(u"FilterPWOn", 1);
    m_settings.setBoolSetting(u"ObscenityFilter", 1);
    configValues().filterPassword = "opensesame";
    open();
    window->selectTab(OptionsGump::kFilterTab);
    window->onCommand(OptionsGump::kFilterToggleCommand);
    window->onCommand(OptionsGump::kLockToggleCommand);
    window->onCommand(OptionsGump::kChangePasswordCommand);
    EXPECT_TRUE(window->obscenityFilterOn());
    EXPECT_TRUE(window->filterLockOn());
    EXPECT_EQ(window->group(), OptionsGump::kFilterTab);
    // The typed password stays after a refusal; the right one opens the page.
    window->passwordEntry()->setNarrowText("opensesame");
    window->onCommand(OptionsGump::kFilterToggleCommand);
    EXPECT_FALSE(window->obscenityFilterOn());
    window->onCommand(OptionsGump::kChangePasswordCommand);
    EXPECT_EQ(window->group(), OptionsGump::kPasswordGroup);
    window->newPasswordEntry(0)->setNarrowText("new");
    window->newPasswordEntry(1)->setNarrowText("other");
    window->onCommand(OptionsGump::kPasswordOkCommand);
    EXPECT_EQ(window->filterPassword(), "opensesame");
    window->newPasswordEntry(1)->setNarrowText("new");
    window->onCommand(OptionsGump::kPasswordOkCommand);
    EXPECT_EQ(window->filterPassword(), "new");
    EXPECT_EQ(window->group(), OptionsGump::kFilterTab);
    configValues().filterPassword.clear();
    closeWaitingBoxes();
}

TEST_F(OptionsWindowTest, TheWindowDrawsItsTabsAndRowsWhereTheLayoutSays)
{
    open();
    window->setLocation(0, 0);
    window->redraw();
    composeAll();
    const std::vector<uint16_t> shown = screenPicture();
    test::writeSurfacePng(test::picturePath("options_window.png"), shown.data(), 640, 480, 640);
    // Independent of the golden: the current tab's art at its place, the
    // other's art at its own, the first row's check box at (70, 104).
    const auto artAt = [this](int32_t art, int32_t x, int32_t y, int32_t dx, int32_t dy) {
        return screenPixel(x + dx, y + dy) == getGumpArtPixel(art, dx, dy);
    };
    EXPECT_TRUE(artAt(217, 10, 45, 3, 3));
    int32_t x = 0;
    int32_t y = 0;
    ASSERT_TRUE(OptionsGump::tabPlace(9, window->width(), x, y));
    EXPECT_TRUE(artAt(235, x, y, 3, 3));
    EXPECT_TRUE(artAt(210, OptionItem::kControlX, OptionsGump::kRowsTop, 2, 2));
    const uint64_t hash = test::surfaceHash(shown.data(), 640, 480, 640);
    EXPECT_EQ(hash, 0xd4f9bb6a9be62ef2ull) << std::hex << hash;
}

TEST(MacroEditorChoices, CommandIsNeverOfferedAndNoneEndsTheList)
{
    const std::vector<macro_editor::Choice> choices = macro_editor::actionChoices();
    ASSERT_EQ(choices.size(), size_t(macro::kActionCount));
    for (const macro_editor::Choice& choice : choices)
        EXPECT_NE(choice.name, "Command");
    EXPECT_EQ(choices.back().number, macro_editor::kNoneChoice);
    EXPECT_EQ(macro_editor::actionLabel(77), "77 missing name");
    EXPECT_EQ(macro_editor::argumentChoices(macro::kMinimize).size(), 14u);
    EXPECT_EQ(macro_editor::argumentChoices(macro::kOpen).size(), 20u);
}

class MacroPageTest : public OptionsWindowTest {
protected:
    ~MacroPageTest() override { macro::freeMacros(); }
    static macro::MacroRecord record(uint16_t virtualKey, int32_t actions)
    {
        macro::MacroRecord r;
        r.virtualKey = virtualKey;
        r.keyData = uint32_t(macro::scanCodeForVirtualKey(virtualKey)) << 16;
        for (int32_t i = 0; i < actions; ++i) {
            r.actions[size_t(i)].action = macro::kSay;
            r.actions[size_t(i)].text = u"line " + std::u16string(1, char16_t(u'0' + i));
        }
        r.count = actions;
        return r;
    }
    std::vector<int32_t> rowActions() const
    {
        std::vector<int32_t> actions;
        for (const MacroCmdGump* row : window->actionList()->rows())
            actions.push_back(row->action());
        return actions;
    }
};

TEST_F(MacroPageTest, TheListKeepsAnEmptyRowBelowFewerThanTenActions)
{
    macro::macroList().replace({ record(0x70, 10), record(0x71, 9) });
    open();
    window->selectTab(OptionsGump::kMacroTab);
    // Ten actions: ten rows and no empty one.
    EXPECT_EQ(rowActions().size(), 10u);
    EXPECT_NE(rowActions().back(), macro::kNone);
    MacroCmdGump* first = window->actionList()->rows().front();
    first->choose(first->actionField(), macro_editor::kNoneChoice);
    EXPECT_EQ(rowActions().size(), 10u);
    EXPECT_EQ(rowActions().back(), macro::kNone);
    EXPECT_EQ(window->workingMacros()[0].count, 9);

    // Nine actions and the empty row; removing one leaves two empty rows.
    window->onCommand(OptionsGump::kNextMacroCommand);
    ASSERT_EQ(rowActions().size(), 10u);
    first = window->actionList()->rows().front();
    first->choose(first->actionField(), macro_editor::kNoneChoice);
    ASSERT_EQ(rowActions().size(), 10u);
    EXPECT_EQ(rowActions()[8], macro::kNone);
    EXPECT_EQ(rowActions()[9], macro::kNone);
    EXPECT_EQ(window->workingMacros()[1].count, 8);

    // "(NONE)" on the last, empty row gives it back.
    MacroCmdGump* last = window->actionList()->rows().back();
    last->choose(last->actionField(), macro_editor::kNoneChoice);
    EXPECT_EQ(rowActions().back(), macro::kNone);
}

TEST_F(MacroPageTest, TheArrowsMoveTheRowsAWholeRowAndHideAtEitherEnd)
{
    macro::macroList().replace({ record(0x70, 4), record(0x71, 3) });
    open();
    window->selectTab(OptionsGump::kMacroTab);
    MacroListGump* list = window->actionList();
    ASSERT_EQ(list->rows().size(), 5u);
    // The shown rows (by index) and the arrows after each press; the list
    // is 70 high and shows two rows.
    struct Step {
        bool down;
        int32_t firstShown;
        bool upShown;
        bool downShown;
    };
    auto press = [](Button* arrow) {
        arrow->onLeftDown(0, 0);
        arrow->onLeftUp(0, 0);
    };
    auto check = [&](int32_t firstShown, bool upShown, bool downShown, const char* when) {
        for (size_t i = 0; i < list->rows().size(); ++i) {
            const MacroCmdGump* row = list->rows()[i];
            EXPECT_EQ(row->y(), 14 + (int32_t(i) - firstShown) * 26) << when << " row " << i;
            EXPECT_EQ(row->isVisible(), int32_t(i) == firstShown || int32_t(i) == firstShown + 1) << when << " row " << i;
        }
        EXPECT_EQ(list->upButton()->isVisible(), upShown) << when;
        EXPECT_EQ(list->downButton()->isVisible(), downShown) << when;
    };
    check(0, false, true, "opened");
    press(list->upButton());
    check(0, false, true, "up at the top");
    const Step steps[] = { { true, 1, true, true }, { true, 2, true, true }, { true, 3, true, true },
        { true, 4, true, false }, { true, 4, true, false }, { false, 3, true, true }, { false, 2, true, true },
        { false, 1, true, true }, { false, 0, false, true } };
    for (const Step& step : steps) {
        press(step.down ? list->downButton() : list->upButton());
        check(step.firstShown, step.upShown, step.downShown, step.down ? "down" : "up");
    }

    // Another macro starts at the top.
    press(list->downButton());
    window->onCommand(OptionsGump::kNextMacroCommand);
    check(0, false, true, "the next macro");
}

TEST_F(MacroPageTest, ANewMacroTakesAKeyAndAnActionAndApplyWritesIt)
{
    open();
    window->selectTab(OptionsGump::kMacroTab);
    ASSERT_EQ(window->workingMacros().size(), 1u);
    window->takeCapturedKey(0x72);
    MacroCmdGump* row = window->actionList()->rows().front();
    row->choose(row->actionField(), macro::kWalk);
    row = window->actionList()->rows().front();
    ASSERT_NE(row->choiceField(), nullptr);
    row->choose(row->choiceField(), 3);
    window->modifierToggle(2)->setChecked(true);
    window->onControlChanged(window->modifierToggle(2));
    EXPECT_EQ(rowActions(), (std::vector<int32_t> { macro::kWalk, macro::kNone }));
    window->apply();
    ASSERT_EQ(macro::macroList().macros.size(), 1u);
    const macro::MacroRecord& saved = macro::macroList().macros[0];
    EXPECT_EQ(saved.virtualKey, 0x72u);
    EXPECT_TRUE(saved.control);
    ASSERT_EQ(saved.count, 1);
    EXPECT_EQ(saved.actions[0].action, macro::kWalk);
    EXPECT_EQ(saved.actions[0].argument, 3);
    std::string bytes;
    ASSERT_TRUE(readManagedFile("macros.txt", bytes));
    EXPECT_EQ(bytes.rfind("F3 1 0 0\r\n", 0), 0u) << bytes;

    // Deleting the only macro leaves no record: an empty key and one row.
    window->onCommand(OptionsGump::kDeleteMacroCommand);
    EXPECT_EQ(window->currentMacro(), -1);
    EXPECT_EQ(rowActions(), std::vector<int32_t> { macro::kNone });
}

// The ignore list as the filter page shows it: a row per name on the ruled
// lines of its art, then the "(new)" row.
class IgnoreListTest : public OptionsWindowTest {
protected:
    static void ignore(std::vector<std::pair<std::string, uint32_t>> names)
    {
        playerLists().ignore.clear();
        for (const auto& [name, serial] : names) {
            IgnoreEntry entry;
            std::copy(name.begin(), name.end(), entry.name.begin());
            entry.serial = serial;
            playerLists().ignore.push_back(entry);
        }
    }
    std::vector<std::string> rowTexts() const
    {
        std::vector<std::string> texts;
        for (int32_t row = 0; row < window->ignoreList()->rowCount(); ++row)
            texts.push_back(window->ignoreList()->rowEntry(row)->narrowText());
        return texts;
    }
    static void typeInto(CGump* focused, const std::string& text)
    {
        for (char c : text)
            focused->onKey(uint32_t(uint8_t(c)));
    }
};

struct RuledLineCase {
    int32_t row;
    int32_t y;
    bool shown;
};

TEST_F(IgnoreListTest, RowsSitOnTheRuledLinesAndScrollByOne)
{
    ignore({ { "a", 1 }, { "b", 2 }, { "c", 3 }, { "d", 4 }, { "e", 5 }, { "f", 6 }, { "g", 7 } });
    open();
    window->selectTab(OptionsGump::kFilterTab);
    EditListGump* list = window->ignoreList();
    ASSERT_EQ(list->rowCount(), 8);
    // The list's art is 120 high: a row shows while it ends inside it.
    for (const RuledLineCase& c : { RuledLineCase { 0, 3, true }, RuledLineCase { 1, 20, true },
             RuledLineCase { 2, 38, true }, RuledLineCase { 3, 55, true }, RuledLineCase { 4, 73, true },
             RuledLineCase { 5, 88, true }, RuledLineCase { 6, 105, false }, RuledLineCase { 7, 122, false } }) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(list->rowEntry(c.row)->y(), c.y);
        EXPECT_EQ(list->rowEntry(c.row)->isVisible(), c.shown);
    }
    EXPECT_TRUE(list->downButton()->isVisible());
    EXPECT_FALSE(list->upButton()->isVisible());
    list->scrollDown();
    EXPECT_EQ(list->rowEntry(0)->y(), -14);
    EXPECT_FALSE(list->rowEntry(0)->isVisible());
    EXPECT_EQ(list->rowEntry(1)->y(), 3);
    EXPECT_TRUE(list->rowEntry(6)->isVisible());
    EXPECT_TRUE(list->upButton()->isVisible());
    for (int i = 0; i < 10; ++i)
        list->scrollDown();
    EXPECT_EQ(list->firstShownIndex(), 7);
    EXPECT_FALSE(list->downButton()->isVisible());
    for (int i = 0; i < 10; ++i)
        list->scrollUp();
    EXPECT_EQ(list->firstShownIndex(), 0);
    EXPECT_FALSE(list->upButton()->isVisible());
}

TEST_F(IgnoreListTest, ANameTypedIntoTheNewRowIsKeptAndAnEmptiedOneGoes)
{
    ignore({ { "Grumbler", 0x1234 } });
    open();
    window->selectTab(OptionsGump::kFilterTab);
    EditListGump* list = window->ignoreList();
    EXPECT_EQ(rowTexts(), (std::vector<std::string> { "Grumbler", "(new)" }));
    EXPECT_EQ(list->rowEntry(0)->value(), 0x1234);

    // A press on the new row as the player gives it: the list highlights it
    // and the row takes the caret, its "(new)" gone.
    int32_t x = 20;
    int32_t y = EditListGump::lineY(1) + 5;
    list->localToScreen(x, y);
    pressLeft(x, y);
    releaseLeft(x, y);
    ASSERT_EQ(gumpFocus(), list->rowEntry(1));
    EXPECT_EQ(list->rowEntry(1)->narrowText(), "");
    typeInto(gumpFocus(), "Pest");
    EXPECT_EQ(rowTexts(), (std::vector<std::string> { "Grumbler", "Pest", "(new)" }));
    EXPECT_EQ(list->rowEntry(1)->hue(), EditListGump::kEntryHue);

    // Emptying the first name removes it; the caret goes to the row below.
    gumpReleaseFocus();
    gumpSetFocus(list->rowEntry(0));
    list->rowEntry(0)->onKey(GumpKey::kEnd);
    for (int i = 0; i < 8; ++i)
        gumpFocus()->onKey(GumpKey::kBackspace);
    EXPECT_EQ(rowTexts(), (std::vector<std::string> { "Pest", "(new)" }));
    EXPECT_EQ(gumpFocus(), list->rowEntry(0));
    EXPECT_EQ(list->rowEntry(0)->y(), 3);

    window->onCommand(OptionsGump::kOkayCommand);
    window = nullptr;
    ASSERT_EQ(playerLists().ignore.size(), 1u);
    EXPECT_STREQ(playerLists().ignore[0].name.data(), "Pest");
    std::string expected = "Pest";
    expected.resize(30 + 4, '\0');
    EXPECT_EQ(fileText("ignore.lst"), expected);
}

TEST_F(IgnoreListTest, DeleteRemovesTheHighlightedRowButNeverTheLast)
{
    ignore({ { "one", 1 }, { "two", 2 } });
    open();
    window->selectTab(OptionsGump::kFilterTab);
    EditListGump* list = window->ignoreList();
    list->onControlPressed(list->rowEntry(1));
    EXPECT_EQ(list->highlightedRow(), 1);
    EXPECT_EQ(list->rowEntry(1)->hue(), EditListGump::kHighlightHue);
    list->onKey(GumpKey::kDelete);
    EXPECT_EQ(rowTexts(), (std::vector<std::string> { "one", "(new)" }));
    list->onControlPressed(list->rowEntry(1));
    list->onKey(GumpKey::kDelete);
    EXPECT_EQ(rowTexts(), (std::vector<std::string> { "one", "" }));
    // Losing the focus gives the row its colour back.
    list->onControlPressed(list->rowEntry(0));
    gumpReleaseFocus();
    EXPECT_EQ(list->highlightedRow(), -1);
    EXPECT_EQ(list->rowEntry(0)->hue(), EditListGump::kEntryHue);
    window->apply();
    ASSERT_EQ(playerLists().ignore.size(), 1u);
    EXPECT_EQ(playerLists().ignore[0].serial, 1u);
}

TEST_F(IgnoreListTest, TheFilterPageDrawsTheRuledAreaDownToItsRows)
{
    ignore({ { "Grumbler", 7 }, { "Pest", 8 } });
    open();
    window->setLocation(0, 0);
    window->selectTab(OptionsGump::kFilterTab);
    composeAll();
    const std::vector<uint16_t> shown = screenPicture();
    test::writeSurfacePng(test::picturePath("options_filter_page.png"), shown.data(), 640, 480, 640);
    // Independent of the golden: the ruled art over the list's art down to
    // 17 pixels a row (three rows) plus 9, the plain art below; the word
    // list's picture stands where the list will open.
    const EditListGump* list = window->ignoreList();
    const int32_t ruledEnd = 17 * 3 + 9;
    EXPECT_EQ(screenPixel(list->x() + 150, list->y() + ruledEnd - 1), getGumpArtPixel(2434, 150, ruledEnd - 1));
    EXPECT_EQ(screenPixel(list->x() + 150, list->y() + ruledEnd), getGumpArtPixel(2433, 150, ruledEnd));
    EXPECT_NE(getGumpArtPixel(2434, 150, ruledEnd - 1), getGumpArtPixel(2433, 150, ruledEnd - 1));
    ASSERT_NE(window->wordsPicture(), nullptr);
    EXPECT_EQ(window->wordsPicture()->group(), OptionsGump::kFilterTab);
    EXPECT_EQ(window->wordList()->group(), OptionsGump::kHiddenGroup);
    const uint64_t hash = test::surfaceHash(shown.data(), 640, 480, 640);
    EXPECT_EQ(hash, 0x17991e6ae14d58ceull) << std::hex << hash;
    // Opening the word list puts it in the picture's place.
    window->onCommand(OptionsGump::kEditWordsCommand);
    EXPECT_EQ(window->wordsPicture()->group(), OptionsGump::kHiddenGroup);
    EXPECT_EQ(window->wordList()->group(), OptionsGump::kFilterTab);
}

TEST_F(OptionsWindowTest, TheMacroAndFilterPagesPlaceTheirTabsLabelsAtFixedPoints)
{
    Entries entries { u"n", u"##", u"#TAB4", u"Macros", u"text" };
    for (const char16_t* label : { u"Key", u"Shift", u"Alt", u"Ctrl", u"Actions", u"Keys", u"Extra" }) {
        entries.push_back(label);
        entries.push_back(u"#DUMMY");
    }
    for (const char16_t* line : { u"##", u"#TAB9", u"Filter", u"text", u"On", u"#DUMMY", u"Ignore", u"#DUMMY",
             u"Lock", u"#CHECKBOX%FilterPWOn", u"Password", u"#DUMMY", u"Extra", u"#DUMMY" })
        entries.push_back(line);
    window = new OptionsGump(parseEntries(entries));
    gumpLink(window, nullptr);
    std::vector<std::string> places;
    for (const DumbGump* label : window->fixedLabels())
        places.push_back(std::to_string(label->group()) + "@" + std::to_string(label->x()) + ","
            + std::to_string(label->y()));
    // Four of the filter tab's five, six of the macro tab's seven.
    EXPECT_EQ(places,
        (std::vector<std::string> { "9@162,115", "9@312,115", "9@162,247", "9@332,247", "4@147,135", "4@212,163",
            "4@294,135", "4@294,163", "4@294,191", "4@147,215" }));
    // Each label holds its text in the rows' colour.
    const GumpPage& face = *window->fixedLabels()[0]->page(0);
    EXPECT_NE(std::count(face.pixels.begin(), face.pixels.end(), OptionItem::kTextColour), 0);
}

TEST_F(MacroPageTest, TheActionListScrollsARowAtATime)
{
    macro::macroList().replace({ record(0x70, 5) });
    open();
    window->selectTab(OptionsGump::kMacroTab);
    MacroListGump* list = window->actionList();
    ASSERT_EQ(list->rows().size(), 6u);
    // A 70-pixel list shows two rows.
    const auto shownRows = [list] {
        std::vector<int32_t> shown;
        for (size_t i = 0; i < list->rows().size(); ++i) {
            if (list->rows()[i]->isVisible())
                shown.push_back(int32_t(i));
        }
        return shown;
    };
    EXPECT_EQ(shownRows(), (std::vector<int32_t> { 0, 1 }));
    EXPECT_FALSE(list->upButton()->isVisible());
    EXPECT_TRUE(list->downButton()->isVisible());
    list->scrollDown();
    EXPECT_EQ(shownRows(), (std::vector<int32_t> { 1, 2 }));
    EXPECT_EQ(list->rows()[0]->y(), 14 - macro_editor::kRowHeight);
    EXPECT_TRUE(list->upButton()->isVisible());
    for (int i = 0; i < 10; ++i)
        list->scrollDown();
    // The last row reaches the top; the down arrow hides.
    EXPECT_EQ(list->rowsAbove(), 5);
    EXPECT_EQ(shownRows(), std::vector<int32_t> { 5 });
    EXPECT_FALSE(list->downButton()->isVisible());
    for (int i = 0; i < 10; ++i)
        list->scrollUp();
    EXPECT_EQ(shownRows(), (std::vector<int32_t> { 0, 1 }));
    EXPECT_FALSE(list->upButton()->isVisible());
    // Another macro starts from its first row.
    list->scrollDown();
    window->onCommand(OptionsGump::kNewMacroCommand);
    EXPECT_EQ(list->rowsAbove(), 0);
    EXPECT_FALSE(list->downButton()->isVisible());
    // A right click on a row closes the window, as on the list.
    int32_t x = list->rows()[0]->width() - 2;
    int32_t y = 2;
    list->rows()[0]->localToScreen(x, y);
    pressRight(x, y);
    releaseRight(x, y);
    EXPECT_EQ(openOptionsWindow(), nullptr);
    window = nullptr;
}

struct ChoiceLabelCase {
    int32_t action;
    int32_t argument;
    const char* shown;
};

TEST_F(OptionsWindowTest, ARowFromTheFileNamesItsChoiceOrSaysItIsMissing)
{
    for (const ChoiceLabelCase& c : { ChoiceLabelCase { macro::kWalk, 3, "E (bottomright)" },
             ChoiceLabelCase { macro::kWalk, 77, "77 missing name" }, ChoiceLabelCase { macro::kOpen, 19, "QuestLog" },
             ChoiceLabelCase { macro::kMinimize, 8, "8 missing name" },
             ChoiceLabelCase { macro::kArmDisarm, 0, "" }, ChoiceLabelCase { macro::kArmDisarm, 2, "Right Hand" },
             ChoiceLabelCase { macro::kInvokeVirtue, -4, "-4 missing name" } }) {
        SCOPED_TRACE(c.shown);
        macro::MacroAction action;
        action.action = c.action;
        action.argument = c.argument;
        auto* row = new MacroCmdGump(0, 0, action);
        gumpLink(row, nullptr);
        ASSERT_NE(row->choiceField(), nullptr);
        EXPECT_EQ(row->choiceField()->narrowText(), c.shown);
        EXPECT_EQ(row->toAction().argument, c.argument);
        closeGump(row);
    }
}

TEST_F(OptionsWindowTest, TheFactoryOpensTheOneWindowAndKnowsItsRecord)
{
    EXPECT_FALSE(hasOptionsWindowRecord());
    CGump* opened = gumpOpenByKind(nullptr, gump_kind::kOptions, nullptr, false, false);
    ASSERT_NE(opened, nullptr);
    window = openOptionsWindow();
    EXPECT_EQ(opened, window);
    EXPECT_TRUE(hasOptionsWindowRecord());
    EXPECT_EQ(gumpOpenByKind(nullptr, gump_kind::kOptions, nullptr, false, false), opened);
}

} // namespace
