#include "support/fake_mahjong_board.h"

#include "net/packet_table.h"

namespace test {

void FakeMahjongBoard::openBoard(uint32_t tableSerial)
{
    if (!m_table)
        m_table = std::make_unique<mahjong::MahjongTable>(tableSerial, *this);
}

void FakeMahjongBoard::destroyBoard()
{
    if (m_table)
        m_table->sendBoardClosed();
    m_table.reset();
}

void FakeMahjongBoard::sendRequest(uint32_t tableSerial, const mahjong::MahjongRequest& request)
{
    PacketStorage<64> buffer;
    if (!mahjong::buildMahjongRequest(buffer, tableSerial, request)) {
        sent.push_back({});
        return;
    }
    sent.emplace_back(buffer.data(), buffer.data() + buffer.length());
}

void FakeMahjongBoard::restack(std::span<const uint8_t> tilesBottomToTop)
{
    ++restacks;
    lastStackOrder.assign(tilesBottomToTop.begin(), tilesBottomToTop.end());
}

} // namespace test
