#pragma once
// The world objects as the gump framework sees them: a gump keeps its owner
// as an opaque pointer and learns everything about it here, from the world
// model. Installed at start-up; main thread only.

#include "gump/gump_services.h"

class WorldObjectsForGumps final : public GumpWorld {
public:
    bool isValidObject(WorldObject* object) override;
    bool isPlayer(WorldObject* object) override;
    bool isMobile(WorldObject* object) override;
    bool isCorpse(WorldObject* object) override;
    bool isContainer(WorldObject* object) override;
    bool isLiftableItem(WorldObject* object) override;
    uint32_t serialOf(WorldObject* object) override;
    WorldObject* parentObject(WorldObject* object) override;
    // Objects keep no window pointers: windows find their objects again.
    void forgetOpenGump(WorldObject* object, CGump* gump) override;
    // Liftable items, mobiles and containers lying in the world, not hidden,
    // whose pictures meet the game area (client pixels).
    std::vector<NameCandidate> nameCandidates(const ScreenRect& gameArea) override;
};

// The object's screen rectangle in client pixels (world pixels less the view,
// plus the game view's offset).
ScreenRect objectClientRect(const WorldObject& object);
