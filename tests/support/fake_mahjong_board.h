#pragma once
// A stand-in for the mahjong board window: holds the one table model, records
// the requests it sends (as the bytes that would go out) and counts the change
// notices the model gives.

#include "mahjong/mahjong_packets.h"
#include "mahjong/mahjong_table.h"

#include <memory>
#include <vector>

namespace test {

class FakeMahjongBoard final : public mahjong::MahjongBoardControl, public mahjong::MahjongTableHost {
public:
    // MahjongBoardControl
    mahjong::MahjongTable* openTable() override { return m_table.get(); }
    void openBoard(uint32_t tableSerial) override;
    void closeBoard() override { m_table.reset(); }
    void destroyBoard() override;

    // MahjongTableHost
    uint32_t playerSerial() const override { return m_playerSerial; }
    void sendRequest(uint32_t tableSerial, const mahjong::MahjongRequest& request) override;
    void tileChanged(const mahjong::MahjongTile&) override { ++tileNotices; }
    void dealerChanged() override { ++dealerNotices; }
    void wallBreakChanged() override { ++wallBreakNotices; }
    void refreshBoard() override { ++boardRefreshes; }
    void restack(std::span<const uint8_t> tilesBottomToTop) override;

    void setPlayerSerial(uint32_t serial) { m_playerSerial = serial; }
    mahjong::MahjongTable& table() { return *m_table; }

    // Each request as the packet bytes it builds to.
    std::vector<std::vector<uint8_t>> sent;
    std::vector<uint8_t> lastStackOrder;
    int tileNotices = 0;
    int dealerNotices = 0;
    int wallBreakNotices = 0;
    int boardRefreshes = 0;
    int restacks = 0;

private:
    std::unique_ptr<mahjong::MahjongTable> m_table;
    uint32_t m_playerSerial = 0;
};

} // namespace test
