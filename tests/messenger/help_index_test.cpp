#include "messenger/help_index.h"

#include "fixtures/language_files.h"
#include "text/cliloc_table.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class HelpIndexTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetHelp();
        const std::string image = fixture::clilocImage({
            { 1001, "Walking" },
            { 1002, "move feet" },
            { 1003, "Click to walk." },
            { 1011, "Fishing" },
            { 1012, "pole water" },
            { 1013, "Use a <B>pole</B>." },
            { 1021, "Secrets" },
            { 1022, "hidden" },
            { 1023, "Not in the index." },
            { 3010007, "Related" },
            { 3010011, "No topics found." },
        });
        auto table = std::make_unique<ClilocTable>();
        table->loadBytes(reinterpret_cast<const uint8_t*>(image.data()), image.size());
        setClilocTable(std::move(table));
    }
    void TearDown() override
    {
        setClilocTable(nullptr);
        resetHelp();
    }
};

struct HelpLineCase {
    const char* name;
    std::string text;
    std::vector<int32_t> defined; // topics defined with ids, ascending
    std::vector<int32_t> unlisted;
};

class HelpIndexLines : public HelpIndexTest, public ::testing::WithParamInterface<HelpLineCase> { };

TEST_P(HelpIndexLines, DefineOnlyWholeLines)
{
    parseHelpIndex(GetParam().text);
    std::vector<int32_t> defined;
    std::vector<int32_t> unlisted;
    for (const auto& [number, topic] : helpState().topics) {
        if (topic.titleId == 0)
            continue;
        defined.push_back(number);
        if (!topic.listed)
            unlisted.push_back(number);
    }
    EXPECT_EQ(defined, GetParam().defined);
    EXPECT_EQ(unlisted, GetParam().unlisted);
}

const std::string kLongLine = "5\t1001\t1002\t1003\t" + std::string(600, '7') + "\n";

INSTANTIATE_TEST_SUITE_P(Lines, HelpIndexLines,
    ::testing::Values(HelpLineCase { "Plain", "1\t1001\t1002\t1003\n2\t1011\t1012\t1013", { 1, 2 }, {} },
        HelpLineCase { "Comment", "#1\t1001\t1002\t1003\n", {}, {} },
        HelpLineCase { "AtIsUnlisted", "@3\t1021\t1022\t1023\n", { 3 }, { 3 } },
        HelpLineCase { "BlanksAreNoSeparators", "1 1001 1002 1003\n", {}, {} },
        HelpLineCase { "ZeroIdDefinesNothing", "1\t1001\t0\t1003\n", {}, {} },
        HelpLineCase { "TooFewFields", "1\t1001\t1002\n", {}, {} },
        HelpLineCase { "NonNumeric", "x\t1001\t1002\t1003\n1\tabc\t1002\t1003\n", {}, {} },
        HelpLineCase { "LeadingBlanksAndTrailingText", "  4\t 1001x\t1002\t1003\r\n", { 4 }, {} },
        HelpLineCase { "HugeNumbersHeld", "99999999999999\t1001\t1002\t1003\n", { INT32_MAX }, {} },
        HelpLineCase { "EmptyAndBinary", std::string("\n\n\0\t\xff\n", 6), {}, {} },
        // The rest of an over-long line reads as a line of its own.
        HelpLineCase { "OverlongLineSkipped", kLongLine + "6\t1001\t1002\t1003\n", { 6 }, {} },
        HelpLineCase { "RedefinedKeepsLast", "@1\t1001\t1002\t1003\n1\t1011\t1012\t1013\n", { 1 }, {} }),
    [](const ::testing::TestParamInfo<HelpLineCase>& lineCase) { return std::string(lineCase.param.name); });

TEST_F(HelpIndexTest, RelatedFieldsAppendEvenWithoutADefinition)
{
    parseHelpIndex("7\t0\t1002\t1003\t9\n1\t1001\t1002\t1003\t2\t2\n0\t0\t0\t0\t5\n");
    ASSERT_TRUE(helpState().topics.contains(7));
    EXPECT_EQ(helpState().topics[7].titleId, 0);
    EXPECT_EQ(helpState().topics[7].related, std::vector<int32_t>({ 9 }));
    EXPECT_EQ(helpState().topics[1].related, std::vector<int32_t>({ 2, 2 }));
    EXPECT_FALSE(helpState().topics.contains(0));
    // A redefinition starts the related list afresh.
    parseHelpIndex("1\t1001\t1002\t1003\n");
    EXPECT_TRUE(helpState().topics[1].related.empty());
}

TEST_F(HelpIndexTest, PagesCarryTheirLinks)
{
    parseHelpIndex("1\t1001\t1002\t1003\t2\n2\t1011\t1012\t1013\n@3\t1021\t1022\t1023\n");
    EXPECT_EQ(buildHelpIndexPage(),
        u"<A HREF=\"?RelatedTopics1\">[+]</A> <A HREF=\"?1\">Walking</A><BR>"
        u"   <A HREF=\"?2\">Fishing</A><BR>");
    EXPECT_EQ(buildHelpTopicPage(1), u"<U>WALKING</U> <A HREF=\"?RelatedTopics1\">Related</A><BR>Click to walk.");
    EXPECT_EQ(buildHelpTopicPage(3), u"<U>SECRETS</U><BR>Not in the index.");
    EXPECT_EQ(buildHelpTopicPage(40), u"");
    EXPECT_EQ(buildRelatedTopicsPage(1), u"<A HREF=\"?1\">WALKING</A><BR>   <A HREF=\"?2\">Fishing</A><BR>");
    EXPECT_FALSE(helpState().topics.contains(40));
}

TEST_F(HelpIndexTest, HistoryAndRecentsAreBounded)
{
    for (int32_t topic = 1; topic <= 20; ++topic)
        pushHelpPage(HelpPageKind::kTopic, topic, u"");
    ASSERT_EQ(helpState().recent.size(), kHelpRecentSize);
    EXPECT_EQ(helpState().recent.front(), 20);
    EXPECT_EQ(helpState().recent.back(), 5);
    pushHelpPage(HelpPageKind::kTopic, 10, u"");
    EXPECT_EQ(helpState().recent.front(), 10);
    EXPECT_EQ(std::count(helpState().recent.begin(), helpState().recent.end(), 10), 1);
    for (int32_t topic = 21; topic <= 40; ++topic)
        pushHelpPage(HelpPageKind::kTopic, topic, u"");
    EXPECT_EQ(helpState().history.size(), kHelpHistorySize);
    EXPECT_EQ(helpState().history.front().value, 40);
}

TEST_F(HelpIndexTest, BackStopsAtTheLastEntry)
{
    parseHelpIndex("1\t1001\t1002\t1003\n2\t1011\t1012\t1013\n");
    initHelp(); // no file: the topics above stay, the index page is recorded
    pushHelpPage(HelpPageKind::kTopic, 2, u"");
    EXPECT_EQ(renderCurrentHelpPage(), buildHelpTopicPage(2));
    EXPECT_EQ(helpBack(), buildHelpIndexPage());
    EXPECT_EQ(helpState().history.size(), 1u);
    EXPECT_EQ(helpBack(), buildHelpIndexPage());
    EXPECT_EQ(helpState().history.size(), 1u);
}

TEST_F(HelpIndexTest, SearchWordsAreAlternatives)
{
    parseHelpIndex("1\t1001\t1002\t1003\n2\t1011\t1012\t1013\n@3\t1021\t1022\t1023\n");
    EXPECT_EQ(searchHelp(u"POLE feet"), 2);
    EXPECT_EQ(helpState().results, std::vector<int32_t>({ 2, 1 }));
    EXPECT_EQ(searchHelp(u"hid"), 1);
    EXPECT_EQ(buildSearchResultsPage(), u"<A HREF=\"?3\">Secrets</A><BR>");
    EXPECT_EQ(searchHelp(u"zzz"), 0);
    EXPECT_EQ(buildSearchResultsPage(), u"No topics found.");
    EXPECT_EQ(renderHelpPage(HelpPage { HelpPageKind::kSearch, 0, u"" }), u"");
}

TEST(HelpLinkNumber, ReadsSignAndStopsAtOtherCharacters)
{
    EXPECT_EQ(helpLinkNumber(u"12"), 12);
    EXPECT_EQ(helpLinkNumber(u"-3"), -3);
    EXPECT_EQ(helpLinkNumber(u"0"), 0);
    EXPECT_EQ(helpLinkNumber(u"7x9"), 7);
    EXPECT_EQ(helpLinkNumber(u""), 0);
    EXPECT_EQ(helpLinkNumber(u"\u0663"), 0);
}

} // namespace
