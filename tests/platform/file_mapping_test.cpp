#include "platform/file_mapping.h"

#include "support/hang_guard.h"
#include "support/temp_dir.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <utility>
#include <gtest/gtest.h>

namespace {

TEST(FileMapping, MapsTheWholeFile)
{
    test::TempDir root;
    std::string bytes("\x01\x00\xff tail", 8);
    auto mapping = platform::FileMapping::open(root.write("art.mul", bytes));
    ASSERT_NE(mapping, nullptr);
    ASSERT_EQ(mapping->size(), bytes.size());
    EXPECT_EQ(std::memcmp(mapping->data(), bytes.data(), bytes.size()), 0);
}

// Each refusal says why; a named pipe in a file's place is refused at once
// instead of blocking the open until a writer comes.
TEST(FileMapping, EmptyMissingPipesAndDirectoriesGiveNullAndSayWhy)
{
    test::HangGuard guard(10);
    test::TempDir root;
    std::string pipe = root.file("pipe.mul");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::pair<std::string, int> cases[] = { { root.write("empty.mul", ""), EINVAL },
        { root.file("missing.mul"), ENOENT }, { root.path(), EISDIR }, { pipe, ENXIO }, { "/dev/zero", ENXIO } };
    for (const auto& [path, error] : cases) {
        errno = 0;
        EXPECT_EQ(platform::FileMapping::open(path), nullptr) << path;
        EXPECT_EQ(errno, error) << path;
    }
}

} // namespace
