#pragma once
// Mobile: a creature or character. It is a container whose equipment hangs in
// 30 numbered layer slots (1 and 2 the hands, 21 the backpack, 25 the mount),
// moves by the steps the server sends (up to four queued; a fifth move makes
// it jump), plays actions, and carries notoriety and a few status values.
// PlayerMobile is the one mobile the user controls; it exists from start-up to
// shutdown and keeps the player's own state. Every mobile is in the mobile
// list while it lives. Main thread only; times are tick-count milliseconds.

#include "world/container_item.h"

#include <array>
#include <cstdint>

class RecordedSequence;

struct MobileStep {
    int16_t x = 0;
    int16_t y = 0;
    int16_t z = 0;
    uint16_t graphic = 0;
    // Bit 7: running.
    uint8_t direction = 0;
    uint8_t flags = 0;
    uint16_t hue = 0;
};

class Mobile : public ContainerItem {
public:
    static constexpr int32_t kMaxQueuedSteps = 4;
    static constexpr int32_t kHandLayerOne = 1;
    static constexpr int32_t kHandLayerTwo = 2;
    static constexpr int32_t kBackpackLayer = 21;
    static constexpr int32_t kMountLayer = 25;
    // Drawing and redraws look at layers 0..25.
    static constexpr int32_t kDrawnLayerCount = 26;
    static constexpr uint32_t kIdleAfterMs = 2000;

    Mobile(uint32_t itemSerial, uint16_t itemGraphic, int8_t itemGraphicOffset);
    ~Mobile() override;

    void computeBounds() override;
    void draw(const BlitTarget& target, const ScreenRect& dirty) override;
    void place() override;
    void removeFromGrid() override;
    bool isMobile() const override { return true; }
    bool isHidden() const override;
    uint32_t tileFlags() const override { return 0; }
    int32_t tileHeight() const override { return 15; }
    int32_t tileExtra() const override { return 1; }
    const ArtImage* iconImage() const override;
    bool isLiftable() const override { return false; }
    void anchorPoint(int32_t& anchorX, int32_t& anchorY) const override;

    // The ten operations mobiles add.
    virtual bool hitTest(int32_t pointX, int32_t pointY) const;
    virtual int32_t currentAction() const { return animationRunning ? action : -1; }
    virtual void updateDrawZ();
    virtual bool isDead() const;
    virtual void playFootsteps();
    virtual void setNotoriety(int32_t value);
    virtual bool notorietyNot1() const;
    virtual bool notorietyOutside4To6() const;

    Item* layerItem(int32_t layerNumber) const
    {
        return layerNumber >= 0 && layerNumber < kLayerCount ? m_layers[size_t(layerNumber)] : nullptr;
    }

    void playAnimation(int32_t animationAction, int32_t animationFrameCount, int32_t animationDelay,
        int32_t animationRepeatCount, bool animationBackward, bool animationPingPong);
    void stopAnimation();
    // The death packet: the serial gains bit 31, a non-zero corpse is linked
    // to the mobile, and the death action plays. Refused (false) for the
    // player and for a mobile already dying.
    bool die(uint32_t corpseSerial, bool fallForward);
    void setDeadFlag(int32_t value);
    bool isMounted() const { return mounted != 0; }
    bool isBody401or606() const { return graphic == 401 || graphic == 606; }
    // Notoriety modulo 100; a value of 100 or more also turns off the
    // criminal warning (notorietyWarnings()).
    int32_t getNotoriety() const;
    // Frames per step for the mobile's body; a body of 1000 or more becomes 50.
    int32_t stepFrames();
    // Appends a step, or makes the mobile jump when four are queued.
    void queueStep(const MobileStep& step);
    int32_t stepCount() const { return m_stepCount; }
    const MobileStep& queuedStep(int32_t index) const { return m_steps[size_t(index)]; }
    void clearSteps() { m_stepCount = 0; }
    // The position of the last queued step, or the mobile's own.
    void lastQueuedPosition(int32_t& atX, int32_t& atY) const;
    bool isWithinRangeOf(int32_t range, int32_t atX, int32_t atY) const override;

    // Frames left of the step being shown; 0 when standing.
    int32_t stepCountdown = 0;
    int32_t frameCounter = 0;
    int32_t running = 0;
    int32_t idle = 0;
    uint32_t lastMoveTime = 0;
    int32_t warMode = 0;
    int16_t previousX = 0;
    int16_t previousY = 0;
    int16_t previousZ = 0;
    int32_t offsetX = 0;
    int32_t offsetY = 0;
    int32_t drawZ = 0;
    int32_t mounted = 0;
    int32_t highStep = 0;
    int32_t highStepDz = 0;
    uint8_t handsBusy = 0;
    // The server action being shown.
    int32_t animationRunning = 0;
    uint16_t frame = 0;
    uint16_t frameCount = 0;
    uint16_t action = 0;
    uint16_t tickCounter = 0;
    uint16_t delay = 0;
    uint16_t backward = 0;
    uint16_t pingPong = 0;
    uint16_t repeatCount = 0;
    uint16_t repetition = 0;
    int32_t effectGrowX = 0;
    int32_t effectGrowY = 0;
    int32_t animatingMarker = -1;
    int32_t notoriety = 0;
    int32_t dying = 0;
    int32_t hits = 0;
    int32_t maxHits = 0;
    int32_t mana = 0;
    int32_t maxMana = 0;
    int32_t stamina = 10;
    int32_t maxStamina = 0;
    int32_t deadFlag = 0;
    int32_t canRename = 0;
    // From the status packet: the low bit of its sex/race byte, and its race
    // byte (2 draws the second body set on the paperdoll).
    uint8_t female = 0;
    uint8_t race = 0;

    ListHook<Mobile> mobileLink;

protected:
    void baseCell(int32_t& cellX, int32_t& cellY) const override;
    // Slices of an animal-like body, or of a rider of an animal-like mount.
    bool isSliced() const;

public:
    // Destroys the items of layers firstLayer..endLayer - 1.
    void destroyLayerItems(int32_t firstLayer, int32_t endLayer);
    // Asks for the lights of worn light sources to be redrawn before a move.
    void invalidateWithEquipment();
    // The idle action's chance, once per frame while standing.
    void idleAnimationChance();
    // A body drawn moving even while it stands.
    bool isContinuouslyAnimated() const;

private:
    friend class Item;
    friend void mobileFrameStep(Mobile& mobile);

    std::array<Item*, kLayerCount> m_layers {};
    std::array<MobileStep, kMaxQueuedSteps> m_steps {};
    int32_t m_stepCount = 0;
};

using MobileList = IntrusiveList<Mobile, &Mobile::mobileLink>;
MobileList& mobileList();
// Mobiles alive, the player included.
int32_t mobileCount();

class PlayerMobile final : public Mobile {
public:
    static constexpr uint8_t kDefaultUpdateRange = 18;
    static constexpr int32_t kWalkKeyCount = 5;

    PlayerMobile(uint32_t itemSerial, uint16_t itemGraphic, int8_t itemGraphicOffset);
    ~PlayerMobile() override;

    bool isPlayer() const override { return true; }
    bool isHidden() const override { return !isPlaced(); }
    void updateDrawZ() override;
    void setNotoriety(int32_t value) override;
    bool notorietyNot1() const override { return true; }
    bool notorietyOutside4To6() const override { return true; }
    void anchorPoint(int32_t& anchorX, int32_t& anchorY) const override;
    bool isWithinRangeOf(int32_t, int32_t, int32_t) const override { return true; }

    uint8_t getUpdateRange() const { return updateRange; }
    void setUpdateRangeByte(uint8_t range) { updateRange = range; }
    void resetUpdateRangeByte() { updateRange = kDefaultUpdateRange; }

    // Index 0..4; others are ignored.
    void setWalkKey(uint32_t key, int32_t index);
    // The slot used, or 5 when all are full.
    int32_t addWalkKey(uint32_t key);
    // The first key, emptied; 0 when none.
    uint32_t takeWalkKey();

    // Values the status packet compares to report changes (-1 unknown).
    std::array<int32_t, 4> rememberedStats { -1, -1, -1, -1 };
    uint32_t attackTarget = 0;
    int32_t following = 0;
    uint32_t followSerial = 0;
    // The player's offset from the followed mobile when following began.
    int32_t followOffsetX = 0;
    int32_t followOffsetY = 0;
    uint32_t highlightedSerial = 0;
    std::array<uint32_t, kWalkKeyCount> walkKeys {};
    uint8_t updateRange = kDefaultUpdateRange;
    uint8_t speedMode = 0;
    // Set by the walking code while its step queue holds steps: the player is
    // then linked one cell toward where it comes from.
    bool stepsQueued = false;
    // Set by the walking code while the player stands.
    bool standing = true;
    int32_t walkFrameCounter = 0;

protected:
    void baseCell(int32_t& cellX, int32_t& cellY) const override;
};

// The attack question warns of the criminal flag until any mobile's
// notoriety is read as 100 or more; from then on, for the rest of the run, it
// speaks of notoriety.
struct NotorietyWarnings {
    bool criminal = true;
};
NotorietyWarnings& notorietyWarnings();

// The frame steps the object manager runs for each mobile every frame.
void mobileFrameStep(Mobile& mobile);
void playerFrameStep();

// The walk and run frames of a body from the animation info.
int32_t walkFramesForBody(int32_t body);
int32_t runFramesForBody(int32_t body);

// The body a mount item shows.
int32_t mountGraphicToBody(int32_t graphic);
