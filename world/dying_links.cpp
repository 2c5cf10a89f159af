#include "world/dying_links.h"

#include "world/container_item.h"
#include "world/mobile.h"
#include "world/object_manager.h"

namespace {

std::vector<DyingLink>& links()
{
    static std::vector<DyingLink> records;
    return records;
}

} // namespace

const std::vector<DyingLink>& dyingLinks() { return links(); }

void clearDyingLinks() { links().clear(); }

int32_t addDyingLink(uint32_t corpseSerial, uint32_t mobileSerial, int32_t direction, int32_t fallForward)
{
    std::vector<DyingLink>& records = links();
    for (size_t index = 0; index < records.size(); ++index) {
        if (records[index].corpseSerial == corpseSerial)
            return int32_t(index);
    }
    records.push_back({ corpseSerial, mobileSerial, direction, fallForward });
    return int32_t(records.size());
}

Corpse* findCorpseOfDying(uint32_t mobileSerial)
{
    for (const DyingLink& link : links()) {
        if (link.mobileSerial != mobileSerial)
            continue;
        Item* corpse = findItemBySerial(link.corpseSerial);
        return corpse && corpse->isCorpse() ? static_cast<Corpse*>(corpse) : nullptr;
    }
    return nullptr;
}

bool hasDyingLink(uint32_t corpseSerial, uint32_t mobileSerial)
{
    for (const DyingLink& link : links()) {
        if (link.corpseSerial == corpseSerial || link.mobileSerial == mobileSerial)
            return true;
    }
    return false;
}

bool isTrackedMobile(uint32_t mobileSerial)
{
    for (const DyingLink& link : links()) {
        if (link.mobileSerial == mobileSerial)
            return true;
    }
    return false;
}

void removeDyingLinks(uint32_t corpseSerial, uint32_t mobileSerial, bool keepObject)
{
    std::vector<DyingLink>& records = links();
    uint32_t lastMobile = 0;
    bool removedAny = false;
    for (size_t index = 0; index < records.size();) {
        DyingLink link = records[index];
        if (link.corpseSerial != corpseSerial && link.mobileSerial != mobileSerial) {
            ++index;
            continue;
        }
        records.erase(records.begin() + ptrdiff_t(index));
        removedAny = true;
        lastMobile = link.mobileSerial;
        Item* corpse = findItemBySerial(link.corpseSerial);
        if (corpse && corpse->isCorpse()) {
            // The corpse lies as the mobile fell.
            corpse->direction = uint8_t((link.fallForward ? 0 : 0x80) | (link.direction & 7));
            if (corpse->isPlaced())
                corpse->place();
        }
    }
    if (keepObject || !removedAny)
        return;
    // Only the dying mobile itself goes: never the player, even when a
    // server gave it a serial a dying mobile now carries.
    for (Mobile* mobile = mobileList().head(); mobile; mobile = MobileList::next(mobile)) {
        if (mobile->serial == lastMobile && mobile->dying && !mobile->isPlayer()) {
            mobile->destroy();
            return;
        }
    }
}
