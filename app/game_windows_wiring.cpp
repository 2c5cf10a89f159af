#include "app/game_windows_wiring.h"

#include "app/frame_render.h"
#include "app/gump_desktop.h"
#include "app/hardware_survey.h"
#include "app/lifecycle_services.h"
#include "app/main_window.h"
#include "app/pointer.h"
#include "data/client_services.h"
#include "data/config_file.h"
#include "data/targeting.h"
#include "frontend/front_end_dialogs.h"
#include "gump/desktop_file.h"
#include "gump/gump_manager.h"
#include "protocol/protocol_services.h"
#include "text/cliloc_table.h"
#include "windows/context_menu.h"
#include "windows/damage_and_name_windows.h"
#include "windows/game_area_edges.h"
#include "windows/game_window_services.h"
#include "windows/help_text_popup.h"
#include "windows/item_property_gump.h"
#include "windows/macro_files.h"
#include "windows/own_character_actions.h"
#include "windows/paperdoll_gump.h"
#include "windows/skill_window_services.h"
#include "windows/speech_entry.h"
#include "windows/spell_table.h"
#include "windows/spell_window_services.h"
#include "windows/weapon_abilities.h"
#include "windows/quest_pointer.h"
#include "windows/radar_gump.h"
#include "windows/reading_window_services.h"
#include "windows/speech_line_gump.h"
#include "windows/status_gump.h"
#include "windows/status_window_services.h"
#include "windows/trade_window_services.h"
#include "windows/text_window_services.h"
#include "windows/window_services.h"
#include "windows/world_view_gump.h"
#include "world/cell_grid.h"
#include "world/container_item.h"
#include "world/world_screen.h"
#include "world/world_services.h"

namespace {

// The world under the pointer, the help-text popup and the context menu for
// the mouse-button code.
class WorldUnderPointer final : public PointerWorld {
public:
    explicit WorldUnderPointer(PointerWorld& next)
        : m_next(next)
    {
    }
    CGump* helpPopup() override { return helpTextPopup(); }
    void helpPopupRect(int32_t& left, int32_t& top, int32_t& width, int32_t& height) override
    {
        left = top = width = height = 0;
        if (HelpTextPopup* popup = helpTextPopup()) {
            const ScreenRect rect = popup->screenRect();
            left = rect.left;
            top = rect.top;
            width = rect.width();
            height = rect.height();
        }
    }
    void closeHelpPopup() override { closeHelpTextPopup(); }
    void closeContextPopupUnlessOn(int32_t x, int32_t y) override
    {
        closeContextMenuUnlessOn(x, y);
        m_next.closeContextPopupUnlessOn(x, y);
    }
    uint32_t pickDynamicObjectAt(int32_t x, int32_t y) override
    {
        Item* item = itemAt(x, y);
        return item ? item->serial : 0;
    }
    WorldObject* pickHoverItem(int32_t x, int32_t y) override
    {
        Item* item = itemAt(x, y);
        return item && !item->isMobile() ? item : nullptr;
    }
    bool isValidObject(WorldObject* object) override { return isValidWorldObject(object); }
    uint32_t serialOf(WorldObject* object) override
    {
        return isValidWorldObject(object) && object->isDynamic() && object->hasItemTile()
            ? static_cast<Item*>(object)->serial
            : 0;
    }
    CGump* highlightedWindow() override
    {
        CGump* bar = highlightingStatusGump();
        return bar ? bar : m_next.highlightedWindow();
    }
    void clearHighlight() override
    {
        if (highlightingStatusGump())
            clearStatusHighlight();
        m_next.clearHighlight();
    }

private:
    // The dynamic object under a client point of the shown world.
    static Item* itemAt(int32_t x, int32_t y)
    {
        WorldViewGump* view = worldViewGump();
        if (!view || !view->isVisible())
            return nullptr;
        view->screenToLocal(x, y);
        if (!view->containsPoint(x, y))
            return nullptr;
        WorldObject* object = worldCellGrid().pickAt(x, y, true);
        return object && object->isDynamic() && object->hasItemTile() ? static_cast<Item*>(object) : nullptr;
    }

    PointerWorld& m_next;
};

// The game area moved inside the client area: the main window, the pointer
// and the back buffer's picture follow.
class MainWindowPlacement final : public GameViewPlacement {
public:
    explicit MainWindowPlacement(MainWindow& window)
        : m_window(window)
    {
    }
    void setGameViewOffset(int32_t x, int32_t y) override
    {
        m_window.setGameViewOffset(x, y);
        setPointerGameArea(x, y, m_window.gameWidth(), m_window.gameHeight());
    }

private:
    MainWindow& m_window;
};

// The world view's, the speech line's and the main window's part in
// entering the world; the other steps stay with the service installed before.
class WorldViewEntrySteps final : public WorldEntrySteps {
public:
    WorldViewEntrySteps(WorldEntrySteps& next, MainWindow& window)
        : m_next(next)
        , m_window(window)
    {
    }
    // The character's own macros.
    void loadMacros() override
    {
        service<MacroRunner>().loadMacros();
        m_next.loadMacros();
    }
    void showWorldView() override
    {
        if (WorldViewGump* view = worldViewGump())
            view->setVisible(true);
        m_next.showWorldView();
    }
    void hideWorldView() override
    {
        if (WorldViewGump* view = worldViewGump())
            view->setVisible(false);
        hidePointerGump();
        m_next.hideWorldView();
    }
    void refreshSpeechEntry() override
    {
        speechEntry().refresh();
        m_next.refreshSpeechEntry();
    }
    void openDesktop() override { m_next.openDesktop(); }
    void allowWindowResize() override
    {
        m_window.settings().allowWindowResize = true;
        m_next.allowWindowResize();
    }
    void layOutGameArea() override
    {
        if (m_window.fullScreenActive()) {
            // Out of full screen and back with the settings read again in
            // between: the mode becomes the character's resolution.
            m_window.setDisplayMode(false);
            readConfigFile("vo.cfg", true);
            m_window.setDisplayMode(true);
            relayoutGameAreaEdges();
        } else {
            relayoutGameAreaEdges();
            m_window.recreateBackBuffer();
            // A layout without the window's own record starts with the
            // window as large as the game area.
            if (desktopWindowRecordMissing())
                m_window.setMainWindowRect(0, 0, m_window.gameWidth(), m_window.gameHeight());
        }
        m_next.layOutGameArea();
    }
    void dockDesktopWindows() override { m_next.dockDesktopWindows(); }
    // An installation without its map in the first data folder is told so;
    // the notice's button only closes it.
    void showInstallNotice() override
    {
        if (hardwareSurvey().installFlags & kMapFileMissing) {
            WString text;
            getClilocString(text, kInstallNoticeCliloc, 0);
            gumpLink(new YesNoHtmlGump(text.c_str(), nullptr, nullptr), nullptr);
        }
        m_next.showInstallNotice();
    }
    void ensureItemPropertyWindow() override
    {
        ::ensureItemPropertyWindow();
        m_next.ensureItemPropertyWindow();
    }
    void invalidateWholeScreen() override
    {
        ::invalidateWholeScreen();
        m_next.invalidateWholeScreen();
    }
    void writeDesktop() override { m_next.writeDesktop(); }

private:
    static constexpr int32_t kInstallNoticeCliloc = 1062552;

    WorldEntrySteps& m_next;
    MainWindow& m_window;
};

// A scroll's text command waits for its target through the targeting state.
class ScrollCommands final : public TargetedCommands {
public:
    void beginTargetedCommand(std::string_view name, int32_t type, uint32_t serial) override
    {
        ::beginTargetedCommand(name, type, int32_t(serial));
    }
};

// The spell table is built once, at its place in start-up.
class ProgramSpellTables final : public SpellTables {
public:
    void initSpellTables() override { ::initSpellTables(); }
};

// The names the macro files read and write CastSpell with.
class ProgramSpellNames final : public macro::SpellNames {
public:
    int32_t spellCount() override { return ::spellCount(); }
    int32_t spellIdByIndex(int32_t index) override { return ::spellIdByIndex(index); }
    std::string spellName(int32_t spell) override { return std::string(::spellName(spell)); }
};

// The weapon abilities start with empty hands; every tick looks at the
// weapon in hand.
class ProgramWeaponAbilities final : public WeaponAbilities {
public:
    void initWeaponAbilities() override { resetWeaponAbilities(); }
    void updateWeaponAbilities() override { ::updateWeaponAbilities(); }
};

} // namespace

void installSpellAndAbilityTables()
{
    static ProgramSpellTables tables;
    installService<SpellTables>(&tables);
    static ProgramWeaponAbilities abilities;
    installService<WeaponAbilities>(&abilities);
    static ProgramSpellNames names;
    installService<macro::SpellNames>(&names);
}

namespace {

// What the world packets' windows pass on at the end of their chains: the
// name plates' names and the damage numbers.
StatusWindows* g_statusWindowsBeforeGameWindows = nullptr;
GeneralInfoWindows* g_generalInfoBeforeGameWindows = nullptr;

} // namespace

void startGameWindows(MainWindow& mainWindow, bool allowWindowResize)
{
    g_statusWindowsBeforeGameWindows = installService<StatusWindows>(&namePlateNameWindows());
    g_generalInfoBeforeGameWindows = installService<GeneralInfoWindows>(&damageNumberWindows());
    installGameWindowServices();
    installStatusWindowServices();
    // In front of the game windows' services: the reading windows pass on
    // what is not theirs.
    installReadingWindowServices();
    installSkillWindowServices();
    installTradeWindowServices();
    installSpellWindowServices();
    installTextWindowServices();
    installRadarServices();
    installService<ResizeFrames>(&resizeOutlineFrames());
    registerPaperdollHandlers();
    registerTradeWindowHandlers();
    static WorldUnderPointer pointerWorld(service<PointerWorld>());
    installService<PointerWorld>(&pointerWorld);
    static MainWindowPlacement placement(mainWindow);
    installService<GameViewPlacement>(&placement);
    static WorldViewEntrySteps entrySteps(worldEntrySteps(), mainWindow);
    installWorldEntrySteps(&entrySteps);
    static ScrollCommands scrollCommands;
    installWorldService<TargetedCommands>(&scrollCommands);
    if (!worldViewGump())
        new WorldViewGump(allowWindowResize);
}

void wireGameWindows(FrameServices& frame) { frame.refreshSpeechLine = refreshFrameCounterLine; }

bool runGameWindowCommand(uint16_t id)
{
    if (id != command::kOpenRadar)
        return false;
    if (gameState().isInGame())
        own_actions::openMap();
    return true;
}

void stopGameWindows()
{
    uninstallRadarServices();
    uninstallTextWindowServices();
    uninstallSpellWindowServices();
    uninstallTradeWindowServices();
    uninstallSkillWindowServices();
    uninstallStatusWindowServices();
    uninstallReadingWindowServices();
    uninstallGameWindowServices();
    installService<GeneralInfoWindows>(g_generalInfoBeforeGameWindows);
    installService<StatusWindows>(g_statusWindowsBeforeGameWindows);
}
