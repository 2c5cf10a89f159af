#include "fixtures/client_directory.h"
#include "fixtures/language_files.h"
#include "text/localization.h"
#include "text/string_file.h"

#include <gtest/gtest.h>

namespace {

using fixture::StringFileWriter;

std::u16string text(const WString* value)
{
    return value ? std::u16string(value->c_str()) : std::u16string(u"<null>");
}

std::string introImage(const std::string& language = "enu")
{
    return StringFileWriter(language, 1, "intro", 3)
        .texts({ u"a", u"bb", u"ccc" })
        .pairs("TIME", { { 0, 1000 }, { 500, 2000 }, { 3000, 4000 } })
        .image();
}

bool hasDiagnostic(const StringFile& file, const std::string& message)
{
    for (const std::string& line : file.diagnostics())
        if (line.find(message) != std::string::npos)
            return true;
    return false;
}

class StringFileTest : public ::testing::Test {
protected:
    void SetUp() override { setLanguageCode("deu"); }
    void TearDown() override
    {
        freeStringFiles();
        setLanguageCode("");
    }
    fixture::ClientDirectory m_data;
};

TEST_F(StringFileTest, EnglishServesAMissingLanguage)
{
    m_data.write("intro.enu", introImage());
    StringFile* file = findStringFile("intro", "deu", "intro", false, false, false);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->language(), "enu");
    EXPECT_EQ(file->count(), 3);
    EXPECT_EQ(text(file->getString(1)), u"bb");
    EXPECT_EQ(text(file->getString(3)), u"<null>");
    EXPECT_EQ(text(file->getString(-1)), u"<null>");
    EXPECT_EQ(findStringFile("intro", "deu", "intro", false, false, false), file);
    EXPECT_EQ(findLoadedStringFile("intro", "deu", "intro", true), nullptr);
    EXPECT_EQ(findStringFile("intro", "deu", "intro", false, false, true), nullptr);
}

TEST_F(StringFileTest, FileIsCachedUnderItsOwnLanguage)
{
    m_data.write("language/intro.deu", introImage("enu"));
    StringFile* file = findStringFile("intro", "deu", "intro", false, false, true);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(findLoadedStringFile("intro", "deu", "intro", true), nullptr);
    EXPECT_EQ(findLoadedStringFile("intro", "enu", "intro", true), file);
}

TEST_F(StringFileTest, ReloadReadsTheFileAgain)
{
    m_data.write("intro.enu", introImage());
    StringFile* first = findStringFile("intro", "enu", "intro", false, false, false);
    ASSERT_NE(first, nullptr);
    m_data.write("intro.enu", StringFileWriter("enu", 1, "intro", 1).texts({ u"new" }).image());
    StringFile* second = findStringFile("intro", "enu", "intro", true, false, false);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(text(second->getString(0)), u"new");
    EXPECT_EQ(findStringFile("missing", "enu", "missing", false, false, false), nullptr);
}

using StringFileDeathTest = StringFileTest;

TEST_F(StringFileDeathTest, AMissingFileAskedForWithReportIsFatal)
{
    EXPECT_EXIT(findStringFile("missing", "enu", "missing", false, true, false), ::testing::ExitedWithCode(1), "");
}

TEST(StringFile, KeyListsMapKeysToTexts)
{
    StringFile file;
    std::string image = StringFileWriter("enu", 1, "tooltips", 3)
                            .texts({ u"zero", u"one", u"two" })
                            .keys({ { 2, { 5, 9 } }, { 0, { 1 } }, { 1, {} } })
                            .image();
    ASSERT_TRUE(file.loadImage("tooltips", reinterpret_cast<const uint8_t*>(image.data()), image.size()));
    EXPECT_EQ(text(file.getString(5)), u"two");
    EXPECT_EQ(text(file.getString(9)), u"two");
    EXPECT_EQ(text(file.getString(1)), u"zero");
    EXPECT_EQ(text(file.getString(2)), u"<null>");
    EXPECT_TRUE(file.diagnostics().empty());
}

TEST(StringFile, FindByTimeTakesTheFirstRangeHoldingT)
{
    StringFile file;
    std::string image = introImage();
    file.loadImage("intro", reinterpret_cast<const uint8_t*>(image.data()), image.size());
    int32_t index = 0;
    EXPECT_EQ(text(file.findByTime(700, index)), u"a");
    EXPECT_EQ(index, 0);
    EXPECT_EQ(text(file.findByTime(1500, index)), u"bb");
    EXPECT_EQ(index, 1);
    EXPECT_EQ(file.findByTime(2500, index), nullptr);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(file.timeEnds()[2], 4000);
}

TEST(StringFile, WideTextsAndPerTextArrays)
{
    StringFile file;
    std::string image = StringFileWriter("jpn", 2, "chat", 2)
                            .texts({ u"\u4E00x", u"" })
                            .integers("COLR", { 255, 128, 1, 0, 0, 2 })
                            .integers("FONT", { 3, 4 })
                            .pairs("POSN", { { 10, 20 }, { 30, 40 } })
                            .image();
    file.loadImage("chat", reinterpret_cast<const uint8_t*>(image.data()), image.size());
    EXPECT_EQ(file.characterSize(), 2);
    EXPECT_EQ(text(file.getString(0)), u"\u4E00x");
    EXPECT_EQ(text(file.getString(1)), u"");
    EXPECT_EQ(file.colours(), (std::vector<int32_t> { 0xFF8001, 2 }));
    EXPECT_EQ(file.fonts(), (std::vector<int32_t> { 3, 4 }));
    EXPECT_EQ(file.positionsY(), (std::vector<int32_t> { 20, 40 }));
    EXPECT_TRUE(file.diagnostics().empty());
}

// Damaged files: read as far as they are sound, never past a chunk, never
// sized by a count the file cannot hold.
struct BadStringFile {
    const char* name;
    std::string image;
    int32_t count;
    std::u16string lastText; // text at count - 1
    const char* diagnostic;
};

std::string withCount(int32_t count, const std::vector<std::u16string>& texts)
{
    return StringFileWriter("enu", 1, "intro", count).texts(texts).image();
}

class StringFileBadInput : public ::testing::TestWithParam<BadStringFile> { };

TEST_P(StringFileBadInput, ReadsWhatIsSound)
{
    const BadStringFile& bad = GetParam();
    StringFile file;
    EXPECT_TRUE(file.loadImage("intro", reinterpret_cast<const uint8_t*>(bad.image.data()), bad.image.size()));
    EXPECT_EQ(file.count(), bad.count);
    if (bad.count > 0) {
        EXPECT_EQ(text(file.getString(bad.count - 1)), bad.lastText);
    }
    if (bad.diagnostic[0]) {
        EXPECT_TRUE(hasDiagnostic(file, bad.diagnostic)) << bad.diagnostic;
    }
    EXPECT_EQ(file.getString(bad.count), nullptr);
}

std::string oversizedChunk()
{
    std::string image = withCount(1, { u"a" });
    // The TEXT chunk claims far more than the file holds.
    size_t text = image.find("TEXT");
    image[text + 4] = 0x7F;
    return image;
}

INSTANTIATE_TEST_SUITE_P(Table, StringFileBadInput,
    ::testing::Values(
        BadStringFile { "OneTextTooFew", withCount(3, { u"a", u"bb" }), 3, u"<null>", "NOT ENOUGH DATA! Check string count." },
        BadStringFile { "OneTextTooMany", withCount(1, { u"a", u"bb" }), 1, u"a", "TOO MUCH DATA! Check string count." },
        BadStringFile { "CountZero", withCount(0, { u"a" }), 0, u"", "stringCount <= 0." },
        BadStringFile { "CountNegative", withCount(-5, { u"a" }), 0, u"", "stringCount <= 0." },
        BadStringFile { "CountHuge", withCount(0x7FFFFFFF, { u"a" }), 10, u"<null>", "stringCount larger than the file." },
        BadStringFile { "TimeShorterThanCount",
            StringFileWriter("enu", 1, "intro", 2).texts({ u"a", u"b" }).pairs("TIME", { { 1, 2 } }).image(), 2, u"b",
            "Not enough data" },
        BadStringFile { "KeyCountOverLimit",
            StringFileWriter("enu", 1, "intro", 1).texts({ u"a" }).integers("TKEY", { 0, 5000, 1 }).image(), 1,
            u"<null>", "Bad key count in CHUNK TKEY." },
        BadStringFile { "KeyCountPastChunk",
            StringFileWriter("enu", 1, "intro", 1).texts({ u"a" }).integers("TKEY", { 0, 3, 1 }).image(), 1,
            u"<null>", "Bad key count in CHUNK TKEY." },
        BadStringFile { "KeyTextIndexOutside",
            StringFileWriter("enu", 1, "intro", 1).texts({ u"a" }).keys({ { 7, { 0 } } }).image(), 1, u"<null>",
            "Bad text index in CHUNK TKEY." },
        BadStringFile { "IllegalCharacterSize", StringFileWriter("enu", 3, "intro", 1).texts({ u"a" }).image(), 1,
            u"<null>", "Illegal character size." },
        BadStringFile { "RepeatedChunk",
            StringFileWriter("enu", 1, "intro", 1).texts({ u"a" }).texts({ u"b" }).image(), 1, u"b", "" },
        BadStringFile { "ChunkPastTheEnd", oversizedChunk(), 1, u"<null>", "" },
        BadStringFile { "NoInfo", fixture::IffWriter().beginForm("DATA").beginForm("LANG").endForm().endForm().image(),
            0, u"", "Cannot find CHUNK INFO." },
        BadStringFile { "NotAnIffFile", std::string("garbage"), 0, u"", "Cannot find FORM" }),
    [](const ::testing::TestParamInfo<BadStringFile>& p) { return std::string(p.param.name); });

} // namespace
