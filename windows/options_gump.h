#pragma once
// The options window: up to ten tabs down its two sides, each a scrolling
// list of the option rows the localized layout gives it (windows/
// option_items.h). Changes stay in the window until Apply or Okay writes them
// to the settings store and the settings file, with the macro list, the
// filter keys and lists and the desktop file; Defaults puts the current
// tab's rows back to their defaults. The gump factory opens it as kind 5000
// from the paperdoll's options button, the menubar and the Configuration
// macro. Main thread only.

#include "gump/button.h"
#include "gump/control_gump.h"
#include "gump/gump.h"
#include "windows/macro_files.h"
#include "windows/option_items.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class HueGump;
class InputControl;
class ToggleControl;
class UnicodeEditList;
class MacroListGump;
class EditListGump;
class DumbGump;

class OptionsGump final : public CGump, public ScrollBarGumpOwner {
public:
    static constexpr int32_t kTabCount = OptionsLayout::kTabCount;
    static constexpr int32_t kMacroTab = 4;
    static constexpr int32_t kFilterTab = 9;
    static constexpr int32_t kRowsTop = 104;
    static constexpr int32_t kRowsBottom = 400;
    static constexpr int32_t kButtonY = 405;
    static constexpr int32_t kCloseCommand = 20;
    static constexpr int32_t kOkayCommand = 21;
    static constexpr int32_t kApplyCommand = 22;
    static constexpr int32_t kDefaultsCommand = 23;
    static constexpr int32_t kHeight = 480;
    // Words of the profanity list keep room for their terminator.
    static constexpr size_t kMaxWordLength = 29;
    static constexpr size_t kMaxWords = 119;
    static constexpr size_t kMaxIgnored = 19;
    // The pages selected by the window's group: the filter page, the
    // password change over it, and what the filter page hides.
    static constexpr uint8_t kPasswordGroup = 50;
    static constexpr uint8_t kHiddenGroup = 99;
    // The filter page's commands.
    static constexpr int32_t kEditWordsCommand = 2;
    static constexpr int32_t kChangePasswordCommand = 3;
    static constexpr int32_t kPasswordCancelCommand = 4;
    static constexpr int32_t kPasswordOkCommand = 5;
    static constexpr int32_t kFilterToggleCommand = 6;
    static constexpr int32_t kLockToggleCommand = 7;
    // The macro page's commands.
    static constexpr int32_t kNewMacroCommand = 10;
    static constexpr int32_t kDeleteMacroCommand = 11;
    static constexpr int32_t kPreviousMacroCommand = 12;
    static constexpr int32_t kNextMacroCommand = 13;

    // The layout of the current language's "options" table.
    OptionsGump();
    // A given layout (tests).
    explicit OptionsGump(OptionsLayout layout);
    ~OptionsGump() override;

    // The tab's x and y; false for a tab without art.
    static bool tabPlace(int32_t tab, int32_t windowWidth, int32_t& x, int32_t& y);

    void selectTab(int32_t tab);
    int32_t currentTab() const { return m_currentTab; }
    int32_t firstVisibleRow() const { return m_firstVisibleRow; }
    int32_t rowCount() const { return m_rowCount; }
    // The rows of the current tab, in layout order.
    std::vector<OptionItem*> tabRows() const;
    const OptionsLayout& layout() const { return m_layout; }

    void apply();
    void resetTabToDefaults();
    void redraw();
    // The hue picker's answer for the waiting colour row (-1: cancelled).
    void optionHuePicked(int32_t hue);

    void draw(GumpCanvas& canvas) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onCommand(int32_t commandId) override;
    void onControlChanged(CGump* control) override;
    void forgetGump(CGump* dying) override;
    void onScrollArrow(int32_t id, CGump* bar) override;
    void onScrollThumb(int32_t position, int32_t range, CGump* bar) override;

    // The filter page's state, written by Apply.
    bool filterLockOn() const { return m_filterLockOn; }
    bool obscenityFilterOn() const { return m_obscenityFilterOn; }
    const std::string& filterPassword() const { return m_filterPassword; }
    // The words of the profanity list, its last (empty) entry included.
    std::vector<std::u16string> profanityWords() const;
    InputControl* passwordEntry() const { return m_passwordEntry; }
    InputControl* newPasswordEntry(int32_t which) const { return m_newPassword[which != 0]; }
    UnicodeEditList* wordList() const { return m_wordList; }
    EditListGump* ignoreList() const { return m_ignoreList; }
    DumbGump* wordsPicture() const { return m_wordsPicture; }
    // The ignore list's names and numbers, its last ("(new)") row left out.
    std::vector<std::pair<std::string, uint32_t>> ignoredNames() const;
    // The fixed labels of the macro and filter pages, in layout order.
    const std::vector<DumbGump*>& fixedLabels() const { return m_fixedLabels; }

    // The macro page: the working copy of the macro list and its current
    // record (-1 for none).
    const std::vector<macro::MacroRecord>& workingMacros() const { return m_macros; }
    int32_t currentMacro() const { return m_currentMacro; }
    MacroListGump* actionList() const { return m_actionList; }
    ToggleControl* modifierToggle(int32_t which) const { return m_modifiers[which]; }
    // The key entry has the keyboard focus: the main window gives it the
    // next key instead of typing it.
    bool keyEntryFocused() const;
    void takeCapturedKey(uint16_t virtualKey);
    void showMacro();

private:
    void build();
    void createButtons();
    void buildFilterPage();
    void filterCommand(int32_t commandId);
    // The lock is off, or the typed password is the filter's; else the
    // player is told.
    bool unlocked();
    void buildMacroPage();
    // The labels of the tab's rows, each drawn once into a picture of the
    // page at the next of `places`.
    void placeFixedLabels(int32_t tab, const int32_t (*places)[2], size_t placeCount);
    void macroCommand(int32_t commandId);
    void macroControlChanged(CGump* control);
    // Calls `visit(row, top)` for each row of the current tab shown, from
    // the top; stops when it answers true.
    template <typename Visit>
    void forEachShownRow(Visit visit) const;

    OptionsLayout m_layout;
    int32_t m_currentTab = -1;
    int32_t m_firstVisibleRow = 0;
    int32_t m_rowCount = 0;
    bool m_pressed = false;
    int32_t m_pressX = 0;
    int32_t m_pressY = 0;
    OptionItem* m_capturedItem = nullptr;
    int32_t m_capturedRowTop = 0;
    ScrollBarGump* m_scrollBar = nullptr;
    HueGump* m_huePicker = nullptr;
    OptionItem* m_hueRow = nullptr;

    // The working copies Apply writes.
    std::vector<macro::MacroRecord> m_macros;
    bool m_filterLockOn = false;
    bool m_obscenityFilterOn = false;
    std::string m_filterPassword;
    InputControl* m_passwordEntry = nullptr;
    InputControl* m_newPassword[2] = { nullptr, nullptr };
    ToggleControl* m_filterToggle = nullptr;
    ToggleControl* m_lockToggle = nullptr;
    UnicodeEditList* m_wordList = nullptr;
    Button* m_wordsButton = nullptr;
    int32_t m_currentMacro = -1;
    MacroListGump* m_actionList = nullptr;
    InputControl* m_keyEntry = nullptr;
    // Shift, Alt, Ctrl.
    ToggleControl* m_modifiers[3] = { nullptr, nullptr, nullptr };
    EditListGump* m_ignoreList = nullptr;
    DumbGump* m_wordsPicture = nullptr;
    std::vector<DumbGump*> m_fixedLabels;
};

// The factory's kind 5000: a new window (the factory links it).
CGump* openOptionsGump();
// The open window, or null.
OptionsGump* openOptionsWindow();
// Whether the program's record of its options window is set (a window made
// without it is a stray).
bool hasOptionsWindowRecord();
