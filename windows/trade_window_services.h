#pragma once
// The windows through which the player answers the server (the amount
// chooser, the shop and bill, the trade window, the pickers, the text query,
// the context menu) as the rest of the program reaches them: the factory's
// shop and amount windows, the world's changes of vendor items and of trade
// partners, the player's gold for the bill, the property lists of the shop's
// rows, and the context menu's entries. Each service passes what is not
// its own on to the one installed before it. The packet handlers of these
// windows (0x74, 0x9E, 0x3B, 0x6F, 0x7C, 0xAB, 0x95, 0xA6) are registered
// with the dispatcher. The program installs them once the game windows'
// services are in place and removes them at shutdown; tests for the life of
// one object. Main thread only.

#include <memory>

class TradeWindowServices {
public:
    TradeWindowServices();
    ~TradeWindowServices();
    TradeWindowServices(const TradeWindowServices&) = delete;
    TradeWindowServices& operator=(const TradeWindowServices&) = delete;

private:
    struct Objects;
    std::unique_ptr<Objects> m_objects;
};

void registerTradeWindowHandlers();

// For the program's run; uninstallTradeWindowServices puts back what was
// installed before.
void installTradeWindowServices();
void uninstallTradeWindowServices();
