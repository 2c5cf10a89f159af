#include "gump/property_cache.h"

#include "core/wide_text.h"
#include "data/client_services.h"
#include "data/config_key_rules.h"
#include "gump/gump_services.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "platform/clock.h"
#include "text/cliloc_table.h"
#include "world/item.h"
#include "world/item_graphics.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"

#include <algorithm>
#include <array>

namespace {

constexpr uint16_t kPropertyDebugHue = 33;
constexpr uint16_t kPropertyDebugFont = 3;
constexpr uint16_t kMaxKind = 1;

struct ListedGraphicRange {
    uint16_t first;
    uint16_t last;
};
constexpr ListedGraphicRange kListedGraphics[] = {
    { 2979, 3086 },
    { 4759, 4766 },
    { 15946, 15957 },
    { 3796, 3806 },
    { 4453, 4484 },
    { 7976, 7977 },
};

uint32_t draggedSerial()
{
    const DragState& drag = dragState();
    return drag.dragging ? drag.serial : 0;
}

bool objectExists(uint32_t serial) { return findObjectBySerial(serial) != nullptr; }

bool liesInTheWorld(uint32_t serial)
{
    const Item* item = findItemBySerial(serial);
    return item && item->container() == nullptr;
}

size_t unitsOf(const PropertyList& list)
{
    size_t units = 0;
    for (const PropertyEntry& entry : list.entries)
        units += entry.arguments.size();
    return units;
}

// Removes a list and its cache entry, keeping the byte count.
void eraseList(std::map<int32_t, std::unique_ptr<PropertyList>>::iterator where)
{
    PropertyCache& cache = propertyCache();
    if (where->second)
        cache.argumentUnits -= std::min(cache.argumentUnits, unitsOf(*where->second));
    cache.lists.erase(where);
}

// Room for a list of a new serial: a cache past its size trims a batch.
void makeRoomFor(uint32_t serial)
{
    PropertyCache& cache = propertyCache();
    if (cache.lists.count(int32_t(serial)) == 0 && int32_t(cache.lists.size()) > kMaxCachedLists)
        propertyListEvict(kEvictBatch);
}

// A cache past its argument budget trims batches until it is within it or
// nothing more may go.
void keepWithinBudget()
{
    PropertyCache& cache = propertyCache();
    while (cache.argumentUnits > kMaxCachedArgumentUnits) {
        const size_t before = cache.lists.size();
        propertyListEvict(kEvictBatch);
        if (cache.lists.size() == before)
            return;
    }
}

std::u16string formatLine(const PropertyEntry& entry, bool dropAmount)
{
    WString text;
    getClilocString(text, int32_t(entry.messageId), 1);
    std::u16string arguments = entry.arguments;
    if (dropAmount) {
        // From the first tab on: the amount's argument becomes empty, and
        // the blank it leaves in front of the name is dropped below.
        const size_t tab = arguments.find(u'\t');
        if (tab != std::u16string::npos)
            arguments.erase(0, tab);
    }
    if (!arguments.empty())
        formatClilocString(text, arguments.c_str(), int32_t(entry.messageId), false, false);
    std::u16string out = text.c_str() ? text.c_str() : u"";
    if (dropAmount && !out.empty() && out[0] == u' ')
        out.erase(0, 1);
    WString capitalised(out.c_str());
    capitalised.capitalizeWords();
    return capitalised.c_str() ? capitalised.c_str() : u"";
}

} // namespace

PropertyCache& propertyCache()
{
    static PropertyCache cache;
    return cache;
}

void setPropertyRequestForm(int32_t form) { propertyCache().requestForm = form; }

const PropertyList* propertyListFind(uint32_t serial)
{
    PropertyCache& cache = propertyCache();
    auto found = cache.lists.find(int32_t(serial));
    return found == cache.lists.end() ? nullptr : found->second.get();
}

void propertyListQueueRequest(uint32_t serial) { propertyCache().pending.try_emplace(serial); }

void propertyListRequest(uint32_t serial)
{
    if (objectExists(serial) && liesInTheWorld(serial))
        propertyListDefer(serial);
    else
        propertyListQueueRequest(serial);
}

bool propertyListIsStale(uint32_t serial, uint32_t revision)
{
    const PropertyList* list = propertyListFind(serial);
    return !list || int32_t(list->revision) < int32_t(revision);
}

bool propertyListIsDeferred(uint32_t serial)
{
    const PropertyList* list = propertyListFind(serial);
    return list && list->state == PropertyListState::Deferred;
}

void propertyListDrop(uint32_t serial)
{
    PropertyCache& cache = propertyCache();
    auto found = cache.lists.find(int32_t(serial));
    if (found != cache.lists.end())
        eraseList(found);
}

void propertyListDefer(uint32_t serial)
{
    makeRoomFor(serial);
    propertyListDrop(serial);
    auto list = std::make_unique<PropertyList>();
    list->state = PropertyListState::Deferred;
    propertyCache().lists[int32_t(serial)] = std::move(list);
}

void propertyListDeferAllPending()
{
    PropertyCache& cache = propertyCache();
    const std::map<uint32_t, PendingPropertyRequest> pending = std::move(cache.pending);
    cache.pending.clear();
    for (const auto& request : pending)
        propertyListDefer(request.first);
}

void propertyListRequeueDeferred()
{
    PropertyCache& cache = propertyCache();
    for (const auto& [serial, list] : cache.lists) {
        if (list && list->state == PropertyListState::Deferred)
            cache.pending[uint32_t(serial)] = PendingPropertyRequest();
    }
}

int32_t propertyListEntryCount(uint32_t serial)
{
    const PropertyList* list = propertyListFind(serial);
    return list ? int32_t(list->entries.size()) : 0;
}

bool propertyListEligible(WorldObject* object)
{
    if (!object || !isValidWorldObject(object) || !object->isDynamic() || !object->hasItemTile())
        return false;
    const Item& item = static_cast<const Item&>(*object);
    if (item.isContainer())
        return true;
    return std::any_of(std::begin(kListedGraphics), std::end(kListedGraphics),
        [&](const ListedGraphicRange& range) { return item.graphic >= range.first && item.graphic <= range.last; });
}

void propertyListAddEntry(uint32_t serial, uint32_t revision, uint32_t messageId, std::u16string_view arguments)
{
    makeRoomFor(serial);
    PropertyCache& cache = propertyCache();
    std::unique_ptr<PropertyList>& slot = cache.lists[int32_t(serial)];
    if (slot && slot->revision != revision) {
        cache.argumentUnits -= std::min(cache.argumentUnits, unitsOf(*slot));
        slot.reset();
    }
    if (!slot) {
        slot = std::make_unique<PropertyList>();
        slot->revision = revision;
    }
    slot->state = PropertyListState::Filled;
    // A line of the same message replaces the old one, at the end.
    auto same = std::find_if(slot->entries.begin(), slot->entries.end(),
        [&](const PropertyEntry& entry) { return entry.messageId == messageId; });
    if (same != slot->entries.end()) {
        cache.argumentUnits -= std::min(cache.argumentUnits, same->arguments.size());
        slot->entries.erase(same);
    }
    PropertyEntry entry;
    entry.messageId = messageId;
    entry.arguments.assign(arguments.substr(0, kMaxArgumentUnits));
    cache.argumentUnits += entry.arguments.size();
    slot->entries.push_back(std::move(entry));
    keepWithinBudget();
}

void propertyListEvict(int32_t count)
{
    PropertyCache& cache = propertyCache();
    const uint32_t dragged = draggedSerial();
    int32_t removed = 0;
    // Objects gone from the world first, then those lying in it; those in
    // containers and on mobiles last. The dragged item's list stays.
    for (int32_t pass = 0; pass < 3 && removed < count; ++pass) {
        for (auto it = cache.lists.begin(); it != cache.lists.end() && removed < count;) {
            const uint32_t serial = uint32_t(it->first);
            bool goes = serial != dragged;
            if (goes && pass == 0)
                goes = !objectExists(serial);
            else if (goes && pass == 1)
                goes = liesInTheWorld(serial);
            if (!goes) {
                ++it;
                continue;
            }
            auto next = std::next(it);
            eraseList(it);
            it = next;
            ++removed;
        }
    }
}

void propertyListReplyDone(uint32_t serial)
{
    propertyCache().pending.erase(serial);
    service<PropertyListWindows>().propertyListArrived(serial);
}

void propertyListReset()
{
    PropertyCache& cache = propertyCache();
    cache.pending.clear();
    propertyListEvict(int32_t(cache.lists.size()));
}

void propertyListPump()
{
    PropertyListWindows& windows = service<PropertyListWindows>();
    if (windows.isPointerHeld())
        return;
    const GameConnection* connection = currentGameConnection();
    if (!service<GameSession>().isInWorld() && !(connection && connection->isCompressed()))
        return;
    PropertyCache& cache = propertyCache();
    const uint32_t now = platform::clock().tickMs();
    const uint32_t dragged = draggedSerial();
    int32_t inFlight = 0;
    for (auto it = cache.pending.begin(); it != cache.pending.end();) {
        const uint32_t serial = it->first;
        const PendingPropertyRequest& request = it->second;
        // Measured as elapsed time, so a request sent just after the tick
        // count started (or wrapped) is not taken for an old one.
        const bool expired = request.sent && now - request.sentAt > kRequestTimeoutMs;
        const bool gone = serial != dragged && !objectExists(serial) && !windows.isListedByShop(serial);
        if (expired || gone) {
            it = cache.pending.erase(it);
            continue;
        }
        if (request.sent)
            ++inFlight;
        ++it;
    }
    if (inFlight >= kMaxInFlight)
        return;
    std::vector<uint32_t> batch;
    for (auto& [serial, request] : cache.pending) {
        if (request.sent)
            continue;
        if (cache.requestForm == 1) {
            batch.push_back(serial);
        } else {
            PacketStorage<16> packet;
            if (buildPropertyListRequestPacket(packet, serial))
                sendPacket(packet);
        }
        request.sent = true;
        request.sentAt = now;
        if (++inFlight >= kMaxInFlight)
            break;
    }
    if (!batch.empty()) {
        PacketStorage<3 + 4 * kMaxInFlight> packet;
        if (buildPropertyListBatchPacket(packet, batch))
            sendPacket(packet);
    }
}

void handlePropertyList(const uint8_t* packet)
{
    int32_t offset = 0;
    uint16_t kind = 0;
    uint32_t serial = 0;
    uint8_t ignored = 0;
    uint32_t revision = 0;
    if (!packetGetShort(packet, offset, kind) || !packetGetLong(packet, offset, serial)
        || !packetGetByte(packet, offset, ignored) || !packetGetByte(packet, offset, ignored)
        || !packetGetLong(packet, offset, revision))
        return;
    if (kind > kMaxKind)
        return;
    propertyListDrop(serial);
    const int32_t payload = int32_t(packetLength(packet)) - packetHeaderSize(packet[0]);
    for (;;) {
        uint32_t messageId = 0;
        uint16_t byteCount = 0;
        if (!packetGetLong(packet, offset, messageId) || messageId == 0)
            break;
        if (!packetGetShort(packet, offset, byteCount))
            break;
        // The units that lie inside the packet, at most kMaxArgumentUnits;
        // the offset moves past the whole count (an odd last byte too).
        const int32_t present = std::clamp(payload - offset, 0, int32_t(byteCount));
        const size_t units = std::min(size_t(present / 2), kMaxArgumentUnits);
        const uint8_t* bytes = nullptr;
        std::u16string arguments;
        if (units > 0 && packetGetBytes(packet, offset, bytes, int32_t(units * 2))) {
            for (size_t i = 0; i < units; ++i)
                arguments += char16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
            offset -= int32_t(units * 2);
        }
        offset += byteCount;
        // A terminator inside the arguments ends them.
        arguments.resize(std::min(arguments.size(), arguments.find(u'\0')));
        if (configValues().runtimeDebugMessages) {
            PropertyEntry line { messageId, arguments };
            windowNotices().addSystemMessage(
                kPropertyDebugHue, kPropertyDebugFont, wideToUtf8String(formatLine(line, false).c_str()));
        }
        propertyListAddEntry(serial, revision, messageId, arguments);
    }
    propertyListReplyDone(serial);
}

void buildPropertyNameHtml(uint32_t serial, WString& out, bool centred, bool keepAmount)
{
    std::u16string html = centred ? u"<CENTER>" : u"";
    const PropertyList* list = propertyListFind(serial);
    if (list && !list->entries.empty()) {
        const PropertyEntry& first = list->entries.front();
        html += formatLine(first, !keepAmount && first.messageId == kStackNameMessage);
    } else if (WorldObject* object = findObjectBySerial(serial); object && !object->isMobile()) {
        if (object->isDynamic() && object->hasItemTile()) {
            const std::string_view name = getObjectName(static_cast<const StaticObject&>(*object));
            WString wide(std::string(name).c_str());
            wide.capitalizeWords();
            html += wide.c_str() ? wide.c_str() : u"";
        }
    }
    if (centred)
        html += u"</CENTER>";
    out.assign(html.c_str());
}

void buildPropertyLinesHtml(uint32_t serial, WString& out, bool centred, bool quiet)
{
    std::u16string html;
    const PropertyList* list = propertyListFind(serial);
    if (list && list->entries.size() >= 2) {
        if (centred)
            html += u"<CENTER>";
        const int32_t strength = service<PropertyListWindows>().playerStrength();
        for (size_t i = 1; i < list->entries.size(); ++i) {
            const PropertyEntry& entry = list->entries[i];
            if (i > 1)
                html += u"<BR>";
            std::u16string line = formatLine(entry, false);
            const bool tooWeak = entry.messageId == kStrengthRequirementMessage && strength >= 0
                && strength < wstrToInt(entry.arguments.c_str());
            if (tooWeak)
                line = u"<BASEFONT COLOR=#FF0000>" + line + u"<BASEFONT COLOR=#FFFFFF>";
            html += line;
        }
        if (centred)
            html += u"</CENTER>";
    } else if (!quiet) {
        html = centred ? u"<CENTER>No significant properties...</CENTER>" : u"No significant properties...";
    }
    out.assign(html.c_str());
}
