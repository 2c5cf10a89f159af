#pragma once
// Recorded effect sequences: while the server has recording on, the effect
// factories, the server's mobile animations and positional sounds append keyed byte
// records to the current sequence instead of acting. When recording stops the
// records are played back one after another: an effect's successor starts
// when its missile gump is destroyed, an animation's when the animation
// stops, and sounds play at once; after the last record the sequence starts
// over until its repeat count is used up, then deletes itself. Records that
// name a mobile no longer in the world are skipped. A sequence made only of
// sounds and skipped records plays through in one call, in a loop.
// Records are packed little-endian byte strings; mobiles are kept as serials.
// Main thread only.

#include "world/effect_calls.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

class Mobile;

// Record keys beyond the effects (0..6 plain, 9..15 hued).
inline constexpr uint32_t kRecordAnimation = 7;
inline constexpr uint32_t kRecordSound = 8;
inline constexpr uint32_t kRecordAnimationAlias = 16;
inline constexpr uint32_t kFirstHuedEffectKey = 9;

struct RecordedAnimation {
    uint32_t mobile = 0;
    uint16_t action = 0;
    uint16_t frameCount = 0;
    uint16_t delay = 0;
    uint16_t repeatCount = 0;
    uint16_t backward = 0;
    uint16_t pingPong = 0;
};

struct RecordedSound {
    uint16_t id = 0;
    uint16_t x = 0;
    uint16_t y = 0;
    uint16_t z = 0;
};

// The record of an effect call: its key and bytes.
uint32_t effectRecordKey(const EffectCall& call);
std::vector<uint8_t> encodeEffectRecord(const EffectCall& call);
// The call a record of key 0..6 or 9..15 holds; nothing for other keys or a
// record of the wrong length.
std::optional<EffectCall> decodeEffectRecord(uint32_t key, std::span<const uint8_t> bytes);
std::vector<uint8_t> encodeAnimationRecord(const RecordedAnimation& animation);
std::optional<RecordedAnimation> decodeAnimationRecord(std::span<const uint8_t> bytes);
std::vector<uint8_t> encodeSoundRecord(const RecordedSound& sound);
std::optional<RecordedSound> decodeSoundRecord(std::span<const uint8_t> bytes);

struct RecordedEntry {
    uint32_t key = 0;
    std::vector<uint8_t> bytes;
};

class RecordedSequence {
public:
    RecordedSequence();
    virtual ~RecordedSequence();
    RecordedSequence(const RecordedSequence&) = delete;
    RecordedSequence& operator=(const RecordedSequence&) = delete;

    // At most kMaxEntries are kept: past them the oldest record is dropped.
    static constexpr size_t kMaxEntries = 1024;

    void append(uint32_t key, std::span<const uint8_t> bytes);
    // The current entry's effect or animation has ended: the next entry
    // plays (or the first, for the next repetition). May delete the sequence.
    void advance();
    // Plays from the first entry `repeats` times; an empty sequence, or one
    // that runs through at once, deletes itself.
    void start(uint8_t repeats);

    size_t entryCount() const { return m_entries.size(); }
    size_t currentIndex() const { return m_current; }
    uint8_t repeatCount() const { return m_repeats; }

private:
    enum class Played {
        // An effect or animation now runs; its end advances the sequence.
        Waiting,
        // A sound, or a skipped record: the next one plays at once.
        Done,
        // A key that does nothing: the sequence stays where it is.
        Stuck,
    };
    Played playCurrent();
    // Steps to the next entry; false when that deleted the sequence.
    bool moveToNext();
    // Plays entries until one waits; may delete the sequence.
    static void playOn(RecordedSequence* sequence);

    std::deque<RecordedEntry> m_entries;
    size_t m_current = 0;
    uint8_t m_repeats = 0;
};

// Whether a pointer names a sequence that still exists.
bool isLiveSequence(const RecordedSequence* sequence);
// Deletes every sequence still alive (exit and session end).
void deleteAllRecordedSequences();

// The sequence packet's two operations. Start: false (nothing changes) when
// recording is already on. Stop: false when it is not; else the current
// sequence plays `repeats` (1..255) times.
bool startEffectRecording();
bool stopEffectRecording(uint8_t repeats);
bool isEffectRecordingActive();
RecordedSequence* currentRecordedSequence();

// The recorders: while recording is on they append the call and answer true
// (the caller then does nothing else); otherwise false.
bool recordEffectCall(const EffectCall& call);
// Only the animations the server starts are recorded; the client's own
// (idle actions, a death) play as they come.
bool recordMobileAnimation(const Mobile& mobile, int32_t action, int32_t frameCount, int32_t delay,
    int32_t repeatCount, bool backward, bool pingPong);
bool recordPositionalSound(int32_t soundId, int32_t x, int32_t y, int32_t z);

// The mobile's animation ended (or the mobile is going): a sequence waiting
// for it continues.
void advanceSequenceWaitingFor(const Mobile& mobile);
// The sequence a mobile's animation holds up, or null.
RecordedSequence* sequenceWaitingFor(const Mobile& mobile);
