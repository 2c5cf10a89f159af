#pragma once
// What the mahjong board borrows from the game windows: the borderless journal
// log it places on itself and the amount chooser of a score transfer. The game
// windows install it at start-up (windows/board_parts_windows.cpp); until then
// the board goes without them. Main thread only.

#include "core/installed_service.h"

#include <cstdint>

class CGump;

class MahjongBoardParts {
public:
    virtual ~MahjongBoardParts() = default;
    // The journal log as a child of `board`; null when none could be made.
    virtual CGump* openTextLog(CGump& /*board*/) { return nullptr; }
    // A top-level amount chooser at (x, y) for 0 to `maximum`; its OK and
    // Enter close it and then call `chosen` with the amount. Null when none
    // could be made.
    using AmountChosen = void (*)(int32_t amount);
    virtual CGump* openAmountChooser(int32_t /*x*/, int32_t /*y*/, int32_t /*maximum*/, AmountChosen /*chosen*/)
    {
        return nullptr;
    }
};

template <>
struct ServiceFallback<MahjongBoardParts> {
    using Type = MahjongBoardParts;
};
