#include "data/data_files.h"

#include "core/error_report.h"
#include "core/exit_started.h"
#include "fixtures/client_directory.h"
#include "fixtures/data_file_writer.h"
#include "platform/file_system.h"
#include "platform/instance_marker.h"
#include "platform/message_box.h"
#include "platform/process_exit.h"
#include "support/hang_guard.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using fixture::IndexedRecord;

std::string bytesAt(const uint8_t* p, int32_t length)
{
    return std::string(reinterpret_cast<const char*>(p), size_t(length));
}

// A client directory holding every required file, three terrain blocks, an
// art pair and the optional animation set 1 (rows 35/36); the table loaded.
class DataFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture::writeRequiredDataFiles(m_client.root(), "client");
        m_client.write("map0.mul", std::string(196, 'a') + std::string(196, 'b') + std::string(196, 'c'));
        fixture::writeIndexedPair(m_client.root(), "client", "artidx.mul", "art.mul",
            { { "zero", 10 }, { std::nullopt, 11 }, { "two!", 12 }, { "three", 13 } });
        fixture::writeIndexedPair(m_client.root(), "client", "anim.idx", "anim.mul", { { "main", 1 } });
        fixture::writeIndexedPair(m_client.root(), "client", "ANIM2.IDX", "Anim2.mul", { { "set one", 2 } });
    }

    void load()
    {
        platform::ScopedMessageBoxSink sink(m_boxes);
        m_files.reset();
        m_files.load();
    }

    std::string lookup(int index, int data, int32_t n)
    {
        int32_t length = -7;
        uint32_t extra = 0;
        const uint8_t* record = m_files.lookupIndexedRecord(index, data, n, length, extra);
        if (!record)
            return "null/" + std::to_string(length) + "/" + std::to_string(extra);
        return bytesAt(record, length) + "/" + std::to_string(extra);
    }

    fixture::ClientDirectory m_client;
    platform::RecordingMessageBoxSink m_boxes;
    DataFiles m_files;
};

TEST_F(DataFilesTest, ProbesAndMapsWithNamesInAnyCase)
{
    load();
    EXPECT_TRUE(m_boxes.boxes.empty());
    EXPECT_TRUE(m_files.isPresent(kArtIndexFile));
    // Written as "ANIM2.IDX" and "Anim2.mul", found all the same.
    EXPECT_TRUE(m_files.isPresent(35));
    EXPECT_TRUE(m_files.isPresent(36));
    // A missing optional row: absent, silently, and every lookup misses.
    EXPECT_FALSE(m_files.isPresent(30));
    EXPECT_EQ(m_files.getFixedRecord(30, 0), nullptr);
    EXPECT_EQ(lookup(17, 18, 0), "null/-7/0");
    EXPECT_EQ(m_files.cacheFilePath(), m_client.path() + "/cache0.vo");
}

struct FixedCase {
    const char* label;
    int file;
    int32_t n;
    char expected; // 0: null
};

class FixedRecord : public DataFilesTest, public ::testing::WithParamInterface<FixedCase> { };

TEST_P(FixedRecord, LiesWhollyInsideTheFile)
{
    load();
    const FixedCase& c = GetParam();
    const uint8_t* record = m_files.getFixedRecord(c.file, c.n);
    if (!c.expected) {
        EXPECT_EQ(record, nullptr);
        return;
    }
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(bytesAt(record, 196), std::string(196, c.expected));
}

const FixedCase kFixedCases[] = {
    { "First", kMap0File, 0, 'a' },
    // 0x7FFFFFFF x 196 leaves the 32-bit range.
    { "PastTheEnd", kMap0File, 3, 0 },
    { "Negative", kMap0File, -1, 0 },
    // 0x7FFFFFFF x 196 wraps in 32 bits to a small offset.
    { "ProductWouldWrap", kMap0File, 0x7FFFFFFF, 0 },
    // 0x40000000 x 196 is 0 in 32 bits: record 0 would be returned.
    { "WrapsToZeroIn32Bits", kMap0File, 0x40000000, 0 },
    { "VariableRow", kArtFile, 0, 0 },
    { "NoSuchRow", 49, 0, 0 },
    { "NegativeRow", -1, 0, 0 },
};

INSTANTIATE_TEST_SUITE_P(Cases, FixedRecord, ::testing::ValuesIn(kFixedCases),
    [](const ::testing::TestParamInfo<FixedCase>& entry) { return std::string(entry.param.label); });

struct IndexedCase {
    const char* label;
    int32_t n;
    const char* expected;
};

class IndexedRecordLookup : public DataFilesTest, public ::testing::WithParamInterface<IndexedCase> { };

TEST_P(IndexedRecordLookup, ChecksTheEntryAndTheRecord)
{
    // Entries 4.. are damaged: past the data, negative length, huge offset.
    std::string index = fixture::idxEntry(0, 4, 10) + fixture::idxEntry(-1, 9, 11) + fixture::idxEntry(4, 4, 12)
        + fixture::idxEntry(8, 5, 13) + fixture::idxEntry(10, 4, 14) + fixture::idxEntry(0, -1, 15)
        + fixture::idxEntry(0x7FFFFFF0, 0x20, 16);
    m_client.write("artidx.mul", index + "\x01\x02"); // and a truncated entry
    m_client.write("art.mul", "zerotwo!three");
    load();
    EXPECT_EQ(lookup(kArtIndexFile, kArtFile, GetParam().n), GetParam().expected);
}

const IndexedCase kIndexedCases[] = {
    { "First", 0, "zero/10" },
    { "AbsentStillGivesExtra", 1, "null/0/11" },
    { "Middle", 2, "two!/12" },
    { "EndsAtTheEndOfData", 3, "three/13" },
    { "ReachesPastTheData", 4, "null/0/14" },
    { "NegativeLength", 5, "null/0/15" },
    { "OffsetFarPastTheData", 6, "null/0/16" },
    { "TruncatedEntry", 7, "null/-7/0" },
    { "PastTheIndex", 8, "null/-7/0" },
    { "Negative", -1, "null/-7/0" },
    { "Huge", 0x7FFFFFFF, "null/-7/0" },
};

INSTANTIATE_TEST_SUITE_P(Cases, IndexedRecordLookup, ::testing::ValuesIn(kIndexedCases),
    [](const ::testing::TestParamInfo<IndexedCase>& entry) { return std::string(entry.param.label); });

// Optional rows that are missing or empty are passed over with one line each
// kind on standard error, and never read from.
TEST_F(DataFilesTest, OptionalFilesMissingOrEmptyArePassedOverWithALine)
{
    m_client.write("mapdif0.mul", "");
    testing::internal::CaptureStderr();
    load();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(m_boxes.boxes.empty());
    EXPECT_TRUE(m_files.isPresent(27));
    EXPECT_EQ(m_files.base(27), nullptr);
    EXPECT_EQ(m_files.getFixedRecord(27, 0), nullptr);
    EXPECT_NE(said.find("going on without stadifi0.mul, stadif0.mul, stadifi1.mul"), std::string::npos) << said;
    EXPECT_NE(said.find("mapdif1.mul"), std::string::npos) << said;
    EXPECT_EQ(said.find("anim2.idx"), std::string::npos) << said;
    EXPECT_NE(said.find("going on without mapdif0.mul (empty or unreadable)"), std::string::npos) << said;
}

TEST_F(DataFilesTest, AnimationSetRedirectIsTakenOnce)
{
    load();
    m_files.setAnimationFileSet(1);
    EXPECT_EQ(lookup(kAnimIndexFile, kAnimFile, 0), "set one/2");
    EXPECT_EQ(m_files.animationFileSet(), 0);
    EXPECT_EQ(lookup(kAnimIndexFile, kAnimFile, 0), "main/1");
    // Set 2's files are absent: the main files serve and the choice stays.
    m_files.setAnimationFileSet(2);
    EXPECT_EQ(lookup(kAnimIndexFile, kAnimFile, 0), "main/1");
    EXPECT_EQ(m_files.animationFileSet(), 2);
    // Only the main animation index is redirected.
    m_files.setAnimationFileSet(1);
    EXPECT_EQ(lookup(kArtIndexFile, kArtFile, 0), "zero/10");
    EXPECT_EQ(m_files.animationFileSet(), 1);
    m_files.setAnimationFileSet(7);
    EXPECT_EQ(lookup(kAnimIndexFile, kAnimFile, 0), "main/1");
}

TEST_F(DataFilesTest, LookupsStopOnceExitHasStarted)
{
    load();
    markExitStarted();
    std::string result = lookup(kArtIndexFile, kArtFile, 0);
    clearExitStarted();
    EXPECT_EQ(result, "null/0/0");
}

TEST_F(DataFilesTest, WritesInPlaceAppendAndDelete)
{
    load();
    const auto* shorter = reinterpret_cast<const uint8_t*>("TWO");
    ASSERT_TRUE(m_files.writeIndexedRecord(kArtIndexFile, kArtFile, 2, 22, shorter, 3));
    EXPECT_EQ(lookup(kArtIndexFile, kArtFile, 2), "TWO/22");
    EXPECT_EQ(m_client.read("art.mul"), "zeroTWO!three");

    const auto* longer = reinterpret_cast<const uint8_t*>("ZERO-LONGER");
    ASSERT_TRUE(m_files.writeIndexedRecord(kArtIndexFile, kArtFile, 0, 20, longer, 11));
    EXPECT_EQ(lookup(kArtIndexFile, kArtFile, 0), "ZERO-LONGER/20");
    EXPECT_EQ(m_client.read("art.mul"), "zeroTWO!threeZERO-LONGER");

    ASSERT_TRUE(m_files.writeIndexedRecord(kArtIndexFile, kArtFile, 3, 33, nullptr, 0));
    EXPECT_EQ(lookup(kArtIndexFile, kArtFile, 3), "null/0/33");
    EXPECT_EQ(m_client.read("artidx.mul").substr(36), fixture::idxEntry(-1, 0, 33));
    // The other entries are untouched.
    EXPECT_EQ(lookup(kArtIndexFile, kArtFile, 1), "null/0/11");
}

// An old entry whose place is not wholly inside the data file, though its
// length would hold the new record: the record is appended, never written at
// -1 or past the end (which would grow the file by a hole).
struct UnusablePlaceCase {
    const char* label;
    int32_t offset;
    int32_t length;
};

class UnusableOldPlace : public DataFilesTest, public ::testing::WithParamInterface<UnusablePlaceCase> { };

TEST_P(UnusableOldPlace, TheRecordIsAppended)
{
    m_client.write("artidx.mul", fixture::idxEntry(GetParam().offset, GetParam().length, 5));
    m_client.write("art.mul", "keep");
    load();
    const auto* record = reinterpret_cast<const uint8_t*>("new");
    ASSERT_TRUE(m_files.writeIndexedRecord(kArtIndexFile, kArtFile, 0, 6, record, 3));
    EXPECT_EQ(m_client.read("art.mul"), "keepnew");
    EXPECT_EQ(lookup(kArtIndexFile, kArtFile, 0), "new/6");
}

INSTANTIATE_TEST_SUITE_P(Cases, UnusableOldPlace,
    ::testing::Values(UnusablePlaceCase { "NegativeOffset", -1, 100 },
        UnusablePlaceCase { "OffsetPastTheData", 1000000, 100 }, UnusablePlaceCase { "ReachesPastTheData", 2, 100 }),
    [](const ::testing::TestParamInfo<UnusablePlaceCase>& entry) { return std::string(entry.param.label); });

TEST_F(DataFilesTest, AnEntryPastTheIndexEndGrowsItWithAbsentEntries)
{
    load();
    const auto* record = reinterpret_cast<const uint8_t*>("six");
    ASSERT_TRUE(m_files.writeIndexedRecord(kArtIndexFile, kArtFile, 6, 60, record, 3));
    EXPECT_EQ(lookup(kArtIndexFile, kArtFile, 6), "six/60");
    EXPECT_EQ(lookup(kArtIndexFile, kArtFile, 4), "null/0/0");
    EXPECT_EQ(lookup(kArtIndexFile, kArtFile, 5), "null/0/0");
    EXPECT_FALSE(m_files.writeIndexedRecord(kArtIndexFile, kArtFile, -1, 0, record, 3));
    EXPECT_FALSE(m_files.writeIndexedRecord(kArtIndexFile, kArtFile, 0x7FFFFFFF, 0, record, 3));
    EXPECT_EQ(lookup(kArtIndexFile, kArtFile, 6), "six/60");
}

TEST_F(DataFilesTest, AFileThatCannotBeOpenedForUpdateKeepsItsMapping)
{
    load();
    platform::ScopedMessageBoxSink sink(m_boxes);
    // Row 30 was never found, so there is nothing to update.
    const auto* record = reinterpret_cast<const uint8_t*>("x");
    EXPECT_FALSE(m_files.writeIndexedRecord(kArtIndexFile, 30, 0, 0, record, 1));
    EXPECT_EQ(lookup(kArtIndexFile, kArtFile, 0), "zero/10");
}

class RecordingArtListener : public ArtRecordListener {
public:
    void landArtChanged(uint16_t id) override { changes.push_back("land " + std::to_string(id)); }
    void staticArtChanged(uint16_t graphic) override { changes.push_back("static " + std::to_string(graphic)); }
    std::vector<std::string> changes;
};

TEST_F(DataFilesTest, ArtRecordsAreBoundedByTheBytesReceived)
{
    load();
    RecordingArtListener listener;
    m_files.setArtRecordListener(&listener);

    std::string land(2048, 'L');
    EXPECT_FALSE(m_files.writeArtRecord(reinterpret_cast<const uint8_t*>(land.data()), 2047, 1, 0, 0));
    EXPECT_TRUE(m_files.writeArtRecord(reinterpret_cast<const uint8_t*>(land.data()), land.size(), 1, 0, 7));
    EXPECT_EQ(lookup(kArtIndexFile, kArtFile, 1), land + "/7");

    // A static image: 32-bit value at 0, height at 6; length = value + 2 x height + 8.
    std::string image = fixture::le32(4) + fixture::le16(0) + fixture::le16(2) + "abcdefgh";
    ASSERT_EQ(image.size(), 16u);
    const auto* bytes = reinterpret_cast<const uint8_t*>(image.data());
    EXPECT_FALSE(m_files.writeArtRecord(bytes, 15, 0x4005, 0, 0));
    EXPECT_FALSE(m_files.writeArtRecord(bytes, 7, 0x4005, 0, 0));
    std::string lying = fixture::le32(0xFFFFFFF0u) + fixture::le16(0) + fixture::le16(0xFFFF) + "abcdefgh";
    EXPECT_FALSE(m_files.writeArtRecord(reinterpret_cast<const uint8_t*>(lying.data()), lying.size(), 0x4005, 0, 0));
    EXPECT_TRUE(m_files.writeArtRecord(bytes, image.size() + 3, 0x4005, 0, 9));
    EXPECT_EQ(lookup(kArtIndexFile, kArtFile, 0x4005), image + "/9");

    EXPECT_TRUE(m_files.writeArtRecord(nullptr, 0, 0x4005, -1, 3));
    EXPECT_EQ(lookup(kArtIndexFile, kArtFile, 0x4005), "null/0/3");
    EXPECT_FALSE(m_files.writeArtRecord(bytes, image.size(), 0x10000, 0, 0));
    EXPECT_FALSE(m_files.writeArtRecord(bytes, image.size(), -1, 0, 0));

    EXPECT_EQ(listener.changes, (std::vector<std::string> { "land 1", "static 5", "static 5" }));
}

TEST_F(DataFilesTest, CloseDeletesTheCacheFile)
{
    load();
    m_client.write("cache0.vo", "cached");
    m_files.close();
    EXPECT_EQ(m_files.base(kArtFile), nullptr);
    EXPECT_FALSE(platform::fileExists(m_client.path() + "/cache0.vo"));
}

TEST_F(DataFilesTest, TheMappingOutlivesNothingButItsObject)
{
    load();
    MappedFile mapped(m_client.path() + "/art.mul");
    ASSERT_NE(mapped.map(false), nullptr);
    EXPECT_EQ(mapped.size(), 13u);
    mapped.unmap();
    EXPECT_EQ(mapped.base(), nullptr);
    EXPECT_NE(mapped.map(false), nullptr); // the path stays for a later map
    mapped.close();
    EXPECT_EQ(mapped.map(true), nullptr);
}

TEST_F(DataFilesTest, AMissingFileToMapSaysSoWhenAsked)
{
    platform::ScopedMessageBoxSink sink(m_boxes);
    MappedFile quiet(m_client.path() + "/none.mul");
    EXPECT_EQ(quiet.map(false), nullptr);
    EXPECT_TRUE(m_boxes.boxes.empty());
    MappedFile loud(m_client.path() + "/none.mul");
    EXPECT_EQ(loud.map(true), nullptr);
    ASSERT_EQ(m_boxes.boxes.size(), 1u);
    EXPECT_EQ(m_boxes.boxes[0].text, "Failed to open file " + m_client.path() + "/none.mul: Error 2.");
}

using DataFilesDeathTest = DataFilesTest;

// Shows boxes on standard error, where a death test can see them.
class StandardErrorSink : public platform::MessageBoxSink {
public:
    void show(const std::string& caption, const std::string& text, platform::MessageBoxIcon) override
    {
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    }
};

TEST_F(DataFilesDeathTest, AMissingRequiredFileIsFatal)
{
    std::remove((m_client.path() + "/texmaps.mul").c_str());
    EXPECT_EXIT(
        {
            StandardErrorSink boxes;
            platform::ScopedMessageBoxSink sink(boxes);
            m_files.reset();
            m_files.load();
        },
        ::testing::ExitedWithCode(1), "Failed to open 'texmaps.mul' from HD using a maximum install");
}

// An empty required file cannot be mapped: start-up ends with the mapping's
// message instead of running on without the data.
TEST_F(DataFilesDeathTest, AnEmptyRequiredFileEndsStartUpWithItsMessage)
{
    m_client.write("art.mul", "");
    EXPECT_EXIT(
        {
            StandardErrorSink boxes;
            platform::ScopedMessageBoxSink sink(boxes);
            m_files.reset();
            m_files.load();
            std::exit(0);
        },
        ::testing::ExitedWithCode(1), "Failed to create mapping for file .*/client/art.mul: Error 22.");
}

// A named pipe in place of a required file is a file that cannot be opened,
// found out at once: the probe used to wait for a writer for ever.
TEST_F(DataFilesDeathTest, APipeInPlaceOfARequiredFileIsFatalAtOnce)
{
    std::remove((m_client.path() + "/texmaps.mul").c_str());
    ASSERT_EQ(mkfifo((m_client.path() + "/texmaps.mul").c_str(), 0600), 0);
    EXPECT_EXIT(
        {
            test::HangGuard guard(20);
            StandardErrorSink boxes;
            platform::ScopedMessageBoxSink sink(boxes);
            m_files.reset();
            m_files.load();
        },
        ::testing::ExitedWithCode(1),
        "Failed to open 'texmaps.mul' from HD using a maximum install.*\n"
        "The data directory searched was .*/client/. Start the client with -r DIR to name another folder.");
}

// A directory named like a required file is reported as a directory.
TEST_F(DataFilesDeathTest, ADirectoryInPlaceOfARequiredFileIsNamedAsOne)
{
    std::remove((m_client.path() + "/texmaps.mul").c_str());
    platform::makeDirectories(m_client.path() + "/texmaps.mul");
    EXPECT_EXIT(
        {
            StandardErrorSink boxes;
            platform::ScopedMessageBoxSink sink(boxes);
            m_files.reset();
            m_files.load();
        },
        ::testing::ExitedWithCode(1), "Failed to open 'texmaps.mul': .*/client/texmaps.mul is a directory, not a file");
}

TEST_F(DataFilesTest, APipeOrADirectoryInPlaceOfAnOptionalFileLeavesItAbsent)
{
    test::HangGuard guard(10);
    ASSERT_EQ(mkfifo((m_client.path() + "/mapdif3.mul").c_str(), 0600), 0);
    platform::makeDirectories(m_client.path() + "/stadif2.mul");
    load();
    EXPECT_FALSE(m_files.isPresent(30));
    EXPECT_FALSE(m_files.isPresent(22));
    EXPECT_TRUE(m_files.isPresent(0));
    EXPECT_TRUE(m_boxes.boxes.empty());
}

TEST_F(DataFilesTest, ADirectoryToMapIsNamedAsOne)
{
    platform::ScopedMessageBoxSink sink(m_boxes);
    platform::makeDirectories(m_client.path() + "/folder.mul");
    MappedFile mapped(m_client.path() + "/folder.mul");
    EXPECT_EQ(mapped.map(true), nullptr);
    ASSERT_EQ(m_boxes.boxes.size(), 1u);
    EXPECT_EQ(m_boxes.boxes[0].text,
        "Failed to open file " + m_client.path() + "/folder.mul: it is a directory, not a file (Error 21).");
}

TEST_F(DataFilesDeathTest, AnotherRunningCopyEndsTheProcessWithCodeOne)
{
    EXPECT_EXIT(
        {
            // The other copy's hold on the reporter's marker.
            bool othersHolding = false;
            auto other = platform::InstanceMarker::join("report", othersHolding);
            reporterOpen();
            m_files.reset();
            std::exit(0);
        },
        ::testing::ExitedWithCode(1), "");
}

TEST_F(DataFilesDeathTest, AnOrderlyExitClosesTheFilesAndDeletesTheCacheFile)
{
    m_client.write("cache0.vo", "cached");
    EXPECT_EXIT(
        {
            installDataFiles(&m_files);
            resetDataFiles();
            m_files.load();
            platform::orderlyExit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(platform::fileExists(m_client.path() + "/cache0.vo"));
}

TEST(AnimInfoTest, MissingShortAndDamagedFiles)
{
    fixture::ClientDirectory client;
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink sink(boxes);

    loadAnimInfo();
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(animInfo(0).first, 4);
    EXPECT_EQ(animInfo(999).second, 2);

    // 20 entries of (7, 3), entry 17's second byte zero, the rest missing.
    std::string bytes;
    for (int i = 0; i < 20; ++i)
        bytes += i == 17 ? std::string("\x07\x00", 2) : std::string("\x07\x03");
    client.write("animinfo.mul", bytes);
    loadAnimInfo();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "File Error");
    EXPECT_EQ(boxes.boxes[0].text.rfind("Your \"animinfo.mul\" file is corrupted!\n", 0), 0u);
    EXPECT_EQ(animInfo(16).first, 7);
    EXPECT_EQ(animInfo(16).second, 3);
    EXPECT_EQ(animInfo(17).first, 4);
    EXPECT_EQ(animInfo(17).second, 2);
    EXPECT_EQ(animInfo(20).first, 4);
    EXPECT_EQ(animInfo(-1).first, 4);
    EXPECT_EQ(animInfo(1000).second, 2);
}

} // namespace
