#include "world/walking.h"

#include "core/process_random.h"
#include "data/player_lists.h"
#include "data/settings_registry.h"
#include "net/client_packets.h"
#include "net/packet_table.h"
#include "platform/clock.h"
#include "world/house_designer_view.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/overhead_texts.h"
#include "world/step_rules.h"
#include "world/visibility.h"
#include "world/world_clock.h"
#include "world/world_screen.h"
#include "world/world_services.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr uint32_t kKeyRepeatFlag = 0x40000000;
constexpr int32_t kDropHeight = 11;
constexpr int32_t kOuchHeight = 22;
constexpr uint32_t kWarFacingPauseSeconds = 3;

uint32_t nowSeconds() { return platform::clock().unixSeconds(); }

void sendMoveRequest(const StepEntry& entry, uint32_t key)
{
    std::array<uint8_t, 8> storage {};
    PacketBuffer packet(storage.data(), storage.size());
    uint8_t direction = uint8_t(entry.direction | (entry.run ? 0x80 : 0));
    if (buildMoveRequestPacket(packet, direction, entry.sequence, key))
        sendWorldPacket(packet);
}

// Empties the queue and blocks walking until the server places the player;
// the request goes out once until then.
void resync()
{
    StepQueue& queue = stepQueue();
    if (!queue.resyncSent) {
        std::array<uint8_t, 4> storage {};
        PacketBuffer packet(storage.data(), storage.size());
        if (buildMoveResyncPacket(packet))
            sendWorldPacket(packet);
        queue.resyncSent = true;
    }
    queue.blocked = true;
    queue.animIndex = 0;
    queue.count = 0;
}

void removeEntry(int32_t index)
{
    StepQueue& queue = stepQueue();
    std::copy(queue.entries.begin() + index + 1, queue.entries.begin() + queue.count, queue.entries.begin() + index);
    --queue.count;
}

void advanceSequence()
{
    StepQueue& queue = stepQueue();
    queue.sequence = queue.sequence == 255 ? 1 : uint8_t(queue.sequence + 1);
}

// What an acknowledgement of `sequence` does to the queue and the view centre.
void acknowledge(uint8_t sequence)
{
    StepQueue& queue = stepQueue();
    int32_t found = -1;
    for (int32_t i = 0; i < queue.count; ++i) {
        if (queue.entries[size_t(i)].sequence == sequence) {
            found = i;
            break;
        }
    }
    if (found < 0) {
        resync();
        return;
    }
    StepEntry& entry = queue.entries[size_t(found)];
    if (entry.isMove())
        moveMapViewCentre(directionDx(entry.direction), directionDy(entry.direction), entry.z);
    if (found >= queue.animIndex) {
        entry.acknowledged = true;
    } else if (found == 0) {
        removeEntry(0);
        --queue.animIndex;
    } else {
        // An animated step confirmed out of order: the prediction is lost.
        resync();
    }
}

int32_t wrapped(int32_t value, int32_t size) { return size > 0 ? ((value % size) + size) % size : value; }

// The position the queued steps will have brought the player to: the server's
// position (the view centre) advanced by every move it has not confirmed.
void predictedPosition(int32_t& x, int32_t& y, int32_t& z)
{
    const StepQueue& queue = stepQueue();
    const MapView& view = mapView();
    x = view.centreX;
    y = view.centreY;
    z = view.centreZ;
    bool wraps = player() && player()->x < view.wrapWidth;
    for (int32_t i = 0; i < queue.count; ++i) {
        const StepEntry& entry = queue.entries[size_t(i)];
        if (!entry.isMove() || entry.acknowledged)
            continue;
        x += directionDx(entry.direction);
        y += directionDy(entry.direction);
        z = entry.z;
        if (wraps) {
            x = wrapped(x, view.wrapWidth);
            y = wrapped(y, view.wrapHeight);
        }
    }
}

// Fills the next entry and counts it; the sequence is not advanced.
StepEntry& queueEntry(int32_t direction, int32_t newZ, bool run, int32_t startZ)
{
    StepQueue& queue = stepQueue();
    PlayerMobile& self = *player();
    StepEntry& entry = queue.entries[size_t(queue.count)];
    entry = StepEntry {};
    entry.sequence = queue.sequence;
    entry.run = run;
    entry.previousFacing = queue.count == 0 ? uint8_t(self.direction & 7)
                                            : queue.entries[size_t(queue.count - 1)].direction;
    entry.requestTime = platform::clock().tickMs();
    entry.z = int8_t(newZ);
    entry.direction = uint8_t(direction & 7);
    entry.drop = entry.isMove() && startZ - newZ >= kDropHeight;
    ++queue.count;
    return entry;
}

void showOverPlayer(std::string_view text, uint16_t hue, uint16_t font)
{
    if (PlayerMobile* self = player())
        showOverheadText(*self, text, hue, font, 0, false);
}

// The player lands after a drop of 22 or more.
void sayOuch()
{
    const PlayerMobile& self = *player();
    const SpeechStyle& style = speechStyle();
    showOverPlayer("ouch!", style.speechHue, style.speechFont);
    int32_t first = self.isBody401or606() ? 331 : 340;
    // The player's own sound: centred, full volume, once, no pitch jitter.
    worldService<WorldSounds>().playSound(first + nextRandom() % 5, 0, 0, false, 0, false);
}

int32_t framesPerStep(const PlayerMobile& self, const StepQueue& queue)
{
    int32_t walk = walkFramesForBody(self.graphic);
    int32_t run = runFramesForBody(self.graphic);
    int32_t frames;
    if (self.layerItem(Mobile::kMountLayer) || (self.speedMode & 1))
        frames = (queue.run ? run : walk) / 2;
    else if (queue.falling)
        frames = walk + 2 * ((queue.fallStart - queue.fallEnd) / kDropHeight);
    else
        frames = queue.run ? run : walk;
    // A mount whose animation gives one frame halves to none; every step
    // takes at least one frame.
    return std::max(frames, 1);
}

} // namespace

StepQueue& stepQueue()
{
    static StepQueue queue;
    return queue;
}

bool isWalkIdle()
{
    const StepQueue& queue = stepQueue();
    return !queue.blocked && queue.animIndex == queue.count;
}

bool tryStep(int32_t& direction, int32_t& newZ, bool check)
{
    const StepQueue& queue = stepQueue();
    const PlayerMobile* self = player();
    if (!self)
        return false;
    int32_t facing = queue.count > 0 ? queue.entries[size_t(queue.count - 1)].direction : (self->direction & 7);
    direction &= 7;
    if (!check)
        return direction != facing;
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
    predictedPosition(x, y, z);
    newZ = z;
    int32_t stepZ = 0;
    if ((direction & 1) == 0) {
        if (canStepTo(x + directionDx(direction), y + directionDy(direction), z, direction, stepZ)) {
            newZ = stepZ;
            return true;
        }
        return direction != facing;
    }
    int32_t left = (direction - 1) & 7;
    int32_t right = (direction + 1) & 7;
    int32_t diagonalZ = 0;
    int32_t leftZ = 0;
    int32_t rightZ = 0;
    bool diagonal = canStepTo(x + directionDx(direction), y + directionDy(direction), z, direction, diagonalZ);
    bool leftFree = canStepTo(x + directionDx(left), y + directionDy(left), z, left, leftZ);
    bool rightFree = canStepTo(x + directionDx(right), y + directionDy(right), z, right, rightZ);
    if (diagonal && leftFree && rightFree) {
        newZ = diagonalZ;
        return true;
    }
    // Past a corner: the free side's straight step instead.
    if (rightFree) {
        direction = right;
        newZ = rightZ;
        return true;
    }
    if (leftFree) {
        direction = left;
        newZ = leftZ;
        return true;
    }
    return direction != facing;
}

namespace {

// tryStep, with the height the step starts from (for the drop test).
bool tryStepFromPrediction(int32_t& direction, int32_t& newZ, int32_t& startZ, bool check)
{
    int32_t startX = 0;
    int32_t startY = 0;
    predictedPosition(startX, startY, startZ);
    newZ = startZ;
    return tryStep(direction, newZ, check);
}

} // namespace

void requestStep(int32_t screenDirection, int32_t run, bool check)
{
    StepQueue& queue = stepQueue();
    queue.lastStepRequestTime = nowSeconds();
    PlayerMobile* self = player();
    if (!self || queue.blocked || queue.count == StepQueue::kMaxSteps || !isWorldConnected())
        return;
    int32_t direction = (screenDirection - 1) & 7;
    int32_t startZ = 0;
    int32_t newZ = 0;
    if (!tryStepFromPrediction(direction, newZ, startZ, check))
        return;
    bool running = run == -1 ? worldService<WalkingViews>().isPointerFarFromCentre() : run != 0;
    if (settings().getBoolSetting(u"AlwaysRun"))
        running = true;
    if (self->speedMode & 2)
        running = false;
    if (!self->isDead() && self->stamina <= 1)
        running = false;
    const StepEntry& entry = queueEntry(direction, newZ, running, startZ);
    sendMoveRequest(entry, self->takeWalkKey());
    ++queue.sentSteps;
    advanceSequence();
    worldService<StepClosedWindows>().closeWindowsOnStep();
}

void stopFollowing()
{
    PlayerMobile* self = player();
    if (!self || !self->following)
        return;
    showOverPlayer("Stopped following.", 3, 0);
    self->following = 0;
    self->followSerial = 0;
}

void walkByPointer(int32_t screenDirection, int32_t run)
{
    stopFollowing();
    if (isWalkIdle())
        requestStep(screenDirection, run, true);
}

void walkByKey(int32_t screenDirection, uint32_t keyFlags, bool controlHeld)
{
    stopFollowing();
    if ((keyFlags & kKeyRepeatFlag) && !isWalkIdle())
        return;
    requestStep(screenDirection, controlHeld ? 1 : 0, true);
}

void onMoveAck(uint8_t sequence)
{
    StepQueue& queue = stepQueue();
    if (queue.sentSteps > 0)
        --queue.sentSteps;
    acknowledge(sequence);
}

void onServerStep(uint8_t direction)
{
    StepQueue& queue = stepQueue();
    queue.lastStepRequestTime = nowSeconds();
    // The byte indexes the direction tables: anything but a direction is
    // refused.
    if (queue.blocked || direction > 7 || !player())
        return;
    if (queue.count == StepQueue::kMaxSteps)
        resync();
    if (!isWorldConnected())
        return;
    int32_t stepDirection = direction;
    int32_t startZ = 0;
    int32_t newZ = 0;
    if (!tryStepFromPrediction(stepDirection, newZ, startZ, true))
        return;
    bool running = worldService<WalkingViews>().isPointerFarFromCentre();
    uint8_t sequence = queueEntry(stepDirection, newZ, running, startZ).sequence;
    advanceSequence();
    // Nothing was sent, so nothing is counted as waiting for an answer.
    acknowledge(sequence);
}

void resyncPlayerPosition(int32_t mode, int32_t x, int32_t y, int32_t z)
{
    StepQueue& queue = stepQueue();
    queue.sentSteps = 0;
    queue.frame = 0;
    queue.sequence = 0;
    queue.count = 0;
    queue.animIndex = 0;
    queue.blocked = false;
    worldScreen().stepOffsetX = 0;
    worldScreen().stepOffsetY = 0;
    PlayerMobile* self = player();
    if (!self)
        return;
    self->removeFromGrid();
    if (mode == -1) {
        self->x = int16_t(mapView().centreX);
        self->y = int16_t(mapView().centreY);
    } else {
        setPlayerPosition(x, y, z, mapView().positionFacet);
        self->x = int16_t(x);
        self->y = int16_t(y);
        self->z = int16_t(z);
    }
    // Only a player in the world goes back into the grid: before the login
    // confirmation puts it there, the grid must not hold what no world list
    // holds.
    if (!self->isDetached())
        self->place();
    invalidateWholeScreen();
    self->updateDrawZ();
    updateRoofLimits();
}

void clearResyncSent()
{
    stepQueue().resyncSent = false;
    stepQueue().blocked = false;
}

void setServerFollow(bool on) { stepQueue().serverFollow = on; }

void setDeathScreenShown(bool shown) { stepQueue().deathScreen = shown; }

void setCombatantSerial(uint32_t serial) { stepQueue().combatantSerial = serial; }

void resetWalkState()
{
    StepQueue& queue = stepQueue();
    queue.count = 0;
    queue.animIndex = 0;
    queue.sequence = 0;
    queue.frame = 0;
    queue.run = false;
    queue.blocked = false;
    queue.serverFollow = false;
    queue.sentSteps = 0;
    queue.falling = false;
    if (PlayerMobile* self = player())
        self->walkFrameCounter = 0;
}

void computeStepOffsets(int32_t direction, int32_t frame, int32_t frames, int32_t& offsetX, int32_t& offsetY)
{
    int32_t dx = directionDx(direction);
    int32_t dy = directionDy(direction);
    frames = std::max(frames, 1);
    offsetX = (dx - dy) * 22 * frame / frames;
    offsetY = (dx + dy) * 22 * frame / frames;
}

int32_t playerDrawnHeight()
{
    const StepQueue& queue = stepQueue();
    const PlayerMobile& self = *player();
    int32_t fall = 0;
    const int32_t* fallHeight = nullptr;
    if (queue.falling) {
        int32_t frames = queue.framesPerStep;
        if (queue.frame <= 1)
            fall = queue.fallStart;
        else if (frames <= 2)
            fall = queue.fallEnd;
        else
            fall = queue.fallStart + (queue.fallEnd - queue.fallStart) * (queue.frame - 2) / (frames - 2);
        fallHeight = &fall;
    }
    int32_t facing = self.direction & 7;
    if (queue.frame >= 3 && queue.animIndex < queue.count) {
        const StepEntry& entry = queue.entries[size_t(queue.animIndex)];
        return drawnHeightOver(self.x + directionDx(entry.direction), self.y + directionDy(entry.direction), entry.z,
            4 - queue.frame, oppositeDirection(facing), fallHeight);
    }
    return drawnHeightOver(self.x, self.y, self.z, queue.frame, facing, fallHeight);
}

void updateViewPosition()
{
    const PlayerMobile* self = player();
    if (!self)
        return;
    ScreenRect area = worldGameArea();
    WorldScreen& screen = worldScreen();
    int32_t halfWidth = area.width() / 2;
    int32_t halfHeight = area.height() / 2;
    screen.viewPixelX = (self->x - self->y + mapView().mapWidth) * 22 - (halfWidth - 1) + screen.stepOffsetX;
    screen.viewPixelY = (self->x + self->y) * 22 - 4 * self->drawZ - (halfHeight - 23) + screen.stepOffsetY;
}

void updateWalking()
{
    StepQueue& queue = stepQueue();
    PlayerMobile* self = player();
    if (queue.deathScreen || !self)
        return;
    StepEntry* current = queue.animIndex < queue.count ? &queue.entries[size_t(queue.animIndex)] : nullptr;
    queue.falling = current && current->drop;
    if (queue.falling) {
        queue.fallStart = self->z;
        queue.fallEnd = current->z;
    }
    if (self->isPlaced()) {
        if (queue.count == 0 && !self->standing) {
            self->removeFromGrid();
            self->standing = true;
            self->stepsQueued = false;
            self->walkFrameCounter = 3;
            self->place();
        } else if (queue.count > 0 && self->standing) {
            self->removeFromGrid();
            self->standing = false;
            self->stepsQueued = true;
            self->place();
        }
    }
    if (!current || (queue.serverFollow && !current->acknowledged))
        return;

    int32_t oldX = self->x;
    int32_t oldY = self->y;
    int32_t oldZ = self->z;
    self->invalidate();
    self->removeFromGrid();
    self->lastMoveTime = worldTimeMs();
    ++self->walkFrameCounter;
    ++queue.frame;
    WorldScreen& screen = worldScreen();
    int32_t oldViewX = screen.viewPixelX;
    int32_t oldViewY = screen.viewPixelY;

    int32_t frames = framesPerStep(*self, queue);
    queue.framesPerStep = frames;
    int32_t direction = current->direction;
    if (queue.frame >= frames || !current->isMove()) {
        if (queue.falling && !self->isDead() && queue.fallStart - queue.fallEnd >= kOuchHeight)
            sayOuch();
        queue.falling = false;
        queue.frame = 0;
        queue.run = current->run;
        self->running = current->run ? 1 : 0;
        self->direction = current->direction;
        if (current->isMove()) {
            self->x = int16_t(self->x + directionDx(direction));
            self->y = int16_t(self->y + directionDy(direction));
            self->z = current->z;
            HouseDesignerView& designer = worldService<HouseDesignerView>();
            if (designer.isPlayerInDesign())
                designer.playerMovedInDesign();
        }
        if (current->acknowledged) {
            removeEntry(queue.animIndex);
        } else {
            ++queue.animIndex;
        }
    }
    computeStepOffsets(direction, queue.frame, frames, screen.stepOffsetX, screen.stepOffsetY);

    self->updateDrawZ();
    int32_t scrollX = oldViewX - screen.viewPixelX;
    int32_t scrollY = oldViewY - screen.viewPixelY;
    if (scrollX != 0 || scrollY != 0)
        scrollWorldContent(scrollX, scrollY);
    worldService<WalkingViews>().viewScrolled(scrollX, scrollY);

    self->place();
    if (self->x != oldX || self->y != oldY || self->z != oldZ)
        updateRoofLimits();
}

void warFacingStep()
{
    const StepQueue& queue = stepQueue();
    PlayerMobile* self = player();
    if (!self || !self->warMode || queue.sentSteps > 0)
        return;
    if (nowSeconds() - queue.lastStepRequestTime < kWarFacingPauseSeconds)
        return;
    WorldObject* target = findObjectBySerial(queue.combatantSerial);
    if (!target || !target->isMobile() || target == self)
        return;
    auto sign = [](int32_t v) { return v > 0 ? 1 : v < 0 ? -1 : 0; };
    int32_t signX = sign(target->x - self->x);
    int32_t signY = sign(target->y - self->y);
    int32_t facing = 7;
    for (int32_t d = 0; d < 7; ++d) {
        if (kDirectionDx[size_t(d)] == signX && kDirectionDy[size_t(d)] == signY) {
            facing = d;
            break;
        }
    }
    if (facing != (self->direction & 7))
        requestStep((facing + 1) & 7, 0, false);
}
