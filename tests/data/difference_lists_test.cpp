#include "data/difference_lists.h"

#include "fixtures/client_directory.h"
#include "fixtures/data_file_writer.h"

#include <gtest/gtest.h>

namespace {

class DifferenceListsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_client.write("mapdifl0.mul", fixture::differenceList({ 100, 7, 9, 12, 100 }));
        m_client.write("StaDifL0.MUL", fixture::differenceList({ 100, 7, 9, 12, 100 }));
        // A list cut inside its third entry.
        m_client.write("stadifl2.mul", fixture::differenceList({ 5, 6, 7 }).substr(0, 10));
    }
    fixture::ClientDirectory m_client;
    DifferenceLists m_lists;
};

struct LimitCase {
    const char* label;
    uint32_t limit;
    int32_t block100, block7, block12;
};

class DifferenceLimits : public DifferenceListsTest, public ::testing::WithParamInterface<LimitCase> { };

TEST_P(DifferenceLimits, OnlyTheFirstEntriesApply)
{
    const LimitCase& c = GetParam();
    m_lists.setLimits(0, c.limit, c.limit);
    m_lists.load();
    EXPECT_EQ(m_lists.lookupStaticsDif(100, 0), c.block100);
    EXPECT_EQ(m_lists.lookupStaticsDif(7, 0), c.block7);
    EXPECT_EQ(m_lists.lookupStaticsDif(12, 0), c.block12);
    EXPECT_EQ(m_lists.lookupMapDif(100, 0), c.block100);
    EXPECT_EQ(m_lists.lookupMapDif(7, 0), c.block7);
    EXPECT_EQ(m_lists.lookupMapDif(12, 0), c.block12);
}

const LimitCase kLimitCases[] = {
    { "Zero", 0, -1, -1, -1 },
    { "Three", 3, 0, 1, -1 },
    { "FiveLaterEntryWins", 5, 4, 1, 3 },
    { "BeyondTheList", 1000, 4, 1, 3 },
    { "Largest", 0xFFFFFFFFu, 4, 1, 3 },
};

INSTANTIATE_TEST_SUITE_P(Cases, DifferenceLimits, ::testing::ValuesIn(kLimitCases),
    [](const ::testing::TestParamInfo<LimitCase>& entry) { return std::string(entry.param.label); });

TEST_F(DifferenceListsTest, MissingAndShortFiles)
{
    for (int facet = 0; facet < kDifferenceFacetCount; ++facet)
        m_lists.setLimits(facet, 10, 10);
    m_lists.load();
    EXPECT_EQ(m_lists.lookupStaticsDif(5, 2), 0);
    EXPECT_EQ(m_lists.lookupStaticsDif(6, 2), 1);
    EXPECT_EQ(m_lists.lookupStaticsDif(7, 2), -1);
    EXPECT_EQ(m_lists.lookupMapDif(5, 2), -1);
    EXPECT_EQ(m_lists.lookupStaticsDif(100, 4), -1);
}

TEST_F(DifferenceListsTest, NewLimitsReplaceACachedTerrainAnswer)
{
    m_lists.setLimits(0, 5, 5);
    m_lists.load();
    EXPECT_EQ(m_lists.lookupMapDif(100, 0), 4);
    EXPECT_EQ(m_lists.lookupMapDif(100, 0), 4);
    m_lists.setLimits(0, 5, 3);
    m_lists.load();
    EXPECT_EQ(m_lists.lookupMapDif(100, 0), 0);
    m_lists.setLimits(0, 5, 0);
    m_lists.load();
    EXPECT_EQ(m_lists.lookupMapDif(100, 0), -1);
}

using DifferenceListsDeathTest = DifferenceListsTest;

TEST_F(DifferenceListsDeathTest, AnInvalidFacetIsFatal)
{
    EXPECT_EXIT(m_lists.lookupStaticsDif(1, 5), ::testing::ExitedWithCode(1), "Facet 5 is not a valid facet");
    EXPECT_EXIT(m_lists.lookupMapDif(1, -1), ::testing::ExitedWithCode(1), "");
    // The cache's empty state answers no invalid facet.
    EXPECT_EXIT(m_lists.lookupMapDif(0xFFFFFFFFu, -1), ::testing::ExitedWithCode(1), "");
}

} // namespace
