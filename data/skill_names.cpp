#include "data/skill_names.h"

#include "data/data_files.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr int kSkillNamesIndexFile = 15;
constexpr int kSkillNamesDataFile = 16;

bool lessNoCase(std::string_view a, std::string_view b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
        [](char x, char y) { return std::tolower(uint8_t(x)) < std::tolower(uint8_t(y)); });
}

} // namespace

void SkillNameTable::setSkill(int32_t number, uint8_t useFlag, std::string_view name)
{
    if (number < 0 || number >= kMaxSkills)
        return;
    names[size_t(number)] = std::string(name.substr(0, std::min(name.size(), kMaxNameLength)));
    usable[size_t(number)] = useFlag;
    count = std::max(count, number + 1);
}

void SkillNameTable::sortIndex()
{
    for (int32_t i = 0; i < kMaxSkills; ++i)
        alphabetical[size_t(i)] = uint8_t(i);
    std::stable_sort(alphabetical.begin(), alphabetical.begin() + count,
        [this](uint8_t a, uint8_t b) { return lessNoCase(names[a], names[b]); });
}

std::string_view SkillNameTable::nameOf(int32_t number) const
{
    if (number < 0 || number >= count)
        return {};
    return names[size_t(number)];
}

SkillNameTable& skillNameTable()
{
    static SkillNameTable table;
    return table;
}

int32_t loadSkillNames()
{
    SkillNameTable& table = skillNameTable();
    table = SkillNameTable {};
    for (int32_t number = 0; number < SkillNameTable::kMaxSkills; ++number) {
        int32_t length = 0;
        uint32_t extra = 0;
        const uint8_t* record = lookupIndexedRecord(kSkillNamesIndexFile, kSkillNamesDataFile, number, length, extra);
        // A missing (or empty) record takes no slot: the later skills move
        // down one.
        if (!record || length < 1)
            continue;
        // The name ends at its NUL or at the record's end, whichever is first.
        const char* text = reinterpret_cast<const char*>(record + 1);
        const size_t room = size_t(length - 1);
        const std::string_view name(text, std::find(text, text + room, '\0') - text);
        table.setSkill(table.count, record[0], name);
    }
    table.sortIndex();
    return table.count;
}
