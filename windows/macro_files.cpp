#include "windows/macro_files.h"

#include "core/wide_text.h"
#include "data/config_file.h"
#include "data/managed_files.h"
#include "data/server_config_store.h"
#include "data/skill_names.h"

#include <cstdio>
#include <cstring>

namespace macro {

namespace {

// A macros file larger than this is not ours.
constexpr size_t kMaxMacroFileBytes = 1u << 20;
constexpr size_t kMaxKeyNamesFileBytes = 64u << 10;
// The line buffer the '+' lines were written for: its high bytes 2..254.
constexpr size_t kWideLineBytes = 256;

SpellNames& spellNames() { return service<SpellNames>(); }

// The stream was read in text mode: CR LF became LF.
std::string textModeBytes(const std::string& bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue;
        out.push_back(bytes[i]);
    }
    return out;
}

std::vector<std::u16string_view> blankTokens(std::u16string_view text)
{
    std::vector<std::u16string_view> tokens;
    size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && text[at] == u' ')
            ++at;
        const size_t start = at;
        while (at < text.size() && text[at] != u' ')
            ++at;
        if (at > start)
            tokens.push_back(text.substr(start, at - start));
    }
    return tokens;
}

std::u16string joinTokens(const std::vector<std::u16string_view>& tokens, size_t from)
{
    std::u16string joined;
    for (size_t i = from; i < tokens.size(); ++i) {
        if (!joined.empty())
            joined.push_back(u' ');
        joined.append(tokens[i]);
    }
    return joined;
}

// A '+' line's UTF-16 units; an editor that turned the zero bytes into
// blanks is undone first (its first unit's high byte is a blank).
std::u16string wideLineText(std::string_view line)
{
    std::string bytes(line.substr(1));
    if (line.size() > 2 && line[2] == ' ') {
        for (size_t i = 2; i <= kWideLineBytes - 2; i += 2) {
            if (i - 1 < bytes.size())
                bytes[i - 1] = '\0';
        }
    }
    std::u16string text;
    for (size_t i = 0; i < bytes.size(); i += 2) {
        const uint8_t low = uint8_t(bytes[i]);
        const uint8_t high = i + 1 < bytes.size() ? uint8_t(bytes[i + 1]) : 0;
        const char16_t unit = char16_t(low | (high << 8));
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    return text;
}

int32_t actionByName(const std::string& name)
{
    if (name == "WresDisarm")
        return kPrimaryAbility;
    if (name == "WresStun")
        return kSecondaryAbility;
    for (int32_t action = 1; action <= kActionCount; ++action) {
        if (actionName(action) == name)
            return action;
    }
    return kNone;
}

int32_t windowByName(std::string_view name)
{
    if (name == "Spellbook")
        return kMageSpellbook;
    for (int32_t index = 0; index < kWindowNameCount; ++index) {
        if (windowName(index) == name)
            return index;
    }
    return 0;
}

int32_t directionByName(std::string_view name)
{
    for (int32_t index = 0; index < kDirectionCount; ++index) {
        if (directionName(index) == name)
            return index;
    }
    return 0;
}

int32_t skillByName(const std::string& name)
{
    const SkillNameTable& table = skillNameTable();
    int32_t found = 0;
    for (int32_t skill = 0; skill < SkillNameTable::kMaxSkills; ++skill) {
        if (!table.names[size_t(skill)].empty() && table.names[size_t(skill)] == name)
            found = skill;
    }
    return found;
}

int32_t spellByName(const std::string& name)
{
    SpellNames& spells = spellNames();
    int32_t found = 0;
    const int32_t count = spells.spellCount();
    for (int32_t index = 0; index < count; ++index) {
        const int32_t id = spells.spellIdByIndex(index);
        if (spells.spellName(id) == name)
            found = id;
    }
    return found;
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// The key line's name and flags; false for a line without three '0' or '1'
// characters or without three numbers after them.
bool parseKeyLine(const std::string& line, std::string& name, bool& control, bool& alt, bool& shift)
{
    int found = 0;
    size_t at = line.size();
    while (at > 0 && found < 3) {
        --at;
        if (line[at] == '0' || line[at] == '1')
            ++found;
    }
    if (found < 3)
        return false;
    int flags[3] = { 0, 0, 0 };
    if (std::sscanf(line.c_str() + at, "%d %d %d", &flags[0], &flags[1], &flags[2]) != 3)
        return false;
    // The blank before the flags ends the name.
    name = line.substr(0, at > 0 ? at - 1 : 0);
    control = flags[0] != 0;
    alt = flags[1] != 0;
    shift = flags[2] != 0;
    return true;
}

int32_t scanCodeByName(const KeyNameTable& keyNames, const std::string& name)
{
    for (int32_t scan = 0; scan < kKeyNameCount; ++scan) {
        if (keyNames[size_t(scan)] && *keyNames[size_t(scan)] == name)
            return scan;
    }
    return -1;
}

void appendWideLine(std::string& out, std::u16string_view text)
{
    // Written through a text stream: every line-feed byte becomes CR LF,
    // also one inside a unit.
    const auto put = [&out](uint8_t byte) {
        if (byte == '\n')
            out.push_back('\r');
        out.push_back(char(byte));
    };
    put('+');
    for (char16_t unit : text) {
        put(uint8_t(unit & 0xFF));
        put(uint8_t(unit >> 8));
    }
    out.append("\r\n");
}

} // namespace

bool parseMacroAction(std::string_view line, MacroAction& slot)
{
    slot = MacroAction {};
    const std::u16string text
        = !line.empty() && line[0] == '+' ? wideLineText(line) : bytesToWideString(line);
    const std::vector<std::u16string_view> tokens = blankTokens(text);
    if (tokens.empty())
        return false;
    const int32_t action = actionByName(lowBytesOf(tokens[0]));
    if (action == kNone)
        return false;
    slot.action = action;
    const std::u16string_view next = tokens.size() > 1 ? tokens[1] : std::u16string_view {};
    switch (argumentKind(action)) {
    case ArgumentKind::Text:
        slot.text = joinTokens(tokens, 1);
        break;
    case ArgumentKind::Direction:
        slot.argument = directionByName(lowBytesOf(next));
        break;
    case ArgumentKind::Window:
        slot.argument = windowByName(lowBytesOf(next));
        break;
    case ArgumentKind::Skill:
        slot.argument = skillByName(lowBytesOf(joinTokens(tokens, 1)));
        break;
    case ArgumentKind::Spell: {
        const std::u16string name = joinTokens(tokens, 1);
        slot.argument = spellByName(lowBytesOf(name));
        // Without a spell table the name is kept for the writer.
        if (spellNames().spellCount() == 0)
            slot.text = name;
        break;
    }
    case ArgumentKind::Hand:
        slot.argument = lowBytesOf(next) == "LeftHand" ? kLeftHand : kRightHand;
        break;
    case ArgumentKind::Virtue: {
        const std::string name = lowBytesOf(next);
        slot.argument = equalsNoCase(name, "Sacrifice") ? 2 : equalsNoCase(name, "Valor") ? 3 : 1;
        break;
    }
    case ArgumentKind::None:
        break;
    }
    return true;
}

std::u16string formatMacroAction(const MacroAction& action)
{
    std::u16string line = bytesToWideString(actionName(action.action));
    line.push_back(u' ');
    std::string argument;
    switch (argumentKind(action.action)) {
    case ArgumentKind::Text:
        line.append(action.text);
        return line;
    case ArgumentKind::Direction:
        argument = directionName(action.argument);
        break;
    case ArgumentKind::Window:
        argument = windowName(action.argument);
        break;
    case ArgumentKind::Skill:
        argument = skillNameTable().nameOf(action.argument);
        break;
    case ArgumentKind::Spell:
        if (spellNames().spellCount() == 0 && !action.text.empty()) {
            line.append(action.text);
            return line;
        }
        argument = spellNames().spellName(action.argument);
        break;
    case ArgumentKind::Hand:
        argument = action.argument == kLeftHand ? "LeftHand" : "RightHand";
        break;
    case ArgumentKind::Virtue:
        argument = virtueName(action.argument);
        break;
    case ArgumentKind::None:
        break;
    }
    line.append(bytesToWideString(argument));
    return line;
}

std::vector<MacroRecord> parseMacroFile(const std::string& bytes, const KeyNameTable& keyNames)
{
    std::vector<MacroRecord> macros;
    const std::string text = textModeBytes(bytes);
    TextLineSpan span;
    size_t at = 0;
    bool skipping = false;
    MacroRecord* current = nullptr;
    bool currentClosed = false;
    while (nextTextLine(text, at, span)) {
        at = span.next;
        const std::string line(span.text);
        if (line.empty())
            continue;
        const bool endLine = line.compare(0, 8, kEndLine) == 0;
        if (skipping) {
            skipping = !endLine;
            continue;
        }
        if (current && !currentClosed) {
            if (endLine) {
                currentClosed = true;
                current = nullptr;
                continue;
            }
            MacroAction action;
            // A macro holds ten actions; further lines are passed over.
            if (current->count >= kMaxActions)
                continue;
            if (!parseMacroAction(line, action)) {
                current = nullptr;
                skipping = true;
                continue;
            }
            current->actions[size_t(current->count++)] = std::move(action);
            continue;
        }
        if (endLine)
            continue;
        std::string name;
        bool control = false;
        bool alt = false;
        bool shift = false;
        const int32_t scan = parseKeyLine(line, name, control, alt, shift) ? scanCodeByName(keyNames, name) : -1;
        if (scan < 0) {
            skipping = true;
            continue;
        }
        MacroRecord& record = macros.emplace_back();
        record.virtualKey = virtualKeyForScanCode(scan);
        record.keyData = uint32_t(scan) << 16;
        record.control = control;
        record.alt = alt;
        record.shift = shift;
        current = &record;
        currentClosed = false;
    }
    return macros;
}

std::string formatMacroFile(const std::vector<MacroRecord>& macros)
{
    std::string out;
    for (const MacroRecord& record : macros) {
        // The key-name service's buffer holds 19 characters.
        const std::string name(keyNameForScanCode(record.scanCode()).substr(0, 19));
        char flags[40];
        std::snprintf(flags, sizeof flags, " %d %d %d\r\n", int(record.control), int(record.alt), int(record.shift));
        out += name;
        out += flags;
        for (int32_t i = 0; i < record.count && i < kMaxActions; ++i)
            appendWideLine(out, formatMacroAction(record.actions[size_t(i)]));
        out += kEndLine;
        out += "\r\n";
    }
    return out;
}

KeyNameTable parseKeyNames(const std::string& bytes)
{
    KeyNameTable names {};
    const std::string text = textModeBytes(bytes);
    TextLineSpan span;
    size_t at = 0;
    for (size_t entry = 0; entry < names.size() && nextTextLine(text, at, span); ++entry) {
        at = span.next;
        names[entry] = std::string(span.text);
    }
    return names;
}

MacroList& macroList()
{
    static MacroList list;
    return list;
}

std::string macrosPath() { return characterFilePath(kMacrosFile, 11); }

void loadMacros()
{
    MacroList& list = macroList();
    if (skillNameTable().count > 0)
        loadSkillNames();
    std::string bytes;
    list.keyNames = readManagedFile(kKeyNamesFile, bytes, kMaxKeyNamesFileBytes) ? parseKeyNames(bytes) : KeyNameTable {};
    const std::string path = macrosPath();
    bytes.clear();
    bool read = readManagedFile(path, bytes, kMaxMacroFileBytes);
    if (!read && path != kMacrosFile)
        read = readManagedFile(kMacrosFile, bytes, kMaxMacroFileBytes);
    list.replace(read ? parseMacroFile(bytes, list.keyNames) : std::vector<MacroRecord> {});
}

bool saveMacros()
{
    const std::string bytes = formatMacroFile(macroList().macros);
    const std::string path = macrosPath();
    if (writeManagedFile(path, bytes) || (path != kMacrosFile && writeManagedFile(kMacrosFile, bytes)))
        return true;
    reportSaveFailure(kMacrosFile);
    return false;
}

bool keyNamesLoaded()
{
    for (const std::optional<std::string>& name : macroList().keyNames) {
        if (name && !name->empty())
            return true;
    }
    return false;
}

void freeMacros()
{
    MacroList& list = macroList();
    list.replace({});
    list.keyNames = KeyNameTable {};
}

} // namespace macro
