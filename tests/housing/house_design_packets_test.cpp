// The server's house design (0xD8) read in each compression, and refused
// whole when it lies about its lengths, its count or its place.
#include "fixtures/house_design_writer.h"
#include "housing/house_design_packets.h"
#include "net/packet_table.h"

#include <gtest/gtest.h>

namespace {

using fixture::DesignPacket;
using fixture::DesignPiece;
using housing::DesignRefusal;

constexpr uint32_t kDesignHouse = 0x40000123;
// The house multi's own records span x -3..3 and y -3..2.
constexpr housing::RasterArea kArea { -3, -3, 3, 2 };

DesignRefusal decodePacket(const std::vector<uint8_t>& packet, std::vector<DesignRecord>& out,
    const housing::RasterArea* area = &kArea)
{
    housing::HouseDesignHeader header;
    std::span<const uint8_t> data;
    DesignRefusal read = housing::readHouseDesignHeader(packet.data(), header, data);
    if (read != DesignRefusal::Accepted)
        return read;
    return housing::decodeHouseDesign(header, data, area, out);
}

DesignPacket design(uint8_t compression, uint16_t count, std::string data)
{
    DesignPacket packet;
    packet.compression = compression;
    packet.serial = kDesignHouse;
    packet.revision = 7;
    packet.count = count;
    packet.data = std::move(data);
    return packet;
}

const std::vector<DesignPiece> kThreePieces = { { 0x0064, -2, 1, 7 }, { 0x0065, 0, 0, 27 }, { 0x0066, 3, -3, -5 } };
const std::vector<DesignRecord> kThreeRecords
    = { { 0x0064, 0, -2, 1, 7 }, { 0x0065, 0, 0, 0, 27 }, { 0x0066, 0, 3, -3, -5 } };

TEST(HouseDesignPacket, RawAndZlibRecordsReadTheDeclaredCount)
{
    std::vector<DesignRecord> out;
    ASSERT_EQ(decodePacket(design(0, 3, fixture::fullRecords(kThreePieces)).bytes(), out), DesignRefusal::Accepted);
    EXPECT_EQ(out, kThreeRecords);
    out.clear();
    ASSERT_EQ(decodePacket(design(1, 3, fixture::zlibRecords(fixture::fullRecords(kThreePieces))).bytes(), out),
        DesignRefusal::Accepted);
    EXPECT_EQ(out, kThreeRecords);
    // Fewer than the records present are taken as declared.
    out.clear();
    ASSERT_EQ(decodePacket(design(0, 2, fixture::fullRecords(kThreePieces)).bytes(), out), DesignRefusal::Accepted);
    EXPECT_EQ(out.size(), 2u);
}

TEST(HouseDesignPacket, AnEmptyDesignHoldsNothingAndAnUnknownCompressionIsRefused)
{
    std::vector<DesignRecord> out = { { 9, 0, 0, 0, 0 } };
    ASSERT_EQ(decodePacket(design(2, 40, "").bytes(), out), DesignRefusal::Accepted);
    EXPECT_TRUE(out.empty());
    out = { { 9, 0, 0, 0, 0 } };
    EXPECT_EQ(decodePacket(design(4, 0, "").bytes(), out), DesignRefusal::UnknownCompression);
    EXPECT_EQ(out.size(), 1u) << "a refusal leaves the caller's records alone";
}

TEST(HouseDesignPacket, PlaneRecordsTakeTheirLevelsHeight)
{
    std::string data = std::string(1, char(2)) + fixture::plane(1, 6, fixture::planeRecords({ { 0x0070, 1, 2 } }))
        + fixture::plane(0, 3, fixture::fullRecords({ { 0x0071, -1, -1, 50 } }));
    std::vector<DesignRecord> out;
    ASSERT_EQ(decodePacket(design(3, 2, data).bytes(), out), DesignRefusal::Accepted);
    std::vector<DesignRecord> expected = { { 0x0070, 0, 1, 2, 27 }, { 0x0071, 0, -1, -1, 50 } };
    EXPECT_EQ(out, expected);
}

TEST(HouseDesignPacket, RastersRunDownColumnsAndTheGroundLevelCoversTheFrontRow)
{
    // Level 0: x -3..3, y -3..3 (the front row included): seven values a column.
    std::vector<uint16_t> ground(7, 0);
    ground[6] = 0x0080; // the front row of the first column
    ground.push_back(0x0081); // the top of the second column
    std::vector<DesignRecord> out;
    std::string data = std::string(1, char(1)) + fixture::plane(2, 0, fixture::rasterValues(ground));
    ASSERT_EQ(decodePacket(design(3, 2, data).bytes(), out), DesignRefusal::Accepted);
    std::vector<DesignRecord> expected = { { 0x0080, 0, -3, 3, 0 }, { 0x0081, 0, -2, -3, 0 } };
    EXPECT_EQ(out, expected);

    // Level 2 skips the first column and row: x -2..3, y -2..2, five a column.
    std::vector<uint16_t> upper(5, 0);
    upper[0] = 0x0090;
    upper.push_back(0);
    upper.push_back(0x0091);
    out.clear();
    data = std::string(1, char(1)) + fixture::plane(2, 2, fixture::rasterValues(upper));
    ASSERT_EQ(decodePacket(design(3, 2, data).bytes(), out), DesignRefusal::Accepted);
    expected = { { 0x0090, 0, -2, -2, 27 }, { 0x0091, 0, -1, -1, 27 } };
    EXPECT_EQ(out, expected);
}

struct BadDesignCase {
    const char* name;
    DesignPacket packet;
    DesignRefusal refusal;
    bool withArea = true;
};

std::string planes(std::initializer_list<std::string> list)
{
    std::string data(1, char(list.size()));
    for (const std::string& one : list)
        data += one;
    return data;
}

std::vector<BadDesignCase> badDesignCases()
{
    std::string three = fixture::fullRecords(kThreePieces);
    std::vector<BadDesignCase> cases;
    cases.push_back({ "RawCountBeyondTheRecords", design(0, 4, three), DesignRefusal::RecordsMissing });
    cases.push_back({ "RawCountAtItsLargest", design(0, 0xFFFF, three), DesignRefusal::RecordsMissing });
    cases.push_back(
        { "ZlibInflatesToMoreThanDeclared", design(1, 2, fixture::zlibRecords(three, 10)), DesignRefusal::InflateFailed });
    cases.push_back(
        { "ZlibInflatesToLessThanDeclared", design(1, 3, fixture::zlibRecords(three, 20)), DesignRefusal::InflateFailed });
    cases.push_back({ "ZlibCountBeyondTheInflatedRecords", design(1, 4, fixture::zlibRecords(three)),
        DesignRefusal::RecordsMissing });
    cases.push_back({ "ZlibStreamBroken", design(1, 3, fixture::zlibRecords(three).replace(6, 4, "wxyz")),
        DesignRefusal::InflateFailed });
    cases.push_back({ "ZlibPackedLengthBeyondTheData", design(1, 3, fixture::zlibRecords(three).substr(0, 12)),
        DesignRefusal::CutShort });
    cases.push_back({ "PlaneInflatesToLess",
        design(3, 3, planes({ fixture::plane(0, 1, three, int(three.size()) + 5) })), DesignRefusal::InflateFailed });
    cases.push_back({ "PlaneInflatesToMore",
        design(3, 3, planes({ fixture::plane(0, 1, three, int(three.size()) - 5) })), DesignRefusal::InflateFailed });
    cases.push_back({ "PlaneRecordsBeyondTheCount", design(3, 2, planes({ fixture::plane(0, 1, three) })),
        DesignRefusal::TooManyComponents });
    cases.push_back({ "PlanesTogetherBeyondTheCount",
        design(3, 4, planes({ fixture::plane(0, 1, three), fixture::plane(1, 2, fixture::planeRecords(kThreePieces)) })),
        DesignRefusal::TooManyComponents });
    cases.push_back({ "PlaneWithAPartRecord", design(3, 3, planes({ fixture::plane(1, 1, three) })),
        DesignRefusal::BadPlaneLength });
    cases.push_back({ "RasterOfOddLength", design(3, 3, planes({ fixture::plane(2, 1, "abc") })),
        DesignRefusal::BadPlaneLength });
    // Level 1 covers 6 columns of 5 rows: 31 values run past the house.
    cases.push_back({ "RasterPastTheHouse",
        design(3, 60, planes({ fixture::plane(2, 1, fixture::rasterValues(std::vector<uint16_t>(31, 5))) })),
        DesignRefusal::OutsideHouse });
    cases.push_back({ "RasterBeyondTheCount",
        design(3, 29, planes({ fixture::plane(2, 1, fixture::rasterValues(std::vector<uint16_t>(30, 5))) })),
        DesignRefusal::TooManyComponents });
    cases.push_back({ "RasterWithoutTheHousesRecords",
        design(3, 3, planes({ fixture::plane(2, 1, fixture::rasterValues({ 5 })) })), DesignRefusal::NoRasterArea,
        false });
    cases.push_back({ "MorePlanesThanSent", design(3, 3, planes({ fixture::plane(0, 1, three) }).replace(0, 1, "\x05")),
        DesignRefusal::CutShort });
    cases.push_back({ "PlanesWithoutTheirCount", design(3, 3, ""), DesignRefusal::CutShort });
    DesignPacket longer = design(0, 3, three);
    longer.declaredLength = int32_t(three.size()) + 1;
    cases.push_back({ "DataLengthBeyondThePacket", longer, DesignRefusal::CutShort });
    return cases;
}

class BadHouseDesign : public testing::TestWithParam<BadDesignCase> { };

TEST_P(BadHouseDesign, IsRefusedWhole)
{
    const BadDesignCase& bad = GetParam();
    std::vector<DesignRecord> out = { { 9, 0, 1, 1, 1 } };
    EXPECT_EQ(decodePacket(bad.packet.bytes(), out, bad.withArea ? &kArea : nullptr), bad.refusal);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].graphic, 9) << "nothing of a refused design is kept";
}

INSTANTIATE_TEST_SUITE_P(Cases, BadHouseDesign, testing::ValuesIn(badDesignCases()),
    [](const testing::TestParamInfo<BadDesignCase>& param) { return std::string(param.param.name); });

class CutHouseDesign : public testing::TestWithParam<int> { };

TEST_P(CutHouseDesign, IsRefusedAtEveryByte)
{
    std::string three = fixture::fullRecords(kThreePieces);
    std::vector<DesignPacket> packets = { design(0, 3, three), design(1, 3, fixture::zlibRecords(three)),
        design(2, 0, ""), design(3, 3, planes({ fixture::plane(1, 2, fixture::planeRecords(kThreePieces)) })) };
    std::vector<uint8_t> whole = packets[size_t(GetParam())].bytes();
    for (size_t cut = 3; cut < whole.size(); ++cut) {
        // The server sends the short packet with a length word that matches it.
        std::vector<uint8_t> packet(whole.begin(), whole.begin() + long(cut));
        packet[1] = uint8_t(cut >> 8);
        packet[2] = uint8_t(cut & 0xFF);
        std::vector<DesignRecord> out;
        EXPECT_NE(decodePacket(packet, out), DesignRefusal::Accepted) << "cut at " << cut;
        EXPECT_TRUE(out.empty());
    }
    std::vector<DesignRecord> out;
    EXPECT_EQ(decodePacket(whole, out), DesignRefusal::Accepted);
}

INSTANTIATE_TEST_SUITE_P(Compressions, CutHouseDesign, testing::Range(0, 4),
    [](const testing::TestParamInfo<int>& param) { return "Compression" + std::to_string(param.param); });

TEST(HouseDesignCommand, CarriesThePlayerTheSubCommandAndNumberArguments)
{
    PacketStorage<64> buffer;
    ASSERT_TRUE(housing::buildDesignCommand(
        buffer, 0x00000AA1, housing::DesignCommand::EraseComponent, { 0x0064, uint32_t(-2), 3, 7 }));
    std::vector<uint8_t> bytes(buffer.data(), buffer.data() + buffer.length());
    std::vector<uint8_t> expected = { 0xD7, 0, 30, 0, 0, 0x0A, 0xA1, 0, 5, 0, 0, 0, 0, 0x64, 0, 0xFF, 0xFF, 0xFF, 0xFE,
        0, 0, 0, 0, 3, 0, 0, 0, 0, 7, 0x0A };
    EXPECT_EQ(bytes, expected);
    ASSERT_TRUE(housing::buildDesignCommand(buffer, 0x00000AA1, housing::DesignCommand::Commit, {}));
    EXPECT_EQ(buffer.length(), 10u);
}

} // namespace
