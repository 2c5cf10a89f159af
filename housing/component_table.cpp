#include "housing/component_table.h"

#include "data/file_manager.h"
#include "housing/table_text_reader.h"

namespace housing {

ComponentKindInfo componentKindInfo(ComponentKind kind)
{
    switch (kind) {
    case ComponentKind::Walls:
        return { "walls.txt", 18, 17 };
    case ComponentKind::Floors:
        return { "floors.txt", 18, 17 };
    case ComponentKind::Doors:
        return { "doors.txt", 10, 9 };
    case ComponentKind::Stairs:
        return { "stairs.txt", 15, 14 };
    case ComponentKind::Misc:
        return { "misc.txt", 12, 11 };
    case ComponentKind::Teleporters:
        return { "teleprts.txt", 18, 17 };
    case ComponentKind::Roofs:
        return { "roof.txt", 20, 18 };
    }
    return { nullptr, 0, 0 };
}

bool ComponentRow::parseLine(std::string_view line)
{
    ComponentKindInfo info = componentKindInfo(kind);
    if (!info.fileName)
        return false;
    std::array<int32_t, 20> columns {};
    int converted = scanNumbers(line, std::span(columns).first(size_t(info.columns)));

    // Each kind's column order; a pointer per column says where it goes.
    std::array<int32_t*, 20> targets {};
    size_t n = 0;
    auto add = [&](int32_t& field) { targets[n++] = &field; };
    switch (kind) {
    case ComponentKind::Walls:
        add(category);
        add(pageIndex);
        add(categoryTooltip);
        for (int i = 0; i < 8; ++i)
            add(pieces[i]);
        for (int32_t& alternate : alternatePieces)
            add(alternate);
        break;
    case ComponentKind::Floors:
    case ComponentKind::Teleporters:
        add(pageIndex);
        for (int32_t& piece : pieces)
            add(piece);
        break;
    case ComponentKind::Doors:
        add(pageIndex);
        for (int i = 0; i < 8; ++i)
            add(pieces[i]);
        break;
    case ComponentKind::Stairs:
        add(pageIndex);
        add(pieces[8]);
        for (int i = 0; i < 8; ++i)
            add(pieces[i]);
        for (int32_t& multi : stairMultis)
            add(multi);
        break;
    case ComponentKind::Misc:
        add(category);
        add(pageIndex);
        add(categoryTooltip);
        for (int i = 0; i < 8; ++i)
            add(pieces[i]);
        break;
    case ComponentKind::Roofs:
        add(category);
        add(pageIndex);
        add(categoryTooltip);
        for (int32_t& piece : pieces)
            add(piece);
        break;
    }
    add(featureMask);

    for (size_t i = 0; i < n && int(i) < converted; ++i)
        *targets[i] = columns[i];
    return converted >= info.minimumColumns;
}

bool HouseComponentTable::load(ComponentKind kind)
{
    m_kind = kind;
    m_rows.clear();
    ComponentKindInfo info = componentKindInfo(kind);
    std::vector<uint8_t> bytes;
    if (!info.fileName || fileManager().readWhole(info.fileName, bytes) <= 0)
        return false;
    loadFromBytes(kind, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return true;
}

void HouseComponentTable::loadFromBytes(ComponentKind kind, std::string_view bytes)
{
    m_kind = kind;
    m_rows.clear();
    std::vector<std::string_view> reads = splitTableReads(bytes);
    for (size_t i = 2; i < reads.size() && m_rows.size() < kMaxComponentRows; ++i) {
        ComponentRow row;
        row.kind = kind;
        if (row.parseLine(reads[i]))
            m_rows.push_back(row);
    }
}

const ComponentRow* HouseComponentTable::findPage(int32_t pageIndex) const
{
    for (const ComponentRow& row : m_rows) {
        if (row.pageIndex == pageIndex)
            return &row;
    }
    return nullptr;
}

const ComponentRow* HouseComponentTable::findPage(int32_t category, int32_t pageIndex) const
{
    for (const ComponentRow& row : m_rows) {
        if (row.category == category && row.pageIndex == pageIndex)
            return &row;
    }
    return nullptr;
}

} // namespace housing
