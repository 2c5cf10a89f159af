#pragma once
// The secure trade window ("trade gump"): the player's offer on the left and
// the partner's on the right, each a container window of a trade container
// the server made, with an accept box for each side. The server drives it
// (0x6F: open, close, accept states); the player drops items into his own
// offer, clicks his accept box (the client asks the server and shows only
// what the server answers) and cancels with a right click (the server then
// closes it). Closing destroys both trade containers. The window names its
// partner as its owner; close-all leaves it open. Main thread only.

#include "windows/dialog_window.h"

#include <cstdint>
#include <string>

class ContainerGump;
class Mobile;
class ToggleControl;

class TradeGump final : public DialogWindow {
public:
    static constexpr int32_t kFaceArt = 2150;
    static constexpr int32_t kOfferArt = 82;
    static constexpr int32_t kBoxArt = 2151;
    static constexpr int32_t kBoxHoverArt = 2152;
    static constexpr int32_t kBoxCheckedArt = 2153;
    static constexpr int32_t kBoxCheckedHoverArt = 2154;
    static constexpr size_t kNameLength = 30;

    TradeGump(Mobile& partner, uint32_t myContainer, uint32_t partnerContainer, std::string_view partnerName);
    ~TradeGump() override;

    void onRightUp(int32_t x, int32_t y) override;
    void onControlChanged(CGump* control) override;
    bool isClosableByCloseAll() override { return false; }

    // The server's accept states (0x6F action 2), both boxes redrawn.
    void setAcceptStates(bool mine, bool partners);
    // Sends the cancel for the player's offer; false when it has none.
    bool sendCancel();

    uint32_t myContainerSerial() const { return m_myContainer; }
    uint32_t partnerContainerSerial() const { return m_partnerContainer; }
    const std::string& partnerName() const { return m_partnerName; }
    ContainerGump* myOffer() const;
    ContainerGump* partnerOffer() const;
    ToggleControl* myBox() const { return m_myBox; }
    ToggleControl* partnersBox() const { return m_partnersBox; }

private:
    ContainerGump* makeOffer(uint32_t serial, int32_t x, int32_t y, bool partnerSide);

    uint32_t m_myContainer;
    uint32_t m_partnerContainer;
    std::string m_partnerName;
    GumpHandle m_myOffer;
    GumpHandle m_partnerOffer;
    ToggleControl* m_myBox = nullptr;
    ToggleControl* m_partnersBox = nullptr;
};

// The trade window one of whose offers shows the container, or null.
TradeGump* tradeGumpOfContainer(uint32_t containerSerial);
// The trade window with the partner, or null.
TradeGump* tradeGumpWith(uint32_t partnerSerial);
// The partner went away: the trade is cancelled and its window closes.
void cancelTradeWith(uint32_t partnerSerial);

// Packet 0x6F: action 0 opens a trade (refused at once with a cancel when
// the partner is ignored), 1 closes it, 2 sets the accept states.
void handleSecureTrade(const uint8_t* packet);
