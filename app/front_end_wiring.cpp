#include "app/front_end_wiring.h"

#include "app/frame_present.h"
#include "app/main_window.h"
#include "frontend/character_creation.h"
#include "frontend/front_end_dialogs.h"
#include "frontend/front_end_flow.h"
#include "frontend/front_end_shell.h"
#include "frontend/front_end_wiring.h"
#include "frontend/igr_sessions.h"
#include "gump/gump_manager.h"
#include "platform/window.h"
#include "windows/window_packets.h"
#include "windows/window_services.h"
#include "windows/world_view_gump.h"

#include <functional>
#include <memory>
#include <string>

namespace {

class AppFrontEndShell final : public FrontEndShell {
public:
    AppFrontEndShell(platform::Window& window, MainWindow& mainWindow, WindowPresenter& presenter)
        : m_window(window)
        , m_main(mainWindow)
        , m_presenter(presenter)
    {
    }

    void setGameWindowSize(int32_t width, int32_t height) override { m_main.setGameWindowSize(width, height); }
    bool isFullScreen() override { return m_main.fullScreenActive(); }
    void switchToWindowed() override { m_main.setDisplayMode(false); }
    void switchToFullScreen() override { m_main.setDisplayMode(true); }
    void leaveFullScreen() override { m_main.leaveFullScreen(); }
    void setMainWindowRect(int32_t x, int32_t y, int32_t width, int32_t height) override
    {
        m_main.setMainWindowRect(x, y, width, height);
    }
    void clearViewOffsets() override { m_main.setGameViewOffset(0, 0); }
    void setAllowWindowResize(bool allow) override { m_main.settings().allowWindowResize = allow; }
    void endProgram(int32_t exitCode) override
    {
        // The window's own end (the desktop file is written, closed
        // connections stay quiet) when the code is the usual one.
        if (exitCode == 0)
            m_window.destroy();
        else
            m_window.postMessage({ platform::MessageKind::Quit, uint32_t(exitCode), 0, 0, 0 });
    }

    CreditsInput takeCreditsInput() override
    {
        platform::WindowMessage message;
        if (!m_window.peekMessage(message))
            return CreditsInput::None;
        using platform::MessageKind;
        switch (message.kind) {
        case MessageKind::Destroy:
        case MessageKind::Close:
        case MessageKind::Quit:
            return CreditsInput::Close;
        case MessageKind::KeyDown:
        case MessageKind::LeftButtonDown:
        case MessageKind::LeftButtonUp:
        case MessageKind::RightButtonDown:
        case MessageKind::RightButtonUp:
            return CreditsInput::EndRoll;
        case MessageKind::MusicNotify:
            return CreditsInput::MusicEnded;
        case MessageKind::Size:
        case MessageKind::Activate:
        case MessageKind::Paint:
            // The window keeps its size and state while the roll runs.
            m_main.handleMessage(message);
            return CreditsInput::Other;
        default:
            return CreditsInput::Other;
        }
    }
    void presentWholeBackBuffer() override { m_presenter.present(PresentKind::IfChanged); }

private:
    platform::Window& m_window;
    MainWindow& m_main;
    WindowPresenter& m_presenter;
};

// The game windows' yes/no questions in the front end's question box; the
// answer runs once the box has closed.
class FrontEndQuestions final : public YesNoQuestions {
public:
    void ask(QuestionKind kind, std::string_view text, uint32_t serial) override
    {
        std::function<void()> yes;
        std::function<void()> no;
        switch (kind) {
        case QuestionKind::HarmfulTarget:
            yes = [serial] { confirmTargetYes(serial); };
            no = confirmTargetNo;
            break;
        case QuestionKind::Attack: yes = [serial] { sendAttackRequest(serial); }; break;
        case QuestionKind::Logout: yes = logoutToMainMenu; break;
        }
        // On top of every window: the box is modal and takes every click
        // until it is answered.
        gumpLink(new YesNoGump(std::string(text), std::move(yes), std::move(no), nullptr), nullptr);
    }
};

std::unique_ptr<AppFrontEndShell>& shell()
{
    static std::unique_ptr<AppFrontEndShell> installed;
    return installed;
}

} // namespace

void wireFrontEnd(platform::Window& window, MainWindow& mainWindow, WindowPresenter& presenter)
{
    shell() = std::make_unique<AppFrontEndShell>(window, mainWindow, presenter);
    installService<FrontEndShell>(shell().get());
    installFrontEnd();
    // Character creation: the character selection's New button opens it.
    installService<CharacterCreation>(&characterCreationWindows());
    static FrontEndQuestions questions;
    installService<YesNoQuestions>(&questions);
}

void unwireFrontEnd()
{
    igrSessionManager().stopAllSessions();
    uninstallFrontEnd();
    installService<CharacterCreation>(nullptr);
    installService<YesNoQuestions>(nullptr);
    installService<FrontEndShell>(nullptr);
    shell().reset();
}
