// Decodes arbitrary bytes as every record key of the recorded effect
// sequences: a record either is refused or encodes back to the same bytes.
#include "world/recorded_sequence.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::span<const uint8_t> bytes(data, size);
    for (uint32_t key = 0; key <= 17; ++key) {
        if (std::optional<EffectCall> call = decodeEffectRecord(key, bytes)) {
            if (effectRecordKey(*call) != key)
                abort();
            std::vector<uint8_t> again = encodeEffectRecord(*call);
            if (again.size() != size || !std::equal(again.begin(), again.end(), data))
                abort();
        }
    }
    if (std::optional<RecordedAnimation> animation = decodeAnimationRecord(bytes)) {
        if (encodeAnimationRecord(*animation) != std::vector<uint8_t>(data, data + size))
            abort();
    }
    if (std::optional<RecordedSound> sound = decodeSoundRecord(bytes)) {
        if (encodeSoundRecord(*sound) != std::vector<uint8_t>(data, data + size))
            abort();
    }
    return 0;
}
