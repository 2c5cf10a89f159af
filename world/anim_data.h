#pragma once
// "animdata.mul": the frame sequences of animated statics and items (fire,
// water wheels, signs), indexed by item graphic, and their stepping once per
// world update. Every object of one graphic shares its record, so the record
// advances at most once per update however many objects show it. Main thread.

#include <array>
#include <cstdint>
#include <span>

struct AnimDataRecord {
    static constexpr int32_t kMaxFrames = 64;
    // Added to the graphic for each frame.
    std::array<int8_t, kMaxFrames> frameOffsets {};
    uint8_t currentFrame = 0;
    uint8_t frameCount = 0;
    // Updates between frame changes.
    uint8_t interval = 8;
    // Added to the update counter before the interval test.
    uint8_t startDelay = 0;
    // The update at which currentFrame last advanced.
    uint32_t lastAdvanceTick = 0;
};

class AnimDataTable {
public:
    static constexpr int32_t kRecordCount = 16384;
    static constexpr size_t kRecordBytes = 68;
    static constexpr size_t kFileBytes = kRecordCount / 8 * (4 + 8 * kRecordBytes);

    AnimDataTable();

    // Reads whole groups of 8 records up to the first one the bytes do not
    // complete; false when that happened before the end of the table. Frame
    // counts and current frames are kept within the 64 offsets a record has.
    bool load(std::span<const uint8_t> bytes);

    // Graphics outside the table read an empty record.
    const AnimDataRecord& record(int32_t graphic) const;

    // Starts the next world update.
    void beginUpdate() { ++m_updateCounter; }
    uint32_t updateCounter() const { return m_updateCounter; }
    // For one visible animated object of `graphic`: false when it is not due in
    // this update. When it is, the record has advanced (once per update) and
    // `graphicOffset` is the object's new offset; the caller takes the object
    // out of the cell grid and puts it back around setting it.
    bool stepObject(int32_t graphic, int8_t& graphicOffset);

private:
    std::array<AnimDataRecord, kRecordCount> m_records;
    uint32_t m_updateCounter = 0;
};

AnimDataTable& animDataTable();
// Start-up: reads "animdata.mul" through the file manager into animDataTable().
bool loadAnimData();
