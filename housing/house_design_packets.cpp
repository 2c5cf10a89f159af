#include "housing/house_design_packets.h"

#include "housing/house_designer.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "net/packet_table.h"
#include "world/item.h"
#include "world/multi_cache.h"
#include "world/object_manager.h"

#include <zlib.h>

#include <array>
#include <memory>

namespace housing {

namespace {

constexpr int32_t kFullRecordBytes = 5;
constexpr int32_t kPlaneRecordBytes = 4;
constexpr int32_t kRasterValueBytes = 2;
constexpr int32_t kPlaneHeaderBytes = 4;
// The command packet's id, length, serial and sub-command, then at most
// four number arguments of five bytes and the closing byte.
constexpr size_t kMaxDesignCommandLength = 9 + 4 * 5 + 1;

enum class PlaneKind : uint8_t { FullRecords = 0, PlaneRecords = 1, Raster = 2 };

uint16_t bigU16(const uint8_t* bytes) { return uint16_t((bytes[0] << 8) | bytes[1]); }

// Inflates exactly `expected` bytes; anything else (a broken stream, one
// that inflates to more or to less) is refused.
bool inflateExactly(std::span<const uint8_t> compressed, size_t expected, std::vector<uint8_t>& out)
{
    out.assign(expected, 0);
    // zlib writes at least one byte of scratch; an empty result still needs a buffer.
    std::array<uint8_t, 1> none {};
    uLongf length = uLongf(expected);
    int result = uncompress(expected ? out.data() : none.data(), &length, compressed.data(), uLong(compressed.size()));
    return result == Z_OK && length == expected;
}

// Full records: u16 id, signed 8-bit x, y and z.
void readFullRecords(std::span<const uint8_t> bytes, size_t count, std::vector<DesignRecord>& out)
{
    for (size_t n = 0; n < count; ++n) {
        const uint8_t* record = bytes.data() + n * kFullRecordBytes;
        out.push_back({ bigU16(record), 0, int8_t(record[2]), int8_t(record[3]), int8_t(record[4]) });
    }
}

class PlaneDecoder {
public:
    PlaneDecoder(size_t room, const RasterArea* area, std::vector<DesignRecord>& out)
        : m_room(room)
        , m_area(area)
        , m_out(out)
    {
    }

    DesignRefusal plane(PlaneKind kind, int32_t level, const std::vector<uint8_t>& bytes)
    {
        int32_t z = planeLevelZ(level);
        switch (kind) {
        case PlaneKind::FullRecords:
            if (bytes.size() % kFullRecordBytes != 0)
                return DesignRefusal::BadPlaneLength;
            if (!fits(bytes.size() / kFullRecordBytes))
                return DesignRefusal::TooManyComponents;
            readFullRecords(bytes, bytes.size() / kFullRecordBytes, m_out);
            return DesignRefusal::Accepted;
        case PlaneKind::PlaneRecords:
            if (bytes.size() % kPlaneRecordBytes != 0)
                return DesignRefusal::BadPlaneLength;
            if (!fits(bytes.size() / kPlaneRecordBytes))
                return DesignRefusal::TooManyComponents;
            for (size_t at = 0; at < bytes.size(); at += kPlaneRecordBytes)
                m_out.push_back({ bigU16(&bytes[at]), 0, int8_t(bytes[at + 2]), int8_t(bytes[at + 3]), int16_t(z) });
            return DesignRefusal::Accepted;
        case PlaneKind::Raster:
            return raster(level, z, bytes);
        }
        return DesignRefusal::Accepted;
    }

private:
    bool fits(size_t more) const { return m_out.size() + more <= m_room; }

    // Values run down a column first, then on to the next column; 0 is an
    // empty place.
    DesignRefusal raster(int32_t level, int32_t z, const std::vector<uint8_t>& bytes)
    {
        if (bytes.size() % kRasterValueBytes != 0)
            return DesignRefusal::BadPlaneLength;
        if (bytes.empty())
            return DesignRefusal::Accepted;
        if (!m_area)
            return DesignRefusal::NoRasterArea;
        bool inner = level >= 1 && level <= 4;
        int32_t startX = m_area->minX + (inner ? 1 : 0);
        int32_t startY = m_area->minY + (inner ? 1 : 0);
        // The ground level also covers the row in front of the house.
        int32_t lastY = m_area->maxY + (level == 0 ? 1 : 0);
        int64_t rows = int64_t(lastY) - startY + 1;
        int64_t columns = int64_t(m_area->maxX) - startX + 1;
        size_t values = bytes.size() / kRasterValueBytes;
        if (rows <= 0 || columns <= 0 || int64_t(values) > rows * columns)
            return DesignRefusal::OutsideHouse;
        size_t placed = 0;
        for (size_t n = 0; n < values; ++n)
            placed += bigU16(&bytes[n * 2]) != 0 ? 1 : 0;
        if (!fits(placed))
            return DesignRefusal::TooManyComponents;
        for (size_t n = 0; n < values; ++n) {
            uint16_t id = bigU16(&bytes[n * 2]);
            if (id == 0)
                continue;
            int32_t x = startX + int32_t(int64_t(n) / rows);
            int32_t y = startY + int32_t(int64_t(n) % rows);
            m_out.push_back({ id, 0, int16_t(x), int16_t(y), int16_t(z) });
        }
        return DesignRefusal::Accepted;
    }

    size_t m_room;
    const RasterArea* m_area;
    std::vector<DesignRecord>& m_out;
};

DesignRefusal decodePlanes(
    std::span<const uint8_t> data, size_t room, const RasterArea* area, std::vector<DesignRecord>& out)
{
    if (data.empty())
        return DesignRefusal::CutShort;
    size_t planes = data[0];
    size_t at = 1;
    PlaneDecoder decoder(room, area, out);
    std::vector<uint8_t> inflated;
    for (size_t p = 0; p < planes; ++p) {
        if (data.size() - at < size_t(kPlaneHeaderBytes))
            return DesignRefusal::CutShort;
        const uint8_t* header = data.data() + at;
        at += kPlaneHeaderBytes;
        auto kind = PlaneKind(header[0] >> 4);
        int32_t level = header[0] & 0x0F;
        size_t plain = size_t(header[1]) | (size_t(header[3] >> 4) << 8);
        size_t packed = size_t(header[2]) | (size_t(header[3] & 0x0F) << 8);
        if (data.size() - at < packed)
            return DesignRefusal::CutShort;
        std::span<const uint8_t> stream = data.subspan(at, packed);
        at += packed;
        if (header[0] >> 4 > uint8_t(PlaneKind::Raster))
            continue; // kinds this client does not know are skipped
        if (!inflateExactly(stream, plain, inflated))
            return DesignRefusal::InflateFailed;
        if (DesignRefusal refusal = decoder.plane(kind, level, inflated); refusal != DesignRefusal::Accepted)
            return refusal;
    }
    return DesignRefusal::Accepted;
}

} // namespace

int32_t planeLevelZ(int32_t level)
{
    switch (level) {
    case 1:
    case 5:
        return 7;
    case 2:
    case 6:
        return 27;
    case 3:
    case 7:
        return 47;
    case 4:
    case 8:
        return 67;
    default:
        return 0;
    }
}

DesignRefusal readHouseDesignHeader(const uint8_t* packet, HouseDesignHeader& header, std::span<const uint8_t>& data)
{
    int32_t at = 0;
    uint16_t length = 0;
    const uint8_t* bytes = nullptr;
    bool complete = packetGetByte(packet, at, header.compression) && packetGetByte(packet, at, header.acknowledge)
        && packetGetLong(packet, at, header.serial) && packetGetLong(packet, at, header.revision)
        && packetGetShort(packet, at, header.count) && packetGetShort(packet, at, length)
        && packetGetBytes(packet, at, bytes, length);
    if (!complete)
        return DesignRefusal::CutShort;
    data = std::span<const uint8_t>(bytes, length);
    return DesignRefusal::Accepted;
}

DesignRefusal decodeHouseDesign(const HouseDesignHeader& header, std::span<const uint8_t> data,
    const RasterArea* area, std::vector<DesignRecord>& out)
{
    size_t count = header.count;
    std::vector<DesignRecord> decoded;
    switch (DesignCompression(header.compression)) {
    case DesignCompression::Raw:
        if (data.size() < count * kFullRecordBytes)
            return DesignRefusal::RecordsMissing;
        readFullRecords(data, count, decoded);
        break;
    case DesignCompression::Zlib: {
        if (data.size() < 4)
            return DesignRefusal::CutShort;
        size_t plain = bigU16(data.data());
        size_t packed = bigU16(data.data() + 2);
        if (data.size() - 4 < packed)
            return DesignRefusal::CutShort;
        std::vector<uint8_t> inflated;
        if (!inflateExactly(data.subspan(4, packed), plain, inflated))
            return DesignRefusal::InflateFailed;
        if (inflated.size() < count * kFullRecordBytes)
            return DesignRefusal::RecordsMissing;
        readFullRecords(inflated, count, decoded);
        break;
    }
    case DesignCompression::Empty:
        break;
    case DesignCompression::Planes:
        if (DesignRefusal refusal = decodePlanes(data, count, area, decoded); refusal != DesignRefusal::Accepted)
            return refusal;
        break;
    default:
        return DesignRefusal::UnknownCompression;
    }
    out = std::move(decoded);
    return DesignRefusal::Accepted;
}

void handleHouseDesign(const uint8_t* packet)
{
    HouseDesignHeader header;
    std::span<const uint8_t> data;
    if (readHouseDesignHeader(packet, header, data) != DesignRefusal::Accepted)
        return;
    Item* house = findItemBySerial(header.serial);
    if (!house)
        return;
    std::vector<DesignRecord> records;
    if (header.compression == uint8_t(DesignCompression::Planes) && !house->multi()) {
        // Without its component list the house has nothing to lay planes on.
    } else {
        HouseBounds own;
        bool hasArea = multiRecordExtent(*house, own);
        RasterArea area { own.minX, own.minY, own.maxX, own.maxY };
        if (decodeHouseDesign(header, data, hasArea ? &area : nullptr, records) != DesignRefusal::Accepted)
            return;
    }
    auto entry
        = std::make_unique<MultiCacheEntry>(header.serial, int32_t(header.revision), 1, house->x, house->y, house->z);
    entry->records[0] = { 1, 0, 0, 0, 0 };
    entry->records.insert(entry->records.end(), records.begin(), records.end());
    MultiCache& cache = multiCache();
    cache.remove(header.serial);
    cache.insert(std::move(entry), true);
    cache.applyToHouse(header.serial);
    houseDesigner().designReceived(header.serial);
    if (header.acknowledge)
        sendDesignCommand(DesignCommand::DesignReceived);
}

void registerHouseDesignHandler() { registerPacketHandler(kHouseDesignPacketId, handleHouseDesign); }

bool buildDesignCommand(
    PacketBuffer& buffer, uint32_t playerSerial, DesignCommand command, std::initializer_list<uint32_t> arguments)
{
    std::array<EncodedArgument, 4> encoded {};
    if (arguments.size() > encoded.size())
        return false;
    size_t n = 0;
    for (uint32_t argument : arguments)
        encoded[n++] = { EncodedArgument::Type::Number, argument };
    return buildEncodedCommandPacket(
        buffer, playerSerial, uint16_t(command), std::span<const EncodedArgument>(encoded.data(), n));
}

bool sendDesignCommand(DesignCommand command, std::initializer_list<uint32_t> arguments)
{
    PacketStorage<kMaxDesignCommandLength> buffer;
    return buildDesignCommand(buffer, playerSerial(), command, arguments) && sendPacket(buffer);
}

} // namespace housing
