#include "world/light_files.h"

#include "core/byte_cursor.h"
#include "data/client_file_path.h"
#include "platform/file_mapping.h"
#include "platform/file_system.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

namespace {

// Keeps a strength within the 32 entries the light curves have.
uint8_t clampedStrength(uint8_t raw)
{
    int32_t strength = int8_t(raw);
    return uint8_t(std::clamp(strength, 0, 31));
}

// The shape of index entry `id`, or an empty one when the entry is missing,
// absent or reaches outside the data.
LightShape readShape(std::span<const uint8_t> index, std::span<const uint8_t> data, int32_t id)
{
    LightShape shape;
    ByteCursor entry(index);
    if (!entry.seek(size_t(id) * LightFiles::kIndexEntryBytes))
        return shape;
    uint32_t offset = entry.readU32();
    uint32_t length = entry.readU32();
    uint16_t width = entry.readU16();
    uint16_t height = entry.readU16();
    if (entry.failed() || offset == 0xFFFFFFFF || width == 0 || height == 0)
        return shape;
    uint64_t bytes = uint64_t(width) * height;
    if (bytes > length || uint64_t(offset) + bytes > data.size())
        return shape;
    shape.width = width;
    shape.height = height;
    shape.strengths.resize(size_t(bytes));
    std::transform(data.begin() + offset, data.begin() + offset + bytes, shape.strengths.begin(), clampedStrength);
    return shape;
}

std::unique_ptr<platform::FileMapping> mapClientFile(const char* name)
{
    std::optional<std::string> path = platform::resolvePath(clientFilePath(name));
    return path ? platform::FileMapping::open(*path) : nullptr;
}

} // namespace

bool LightFiles::load(std::span<const uint8_t> index, std::span<const uint8_t> data)
{
    std::vector<LightShape> shapes(kLightCount);
    bool any = false;
    for (int32_t id = 0; id < kLightCount; ++id) {
        shapes[size_t(id)] = readShape(index, data, id);
        any = any || !shapes[size_t(id)].isEmpty();
    }
    if (!any)
        return false;
    m_shapes = std::move(shapes);
    return true;
}

void LightFiles::clear() { m_shapes.clear(); }

const LightShape* LightFiles::shape(int32_t id) const
{
    if (id < 0 || id >= int32_t(m_shapes.size()) || m_shapes[size_t(id)].isEmpty())
        return nullptr;
    return &m_shapes[size_t(id)];
}

int32_t LightFiles::shapeCount() const
{
    return int32_t(std::count_if(m_shapes.begin(), m_shapes.end(), [](const LightShape& s) { return !s.isEmpty(); }));
}

LightFiles& lightFiles()
{
    static LightFiles files;
    return files;
}

bool openLightFiles()
{
    std::unique_ptr<platform::FileMapping> index = mapClientFile("lightidx.mul");
    std::unique_ptr<platform::FileMapping> data = mapClientFile("light.mul");
    if (!index || !data)
        return false;
    return lightFiles().load({ index->data(), index->size() }, { data->data(), data->size() });
}

void closeLightFiles() { lightFiles().clear(); }
