#include "app/macro_wiring.h"

#include "app/lifecycle_services.h"
#include "app/main_window.h"
#include "windows/macro_files.h"
#include "windows/macro_runner.h"

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

} // namespace

void installMacroServices()
{
    static ProgramMacroRunner runner;
    installService<MacroRunner>(&runner);
}

void wireMacroWindowServices(WindowServices& services, MainWindow* const& window)
{
    services.startMacroForKey = [](uint16_t key, bool control, bool alt, bool shift) {
        return macro::startMacroForKey(key, control, alt, shift);
    };
    MainWindowPaste& paste = mainWindowPaste();
    macro::MacroWindows* next = &service<macro::MacroWindows>();
    // Wired again for a later run of the process: the next stays the first's.
    paste.attach(&window, next == &paste ? paste.next() : next);
    installService<macro::MacroWindows>(&paste);
}
