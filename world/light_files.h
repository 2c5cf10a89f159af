#pragma once
// The light shapes: "lightidx.mul" (12-byte entries: offset, length, width,
// height, little-endian) and "light.mul" (per shape width x height signed
// strength bytes, row after row). Only light ids 0..99 exist. Every entry is
// checked against both files when they are read: an entry whose shape does
// not lie wholly inside the data file, or that is absent, gives no shape, and
// strengths are kept within 0..31. The shapes are copied out, so the files are
// not held open. Main thread only.

#include <cstdint>
#include <span>
#include <vector>

struct LightShape {
    int32_t width = 0;
    int32_t height = 0;
    // width x height strengths 0..31, row after row.
    std::vector<uint8_t> strengths;

    bool isEmpty() const { return strengths.empty(); }
};

class LightFiles {
public:
    static constexpr int32_t kLightCount = 100;
    static constexpr size_t kIndexEntryBytes = 12;

    // Reads the shapes from the two files' bytes. False, with the shapes held
    // before kept, when not one shape could be read.
    bool load(std::span<const uint8_t> index, std::span<const uint8_t> data);
    void clear();

    // Null for ids outside 0..99 and for shapes that are absent or damaged.
    const LightShape* shape(int32_t id) const;
    int32_t shapeCount() const;

private:
    std::vector<LightShape> m_shapes;
};

LightFiles& lightFiles();

// Start-up: maps "lightidx.mul" and "light.mul" from the client directory
// and reads them; false when either is missing or holds nothing usable.
bool openLightFiles();
// Exit.
void closeLightFiles();
