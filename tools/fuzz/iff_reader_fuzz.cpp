// Walks every element of an arbitrary image the way the string-file readers do.
#include "text/iff_reader.h"

#include <cstddef>
#include <cstdint>

namespace {

void walk(IffReader& reader, int depth)
{
    char text[64];
    while (!reader.atEnd() && depth < 16) {
        uint32_t tag = reader.peekTag();
        if (tag == iffTag("FORM")) {
            if (!reader.enterForm(0))
                return;
            walk(reader, depth + 1);
            reader.exitForm(0);
        } else {
            if (!reader.enterChunk(tag))
                return;
            reader.readString(text, sizeof text);
            reader.readInt32(true);
            reader.exitChunk(tag, false);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    IffReader reader(data, size);
    walk(reader, 0);
    return 0;
}
