#pragma once
// What the world objects ask of the windows and services above them or built
// later: each is a small interface whose base class does nothing (and answers
// "none"), which is what runs until the real one is installed. The program
// installs one object per interface at start-up (installWorldService); tests
// swap one in for their lifetime with ScopedWorldService. The world never
// keeps window pointers: a window that shows an object finds it again by
// serial, or tests a stored pointer with isValidWorldObject. Main thread only.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ContainerItem;
class Item;
class MapItem;
class Mobile;
class MultiComponentList;
class PacketBuffer;
class RecordedSequence;
class StaticObject;
struct DragState;

// The container, spellbook, bulletin-board and shop windows.
class ContainerViews {
public:
    virtual ~ContainerViews() = default;
    // `item` entered `container`: redraw it, rebuild a spellbook's pages, ask
    // the server for a bulletin message summary, refresh a vendor's shop.
    virtual void itemEntered(ContainerItem&, Item&) { }
    // `item` left `parent` (a container or the wearer): redraw the area it
    // covered, drop it from a shop list.
    virtual void itemLeft(Item&, Item&) { }
    // The container is being destroyed: its windows close.
    virtual void containerDestroyed(ContainerItem&) { }
    // The container's whole contents arrived at once: its window is drawn
    // anew.
    virtual void contentsArrived(ContainerItem&) { }
};

// The paperdoll windows.
class PaperdollViews {
public:
    virtual ~PaperdollViews() = default;
    virtual void layersChanged(Mobile&) { }
};

// The map windows that show a map item.
class MapWindows {
public:
    virtual ~MapWindows() = default;
    virtual bool isOpenFor(const MapItem&) { return false; }
    virtual void closeFor(MapItem&) { }
};

// The windows tied to one object: status bars, bulletin posting lines, name
// plates, the mahjong table, the secure-trade window, pending world-view
// objects and every window a mobile owns.
class ObjectViews {
public:
    virtual ~ObjectViews() = default;
    // The object left the world or its container.
    virtual void objectLeftWorld(Item&) { }
    // A mobile became hidden: every window it owns closes.
    virtual void mobileHidden(Mobile&) { }
    // The object is being destroyed: windows naming it as their owner forget
    // it; a trade with a mobile is cancelled.
    virtual void objectDestroyed(Item&) { }
    // Kind 1 or 2: its status windows redraw.
    virtual void refreshStatusBars(Item&, int32_t) { }
    // A mobile moved (or took a step): its overhead texts and name plate follow.
    virtual void mobileMoved(Mobile&, bool) { }
};

// What one overhead text window shows, as the keeper copies it: an ASCII
// text, or a Unicode text with its speaker's name.
struct OverheadTextRecord {
    bool isAscii = true;
    std::string narrowText;
    std::u16string wideText;
    std::u16string speakerName;
    uint16_t hue = 0;
    uint16_t font = 0;
    int32_t startTime = 0;
    int32_t lifetime = 0;
};

// The overhead text windows over objects, newest first per object. They show
// their text only: the journal line of each new text is written by the
// journal's step, which the program installs in front of this service.
class OverheadTextViews {
public:
    virtual ~OverheadTextViews() = default;
    virtual int32_t textCount(const StaticObject&) { return 0; }
    // Deletes the oldest text that is not kept; false when every text is kept.
    virtual bool deleteOldestUnkept(StaticObject&) { return false; }
    virtual void deleteUnkept(StaticObject&) { }
    // Every text, kept or not (the object is being destroyed).
    virtual void deleteAll(StaticObject&) { }
    virtual void create(StaticObject&, std::string_view, uint16_t, uint16_t, int32_t, bool) { }
    // The texts of the object, newest first, for the keeper to copy.
    virtual std::vector<OverheadTextRecord> texts(const StaticObject&) { return {}; }
    // Turns a kept text back into a window on the object, with its times.
    virtual void restore(StaticObject&, const OverheadTextRecord&) { }
};

// What picking up and dropping show.
class DragViews {
public:
    virtual ~DragViews() = default;
    // The amount window for a stack, following the pointer.
    virtual void openAmountWindow(Item&) { }
    // The picture that follows the pointer while the drag lasts.
    virtual void createDragWindow(const DragState&) { }
    // The world view forgets the object under the pointer.
    virtual void forgetObjectUnderPointer() { }
};

// Text shown to the player: system messages, and the name of a clicked static.
class WorldMessages {
public:
    virtual ~WorldMessages() = default;
    virtual void addSystemMessage(std::u16string_view, uint16_t, uint16_t) { }
    // The next name shown over an object enters the journal as "You see: "
    // and the name (the server answers the click on an item with its name).
    virtual void prefixNextNameWithYouSee() { }
    // Shows the name of a static over it.
    virtual void showStaticName(StaticObject&, std::u16string_view, uint16_t, uint16_t) { }
};

// Text commands that wait for a target (scrolls).
class TargetedCommands {
public:
    virtual ~TargetedCommands() = default;
    // Type 0 no target (sent at once), 1 a location, 2 an object.
    virtual void beginTargetedCommand(std::string_view, int32_t, uint32_t) { }
};

// Sound effects. Pan runs -2500 (left) .. 2500 (right), volume -2500
// (quietest) .. 0 (full); the pitch varies by up to `jitterPercent`; with
// `allowDuplicate` a sound still sounding is started again on another
// channel.
class WorldSounds {
public:
    virtual ~WorldSounds() = default;
    // A sound not placed in the world (the player's own).
    virtual void playSound(int32_t, int32_t, int32_t, bool, int32_t, bool) { }
    // A sound at (x, y, z): panned by its offset from the player and quieter
    // with distance, `factor` scaling how much quieter.
    virtual void playSoundAt(int32_t, int32_t, int32_t, int32_t, float, bool, int32_t, bool) { }
};

// The light pass.
class WorldLights {
public:
    virtual ~WorldLights() = default;
    virtual void invalidateLight(StaticObject&) { }
    // The player's own light changed by `delta`.
    virtual void changePersonalLight(int32_t) { }
};

// Server actions of mobiles: the list of mobiles playing one, stepped once
// per drawn frame (mobile_animation.h installs the real one). While a
// sequence is recorded, actions are recorded instead of played
// (recorded_sequence.h).
class MobileAnimator {
public:
    virtual ~MobileAnimator() = default;
    virtual void registerAnimatingMobile(Mobile&) { }
    // Ends the action; true when the mobile was destroyed by it (a death).
    // A sequence waiting for the action continues (advanceSequenceWaitingFor).
    virtual bool stopMobileAnimation(Mobile&, bool) { return false; }
};

// The player following another mobile along a searched path.
class FollowPaths {
public:
    virtual ~FollowPaths() = default;
    virtual void followMoved(Mobile&, int32_t, int32_t, int32_t) { }
};

// The component lists of multis (houses, boats).
class MultiComponents {
public:
    virtual ~MultiComponents() = default;
    // The server set the multi item at (x, y, z) as multi `multiId`: its
    // list is built (anew for another id) and its pieces placed. Without a
    // list the item only moves there, as this default does.
    virtual void updatePosition(Item& item, int32_t x, int32_t y, int32_t z, int32_t multiId);
    virtual void release(MultiComponentList*) { }
    // How far the components reach from the multi's cell.
    virtual int32_t extent(const MultiComponentList*) { return 0; }
    virtual void setShared(MultiComponentList*) { }
};

// Where the world's requests to the server go: the current game connection.
class WorldPacketSink {
public:
    virtual ~WorldPacketSink() = default;
    virtual bool send(const PacketBuffer& packet);
    // Whether a game connection exists to send on.
    virtual bool isConnected();
};

template <typename Service>
Service*& installedWorldService()
{
    static Service* installed = nullptr;
    return installed;
}

// The installed service, or the do-nothing base when none is.
template <typename Service>
Service& worldService()
{
    Service* installed = installedWorldService<Service>();
    if (installed)
        return *installed;
    static Service doNothing;
    return doNothing;
}

// The do-nothing object of a service, for the program to install by name.
template <typename Service>
Service& doNothingWorldService()
{
    static Service doNothing;
    return doNothing;
}

template <typename Service>
Service* installWorldService(Service* replacement)
{
    Service* previous = installedWorldService<Service>();
    installedWorldService<Service>() = replacement;
    return previous;
}

template <typename Service>
class ScopedWorldService {
public:
    explicit ScopedWorldService(Service& replacement)
        : m_previous(installWorldService(&replacement))
    {
    }
    ~ScopedWorldService() { installWorldService(m_previous); }
    ScopedWorldService(const ScopedWorldService&) = delete;
    ScopedWorldService& operator=(const ScopedWorldService&) = delete;

private:
    Service* m_previous;
};

// Sends through the installed sink.
bool sendWorldPacket(const PacketBuffer& packet);
bool isWorldConnected();
