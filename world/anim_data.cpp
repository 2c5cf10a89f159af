#include "world/anim_data.h"

#include "core/byte_cursor.h"
#include "data/client_file_path.h"

#include <memory>
#include <vector>

AnimDataTable::AnimDataTable() = default;

bool AnimDataTable::load(std::span<const uint8_t> bytes)
{
    ByteCursor cursor(bytes);
    for (int32_t group = 0; group < kRecordCount / 8; ++group) {
        std::array<AnimDataRecord, 8> read;
        cursor.skip(4);
        for (AnimDataRecord& r : read) {
            for (int8_t& offset : r.frameOffsets)
                offset = cursor.readI8();
            r.currentFrame = cursor.readU8();
            r.frameCount = cursor.readU8();
            r.interval = cursor.readU8();
            r.startDelay = cursor.readU8();
            // The bytes come from a file: keep frame numbers inside the offsets.
            if (r.frameCount > AnimDataRecord::kMaxFrames)
                r.frameCount = AnimDataRecord::kMaxFrames;
            if (r.currentFrame >= AnimDataRecord::kMaxFrames)
                r.currentFrame = 0;
        }
        if (cursor.failed())
            return false;
        for (int32_t i = 0; i < 8; ++i)
            m_records[group * 8 + i] = read[i];
    }
    return true;
}

const AnimDataRecord& AnimDataTable::record(int32_t graphic) const
{
    static const AnimDataRecord empty;
    return graphic >= 0 && graphic < kRecordCount ? m_records[graphic] : empty;
}

bool AnimDataTable::stepObject(int32_t graphic, int8_t& graphicOffset)
{
    if (graphic < 0 || graphic >= kRecordCount)
        return false;
    AnimDataRecord& r = m_records[graphic];
    if (r.interval == 0 || (r.startDelay + m_updateCounter) % r.interval != 0)
        return false;
    if (r.lastAdvanceTick != m_updateCounter) {
        ++r.currentFrame;
        if (r.currentFrame >= r.frameCount)
            r.currentFrame = 0;
        r.lastAdvanceTick = m_updateCounter;
    }
    graphicOffset = r.frameOffsets[r.currentFrame];
    return true;
}

AnimDataTable& animDataTable()
{
    static const std::unique_ptr<AnimDataTable> table = std::make_unique<AnimDataTable>();
    return *table;
}

bool loadAnimData()
{
    std::vector<uint8_t> bytes;
    readOptionalStartupFile("animdata.mul", bytes);
    return animDataTable().load(bytes);
}
