#include "data/skill_groups.h"

#include "core/byte_cursor.h"
#include "core/byte_writer.h"
#include "data/config_file.h"
#include "data/managed_files.h"
#include "data/server_config_store.h"

#include <algorithm>

namespace {

constexpr const char* kSkillGroupsFile = "skillgrp.mul";
constexpr int32_t kWideMarker = -1;
// Twelve wide names and the group numbers take 600 bytes; a file far larger
// is not ours.
constexpr size_t kMaxSkillGroupsFileBytes = 64 * 1024;

std::string cutGroupName(std::string_view name)
{
    return std::string(name.substr(0, std::min(name.size(), SkillGroupTable::kMaxNameLength)));
}

} // namespace

int32_t SkillGroupTable::groupOf(int32_t skill) const
{
    return skill >= 0 && skill < kSkillCount ? group[size_t(skill)] : 0;
}

bool SkillGroupTable::moveSkill(int32_t skill, int32_t toGroup)
{
    if (skill < 0 || skill >= kSkillCount || toGroup < 0 || toGroup >= count)
        return false;
    group[size_t(skill)] = toGroup;
    return true;
}

int32_t SkillGroupTable::addGroup(std::string_view name)
{
    if (count >= kMaxGroups)
        return -1;
    names[size_t(count)] = cutGroupName(name);
    return count++;
}

bool SkillGroupTable::rename(int32_t groupNumber, std::string_view name)
{
    if (groupNumber < 0 || groupNumber >= count || name.empty())
        return false;
    names[size_t(groupNumber)] = cutGroupName(name);
    return true;
}

int32_t SkillGroupTable::remove(int32_t groupNumber)
{
    if (groupNumber <= 0 || groupNumber >= count)
        return -1;
    int32_t moved = 0;
    for (int32_t& of : group) {
        if (of == groupNumber) {
            of = 0;
            ++moved;
        } else if (of > groupNumber) {
            --of;
        }
    }
    std::move(names.begin() + groupNumber + 1, names.begin() + count, names.begin() + groupNumber);
    --count;
    names[size_t(count)].clear();
    return moved;
}

int32_t SkillGroupTable::skillCount(int32_t groupNumber) const
{
    return int32_t(std::count(group.begin(), group.end(), groupNumber));
}

bool parseSkillGroups(std::span<const uint8_t> bytes, SkillGroupTable& table)
{
    ByteCursor cursor(bytes);
    int32_t count = cursor.readI32();
    const bool wide = count == kWideMarker;
    if (wide)
        count = cursor.readI32();
    if (cursor.failed())
        return false;
    SkillGroupTable read;
    read.count = std::clamp(count, 1, SkillGroupTable::kMaxGroups);
    // The names of groups the table cannot hold are read past: the group
    // numbers follow them. A count no file could hold fails on the way.
    for (int32_t groupNumber = 1; groupNumber < count && !cursor.failed(); ++groupNumber) {
        std::string name;
        bool ended = false;
        for (size_t at = 0; at < SkillGroupTable::kNameField; ++at) {
            const uint8_t unit = wide ? uint8_t(cursor.readU16()) : cursor.readU8();
            ended = ended || unit == 0;
            if (!ended && name.size() < SkillGroupTable::kMaxNameLength)
                name.push_back(char(unit));
        }
        if (groupNumber < read.count)
            read.names[size_t(groupNumber)] = std::move(name);
    }
    for (int32_t& of : read.group) {
        const int32_t number = cursor.readI32();
        of = number >= 0 && number < read.count ? number : 0;
    }
    if (cursor.failed())
        return false;
    table = std::move(read);
    return true;
}

std::string skillGroupBytes(const SkillGroupTable& table)
{
    ByteWriter writer;
    writer.u32(uint32_t(table.count));
    for (int32_t groupNumber = 1; groupNumber < table.count; ++groupNumber)
        writer.fixedText(table.names[size_t(groupNumber)], SkillGroupTable::kNameField);
    for (int32_t of : table.group)
        writer.u32(uint32_t(of));
    return std::string(writer.bytes().begin(), writer.bytes().end());
}

SkillGroupTable& skillGroupTable()
{
    static SkillGroupTable table;
    return table;
}

std::string skillGroupsPath()
{
    const ConfigFiles& files = configFiles();
    if (files.shardName().empty() || files.characterName().empty())
        return kSkillGroupsFile;
    if (serverConfigStore().isEnabled())
        return ServerConfigStore::fileName(7);
    return files.perCharacterPath(kSkillGroupsFile).value_or(kSkillGroupsFile);
}

bool loadSkillGroupsFile()
{
    SkillGroupTable& table = skillGroupTable();
    table.reset();
    const std::string path = skillGroupsPath();
    std::string bytes;
    bool read = readManagedFile(path, bytes, kMaxSkillGroupsFileBytes);
    if (!read && path != kSkillGroupsFile)
        read = readManagedFile(kSkillGroupsFile, bytes, kMaxSkillGroupsFileBytes);
    return read && parseSkillGroups(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), table);
}

bool saveSkillGroupsFile()
{
    const std::string bytes = skillGroupBytes(skillGroupTable());
    const std::string path = skillGroupsPath();
    if (writeManagedFile(path, bytes) || (path != kSkillGroupsFile && writeManagedFile(kSkillGroupsFile, bytes)))
        return true;
    reportSaveFailure(path);
    return false;
}
