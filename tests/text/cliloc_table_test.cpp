#include "fixtures/client_directory.h"
#include "fixtures/language_files.h"
#include "text/cliloc_table.h"
#include "text/obscenity_filter.h"

#include <gtest/gtest.h>

namespace {

std::u16string text(const WString& value)
{
    return value.c_str() ? std::u16string(value.c_str()) : std::u16string(u"<null>");
}

bool load(ClilocTable& table, const std::string& image)
{
    return table.loadBytes(reinterpret_cast<const uint8_t*>(image.data()), image.size());
}

class ClilocTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto table = std::make_unique<ClilocTable>();
        ASSERT_TRUE(load(*table,
            fixture::clilocImage({ { 500000, "first" }, { 1000001, "sword" }, { 1061112, "Named: ~1_NAME~" },
                { 1072305, "~1_WORD~!" }, { 1000002, "caf\xC3\xA9 \xE2\x82\xAC" }, { 1000003, "" } })));
        setClilocTable(std::move(table));
    }
    void TearDown() override
    {
        setClilocTable(nullptr);
        setObsceneWordList({});
    }
};

TEST_F(ClilocTest, LookUp)
{
    WString out;
    getClilocString(out, 1000001, 0);
    EXPECT_EQ(text(out), u"sword");
    getClilocString(out, 1000002, 0);
    EXPECT_EQ(text(out), u"caf\u00E9 \u20AC");
    getClilocString(out, 1000003, 0);
    EXPECT_EQ(text(out), u"");
    getClilocString(out, 1234567, 0);
    EXPECT_EQ(text(out), u"Error (DudiViruza) : StringId Not Found : 1234567");
    getClilocString(out, 1234567, 1);
    EXPECT_EQ(text(out), u"");
    getClilocString(out, 1234567, 2);
    EXPECT_EQ(text(out), u"Error (DudiViruza) : StringId Not Found : 1234567");
}

TEST_F(ClilocTest, LaterFileReplacesEarlierTexts)
{
    ASSERT_TRUE(load(*clilocTable(), fixture::clilocImage({ { 1000001, "Schwert" } })));
    WString out;
    getClilocString(out, 1000001, 0);
    EXPECT_EQ(text(out), u"Schwert");
    getClilocString(out, 500000, 0);
    EXPECT_EQ(text(out), u"first");
}

TEST(ClilocTable, LongTextIsCutAndTheNextRecordIsIntact)
{
    ClilocTable table;
    std::string longText(5000, 'x');
    ASSERT_TRUE(load(table, fixture::clilocImage({ { 1, "a" }, { 2, longText }, { 3, "after" } })));
    ASSERT_NE(table.utf8Text(2), nullptr);
    EXPECT_EQ(table.utf8Text(2)->size(), ClilocTable::kMaxTextBytes);
    ASSERT_NE(table.utf8Text(3), nullptr);
    EXPECT_EQ(*table.utf8Text(3), "after");
}

TEST(ClilocTable, FilesAreFoundByNameAndAMissingOneKeepsTheTable)
{
    fixture::ClientDirectory data;
    data.write("Cliloc.ENU", fixture::clilocImage({ { 1000001, "sword" } }));
    ClilocTable table;
    EXPECT_TRUE(table.loadFile("cliloc.enu"));
    EXPECT_FALSE(table.loadFile("cliloc.xyz"));
    EXPECT_EQ(table.size(), 1u);
    ASSERT_NE(table.utf8Text(1000001), nullptr);
    EXPECT_EQ(*table.utf8Text(1000001), "sword");
}

struct BadCliloc {
    const char* name;
    std::string image;
    size_t recordsKept;
};

std::string goodImage()
{
    return fixture::clilocImage({ { 10, "ten" }, { 11, "eleven" } });
}

std::string withTail(const std::string& tail)
{
    return goodImage() + tail;
}

class ClilocBadInput : public ::testing::TestWithParam<BadCliloc> { };

TEST_P(ClilocBadInput, RefusedWithoutLosingWhatWasHeld)
{
    ClilocTable table;
    ASSERT_TRUE(load(table, fixture::clilocImage({ { 99, "held" } })));
    EXPECT_FALSE(load(table, GetParam().image));
    EXPECT_EQ(table.size(), 1 + GetParam().recordsKept);
    ASSERT_NE(table.utf8Text(99), nullptr);
    EXPECT_EQ(*table.utf8Text(99), "held");
}

INSTANTIATE_TEST_SUITE_P(Table, ClilocBadInput,
    ::testing::Values(BadCliloc { "Empty", "", 0 }, BadCliloc { "HeaderCut", std::string(5, '\0'), 0 },
        BadCliloc { "RecordHeaderCut", withTail(std::string("\x0C\0\0\0\0\x05", 6)), 2 },
        BadCliloc { "LengthPastTheEnd", withTail(fixture::int32le(12) + std::string(1, '\0') + fixture::int16le(-1) + "abc"), 2 },
        BadCliloc { "TextOneByteShort", withTail(fixture::int32le(12) + std::string(1, '\0') + fixture::int16le(4) + "abc"), 2 }),
    [](const ::testing::TestParamInfo<BadCliloc>& p) { return std::string(p.param.name); });

struct SubstitutionCase {
    const char* name;
    std::u16string message;
    std::u16string arguments;
    int32_t id;
    std::u16string expected;
};

class Substitution : public ClilocTest, public ::testing::WithParamInterface<SubstitutionCase> { };

TEST_P(Substitution, Formats)
{
    WString message(GetParam().message.c_str());
    formatClilocString(message, GetParam().arguments.c_str(), GetParam().id, false, false);
    EXPECT_EQ(text(message), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, Substitution,
    ::testing::Values(
        SubstitutionCase { "TwoArguments", u"~1_NAME~ has ~2_COUNT~ items", u"Bob\t3", 1000, u"Bob has 3 items" },
        SubstitutionCase { "ArgumentOutOfRange", u"~1_A~ ~3_X~", u"a\tb", 1000,
            u"Error (TID): Token Out of Range : 3 : 1000" },
        SubstitutionCase { "ArgumentZero", u"~0~", u"a", 1000, u"Error (TID): Token Out of Range : 0 : 1000" },
        SubstitutionCase { "MessageTokenOutOfRange", u"~#1~", u"a", 1000, u"Error (TID): Token Out of Range : 1 : 1000" },
        SubstitutionCase { "MessageToken", u"[~#1000001~]", u"x", 1000, u"[sword]" },
        SubstitutionCase { "MessageArgument", u"a ~1_ITEM~", u"#1000001", 1000, u"a sword" },
        SubstitutionCase { "MessageArgumentOutOfRange", u"a ~1_ITEM~", u"#12", 1000,
            u"Error (TID): Provided Token Out of Range : 12 : 1000" },
        SubstitutionCase { "LiteralIdKeepsTheArgument", u"Named: ~1_NAME~", u"#1000001", 1061112, u"Named: #1000001" },
        SubstitutionCase { "EscapedTilde", u"a\\~b", u"x", 1000, u"a\\~b" },
        SubstitutionCase { "UnclosedToken", u"take ~1_REST", u"all", 1000, u"take all" },
        SubstitutionCase { "EmptyArgument", u"[~1~][~2~]", u"\tb", 1000, u"[][b]" },
        SubstitutionCase { "ExtraArgumentsIgnored", u"~1~", u"a\tb\tc", 1000, u"a" },
        SubstitutionCase { "NoArgumentsLeavesTheText", u"~1~", u"", 1000, u"~1~" },
        SubstitutionCase { "SignsInTheNumber", u"~-+-2~", u"a\tb", 1000, u"b" },
        // A '-' after a digit still flips the sign, as in every number the text layer reads.
        SubstitutionCase { "MinusAfterADigit", u"~1-2~", u"a\tb", 1000, u"Error (TID): Token Out of Range : -12 : 1000" },
        // A digit run past 32 bits used to wrap round; 4294967297 read as 1.
        SubstitutionCase { "HugeNumberSaturates", u"~4294967297~", u"a", 1000,
            u"Error (TID): Token Out of Range : 2147483647 : 1000" },
        SubstitutionCase { "HugeMessageArgument", u"~1~", u"#4295467296", 1000,
            u"Error (TID): Provided Token Out of Range : 2147483647 : 1000" }),
    [](const ::testing::TestParamInfo<SubstitutionCase>& p) { return std::string(p.param.name); });

TEST_F(ClilocTest, FilteredMessageMasksItsArguments)
{
    setObsceneWordList({ u"bad" });
    WString message(u"~1_WORD~!");
    formatClilocString(message, u"so bad", 1072305, false, false);
    EXPECT_EQ(text(message), u"so !*#!");
    WString other(u"~1_WORD~!");
    formatClilocString(other, u"so bad", 1000, false, false);
    EXPECT_EQ(text(other), u"so bad!");
}

struct SplitCase {
    const char* name;
    std::u16string arguments;
    std::vector<std::u16string> expected;
};

class SplitArguments : public ::testing::TestWithParam<SplitCase> { };

TEST_P(SplitArguments, AtTabs)
{
    EXPECT_EQ(splitClilocArguments(GetParam().arguments.c_str()), GetParam().expected);
}

std::u16string fortyArguments()
{
    std::u16string out;
    for (int i = 0; i < 40; ++i)
        out += (i ? u"\t" : u"") + std::u16string(1, char16_t(u'A' + i % 26));
    return out;
}

std::vector<std::u16string> firstThirtyTwo()
{
    std::vector<std::u16string> out;
    for (int i = 0; i < 32; ++i)
        out.push_back(std::u16string(1, char16_t(u'A' + i % 26)));
    return out;
}

INSTANTIATE_TEST_SUITE_P(Table, SplitArguments,
    ::testing::Values(SplitCase { "One", u"a", { u"a" } }, SplitCase { "TrailingTab", u"a\tb\t", { u"a", u"b" } },
        SplitCase { "EmptyInTheMiddle", u"a\t\tb", { u"a", u"", u"b" } },
        SplitCase { "LeadingTab", u"\tb", { u"", u"b" } }, SplitCase { "Empty", u"", {} },
        SplitCase { "FortyCutToThirtyTwo", fortyArguments(), firstThirtyTwo() }),
    [](const ::testing::TestParamInfo<SplitCase>& p) { return std::string(p.param.name); });

} // namespace
