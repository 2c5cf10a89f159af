// Loads the cursors from arbitrary images: the input gives each of the 39
// cursor art ids a small image (or none) with arbitrary pixels, a combat tint
// and the pixel format. The hotspot scan must stay inside each image, the
// kind sizes must cover every image of the kind, and drawing the pointer into
// a small ring buffer at an arbitrary place and ring start, then taking it
// out, must leave the ring exactly as it was.
#include "app/pointer.h"
#include "fuzz_byte_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <vector>

namespace {

class FuzzArt final : public CursorArtSource {
public:
    bool cursorArt(int32_t artId, CursorArt& art) override
    {
        auto found = images.find(artId);
        if (found == images.end())
            return false;
        art = found->second;
        return true;
    }
    std::map<int32_t, CursorArt> images;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzByteReader in(data, size);
    FuzzArt source;
    uint16_t combatHue = in.u16();
    bool use565 = in.u8() & 1;
    for (int i = 0; i < kCursorImageCount; ++i) {
        uint8_t shape = in.u8();
        if (!(shape & 0x80))
            continue;
        CursorArt art;
        art.width = shape & 0x0F;
        art.height = (shape >> 4) & 0x07;
        art.pixels.resize(size_t(art.width) * size_t(art.height));
        // Pixels are drawn from a few values so that the marker and
        // transparent pixels are common.
        for (uint16_t& pixel : art.pixels) {
            uint8_t pick = in.u8();
            pixel = (pick & 3) == 0 ? 0 : (pick & 3) == 1 ? kHotspotMarker : uint16_t(pick * 0x0101);
        }
        source.images[kFirstCursorArt + i] = art;
    }

    initPointerState();
    loadCursors(source, combatHue, use565);
    for (int kind = 0; kind < kCursorKindCount; ++kind) {
        const CursorKindRow& row = cursorKindRow(kind);
        for (int32_t id = row.firstArt; id <= row.lastArt; ++id) {
            auto found = source.images.find(id);
            if (found == source.images.end() || found->second.width <= 0 || found->second.height <= 0)
                continue;
            if (!row.loaded || row.maxWidth < found->second.width || row.maxHeight < found->second.height)
                std::abort();
        }
        if (row.loaded && (row.hotspotX >= row.maxWidth || row.hotspotY >= row.maxHeight))
            std::abort();
    }

    int32_t width = 1 + in.u8() % 24;
    int32_t height = 1 + in.u8() % 24;
    int64_t ringSize = int64_t(width) * height;
    int64_t ringStart = in.u16() % ringSize;
    std::vector<uint16_t> ring(static_cast<size_t>(ringSize));
    for (size_t i = 0; i < ring.size(); ++i)
        ring[i] = uint16_t(i * 7 + 1);
    std::vector<uint16_t> before = ring;
    setPointerGameArea(0, 0, width, height);
    setPointerDrawingAllowed(true);
    setCursorKind(int32_t(in.u8() % kCursorKindCount));
    notePointerMoved(int8_t(in.u8()) % 32, int8_t(in.u8()) % 32);
    drawPointerIntoFrame(ring.data(), width, height, ringStart);
    removePointerFromFrame(ring.data());
    if (ring != before)
        std::abort();
    releasePointerState();
    return 0;
}
