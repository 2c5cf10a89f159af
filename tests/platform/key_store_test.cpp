#include "platform/key_store.h"

#include "support/scoped_environment.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

const std::string kMakerKey = "SOFTWARE\\Halcyr Worlds Online";
const std::string kProductKey = "SOFTWARE\\Halcyr Worlds Online\\Vardun Online\\1.0";

class KeyStoreTest : public ::testing::Test {
protected:
    test::TempDir m_directory;
    platform::KeyStore m_store { m_directory.file("config/registry.ini") };
};

TEST_F(KeyStoreTest, ReadingNeverCreatesAKeyOrTheFile)
{
    uint32_t number = 7;
    std::string text = "kept";
    EXPECT_FALSE(m_store.keyExists(kMakerKey));
    EXPECT_FALSE(m_store.readDword(kMakerKey, "HarvestStage", number));
    EXPECT_FALSE(m_store.readString(kProductKey, "InstCDPath", text));
    EXPECT_FALSE(m_store.writeDword(kMakerKey, "HarvestStage", 3));
    EXPECT_FALSE(m_store.writeString(kMakerKey, "noid", "x"));
    EXPECT_EQ(number, 7u);
    EXPECT_EQ(text, "kept");
    EXPECT_FALSE(m_store.keyExists(kMakerKey));
    EXPECT_TRUE(test::TempDir::read(m_store.filePath()).empty());
}

TEST_F(KeyStoreTest, ValuesSurviveANewStoreOnTheSameFile)
{
    ASSERT_TRUE(m_store.createKey(kMakerKey));
    ASSERT_TRUE(m_store.createKey(kProductKey));
    EXPECT_TRUE(m_store.writeDword(kMakerKey, "HarvestStage", 28));
    EXPECT_TRUE(m_store.writeDword(kMakerKey, "UniqueInstanceId", 0xFFFFFFFFu));
    EXPECT_TRUE(m_store.writeString(kProductKey, "InstCDPath", "C:\\Games\\Vardun\\"));
    EXPECT_TRUE(m_store.writeDword(kMakerKey, "HarvestStage", 29));

    platform::KeyStore reopened(m_store.filePath());
    uint32_t number = 0;
    EXPECT_TRUE(reopened.readDword(kMakerKey, "HarvestStage", number));
    EXPECT_EQ(number, 29u);
    EXPECT_TRUE(reopened.readDword(kMakerKey, "UniqueInstanceId", number));
    EXPECT_EQ(number, 0xFFFFFFFFu);
    std::string text;
    EXPECT_TRUE(reopened.readString(kProductKey, "InstCDPath", text));
    EXPECT_EQ(text, "C:\\Games\\Vardun\\");
    // The product key lives below the maker key but holds its own values.
    EXPECT_FALSE(reopened.readDword(kProductKey, "HarvestStage", number));
}

TEST_F(KeyStoreTest, NamesMatchWithoutRegardToCaseAndTrailingSeparator)
{
    ASSERT_TRUE(m_store.createKey(kProductKey));
    EXPECT_TRUE(m_store.keyExists("software\\halcyr worlds online\\vardun online\\1.0\\"));
    EXPECT_TRUE(m_store.writeString(kProductKey + "\\", "NoID", "abc"));
    std::string text;
    EXPECT_TRUE(m_store.readString(kProductKey, "noid", text));
    EXPECT_EQ(text, "abc");
    EXPECT_TRUE(m_store.writeString(kProductKey, "NOID", "def"));
    EXPECT_TRUE(m_store.readString(kProductKey, "noid", text));
    EXPECT_EQ(text, "def");
    // A parent key is a key of its own: creating a child does not make it.
    EXPECT_FALSE(m_store.keyExists(kMakerKey));
}

TEST_F(KeyStoreTest, AwkwardTextRoundTrips)
{
    ASSERT_TRUE(m_store.createKey(kProductKey));
    const std::string awkward = std::string("a=b%41\r\n[x]\n", 13) + std::string(1, '\0') + "end";
    EXPECT_TRUE(m_store.writeString(kProductKey, "name=with%equals", awkward));
    EXPECT_TRUE(m_store.writeString(kProductKey, "", "default value"));
    std::string text;
    EXPECT_TRUE(m_store.readString(kProductKey, "name=with%equals", text));
    EXPECT_EQ(text, awkward);
    EXPECT_TRUE(m_store.readString(kProductKey, "", text));
    EXPECT_EQ(text, "default value");
    // The text did not open a section of its own.
    EXPECT_FALSE(m_store.keyExists("x"));
}

TEST_F(KeyStoreTest, TypesAreKeptApart)
{
    ASSERT_TRUE(m_store.createKey(kMakerKey));
    ASSERT_TRUE(m_store.writeDword(kMakerKey, "LastHarvestTime", 12));
    ASSERT_TRUE(m_store.writeString(kMakerKey, "Text", "12"));
    uint32_t number = 0;
    std::string text;
    EXPECT_FALSE(m_store.readString(kMakerKey, "LastHarvestTime", text));
    EXPECT_FALSE(m_store.readDword(kMakerKey, "Text", number));
}

TEST_F(KeyStoreTest, UnusableKeyPathsAreRefused)
{
    for (const std::string& key : { std::string(), std::string("\\"), std::string("a\nb"), std::string("a\rb") })
        EXPECT_FALSE(m_store.createKey(key)) << key;
}

TEST_F(KeyStoreTest, ForeignLinesAreKeptAndBrokenValuesIgnored)
{
    m_directory.write("config/registry.ini",
        "; written by hand\r\n"
        "[SOFTWARE\\Halcyr Worlds Online]\r\n"
        "HarvestStage=dword:123456789\r\n"
        "Overflow=dword:fffffffff\r\n"
        "Empty=dword:\r\n"
        "NotHex=dword:12g4\r\n"
        "BadEscape=string:abc%4\r\n"
        "Unknown=qword:1\r\n"
        "just words\r\n"
        "Good=dword:0000002A\r\n");
    uint32_t number = 5;
    std::string text;
    for (const char* name : { "HarvestStage", "Overflow", "Empty", "NotHex", "Unknown" })
        EXPECT_FALSE(m_store.readDword(kMakerKey, name, number)) << name;
    EXPECT_FALSE(m_store.readString(kMakerKey, "BadEscape", text));
    EXPECT_EQ(number, 5u);
    EXPECT_TRUE(m_store.readDword(kMakerKey, "Good", number));
    EXPECT_EQ(number, 42u);

    ASSERT_TRUE(m_store.writeDword(kMakerKey, "HarvestStage", 1));
    std::string rewritten = test::TempDir::read(m_store.filePath());
    EXPECT_NE(rewritten.find("; written by hand\n"), std::string::npos);
    EXPECT_NE(rewritten.find("just words\n"), std::string::npos);
    EXPECT_NE(rewritten.find("Good=dword:0000002A\n"), std::string::npos);
    EXPECT_TRUE(m_store.readDword(kMakerKey, "HarvestStage", number));
    EXPECT_EQ(number, 1u);
}

TEST_F(KeyStoreTest, ALineEndingInSeveralCarriageReturnsReadsTheSameAfterARewrite)
{
    // "[Other]\r\r\n" is no section while one carriage return stays on it;
    // written back as "[Other]\r\n" it would turn into one and take the
    // values written after it out of the product key.
    m_directory.write("config/registry.ini",
        "[SOFTWARE\\Halcyr Worlds Online\\Vardun Online\\1.0]\n"
        "[Other]\r\r\n"
        "Kept=dword:00000001\n");
    ASSERT_TRUE(m_store.writeString(kProductKey, "InstCDPath", "/games/"));
    ASSERT_TRUE(m_store.writeDword(kProductKey, "HarvestStage", 2));
    std::string text;
    uint32_t number = 0;
    EXPECT_TRUE(m_store.readString(kProductKey, "InstCDPath", text));
    EXPECT_EQ(text, "/games/");
    EXPECT_TRUE(m_store.readDword(kProductKey, "HarvestStage", number));
    EXPECT_EQ(number, 2u);
}

TEST_F(KeyStoreTest, AnOversizedFileIsNeitherReadNorReplaced)
{
    std::string huge = "[SOFTWARE\\Halcyr Worlds Online]\n" + std::string(5 * 1024 * 1024, ';') + "\n";
    m_directory.write("config/registry.ini", huge);
    EXPECT_FALSE(m_store.keyExists(kMakerKey));
    EXPECT_FALSE(m_store.createKey(kProductKey));
    EXPECT_EQ(test::TempDir::read(m_store.filePath()).size(), huge.size());
}

TEST_F(KeyStoreTest, NoTemporaryFileIsLeftBehind)
{
    ASSERT_TRUE(m_store.createKey(kMakerKey));
    ASSERT_TRUE(m_store.writeDword(kMakerKey, "HarvestStage", 2));
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_directory.file("config")))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1);
}

TEST(KeyStoreInstall, ReplacesAndRestoresTheProcessStore)
{
    test::TempDir directory;
    test::ScopedEnvironment config("VARDUN_CONFIG_DIR", directory.file("cfg").c_str());
    EXPECT_EQ(platform::defaultKeyStorePath(), directory.file("cfg/registry.ini"));

    platform::KeyStore replacement(directory.file("other.ini"));
    platform::KeyStore* previous = platform::installKeyStore(&replacement);
    EXPECT_EQ(&platform::keyStore(), &replacement);
    EXPECT_EQ(platform::installKeyStore(previous), &replacement);
    EXPECT_NE(&platform::keyStore(), &replacement);
}

} // namespace
