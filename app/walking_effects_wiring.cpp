#include "app/walking_effects_wiring.h"

#include "app/game_tick.h"
#include "app/pointer.h"
#include "app/startup_cleanups.h"
#include "data/settings_registry.h"
#include "gfx/back_buffer.h"
#include "gump/gump_manager.h"
#include "gump/missile_gump.h"
#include "gump/weather.h"
#include "windows/window_services.h"
#include "world/light_files.h"
#include "world/light_pass.h"
#include "world/map_view.h"
#include "world/missile_world_object.h"
#include "world/mobile_services.h"
#include "world/path_search.h"
#include "world/path_walk.h"
#include "world/recorded_sequence.h"
#include "world/walking.h"
#include "world/world_services.h"

namespace {

// What walking asks of the pointer and of the gumps that move with the view.
class DesktopWalkingViews final : public WalkingViews {
public:
    bool isPointerFarFromCentre() override { return !isPointerNearCentre(); }
    void viewScrolled(int32_t dx, int32_t dy) override
    {
        shiftWeatherParticles(dx, dy);
        missileGumpsShiftBy(dx, dy);
        gumpUpdateOverheads();
    }
};

// The map view's jumps end the effects and the predicted steps.
class WalkingMapViewServices final : public MapViewServices {
public:
    void closeMissileGumps() override { missileGumpsCloseAll(); }
    void resetWalkState() override
    {
        ::resetWalkState();
        freePathNodes();
    }
};

// The windows' walking: the world's step queue, path search and path walk.
class WorldPlayerWalking final : public PlayerWalking {
public:
    void walkByPointer(int32_t screenDirection, int32_t run) override { ::walkByPointer(screenDirection, run); }
    void walkByKey(int32_t screenDirection, uint32_t keyFlags, bool controlHeld) override
    {
        ::walkByKey(screenDirection, keyFlags, controlHeld);
    }
    std::vector<PendingStep> pendingSteps() override
    {
        const StepQueue& queue = stepQueue();
        std::vector<PendingStep> steps;
        for (int32_t i = 0; i < queue.count; ++i) {
            const StepEntry& entry = queue.entries[size_t(i)];
            if (!entry.acknowledged)
                steps.push_back({ entry.direction, entry.z, entry.isMove() });
        }
        return steps;
    }
    bool isAwaitingResync() override { return stepQueue().blocked; }
    bool isWalkIdle() override { return ::isWalkIdle(); }
    bool walkPathTo(const PathCell& start, const PathCell& goal, int32_t limit, int32_t near) override
    {
        PathNode* end = findPath(start.x, start.y, start.z, goal.x, goal.y, goal.z, limit, near);
        if (!end)
            return false;
        startPathWalk(end);
        return true;
    }
};

// The effects fixed on a mobile, drawn by the mobile's own drawing (they have
// no world object of their own): first attached first.
class MissileAttachedEffects final : public AttachedEffects {
public:
    const ArtImage* effectImage(const Mobile& mobile, int32_t index) override
    {
        const MissileGump* effect = attachedAt(mobile, index);
        return effect ? effectItemArt(effect->currentArt()) : nullptr;
    }
    void drawEffect(const Mobile& mobile, int32_t index, const ScreenRect& rect, const BlitTarget& target,
        const ScreenRect& clip) override
    {
        const MissileGump* effect = attachedAt(mobile, index);
        if (!effect)
            return;
        // The picture is placed by its bottom centre: the upright image then
        // fills `rect` exactly, and a turned one is centred on it.
        EffectPicture picture = effect->picture();
        picture.x = rect.left + rect.width() / 2;
        picture.y = rect.bottom;
        drawEffectImage(target, clip, picture);
    }

private:
    static const MissileGump* attachedAt(const Mobile& mobile, int32_t index)
    {
        const std::vector<MissileGump*>& effects = attachedEffects(mobile);
        return index >= 0 && size_t(index) < effects.size() ? effects[size_t(index)] : nullptr;
    }
};

void releaseEffects()
{
    missileGumpsCloseAll();
    deleteAllRecordedSequences();
}

} // namespace

void startPathSearch()
{
    initPathSearch();
    registerCleanup("releasePathSearch", releasePathSearch);
}

void startWeather()
{
    initWeather();
    registerCleanup("stopWeather", stopWeather);
}

void startLightFiles()
{
    openLightFiles();
    registerCleanup("closeLightFiles", closeLightFiles);
}

void wireWalkingAndEffects(GameTick& tick)
{
    static WorldLightService lights;
    static PathFollower follower;
    static WalkingMapViewServices mapViewServices;
    static MissileEffects effects;
    static MissileAttachedEffects attached;
    static DesktopWalkingViews walkingViews;
    static WorldPlayerWalking playerWalking;
    installWorldService<WorldLights>(&lights);
    installWorldService<FollowPaths>(&follower);
    installWorldService<MapViewServices>(&mapViewServices);
    installWorldService<EffectBuilder>(&effects);
    installWorldService<AttachedEffects>(&attached);
    installWorldService<WalkingViews>(&walkingViews);
    installService<PlayerWalking>(&playerWalking);
    tick.setStep(TickStep::WalkPathStep, walkPathStep);
    tick.setStep(TickStep::WalkingStep, updateWalking);
    tick.setStep(TickStep::WeatherStep, updateWeather);
}

void unwireWalkingAndEffects(GameTick& tick)
{
    tick.setStep(TickStep::WalkPathStep, nullptr);
    tick.setStep(TickStep::WalkingStep, nullptr);
    tick.setStep(TickStep::WeatherStep, nullptr);
    installService<PlayerWalking>(nullptr);
    releaseEffects();
    stopWeather();
    freePathNodes();
}

void refreshLightPassSettings(const BackBuffer& buffer)
{
    LightPassSettings& light = lightPassSettings();
    light.darkNights = settings().getBoolSetting(u"DarkNights") != 0;
    light.coloured = settings().getBoolSetting(u"ColoredLighting") != 0;
    light.to565 = buffer.format() == BufferFormat::Rgb565;
}
