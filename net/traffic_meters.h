#pragma once
// Traffic statistics of a connection, one set per direction. They are kept for
// inspection only; nothing in the client decides anything from them. Main
// thread only; times come from the process-wide clock.

#include <cstdint>
#include <deque>
#include <map>

// Bytes per one-second bucket over the last 60 seconds.
class ThroughputMeter {
public:
    static constexpr uint32_t kBucketMs = 1000;
    static constexpr uint32_t kHistory = 60;

    ThroughputMeter();
    void add(uint32_t bytes);

    uint32_t firstBucket() const { return m_firstBucket; }
    uint32_t nextBucket() const { return m_nextBucket; }
    const std::deque<int32_t>& counters() const { return m_counters; }
    // Sum of the kept buckets.
    int64_t total() const;

private:
    uint32_t m_firstBucket;
    uint32_t m_nextBucket;
    std::deque<int32_t> m_counters;
};

// Packet count and bytes per packet id.
class PacketIdStats {
public:
    struct Entry {
        uint32_t count { 0 };
        uint32_t bytes { 0 };
    };
    void add(uint32_t id, uint32_t length);
    const std::map<uint32_t, Entry>& entries() const { return m_entries; }

private:
    std::map<uint32_t, Entry> m_entries;
};

// Packet count and bytes since the first packet.
class PacketSizeStats {
public:
    void add(uint32_t length);
    uint32_t firstTick() const { return m_firstTick; }
    uint32_t count() const { return m_count; }
    uint32_t bytes() const { return m_bytes; }

private:
    uint32_t m_firstTick { 0 };
    uint32_t m_count { 0 };
    uint32_t m_bytes { 0 };
};
