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

uint32_t effectRecordKey(const EffectCall& call)
{
    return uint32_t(call.kind) + (call.hued ? kHuedKeyOffset : 0);
}

std::vector<uint8_t> encodeEffectRecord(const EffectCall& call)
{
    ByteWriter out;
    auto moving = [&](bool sourceIsMobile, bool targetIsMobile) {
        out.u16(call.art);
        if (sourceIsMobile) {
            out.u32(call.sourceMobile);
        } else {
            out.u32(call.sourceXY);
            out.u16(uint16_t(call.sourceZ));
        }
        if (targetIsMobile) {
            out.u32(call.targetMobile);
        } else {
            out.u32(call.targetXY);
            out.u16(uint16_t(call.targetZ));
        }
        out.u8(call.speed);
        out.u8(call.fixedDirection);
        out.u8(call.explode);
    };
    auto fixedTail = [&] {
        out.u8(call.speed);
        out.u8(call.duration);
        out.u8(call.backward);
        out.u8(call.pingPong);
    };
    switch (call.kind) {
    case EffectKind::FixedAtLocation:
        out.u32(call.sourceXY);
        out.u16(uint16_t(call.sourceZ));
        out.u16(call.art);
        fixedTail();
        break;
    case EffectKind::FixedOnMobile:
        out.u32(call.sourceMobile);
        out.u16(call.art);
        fixedTail();
        break;
    case EffectKind::Lightning:
        out.u32(call.sourceMobile);
        break;
    case EffectKind::MovingLocationToLocation:
        moving(false, false);
        break;
    case EffectKind::MovingLocationToMobile:
        moving(false, true);
        break;
    case EffectKind::MovingMobileToLocation:
        moving(true, false);
        break;
    case EffectKind::MovingMobileToMobile:
        moving(true, true);
        break;
    }
    if (call.hued) {
        out.u32(uint32_t(call.hue));
        out.u32(uint32_t(call.renderMode));
    }
    return out.take();
}

std::optional<EffectCall> decodeEffectRecord(uint32_t key, std::span<const uint8_t> bytes)
{
    bool hued = key >= kHuedKeyOffset;
    uint32_t base = hued ? key - kHuedKeyOffset : key;
    if (base >= kEffectRecordLengths.size())
        return std::nullopt;
    if (bytes.size() != kEffectRecordLengths[base] + (hued ? 8 : 0))
        return std::nullopt;
    EffectCall call;
    call.kind = EffectKind(base);
    call.hued = hued;
    ByteCursor in(bytes);
    auto moving = [&](bool sourceIsMobile, bool targetIsMobile) {
        call.art = in.readU16();
        if (sourceIsMobile) {
            call.sourceMobile = in.readU32();
        } else {
            call.sourceXY = in.readU32();
            call.sourceZ = in.readI16();
        }
        if (targetIsMobile) {
            call.targetMobile = in.readU32();
        } else {
            call.targetXY = in.readU32();
            call.targetZ = in.readI16();
        }
        call.speed = in.readU8();
        call.fixedDirection = in.readU8();
        call.explode = in.readU8();
    };
    auto fixedTail = [&] {
        call.speed = in.readU8();
        call.duration = in.readU8();
        call.backward = in.readU8();
        call.pingPong = in.readU8();
    };
    switch (call.kind) {
    case EffectKind::FixedAtLocation:
        call.sourceXY = in.readU32();
        call.sourceZ = in.readI16();
        call.art = in.readU16();
        fixedTail();
        break;
    case EffectKind::FixedOnMobile:
        call.sourceMobile = in.readU32();
        call.art = in.readU16();
        fixedTail();
        break;
    case EffectKind::Lightning:
        call.sourceMobile = in.readU32();
        break;
    case EffectKind::MovingLocationToLocation:
        moving(false, false);
        break;
    case EffectKind::MovingLocationToMobile:
        moving(false, true);
        break;
    case EffectKind::MovingMobileToLocation:
        moving(true, false);
        break;
    case EffectKind::MovingMobileToMobile:
        moving(true, true);
        break;
    }
    if (hued) {
        call.hue = in.readI32();
        call.renderMode = in.readI32();
    }
    if (in.failed())
        return std::nullopt;
    return call;
}

std::vector<uint8_t> encodeAnimationRecord(const RecordedAnimation& animation)
{
    ByteWriter out;
    out.u32(animation.mobile);
    out.u16(animation.action);
    out.u16(animation.frameCount);
    out.u16(animation.delay);
    out.u16(animation.repeatCount);
    out.u16(animation.backward);
    out.u16(animation.pingPong);
    return out.take();
}

std::optional<RecordedAnimation> decodeAnimationRecord(std::span<const uint8_t> bytes)
{
    if (bytes.size() != kAnimationRecordLength)
        return std::nullopt;
    ByteCursor in(bytes);
    RecordedAnimation animation;
    animation.mobile = in.readU32();
    animation.action = in.readU16();
    animation.frameCount = in.readU16();
    animation.delay = in.readU16();
    animation.repeatCount = in.readU16();
    animation.backward = in.readU16();
    animation.pingPong = in.readU16();
    return animation;
}

std::vector<uint8_t> encodeSoundRecord(const RecordedSound& sound)
{
    ByteWriter out;
    out.u16(sound.id);
    out.u16(sound.x);
    out.u16(sound.y);
    out.u16(sound.z);
    return out.take();
}

std::optional<RecordedSound> decodeSoundRecord(std::span<const uint8_t> bytes)
{
    if (bytes.size() != kSoundRecordLength)
        return std::nullopt;
    ByteCursor in(bytes);
    RecordedSound sound;
    sound.id = in.readU16();
    sound.x = in.readU16();
    sound.y = in.readU16();
    sound.z = in.readU16();
    return sound;
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
        worldService<WorldSounds>().playSoundAt(sound->id, sound->x, sound->y, sound->z);
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
