// The radar's services: the gump factory's radar (put in front of the
// factory installed before, which keeps every other kind) and the world's
// requests to rebuild the picture when the light, the map or the objects on
// it change.

#include "gump/gump_services.h"
#include "windows/program_services.h"
#include "windows/radar_gump.h"
#include "world/map_view.h"
#include "world/world_services.h"

class RadarFactory final : public FactoryWindows {
public:
    explicit RadarFactory(FactoryWindows& next)
        : m_next(next)
    {
    }
    CGump* createTextWindow(int32_t x, int32_t y) override { return m_next.createTextWindow(x, y); }
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
    CGump* createRadar(int32_t face, int32_t x, int32_t y) override { return new RadarGump(x, y, face); }
    int32_t radarSizeValue(CGump* radar) override
    {
        if (isValidGump(radar) && radar->is(GumpKind::Radar))
            return static_cast<RadarGump*>(radar)->pictureWidth();
        return m_next.radarSizeValue(radar);
    }
    CGump* createAbilityBook(int32_t x, int32_t y) override { return m_next.createAbilityBook(x, y); }
    CGump* createContainer(WorldObject* owner, int32_t art, int32_t x, int32_t y, int32_t width, int32_t height) override
    {
        return m_next.createContainer(owner, art, x, y, width, height);
    }

private:
    FactoryWindows& m_next;
};

// The world asks after the light level changed, the map window loaded or a
// multi's pieces were placed: the last two leave the player's cell and the
// light as they were, so the rebuild is forced.
class RadarRebuilds final : public RadarView {
public:
    void rebuildRadar() override
    {
        if (RadarGump* radar = openRadarGump()) {
            radar->forceRebuild();
            radar->rebuildImage();
        }
    }
};

class RadarServices {
public:
    RadarServices()
        : m_factory(service<FactoryWindows>())
    {
        m_previousFactory = installService<FactoryWindows>(&m_factory);
        m_previousView = installWorldService<RadarView>(&m_view);
    }
    ~RadarServices()
    {
        installService<FactoryWindows>(m_previousFactory);
        installWorldService<RadarView>(m_previousView);
    }
    RadarServices(const RadarServices&) = delete;
    RadarServices& operator=(const RadarServices&) = delete;

private:
    RadarFactory m_factory;
    RadarRebuilds m_view;
    FactoryWindows* m_previousFactory = nullptr;
    RadarView* m_previousView = nullptr;
};

void installRadarServices() { installProgramServices<RadarServices>(); }

void uninstallRadarServices() { uninstallProgramServices<RadarServices>(); }
