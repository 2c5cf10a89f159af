// Layer II's choice of allocation table by sample rate, channels and bit rate.

#include "audio/mpeg_frame.h"
#include "audio/mpeg_layer12.h"
#include "audio/mpeg_tables.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TableCase {
    const char* name;
    uint32_t word;
    int table;
    int subbandLimit;
};

class Layer2TableChoice : public ::testing::TestWithParam<TableCase> { };

TEST_P(Layer2TableChoice, FollowsBitRatePerChannel)
{
    const TableCase& c = GetParam();
    mpeg::FrameHeader header;
    ASSERT_TRUE(mpeg::parseFrameHeader(c.word, header));
    const int table = header.lowSamplingFrequency ? 4 : mpeg::layer2TableIndex(header);
    EXPECT_EQ(table, c.table);
    EXPECT_EQ(mpeg::kAllocationTables[table].subbandLimit, c.subbandLimit);
}

const TableCase kTableCases[] = {
    { "Stereo_48k_64", 0xFFFD4400, 2, 8 },
    { "Stereo_32k_64", 0xFFFD4800, 3, 12 },
    { "Stereo_44k_128", 0xFFFD8000, 0, 27 },
    { "Stereo_44k_192", 0xFFFDA000, 1, 30 },
    { "Stereo_48k_192", 0xFFFDA400, 0, 27 },
    { "Mono_44k_48", 0xFFFD20C0, 2, 8 },
    { "Mono_32k_56", 0xFFFD38C0, 0, 27 },
    { "Mono_32k_96", 0xFFFD68C0, 1, 30 },
    { "LowRate_22k_64", 0xFFF58000, 4, 30 },
};

INSTANTIATE_TEST_SUITE_P(Headers, Layer2TableChoice, ::testing::ValuesIn(kTableCases),
    [](const ::testing::TestParamInfo<TableCase>& param) { return std::string(param.param.name); });

TEST(Layer2Tables, EveryAllocationValueHasAQuantiser)
{
    for (const mpeg::AllocationTable& table : mpeg::kAllocationTables) {
        for (int sb = 0; sb < table.subbandLimit; ++sb) {
            const int values = 1 << table.allocationBits[sb];
            for (int a = 1; a < values; ++a) {
                const mpeg::Quantiser& q = table.quantisers[sb][a];
                ASSERT_GE(q.bits, 3);
                ASSERT_LE(q.bits, 16);
                ASSERT_TRUE(q.levels == 0 || q.levels == 3 || q.levels == 5 || q.levels == 9);
            }
        }
    }
}

} // namespace
