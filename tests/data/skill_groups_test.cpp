// The skill groups and their file: the 8-bit and the 16-bit forms read, the
// 8-bit form written, bad counts, names and group numbers bounded, a short
// file refused, the group edits, and the file kept per character.

#include "data/skill_groups.h"

#include "core/byte_writer.h"
#include "settings_fixture.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

std::span<const uint8_t> groupBytesOf(const std::string& bytes)
{
    return std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// A file of `count` (after the -1 marker when wide), the names, the 55 group
// numbers given (the rest 0).
std::string groupsFile(int32_t count, const std::vector<std::string>& names, const std::vector<int32_t>& groups,
    bool wide)
{
    ByteWriter writer;
    if (wide)
        writer.u32(0xFFFFFFFFu);
    writer.u32(uint32_t(count));
    for (const std::string& name : names) {
        for (size_t at = 0; at < SkillGroupTable::kNameField; ++at) {
            const uint8_t unit = at < name.size() ? uint8_t(name[at]) : 0;
            if (wide)
                writer.u16(unit | 0x4100u);
            else
                writer.u8(unit);
        }
    }
    for (size_t skill = 0; skill < 55; ++skill)
        writer.u32(uint32_t(skill < groups.size() ? groups[skill] : 0));
    return std::string(writer.bytes().begin(), writer.bytes().end());
}

TEST(SkillGroupFile, EightBitAndWideFormsReadAlikeAndWriteBackInEightBits)
{
    const std::string narrow = groupsFile(3, { "Crafts", "Fighting" }, { 1, 2, 0, 2 }, false);
    const std::string wide = groupsFile(3, { "Crafts", "Fighting" }, { 1, 2, 0, 2 }, true);
    ASSERT_EQ(narrow.size(), 258u);
    ASSERT_EQ(wide.size(), 296u);
    SkillGroupTable fromNarrow;
    SkillGroupTable fromWide;
    ASSERT_TRUE(parseSkillGroups(groupBytesOf(narrow), fromNarrow));
    ASSERT_TRUE(parseSkillGroups(groupBytesOf(wide), fromWide));
    EXPECT_EQ(fromWide.count, 3);
    EXPECT_EQ(fromWide.names[0], "Miscellaneous");
    EXPECT_EQ(fromWide.names[2], "Fighting") << "each unit's low byte";
    EXPECT_EQ(fromWide.group[3], 2);
    EXPECT_EQ(skillGroupBytes(fromWide), narrow);
    EXPECT_EQ(skillGroupBytes(fromNarrow), narrow);
}

struct GroupFileCase {
    const char* name;
    std::string bytes;
    bool read;
    int32_t count;
    std::vector<std::string> names; // groups 1.. of the table read
    std::vector<int32_t> firstGroups; // skills 0..3
};

void PrintTo(const GroupFileCase& c, std::ostream* os) { *os << c.name; }

class GroupFiles : public testing::TestWithParam<GroupFileCase> { };

TEST_P(GroupFiles, AreBoundedOrRefusedWhole)
{
    const GroupFileCase& c = GetParam();
    SkillGroupTable table;
    table.addGroup("Kept");
    table.group[0] = 1;
    const SkillGroupTable before = table;
    ASSERT_EQ(parseSkillGroups(groupBytesOf(c.bytes), table), c.read);
    if (!c.read) {
        EXPECT_EQ(table.count, before.count);
        EXPECT_EQ(table.names, before.names);
        EXPECT_EQ(table.group, before.group);
        return;
    }
    EXPECT_EQ(table.count, c.count);
    for (size_t at = 0; at < c.names.size(); ++at)
        EXPECT_EQ(table.names[at + 1], c.names[at]) << at;
    for (size_t skill = 0; skill < c.firstGroups.size(); ++skill)
        EXPECT_EQ(table.group[skill], c.firstGroups[skill]) << skill;
}

std::vector<std::string> manyNames(int32_t count)
{
    std::vector<std::string> names;
    for (int32_t at = 1; at < count; ++at)
        names.push_back("G" + std::to_string(at));
    return names;
}

INSTANTIATE_TEST_SUITE_P(SkillGroupFile, GroupFiles,
    testing::Values(
        GroupFileCase { "Forty", groupsFile(40, manyNames(40), { 11, 12, 39, 5 }, false), true, 12,
            manyNames(12), { 11, 0, 0, 5 } },
        GroupFileCase { "ZeroCount", groupsFile(0, {}, { 1, 0, 0, 0 }, false), true, 1, {}, { 0, 0, 0, 0 } },
        GroupFileCase { "NegativeCount", groupsFile(-7, {}, {}, false), true, 1, {}, { 0, 0, 0, 0 } },
        GroupFileCase { "NegativeGroup", groupsFile(2, { "A" }, { -1, 1, 2, 0 }, false), true, 2, { "A" },
            { 0, 1, 0, 0 } },
        GroupFileCase { "NameWithoutItsEnd", groupsFile(2, { std::string(17, 'x') }, {}, false), true, 2,
            { std::string(16, 'x') }, {} },
        GroupFileCase { "Truncated", groupsFile(3, { "A", "B" }, {}, false).substr(0, 257), false, 0, {}, {} },
        GroupFileCase { "HugeCount", groupsFile(0x7FFFFFFF, {}, {}, false), false, 0, {}, {} },
        GroupFileCase { "MarkerOnly", std::string("\xFF\xFF\xFF\xFF", 4), false, 0, {}, {} },
        GroupFileCase { "Empty", std::string(), false, 0, {}, {} }),
    [](const testing::TestParamInfo<GroupFileCase>& row) { return std::string(row.param.name); });

TEST(SkillGroupTable, EditsKeepTheGroupsInRange)
{
    SkillGroupTable table;
    for (int32_t at = 1; at < SkillGroupTable::kMaxGroups; ++at)
        EXPECT_EQ(table.addGroup("G" + std::to_string(at)), at);
    EXPECT_EQ(table.addGroup("Thirteenth"), -1);
    EXPECT_EQ(table.count, 12);
    EXPECT_FALSE(table.rename(3, ""));
    EXPECT_TRUE(table.rename(3, "A name longer than sixteen"));
    EXPECT_EQ(table.names[3], "A name longer th");
    EXPECT_FALSE(table.moveSkill(0, 12));
    EXPECT_FALSE(table.moveSkill(55, 1));
    table.moveSkill(0, 3);
    table.moveSkill(1, 4);
    table.moveSkill(2, 11);
    EXPECT_EQ(table.remove(0), -1) << "Miscellaneous stays";
    EXPECT_EQ(table.remove(12), -1);
    EXPECT_EQ(table.remove(3), 1);
    EXPECT_EQ(table.count, 11);
    EXPECT_EQ(table.group[0], 0);
    EXPECT_EQ(table.group[1], 3);
    EXPECT_EQ(table.group[2], 10);
    EXPECT_EQ(table.names[3], "G4");
    EXPECT_EQ(table.names[11], "");
}

TEST_F(SettingsFixture, TheGroupsFileIsTheCharactersOwnOnceOneIsChosen)
{
    m_files.setAccountName("acct");
    EXPECT_EQ(skillGroupsPath(), "skillgrp.mul");
    m_files.setShardName("Shard/../x");
    m_files.setCharacterName("Tamsy");
    const std::string path = skillGroupsPath();
    EXPECT_EQ(path.rfind("Desktop/acct/", 0), 0u) << path;
    EXPECT_EQ(path.find(".."), std::string::npos) << path;

    // Without the character's folder the plain file takes the groups, and
    // is read back the same.
    skillGroupTable().reset();
    skillGroupTable().addGroup("Crafts");
    skillGroupTable().moveSkill(7, 1);
    ASSERT_TRUE(saveSkillGroupsFile());
    EXPECT_EQ(m_client.read("skillgrp.mul"), skillGroupBytes(skillGroupTable()));
    skillGroupTable().reset();
    ASSERT_TRUE(loadSkillGroupsFile());
    EXPECT_EQ(skillGroupTable().names[1], "Crafts");
    EXPECT_EQ(skillGroupTable().group[7], 1);
    skillGroupTable().reset();
}

} // namespace
