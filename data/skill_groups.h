#pragma once
// The skill window's groups: up to 12 named groups (group 0, "Miscellaneous",
// always exists) and the group of each of the 55 skills, kept per character
// in "skillgrp.mul". The file is a 32-bit group count N (or the marker -1,
// then N, for names of 16-bit units), the names of groups 1..N-1 in 17-byte
// (or 17-unit) zero-padded fields, and 55 signed 32-bit group numbers, all
// little-endian. It is always written back in the 8-bit form. Main thread
// only.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct SkillGroupTable {
    static constexpr int32_t kMaxGroups = 12;
    static constexpr int32_t kSkillCount = 55;
    static constexpr size_t kNameField = 17;
    static constexpr size_t kMaxNameLength = kNameField - 1;
    static constexpr const char* kFirstGroupName = "Miscellaneous";

    int32_t count = 1;
    std::array<std::string, kMaxGroups> names { kFirstGroupName };
    std::array<int32_t, kSkillCount> group {};

    // One group, "Miscellaneous", holding every skill.
    void reset() { *this = SkillGroupTable {}; }
    // The skill's group; 0 for a skill outside the table.
    int32_t groupOf(int32_t skill) const;
    // Puts the skill into an existing group; false when either is out of range.
    bool moveSkill(int32_t skill, int32_t toGroup);
    // Appends a group of the name (cut to 16 characters); -1 at 12 groups.
    int32_t addGroup(std::string_view name);
    // Gives an existing group a new name (cut to 16); an empty name or a group
    // out of range changes nothing and gives false.
    bool rename(int32_t groupNumber, std::string_view name);
    // Moves the group's skills to group 0 and the later groups down one
    // place; the number of skills moved, or -1 for group 0 and groups out of
    // range (nothing changes).
    int32_t remove(int32_t groupNumber);
    int32_t skillCount(int32_t groupNumber) const;
};

// Reads a file's bytes into `table`. A count outside 1..12 is clamped (the
// names of groups past the twelfth are read and dropped), names are cut at
// their first zero and to 16 characters, and group numbers outside the count
// become 0. A file too short for its count is refused: false, and `table`
// unchanged.
bool parseSkillGroups(std::span<const uint8_t> bytes, SkillGroupTable& table);
// The 8-bit form of the table.
std::string skillGroupBytes(const SkillGroupTable& table);

SkillGroupTable& skillGroupTable();
// Where the groups are kept: "Desktop/common/skillgrp.mul" while settings are
// stored on the server, else the character's own folder, once a character is
// chosen; "skillgrp.mul" before.
std::string skillGroupsPath();
// Resets the table and reads the file (the plain "skillgrp.mul" when the
// character's own cannot be read). False when no file was read.
bool loadSkillGroupsFile();
// Writes the table (to the plain "skillgrp.mul" when the character's own
// folder cannot take it); a failure everywhere is reported to the player.
bool saveSkillGroupsFile();
