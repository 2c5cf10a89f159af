#include "protocol/property_revisions.h"

#include "data/settings_registry.h"
#include "gump/property_cache.h"
#include "protocol/protocol_services.h"

namespace {

constexpr int32_t kSingleClickPropsMode = 3;
constexpr int32_t kBatchRequestForm = 1;

class CacheRevisions final : public PropertyListRevisions {
public:
    void revisionAnnounced(uint32_t serial, uint32_t revision) override
    {
        setPropertyRequestForm(kBatchRequestForm);
        refreshStalePropertyList(serial, revision);
    }
};

} // namespace

void refreshStalePropertyList(uint32_t serial, uint32_t revision)
{
    if (!propertyListIsStale(serial, revision))
        return;
    if (itemPropsModeFor(settings().getStringSetting(u"ItemPropsMode")) == kSingleClickPropsMode)
        propertyListRequest(serial);
    else
        propertyListQueueRequest(serial);
}

PropertyListRevisions* propertyCacheRevisions()
{
    static CacheRevisions revisions;
    return &revisions;
}
