#include "app/macro_wiring.h"

#include "app/lifecycle_services.h"
#include "app/main_window.h"
#include "data/client_services.h"
#include "gump/desktop_services.h"
#include "windows/macro_files.h"
#include "windows/macro_runner.h"
#include "windows/options_gump.h"
#include "windows/own_character_actions.h"

namespace {

class ProgramMacroRunner final : public MacroRunner {
public:
    void loadMacros() override { macro::loadMacros(); }
    void freeMacros() override { macro::freeMacros(); }
    void runMacroStep() override { macro::runMacroStep(); }
    void lowerMacroDelay() override { macro::lowerMacroDelay(); }
};

// The main window's paste; the other windows go on to the service
// installed before.
class MainWindowPaste final : public macro::MacroWindows {
public:
    void attach(MainWindow* const* window, macro::MacroWindows* next)
    {
        m_window = window;
        m_next = next;
    }
    macro::MacroWindows* next() const { return m_next; }
    void pasteClipboard() override
    {
        if (m_window && *m_window)
            (*m_window)->pasteClipboardText();
    }
    void toggleWeaponAbility(bool primary) override { m_next->toggleWeaponAbility(primary); }
    void castSpell(int32_t spell) override { m_next->castSpell(spell); }
    int32_t lastSpell() override { return m_next->lastSpell(); }
    void openSpellbook(int32_t bookKind) override { m_next->openSpellbook(bookKind); }
    CGump* findSpellbook(int32_t bookKind) override { return m_next->findSpellbook(bookKind); }
    void showMessageList() override { m_next->showMessageList(); }
    CGump* findMessageList() override { return m_next->findMessageList(); }
    void showPartyWindow() override { m_next->showPartyWindow(); }
    CGump* findPartyWindow() override { return m_next->findPartyWindow(); }
    void showPartyChat() override { m_next->showPartyChat(); }
    CGump* findPartyChat() override { return m_next->findPartyChat(); }

private:
    MainWindow* const* m_window = nullptr;
    macro::MacroWindows* m_next = nullptr;
};

MainWindowPaste& mainWindowPaste()
{
    static MainWindowPaste paste;
    return paste;
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
    MainWindowPaste& paste = mainWindowPaste();
    macro::MacroWindows* next = &service<macro::MacroWindows>();
    // Wired again for a later run of the process: the next stays the first's.
    paste.attach(&window, next == &paste ? paste.next() : next);
    installService<macro::MacroWindows>(&paste);
}
