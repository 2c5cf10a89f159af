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

TEST(ArtFileCursorSource, CopiesTheStaticArtDenselyAndRefusesMissingArt)
{
    fixture::ClientDirectory client;
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink sink { boxes };
    fixture::writeRequiredDataFiles(client.root(), "client");
    std::vector<fixture::IndexedRecord> records(0x6054);
    std::vector<uint8_t> image = fixture::artRecord(3, { { { 0, { 1, 2, 3 } } } });
    records[0x6053] = { std::string(image.begin(), image.end()), 0 };
    fixture::writeIndexedPair(client.root(), "client", "artidx.mul", "art.mul", records);
    DataFiles files;
    DataFiles* previous = installDataFiles(&files);
    files.reset();
    files.load();
    artImageCache().clear();

    ArtFileCursorSource source;
    CursorArt art;
    ASSERT_TRUE(source.cursorArt(0x6053, art));
    EXPECT_EQ(art.width, 3);
    EXPECT_EQ(art.pixels, (std::vector<uint16_t> { 1, 2, 3 }));
    // Neither 0x6054 nor the fallback art 0 exists.
    EXPECT_FALSE(source.cursorArt(0x6054, art));

    artImageCache().clear();
    installDataFiles(previous);
}

} // namespace
