// Loads arbitrary bytes as "animdata.mul" and steps the records they give,
// then reads every frame of the bytes taken as one animation record.
#include "gfx/animation_frame.h"
#include "world/anim_data.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

void stepTable(std::span<const uint8_t> bytes)
{
    static std::unique_ptr<AnimDataTable> table;
    table = std::make_unique<AnimDataTable>();
    table->load(bytes);
    for (int update = 0; update < 70; ++update) {
        table->beginUpdate();
        for (int32_t graphic : { -1, 0, 1, 7, 8, 15, 16383, 16384 }) {
            int8_t offset = 0;
            table->stepObject(graphic, offset);
            const AnimDataRecord& record = table->record(graphic);
            if (record.frameCount > AnimDataRecord::kMaxFrames || record.currentFrame >= AnimDataRecord::kMaxFrames)
                abort();
        }
    }
}

void readFrames(std::span<const uint8_t> record)
{
    for (int32_t frame = -1; frame < 80; ++frame) {
        std::optional<AnimationFrameRecord> read = readAnimationFrame(record, 5, frame);
        if (!read)
            continue;
        if (frame >= read->frameCount)
            abort();
        // The runs lie inside the record and reach their end mark.
        const uint8_t* begin = read->pixelData.data();
        if (begin < record.data() || begin + read->pixelData.size() > record.data() + record.size()
            || measureFrameRuns(read->pixelData) != read->pixelData.size())
            abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    stepTable({ data, size });
    readFrames({ data, size });
    // The same bytes behind a palette and a count of their own, so that the
    // offsets and frames come from the input more often.
    std::vector<uint8_t> record(512, 0x11);
    record.push_back(size > 0 ? data[0] % 80 : 0);
    record.push_back(0);
    record.push_back(0);
    record.push_back(0);
    record.insert(record.end(), data, data + size);
    readFrames(record);
    return 0;
}
