#include "platform/file_mapping.h"

#include "support/temp_dir.h"

#include <cstring>
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

TEST(FileMapping, EmptyMissingAndDirectoriesGiveNull)
{
    test::TempDir root;
    EXPECT_EQ(platform::FileMapping::open(root.write("empty.mul", "")), nullptr);
    EXPECT_EQ(platform::FileMapping::open(root.file("missing.mul")), nullptr);
    EXPECT_EQ(platform::FileMapping::open(root.path()), nullptr);
}

} // namespace
