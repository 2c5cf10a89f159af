// The skill name table: names cut to their slot, numbers outside the table
// ignored, and the alphabetical index; read from the skill files, a missing
// or empty record moves the later skills down.

#include "data/skill_names.h"

#include "data/data_files.h"
#include "fixtures/client_directory.h"
#include "fixtures/data_file_writer.h"
#include "platform/message_box.h"

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

TEST(SkillNamesFile, AMissingOrEmptyRecordMovesTheLaterSkillsDown)
{
    fixture::ClientDirectory client;
    fixture::writeRequiredDataFiles(client.root(), "client", { "skills.idx", "skills.mul" });
    fixture::writeIndexedPair(client.root(), "client", "skills.idx", "skills.mul",
        { { std::string("\x01") + "Tactics" + std::string(1, '\0'), 0 }, { std::nullopt, 0 }, { std::string(), 0 },
            { std::string("\x00", 1) + "Magery", 0 }, { std::string("\x01") + std::string(120, 'z'), 0 } });
    DataFiles files;
    DataFiles* previous = installDataFiles(&files);
    platform::RecordingMessageBoxSink boxes;
    {
        platform::ScopedMessageBoxSink sink(boxes);
        files.load();
    }
    EXPECT_EQ(loadSkillNames(), 3);
    const SkillNameTable& table = skillNameTable();
    EXPECT_EQ(table.nameOf(0), "Tactics");
    EXPECT_EQ(table.nameOf(1), "Magery");
    EXPECT_EQ(table.usable[1], 0);
    EXPECT_EQ(table.nameOf(2), std::string(SkillNameTable::kMaxNameLength, 'z'));
    installDataFiles(previous);
    skillNameTable() = SkillNameTable {};
}

} // namespace
