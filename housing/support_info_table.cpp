#include "housing/support_info_table.h"

#include "data/file_manager.h"
#include "housing/table_text_reader.h"

namespace housing {

namespace {

// The flag each of columns 3 to 16 sets.
constexpr std::array<int, 14> kColumnFlag = {
    kSupportUnused,
    kSupportDirect,
    kConnectNorthLower,
    kConnectNorthUpper,
    kConnectEastLower,
    kConnectEastUpper,
    kConnectSouthLower,
    kConnectSouthUpper,
    kConnectWestLower,
    kConnectWestUpper,
    kSupportCarriesFloor,
    kSupportWestColumn,
    kSupportNorthRow,
    kSupportCorner,
};

} // namespace

bool SupportInfoTable::load()
{
    m_records.clear();
    std::vector<uint8_t> bytes;
    if (fileManager().readWhole("suppinfo.txt", bytes) <= 0)
        return false;
    loadFromBytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return true;
}

void SupportInfoTable::loadFromBytes(std::string_view bytes)
{
    m_records.clear();
    std::vector<std::string_view> reads = splitTableReads(bytes);
    for (size_t i = 2; i < reads.size() && m_records.size() < kMaxSupportRecords; ++i) {
        // The name is only skipped, never copied, so its length does not matter.
        bool hasName = false;
        std::string_view rest = skipWord(reads[i], hasName);
        if (!hasName)
            continue;
        std::array<int32_t, 15> fields {};
        if (scanNumbers(rest, fields) != int(fields.size()))
            continue;
        SupportFlags record;
        for (size_t column = 0; column < kColumnFlag.size(); ++column)
            record.flag[size_t(kColumnFlag[column])] = fields[column + 1] != 0;
        m_records.try_emplace(fields[0], record);
    }
}

const SupportFlags* SupportInfoTable::flags(int32_t id) const
{
    auto found = m_records.find(id);
    return found == m_records.end() ? nullptr : &found->second;
}

bool SupportInfoTable::hasFlag(int32_t id, int flag) const
{
    if (id == 0)
        return false;
    const SupportFlags* record = flags(id);
    return record && record->has(flag);
}

bool SupportInfoTable::connects(int32_t idA, int32_t idB, int dx, int dy) const
{
    if (idA == 0 || idB == 0)
        return false;
    const SupportFlags* a = flags(idA);
    const SupportFlags* b = flags(idB);
    if (!a || !b)
        return false;
    auto both = [&](int flagA, int flagB) { return a->has(flagA) && b->has(flagB); };
    if (dx == -1)
        return both(kConnectWestLower, kConnectEastLower) || both(kConnectWestUpper, kConnectEastUpper);
    if (dx == 1)
        return both(kConnectEastLower, kConnectWestLower) || both(kConnectEastUpper, kConnectWestUpper);
    if (dy == -1)
        return both(kConnectNorthLower, kConnectSouthLower) || both(kConnectNorthUpper, kConnectSouthUpper);
    if (dy == 1)
        return both(kConnectSouthLower, kConnectNorthLower) || both(kConnectSouthUpper, kConnectNorthUpper);
    return false;
}

} // namespace housing
