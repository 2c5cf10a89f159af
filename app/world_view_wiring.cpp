#include "app/world_view_wiring.h"

#include "app/walking_effects_wiring.h"
#include "data/config_key_rules.h"
#include "data/data_files.h"
#include "data/settings_registry.h"
#include "data/settings_services.h"
#include "gfx/back_buffer.h"
#include "gfx/terrain_art.h"
#include "gfx/terrain_rasteriser.h"
#include "world/cell_grid.h"
#include "world/circle_of_transparency.h"
#include "world/map_view.h"
#include "world/multi_cache.h"
#include "world/multi_components.h"
#include "world/multi_preview.h"
#include "world/visibility.h"
#include "world/world_drawing.h"
#include "world/world_services.h"
#include "world/world_settings.h"

#include <memory>

namespace {

std::unique_ptr<MultiPreview>& previewObject()
{
    static std::unique_ptr<MultiPreview> preview;
    return preview;
}

// The circle and the design cache as the settings files were read at
// start-up.
void applyWorldViewSettings()
{
    const SettingsRegistry& registry = settings();
    worldObjectSettings().useCircleTrans = registry.getBoolSetting(u"UseCircleTrans") != 0;
    CircleOfTransparency& circle = circleOfTransparency();
    circle.setRadius(registry.getIntSetting(u"CircleTransRadius"));
    const ConfigValues& values = configValues();
    if (values.hasCircleCentre)
        circle.setCentre(values.circleCentreX, values.circleCentreY);
    multiCache().setLimit(registry.getIntSetting(u"HouseCacheSize"));
}

// The circle's radius and centre and the design cache's limit, as the
// settings file and the options set them.
class CircleAndCacheSettings final : public WorldSettingsService {
public:
    void setCircleRadius(int32_t radius) override { circleOfTransparency().setRadius(radius); }
    void setCircleCentre(int32_t x, int32_t y) override { circleOfTransparency().setCentre(x, y); }
    void setMultiCacheLimit(int32_t limit) override { multiCache().setLimit(limit); }
};

} // namespace

void startWorldGrid()
{
    WorldCellGrid& grid = worldCellGrid();
    grid.clear();
    if (grid.drawOrder().empty())
        grid.buildDrawOrder();
    initCircleAndRoof();
    initMapView();
    buildLandDiamondTables();
    circleOfTransparency().init();
    // From here on the settings reach the circle and the design cache.
    static CircleAndCacheSettings worldSettings;
    installWorldSettings(&worldSettings);
}

void startWorldViewObjects()
{
    static MultiComponentService multiComponents;
    installWorldService<MultiComponents>(&multiComponents);
    static WorldArtListener artListener;
    dataFiles().setArtRecordListener(&artListener);
    previewObject() = std::make_unique<MultiPreview>();
    setMultiPreview(previewObject().get());
    applyWorldViewSettings();
}

void deleteWorldViewObjects()
{
    setMultiPreview(nullptr);
    previewObject().reset();
    multiCache().clear();
    terrainArtCache().clear();
    dataFiles().setArtRecordListener(nullptr);
}

void renderWorldFrame(BackBuffer& buffer, const std::function<void(int32_t&, int32_t&)>& pointer)
{
    if (!buffer.exists())
        return;
    CircleOfTransparency& circle = circleOfTransparency();
    circle.setGameAreaSize(buffer.gameWidth(), buffer.gameHeight());
    MultiPreview* preview = multiPreview();
    if (preview && preview->hasDesign() && pointer) {
        int32_t x = 0;
        int32_t y = 0;
        pointer(x, y);
        if (const WorldObject* land = worldCellGrid().findLandAt(x, y))
            preview->update(land->x, land->y);
    }
    refreshLightPassSettings(buffer);
    static WorldFrameDrawer drawer;
    buffer.renderWorldDirtyRects(&drawer);
}
