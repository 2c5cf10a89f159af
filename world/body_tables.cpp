#include "world/body_tables.h"

#include "data/text_table_scanner.h"

#include "data/client_file_path.h"
#include "data/file_manager.h"

#include <memory>
#include <string>
#include <vector>

void BodyTypeTable::load(std::string_view text)
{
    TextTableScanner scanner(text);
    std::string_view line;
    while (scanner.nextLine(line)) {
        LineFields fields(line);
        int32_t body = 0;
        std::string_view word;
        uint32_t flags = 0;
        if (!fields.readInt(body) || !fields.readWord(word) || !fields.readHex(flags))
            continue;
        if (body < 1 || body >= kBodyCount)
            continue;
        BodyType type;
        switch (word[0]) {
        case 'M':
        case 'm':
            type = BodyType::Monster;
            break;
        case 'S':
        case 's':
            type = BodyType::SeaMonster;
            break;
        case 'A':
        case 'a':
            type = BodyType::Animal;
            break;
        case 'H':
        case 'h':
            type = BodyType::Human;
            break;
        case 'E':
        case 'e':
            type = BodyType::Equipment;
            break;
        default:
            continue;
        }
        m_entries[body] = { true, type, flags };
    }
}

const BodyTypeTable::Entry& BodyTypeTable::entry(int32_t body) const
{
    return m_entries[body >= 0 && body < kBodyCount ? body : 0];
}

BodyType BodyTypeTable::getBodyType(int32_t body) const
{
    const Entry& e = entry(body);
    return e.listed ? e.type : BodyType::Equipment;
}

bool BodyTypeTable::hasFlag(int32_t body, uint32_t flag) const
{
    const Entry& e = entry(body);
    return e.listed && (e.flags & flag);
}

bool BodyTypeTable::isHuman(int32_t body) const
{
    const Entry& e = entry(body);
    return e.listed && e.type == BodyType::Human;
}

bool BodyTypeTable::isAnimal(int32_t body) const
{
    const Entry& e = entry(body);
    return e.listed && e.type == BodyType::Animal;
}

bool BodyTypeTable::isHumanLike(int32_t body) const
{
    const Entry& e = entry(body);
    return (e.listed && e.type == BodyType::Human) || e.type == BodyType::Equipment
        || (e.listed && (e.flags & 0x1000));
}

bool BodyTypeTable::isAnimalLike(int32_t body) const
{
    const Entry& e = entry(body);
    return body <= 399
        || (e.listed && (e.type == BodyType::Animal || e.type == BodyType::Monster || (e.flags & 0x2000)));
}

BodyConversionTable::BodyConversionTable()
{
    for (auto& sets : m_alternatives)
        sets.fill(-1);
}

void BodyConversionTable::load(std::string_view text)
{
    TextTableScanner scanner(text);
    std::string_view line;
    while (scanner.nextLine(line)) {
        LineFields fields(line);
        int32_t body = 0;
        std::array<int32_t, kSetCount> sets {};
        bool complete = fields.readInt(body);
        for (int32_t& set : sets)
            complete = complete && fields.readInt(set);
        if (complete && body >= 0 && body < kBodyCount)
            m_alternatives[body] = sets;
    }
}

int32_t BodyConversionTable::alternative(int32_t body, int32_t set) const
{
    if (body < 0 || body >= kBodyCount || set < 1 || set > kSetCount)
        return -1;
    return m_alternatives[body][set - 1];
}

void EquipConvTable::load(std::string_view text)
{
    m_entries.clear();
    TextTableScanner scanner(text);
    std::string_view line;
    while (scanner.nextLine(line)) {
        LineFields fields(line);
        int32_t body = 0, graphic = 0;
        EquipConvEntry e;
        if (fields.readInt(body) && fields.readInt(graphic) && fields.readInt(e.graphic) && fields.readInt(e.gump)
            && fields.readHex(e.hue))
            m_entries[body][graphic] = e;
    }
}

const EquipConvEntry* EquipConvTable::find(int32_t body, int32_t graphic) const
{
    auto bodyIt = m_entries.find(body);
    if (bodyIt == m_entries.end())
        return nullptr;
    auto it = bodyIt->second.find(graphic);
    return it == bodyIt->second.end() ? nullptr : &it->second;
}

int32_t EquipConvTable::getConvertedEquipGraphic(int32_t body, int32_t graphic) const
{
    const EquipConvEntry* e = find(body, graphic);
    return e ? e->graphic : graphic;
}

namespace {

// Paperdoll gumps of item graphics start at 50000. A converted graphic comes
// from the file and may be any number: the sum saturates instead of wrapping.
int32_t paperdollGumpOf(int32_t graphic)
{
    int64_t gump = int64_t(graphic) + 50000;
    return gump > INT32_MAX ? INT32_MAX : int32_t(gump);
}

} // namespace

int32_t EquipConvTable::getGump(int32_t body, int32_t graphic) const
{
    const EquipConvEntry* e = find(body, graphic);
    if (!e)
        return paperdollGumpOf(graphic);
    if (e->gump == -1)
        return paperdollGumpOf(e->graphic);
    if (e->gump > 0)
        return e->gump;
    return paperdollGumpOf(graphic);
}

BodyTypeTable& bodyTypes()
{
    static const std::unique_ptr<BodyTypeTable> table = std::make_unique<BodyTypeTable>();
    return *table;
}

BodyConversionTable& bodyConversions()
{
    static const std::unique_ptr<BodyConversionTable> table = std::make_unique<BodyConversionTable>();
    return *table;
}

EquipConvTable& equipConv()
{
    static const std::unique_ptr<EquipConvTable> table = std::make_unique<EquipConvTable>();
    return *table;
}

namespace {

bool readClientDirectoryFile(const char* name, std::string& text)
{
    FileManager& files = fileManager();
    FILE* stream = files.openPath(clientFilePath(name), "rb");
    if (!stream)
        return false;
    char buffer[4096];
    size_t got;
    text.clear();
    while ((got = files.read(buffer, 1, sizeof buffer, stream)) > 0)
        text.append(buffer, got);
    files.close(stream);
    return true;
}

} // namespace

bool loadBodyTypes()
{
    std::vector<uint8_t> bytes;
    if (fileManager().readWhole("mobtypes.txt", bytes) == 0)
        return false;
    bodyTypes().load(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return true;
}

bool loadBodyConversions()
{
    std::string text;
    if (!readClientDirectoryFile("bodyconv.def", text))
        return false;
    bodyConversions().load(text);
    return true;
}

bool loadEquipConv()
{
    std::string text;
    if (!readClientDirectoryFile("Equipconv.def", text)) {
        // The table is emptied before the file is looked for.
        equipConv().load({});
        return false;
    }
    equipConv().load(text);
    return true;
}
