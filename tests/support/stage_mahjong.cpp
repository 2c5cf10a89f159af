// The mahjong board's share of the stage: the table south-east of the player, and a
// game with three robots. A double click seats the player (kind 1, so the
// whole table is theirs to run) and deals: the player's hand face up in the
// bottom strip, the robots' hands face down in theirs, the wall in the
// centre. Each tile the player moves is confirmed and answered by a robot
// discarding one; a roll throws new dice; score given to a robot is paid and
// the robot gives one point back.
#include "support/stage_mahjong.h"

#include "fixtures/mahjong_server_packets.h"
#include "fixtures/sample_window_art.h"
#include "support/stage_world.h"

#include <array>
#include <mutex>
#include <string>

namespace test {

namespace {

using fixture::MahjongServerPacket;

constexpr uint8_t kMahjongId = 0xDA;
constexpr int kStageTiles = 136;
constexpr int kHandTiles = 13;
constexpr uint8_t kManagerKind = 1;
constexpr uint8_t kRobotKind = 2;
constexpr uint8_t kFaceUp = 0x10;

std::mutex& mahjongLogLock()
{
    static std::mutex lock;
    return lock;
}

std::vector<uint16_t>& mahjongLog()
{
    static std::vector<uint16_t> log;
    return log;
}

uint32_t mahjongBe32(const WirePacket& packet, size_t at)
{
    return uint32_t(packet[at]) << 24 | uint32_t(packet[at + 1]) << 16 | uint32_t(packet[at + 2]) << 8 | packet[at + 3];
}

uint16_t mahjongBe16(const WirePacket& packet, size_t at) { return uint16_t(packet[at] << 8 | packet[at + 1]); }

struct StageTile {
    uint8_t face = 0;
    uint16_t x = 0;
    uint16_t y = 0;
    uint8_t height = 0;
    uint8_t direction = 1;
    uint8_t flags = 0;
};

class StageMahjong final : public StagePart {
public:
    void populate(StageWorld&) override
    {
        m_seated = false;
        std::lock_guard<std::mutex> guard(mahjongLogLock());
        mahjongLog().clear();
    }

    void enter(StageWorld& stage, std::vector<WirePacket>& out) override
    {
        int32_t x = 0;
        int32_t y = 0;
        stage.cellOf(stage.playerSerial(), x, y);
        out.push_back(worldItemPacket(kStageMahjongTable, fixture::kSampleShelfGraphic, 1,
            uint16_t(x + kStageMahjongDx), uint16_t(y + kStageMahjongDy), 0, 0));
    }

    bool answer(StageWorld& stage, const WirePacket& packet, std::vector<WirePacket>& out) override
    {
        if (packet[0] == 0x06)
            return packet.size() >= 5 && (mahjongBe32(packet, 1) & 0x7FFFFFFF) == kStageMahjongTable
                && seat(stage, out);
        if (packet[0] != kMahjongId || packet.size() < 9 || mahjongBe32(packet, 3) != kStageMahjongTable)
            return false;
        const uint16_t subcommand = mahjongBe16(packet, 7);
        {
            std::lock_guard<std::mutex> guard(mahjongLogLock());
            mahjongLog().push_back(subcommand);
        }
        if (m_seated)
            request(stage, subcommand, packet, out);
        return true;
    }

private:
    bool seat(StageWorld& stage, std::vector<WirePacket>& out)
    {
        m_seated = true;
        m_player = stage.playerSerial();
        m_playerName = stage.playerName();
        m_scores = { kStageMahjongStartScore, kStageMahjongStartScore, kStageMahjongStartScore,
            kStageMahjongStartScore };
        m_dice = { 1, 1 };
        m_options = 1;
        m_rolls = 0;
        m_discards = 0;
        deal();
        out.push_back(MahjongServerPacket(kStageMahjongTable, 25).bytes());
        MahjongServerPacket seats(kStageMahjongTable, 2);
        seats.u16(4);
        for (uint8_t seat = 0; seat < 4; ++seat)
            appendSeat(seats, seat);
        out.push_back(seats.bytes());
        // The tiles in packets of 34, as a server splits a long list.
        for (int first = 0; first < kStageTiles; first += 34) {
            MahjongServerPacket tiles(kStageMahjongTable, 4);
            tiles.u16(34);
            for (int number = first; number < first + 34; ++number)
                appendTile(tiles, number);
            out.push_back(tiles.bytes());
        }
        out.push_back(statePacket());
        return true;
    }

    // The player's hand face up along the bottom, each robot's face down
    // along its side, and the wall as two-high stacks in the centre.
    void deal()
    {
        int number = 0;
        for (int i = 0; i < kHandTiles; ++i, ++number)
            m_tiles[size_t(number)] = { uint8_t(1 + i), uint16_t(195 + 20 * i), 636, 0, 1, kFaceUp };
        for (int i = 0; i < kHandTiles; ++i, ++number)
            m_tiles[size_t(number)] = { uint8_t(1 + i), 2, uint16_t(195 + 20 * i), 0, 0, 0 };
        for (int i = 0; i < kHandTiles; ++i, ++number)
            m_tiles[size_t(number)] = { uint8_t(1 + i), uint16_t(195 + 20 * i), 2, 0, 3, 0 };
        for (int i = 0; i < kHandTiles; ++i, ++number)
            m_tiles[size_t(number)] = { uint8_t(1 + i), 637, uint16_t(195 + 20 * i), 0, 2, 0 };
        for (int stack = 0; number < kStageTiles; ++stack) {
            for (uint8_t level = 0; level < 2 && number < kStageTiles; ++level, ++number) {
                m_tiles[size_t(number)] = { uint8_t(1 + number % 34), uint16_t(195 + 20 * (stack % 14)),
                    uint16_t(250 + 40 * (stack / 14)), level, 1, 0 };
            }
        }
    }

    void appendSeat(MahjongServerPacket& packet, uint8_t seat) const
    {
        if (seat == kStageMahjongPlayerSeat) {
            packet.seat(m_player, kManagerKind, seat, m_scores[seat], 0, m_playerName, 0);
            return;
        }
        packet.seat(kStageMahjongRobot + seat, kRobotKind, seat, m_scores[seat], 0, "Robot " + std::to_string(seat), 1);
    }

    void appendTile(MahjongServerPacket& packet, int number) const
    {
        const StageTile& tile = m_tiles[size_t(number)];
        packet.tile(uint8_t(number), tile.face, tile.x, tile.y, tile.height, tile.direction, tile.flags);
    }

    WirePacket statePacket() const
    {
        MahjongServerPacket state(kStageMahjongTable, 5);
        state.u32(m_options).u8(m_dice[0]).u8(m_dice[1]).u8(m_rolls % 4);
        state.u16(m_dealerX).u16(m_dealerY).u8(m_dealerDirection).u16(m_wallX).u16(m_wallY);
        return state.bytes();
    }

    WirePacket seatPacket(uint8_t seat) const
    {
        MahjongServerPacket packet(kStageMahjongTable, 1);
        appendSeat(packet, seat);
        return packet.bytes();
    }

    void request(StageWorld&, uint16_t subcommand, const WirePacket& packet, std::vector<WirePacket>& out)
    {
        switch (subcommand) {
        case 6:
            m_seated = false;
            break;
        case 10:
            if (packet.size() >= 14 && packet[9] < 4 && packet[9] != kStageMahjongPlayerSeat) {
                // Paid, and the robot gives one point back.
                const int32_t amount = int32_t(mahjongBe32(packet, 10));
                m_scores[kStageMahjongPlayerSeat] -= amount - 1;
                m_scores[packet[9]] += amount - 1;
                out.push_back(seatPacket(kStageMahjongPlayerSeat));
                out.push_back(seatPacket(packet[9]));
            }
            break;
        case 11:
            ++m_rolls;
            m_dice = { uint8_t(1 + (m_rolls * 5) % 6), uint8_t(1 + (m_rolls * 3 + 2) % 6) };
            out.push_back(statePacket());
            break;
        case 17:
            if (packet.size() >= 13)
                m_options = mahjongBe32(packet, 9) & 0xFF;
            out.push_back(statePacket());
            break;
        case 21:
            if (packet.size() >= 13) {
                m_wallX = mahjongBe16(packet, 9);
                m_wallY = mahjongBe16(packet, 11);
            }
            out.push_back(statePacket());
            break;
        case 23:
            if (packet.size() >= 24 && packet[9] < kStageTiles)
                moveTile(packet, out);
            break;
        case 24:
            if (packet.size() >= 15) {
                m_dealerDirection = packet[9];
                m_dealerX = mahjongBe16(packet, 11);
                m_dealerY = mahjongBe16(packet, 13);
            }
            out.push_back(statePacket());
            break;
        default:
            break;
        }
    }

    // The move is confirmed, then the robot on the right discards a tile
    // face up into the centre.
    void moveTile(const WirePacket& packet, std::vector<WirePacket>& out)
    {
        StageTile& moved = m_tiles[size_t(packet[9])];
        moved.direction = packet[11];
        moved.flags = packet[13] ? kFaceUp : 0;
        moved.x = mahjongBe16(packet, 19);
        moved.y = mahjongBe16(packet, 21);
        moved.height = packet[23];
        MahjongServerPacket confirm(kStageMahjongTable, 3);
        appendTile(confirm, packet[9]);
        out.push_back(confirm.bytes());
        if (m_discards >= kHandTiles)
            return;
        const int robotTile = 3 * kHandTiles + m_discards;
        m_tiles[size_t(robotTile)] = { uint8_t(1 + m_discards), uint16_t(195 + 20 * (m_discards % 14)), 400, 0, 1,
            kFaceUp };
        ++m_discards;
        MahjongServerPacket discard(kStageMahjongTable, 3);
        appendTile(discard, robotTile);
        out.push_back(discard.bytes());
    }

    bool m_seated = false;
    uint32_t m_player = 0;
    std::string m_playerName;
    std::array<int32_t, 4> m_scores {};
    std::array<uint8_t, 2> m_dice {};
    std::array<StageTile, kStageTiles> m_tiles {};
    uint32_t m_options = 0;
    int m_rolls = 0;
    int m_discards = 0;
    uint16_t m_dealerX = 560;
    uint16_t m_dealerY = 560;
    uint8_t m_dealerDirection = 1;
    uint16_t m_wallX = 520;
    uint16_t m_wallY = 190;
};

} // namespace

std::unique_ptr<StagePart> makeStageMahjong() { return std::make_unique<StageMahjong>(); }

std::vector<uint16_t> stageMahjongRequests()
{
    std::lock_guard<std::mutex> guard(mahjongLogLock());
    return mahjongLog();
}

} // namespace test
