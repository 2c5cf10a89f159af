#include "gfx/animation_frame.h"
#include "gfx/hue_table.h"
#include "world/anim_data.h"

#include "fixtures/animation_writer.h"
#include "fixtures/hue_writer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

TEST(HueTable, WholeFileReadsEveryEntryAndHidesTransparentColours)
{
    auto bytes = fixture::hueFile(3000, [](int32_t i) {
        fixture::HueRamp made;
        for (int c = 0; c < 32; ++c)
            made.colours[c] = uint16_t(i + c + 2);
        made.colours[0] = 0x0000;
        made.colours[1] = 0x8000;
        made.colours[2] = 0x8123;
        made.start = uint16_t(i);
        made.end = uint16_t(i + 1);
        made.name = i == 7 ? "exactly twenty chars" : "Blue";
        return made;
    });
    ASSERT_EQ(bytes.size(), HueTable::kFileBytes);
    auto table = std::make_unique<HueTable>();
    EXPECT_TRUE(table->load(bytes));
    EXPECT_EQ(table->entry(2999).colours[5], 2999 + 5 + 2);
    EXPECT_EQ(table->entry(0).colours[0], 1);
    EXPECT_EQ(table->entry(0).colours[1], 1);
    EXPECT_EQ(table->entry(0).colours[2], 1);
    EXPECT_EQ(table->entry(1234).start, 1234);
    EXPECT_EQ(table->entry(1234).end, 1235);
    auto name = hueNameText(table->entry(7));
    EXPECT_EQ(std::string(name.begin(), name.end()), "exactly twenty chars") << "no terminator, still bounded";
    name = hueNameText(table->entry(8));
    EXPECT_EQ(std::string(name.begin(), name.end()), "Blue");
    for (int32_t outside : { -1, 3000, 16383 })
        EXPECT_EQ(&table->entry(outside), &table->entry(0)) << outside;
}

TEST(HueTable, WithoutFileEveryColourIsOne)
{
    auto table = std::make_unique<HueTable>();
    EXPECT_TRUE(table->load({}) == false);
    for (const HueEntry& e : table->entries())
        for (uint16_t colour : e.colours)
            ASSERT_EQ(colour, 1);
}

TEST(HueTable, TruncatedFileKeepsTheWholeGroupsBeforeTheCut)
{
    auto bytes = fixture::hueFile(24, [](int32_t i) {
        fixture::HueRamp made;
        made.colours.fill(uint16_t(100 + i));
        return made;
    });
    bytes.resize(bytes.size() - 1);
    auto table = std::make_unique<HueTable>();
    EXPECT_FALSE(table->load(bytes));
    EXPECT_EQ(table->entry(15).colours[0], 115);
    EXPECT_EQ(table->entry(16).colours[0], 1) << "the cut group is refused whole";
}

struct ColourCase {
    const char* name;
    const char* text;
    int32_t expected;
};

class HtmlColour : public testing::TestWithParam<ColourCase> { };

TEST_P(HtmlColour, Parses)
{
    const ColourCase& c = GetParam();
    EXPECT_EQ(parseHtmlColor(std::string_view(c.text)), c.expected);
    std::u16string wide(c.text, c.text + std::char_traits<char>::length(c.text));
    EXPECT_EQ(parseHtmlColor(std::u16string_view(wide)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Text, HtmlColour,
    testing::Values(ColourCase { "Hash", "#FF8000", 31 << 10 | 16 << 5 }, ColourCase { "Decimal", "16744448", 31 << 10 | 16 << 5 },
        ColourCase { "Negative", "-5", -5 }, ColourCase { "LowerCase", "#ff8000", 31 << 10 | 16 << 5 },
        ColourCase { "NonHexDigitCountsAsZero", "#FFx0FF", 31 << 10 | 31 },
        ColourCase { "ShortHash", "#FF", 31 << 10 }, ColourCase { "Empty", "", 0 },
        ColourCase { "HugeDecimal", "99999999999999", 0x7FFF }),
    [](const testing::TestParamInfo<ColourCase>& caseInfo) { return std::string(caseInfo.param.name); });

class AnimDataTest : public testing::Test {
protected:
    void SetUp() override
    {
        table = std::make_unique<AnimDataTable>();
        auto bytes = fixture::animDataFile(AnimDataTable::kRecordCount, [](int32_t graphic) {
            fixture::AnimDataEntry made;
            if (graphic == 100) {
                made.frameCount = 3;
                made.interval = 2;
                made.frameOffsets[0] = 0;
                made.frameOffsets[1] = 1;
                made.frameOffsets[2] = -2;
            } else if (graphic == 101) {
                made.frameCount = 255;
                made.currentFrame = 200;
                made.interval = 1;
            } else if (graphic == 102) {
                made.interval = 0;
            }
            return made;
        });
        ASSERT_EQ(bytes.size(), AnimDataTable::kFileBytes);
        ASSERT_TRUE(table->load(bytes));
    }
    std::unique_ptr<AnimDataTable> table;
};

TEST_F(AnimDataTest, ObjectsSharingAGraphicAdvanceOncePerUpdate)
{
    int8_t first = 0, second = 0;
    table->beginUpdate(); // counter 1: not due with interval 2
    EXPECT_FALSE(table->stepObject(100, first));
    table->beginUpdate(); // counter 2
    ASSERT_TRUE(table->stepObject(100, first));
    ASSERT_TRUE(table->stepObject(100, second));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
    table->beginUpdate();
    table->beginUpdate();
    ASSERT_TRUE(table->stepObject(100, first));
    EXPECT_EQ(first, -2);
    table->beginUpdate();
    table->beginUpdate();
    ASSERT_TRUE(table->stepObject(100, first));
    EXPECT_EQ(first, 0) << "wraps at the frame count";
}

TEST_F(AnimDataTest, FrameNumbersFromTheFileStayInsideTheOffsets)
{
    EXPECT_EQ(table->record(101).frameCount, AnimDataRecord::kMaxFrames);
    EXPECT_LT(table->record(101).currentFrame, AnimDataRecord::kMaxFrames);
    int8_t offset = 0;
    for (int i = 0; i < 300; ++i) {
        table->beginUpdate();
        ASSERT_TRUE(table->stepObject(101, offset));
        ASSERT_LT(table->record(101).currentFrame, AnimDataRecord::kMaxFrames);
    }
    EXPECT_FALSE(table->stepObject(102, offset)) << "interval 0 never steps";
    EXPECT_FALSE(table->stepObject(-1, offset));
    EXPECT_FALSE(table->stepObject(AnimDataTable::kRecordCount, offset));
}

TEST(AnimData, MissingOrShortFileKeepsDefaults)
{
    auto table = std::make_unique<AnimDataTable>();
    EXPECT_FALSE(table->load({}));
    EXPECT_EQ(table->record(5).interval, 8);
    auto bytes = fixture::animDataFile(12, [](int32_t) {
        fixture::AnimDataEntry made;
        made.interval = 3;
        return made;
    });
    EXPECT_FALSE(table->load(bytes));
    EXPECT_EQ(table->record(7).interval, 3);
    EXPECT_EQ(table->record(8).interval, 8) << "the incomplete group is not taken";
    EXPECT_EQ(table->record(-3).interval, 8);
}

const std::vector<uint8_t> kFirstFrameRuns = fixture::frameRunBytes({ { -2, -3, { 1, 2, 3, 4 } } });

std::vector<uint8_t> twoFrameRecord()
{
    fixture::AnimFrameData first { 3, -4, 10, 12, kFirstFrameRuns };
    fixture::AnimFrameData missing {};
    return fixture::animationRecord([](int i) { return uint16_t(i * 3); }, { first, missing });
}

TEST(AnimationFrame, ReadsPaletteHeaderAndData)
{
    auto record = twoFrameRecord();
    auto frame = readAnimationFrame(record, 77, 0);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->palette[255], 765);
    EXPECT_EQ(frame->frameCount, 2);
    EXPECT_EQ(frame->centreX, 3);
    EXPECT_EQ(frame->centreY, -4);
    EXPECT_EQ(frame->width, 10);
    EXPECT_EQ(frame->height, 12);
    EXPECT_EQ(frame->extra, 77u);
    EXPECT_EQ(std::vector<uint8_t>(frame->pixelData.begin(), frame->pixelData.end()), kFirstFrameRuns)
        << "the runs up to their end mark";
    int32_t count = -1;
    EXPECT_FALSE(readAnimationFrame(record, 0, 1, &count)) << "offset 0";
    EXPECT_EQ(count, 2) << "the count is told even when the frame is missing";
    EXPECT_FALSE(readAnimationFrame(record, 0, 2)) << "frame == count";
    EXPECT_FALSE(readAnimationFrame(record, 0, -1));
}

struct BadFrameCase {
    const char* name;
    std::vector<uint8_t> bytes;
};

std::vector<BadFrameCase> badFrameCases()
{
    auto good = twoFrameRecord();
    std::vector<BadFrameCase> cases;
    cases.push_back({ "Empty", {} });
    cases.push_back({ "PaletteOnly", std::vector<uint8_t>(good.begin(), good.begin() + 512) });
    cases.push_back({ "NoOffsetTable", std::vector<uint8_t>(good.begin(), good.begin() + 516) });
    cases.push_back({ "FrameHeaderCut", std::vector<uint8_t>(good.begin(), good.begin() + 512 + 12 + 5) });
    auto huge = good;
    huge[516] = 0xF0;
    huge[517] = 0xFF;
    huge[518] = 0xFF;
    huge[519] = 0x7F;
    cases.push_back({ "OffsetPastTheEnd", huge });
    auto manyFrames = good;
    manyFrames[512] = 0xFF;
    manyFrames[513] = 0xFF;
    manyFrames.resize(530);
    cases.push_back({ "CountLargerThanTheOffsetTable", manyFrames });
    cases.push_back({ "RunsWithoutEndMark", std::vector<uint8_t>(good.begin(), good.end() - 4) });
    cases.push_back({ "RunCutShort", std::vector<uint8_t>(good.begin(), good.end() - 6) });
    auto longRun = good;
    // The first run's count (bits 0-11) claims 4095 pixels.
    size_t header = longRun.size() - kFirstFrameRuns.size();
    longRun[header] = 0xFF;
    longRun[header + 1] |= 0x0F;
    cases.push_back({ "RunLongerThanTheRecord", longRun });
    return cases;
}

class AnimationFrameBadInput : public testing::TestWithParam<BadFrameCase> { };

TEST_P(AnimationFrameBadInput, IsRefused)
{
    const auto& bytes = GetParam().bytes;
    for (int32_t frame : { 0, 1, 3, 1000 })
        EXPECT_FALSE(readAnimationFrame(bytes, 0, frame)) << frame;
}

INSTANTIATE_TEST_SUITE_P(Anim, AnimationFrameBadInput, testing::ValuesIn(badFrameCases()),
    [](const testing::TestParamInfo<BadFrameCase>& caseInfo) { return std::string(caseInfo.param.name); });

} // namespace
