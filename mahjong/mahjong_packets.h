#pragma once
// Packet 0xDA, both ways: the server's table messages read into the open
// table model, and the model's requests built for the server. Main thread only.

#include "mahjong/mahjong_table.h"

#include <cstdint>

class PacketBuffer;

namespace mahjong {

inline constexpr uint8_t kMahjongPacketId = 0xDA;
// Id, length word, table serial, sub-command and the longest payload (the
// 15 bytes of a tile move).
inline constexpr size_t kMaxMahjongRequestLength = 24;

// The open board as the packet handler sees it; the board window layer
// implements it. At most one board (and model) is open at a time.
class MahjongBoardControl {
public:
    virtual ~MahjongBoardControl() = default;
    // The open board's model, or null.
    virtual MahjongTable* openTable() = 0;
    // Opens a board for the table; nothing when one is open.
    virtual void openBoard(uint32_t tableSerial) = 0;
    // The server closed the board: the model goes first, so nothing is sent.
    virtual void closeBoard() = 0;
    // The board is destroyed with its model still in it, which tells the
    // server the player left (request 6) before the model goes.
    virtual void destroyBoard() = 0;
};

// The board window layer installs its board control at start-up; until it
// exists the do-nothing default answers that no board is open, so every
// table packet is dropped.
MahjongBoardControl& mahjongBoards();
MahjongBoardControl* installMahjongBoards(MahjongBoardControl* boards);
MahjongBoardControl* doNothingMahjongBoards();
// Registers the 0xDA handler (over mahjongBoards()) with the dispatcher.
void registerMahjongHandler();

// Handles one whole 0xDA packet (its length word already checked against the
// bytes by the framing). Packets for another table, or while no board is
// open, are dropped; so is any record cut short by the end of the packet.
void handleMahjong(MahjongBoardControl& boards, const uint8_t* packet);

// Builds one request for the table; false when the sub-command is not a
// request or the buffer is too small.
bool buildMahjongRequest(PacketBuffer& buffer, uint32_t tableSerial, const MahjongRequest& request);
// Builds and queues a request on the game connection; false when it was not queued.
bool sendMahjongRequest(uint32_t tableSerial, const MahjongRequest& request);

} // namespace mahjong
