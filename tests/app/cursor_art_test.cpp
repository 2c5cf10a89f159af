#include "app/cursor_art.h"
#include "data/data_files.h"
#include "fixtures/art_writer.h"
#include "fixtures/client_directory.h"
#include "fixtures/data_file_writer.h"
#include "gfx/art_cache.h"
#include "platform/message_box.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A client directory whose art file holds `records` (static art id n at index
// entry 0x4000 + n), with the data files loaded from it.
class CursorArtFiles {
public:
    explicit CursorArtFiles(const std::vector<fixture::IndexedRecord>& records)
        : m_sink(m_boxes)
    {
        fixture::writeRequiredDataFiles(m_client.root(), "client");
        fixture::writeIndexedPair(m_client.root(), "client", "artidx.mul", "art.mul", records);
        m_previous = installDataFiles(&m_files);
        m_files.reset();
        m_files.load();
        artImageCache().clear();
    }
    ~CursorArtFiles()
    {
        artImageCache().clear();
        installDataFiles(m_previous);
    }

private:
    fixture::ClientDirectory m_client;
    platform::RecordingMessageBoxSink m_boxes;
    platform::ScopedMessageBoxSink m_sink;
    DataFiles m_files;
    DataFiles* m_previous = nullptr;
};

TEST(ArtFileCursorSource, CopiesTheStaticArtDenselyAndRefusesMissingArt)
{
    std::vector<fixture::IndexedRecord> records(0x6054);
    std::vector<uint8_t> image = fixture::artRecord(3, { { { 0, { 1, 2, 3 } } } });
    records[0x6053] = { std::string(image.begin(), image.end()), 0 };
    CursorArtFiles files(records);

    ArtFileCursorSource source;
    CursorArt art;
    ASSERT_TRUE(source.cursorArt(0x6053, art));
    EXPECT_EQ(art.width, 3);
    EXPECT_EQ(art.pixels, (std::vector<uint16_t> { 1, 2, 3 }));
    // Neither 0x6054 nor the fallback art 0 exists.
    EXPECT_FALSE(source.cursorArt(0x6054, art));
}

// A small record that declares width x height: every row points at the one
// shared end mark, so it holds no pixel at all.
std::string sharedRowsRecord(uint16_t width, uint16_t height)
{
    std::string bytes(4, '\0');
    auto u16 = [&bytes](uint16_t value) {
        bytes += char(value & 0xFF);
        bytes += char(value >> 8);
    };
    u16(width);
    u16(height);
    for (uint32_t row = 0; row < height; ++row)
        u16(0);
    u16(0);
    u16(0);
    return bytes;
}

struct CursorSizeCase {
    const char* name;
    uint16_t width;
    uint16_t height;
    bool accepted;
};

class CursorArtSize : public ::testing::TestWithParam<CursorSizeCase> { };

// Cursors are decoded densely: art larger than a cursor can be is refused as
// damaged before anything is decoded (a 131 KB record may declare 65535 x
// 65535, which would be 8 GB of pixels).
TEST_P(CursorArtSize, LargerThanACursorIsDamagedArt)
{
    std::vector<fixture::IndexedRecord> records(0x6054);
    records[0x6053] = { sharedRowsRecord(GetParam().width, GetParam().height), 0 };
    CursorArtFiles files(records);
    ArtFileCursorSource source;
    CursorArt art;
    EXPECT_EQ(source.cursorArt(0x6053, art), GetParam().accepted);
    if (GetParam().accepted) {
        EXPECT_EQ(art.pixels, std::vector<uint16_t>(size_t(GetParam().width) * GetParam().height, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, CursorArtSize,
    ::testing::Values(CursorSizeCase { "LargestCursor", 256, 256, true },
        CursorSizeCase { "OneColumnTooWide", 257, 4, false }, CursorSizeCase { "OneRowTooTall", 4, 257, false },
        CursorSizeCase { "Large", 16384, 16384, false }, CursorSizeCase { "Largest", 65535, 65535, false }),
    [](const ::testing::TestParamInfo<CursorSizeCase>& param) { return std::string(param.param.name); });

} // namespace
