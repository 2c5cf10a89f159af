#include "platform/file_system.h"

#include "support/hang_guard.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A small client tree written the way an installer on a case-insensitive
// file system might have spelled it.
class ClientTree {
public:
    ClientTree()
    {
        m_root.write("Client/Desktop/common/Layout.txt", "layout");
        m_root.write("Client/Multicache.dat", "");
        m_root.write("Client/EquipConv.def", "1 2 3");
        m_root.write("Client/Two/a.txt", "lower");
        m_root.write("Client/Two/A.txt", "upper");
    }
    const test::TempDir& root() const { return m_root; }

private:
    test::TempDir m_root;
};

struct ResolveCase {
    const char* label;
    const char* path;
    bool allowMissingLeaf;
    const char* expected; // null: not found
};

class ResolvePath : public ::testing::TestWithParam<ResolveCase> {
protected:
    void SetUp() override { platform::forgetDirectoryCache(); }
    ClientTree m_tree;
};

TEST_P(ResolvePath, FindsTheRealSpelling)
{
    const ResolveCase& c = GetParam();
    auto resolved = platform::resolvePath(m_tree.root().path() + "/" + c.path, c.allowMissingLeaf);
    if (!c.expected) {
        EXPECT_FALSE(resolved.has_value()) << *resolved;
        return;
    }
    ASSERT_TRUE(resolved.has_value());
    EXPECT_EQ(*resolved, m_tree.root().path() + "/" + c.expected);
}

const ResolveCase kResolveCases[] = {
    { "Exact", "Client/EquipConv.def", false, "Client/EquipConv.def" },
    { "EveryComponentFolded", "client\\desktop\\COMMON\\layout.TXT", false, "Client/Desktop/common/Layout.txt" },
    { "MixedSeparators", "CLIENT/Desktop\\Common/LAYOUT.txt", false, "Client/Desktop/common/Layout.txt" },
    { "DoubledSeparators", "Client//equipconv.DEF", false, "Client/EquipConv.def" },
    { "TrailingSeparator", "client/desktop/", false, "Client/Desktop" },
    { "DotComponents", "client/./Desktop/../multicache.DAT", false, "Client/./Desktop/../Multicache.dat" },
    { "ExactSpellingWins", "Client/Two/a.txt", false, "Client/Two/a.txt" },
    { "AmbiguousTakesFirstInByteOrder", "Client/Two/A.TXT", false, "Client/Two/A.txt" },
    { "MissingLeaf", "Client/missing.txt", false, nullptr },
    { "MissingLeafAllowed", "client/NEW.cfg", true, "Client/NEW.cfg" },
    { "MissingLeafFoundAnyway", "client/equipconv.def", true, "Client/EquipConv.def" },
    { "MissingDirectoryNotAllowed", "nodir/new.cfg", true, nullptr },
    { "FileUsedAsDirectory", "Client/Multicache.dat/x", false, nullptr },
};

INSTANTIATE_TEST_SUITE_P(Cases, ResolvePath, ::testing::ValuesIn(kResolveCases),
    [](const ::testing::TestParamInfo<ResolveCase>& entry) { return std::string(entry.param.label); });

TEST(ResolvePathRelative, KeepsRelativePathsRelative)
{
    ClientTree tree;
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(tree.root().path().c_str()), 0);
    platform::forgetDirectoryCache();
    auto nested = platform::resolvePath("client\\EQUIPCONV.def");
    auto leafOnly = platform::resolvePath("CLIENT");
    auto empty = platform::resolvePath("");
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_EQ(nested.value_or("?"), "Client/EquipConv.def");
    EXPECT_EQ(leafOnly.value_or("?"), "Client");
    EXPECT_FALSE(empty.has_value());
}

TEST(ResolvePathCache, NewFilesAppearAfterTheCacheIsForgotten)
{
    ClientTree tree;
    platform::forgetDirectoryCache();
    std::string late = tree.root().path() + "/client/LATE.txt";
    EXPECT_FALSE(platform::resolvePath(late).has_value());
    tree.root().write("Client/Late.txt", "x");
    platform::forgetDirectoryCache();
    EXPECT_EQ(platform::resolvePath(late).value_or("?"), tree.root().path() + "/Client/Late.txt");
}

TEST(FileFacts, AnswerForFilesDirectoriesAndMissingNames)
{
    ClientTree tree;
    std::string file = tree.root().file("Client/EquipConv.def");
    std::string empty = tree.root().file("Client/Multicache.dat");
    std::string directory = tree.root().file("Client");
    std::string missing = tree.root().file("Client/none");
    EXPECT_TRUE(platform::fileExists(file));
    EXPECT_FALSE(platform::fileExists(directory));
    EXPECT_FALSE(platform::fileExists(missing));
    EXPECT_TRUE(platform::isDirectory(directory));
    EXPECT_FALSE(platform::isDirectory(file));
    EXPECT_EQ(platform::fileSize(file), 5);
    EXPECT_EQ(platform::fileSize(empty), 0);
    EXPECT_EQ(platform::fileSize(directory), -1);
    EXPECT_EQ(platform::fileSize(missing), -1);
}

TEST(ParentDirectory, KeepsTheFormOfThePath)
{
    EXPECT_EQ(platform::parentDirectory("registry.ini"), ".");
    EXPECT_EQ(platform::parentDirectory("/registry.ini"), "/");
    EXPECT_EQ(platform::parentDirectory("/home/player/.config/vardun/registry.ini"), "/home/player/.config/vardun");
    EXPECT_EQ(platform::parentDirectory("config/registry.ini"), "config");
}

TEST(MakeDirectories, MakesParentsAndRefusesAFileInTheWay)
{
    test::TempDir root;
    EXPECT_TRUE(platform::makeDirectories(root.file("a/b\\c")));
    EXPECT_TRUE(platform::isDirectory(root.file("a/b/c")));
    EXPECT_TRUE(platform::makeDirectories(root.file("a/b/c/")));
    root.write("file", "x");
    EXPECT_FALSE(platform::makeDirectories(root.file("file")));
    EXPECT_FALSE(platform::makeDirectories(root.file("file/below")));
    EXPECT_FALSE(platform::makeDirectories(""));
}

TEST(ReplaceFileContents, ReplacesWholeAndLeavesNothingBeside)
{
    test::TempDir root;
    std::string path = root.write("vo.cfg", "old contents that are longer");
    chmod(path.c_str(), 0640);
    ASSERT_TRUE(platform::replaceFileContents(path, "new"));
    EXPECT_EQ(test::TempDir::read(path), "new");
    struct stat info { };
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_TRUE(platform::replaceFileContents(root.file("created.cfg"), ""));
    EXPECT_TRUE(platform::fileExists(root.file("created.cfg")));
    EXPECT_FALSE(platform::replaceFileContents(root.file("no/such/dir.cfg"), "x"));
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root.path()))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 2);
}

bool isLink(const std::string& path)
{
    struct stat info { };
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

// A settings file kept elsewhere and linked into place stays linked: the
// file the link names is replaced, not the link.
TEST(ReplaceFileContents, KeepsASymbolicLinkAndReplacesWhatItNames)
{
    test::TempDir root;
    std::string target = root.write("kept/vo.cfg", "old");
    chmod(target.c_str(), 0640);
    std::string link = root.file("vo.cfg");
    ASSERT_EQ(symlink("kept/vo.cfg", link.c_str()), 0);
    ASSERT_TRUE(platform::replaceFileContents(link, "new"));
    EXPECT_TRUE(isLink(link));
    EXPECT_EQ(test::TempDir::read(target), "new");
    struct stat info { };
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    // A chain of links, the first one absolute.
    std::string second = root.file("second.cfg");
    ASSERT_EQ(symlink(link.c_str(), second.c_str()), 0);
    ASSERT_TRUE(platform::replaceFileContents(second, "newer"));
    EXPECT_TRUE(isLink(second));
    EXPECT_TRUE(isLink(link));
    EXPECT_EQ(test::TempDir::read(target), "newer");

    // A link to a file not there yet creates that file.
    std::string dangling = root.file("dangling.cfg");
    ASSERT_EQ(symlink("made.cfg", dangling.c_str()), 0);
    ASSERT_TRUE(platform::replaceFileContents(dangling, "made"));
    EXPECT_TRUE(isLink(dangling));
    EXPECT_EQ(test::TempDir::read(root.file("made.cfg")), "made");

    // Links that name each other are refused, and stay as they were.
    ASSERT_EQ(symlink("loop-b", root.file("loop-a").c_str()), 0);
    ASSERT_EQ(symlink("loop-a", root.file("loop-b").c_str()), 0);
    EXPECT_FALSE(platform::replaceFileContents(root.file("loop-a"), "x"));
    EXPECT_TRUE(isLink(root.file("loop-a")));
    EXPECT_TRUE(isLink(root.file("loop-b")));
}

std::string readStream(FILE* stream)
{
    std::string content;
    char buffer[64];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, stream)) > 0)
        content.append(buffer, got);
    return content;
}

struct RefusedFileCase {
    const char* name;
    const char* mode;
};

class OpenRegularFile : public ::testing::TestWithParam<RefusedFileCase> { };

// A named pipe in a file's place used to block the open until a writer came.
TEST_P(OpenRegularFile, RefusesAPipeADeviceAndADirectoryAtOnce)
{
    test::HangGuard guard(10);
    test::TempDir root;
    std::string pipe = root.file("pipe.cfg");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    errno = 0;
    EXPECT_EQ(platform::openRegularFile(pipe, GetParam().mode), nullptr);
    EXPECT_EQ(errno, ENXIO);
    errno = 0;
    EXPECT_EQ(platform::openRegularFile("/dev/null", GetParam().mode), nullptr);
    EXPECT_EQ(errno, ENXIO);
    errno = 0;
    EXPECT_EQ(platform::openRegularFile(root.path(), GetParam().mode), nullptr);
    EXPECT_EQ(errno, EISDIR);
}

INSTANTIATE_TEST_SUITE_P(Modes, OpenRegularFile,
    ::testing::Values(RefusedFileCase { "Read", "rb" }, RefusedFileCase { "Update", "r+b" },
        RefusedFileCase { "Write", "wb" }, RefusedFileCase { "Append", "ab" }, RefusedFileCase { "Text", "r" }),
    [](const ::testing::TestParamInfo<RefusedFileCase>& param) { return std::string(param.param.name); });

TEST(OpenRegularFileModes, ActLikeStdioOnRegularFiles)
{
    test::TempDir root;
    std::string path = root.write("file.txt", "abc");
    FILE* stream = platform::openRegularFile(path, "rb");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readStream(stream), "abc");
    std::fclose(stream);
    stream = platform::openRegularFile(path, "ab");
    ASSERT_NE(stream, nullptr);
    std::fputs("de", stream);
    std::fclose(stream);
    EXPECT_EQ(test::TempDir::read(path), "abcde");
    stream = platform::openRegularFile(path, "r+b");
    ASSERT_NE(stream, nullptr);
    std::fputs("X", stream);
    std::fclose(stream);
    EXPECT_EQ(test::TempDir::read(path), "Xbcde");
    stream = platform::openRegularFile(path, "wb");
    ASSERT_NE(stream, nullptr);
    std::fclose(stream);
    EXPECT_EQ(test::TempDir::read(path), "");
    stream = platform::openRegularFile(root.file("new.txt"), "wb");
    ASSERT_NE(stream, nullptr);
    std::fclose(stream);
    EXPECT_TRUE(platform::fileExists(root.file("new.txt")));
    errno = 0;
    EXPECT_EQ(platform::openRegularFile(root.file("missing.txt"), "rb"), nullptr);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(platform::openRegularFile(path, "q"), nullptr);
}

TEST(ExecutablePath, NamesThisProgram)
{
    std::string path = platform::executablePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(path.substr(path.rfind('/') + 1), "platform_tests");
}

TEST(ConfigDirectory, OverrideThenXdgThenHome)
{
    test::TempDir root;
    {
        test::ScopedEnvironment overridden("VARDUN_CONFIG_DIR", root.file("override").c_str());
        EXPECT_EQ(platform::configDirectory(), root.file("override"));
        EXPECT_TRUE(platform::isDirectory(root.file("override")));
    }
    test::ScopedEnvironment noOverride("VARDUN_CONFIG_DIR", nullptr);
    {
        test::ScopedEnvironment xdg("XDG_CONFIG_HOME", root.file("xdg").c_str());
        EXPECT_EQ(platform::configDirectory(), root.file("xdg/vardun"));
        EXPECT_TRUE(platform::isDirectory(root.file("xdg/vardun")));
    }
    // A relative XDG_CONFIG_HOME is invalid and ignored.
    test::ScopedEnvironment xdg("XDG_CONFIG_HOME", "relative");
    test::ScopedEnvironment home("HOME", root.file("home").c_str());
    EXPECT_EQ(platform::configDirectory(), root.file("home/.config/vardun"));
}

} // namespace
