#include "data/def_tables.h"

#include "core/process_random.h"
#include "data/data_files.h"
#include "fixtures/client_directory.h"
#include "fixtures/data_file_writer.h"
#include "fixtures/text_file_writer.h"

#include <climits>
#include <gtest/gtest.h>
#include <set>

namespace {

struct ParseCase {
    const char* label;
    const char* line;
    bool isEntry;
    uint16_t id;
    std::vector<uint16_t> alternatives;
    int32_t hue;
};

class DefLineGrammar : public ::testing::TestWithParam<ParseCase> { };

TEST_P(DefLineGrammar, ParsesOrRefuses)
{
    const ParseCase& c = GetParam();
    auto parsed = DefTable::parseLine(c.line);
    ASSERT_EQ(parsed.has_value(), c.isEntry);
    if (!parsed)
        return;
    EXPECT_EQ(parsed->first, c.id);
    EXPECT_EQ(parsed->second.alternatives, c.alternatives);
    EXPECT_EQ(parsed->second.hue, c.hue);
}

const ParseCase kParseCases[] = {
    { "TwoAlternatives", "1234 {1235, 1236} 0", true, 1234, { 1235, 1236 }, 0 },
    { "TrailingCommaAndComment", "7 {8,} 33 # a comment", true, 7, { 8 }, 33 },
    { "LeadingBlanksAndCrLf", " \t12 {13} 5\r", true, 12, { 13 }, 5 },
    { "EmptyList", "9 {} 1", true, 9, {}, 1 },
    { "NegativeHue", "9 {1} -25", true, 9, { 1 }, -25 },
    { "NegativeIdKeepsItsPattern", "-1 {2} 0", true, 0xFFFF, { 2 }, 0 },
    { "IdWrapsTo16Bits", "65537 {2} 0", true, 1, { 2 }, 0 },
    { "MinusInListIsSkipped", "3 {-4} 0", true, 3, { 4 }, 0 },
    { "TextBeforeBraceSkipped", "3 anything {4} 0", true, 3, { 4 }, 0 },
    { "HugeNumbersAreHeld", "3 {99999999999999999999} -99999999999999999999", true, 3, { 0xFFFF }, INT32_MIN },
    { "HugeHue", "3 {4} 99999999999999999999", true, 3, { 4 }, INT32_MAX },
    { "Comment", "# 1 {2} 3", false, 0, {}, 0 },
    { "Blank", "   ", false, 0, {}, 0 },
    { "Empty", "", false, 0, {}, 0 },
    { "TextAfterHue", "12 {13} 0 x", false, 0, {}, 0 },
    { "NoId", "x 12 {13} 0", false, 0, {}, 0 },
    { "NoBrace", "12 13 0", false, 0, {}, 0 },
    { "NoDigitInList", "12 {a} 0", false, 0, {}, 0 },
    { "UnclosedList", "12 {13 0", false, 0, {}, 0 },
    { "BlankSeparatedList", "12 {13 14} 0", false, 0, {}, 0 },
    { "CommaThenBlank", "12 {13, } 0", false, 0, {}, 0 },
    { "NoHue", "12 {13}", false, 0, {}, 0 },
    { "NoHueAfterBlanks", "12 {13}   ", false, 0, {}, 0 },
};

INSTANTIATE_TEST_SUITE_P(Cases, DefLineGrammar, ::testing::ValuesIn(kParseCases),
    [](const ::testing::TestParamInfo<ParseCase>& entry) { return std::string(entry.param.label); });

class FakeWorld : public DefTableWorld {
public:
    bool hasArtImage(uint16_t artId) override { return existingArt.count(artId) != 0; }
    bool itemHasPartialHue(uint16_t item) override { return partialHue.count(item) != 0; }
    void clearItemPartialHue(uint16_t item) override { partialHue.erase(item); }
    bool isAnimSetEnabled(int set) override { return enabledSets.count(set) != 0; }
    int32_t bodyConversion(uint16_t body, int column) override
    {
        auto found = conversions.find({ body, column });
        return found == conversions.end() ? -1 : found->second;
    }

    std::set<uint16_t> existingArt;
    std::set<uint16_t> partialHue;
    std::set<int> enabledSets;
    std::map<std::pair<uint16_t, int>, int32_t> conversions;
};

class DefTablesTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::vector<std::string>& lines)
    {
        return m_client.write(name, fixture::textLines(lines));
    }
    fixture::ClientDirectory m_client;
    FakeWorld m_world;
};

TEST_F(DefTablesTest, TheFirstLineForAnIdWins)
{
    DefTable table;
    table.load(write("gump.def", { "# remaps", "5 {50} 1", "5 {60} 2", "6 {61,62} 3", "bad line" }));
    ASSERT_EQ(table.size(), 2u);
    ASSERT_NE(table.getEntry(5), nullptr);
    EXPECT_EQ(table.getEntry(5)->alternatives, std::vector<uint16_t> { 50 });
    EXPECT_EQ(table.getEntry(5)->hue, 1);
    EXPECT_EQ(table.getEntry(7), nullptr);
}

TEST_F(DefTablesTest, ALongLineGoesOnAsTheNextLine)
{
    // 254 characters, then "8 {9} 0" on the same physical line.
    std::string first = "1 {2} 0" + std::string(247, ' ');
    ASSERT_EQ(first.size(), 254u);
    DefTable table;
    table.load(write("gump.def", { first + "8 {9} 0" }));
    EXPECT_TRUE(table.contains(1));
    EXPECT_TRUE(table.contains(8));
}

TEST_F(DefTablesTest, AMissingFileGivesAnEmptyTable)
{
    DefTable table;
    table.load(m_client.path() + "/none.def");
    EXPECT_EQ(table.size(), 0u);
    EXPECT_EQ(table.translate(5, 0), 5);
}

TEST_F(DefTablesTest, TranslateReseedsAndTakesThirtyEightModN)
{
    DefTable table;
    table.load(write("gump.def", { "1 {10} 0", "2 {10,11} 0", "3 {10,11,12} 0", "4 {10,11,12,13,14} 0", "5 {} 0" }));
    EXPECT_EQ(table.translate(1, 0), 10);
    EXPECT_EQ(table.translate(2, 0), 10); // 38 mod 2
    EXPECT_EQ(table.translate(3, 0), 12); // 38 mod 3
    EXPECT_EQ(table.translate(4, 0), 13); // 38 mod 5
    // The draw after a translate continues the reseeded sequence.
    EXPECT_EQ(nextRandom(), 7719);
    // An empty list has nothing to choose from.
    EXPECT_EQ(table.translate(5, 0), 5);
    EXPECT_EQ(table.translate(6, 0), 6);
    seedRandom(1);
    EXPECT_EQ(nextRandom(), 41);
}

TEST_F(DefTablesTest, SoundLinesAreTakenOnlyForMissingOrTinySounds)
{
    fixture::writeRequiredDataFiles(m_client.root(), "client");
    m_client.write("soundidx.mul",
        fixture::idxEntry(0, 40, 0) + fixture::idxEntry(0, 41, 0) + fixture::idxEntry(-1, 500, 0)
            + fixture::idxEntry(0, 0, 0));
    DataFiles files;
    DataFiles* previous = installDataFiles(&files);
    files.reset();
    files.load();
    SoundDefTable table;
    table.load(write("sound.def", { "0 {100} 0", "1 {101} 0", "2 {102} 0", "3 {103} 0", "9 {109} 0" }));
    installDataFiles(previous);
    EXPECT_TRUE(table.contains(0)); // length 40
    EXPECT_FALSE(table.contains(1)); // length 41: the sound exists
    EXPECT_TRUE(table.contains(2)); // offset -1
    EXPECT_TRUE(table.contains(3));
    EXPECT_TRUE(table.contains(9)); // beyond the index: missing
}

TEST_F(DefTablesTest, ArtLinesOnlyForMissingImagesAndPartialHueFollowsTheReplacement)
{
    m_world.existingArt = { 0x4001 };
    m_world.partialHue = { 1, 2, 3, 4, 50 };
    ArtDefTable table(m_world);
    table.load(write("art.def",
        {
            "16385 {16400} 0", // 0x4001 exists: ignored
            "16386 {16434} 0", // item 2 -> item 50, which has the bit
            "16387 {16435} 0", // item 3 -> item 51, which lacks it
            "16388 {100} 0", // item 4 -> land art: skipped safely
        }));
    EXPECT_FALSE(table.contains(0x4001));
    EXPECT_TRUE(table.contains(0x4002));
    EXPECT_EQ(m_world.partialHue, (std::set<uint16_t> { 1, 2, 4, 50 }));
}

TEST_F(DefTablesTest, BodiesServedByAnEnabledConversionAreNotRemapped)
{
    m_world.conversions[{ 400, 2 }] = 7;
    m_world.conversions[{ 401, 3 }] = 8;
    m_world.enabledSets = { 2 };
    BodyDefTable table(m_world);
    table.load(write("body.def", { "400 {1} 5", "400 {2} 6", "401 {3} 0", "3000 {4} 0" }));
    EXPECT_FALSE(table.contains(400));
    EXPECT_EQ(table.translate(400, 0), 400);
    // Loading used the plain rule: the first line for 400 is the entry.
    ASSERT_NE(table.getEntry(400), nullptr);
    EXPECT_EQ(table.getEntry(400)->hue, 5);
    EXPECT_TRUE(table.contains(401)); // set 3 not enabled
    EXPECT_TRUE(table.contains(3000));
    m_world.enabledSets = { 3 };
    EXPECT_FALSE(table.contains(401));
}

TEST_F(DefTablesTest, CreateLoadsTheTenFilesFromTheClientDirectory)
{
    write("GUMP.DEF", { "1 {2} 0" });
    write("Corpse.def", { "3 {4} 9" });
    createDefTables(m_world);
    for (int slot = 0; slot < kDefSlotCount; ++slot)
        EXPECT_NE(defTable(DefSlot(slot)), nullptr) << defFileName(DefSlot(slot));
    EXPECT_EQ(defTable(DefSlot::Gump)->translate(1, 0), 2);
    EXPECT_EQ(defTable(DefSlot::Corpse)->getEntry(3)->hue, 9);
    EXPECT_EQ(defTable(DefSlot::Anim1)->size(), 0u);
    destroyDefTables();
    EXPECT_EQ(defTable(DefSlot::Gump), nullptr);
}

} // namespace
