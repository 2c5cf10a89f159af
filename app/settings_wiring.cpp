#include "app/settings_wiring.h"

#include "app/frame_present.h"
#include "app/game_tick.h"
#include "app/lifecycle_services.h"
#include "app/main_loop.h"
#include "app/pointer.h"
#include "data/client_services.h"
#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "data/player_lists.h"
#include "data/server_config_store.h"
#include "data/settings_registry.h"
#include "data/settings_services.h"
#include "data/view_range.h"
#include "gfx/pixel_spans.h"
#include "net/buffered_connection.h"
#include "protocol/server_requests.h"
#include "text/ascii_font.h"
#include "text/obscenity_filter.h"
#include "text/text_surface.h"
#include "windows/help_text_popup.h"

namespace {

constexpr const char* kDefaultCharacterName = "VO Player";

// The main window and the renderer's switches, as the settings reach them.
class AppDisplaySettings final : public DisplaySettingsService {
public:
    void setDisplayMode(bool fullScreen) override
    {
        if (m_window)
            m_window->setDisplayMode(fullScreen);
    }
    bool isFullScreen() override { return m_window && m_window->fullScreenActive(); }
    void setGameWindowSize(int32_t width, int32_t height) override
    {
        if (m_window)
            m_window->setGameWindowSize(width, height);
    }
    void setFullScreenRes(std::string_view text) override
    {
        if (m_window)
            m_window->setFullScreenRes(std::string(text));
    }
    void setShadedFonts(bool on) override { setAsciiShadedFonts(on); }
    void setUse565(bool on) override
    {
        setTextPixelFormat565(on);
        if (m_presenter)
            m_presenter->setUse565(on);
    }
    void setCensoredBloodColour(uint16_t colour) override { ::setCensoredBloodColour(colour); }
    void setEditServerMode(bool on) override { ::setEditServerMode(on); }

    void attach(MainWindow* window, WindowPresenter* presenter)
    {
        m_window = window;
        m_presenter = presenter;
    }

private:
    MainWindow* m_window = nullptr;
    WindowPresenter* m_presenter = nullptr;
};

class AppPointerService final : public PointerService {
public:
    void setCursorKind(int32_t kind) override { ::setCursorKind(kind); }
    void setCursorForGumpType(int32_t type) override { ::setCursorForGumpType(type); }
};

AppDisplaySettings& appDisplaySettings()
{
    static AppDisplaySettings service;
    return service;
}

void invertBoolSetting(const char16_t* name)
{
    SettingsRegistry& registry = settings();
    registry.setBoolSetting(name, registry.getBoolSetting(name) ? 0 : 1);
}

} // namespace

void installSettingsServices()
{
    static NetServerRequests requests;
    static AppPointerService pointer;
    configFiles().setRules(&settingsKeyRules());
    installDisplaySettings(&appDisplaySettings());
    // The help popups' values in use follow the settings read from here on.
    resetHelpPopups();
    // What the window settings change beyond their rows. The help popups'
    // values are taken here and the item-property mode by the item-property
    // window's service in front; below them nothing is left to do: the
    // tooltip font and the party speech hue are read from the settings' rows
    // each time the tooltip and the party windows draw, and a new game area
    // size has already laid the edges out again, through the main window's
    // new back buffer (AppDisplaySettings::setGameWindowSize, called just
    // before).
    static NoWindowSettings nothingMoreBelow;
    static HelpPopupWindowSettings helpPopups(nothingMoreBelow);
    installWindowSettings(&helpPopups);
    installServerRequests(&requests);
    installPointerService(&pointer);
    // The obscenity filter keeps its own copy of the player's word list.
    setFilterWordsListener([](const std::vector<std::u16string>& words) { setObsceneWordList(words); });

    configFiles().setCharacterName(kDefaultCharacterName);
    speechStyle() = SpeechStyle {};
    warModeState() = WarModeState {};
    resetUpdateRange();
}

void readStartupSettings()
{
    readConfigFile("vo.cfg", true);
    const std::string& loginServerFile = configValues().loginServerFile;
    readConfigFile(loginServerFile.empty() ? "login.cfg" : loginServerFile, false);
    loadCharacterData();
    service<MacroRunner>().loadMacros();
    loadSpeechKeywords();
}

void releaseSettingsStartupState()
{
    freeSpeechKeywords();
    service<MacroRunner>().freeMacros();
}

WindowSettings readWindowSettings()
{
    SettingsRegistry& registry = settings();
    WindowSettings window;
    if (configValues().allowWindowResize >= 0)
        window.allowWindowResize = configValues().allowWindowResize != 0;
    window.fullScreen = registry.getBoolSetting(u"FullScreen") != 0;
    window.holdTabForCombat = registry.getBoolSetting(u"HoldTabForCombat") != 0;
    window.objectHandles = registry.getBoolSetting(u"ObjectHandles") != 0;
    // The pointer timer follows the value the run started with.
    window.mouseThread = registry.restartRow("MouseThread")->value != 0;
    window.gamePlayWindowSize = registry.getStringSetting(u"GamePlayWindowSize");
    window.fullScreenRes = registry.getStringSetting(u"FullScreenRes");
    return window;
}

void attachSettingsToWindow(MainWindow& window, WindowPresenter& presenter)
{
    appDisplaySettings().attach(&window, &presenter);
    window.setFullScreenRes(settings().getStringSetting(u"FullScreenRes"));
    presenter.setUse565(settings().restartRow("Use565")->value != 0);
}

void detachSettingsFromWindow() { appDisplaySettings().attach(nullptr, nullptr); }

bool runSettingsCommand(uint16_t id)
{
    switch (id) {
    case command::kToggleObscenityFilter:
        invertBoolSetting(u"ObscenityFilter");
        return true;
    case command::kToggleFootsteps:
        invertBoolSetting(u"Footsteps");
        return true;
    default:
        return false;
    }
}

void saveFullScreenSetting(bool fullScreen)
{
    // The row is set directly: the switch has already happened.
    settings().boolRow("FullScreen")->value = fullScreen ? 1 : 0;
    saveSettings();
}

void wireSettingsSteps(MainLoop& loop, GameTick& tick, const MainWindow& window)
{
    loop.setStep(LoopStep::PollServerSettings, [] {
        ServerConfigStore& store = serverConfigStore();
        if (store.isEnabled() && gameState().isInGame())
            store.poll(false);
    });
    tick.setStep(TickStep::ViewRangeStep, [&window] { viewRangeStep(window.gameWidth()); });
}
