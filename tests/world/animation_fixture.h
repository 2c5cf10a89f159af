#pragma once
// Animation files and body tables for the drawing tests: the records are
// written into a client directory of their own, mapped, and installed as the
// process's data files while the object lives; the body types take the given
// "mobtypes.txt" text and the .def tables the given files. Everything is put
// back afterwards.

#include "data/data_files.h"
#include "data/def_tables.h"
#include "fixtures/animation_writer.h"
#include "fixtures/client_directory.h"
#include "fixtures/data_file_writer.h"
#include "fixtures/sample_figures.h"
#include "world/body_tables.h"
#include "world/def_table_world.h"
#include "world/tile_data.h"

#include <map>
#include <string>

namespace test {

class InstalledAnimations {
public:
    explicit InstalledAnimations(const fixture::AnimationFileWriter& animations, const std::string& mobTypes = "",
        const std::map<std::string, std::string>& defFiles = {})
    {
        fixture::writeRequiredDataFiles(m_client.root(), "client");
        animations.write(m_client.path());
        for (const auto& [name, text] : defFiles)
            m_client.write(name, text);
        m_previous = installDataFiles(&m_files);
        m_files.reset();
        m_files.load();
        bodyTypes() = BodyTypeTable();
        bodyTypes().load(mobTypes);
        if (!defFiles.empty())
            createDefTables(defTableWorld());
    }
    ~InstalledAnimations()
    {
        destroyDefTables();
        bodyTypes() = BodyTypeTable();
        installDataFiles(m_previous);
    }
    InstalledAnimations(const InstalledAnimations&) = delete;
    InstalledAnimations& operator=(const InstalledAnimations&) = delete;

private:
    fixture::ClientDirectory m_client;
    DataFiles m_files;
    DataFiles* m_previous = nullptr;
};

// Writes one item tile record into the process's tile data.
inline void setTileRecord(int32_t id, const TileDataItem& record)
{
    int32_t first = id / 32 * 32;
    TileDataItemGroup group;
    for (int32_t i = 0; i < 32; ++i)
        group.records[size_t(i)] = tileData().item(first + i);
    group.records[size_t(id - first)] = record;
    ItemGroupChange change;
    tileData().applyItemGroup(TileData::kFirstItemGroup + first / 32, group, change);
}

// The tile records of the sample garments and mount item.
inline void setSampleFigureTiles()
{
    for (const fixture::SampleGarment& garment : fixture::kSampleGarments) {
        TileDataItem item;
        fixture::sampleFigureTile(garment.graphic, item);
        setTileRecord(garment.graphic, item);
    }
    TileDataItem mount;
    fixture::sampleFigureTile(fixture::kSampleMountGraphic, mount);
    setTileRecord(fixture::kSampleMountGraphic, mount);
}

// A record of `frames` solid frames, `width` wide and `height` tall above
// the anchor; with `below`, the frame's centre makes its rectangle reach
// that many rows under the anchor, and the pixels one row less.
inline std::vector<uint8_t> blockRecord(int32_t frames, int32_t width, int32_t height, int32_t below = 0)
{
    std::vector<fixture::AnimFrameData> data;
    for (int32_t frame = 0; frame < frames; ++frame) {
        std::vector<fixture::FrameRun> runs;
        for (int32_t dy = -height; dy < (below > 0 ? below - 1 : 0); ++dy)
            runs.push_back({ 1 - width / 2, dy, std::vector<uint8_t>(size_t(width - 2), uint8_t(frame + 1)) });
        fixture::AnimFrameData made;
        made.centreX = int16_t(width / 2);
        made.centreY = int16_t(-below);
        made.width = int16_t(width);
        made.height = int16_t(height);
        made.data = fixture::frameRunBytes(runs);
        data.push_back(made);
    }
    return fixture::animationRecord([](int i) { return uint16_t(i * 0x421); }, data);
}

} // namespace test
