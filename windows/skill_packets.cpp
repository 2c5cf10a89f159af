#include "windows/skill_packets.h"

#include "data/settings_registry.h"
#include "data/skill_names.h"
#include "data/skill_values.h"
#include "gump/gump_manager.h"
#include "net/packet_dispatcher.h"
#include "protocol/packet_reader.h"
#include "windows/skill_gump.h"
#include "windows/system_text.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr uint8_t kOneSkill = 0xFF;
constexpr uint8_t kOneSkillWithCap = 0xDF;
constexpr uint8_t kSkillNames = 0xFE;
constexpr uint16_t kReportHue = 88;
constexpr uint16_t kReportFont = 3;
constexpr int32_t kOtherWindowX = 100;
constexpr int32_t kOtherWindowY = 100;

struct SkillEntry {
    int32_t skill = 0;
    uint16_t value = 0;
    uint16_t base = 0;
    uint8_t lock = 0;
    uint16_t cap = SkillValues::kDefaultCap;
};

std::array<int32_t, SkillValues::kCount>& changeSums()
{
    static std::array<int32_t, SkillValues::kCount> sums {};
    return sums;
}

// Value, base value, lock state and (with `withCap`) the cap; false for a
// lock state that is none of the three.
bool readSkillFields(PacketReader& reader, SkillEntry& entry, bool withCap)
{
    entry.value = reader.u16();
    entry.base = reader.u16();
    entry.lock = reader.u8();
    entry.cap = withCap ? reader.u16() : SkillValues::kDefaultCap;
    return entry.lock <= SkillValues::kLastLockState;
}

void handleOneSkill(PacketReader& reader, bool withCap)
{
    SkillEntry entry;
    entry.skill = reader.u16();
    if (!readSkillFields(reader, entry, withCap) || !reader.ok() || entry.skill >= SkillValues::kCount)
        return;
    reportSkillChange(entry.skill, entry.value);
    skillValues().set(entry.skill, entry.value, entry.base, entry.lock, entry.cap);
    if (SkillGump* open = playerSkillGump()) {
        open->setListMode(false);
        open->setSkill(entry.skill, entry.value, entry.base, entry.lock, entry.cap);
        open->rebuild();
    }
}

void handleSkillNames(PacketReader& reader)
{
    const uint16_t count = reader.u16();
    if (!reader.ok() || count > SkillNameTable::kMaxSkills)
        return;
    SkillNameTable table;
    for (int32_t number = 0; number < count; ++number) {
        const uint8_t flags = reader.u8();
        const uint8_t length = reader.u8();
        std::string name = reader.fixedText(length, SkillNameTable::kMaxNameLength);
        if (!reader.ok())
            return;
        table.setSkill(number, flags, name);
    }
    table.count = count;
    table.sortIndex();
    skillNameTable() = std::move(table);
}

void closeOldestOtherSkillWindow()
{
    std::vector<CGump*> others;
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next())
        if (gump->is(GumpKind::SkillGump) && static_cast<SkillGump*>(gump)->isReadOnly())
            others.push_back(gump);
    // The list runs from the top of the desktop down: the last is the one
    // the player looked at longest ago. Windows past the bound are dropped
    // on purpose: a server could otherwise open them without end.
    if (int32_t(others.size()) >= kMaxOtherSkillWindows)
        closeGump(others.back());
}

void handleSkillList(PacketReader& reader, uint8_t type)
{
    const bool withCap = type == 2 || type == 3;
    std::vector<SkillEntry> entries;
    bool ended = false;
    while (!ended) {
        SkillEntry entry;
        const uint16_t number = reader.u16();
        if (!reader.ok())
            return;
        if (number == 0)
            break;
        if (!readSkillFields(reader, entry, withCap) || !reader.ok() || number > SkillValues::kCount)
            return;
        entry.skill = number - 1;
        entries.push_back(entry);
        // A longer list is read no further.
        ended = entries.size() == size_t(SkillValues::kCount);
    }

    if (isSkillGumpRequested()) {
        raiseOrCreatePlayerSkillGump();
        setSkillGumpRequested(false);
    }
    SkillGump* player = playerSkillGump();
    if (type == 0 || type == 2) {
        SkillValues& values = skillValues();
        values.clear();
        for (const SkillEntry& entry : entries) {
            values.set(entry.skill, entry.value, entry.base, entry.lock, entry.cap);
            if (player) {
                player->setListMode(false);
                player->setSkill(entry.skill, entry.value, entry.base, entry.lock, entry.cap);
            }
        }
    } else if (type == 1 || type == 3) {
        closeOldestOtherSkillWindow();
        auto* other = new SkillGump(kOtherWindowX, kOtherWindowY, true);
        gumpLink(other, nullptr);
        for (const SkillEntry& entry : entries)
            other->setSkill(entry.skill, entry.value, entry.base, entry.lock, entry.cap);
        other->setListMode(true);
        other->rebuild();
    }
    if (player)
        player->rebuild();
}

} // namespace

void handleSkills(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint8_t type = reader.u8();
    if (!reader.ok())
        return;
    switch (type) {
    case kOneSkill:
    case kOneSkillWithCap:
        handleOneSkill(reader, type == kOneSkillWithCap);
        break;
    case kSkillNames:
        handleSkillNames(reader);
        break;
    default:
        handleSkillList(reader, type);
        break;
    }
}

void registerSkillHandler() { registerPacketHandler(0x3A, handleSkills); }

void reportSkillChange(int32_t skill, int32_t newValue)
{
    if (skill < 0 || skill >= SkillValues::kCount)
        return;
    const int32_t change = newValue - int32_t(skillValues().value[size_t(skill)]);
    if (change == 0)
        return;
    int32_t& sum = changeSums()[size_t(skill)];
    sum += change;
    if (std::abs(sum) < settings().getIntSetting(u"SkillReportDiff"))
        return;
    sum = 0;
    const std::string name(skillNameTable().nameOf(skill));
    char text[160];
    std::snprintf(text, sizeof text, "Your skill in %s has %s by %.1f%%.  It is now %.1f%%.", name.c_str(),
        change > 0 ? "increased" : "decreased", std::abs(change) / 10.0, newValue / 10.0);
    addSystemMessage(kReportHue, kReportFont, text);
}

void resetSkillChangeReports() { changeSums().fill(0); }
