// The skill name table: names cut to their slot, numbers outside the table
// ignored, and the alphabetical index.

#include "data/skill_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SkillNameTable, KeepsNamesInTheirSlotsAndSortsTheIndex)
{
    SkillNameTable table;
    table.setSkill(0, 1, "Tactics");
    table.setSkill(1, 0, "alchemy");
    table.setSkill(2, 1, "Magery");
    table.setSkill(-1, 1, "Below");
    table.setSkill(55, 1, "Past");
    table.setSkill(3, 1, std::string(200, 'z'));
    EXPECT_EQ(table.count, 4);
    EXPECT_EQ(table.nameOf(3).size(), SkillNameTable::kMaxNameLength);
    EXPECT_EQ(table.nameOf(4), "");
    EXPECT_EQ(table.nameOf(-1), "");
    EXPECT_EQ(table.usable[1], 0);
    table.sortIndex();
    EXPECT_EQ(table.alphabetical[0], 1); // alchemy, letter case ignored
    EXPECT_EQ(table.alphabetical[1], 2);
    EXPECT_EQ(table.alphabetical[2], 0);
    EXPECT_EQ(table.alphabetical[3], 3);
}

} // namespace
