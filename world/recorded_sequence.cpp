#include "world/recorded_sequence.h"

#include "core/byte_cursor.h"
#include "core/byte_writer.h"
#include "world/mobile.h"
#include "world/world_services.h"

#include <array>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr uint32_t kHuedKeyOffset = kFirstHuedEffectKey;
// Record lengths of the plain effect keys 0..6; hued ones add 8.
constexpr std::array<size_t, 7> kEffectRecordLengths { 12, 10, 4, 17, 15, 15, 13 };
constexpr size_t kAnimationRecordLength = 16;
constexpr size_t kSoundRecordLength = 8;

struct RecordingState {
    bool active = false;
    RecordedSequence* current = nullptr;
    std::unordered_set<RecordedSequence*> live;
    // The sequence each animating mobile holds up.
    std::unordered_map<const Mobile*, RecordedSequence*> waiting;
};

RecordingState& recording()
{
    static RecordingState state;
    return state;
}

bool hasSourceMobile(EffectKind kind)
{
    return kind == EffectKind::FixedOnMobile || kind == EffectKind::Lightning
        || kind == EffectKind::MovingMobileToLocation || kind == EffectKind::MovingMobileToMobile;
}

bool hasTargetMobile(EffectKind kind)
{
    return kind == EffectKind::MovingLocationToMobile || kind == EffectKind::MovingMobileToMobile;
}

// Every mobile the call names is still in the world.
bool mobilesPresent(const EffectCall& call)
{
    if (hasSourceMobile(call.kind) && !findLiveMobile(call.sourceMobile))
        return false;
    return !hasTargetMobile(call.kind) || findLiveMobile(call.targetMobile);
}

} // namespace

namespace {

// The two directions of a record: each layout below names its fields once,
// and the writer or the reader walks them.
class RecordWriter {
public:
    void u8(const uint8_t& v) { m_out.u8(v); }
    void u16(const uint16_t& v) { m_out.u16(v); }
    void i16(const int16_t& v) { m_out.u16(uint16_t(v)); }
    void u32(const uint32_t& v) { m_out.u32(v); }
    void i32(const int32_t& v) { m_out.u32(uint32_t(v)); }
    std::vector<uint8_t> take() { return m_out.take(); }

private:
    ByteWriter m_out;
};

class RecordReader {
public:
    explicit RecordReader(std::span<const uint8_t> bytes)
        : m_in(bytes)
    {
    }
    void u8(uint8_t& v) { v = m_in.readU8(); }
    void u16(uint16_t& v) { v = m_in.readU16(); }
    void i16(int16_t& v) { v = m_in.readI16(); }
    void u32(uint32_t& v) { v = m_in.readU32(); }
    void i32(int32_t& v) { v = m_in.readI32(); }
    bool failed() const { return m_in.failed(); }

private:
    ByteCursor m_in;
};

// The fields of an effect record, in their order. Call is EffectCall or
// const EffectCall, to match the walker.
template <typename Walker, typename Call>
void effectFields(Walker& io, Call& call)
{
    auto location = [&io](auto& xy, auto& z) {
        io.u32(xy);
        io.i16(z);
    };
    auto movingTail = [&io, &call] {
        io.u8(call.speed);
        io.u8(call.fixedDirection);
        io.u8(call.explode);
    };
    auto fixedTail = [&io, &call] {
        io.u8(call.speed);
        io.u8(call.duration);
        io.u8(call.backward);
        io.u8(call.pingPong);
    };
    switch (call.kind) {
    case EffectKind::FixedAtLocation:
        location(call.sourceXY, call.sourceZ);
        io.u16(call.art);
        fixedTail();
        break;
    case EffectKind::FixedOnMobile:
        io.u32(call.sourceMobile);
        io.u16(call.art);
        fixedTail();
        break;
    case EffectKind::Lightning:
        io.u32(call.sourceMobile);
        break;
    case EffectKind::MovingLocationToLocation:
        io.u16(call.art);
        location(call.sourceXY, call.sourceZ);
        location(call.targetXY, call.targetZ);
        movingTail();
        break;
    case EffectKind::MovingLocationToMobile:
        io.u16(call.art);
        location(call.sourceXY, call.sourceZ);
        io.u32(call.targetMobile);
        movingTail();
        break;
    case EffectKind::MovingMobileToLocation:
        io.u16(call.art);
        io.u32(call.sourceMobile);
        location(call.targetXY, call.targetZ);
        movingTail();
        break;
    case EffectKind::MovingMobileToMobile:
        io.u16(call.art);
        io.u32(call.sourceMobile);
        io.u32(call.targetMobile);
        movingTail();
        break;
    }
    if (call.hued) {
        io.i32(call.hue);
        io.i32(call.renderMode);
    }
}

template <typename Walker, typename Animation>
void animationFields(Walker& io, Animation& animation)
{
    io.u32(animation.mobile);
    io.u16(animation.action);
    io.u16(animation.frameCount);
    io.u16(animation.delay);
    io.u16(animation.repeatCount);
    io.u16(animation.backward);
    io.u16(animation.pingPong);
}

template <typename Walker, typename Sound>
void soundFields(Walker& io, Sound& sound)
{
    io.u16(sound.id);
    io.u16(sound.x);
    io.u16(sound.y);
    io.u16(sound.z);
}

// Reads a record of exactly `length` bytes through `fields`.
template <typename Record, typename Fields>
std::optional<Record> readRecord(std::span<const uint8_t> bytes, size_t length, Record record, Fields fields)
{
    if (bytes.size() != length)
        return std::nullopt;
    RecordReader in(bytes);
    fields(in, record);
    if (in.failed())
        return std::nullopt;
    return record;
}

} // namespace

uint32_t effectRecordKey(const EffectCall& call)
{
    return uint32_t(call.kind) + (call.hued ? kHuedKeyOffset : 0);
}

std::vector<uint8_t> encodeEffectRecord(const EffectCall& call)
{
    RecordWriter out;
    effectFields(out, call);
    return out.take();
}

std::optional<EffectCall> decodeEffectRecord(uint32_t key, std::span<const uint8_t> bytes)
{
    bool hued = key >= kHuedKeyOffset;
    uint32_t base = hued ? key - kHuedKeyOffset : key;
    if (base >= kEffectRecordLengths.size())
        return std::nullopt;
    EffectCall call;
    call.kind = EffectKind(base);
    call.hued = hued;
    return readRecord(bytes, kEffectRecordLengths[base] + (hued ? 8 : 0), call,
        [](RecordReader& in, EffectCall& record) { effectFields(in, record); });
}

std::vector<uint8_t> encodeAnimationRecord(const RecordedAnimation& animation)
{
    RecordWriter out;
    animationFields(out, animation);
    return out.take();
}

std::optional<RecordedAnimation> decodeAnimationRecord(std::span<const uint8_t> bytes)
{
    return readRecord(bytes, kAnimationRecordLength, RecordedAnimation {},
        [](RecordReader& in, RecordedAnimation& record) { animationFields(in, record); });
}

std::vector<uint8_t> encodeSoundRecord(const RecordedSound& sound)
{
    RecordWriter out;
    soundFields(out, sound);
    return out.take();
}

std::optional<RecordedSound> decodeSoundRecord(std::span<const uint8_t> bytes)
{
    return readRecord(bytes, kSoundRecordLength, RecordedSound {},
        [](RecordReader& in, RecordedSound& record) { soundFields(in, record); });
}

RecordedSequence::RecordedSequence() { recording().live.insert(this); }

RecordedSequence::~RecordedSequence()
{
    RecordingState& state = recording();
    state.live.erase(this);
    if (state.current == this)
        state.current = nullptr;
    for (auto it = state.waiting.begin(); it != state.waiting.end();) {
        if (it->second == this)
            it = state.waiting.erase(it);
        else
            ++it;
    }
}

void RecordedSequence::append(uint32_t key, std::span<const uint8_t> bytes)
{
    // A server that starts a recording and never stops it must not grow the
    // client for ever: past the bound the oldest record goes, so a show that
    // is stopped at last plays its latest part. Records are only appended
    // before playback starts, so no current entry moves.
    if (m_entries.size() >= kMaxEntries)
        m_entries.pop_front();
    m_entries.push_back({ key, std::vector<uint8_t>(bytes.begin(), bytes.end()) });
}

bool RecordedSequence::moveToNext()
{
    if (m_current + 1 < m_entries.size()) {
        ++m_current;
        return true;
    }
    if (m_repeats <= 1) {
        delete this;
        return false;
    }
    --m_repeats;
    m_current = 0;
    return true;
}

void RecordedSequence::playOn(RecordedSequence* sequence)
{
    // A loop, not a recursion: sounds and skipped records move straight on,
    // as many times as entries and repetitions ask.
    while (sequence->playCurrent() == Played::Done) {
        if (!sequence->moveToNext())
            return;
    }
}

void RecordedSequence::advance()
{
    if (m_entries.empty()) {
        delete this;
        return;
    }
    if (moveToNext())
        playOn(this);
}

void RecordedSequence::start(uint8_t repeats)
{
    m_repeats = repeats;
    m_current = 0;
    if (m_entries.empty()) {
        delete this;
        return;
    }
    playOn(this);
}

RecordedSequence::Played RecordedSequence::playCurrent()
{
    const RecordedEntry& entry = m_entries[m_current];
    switch (entry.key) {
    case kRecordAnimation:
    case kRecordAnimationAlias: {
        std::optional<RecordedAnimation> animation = decodeAnimationRecord(entry.bytes);
        if (!animation)
            return Played::Stuck;
        Mobile* mobile = findLiveMobile(animation->mobile);
        if (!mobile)
            return Played::Done;
        mobile->removeFromGrid();
        mobile->animationRunning = 1;
        mobile->frame = 0;
        mobile->tickCounter = 0;
        mobile->action = animation->action;
        mobile->frameCount = animation->frameCount;
        mobile->delay = animation->delay;
        recording().waiting[mobile] = this;
        worldService<MobileAnimator>().registerAnimatingMobile(*mobile);
        return Played::Waiting;
    }
    case kRecordSound: {
        std::optional<RecordedSound> sound = decodeSoundRecord(entry.bytes);
        if (!sound)
            return Played::Stuck;
        // As the server's sound packet plays it: factor 1.0, no loop, no pitch jitter.
        worldService<WorldSounds>().playSoundAt(sound->id, sound->x, sound->y, sound->z, 1.0f, false, 0, false);
        return Played::Done;
    }
    default: {
        std::optional<EffectCall> call = decodeEffectRecord(entry.key, entry.bytes);
        if (!call)
            return Played::Stuck;
        if (!mobilesPresent(*call))
            return Played::Done;
        // An effect that could not be built would never end: the next
        // record plays at once.
        return worldService<EffectBuilder>().build(*call, this) ? Played::Waiting : Played::Done;
    }
    }
}

bool isLiveSequence(const RecordedSequence* sequence)
{
    return sequence && recording().live.count(const_cast<RecordedSequence*>(sequence)) != 0;
}

void deleteAllRecordedSequences()
{
    RecordingState& state = recording();
    std::vector<RecordedSequence*> all(state.live.begin(), state.live.end());
    for (RecordedSequence* sequence : all)
        delete sequence;
    state.active = false;
    state.current = nullptr;
    state.waiting.clear();
}

bool startEffectRecording()
{
    RecordingState& state = recording();
    if (state.active)
        return false;
    state.active = true;
    state.current = new RecordedSequence;
    return true;
}

bool stopEffectRecording(uint8_t repeats)
{
    RecordingState& state = recording();
    if (!state.active)
        return false;
    state.active = false;
    RecordedSequence* sequence = state.current;
    state.current = nullptr;
    if (sequence)
        sequence->start(repeats);
    return true;
}

bool isEffectRecordingActive() { return recording().active; }

RecordedSequence* currentRecordedSequence() { return recording().current; }

bool recordEffectCall(const EffectCall& call)
{
    RecordingState& state = recording();
    if (!state.active || !state.current)
        return false;
    state.current->append(effectRecordKey(call), encodeEffectRecord(call));
    return true;
}

bool recordMobileAnimation(const Mobile& mobile, int32_t action, int32_t frameCount, int32_t delay,
    int32_t repeatCount, bool backward, bool pingPong)
{
    RecordingState& state = recording();
    if (!state.active || !state.current)
        return false;
    RecordedAnimation animation { mobile.serial, uint16_t(action), uint16_t(frameCount), uint16_t(delay),
        uint16_t(repeatCount), uint16_t(backward ? 1 : 0), uint16_t(pingPong ? 1 : 0) };
    state.current->append(kRecordAnimation, encodeAnimationRecord(animation));
    return true;
}

bool recordPositionalSound(int32_t soundId, int32_t x, int32_t y, int32_t z)
{
    RecordingState& state = recording();
    if (!state.active || !state.current)
        return false;
    RecordedSound sound { uint16_t(soundId), uint16_t(x), uint16_t(y), uint16_t(z) };
    state.current->append(kRecordSound, encodeSoundRecord(sound));
    return true;
}

void advanceSequenceWaitingFor(const Mobile& mobile)
{
    RecordingState& state = recording();
    auto found = state.waiting.find(&mobile);
    if (found == state.waiting.end())
        return;
    RecordedSequence* sequence = found->second;
    state.waiting.erase(found);
    if (isLiveSequence(sequence))
        sequence->advance();
}

RecordedSequence* sequenceWaitingFor(const Mobile& mobile)
{
    auto found = recording().waiting.find(&mobile);
    return found == recording().waiting.end() ? nullptr : found->second;
}
