#include "frontend/profession_list.h"

#include "data/config_key_rules.h"
#include "data/file_manager.h"
#include "data/server_features.h"
#include "data/skill_names.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kWordSeparators = " \t\r\n";
constexpr const char* kValueSeparators = " \t\r\n\"";
constexpr const char* kChildSeparators = " ,.\t\r\n\"";

constexpr int32_t kNecromancyListFlag = 5;
constexpr int32_t kSamuraiListFlag = 7;

bool equalNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(uint8_t(x)) == std::tolower(uint8_t(y));
    });
}

// Splits a line into words on the separators, as one reads it left to right.
class WordReader {
public:
    explicit WordReader(std::string_view line)
        : m_line(line)
    {
    }
    std::string_view next(const char* separators)
    {
        while (m_at < m_line.size() && std::strchr(separators, m_line[m_at]))
            ++m_at;
        const size_t start = m_at;
        while (m_at < m_line.size() && !std::strchr(separators, m_line[m_at]))
            ++m_at;
        return m_line.substr(start, m_at - start);
    }
    // The text up to the next '"' after any blanks and quotes.
    std::string_view quoted()
    {
        while (m_at < m_line.size() && (m_line[m_at] == '"' || m_line[m_at] == ' ' || m_line[m_at] == '\t'))
            ++m_at;
        const size_t start = m_at;
        while (m_at < m_line.size() && m_line[m_at] != '"' && m_line[m_at] != '\r' && m_line[m_at] != '\n')
            ++m_at;
        return m_line.substr(start, m_at - start);
    }

private:
    std::string_view m_line;
    size_t m_at = 0;
};

int32_t professionNumber(std::string_view word)
{
    const std::string text(word);
    return int32_t(std::strtol(text.c_str(), nullptr, 10));
}

std::string cutName(std::string_view word)
{
    return std::string(word.substr(0, std::min(word.size(), ProfessionRecord::kMaxNameLength)));
}

void readKey(ProfessionRecord& record, std::string_view line)
{
    WordReader reader(line);
    const std::string_view key = reader.next(kWordSeparators);
    if (equalNoCase(key, "Name")) {
        record.name = cutName(reader.next(kValueSeparators));
    } else if (equalNoCase(key, "TrueName")) {
        record.trueName = cutName(reader.quoted());
    } else if (equalNoCase(key, "Desc")) {
        record.id = professionNumber(reader.next(kWordSeparators));
    } else if (equalNoCase(key, "NameId")) {
        record.nameTextId = professionNumber(reader.next(kWordSeparators));
    } else if (equalNoCase(key, "DescId")) {
        record.descriptionTextId = professionNumber(reader.next(kWordSeparators));
    } else if (equalNoCase(key, "TopLevel")) {
        record.topLevel = equalNoCase(reader.next(kWordSeparators), "true");
    } else if (equalNoCase(key, "Gump")) {
        record.buttonArt = professionNumber(reader.next(kWordSeparators));
    } else if (equalNoCase(key, "Type")) {
        record.category = equalNoCase(reader.next(kWordSeparators), "Category");
    } else if (equalNoCase(key, "Children")) {
        for (std::string_view child = reader.next(kChildSeparators); !child.empty();
             child = reader.next(kChildSeparators))
            record.children.push_back(cutName(child));
    } else if (equalNoCase(key, "Skill")) {
        const int32_t number = skillNumberFromName(reader.next(kValueSeparators));
        const int32_t value = professionNumber(reader.next(kValueSeparators));
        // A line that names no skill this client knows is passed over as a
        // line of an unknown key is: no skill goes out as a number the server
        // does not have.
        if (number < 0)
            return;
        record.skills.push_back({ uint16_t(number), uint16_t(value) });
    } else if (equalNoCase(key, "Stat")) {
        const std::string_view stat = reader.next(kValueSeparators);
        const int16_t value = int16_t(professionNumber(reader.next(kValueSeparators)));
        if (equalNoCase(stat, "Str"))
            record.strength = value;
        else if (equalNoCase(stat, "Dex"))
            record.dexterity = value;
        else if (equalNoCase(stat, "Int"))
            record.intelligence = value;
    }
}

} // namespace

std::vector<ProfessionRecord> parseProfessions(std::string_view text)
{
    std::vector<ProfessionRecord> records;
    ProfessionRecord current;
    bool begun = false;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        line = line.substr(0, std::min(line.size(), kMaxProfessionLine));
        if (line.find("Begin") != std::string_view::npos) {
            current = ProfessionRecord {};
            begun = true;
        } else if (line.find("End") != std::string_view::npos) {
            if (begun)
                records.push_back(current);
            begun = false;
        } else if (begun) {
            readKey(current, line);
        }
    }
    linkProfessionParents(records);
    return records;
}

void linkProfessionParents(std::vector<ProfessionRecord>& records)
{
    for (size_t owner = 0; owner < records.size(); ++owner) {
        for (const std::string& child : records[owner].children) {
            auto found = std::find_if(records.begin(), records.end(),
                [&child](const ProfessionRecord& record) { return equalNoCase(record.name, child); });
            if (found != records.end())
                found->parent = int32_t(owner);
        }
    }
}

std::vector<ProfessionRecord>& professionList()
{
    static std::vector<ProfessionRecord> list;
    return list;
}

void loadProfessions()
{
    std::vector<ProfessionRecord>& list = professionList();
    if (!list.empty())
        return;
    std::vector<uint8_t> bytes;
    if (fileManager().readWhole("prof.txt", bytes) <= 0)
        return;
    list = parseProfessions(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

int32_t findProfession(std::string_view name)
{
    const std::vector<ProfessionRecord>& list = professionList();
    for (size_t i = 0; i < list.size(); ++i)
        if (equalNoCase(list[i].name, name))
            return int32_t(i);
    return -1;
}

const std::vector<std::string_view>& professionSkillNames()
{
    static const std::vector<std::string_view> names = { "Alchemy", "Anatomy", "AnimalLore", "ItemID", "ArmsLore",
        "Parrying", "Begging", "Blacksmith", "Bowcraft", "Peacemaking", "Camping", "Carpentry", "Cartography",
        "Cooking", "DetectHidden", "Enticement", "EvaluateIntelligence", "Healing", "Fishing", "ForensicEvaluation",
        "Herding", "Hiding", "Provocation", "Inscription", "Lockpicking", "Magery", "ResistingSpells", "Tactics",
        "Snooping", "Musicianship", "Poisoning", "Archery", "SpiritSpeak", "Stealing", "Tailoring", "AnimalTaming",
        "TasteIdentification", "Tinkering", "Tracking", "Veterinary", "Swordsmanship", "MaceFighting", "Fencing",
        "Wrestling", "Lumberjacking", "Mining", "Meditation", "Stealth", "Disarm", "Necromancy", "Focus", "Chivalry",
        "Bushido", "Ninjitsu", "Spellweaving" };
    return names;
}

int32_t skillNumberFromName(std::string_view name)
{
    const std::vector<std::string_view>& names = professionSkillNames();
    for (size_t i = 0; i < names.size(); ++i)
        if (equalNoCase(names[i], name))
            return int32_t(i);
    return -1;
}

bool isSkillNameOffered(std::string_view name)
{
    if (equalNoCase(name, "stealth") || equalNoCase(name, "remove trap") || equalNoCase(name, "spellweaving"))
        return false;
    const bool editServer = configValues().editServer.address != 0;
    const bool necromancyListed = characterListFlag(kNecromancyListFlag) || editServer;
    if (!(hasServerFeature(kProfessionNecromancyFeature) && necromancyListed)) {
        if (equalNoCase(name, "necromancy") || equalNoCase(name, "chivalry"))
            return false;
        if (!necromancyListed && equalNoCase(name, "focus"))
            return false;
    }
    const bool samuraiListed = characterListFlag(kSamuraiListFlag) || editServer;
    if (!(hasServerFeature(kProfessionSamuraiFeature) && samuraiListed)) {
        if (equalNoCase(name, "bushido") || equalNoCase(name, "ninjitsu"))
            return false;
    }
    return true;
}

bool isSkillOffered(int32_t skillNumber) { return isSkillNameOffered(skillNameTable().nameOf(skillNumber)); }
