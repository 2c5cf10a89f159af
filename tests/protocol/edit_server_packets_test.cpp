#include "data/data_files.h"
#include "fixtures/data_file_writer.h"
#include "fixtures/server_packet.h"
#include "platform/message_box.h"
#include "protocol/edit_server_packets.h"
#include "protocol_test_state.h"
#include "world/terrain_check.h"
#include "world/tile_data.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Bytes = std::vector<uint8_t>;
using fixture::ServerPacket;

class RecordingArtListener final : public ArtRecordListener {
public:
    void landArtChanged(uint16_t id) override { changes.push_back("land " + std::to_string(id)); }
    void staticArtChanged(uint16_t graphic) override { changes.push_back("static " + std::to_string(graphic)); }
    std::vector<std::string> changes;
};

// A client directory whose multi and skills files hold two 12-byte records
// each, the data-file table loaded from it, and the tile data kept aside.
class EditServer : public testing::Test {
protected:
    EditServer()
        : m_savedTiles(std::make_unique<TileData>(tileData()))
    {
        const test::TempDir& root = state.directory.root();
        fixture::writeRequiredDataFiles(root, "client", { "multi.idx", "multi.mul", "skills.idx", "skills.mul" });
        fixture::writeIndexedPair(
            root, "client", "multi.idx", "multi.mul", { { std::string(12, 'a'), 1 }, { std::string(12, 'b'), 2 } });
        fixture::writeIndexedPair(
            root, "client", "skills.idx", "skills.mul", { { std::string(12, 'c'), 3 }, { std::string(12, 'd'), 4 } });
        platform::ScopedMessageBoxSink sink(m_boxes);
        m_files.reset();
        m_files.load();
        m_previousFiles = installDataFiles(&m_files);
        m_files.setArtRecordListener(&artListener);
        setEditServerMode(true);
    }
    ~EditServer() override
    {
        setEditServerMode(false);
        m_files.setArtRecordListener(nullptr);
        installDataFiles(m_previousFiles);
        tileData() = *m_savedTiles;
        setTerrainBlockCheck(false);
    }

    std::string record(int index, int data, int32_t n)
    {
        int32_t length = 0;
        uint32_t extra = 0;
        const uint8_t* bytes = m_files.lookupIndexedRecord(index, data, n, length, extra);
        if (!bytes)
            return "none";
        return std::string(reinterpret_cast<const char*>(bytes), size_t(length)) + "/" + std::to_string(extra);
    }

    test::ProtocolTestState state;
    RecordingArtListener artListener;

private:
    std::unique_ptr<TileData> m_savedTiles;
    platform::RecordingMessageBoxSink m_boxes;
    DataFiles m_files;
    DataFiles* m_previousFiles { nullptr };
};

Bytes multiPatch(uint32_t id, uint32_t extra)
{
    return ServerPacket(0x92)
        .u32(id)
        .u32(extra)
        .u16(0x0102)
        .u16(0x0304)
        .u16(0x0506)
        .u16(0x0708)
        .u32(0x090A0B0C)
        .u16(0x1112)
        .u16(0x1314)
        .u16(0x1516)
        .u16(0x1718)
        .u32(0x191A1B1C)
        .fill(5, 0xEE) // not a whole record: left out
        .bytes();
}

TEST_F(EditServer, MultiPatchLargerThanTheRecordIsAppendedInFileByteOrder)
{
    handleMultiPatch(multiPatch(1, 42).data());
    std::string expected = "\x02\x01\x04\x03\x06\x05\x08\x07\x0C\x0B\x0A\x09"
                           "\x12\x11\x14\x13\x16\x15\x18\x17\x1C\x1B\x1A\x19";
    EXPECT_EQ(record(kMultiIndexFile, kMultiDataFile, 1), expected + "/42");
    EXPECT_EQ(record(kMultiIndexFile, kMultiDataFile, 0), std::string(12, 'a') + "/1");
    EXPECT_EQ(state.directory.read("multi.mul").size(), 24u + 24u);
}

TEST_F(EditServer, SkillPatchThatFitsIsWrittenInPlace)
{
    handleSkillsPatch(ServerPacket(0x94).u8(1).u32(9).text("new skill", 9).bytes().data());
    EXPECT_EQ(record(kSkillsIndexFile, kSkillsDataFile, 1), "new skill/9");
    EXPECT_EQ(state.directory.read("skills.mul").size(), 24u);
}

TEST_F(EditServer, ArtPatchWithTheDeleteFlagEmptiesTheRecordAndRedrawsItsObjects)
{
    handleArtPatch(ServerPacket(0x42).u32(0x4001).u32(5).u32(0xFFFFFFFF).bytes().data());
    EXPECT_EQ(record(kArtIndexFile, kArtFile, 0x4001), "none");
    EXPECT_EQ(artListener.changes, (std::vector<std::string> { "static 1" }));
}

Bytes tileGroupPatch(uint32_t tileNumber, size_t groupBytes, uint8_t flagByte)
{
    ServerPacket packet(0x41);
    packet.u32(tileNumber).u32(0xABCD0000);
    size_t recordBytes = (groupBytes - 4) / 32;
    for (int i = 0; i < 32; ++i) {
        packet.u32(uint32_t(flagByte) << 24 | uint32_t(i));
        packet.fill(recordBytes - 4 - 20, uint8_t(i));
        packet.text("tile " + std::to_string(i), 20);
    }
    return packet.bytes();
}

TEST_F(EditServer, TileNumber511UsesTheLandLayout)
{
    handleTileDataPatch(tileGroupPatch(511, TileData::kLandGroupBytes, 0x40).data());
    const TileDataLand& land = tileData().land(511 * 32 + 3);
    EXPECT_EQ(land.flags, 0x40000003u);
    EXPECT_EQ(land.textureId, 0x0303);
    EXPECT_EQ(tileNameText(land.name), "tile 3");
}

TEST_F(EditServer, TileNumber512UsesTheItemLayout)
{
    handleTileDataPatch(tileGroupPatch(512, TileData::kItemGroupBytes, 0x10).data());
    const TileDataItem& item = tileData().item(5);
    EXPECT_EQ(item.flags, 0x10000005u);
    EXPECT_EQ(item.weight, 5);
    EXPECT_EQ(item.animationId, 0x0505);
    EXPECT_EQ(item.height, 5);
    EXPECT_EQ(tileNameText(item.name), "tile 5");
}

TEST_F(EditServer, ShortTileDataPatchChangesNothing)
{
    Bytes patch = tileGroupPatch(512, TileData::kItemGroupBytes, 0x10);
    patch.pop_back();
    patch[1] = uint8_t(patch.size() >> 8);
    patch[2] = uint8_t(patch.size());
    TileDataItem before = tileData().item(5);
    handleTileDataPatch(patch.data());
    EXPECT_EQ(tileData().item(5).flags, before.flags);
}

TEST_F(EditServer, OutsideEditServerModeNothingChanges)
{
    setEditServerMode(false);
    std::string multi = state.directory.read("multi.mul");
    std::string skills = state.directory.read("skills.idx");
    TileDataItem before = tileData().item(5);
    handleMultiPatch(multiPatch(1, 42).data());
    handleSkillsPatch(ServerPacket(0x94).u8(1).u32(9).text("new skill", 9).bytes().data());
    handleArtPatch(ServerPacket(0x42).u32(0x4001).u32(5).u32(0xFFFFFFFF).bytes().data());
    handleTileDataPatch(tileGroupPatch(512, TileData::kItemGroupBytes, 0x10).data());
    EXPECT_EQ(state.directory.read("multi.mul"), multi);
    EXPECT_EQ(state.directory.read("skills.idx"), skills);
    EXPECT_TRUE(artListener.changes.empty());
    EXPECT_EQ(tileData().item(5).flags, before.flags);
}

TEST_F(EditServer, StaticsPatchWithAWildCountStopsAtThePacketsEnd)
{
    // Reading four billion entries would not end; the packet holds two.
    handleStaticsPatch(ServerPacket(0x3F).u32(1).u32(0xFFFFFFFF).u32(0).fill(14, 1).bytes().data());
    SUCCEED();
}

TEST_F(EditServer, TerrainCheckPacketTurnsTheCheckOn)
{
    EXPECT_FALSE(terrainBlockCheck());
    handleTerrainCheckOn(ServerPacket(0xC6, ServerPacket::Length::Fixed).bytes().data());
    EXPECT_TRUE(terrainBlockCheck());
}

} // namespace
