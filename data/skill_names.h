#pragma once
// The skill name table: for each skill present in the skill data files its
// name (at most 79 characters) and use flag, the count of skills present and
// an index of the skill numbers in alphabetical order of their names. Read
// from "skills.idx" / "skills.mul" (a record is a use-flag byte and the
// NUL-ended name). Main thread only.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct SkillNameTable {
    static constexpr int32_t kMaxSkills = 55;
    static constexpr size_t kMaxNameLength = 79;

    int32_t count = 0;
    std::array<std::string, kMaxSkills> names;
    std::array<uint8_t, kMaxSkills> usable {};
    // Skill numbers, sorted by name (letter case ignored); `count` are used.
    std::array<uint8_t, kMaxSkills> alphabetical {};

    // Stores skill `number`'s record (ignored outside 0..54) and counts it.
    void setSkill(int32_t number, uint8_t useFlag, std::string_view name);
    // Sorts the alphabetical index over the first `count` skill numbers.
    void sortIndex();
    // The name of a skill number; empty outside the table.
    std::string_view nameOf(int32_t number) const;
};

SkillNameTable& skillNameTable();
// Reads the skill records into the table (replacing what it held): entries
// 0..54 of the index in order, each present one in the next slot (a missing
// one moves the later skills down). Returns the count.
int32_t loadSkillNames();
