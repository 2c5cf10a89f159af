#include "fixtures/iff_writer.h"
#include "text/iff_reader.h"

#include <gtest/gtest.h>

namespace {

const uint8_t* bytesOf(const std::string& image)
{
    return reinterpret_cast<const uint8_t*>(image.data());
}

TEST(IffReader, OddChunkIsFollowedByItsPadByte)
{
    fixture::IffWriter writer;
    writer.beginForm("DATA").chunk("ODD ", "abc").chunk("NEXT", "xy").endForm();
    const std::string& image = writer.image();
    IffReader reader(bytesOf(image), image.size());
    ASSERT_TRUE(reader.enterForm(iffTag("DATA")));
    ASSERT_TRUE(reader.enterChunk(iffTag("ODD ")));
    EXPECT_EQ(reader.remaining(), 3);
    EXPECT_TRUE(reader.exitChunk(0, false));
    EXPECT_EQ(reader.cursorOffset(), 12u + 8u + 4u);
    EXPECT_EQ(reader.peekTag(), iffTag("NEXT"));
    ASSERT_TRUE(reader.enterChunk(iffTag("NEXT")));
    EXPECT_TRUE(reader.exitChunk(0, false));
    EXPECT_TRUE(reader.atEnd());
    EXPECT_TRUE(reader.exitForm(0));
    EXPECT_EQ(reader.cursorOffset(), image.size());
}

TEST(IffReader, OddChunkEndingItsFormLeavesTheCursorAtTheFormEnd)
{
    // No pad byte follows when the chunk ends its FORM: the walk must see the
    // FORM's end instead of stepping one byte past it.
    fixture::IffWriter writer;
    writer.beginForm("DATA").chunk("ODD ", "abc").endForm().chunk("NEXT", "xy");
    std::string image = writer.image();
    image.erase(12 + 8 + 3, 1); // the pad byte
    image[7] = 4 + 8 + 3;
    IffReader reader(bytesOf(image), image.size());
    ASSERT_TRUE(reader.enterForm(iffTag("DATA")));
    ASSERT_TRUE(reader.enterChunk(iffTag("ODD ")));
    EXPECT_TRUE(reader.exitChunk(0, false));
    EXPECT_EQ(reader.cursorOffset(), 12u + 8u + 3u);
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.remaining(), 0);
    EXPECT_TRUE(reader.exitForm(0));
    EXPECT_EQ(reader.peekTag(), iffTag("NEXT"));
}

TEST(IffReader, ExitWithCheckReportsUnreadBytesAndStillLandsAtTheEnd)
{
    fixture::IffWriter writer;
    writer.beginForm("DATA").chunk("ABCD", "12345678").endForm();
    IffReader reader(bytesOf(writer.image()), writer.image().size());
    ASSERT_TRUE(reader.enterForm(0));
    ASSERT_TRUE(reader.enterChunk(iffTag("ABCD")));
    EXPECT_EQ(reader.readInt32(false), 0x34333231);
    EXPECT_TRUE(reader.exitChunk(iffTag("ABCD"), true));
    EXPECT_EQ(reader.diagnosticCount(), 1);
    EXPECT_NE(reader.lastDiagnostic().find("extra data in CHUNK"), std::string::npos);
    EXPECT_TRUE(reader.atEnd());

    IffReader quiet(bytesOf(writer.image()), writer.image().size());
    ASSERT_TRUE(quiet.enterForm(0));
    ASSERT_TRUE(quiet.enterChunk(iffTag("ABCD")));
    EXPECT_TRUE(quiet.exitChunk(0, false));
    EXPECT_EQ(quiet.diagnosticCount(), 0);
}

TEST(IffReader, SixtyFiveNestedLevelsGrowTheStackAndUnwind)
{
    fixture::IffWriter writer;
    for (int i = 0; i < 64; ++i)
        writer.beginForm("NEST");
    writer.chunk("LEAF", "1234");
    for (int i = 0; i < 64; ++i)
        writer.endForm();
    IffReader reader(bytesOf(writer.image()), writer.image().size());
    reader.setFileName("nest.iff");
    for (int i = 0; i < 64; ++i)
        ASSERT_TRUE(reader.enterForm(iffTag("NEST"))) << i;
    EXPECT_EQ(reader.capacity(), 64);
    ASSERT_TRUE(reader.enterChunk(iffTag("LEAF")));
    EXPECT_EQ(reader.depth(), 65);
    EXPECT_EQ(reader.capacity(), 128);
    EXPECT_EQ(reader.readInt32(true), 0x31323334);
    EXPECT_TRUE(reader.exitChunk(0, true));
    for (int i = 0; i < 64; ++i) {
        EXPECT_TRUE(reader.atEnd()) << i;
        ASSERT_TRUE(reader.exitForm(0)) << i;
    }
    EXPECT_EQ(reader.cursorOffset(), writer.image().size());
    EXPECT_FALSE(reader.exitForm(0));
    EXPECT_EQ(reader.lastDiagnostic(), "File:nest.iff, Path:: depth <= 0. Cannot exit FORM Tag at current position = '    '.");
}

TEST(IffReader, FailedEnterChangesNothingAndDepthZeroHasNoEnd)
{
    fixture::IffWriter writer;
    writer.beginForm("DATA").chunk("ABCD", "xy").endForm();
    IffReader reader(bytesOf(writer.image()), writer.image().size());
    EXPECT_FALSE(reader.atEnd());
    EXPECT_EQ(reader.remaining(), 0);
    EXPECT_EQ(reader.readInt32(false), 0);
    EXPECT_TRUE(reader.readFailed());
    EXPECT_FALSE(reader.enterForm(iffTag("LANG")));
    EXPECT_FALSE(reader.enterChunk(iffTag("FORM") + 1));
    EXPECT_FALSE(reader.enterChunk(0));
    EXPECT_EQ(reader.depth(), 0);
    EXPECT_EQ(reader.cursorOffset(), 0u);
    EXPECT_EQ(reader.lastDiagnostic(), "File:, Path:: Cannot enter CHUNK '' Tag at current position = 'FORM'.");
    EXPECT_TRUE(reader.isChunkAt(iffTag("FORM")));
    EXPECT_TRUE(reader.enterForm(0));
    EXPECT_EQ(reader.lastFormSize(), 14);
}

TEST(IffReader, ReadInt32ByteOrderAndStrings)
{
    fixture::IffWriter writer;
    writer.beginChunk("DATA").bytes(std::string("\x01\0\0\0", 4)).text("enu").text("toolong").endChunk();
    IffReader reader(bytesOf(writer.image()), writer.image().size());
    ASSERT_TRUE(reader.enterChunk(iffTag("DATA")));
    const uint8_t* start = reader.dataPointer();
    EXPECT_EQ(reader.readInt32(false), 1);
    char buffer[5];
    EXPECT_TRUE(reader.readString(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "enu");
    // Too long for the buffer: cut, and the cursor still passes the terminator.
    EXPECT_FALSE(reader.readString(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "tool");
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.dataEnd() - start, 16);

    IffReader big(bytesOf(writer.image()), writer.image().size());
    ASSERT_TRUE(big.enterChunk(iffTag("DATA")));
    EXPECT_EQ(big.readInt32(true), 16777216);
}

// Sizes and truncations that must be refused without moving the cursor.
struct BadImage {
    const char* name;
    std::string image;
    int enterableLevels; // levels that do enter before the refusal
};

std::string chunkWithSize(const char* tag, int32_t size, const std::string& payload)
{
    fixture::IffWriter writer;
    writer.beginChunk(tag).bytes(payload).endChunk().patchSize(0, size);
    return writer.image();
}

std::string formWithSize(int32_t size)
{
    fixture::IffWriter writer;
    writer.beginForm("DATA").chunk("ABCD", "1234").endForm().patchSize(0, size);
    return writer.image();
}

std::string innerChunkTooBigForItsForm()
{
    fixture::IffWriter writer;
    writer.beginForm("DATA").chunk("ABCD", "12345678").endForm().chunk("TAIL", "zzzzzzzz");
    std::string image = writer.image();
    // The chunk claims 12 bytes: inside the image but past its FORM's end.
    image[12 + 7] = 12;
    return image;
}

class IffBadInput : public ::testing::TestWithParam<BadImage> { };

TEST_P(IffBadInput, IsRefusedWithoutMovingTheCursor)
{
    const BadImage& bad = GetParam();
    IffReader reader(bytesOf(bad.image), bad.image.size());
    int entered = 0;
    // Walk the way every caller does: enter whatever is at the cursor, skip it.
    for (int step = 0; step < 8; ++step) {
        size_t before = reader.cursorOffset();
        bool isForm = reader.isFormAt(0);
        bool ok = isForm ? reader.enterForm(0) : reader.enterChunk(reader.peekTag());
        if (!ok) {
            EXPECT_EQ(reader.cursorOffset(), before);
            break;
        }
        ++entered;
        EXPECT_LE(reader.dataEnd() - bytesOf(bad.image), std::ptrdiff_t(bad.image.size()));
        if (!isForm) {
            reader.readInt32(false);
            char text[8];
            reader.readString(text, sizeof text);
        }
    }
    EXPECT_EQ(entered, bad.enterableLevels);
    EXPECT_LE(reader.cursorOffset(), bad.image.size());
}

INSTANTIATE_TEST_SUITE_P(Refusals, IffBadInput,
    ::testing::Values(BadImage { "Empty", "", 0 },
        BadImage { "TagOnly", "ABC", 0 },
        BadImage { "HeaderCut", std::string("ABCD\0\0", 6), 0 },
        BadImage { "NegativeChunkSize", chunkWithSize("ABCD", -8, "12345678"), 0 },
        BadImage { "MostNegativeChunkSize", chunkWithSize("ABCD", INT32_MIN, "1234"), 0 },
        BadImage { "ChunkPastImageEnd", chunkWithSize("ABCD", 0x7FFFFFF0, "1234"), 0 },
        BadImage { "ChunkOneBytePastEnd", chunkWithSize("ABCD", 5, "1234"), 0 },
        BadImage { "FormSizeBelowType", formWithSize(2), 0 },
        BadImage { "NegativeFormSize", formWithSize(-12), 0 },
        BadImage { "FormPastImageEnd", formWithSize(1000), 0 },
        BadImage { "ChunkPastItsForm", innerChunkTooBigForItsForm(), 1 },
        BadImage { "WellFormedControl", formWithSize(16), 2 }),
    [](const ::testing::TestParamInfo<BadImage>& p) { return std::string(p.param.name); });

TEST(IffReader, SkipLoopOverNegativeSizeEnds)
{
    // The callers' walk: until the end of the FORM, enter whatever is there and
    // skip it whole. A chunk claiming -8 bytes used to send the cursor back onto
    // itself for ever; now the enter is refused and the walk stops.
    fixture::IffWriter writer;
    writer.beginForm("LANG").chunk("GOOD", "1234");
    size_t bad = writer.offset();
    writer.chunk("BAD ", "12345678").endForm();
    writer.patchSize(bad, -8);
    IffReader reader(bytesOf(writer.image()), writer.image().size());
    ASSERT_TRUE(reader.enterForm(iffTag("LANG")));
    int skipped = 0;
    for (int guard = 0; guard < 100 && !reader.atEnd(); ++guard) {
        if (!reader.enterChunk(reader.peekTag()))
            break;
        reader.exitChunk(0, false);
        ++skipped;
    }
    EXPECT_EQ(skipped, 1);
    EXPECT_EQ(reader.cursorOffset(), bad);
}

} // namespace
