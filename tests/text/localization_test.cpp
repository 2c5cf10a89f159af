#include "fixtures/client_directory.h"
#include "fixtures/language_files.h"
#include "support/scoped_environment.h"
#include "text/cliloc_table.h"
#include "text/localization.h"
#include "text/string_file.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using fixture::LanguageCodeRecord;

std::string languageListFile()
{
    fixture::IffWriter writer;
    writer.beginForm("DATA").beginForm("LANG").beginForm("WIN3");
    writer.chunk("CODE", fixture::codeChunkPayload({ "ENU", 'e', "English", "United States" }));
    writer.chunk("CODE", fixture::codeChunkPayload({ "deu", 'd', "German", "Germany" }));
    writer.chunk("XTRA", "ignored");
    writer.chunk("CODE", fixture::codeChunkPayload({ "fra", '?', "French", "France" }));
    writer.endForm().endForm().endForm();
    return writer.image();
}

class LocalizationTest : public ::testing::Test {
protected:
    LocalizationTest()
        : m_all("LC_ALL", nullptr)
        , m_messages("LC_MESSAGES", nullptr)
        , m_lang("LANG", nullptr)
    {
        m_data.write("language/langcode.iff", languageListFile());
        m_data.write("cliloc.enu", fixture::clilocImage({ { 1000001, "sword" }, { 1000002, "shield" } }));
        m_data.write("cliloc.deu", fixture::clilocImage({ { 1000001, "Schwert" } }));
        m_data.write("intro.enu", fixture::StringFileWriter("enu", 1, "intro", 1).texts({ u"hello" }).image());
    }
    ~LocalizationTest() override { shutdownLocalization(); }

    void configure(const std::string& code) { m_data.write("vo.cfg", "UserLanguageCodeString=" + code + "\r\n"); }

    std::u16string message(int32_t id)
    {
        WString out;
        getClilocString(out, id, 0);
        return out.c_str();
    }

    test::ScopedEnvironment m_all;
    test::ScopedEnvironment m_messages;
    test::ScopedEnvironment m_lang;
    fixture::ClientDirectory m_data;
};

TEST_F(LocalizationTest, ConfiguredCodeWinsAndKeepsItsCase)
{
    test::ScopedEnvironment lang("LANG", "fr_FR.UTF-8");
    configure("DEU");
    initLocalization();
    ASSERT_TRUE(isLocalizationReady());
    EXPECT_EQ(getLanguageCode(), "DEU");
    ASSERT_NE(getCurrentLanguageInfo(), nullptr);
    EXPECT_EQ(getCurrentLanguageInfo()->code, "deu");
    EXPECT_EQ(getLanguageName(), "German");
    EXPECT_EQ(message(1000001), u"Schwert");
    EXPECT_EQ(message(1000002), u"shield");
    // The English string file serves the missing German one.
    StringFile* intro = findLoadedStringFile("intro", getLanguageCode(), "intro", false);
    ASSERT_NE(intro, nullptr);
    EXPECT_EQ(intro->language(), "enu");
}

TEST_F(LocalizationTest, UnknownConfiguredCodeGivesEnglishNotTheSystemLanguage)
{
    test::ScopedEnvironment lang("LANG", "de_DE.UTF-8");
    configure("xyz");
    initLocalization();
    EXPECT_EQ(getLanguageCode(), "enu");
    EXPECT_EQ(getLanguageName(), "English");
    EXPECT_EQ(message(1000001), u"sword");
}

TEST_F(LocalizationTest, SystemLanguageWithoutConfiguration)
{
    test::ScopedEnvironment lang("LANG", "de_AT.UTF-8"); // "dea" is not in the list
    initLocalization();
    EXPECT_EQ(getLanguageCode(), "enu");
    shutdownLocalization();
    test::ScopedEnvironment german("LANG", "de_DE.UTF-8");
    initLocalization();
    EXPECT_EQ(getLanguageCode(), "deu");
    EXPECT_EQ(message(1000001), u"Schwert");
}

TEST_F(LocalizationTest, NoLocaleAndNoConfigurationGivesEnglish)
{
    initLocalization();
    EXPECT_EQ(getLanguageCode(), "enu");
    EXPECT_EQ(getLanguageTag(nullptr), 'e');
}

TEST_F(LocalizationTest, LanguageListAndTags)
{
    configure("fra");
    initLocalization();
    const std::vector<LanguageEntry>& list = languageList();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].code, "fra"); // newest first
    EXPECT_EQ(list[1].code, "deu");
    EXPECT_EQ(list[2].code, "enu"); // codes are lower-cased
    EXPECT_EQ(list[3].code, "enu"); // the default entry is last
    EXPECT_EQ(getLanguageTag(nullptr), 0); // '?' means no tag
    EXPECT_EQ(getLanguageTag("DEU"), 'd');
    EXPECT_EQ(getLanguageTag("xyz"), 'e');
    EXPECT_EQ(getDefaultLanguageCode(), "enu");
}

TEST_F(LocalizationTest, MissingFilesLeaveEnglishAndTheNotFoundText)
{
    fixture::ClientDirectory empty;
    empty.write("vo.cfg", "UserLanguageCodeString=deu\r\n");
    initLocalization();
    EXPECT_EQ(getLanguageCode(), "enu"); // no list: only English is known
    EXPECT_EQ(message(1000001), u"Error (DudiViruza) : StringId Not Found : 1000001");
}

using LocalizationDeathTest = LocalizationTest;

TEST_F(LocalizationDeathTest, NoLanguageEntryAtAllIsFatal)
{
    shutdownLocalization();
    EXPECT_EXIT(getLanguageName(), ::testing::ExitedWithCode(1), "No language entry");
}

struct BadList {
    const char* name;
    std::string image;
    bool sound;
    size_t entries; // entries read besides the default one
};

std::string listWith(const std::function<void(fixture::IffWriter&)>& body)
{
    fixture::IffWriter writer;
    writer.beginForm("DATA").beginForm("LANG").beginForm("WIN3");
    body(writer);
    writer.endForm().endForm().endForm();
    return writer.image();
}

class LanguageListBadInput : public ::testing::TestWithParam<BadList> { };

TEST_P(LanguageListBadInput, KeepsTheSoundEntries)
{
    shutdownLocalization();
    EXPECT_EQ(parseLanguageList(reinterpret_cast<const uint8_t*>(GetParam().image.data()), GetParam().image.size()),
        GetParam().sound);
    EXPECT_EQ(languageList().size(), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(Table, LanguageListBadInput,
    ::testing::Values(BadList { "Empty", "", false, 0 },
        BadList { "NoEnclosingForms", fixture::IffWriter().chunk("CODE", fixture::codeChunkPayload({ "deu", 'd', "G", "G" })).image(), false, 0 },
        BadList { "LargeCodeChunkSkipped", listWith([](fixture::IffWriter& w) {
            w.chunk("CODE", std::string(1025, 'x'));
            w.chunk("CODE", fixture::codeChunkPayload({ "deu", 'd', "German", "Germany" }));
        }), true, 1 },
        BadList { "CodeWithoutTerminators", listWith([](fixture::IffWriter& w) {
            w.chunk("CODE", fixture::codeChunkPayload({ "deu", 'd', "German", "Germany" }));
            w.chunk("CODE", std::string(600, 'x'));
        }), false, 1 },
        BadList { "ZeroTag", listWith([](fixture::IffWriter& w) {
            w.chunk("CODE", fixture::codeChunkPayload({ "deu", 'd', "German", "Germany" }));
            w.bytes(std::string(8, '\0'));
        }), false, 1 },
        BadList { "NegativeSize", listWith([](fixture::IffWriter& w) {
            w.chunk("CODE", fixture::codeChunkPayload({ "deu", 'd', "German", "Germany" }));
            size_t at = w.offset();
            w.chunk("CODE", "abcd");
            w.patchSize(at, -8);
        }), false, 1 }),
    [](const ::testing::TestParamInfo<BadList>& p) { return std::string(p.param.name); });

} // namespace
