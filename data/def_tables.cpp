#include "data/def_tables.h"
#include "platform/ascii_text.h"

#include "core/process_random.h"
#include "data/client_file_path.h"
#include "data/data_files.h"
#include "platform/file_system.h"

#include <climits>
#include <cstdio>

namespace {

constexpr size_t kMaxLineLength = 254;
constexpr uint16_t kItemRecordCount = 16384;
constexpr uint16_t kConvertedBodyLimit = 2048;
constexpr int32_t kTinySoundLength = 40;

// Reads a decimal at `at` (optionally signed), held to the 32-bit range as
// the C library's conversions do; advances past the digits.
int32_t readDecimal(std::string_view line, size_t& at)
{
    bool negative = false;
    if (at < line.size() && (line[at] == '-' || line[at] == '+'))
        negative = line[at++] == '-';
    int64_t value = 0;
    while (at < line.size() && platform::isAsciiDigit(line[at])) {
        value = value * 10 + (line[at++] - '0');
        if (value > int64_t(INT32_MAX) + 1)
            value = int64_t(INT32_MAX) + 1;
    }
    if (negative)
        return int32_t(-value);
    return int32_t(value > INT32_MAX ? INT32_MAX : value);
}

// Reads one line of at most 254 characters; a longer line goes on as the
// next one. False at the end of the file.
bool readLine(FILE* file, std::string& line)
{
    line.clear();
    int c;
    while (line.size() < kMaxLineLength && (c = std::fgetc(file)) != EOF) {
        if (c == '\n')
            return true;
        line += char(c);
    }
    return !line.empty();
}

const char* const kDefFileNames[kDefSlotCount] = {
    "sound.def",
    "gump.def",
    "anim1.def",
    "anim2.def",
    "anim3.def",
    "anim4.def",
    "art.def",
    "texterr.def",
    "body.def",
    "corpse.def",
};

std::unique_ptr<DefTable> g_tables[kDefSlotCount];

} // namespace

std::optional<std::pair<uint16_t, DefEntry>> DefTable::parseLine(std::string_view line)
{
    size_t at = 0;
    while (at < line.size() && platform::isAsciiSpace(line[at]))
        ++at;
    if (at == line.size() || line[at] == '#')
        return std::nullopt;
    bool signedStart
        = (line[at] == '-' || line[at] == '+') && at + 1 < line.size() && platform::isAsciiDigit(line[at + 1]);
    if (!platform::isAsciiDigit(line[at]) && !signedStart)
        return std::nullopt;
    auto id = uint16_t(readDecimal(line, at));

    at = line.find('{', at);
    if (at == std::string_view::npos)
        return std::nullopt;
    ++at;
    DefEntry entry;
    if (at < line.size() && line[at] == '}') {
        // An empty list: accepted, and translate leaves such an id alone.
    } else {
        for (;;) {
            while (at < line.size() && !platform::isAsciiDigit(line[at]))
                ++at;
            if (at == line.size())
                return std::nullopt;
            entry.alternatives.push_back(uint16_t(readDecimal(line, at)));
            while (at < line.size() && line[at] != ',' && line[at] != '}' && !platform::isAsciiDigit(line[at]))
                ++at;
            if (at < line.size() && line[at] == ',') {
                if (at + 1 < line.size() && line[at + 1] == '}') {
                    ++at;
                    break;
                }
                ++at;
                continue;
            }
            break;
        }
    }
    if (at == line.size() || line[at] != '}')
        return std::nullopt;
    ++at;

    while (at < line.size() && !platform::isAsciiDigit(line[at]) && line[at] != '-')
        ++at;
    if (at == line.size())
        return std::nullopt;
    entry.hue = readDecimal(line, at);
    while (at < line.size() && (platform::isAsciiDigit(line[at]) || line[at] == '-'))
        ++at;
    while (at < line.size() && platform::isAsciiSpace(line[at]))
        ++at;
    if (at < line.size() && line[at] != '#')
        return std::nullopt;
    return std::make_pair(id, std::move(entry));
}

void DefTable::load(const std::string& path)
{
    FILE* file = platform::openRegularFile(platform::resolvePath(path).value_or(path), "r");
    if (!file)
        return;
    std::string line;
    while (readLine(file, line)) {
        auto parsed = parseLine(line);
        if (parsed && !contains(parsed->first))
            add(parsed->first, std::move(parsed->second));
    }
    std::fclose(file);
}

bool DefTable::contains(uint16_t id) const { return containsPlain(id); }

void DefTable::add(uint16_t id, DefEntry entry) { m_entries[id] = std::move(entry); }

uint16_t DefTable::translate(uint16_t id, uint32_t seed) const
{
    if (!contains(id))
        return id;
    const DefEntry* entry = getEntry(id);
    // An entry without alternatives has nothing to offer instead.
    if (!entry || entry->alternatives.empty())
        return id;
    seedRandom(seed);
    return entry->alternatives[size_t(nextRandom()) % entry->alternatives.size()];
}

const DefEntry* DefTable::getEntry(uint16_t id) const
{
    auto found = m_entries.find(id);
    return found == m_entries.end() ? nullptr : &found->second;
}

void SoundDefTable::add(uint16_t id, DefEntry entry)
{
    // The sound's own index entry: a sound that exists with more than a
    // token length keeps its own data. A sound the index does not reach at
    // all is missing, so the line is taken.
    IdxEntry sound;
    if (readIdxEntry(getFixedRecord(kSoundIndexFile, id), kIndexEntrySize, 0, sound) && sound.offset >= 0
        && sound.length > kTinySoundLength)
        return;
    DefTable::add(id, std::move(entry));
}

void ArtDefTable::add(uint16_t id, DefEntry entry)
{
    if (m_world.hasArtImage(id))
        return;
    DefTable::add(id, std::move(entry));
}

void ArtDefTable::load(const std::string& path)
{
    DefTable::load(path);
    for (uint16_t item = 0; item < kItemRecordCount; ++item) {
        if (!m_world.itemHasPartialHue(item))
            continue;
        uint16_t replacement = translate(uint16_t(item + kFirstStaticArt), 0);
        // A static remapped to land art has no item record to compare with.
        if (replacement < kFirstStaticArt)
            continue;
        if (!m_world.itemHasPartialHue(uint16_t(replacement - kFirstStaticArt)))
            m_world.clearItemPartialHue(item);
    }
}

void BodyDefTable::load(const std::string& path)
{
    DefTable::load(path);
    m_loaded = true;
}

bool BodyDefTable::contains(uint16_t id) const
{
    if (m_loaded && id < kConvertedBodyLimit) {
        for (int set = 1; set <= 4; ++set) {
            if (m_world.isAnimSetEnabled(set) && m_world.bodyConversion(id, set) != -1)
                return false;
        }
    }
    return containsPlain(id);
}

const char* defFileName(DefSlot slot)
{
    auto index = size_t(slot);
    return index < kDefSlotCount ? kDefFileNames[index] : "";
}

void createDefTables(DefTableWorld& world)
{
    for (int slot = 0; slot < kDefSlotCount; ++slot) {
        std::unique_ptr<DefTable> table;
        switch (DefSlot(slot)) {
        case DefSlot::Sound:
            table = std::make_unique<SoundDefTable>();
            break;
        case DefSlot::Art:
            table = std::make_unique<ArtDefTable>(world);
            break;
        case DefSlot::Body:
        case DefSlot::Corpse:
            table = std::make_unique<BodyDefTable>(world);
            break;
        default:
            table = std::make_unique<DefTable>();
            break;
        }
        table->load(clientFilePath(kDefFileNames[slot]));
        g_tables[slot] = std::move(table);
    }
}

void destroyDefTables()
{
    for (auto& table : g_tables)
        table.reset();
}

DefTable* defTable(DefSlot slot)
{
    auto index = size_t(slot);
    return index < kDefSlotCount ? g_tables[index].get() : nullptr;
}
