#include "protocol/session_packets.h"

#include "data/config_file.h"
#include "protocol/login_state.h"
#include "protocol/protocol_services.h"
#include "protocol/protocol_text.h"
#include "text/unicode_font.h"

void enterGameWorld()
{
    pushUnicodeStyle(0);
    selectUnicodeFont(1);
    // The per-character settings now apply.
    readConfigFile("vo.cfg", true);

    WorldEntrySteps& steps = worldEntrySteps();
    steps.applySoundSettings();
    steps.loadMacros();
    steps.showWorldView();
    loginSession().loggedIn = true;
    steps.refreshSpeechEntry();
    steps.applyDisplayMode();

    loginScreens().closeAllButPersistent();
    steps.openDesktop();
    steps.allowWindowResize();
    steps.centreViewOnPlayer();
    debugSystemMessage(steps.isFullScreen() ? "Using Full Screen Mode..." : "Using Windowed Mode...");
    steps.layOutGameArea();
    steps.invalidateWholeScreen();
    steps.dockDesktopWindows();
    steps.showInstallNotice();
    steps.ensureItemPropertyWindow();
}
