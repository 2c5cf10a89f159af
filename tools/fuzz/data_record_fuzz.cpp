// Index + data record lookups (and one record write) over an arbitrary index
// and data file pair: the art pair, the main animation pair and animation set
// 1 all get the same bytes, the first terrain file the data bytes.
//   byte 0: bit 0..2 animation set to select, bit 3 write a record
//   bytes 1-2: where the index ends and the data begins
//   bytes 3-6: the entry number and extra value of the write
#include "data/data_files.h"
#include "fuzz_byte_reader.h"
#include "fuzz_client_directory.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

volatile uint32_t g_sink;

void touch(const uint8_t* record, int32_t length)
{
    uint32_t sum = 0;
    for (int32_t i = 0; record && i < length; ++i)
        sum += record[i];
    g_sink = sum;
}

void lookUpEverything(DataFiles& files, int32_t entries)
{
    for (int32_t n = -2; n <= entries + 1; ++n) {
        int32_t length = 0;
        uint32_t extra = 0;
        touch(files.lookupIndexedRecord(kArtIndexFile, kArtFile, n, length, extra), length);
        touch(files.lookupIndexedRecord(kAnimIndexFile, kAnimFile, n, length, extra), length);
    }
    for (int32_t n : { INT32_MIN, -1, INT32_MAX, 0x40000000, 0x1555556 }) {
        int32_t length = 0;
        uint32_t extra = 0;
        touch(files.lookupIndexedRecord(kArtIndexFile, kArtFile, n, length, extra), length);
        touch(files.getFixedRecord(kMap0File, n), 196);
    }
    for (int32_t n = 0; n < 4; ++n)
        touch(files.getFixedRecord(kMap0File, n), 196);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 7)
        return 0;
    const fuzz::ClientDirectory& client = fuzz::ClientDirectory::get();
    static bool prepared = false;
    if (!prepared) {
        prepared = true;
        for (int file = 0; file < kDataFileCount; ++file) {
            if (dataFileRow(file)->required)
                client.write(dataFileRow(file)->name, "x");
        }
    }
    uint8_t flags = data[0];
    size_t split = fuzz::le16(data + 1);
    uint32_t writeAt = fuzz::le16(data + 3);
    uint32_t extra = fuzz::le16(data + 5);
    data += 7;
    size -= 7;
    if (split > size)
        split = size;
    const uint8_t* index = data;
    const uint8_t* records = data + split;
    size_t recordBytes = size - split;
    for (const char* name : { "artidx.mul", "anim.idx", "anim2.idx" })
        client.write(name, index, split);
    for (const char* name : { "art.mul", "anim.mul", "anim2.mul", "map0.mul" })
        client.write(name, records, recordBytes);

    auto files = std::make_unique<DataFiles>();
    files->reset();
    files->load();
    files->setAnimationFileSet(uint8_t(flags & 7));
    int32_t entries = int32_t(split / kIndexEntrySize);
    lookUpEverything(*files, entries);

    if (flags & 8) {
        // A record from the data bytes, written at an entry near the index.
        int32_t n = int32_t(writeAt % uint32_t(entries + 8)) - 1;
        int32_t length = int32_t(recordBytes % 64);
        files->writeIndexedRecord(kArtIndexFile, kArtFile, n, extra, records, length);
        lookUpEverything(*files, entries + 8);
    }
    return 0;
}
