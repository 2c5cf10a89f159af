#include "windows/text_window_services.h"

#include "windows/program_services.h"

#include "data/settings_services.h"
#include "gump/desktop_services.h"
#include "gump/gump_services.h"
#include "gump/property_cache.h"
#include "windows/item_property_gump.h"
#include "windows/journal_gump.h"
#include "windows/resize_gump.h"
#include "windows/tips_gump.h"
#include "windows/window_services.h"

namespace {

class TextWindowFactory final : public FactoryWindows {
public:
    explicit TextWindowFactory(FactoryWindows& next)
        : m_next(next)
    {
    }
    CGump* createTextWindow(int32_t x, int32_t y) override { return new JournalGump(x, y); }
    CGump* createStatusBar(WorldObject* owner, bool fullPage) override
    {
        return m_next.createStatusBar(owner, fullPage);
    }
    void reslotStatusBar(CGump* bar) override { m_next.reslotStatusBar(bar); }
    CGump* createPaperdoll(WorldObject* owner, int32_t x, int32_t y) override
    {
        return m_next.createPaperdoll(owner, x, y);
    }
    CGump* createShop(WorldObject* vendor, int32_t x, int32_t y) override { return m_next.createShop(vendor, x, y); }
    CGump* createStackChooser(WorldObject* item, int32_t x, int32_t y) override
    {
        return m_next.createStackChooser(item, x, y);
    }
    CGump* optionsWindow() override { return m_next.optionsWindow(); }
    bool hasOptionsRecord() override { return m_next.hasOptionsRecord(); }
    CGump* createOptionsWindow() override { return m_next.createOptionsWindow(); }
    CGump* createRadar(int32_t face, int32_t x, int32_t y) override { return m_next.createRadar(face, x, y); }
    int32_t radarSizeValue(CGump* radar) override { return m_next.radarSizeValue(radar); }
    CGump* createAbilityBook(int32_t x, int32_t y) override { return m_next.createAbilityBook(x, y); }
    CGump* createContainer(WorldObject* owner, int32_t art, int32_t x, int32_t y, int32_t width, int32_t height) override
    {
        return m_next.createContainer(owner, art, x, y, width, height);
    }

private:
    FactoryWindows& m_next;
};

class OutlineResizing final : public WindowResizing {
public:
    void startResize(CGump* window) override
    {
        if (window)
            startWindowResize(*window);
    }
};

class TipWindows final : public TipsWindows {
public:
    void openTips(const std::vector<std::string>& lines, int32_t x, int32_t y, bool dockOutside) override
    {
        openTipWindow(lines, x, y, dockOutside);
    }
};

class PropertyWindow final : public ItemProperties {
public:
    void hideItemProperties() override { ::hideItemProperties(); }
    void tickItemProperties() override { ::tickItemProperties(); }
    void showItemProperties(uint32_t serial, bool onClick, bool keepAmount) override
    {
        ::showItemProperties(serial, onClick, keepAmount);
    }
};

class PropertyWindowLists final : public PropertyListWindows {
public:
    explicit PropertyWindowLists(PropertyListWindows& next)
        : m_next(next)
    {
    }
    bool isPointerHeld() override { return m_next.isPointerHeld(); }
    bool isListedByShop(uint32_t serial) override { return m_next.isListedByShop(serial); }
    void propertyListArrived(uint32_t serial) override
    {
        if (serial != 0 && serial == itemPropertyState().currentSerial)
            rebuildItemPropertyWindow(true);
        m_next.propertyListArrived(serial);
    }
    int32_t playerStrength() override { return m_next.playerStrength(); }

private:
    PropertyListWindows& m_next;
};

class PropertyWindowDesktop final : public DesktopWindows {
public:
    explicit PropertyWindowDesktop(DesktopWindows& next)
        : m_next(next)
    {
    }
    bool restoreFightingStyle(int32_t x, int32_t y, bool minimised) override
    {
        return m_next.restoreFightingStyle(x, y, minimised);
    }
    bool restoreIcon(DesktopIcon kind, uint32_t number, int32_t x, int32_t y) override
    {
        return m_next.restoreIcon(kind, number, x, y);
    }
    bool iconNumber(CGump* icon, uint32_t& number) override { return m_next.iconNumber(icon, number); }
    bool restoreChatLayout(const DesktopChatLayout& layout) override { return m_next.restoreChatLayout(layout); }
    bool chatLayout(CGump* window, DesktopChatLayout& layout) override { return m_next.chatLayout(window, layout); }
    bool restoreMessengerWindow(uint8_t recordType, const DesktopWindowRect& rect) override
    {
        return m_next.restoreMessengerWindow(recordType, rect);
    }
    bool restoreItemPropertyAnchor(int32_t x, int32_t y) override
    {
        restoreItemPropertyPosition(x, y);
        return true;
    }
    void skillWindowRequested() override { m_next.skillWindowRequested(); }
    void loadWindowData() override { m_next.loadWindowData(); }
    void saveWindowData() override { m_next.saveWindowData(); }

private:
    DesktopWindows& m_next;
};

class PropertyModeSettings final : public WindowSettingsService {
public:
    explicit PropertyModeSettings(WindowSettingsService& next)
        : m_next(next)
    {
    }
    void switchHelpPopupsOff() override { m_next.switchHelpPopupsOff(); }
    void setHelpPopupSticky(bool on) override { m_next.setHelpPopupSticky(on); }
    void setHelpPopupPersistent(bool on) override { m_next.setHelpPopupPersistent(on); }
    void setHelpPopupTextColour(int32_t colour) override { m_next.setHelpPopupTextColour(colour); }
    void setHelpPopupDelay(int32_t milliseconds) override { m_next.setHelpPopupDelay(milliseconds); }
    void setHelpPopupFont(int32_t font) override { m_next.setHelpPopupFont(font); }
    void setToolTipFont(int32_t font) override { m_next.setToolTipFont(font); }
    void setItemPropsMode(int32_t mode) override
    {
        ::setItemPropsMode(mode, false);
        m_next.setItemPropsMode(mode);
    }
    void setPartySpeechHue(int32_t hue) override { m_next.setPartySpeechHue(hue); }
    void relayoutGameArea() override { m_next.relayoutGameArea(); }

private:
    WindowSettingsService& m_next;
};

} // namespace

struct TextWindowServices::Objects {
    Objects()
        : factory(service<FactoryWindows>())
        , lists(service<PropertyListWindows>())
        , desktop(service<DesktopWindows>())
        , modeSettings(windowSettings())
    {
    }
    TextWindowFactory factory;
    OutlineResizing resizing;
    TipWindows tips;
    PropertyWindow properties;
    PropertyWindowLists lists;
    PropertyWindowDesktop desktop;
    PropertyModeSettings modeSettings;

    FactoryWindows* previousFactory = nullptr;
    WindowResizing* previousResizing = nullptr;
    TipsWindows* previousTips = nullptr;
    ItemProperties* previousProperties = nullptr;
    PropertyListWindows* previousLists = nullptr;
    DesktopWindows* previousDesktop = nullptr;
    WindowSettingsService* previousSettings = nullptr;
};

TextWindowServices::TextWindowServices()
    : m_objects(std::make_unique<Objects>())
{
    Objects& o = *m_objects;
    o.previousFactory = installService<FactoryWindows>(&o.factory);
    o.previousResizing = installService<WindowResizing>(&o.resizing);
    o.previousTips = installService<TipsWindows>(&o.tips);
    o.previousProperties = installService<ItemProperties>(&o.properties);
    o.previousLists = installService<PropertyListWindows>(&o.lists);
    o.previousDesktop = installService<DesktopWindows>(&o.desktop);
    o.previousSettings = installWindowSettings(&o.modeSettings);
}

TextWindowServices::~TextWindowServices()
{
    Objects& o = *m_objects;
    installService<FactoryWindows>(o.previousFactory);
    installService<WindowResizing>(o.previousResizing);
    installService<TipsWindows>(o.previousTips);
    installService<ItemProperties>(o.previousProperties);
    installService<PropertyListWindows>(o.previousLists);
    installService<DesktopWindows>(o.previousDesktop);
    installWindowSettings(o.previousSettings);
}

void installTextWindowServices() { installProgramServices<TextWindowServices>(); }

void uninstallTextWindowServices() { uninstallProgramServices<TextWindowServices>(); }
