#include "platform/media/midi_programs.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace platform {

namespace {

// Bank selects and program changes kept from one file: a real piece has a
// few dozen; what a damaged or hostile file has past this is not looked at.
constexpr size_t kMaxProgramEvents = 65536;

// When an event happens: its tick, then its place in the file, which orders
// the events of one tick as the player meets them (track after track).
struct EventTime {
    uint64_t tick = 0;
    uint64_t order = 0;
    bool operator<(const EventTime& other) const
    {
        return tick != other.tick ? tick < other.tick : order < other.order;
    }
};

struct ProgramEvent {
    EventTime time;
    uint8_t channel = 0;
    bool isBankSelect = false;
    uint8_t value = 0;
};

class MidiReader {
public:
    explicit MidiReader(std::span<const uint8_t> bytes)
        : m_bytes(bytes)
    {
    }

    bool atEnd() const { return m_at >= m_bytes.size(); }
    size_t remaining() const { return m_bytes.size() - m_at; }
    std::optional<uint8_t> byte()
    {
        if (atEnd())
            return std::nullopt;
        return m_bytes[m_at++];
    }
    std::optional<uint8_t> peek() const
    {
        if (atEnd())
            return std::nullopt;
        return m_bytes[m_at];
    }
    std::optional<uint32_t> bigEndian32()
    {
        if (remaining() < 4)
            return std::nullopt;
        const uint8_t* p = m_bytes.data() + m_at;
        m_at += 4;
        return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
    }
    // A variable-length quantity: at most four bytes of seven bits.
    std::optional<uint32_t> quantity()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            std::optional<uint8_t> next = byte();
            if (!next)
                return std::nullopt;
            value = (value << 7) | (*next & 0x7F);
            if (!(*next & 0x80))
                return value;
        }
        return std::nullopt;
    }
    bool skip(size_t count)
    {
        if (count > remaining())
            return false;
        m_at += count;
        return true;
    }
    bool matches(const char (&tag)[5])
    {
        if (remaining() < 4 || std::memcmp(m_bytes.data() + m_at, tag, 4) != 0)
            return false;
        m_at += 4;
        return true;
    }
    std::span<const uint8_t> take(size_t count)
    {
        count = std::min(count, remaining());
        std::span<const uint8_t> part = m_bytes.subspan(m_at, count);
        m_at += count;
        return part;
    }

private:
    std::span<const uint8_t> m_bytes;
    size_t m_at = 0;
};

struct ScanState {
    std::vector<ProgramEvent> events;
    std::array<std::optional<EventTime>, 16> firstNote;
    uint64_t order = 0;
};

void noteEvent(ScanState& state, const ProgramEvent& event)
{
    if (state.events.size() < kMaxProgramEvents)
        state.events.push_back(event);
}

// One track's events until its end, its end-of-track event or damage.
void scanTrack(std::span<const uint8_t> track, ScanState& state)
{
    MidiReader reader(track);
    uint64_t tick = 0;
    uint8_t running = 0;
    while (!reader.atEnd()) {
        std::optional<uint32_t> delta = reader.quantity();
        std::optional<uint8_t> first = reader.peek();
        if (!delta || !first)
            return;
        tick += *delta;
        uint8_t status = running;
        if (*first & 0x80) {
            status = *first;
            reader.skip(1);
        }
        if (status == 0xFF) {
            std::optional<uint8_t> type = reader.byte();
            std::optional<uint32_t> length = reader.quantity();
            if (!type || !length || *type == 0x2F || !reader.skip(*length))
                return;
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            std::optional<uint32_t> length = reader.quantity();
            if (!length || !reader.skip(*length))
                return;
            continue;
        }
        // Running status goes on past meta and system-exclusive events, as
        // players read files. Data bytes with no status before them, or a
        // system message that has no place in a file: the track cannot be
        // read on.
        if (status < 0x80 || status >= 0xF0)
            return;
        running = status;
        const uint8_t kind = status & 0xF0;
        const uint8_t channel = status & 0x0F;
        std::optional<uint8_t> data1 = reader.byte();
        std::optional<uint8_t> data2 = uint8_t(0);
        if (kind != 0xC0 && kind != 0xD0)
            data2 = reader.byte();
        if (!data1 || !data2)
            return;
        const EventTime time { tick, state.order++ };
        if (kind == 0xC0) {
            noteEvent(state, { time, channel, false, uint8_t(*data1 & 0x7F) });
        } else if (kind == 0xB0 && *data1 == 0) {
            noteEvent(state, { time, channel, true, uint8_t(*data2 & 0x7F) });
        } else if (kind == 0x90 && *data2 != 0) {
            std::optional<EventTime>& note = state.firstNote[channel];
            if (!note || time < *note)
                note = time;
        }
    }
}

} // namespace

MidiProgramUse scanMidiPrograms(std::span<const uint8_t> file)
{
    MidiProgramUse use;
    MidiReader reader(file);
    std::optional<uint32_t> headerLength;
    if (!reader.matches("MThd") || !(headerLength = reader.bigEndian32()) || !reader.skip(*headerLength))
        return use;
    ScanState state;
    while (!reader.atEnd()) {
        const bool isTrack = reader.matches("MTrk");
        if (!isTrack && !reader.skip(4))
            break;
        std::optional<uint32_t> length = reader.bigEndian32();
        if (!length)
            break;
        std::span<const uint8_t> chunk = reader.take(*length);
        if (isTrack)
            scanTrack(chunk, state);
    }

    std::stable_sort(state.events.begin(), state.events.end(),
        [](const ProgramEvent& a, const ProgramEvent& b) { return a.time < b.time; });
    std::array<uint8_t, 16> bank {};
    std::array<std::optional<EventTime>, 16> firstChange;
    std::vector<bool> seen(16 * 128 * 128);
    for (const ProgramEvent& event : state.events) {
        if (event.isBankSelect) {
            bank[event.channel] = event.value;
            continue;
        }
        if (!firstChange[event.channel])
            firstChange[event.channel] = event.time;
        const MidiProgramChange change { event.channel, bank[event.channel], event.value };
        const size_t key = (size_t(change.channel) * 128 + change.bank) * 128 + change.program;
        if (!seen[key]) {
            seen[key] = true;
            use.changes.push_back(change);
        }
    }
    for (size_t channel = 0; channel < 16; ++channel) {
        const std::optional<EventTime>& note = state.firstNote[channel];
        use.soundsBeforeProgramChange[channel] = note && (!firstChange[channel] || *note < *firstChange[channel]);
    }
    return use;
}

} // namespace platform
