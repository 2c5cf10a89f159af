#pragma once
// The vendor's packets: the buy list (0x74) prices and names the items of a
// vendor's sale container, the sell list (0x9E) opens the sell window, and
// the answer to a purchase (0x3B) refreshes or closes the vendor's shop
// windows. Each packet is read whole before anything changes. Main thread
// only.

#include <cstdint>

void handleBuyList(const uint8_t* packet);
void handleSellList(const uint8_t* packet);
void handleBuyResult(const uint8_t* packet);

