#include "net/traffic_meters.h"

#include "platform/clock.h"

ThroughputMeter::ThroughputMeter()
    : m_firstBucket(platform::clock().tickMs() / kBucketMs)
    , m_nextBucket(m_firstBucket)
{
}

void ThroughputMeter::add(uint32_t bytes)
{
    if (bytes == 0)
        return;
    uint32_t bucket = platform::clock().tickMs() / kBucketMs;
    // A clock that stepped back (or wrapped) is not counted.
    if (bucket < m_firstBucket)
        return;
    if (bucket >= m_nextBucket + kHistory) {
        m_counters.clear();
        m_firstBucket = m_nextBucket = bucket;
    }
    while (m_nextBucket <= bucket) {
        m_counters.push_back(0);
        ++m_nextBucket;
    }
    m_counters[bucket - m_firstBucket] += int32_t(bytes);
    while (m_nextBucket - m_firstBucket > kHistory) {
        m_counters.pop_front();
        ++m_firstBucket;
    }
}

int64_t ThroughputMeter::total() const
{
    int64_t sum = 0;
    for (int32_t count : m_counters)
        sum += count;
    return sum;
}

void PacketIdStats::add(uint32_t id, uint32_t length)
{
    Entry& entry = m_entries[id];
    entry.count += 1;
    entry.bytes += length;
}

void PacketSizeStats::add(uint32_t length)
{
    if (m_count == 0)
        m_firstTick = platform::clock().tickMs();
    m_count += 1;
    m_bytes += length;
}
