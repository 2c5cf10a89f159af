#pragma once
// The profession templates of "prof.txt" and the skill choices of character
// creation. The file is a list of Begin ... End blocks of "Key value" lines;
// a category names its children, a profession fixes three stats and three
// starting skills. The list is read once, the first time the profession
// window opens, and kept for the rest of the run. Main thread only.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The server feature bits that let the necromancer and the samurai and
// ninja professions be listed and chosen.
constexpr uint32_t kProfessionNecromancyFeature = 0x10;
constexpr uint32_t kProfessionSamuraiFeature = 0x40;

struct ProfessionSkill {
    uint16_t number = 0;
    uint16_t value = 0;
};

struct ProfessionRecord {
    // Names and true names longer than this are cut (their fields held 127
    // characters and a NUL).
    static constexpr size_t kMaxNameLength = 127;

    std::string name; // the identifier used in Children lists
    std::string trueName;
    int32_t id = 0; // Desc: what the create request carries
    int32_t nameTextId = 0;
    int32_t descriptionTextId = 0;
    int32_t buttonArt = 0;
    bool category = false;
    bool topLevel = false;
    int16_t strength = 0;
    int16_t dexterity = 0;
    int16_t intelligence = 0;
    std::vector<ProfessionSkill> skills;
    std::vector<std::string> children;
    // Index into the list of the record whose Children name this one; -1 none.
    int32_t parent = -1;
};

// Lines longer than this are cut.
inline constexpr size_t kMaxProfessionLine = 255;

// Reads the records of a prof.txt text, in file order, with parent links.
std::vector<ProfessionRecord> parseProfessions(std::string_view text);
// Sets the parent of every record named (letter case ignored) in another's
// Children list.
void linkProfessionParents(std::vector<ProfessionRecord>& records);

std::vector<ProfessionRecord>& professionList();
// Reads "prof.txt" when the list is empty; a missing file leaves it empty.
void loadProfessions();
// The record with the name (letter case ignored); -1 when none.
int32_t findProfession(std::string_view name);

// The number (0..54) of a Skill line's name, letter case ignored; -1 unknown.
int32_t skillNumberFromName(std::string_view name);
// The 55 names Skill lines use, in skill-number order.
const std::vector<std::string_view>& professionSkillNames();

// Whether the skill list offers the skill, from its display name in the skill
// name table, the server's features, the character list's flags and an
// EditServer address.
bool isSkillOffered(int32_t skillNumber);
// The same on a display name (tests and the table-less path).
bool isSkillNameOffered(std::string_view displayName);
