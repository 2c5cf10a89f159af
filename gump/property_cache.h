#pragma once
// Object property lists: lines of localized messages with arguments (name,
// material, requirements...) that the server sends for an object on request
// (packet 0xD6) and versions with a revision. The cache keeps them by serial,
// bounded in lists (about kMaxCachedLists, trimmed kEvictBatch at a time,
// objects gone from the world first, then those lying in the world, those in
// containers last, never the item being dragged) and in argument bytes. The
// requests wait in a queue and go out paced: at most kMaxInFlight at a time,
// forgotten when unanswered after kRequestTimeoutMs (no retry; a later
// trigger asks again). The HTML builders turn a list into text for windows.
//
// Main thread only. Times are 32-bit tick counts compared unsigned.

#include "core/installed_service.h"
#include "core/wide_string.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class WorldObject;

constexpr int32_t kMaxCachedLists = 20000;
constexpr int32_t kEvictBatch = 2000;
// The argument text of every cached list together, in UTF-16 units.
constexpr size_t kMaxCachedArgumentUnits = 8u << 20;
constexpr int32_t kMaxInFlight = 15;
constexpr uint32_t kRequestTimeoutMs = 1500;
// An argument keeps at most this many units.
constexpr size_t kMaxArgumentUnits = 511;
constexpr uint32_t kStackNameMessage = 1050039;
constexpr uint32_t kStrengthRequirementMessage = 1061170;

struct PropertyEntry {
    uint32_t messageId = 0;
    // Tab-separated arguments; empty for none.
    std::u16string arguments;
};

enum class PropertyListState : uint8_t {
    Filled = 0,
    // Waiting to be queued (requeued by the item-property window).
    Deferred = 4,
};

struct PropertyList {
    std::vector<PropertyEntry> entries; // in arrival order
    uint32_t revision = 0;
    PropertyListState state = PropertyListState::Filled;
};

// A queued (not yet sent) or sent request.
struct PendingPropertyRequest {
    uint32_t sentAt = 0;
    bool sent = false;
};

struct PropertyCache {
    // By serial in signed order, the order trims walk in.
    std::map<int32_t, std::unique_ptr<PropertyList>> lists;
    std::map<uint32_t, PendingPropertyRequest> pending;
    size_t argumentUnits = 0;
    // 0: one 0xBF request per object; 1: one 0xD6 request for many.
    int32_t requestForm = 0;
};
PropertyCache& propertyCache();

// What the cache asks of the windows that come later (shop and bill, the
// item-property window, the mahjong table, the status record, the pointer).
// The do-nothing form answers until they exist.
class PropertyListWindows {
public:
    virtual ~PropertyListWindows() = default;
    // While a pointer button is held no request goes out.
    virtual bool isPointerHeld() = 0;
    // An open shop or bill window lists the serial.
    virtual bool isListedByShop(uint32_t serial) = 0;
    // A list arrived: the item-property window waiting for it shows it, the
    // shop and bill rows and the mahjong table refresh.
    virtual void propertyListArrived(uint32_t serial) = 0;
    // The player's strength; -1 while unknown.
    virtual int32_t playerStrength() = 0;
};

class NoPropertyListWindows final : public PropertyListWindows {
public:
    bool isPointerHeld() override { return false; }
    bool isListedByShop(uint32_t) override { return false; }
    void propertyListArrived(uint32_t) override { }
    int32_t playerStrength() override { return -1; }
};

template <>
struct ServiceFallback<PropertyListWindows> {
    using Type = NoPropertyListWindows;
};

// An object lying in the world defers its list; any other (or an unknown
// serial) is queued for a request.
void propertyListRequest(uint32_t serial);
void propertyListQueueRequest(uint32_t serial);
// No list, or one older than `revision` (compared signed).
bool propertyListIsStale(uint32_t serial, uint32_t revision);
bool propertyListIsDeferred(uint32_t serial);
void propertyListDefer(uint32_t serial);
void propertyListDeferAllPending();
void propertyListRequeueDeferred();
int32_t propertyListEntryCount(uint32_t serial);
// A dynamic container item, or one of the graphics that carry lists.
bool propertyListEligible(WorldObject* object);
const PropertyList* propertyListFind(uint32_t serial);
void propertyListDrop(uint32_t serial);
void propertyListAddEntry(uint32_t serial, uint32_t revision, uint32_t messageId, std::u16string_view arguments);
// Removes up to `count` lists in the trimming order.
void propertyListEvict(int32_t count);
void propertyListReplyDone(uint32_t serial);
// Once per frame: expires and sends requests.
void propertyListPump();
// At login: no request waits and every list goes but the dragged item's.
void propertyListReset();
// 0xBF sets form 0, 0xDC form 1.
void setPropertyRequestForm(int32_t form);

// Packet 0xD6: kind, serial, two ignored bytes, revision, then entries up to
// a message id of 0 (id, argument byte count, UTF-16LE arguments). Kinds
// above 1 are ignored; a packet cut before its revision changes nothing.
void handlePropertyList(const uint8_t* packet);

// HTML for windows: the name line (the amount of a stack dropped unless
// keepAmount), and the other lines (with the strength requirement in red
// when the player is too weak).
void buildPropertyNameHtml(uint32_t serial, WString& out, bool centred, bool keepAmount);
void buildPropertyLinesHtml(uint32_t serial, WString& out, bool centred, bool quiet);
