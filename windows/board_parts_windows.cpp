#include "windows/board_parts_windows.h"

#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/mahjong_board_parts.h"
#include "windows/amount_chooser.h"
#include "windows/text_log_gump.h"

namespace {

// The chooser of a score transfer: no item, 0 to the player's score, and OK
// hands the amount to the board.
class ScoreAmountChooser final : public StackGump {
public:
    ScoreAmountChooser(int32_t x, int32_t y, int32_t maximum, MahjongBoardParts::AmountChosen chosen)
        : StackGump(x, y, nullptr)
    {
        setMaximum(maximum);
        chosenAction() = chosen;
        setAmountAction(passAmount);
    }

private:
    // The chooser is gone when OK acts, so the board's action waits here;
    // only one chooser takes the pointer at a time.
    static MahjongBoardParts::AmountChosen& chosenAction()
    {
        static MahjongBoardParts::AmountChosen action = nullptr;
        return action;
    }
    static void passAmount(uint32_t, int32_t amount)
    {
        if (MahjongBoardParts::AmountChosen action = chosenAction())
            action(amount);
    }
};

class BoardPartsWindows final : public MahjongBoardParts {
public:
    CGump* openTextLog(CGump& board) override { return new TextGump(board); }
    CGump* openAmountChooser(int32_t x, int32_t y, int32_t maximum, AmountChosen chosen) override
    {
        auto* chooser = new ScoreAmountChooser(x, y, maximum, chosen);
        gumpLink(chooser, nullptr);
        return chooser;
    }
};

BoardPartsWindows g_boardParts;
MahjongBoardParts* g_previousBoardParts = nullptr;

} // namespace

void installBoardPartsWindows() { g_previousBoardParts = installService<MahjongBoardParts>(&g_boardParts); }

void uninstallBoardPartsWindows() { installService<MahjongBoardParts>(g_previousBoardParts); }
