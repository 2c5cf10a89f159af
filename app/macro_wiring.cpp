#include "app/macro_wiring.h"

#include "app/lifecycle_services.h"
#include "app/main_window.h"
#include "data/client_services.h"
#include "gump/desktop_services.h"
#include "gump/gump_manager.h"
#include "messenger/messenger_windows.h"
#include "windows/macro_files.h"
#include "windows/macro_runner.h"
#include "windows/options_gump.h"
#include "windows/own_character_actions.h"
#include "windows/party_chat_gump.h"
#include "windows/party_gump.h"
#include "windows/spell_table.h"
#include "windows/spellbook_gump.h"
#include "windows/weapon_abilities.h"

namespace {

class ProgramMacroRunner final : public MacroRunner {
public:
    void loadMacros() override { macro::loadMacros(); }
    void freeMacros() override { macro::freeMacros(); }
    void runMacroStep() override { macro::runMacroStep(); }
    void lowerMacroDelay() override { macro::lowerMacroDelay(); }
};

// What the macros reach: the main window's paste, the spell casting and
// spellbooks, the weapon abilities, the party window and party chat, and the
// messenger's "Messages" window.
class ProgramMacroWindows final : public macro::MacroWindows {
public:
    void attach(MainWindow* const* window) { m_window = window; }
    void pasteClipboard() override
    {
        if (m_window && *m_window)
            (*m_window)->pasteClipboardText();
    }
    void toggleWeaponAbility(bool primary) override
    {
        activateWeaponAbility(primary ? currentPrimaryAbility() : currentSecondaryAbility());
    }
    void castSpell(int32_t spell) override { ::castSpell(spell, 0, true); }
    // The spell table keeps 0 for "none yet"; the macros ask -1.
    int32_t lastSpell() override { return ::lastSpell() > 0 ? ::lastSpell() : -1; }
    void openSpellbook(int32_t bookKind) override
    {
        if (bookKind > 0 && bookKind < kNoSpellBook)
            openSpellbookByKind(uint8_t(bookKind));
    }
    CGump* findSpellbook(int32_t bookKind) override
    {
        for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
            if (gump->is(GumpKind::Spellbook) && static_cast<SpellbookGump*>(gump)->bookKind() == bookKind)
                return gump;
        }
        return nullptr;
    }
    void showMessageList() override { toggleMessageListWindow(); }
    CGump* findMessageList() override { return messageListWindow(); }
    void showPartyWindow() override { openPartyGump(); }
    CGump* findPartyWindow() override { return currentPartyGump(); }
    void showPartyChat() override { openPartyChat(); }
    CGump* findPartyChat() override { return currentPartyChat(); }

private:
    MainWindow* const* m_window = nullptr;
};

ProgramMacroWindows& programMacroWindows()
{
    static ProgramMacroWindows windows;
    return windows;
}

// The desktop writer keeps the macros beside the layout; the other windows
// go on to the service installed before.
class MacroDesktop final : public DesktopWindows {
public:
    void setNext(DesktopWindows* next) { m_next = next; }
    DesktopWindows* next() const { return m_next; }
    bool restoreFightingStyle(int32_t x, int32_t y, bool minimised) override
    {
        return m_next->restoreFightingStyle(x, y, minimised);
    }
    bool restoreIcon(DesktopIcon kind, uint32_t number, int32_t x, int32_t y) override
    {
        return m_next->restoreIcon(kind, number, x, y);
    }
    bool iconNumber(CGump* icon, uint32_t& number) override { return m_next->iconNumber(icon, number); }
    bool restoreChatLayout(const DesktopChatLayout& layout) override { return m_next->restoreChatLayout(layout); }
    bool chatLayout(CGump* window, DesktopChatLayout& layout) override { return m_next->chatLayout(window, layout); }
    bool restoreMessengerWindow(uint8_t recordType, const DesktopWindowRect& rect) override
    {
        return m_next->restoreMessengerWindow(recordType, rect);
    }
    bool restoreItemPropertyAnchor(int32_t x, int32_t y) override { return m_next->restoreItemPropertyAnchor(x, y); }
    void skillWindowRequested() override { m_next->skillWindowRequested(); }
    void loadWindowData() override { m_next->loadWindowData(); }
    void saveWindowData() override
    {
        // Without the key names no macro could be read: writing the list
        // then would empty the player's file.
        if (macro::keyNamesLoaded())
            macro::saveMacros();
        m_next->saveWindowData();
    }

private:
    DesktopWindows* m_next = nullptr;
};

} // namespace

bool runOptionsCommand(uint16_t id)
{
    if (id != command::kOptions && id != command::kOptionsAlternate)
        return false;
    if (gameState().isInGame())
        own_actions::openOptions();
    return true;
}

void installMacroServices()
{
    static ProgramMacroRunner runner;
    installService<MacroRunner>(&runner);
    static MacroDesktop desktop;
    DesktopWindows* next = &service<DesktopWindows>();
    desktop.setNext(next == &desktop ? desktop.next() : next);
    installService<DesktopWindows>(&desktop);
}

void wireMacroWindowServices(WindowServices& services, MainWindow* const& window)
{
    services.startMacroForKey = [](uint16_t key, bool control, bool alt, bool shift) {
        return macro::startMacroForKey(key, control, alt, shift);
    };
    // The macro page's key entry takes the next key as the macro's key.
    services.isKeyCaptureEntryFocused = [] {
        const OptionsGump* options = openOptionsWindow();
        return options && options->keyEntryFocused();
    };
    services.notifyKeyCaptured = [&window] {
        if (OptionsGump* options = openOptionsWindow(); options && window)
            options->takeCapturedKey(window->lastCapturedKey());
    };
    ProgramMacroWindows& windows = programMacroWindows();
    windows.attach(&window);
    installService<macro::MacroWindows>(&windows);
}
