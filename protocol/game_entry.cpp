#include "protocol/session_packets.h"

#include "data/client_services.h"
#include "data/config_file.h"
#include "data/settings_registry.h"
#include "data/settings_services.h"
#include "data/targeting.h"
#include "net/network_pump.h"
#include "protocol/login_state.h"
#include "protocol/protocol_services.h"
#include "text/unicode_font.h"
#include "world/circle_of_transparency.h"
#include "world/object_manager.h"
#include "world/walking.h"
#include "world/world_screen.h"

namespace {

// Music and sound as the settings say; the volume only while sound is on.
void applySoundSettings()
{
    const SettingsRegistry& registry = settings();
    SoundSettingsService& sound = soundSettings();
    sound.toggleMusic(registry.getBoolSetting(u"Music") != 0);
    bool soundOn = registry.getBoolSetting(u"Sound") != 0;
    sound.toggleSound(soundOn);
    if (soundOn)
        sound.setSoundVolume(uint8_t(registry.getIntSetting(u"SoundVol")));
}

// The circle stands a little above the game area's centre, over the
// player's body rather than its feet.
void centreCircleOfTransparency()
{
    ScreenRect area = worldGameArea();
    circleOfTransparency().setCentre(area.width() / 2, area.height() / 2 - 5);
}

} // namespace

void enterGameWorld()
{
    pushUnicodeStyle(0);
    selectUnicodeFont(1);
    // The per-character settings now apply; a character whose file names no
    // full-screen resolution gets the default one, not the last character's.
    settings().setStringSetting(u"FullScreenRes", u"640x480");
    readConfigFile("vo.cfg", true);

    WorldEntrySteps& steps = worldEntrySteps();
    applySoundSettings();
    steps.loadMacros();
    steps.showWorldView();
    loginSession().loggedIn = true;
    gameState().setPlayerInGame(true);
    steps.refreshSpeechEntry();
    displaySettings().setDisplayMode(settings().getBoolSetting(u"FullScreen") != 0);

    loginScreens().closeAllButPersistent();
    steps.openDesktop();
    steps.allowWindowResize();
    // The view follows the player from the first frame in the world, not
    // only from the first step.
    updateViewPosition();
    addDebugSystemMessage(displaySettings().isFullScreen() ? "Using Full Screen Mode..." : "Using Windowed Mode...");
    steps.layOutGameArea();
    centreCircleOfTransparency();
    steps.invalidateWholeScreen();
    steps.dockDesktopWindows();
    steps.showInstallNotice();
    steps.ensureItemPropertyWindow();
}

void resetSessionWorld()
{
    gameState().setPlayerInGame(false);
    // The world objects, the update range and the internet-game-room sessions.
    resetWorldSessionForConnect();
    setPlayerSerial(0);
}

void leaveGameWorld()
{
    loginSession().loggedIn = false;
    setInWorldFlag(false);
    resetSessionWorld();
}
