// The house designer's share of the stage: the player owns the sample house
// and stands on its porch. On entering its revision is announced and its
// design sent when the client asks for it. Saying "design" starts design
// mode; the stage then keeps a working design that every edit the client
// sends changes (place, erase, floors, backup, restore, clear), answers
// synch and revert with the design, and on commit keeps the working design
// as the house's, raises the revision and ends design mode.
#include "support/stage_house.h"

#include "fixtures/sample_house.h"
#include "fixtures/server_packet.h"
#include "fixtures/zlib_payload.h"
#include "support/stage_world.h"

#include <algorithm>
#include <mutex>

namespace test {

namespace {

using fixture::ServerPacket;

constexpr uint16_t kHouseRevisionCommand = 0x1D;
constexpr uint16_t kHouseRequestCommand = 0x1E;
constexpr uint16_t kHouseModeCommand = 0x20;
constexpr uint8_t kBeginDesign = 4;
constexpr uint8_t kEndDesign = 5;
// The house stands south of the scene's centre, the player on its porch.
constexpr int32_t kHouseOffsetY = 4;

struct HousePiece {
    uint16_t id;
    int8_t x;
    int8_t y;
    int8_t z;
    bool operator==(const HousePiece&) const = default;
};
using HouseDesign = std::vector<HousePiece>;

uint32_t houseBe32(const WirePacket& packet, size_t at)
{
    return uint32_t(packet[at]) << 24 | uint32_t(packet[at + 1]) << 16 | uint32_t(packet[at + 2]) << 8 | packet[at + 3];
}

uint16_t houseBe16(const WirePacket& packet, size_t at) { return uint16_t(packet[at] << 8 | packet[at + 1]); }

std::mutex& logLock()
{
    static std::mutex lock;
    return lock;
}

std::vector<uint16_t>& commandLog()
{
    static std::vector<uint16_t> log;
    return log;
}

class StageHouse final : public StagePart {
public:
    void populate(StageWorld&) override
    {
        m_committed.clear();
        // The first design is the multi's own pieces without its sign.
        for (const fixture::SampleHousePiece& piece : fixture::sampleHouseMultiRecords())
            if (piece.graphic != fixture::sampleHouseMultiRecords().front().graphic)
                m_committed.push_back({ piece.graphic, int8_t(piece.x), int8_t(piece.y), int8_t(piece.z) });
        m_working = m_committed;
        m_backup = m_committed;
        m_revision = 1;
        m_designing = false;
        m_floor = 0;
        std::lock_guard<std::mutex> guard(logLock());
        commandLog().clear();
    }

    void enter(StageWorld& stage, std::vector<WirePacket>& out) override
    {
        int32_t x = 0;
        int32_t y = 0;
        stage.cellOf(stage.playerSerial(), x, y);
        out.push_back(worldItemPacket(kStageHouseSerial, uint16_t(0x4000 + fixture::kSampleHouseMulti), 1, uint16_t(x),
            uint16_t(y + kHouseOffsetY), 0, 0));
        out.push_back(revisionPacket());
    }

    bool answer(StageWorld&, const WirePacket& packet, std::vector<WirePacket>& out) override
    {
        switch (packet[0]) {
        case 0xBF:
            if (packet.size() >= 9 && houseBe16(packet, 3) == kHouseRequestCommand
                && houseBe32(packet, 5) == kStageHouseSerial) {
                out.push_back(designPacket(m_designing ? m_working : m_committed, false));
                return true;
            }
            return false;
        case 0x03:
        case 0xAD:
            if (!m_designing && spokenText(packet).find(u"design") != std::u16string::npos) {
                m_designing = true;
                m_working = m_committed;
                out.push_back(modePacket(kBeginDesign));
                out.push_back(designPacket(m_working, true));
            }
            return false;
        case 0xD7:
            return command(packet, out);
        default:
            return false;
        }
    }

private:
    WirePacket revisionPacket() const
    {
        return generalInfoPacket(kHouseRevisionCommand,
            { uint8_t(kStageHouseSerial >> 24), uint8_t(kStageHouseSerial >> 16), uint8_t(kStageHouseSerial >> 8),
                uint8_t(kStageHouseSerial), 0, 0, 0, uint8_t(m_revision) });
    }

    static WirePacket modePacket(uint8_t action)
    {
        return generalInfoPacket(kHouseModeCommand,
            { uint8_t(kStageHouseSerial >> 24), uint8_t(kStageHouseSerial >> 16), uint8_t(kStageHouseSerial >> 8),
                uint8_t(kStageHouseSerial), action, 0, 0, 0, 0, 0, 0, 0 });
    }

    // The design as one zlib block of five-byte records.
    WirePacket designPacket(const HouseDesign& design, bool acknowledge) const
    {
        std::string plain;
        for (const HousePiece& piece : design) {
            plain += char(piece.id >> 8);
            plain += char(piece.id & 0xFF);
            plain += char(piece.x);
            plain += char(piece.y);
            plain += char(piece.z);
        }
        std::vector<uint8_t> packed = fixture::zlibCompressed(plain);
        auto length = uint16_t(4 + packed.size());
        return ServerPacket(0xD8)
            .u8(1)
            .u8(acknowledge ? 1 : 0)
            .u32(kStageHouseSerial)
            .u32(m_revision)
            .u16(uint16_t(design.size()))
            .u16(length)
            .u16(uint16_t(plain.size()))
            .u16(uint16_t(packed.size()))
            .bytes(packed)
            .bytes();
    }

    // The number arguments of a design command, each a type byte 0 and a word.
    static std::vector<int32_t> arguments(const WirePacket& packet)
    {
        std::vector<int32_t> values;
        for (size_t at = 9; at + 5 <= packet.size() && packet[at] == 0; at += 5)
            values.push_back(int32_t(houseBe32(packet, at + 1)));
        return values;
    }

    int8_t floorZ() const { return int8_t(m_floor <= 0 ? 0 : 20 * m_floor - 13); }

    bool command(const WirePacket& packet, std::vector<WirePacket>& out)
    {
        if (packet.size() < 10)
            return false;
        uint16_t sub = houseBe16(packet, 7);
        std::vector<int32_t> args = arguments(packet);
        {
            std::lock_guard<std::mutex> guard(logLock());
            commandLog().push_back(sub);
        }
        if (!m_designing)
            return true;
        auto erase = [this](const HousePiece& piece) { std::erase(m_working, piece); };
        switch (sub) {
        case 2: // backup
            m_backup = m_working;
            break;
        case 3: // restore
            m_working = m_backup;
            out.push_back(designPacket(m_working, true));
            break;
        case 4: // commit
            m_committed = m_working;
            ++m_revision;
            m_designing = false;
            out.push_back(modePacket(kEndDesign));
            out.push_back(revisionPacket());
            break;
        case 5: // erase
        case 20: // erase a roof piece
            if (args.size() >= 4)
                erase({ uint16_t(args[0]), int8_t(args[1]), int8_t(args[2]), int8_t(args[3]) });
            break;
        case 6: // place
            if (args.size() >= 3) {
                HousePiece piece { uint16_t(args[0]), int8_t(args[1]), int8_t(args[2]), floorZ() };
                std::erase_if(m_working, [&](const HousePiece& old) {
                    return old.x == piece.x && old.y == piece.y && old.z == piece.z;
                });
                m_working.push_back(piece);
            }
            break;
        case 19: // place at a height
            if (args.size() >= 4)
                m_working.push_back(
                    { uint16_t(args[0]), int8_t(args[1]), int8_t(args[2]), int8_t(floorZ() + args[3]) });
            break;
        case 12: // the client left design mode: the house shows its kept design
            m_designing = false;
            out.push_back(designPacket(m_committed, false));
            break;
        case 14: // synch
            out.push_back(designPacket(m_working, true));
            break;
        case 16: // clear
            m_working.clear();
            out.push_back(designPacket(m_working, true));
            break;
        case 18: // select floor
            if (!args.empty() && args[0] >= 1 && args[0] <= 4)
                m_floor = args[0];
            break;
        case 26: // revert
            m_working = m_committed;
            out.push_back(designPacket(m_working, true));
            break;
        default:
            break;
        }
        return true;
    }

    HouseDesign m_committed;
    HouseDesign m_working;
    HouseDesign m_backup;
    uint32_t m_revision = 1;
    bool m_designing = false;
    int32_t m_floor = 0;
};

} // namespace

std::vector<uint16_t> stageHouseCommands()
{
    std::lock_guard<std::mutex> guard(logLock());
    return commandLog();
}

std::unique_ptr<StagePart> makeStageHouse() { return std::make_unique<StageHouse>(); }

} // namespace test
