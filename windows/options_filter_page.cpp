// The options window's filter page: the profanity filter and the lock over
// it, the password that opens the lock and its change, and the player's own
// list of words to filter, and the names the player ignores.

#include "data/player_lists.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/input_control.h"
#include "gump/toggle_control.h"
#include "gump/unicode_edit_list.h"
#include "gump/unicode_input_control.h"
#include "gump/waiting_gump.h"
#include "text/ascii_font.h"
#include "windows/edit_list_gump.h"
#include "windows/options_gump.h"
#include "windows/picture_windows.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr int32_t kFilterEntryArt = 2440;
constexpr int32_t kFilterFont = 1;
constexpr int32_t kFilterHue = 902;
constexpr int32_t kMaxPasswordLength = 16;
constexpr int32_t kToggleOffArt = 2151;
constexpr int32_t kToggleHoverArt = 2152;
constexpr int32_t kToggleOnArt = 2153;
constexpr int32_t kWordListArt = 2431;
constexpr int32_t kMaxWordRows = 120;
constexpr int32_t kWordLength = 30;
constexpr int32_t kIgnoreListArt = 2433;
constexpr int32_t kMaxIgnoreRows = 20;
constexpr int32_t kWordsPictureWidth = 152;
constexpr const char* kWordsPictureText = "Click to edit Profanity List";
constexpr int32_t kFilterLabelPlaces[][2] = { { 162, 115 }, { 312, 115 }, { 162, 247 }, { 332, 247 } };
constexpr const char* kWrongPassword = "Password incorrect!";
constexpr const char* kPasswordsDiffer = "Passwords did not match!";

InputControl* passwordEntryAt(int32_t x, int32_t y, uint8_t group, CGump* parent)
{
    auto* entry = new InputControl(x, y, EntryArt { kFilterEntryArt, kFilterEntryArt, 0 }, int32_t(EntryMode::Text),
        kMaxPasswordLength, kFilterFont, kFilterHue, true, false);
    entry->options.password = true;
    entry->setGroup(group);
    gumpLink(entry, parent);
    return entry;
}

ToggleControl* filterToggleAt(int32_t y, bool checked, CGump* parent)
{
    auto* toggle = new ToggleControl(128, y, kToggleOffArt, kToggleOnArt, kFilterFont, kFilterHue, "", checked, 0, 0);
    toggle->setHoverArts(kToggleHoverArt, kToggleHoverArt);
    toggle->setGroup(OptionsGump::kFilterTab);
    gumpLink(toggle, parent);
    return toggle;
}

Button* commandButtonAt(int32_t x, int32_t y, int32_t up, int32_t down, int32_t hover, int32_t command, uint8_t group,
    CGump* parent)
{
    auto* button = new Button(x, y, ButtonBehaviour::ClickOnRelease, 0, forwardButtonToOwner, up, down, false);
    button->setHoverArt(hover);
    button->setId(command);
    button->setPassId(true);
    button->setGroup(group);
    gumpLink(button, parent);
    return button;
}

void tellPlayer(const char* text) { gumpShowWaiting(std::string(text), nullptr, false, false, true); }

} // namespace

void OptionsGump::buildFilterPage()
{
    m_passwordEntry = passwordEntryAt(132, 270, kFilterTab, this);
    m_newPassword[0] = passwordEntryAt(213, 145, kPasswordGroup, this);
    m_newPassword[1] = passwordEntryAt(212, 193, kPasswordGroup, this);
    m_filterToggle = filterToggleAt(110, m_obscenityFilterOn, this);
    m_lockToggle = filterToggleAt(242, m_filterLockOn, this);
    commandButtonAt(300, 242, 2472, 2473, 2474, kChangePasswordCommand, kFilterTab, this);
    commandButtonAt(234, 227, 2455, 2454, 2453, kPasswordCancelCommand, kPasswordGroup, this);
    commandButtonAt(305, 226, 2450, 2451, 2452, kPasswordOkCommand, kPasswordGroup, this);
    // The picture that stands for the word list until it is opened.
    int32_t pictureWidth = 0;
    int32_t pictureHeight = 0;
    int32_t baseline = 0;
    wrapAsciiText(kFilterFont, kWordsPictureText, kWordsPictureWidth, pictureWidth, pictureHeight, baseline, 0);
    m_wordsPicture = new DumbGump(132, 160, kWordsPictureWidth, std::max(pictureHeight, 1), 0, nullptr, -1);
    if (GumpPage& face = *m_wordsPicture->page(0); face.isAllocated()) {
        const TextClip clip { 0, 0, face.width, face.height };
        drawAsciiTextWrapped(
            0, 0, kFilterFont, kFilterHue, kWordsPictureText, kWordsPictureWidth, face.surface(), clip, 0, 0, false);
    }
    m_wordsPicture->setGroup(kFilterTab);
    gumpLink(m_wordsPicture, this);
    m_wordsButton = Button::hotSpot(122, 141, 210, 211, ButtonBehaviour::ClickOnRelease, 0, forwardButtonToOwner, false);
    m_wordsButton->setId(kEditWordsCommand);
    m_wordsButton->setPassId(true);
    m_wordsButton->setGroup(kFilterTab);
    gumpLink(m_wordsButton, this);

    m_wordList = new UnicodeEditList(122, 141, kWordListArt, kMaxWordRows, kWordLength);
    for (const std::u16string& word : playerLists().filterWords)
        m_wordList->addEntry(std::u16string_view(word).substr(0, kMaxWordLength), 0);
    // The list keeps an empty entry at its end for a new word.
    m_wordList->addEntry(u"", 0);
    m_wordList->setGroup(kHiddenGroup);
    gumpLink(m_wordList, this);

    // One row per ignored name with its number, then the row for a new one.
    m_ignoreList = new EditListGump(291, 141, kIgnoreListArt, kMaxIgnoreRows);
    for (const IgnoreEntry& entry : playerLists().ignore)
        m_ignoreList->addRow(std::string_view(entry.name.data(), strnlen(entry.name.data(), entry.name.size())),
            int32_t(entry.serial));
    m_ignoreList->addRow(EditListGump::kNewRowText, 0);
    m_ignoreList->setGroup(kFilterTab);
    gumpLink(m_ignoreList, this);
    placeFixedLabels(kFilterTab, kFilterLabelPlaces, std::size(kFilterLabelPlaces));
}

std::vector<std::pair<std::string, uint32_t>> OptionsGump::ignoredNames() const
{
    std::vector<std::pair<std::string, uint32_t>> names;
    for (int32_t row = 0; m_ignoreList && row + 1 < m_ignoreList->rowCount(); ++row) {
        if (const InputControl* entry = m_ignoreList->rowEntry(row))
            names.emplace_back(entry->narrowText(), uint32_t(entry->value()));
    }
    return names;
}

std::vector<std::u16string> OptionsGump::profanityWords() const
{
    std::vector<std::u16string> words;
    for (int32_t row = 0; m_wordList && row < m_wordList->rowCount(); ++row) {
        const UnicodeInputControl* entry = m_wordList->rowEntry(row);
        words.push_back(entry ? entry->text() : std::u16string());
    }
    return words;
}

bool OptionsGump::unlocked()
{
    if (!m_filterLockOn || (m_passwordEntry && m_passwordEntry->narrowText() == m_filterPassword))
        return true;
    tellPlayer(kWrongPassword);
    return false;
}

void OptionsGump::filterCommand(int32_t commandId)
{
    switch (commandId) {
    case kEditWordsCommand:
        if (!unlocked())
            return;
        // The list takes the place of its button.
        m_wordsButton->setGroup(kHiddenGroup);
        m_wordsPicture->setGroup(kHiddenGroup);
        m_wordList->setGroup(kFilterTab);
        break;
    case kChangePasswordCommand:
        if (!unlocked())
            return;
        setGroup(kPasswordGroup);
        m_newPassword[0]->setNarrowText("");
        m_newPassword[1]->setNarrowText("");
        m_newPassword[0]->redraw();
        m_newPassword[1]->redraw();
        break;
    case kPasswordCancelCommand:
        setGroup(kFilterTab);
        break;
    case kPasswordOkCommand:
        if (m_newPassword[0]->narrowText() != m_newPassword[1]->narrowText()) {
            tellPlayer(kPasswordsDiffer);
            return;
        }
        m_filterPassword = m_newPassword[0]->narrowText();
        setGroup(kFilterTab);
        break;
    case kFilterToggleCommand:
        if (!unlocked()) {
            m_filterToggle->setChecked(m_obscenityFilterOn);
            m_filterToggle->redraw();
            return;
        }
        m_obscenityFilterOn = !m_obscenityFilterOn;
        m_filterToggle->setChecked(m_obscenityFilterOn);
        m_filterToggle->redraw();
        setGroup(kFilterTab);
        break;
    case kLockToggleCommand:
        if (!unlocked()) {
            m_lockToggle->setChecked(true);
            m_lockToggle->redraw();
            return;
        }
        m_filterLockOn = !m_filterLockOn;
        m_lockToggle->setChecked(m_filterLockOn);
        m_lockToggle->redraw();
        setGroup(kFilterTab);
        break;
    default:
        break;
    }
}

void OptionsGump::onControlChanged(CGump* control)
{
    if (control == m_filterToggle)
        filterCommand(kFilterToggleCommand);
    else if (control == m_lockToggle)
        filterCommand(kLockToggleCommand);
    else
        macroControlChanged(control);
}
