// Walks an arbitrary image the way the language readers do: the enclosing
// FORMs entered by their real type (taken from the image, so the type test is
// passed and the size checks behind it are reached), then every element at
// each level peeked, entered as a chunk and read field by field until the
// chunk runs dry, left with the used-up check. Nested FORMs are walked the
// same way. Every byte between the data pointer and the data end is touched,
// so a bound that lies is caught by the sanitizers.
#include "text/iff_reader.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr int kMaxDepth = 80; // past the first stack growth at 64
constexpr int kMaxElements = 256;

uint32_t typeAt(const IffReader& reader)
{
    const uint8_t* here = reader.dataPointer();
    if (reader.dataEnd() - here < 12)
        return 0;
    return (uint32_t(here[8]) << 24) | (uint32_t(here[9]) << 16) | (uint32_t(here[10]) << 8) | uint32_t(here[11]);
}

uint32_t touchPayload(const IffReader& reader)
{
    uint32_t sum = 0;
    for (const uint8_t* p = reader.dataPointer(); p < reader.dataEnd(); ++p)
        sum += *p;
    return sum;
}

void readChunk(IffReader& reader)
{
    char text[512];
    for (int field = 0; reader.remaining() > 0 && field < 64; ++field) {
        if (field % 2 == 0)
            reader.readString(text, sizeof text);
        else
            reader.readInt32(field % 4 == 1);
    }
    reader.readInt32(false); // one read too many: must fail quietly
    reader.readString(text, sizeof text);
}

void walk(IffReader& reader, int depth, int& elements)
{
    while (!reader.atEnd() && elements++ < kMaxElements) {
        uint32_t tag = reader.peekTag();
        if (tag == 0)
            return;
        if (reader.isFormAt(0) && depth < kMaxDepth) {
            uint32_t type = typeAt(reader);
            // A wrong type must fail and change nothing.
            size_t before = reader.cursorOffset();
            if (reader.enterForm(type ^ 1) || reader.cursorOffset() != before)
                __builtin_trap();
            if (!reader.enterForm(type))
                return;
            walk(reader, depth + 1, elements);
            reader.exitForm(type);
            continue;
        }
        if (!reader.enterChunk(tag))
            return;
        touchPayload(reader);
        readChunk(reader);
        reader.exitChunk(tag, true);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    IffReader reader(data, size);
    reader.setFileName("fuzz.iff");
    int elements = 0;
    // Both ways the readers start: by the known form types, and by whatever
    // form type the image names.
    if (reader.enterForm(iffTag("DATA"))) {
        if (reader.enterForm(iffTag("LANG"))) {
            walk(reader, 2, elements);
            reader.exitForm(iffTag("LANG"));
        }
        reader.exitForm(iffTag("DATA"));
    }
    IffReader generic(data, size);
    if (generic.isFormAt(0) && generic.enterForm(typeAt(generic))) {
        walk(generic, 1, elements);
        generic.exitForm(0);
    }
    generic.remaining();
    generic.atEnd();
    generic.exitChunk(0, true); // no level open
    return 0;
}
