// The options window: its layout language (tabs, rows, keys, the rows the
// language data must not hold), the rows' pointer rules, the tabs and the
// scrolling, Defaults and Apply writing the settings and the files.

#include "windows/options_gump.h"

#include "data/config_key_rules.h"
#include "data/managed_files.h"
#include "gfx/gump_art.h"
#include "support/png_writer.h"
#include "gump/button.h"
#include "gump/input_control.h"
#include "gump/toggle_control.h"
#include "windows/macro_editor.h"
#include "data/player_lists.h"
#include "data/settings_registry.h"
#include "windows_test_support.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(hash, 0xae0f30fb69ede55cull) << std::hex << hash;
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
        EXPECT_EQ(list->upArrow()->isVisible(), upShown) << when;
        EXPECT_EQ(list->downArrow()->isVisible(), downShown) << when;
    };
    check(0, false, true, "opened");
    press(list->upArrow());
    check(0, false, true, "up at the top");
    const Step steps[] = { { true, 1, true, true }, { true, 2, true, true }, { true, 3, true, true },
        { true, 4, true, false }, { true, 4, true, false }, { false, 3, true, true }, { false, 2, true, true },
        { false, 1, true, true }, { false, 0, false, true } };
    for (const Step& step : steps) {
        press(step.down ? list->downArrow() : list->upArrow());
        check(step.firstShown, step.upShown, step.downShown, step.down ? "down" : "up");
    }

    // Another macro starts at the top.
    press(list->downArrow());
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

} // namespace
