#include "windows/trade_gump.h"

#include "data/config_file.h"
#include "data/player_lists.h"
#include "gfx/gump_art.h"
#include "gump/gump_manager.h"
#include "gump/toggle_control.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "protocol/packet_reader.h"
#include "windows/container_gump.h"
#include "world/container_item.h"
#include "world/mobile.h"
#include "world/object_manager.h"

namespace {

constexpr uint8_t kOpen = 0;
constexpr uint8_t kClose = 1;
constexpr uint8_t kAcceptStates = 2;
constexpr int32_t kMyOfferX = 46;
constexpr int32_t kMyOfferY = 88;
constexpr int32_t kPartnerOfferX = 192;
constexpr int32_t kPartnerOfferY = 71;
constexpr int32_t kMyBoxX = 52;
constexpr int32_t kMyBoxY = 29;
constexpr int32_t kPartnersBoxX = 266;
constexpr int32_t kPartnersBoxY = 160;
constexpr int32_t kNameFont = 1;
constexpr int32_t kTradeNameHue = 902;
constexpr int32_t kMyNameX = 84;
constexpr int32_t kMyNameTop = 40;
constexpr int32_t kPartnerNameEnd = 260;
constexpr int32_t kPartnerNameTop = 170;

bool sendTradePacket(uint8_t action, uint32_t first, uint32_t second)
{
    PacketStorage<17> packet;
    return buildSecureTradePacket(packet, action, first, second, 0) && sendPacket(packet);
}

} // namespace

TradeGump::TradeGump(Mobile& partner, uint32_t myContainer, uint32_t partnerContainer, std::string_view partnerName)
    : DialogWindow(0, 0, &partner)
    , m_myContainer(myContainer)
    , m_partnerContainer(partnerContainer)
    , m_partnerName(partnerName.substr(0, kNameLength))
{
    setTypeName("trade gump");
    addKind(GumpKind::Trade);
    setOwnerSerial(partner.serial);
    makePageFromArt(kFaceArt);
    m_myOffer = GumpHandle(makeOffer(myContainer, kMyOfferX, kMyOfferY, false));
    m_partnerOffer = GumpHandle(makeOffer(partnerContainer, kPartnerOfferX, kPartnerOfferY, true));
    m_myBox = new ToggleControl(kMyBoxX, kMyBoxY, kBoxArt, kBoxCheckedArt, kNameFont, kTradeNameHue, "", false, kBoxArt,
        kBoxCheckedArt);
    m_myBox->setHoverArts(kBoxHoverArt, kBoxCheckedHoverArt);
    gumpLink(m_myBox, this);
    // The partner's box shows the server's word only: clicks flip nothing.
    m_partnersBox = new ToggleControl(kPartnersBoxX, kPartnersBoxY, kBoxArt, kBoxCheckedArt, kNameFont, kTradeNameHue, "",
        false, kBoxArt, kBoxCheckedArt);
    m_partnersBox->setDisabled(true);
    gumpLink(m_partnersBox, this);
    if (GumpPage* face = page(0); face && face->isAllocated()) {
        drawAsciiLine(*face, kNameFont, kTradeNameHue, kMyNameX, kMyNameTop, configFiles().characterName());
        drawAsciiLine(*face, kNameFont, kTradeNameHue, kPartnerNameEnd - asciiLineWidth(kNameFont, m_partnerName),
            kPartnerNameTop, m_partnerName);
    }
}

ContainerGump* TradeGump::makeOffer(uint32_t serial, int32_t x, int32_t y, bool partnerSide)
{
    Item* found = findItemBySerial(serial);
    if (!found || !found->isContainer())
        return nullptr;
    int32_t width = 0;
    int32_t height = 0;
    getGumpArtSize(kOfferArt, width, height);
    auto* offer = new ContainerGump(x, y, *static_cast<ContainerItem*>(found), 1, width, height, kOfferArt, false);
    offer->setTradeWindow(this, partnerSide);
    gumpLink(offer, this);
    return offer;
}

TradeGump::~TradeGump()
{
    // Both offers go with their trade containers.
    for (GumpHandle* offer : { &m_myOffer, &m_partnerOffer }) {
        auto* view = static_cast<ContainerGump*>(offer->get());
        if (!view)
            continue;
        ContainerItem* container = view->container();
        view->containerGoing();
        closeGump(view);
        if (container && isValidWorldObject(container))
            container->destroy();
    }
}

ContainerGump* TradeGump::myOffer() const { return static_cast<ContainerGump*>(m_myOffer.get()); }

ContainerGump* TradeGump::partnerOffer() const { return static_cast<ContainerGump*>(m_partnerOffer.get()); }

bool TradeGump::sendCancel()
{
    const ContainerGump* offer = myOffer();
    if (!offer || !offer->container())
        return false;
    sendTradePacket(kClose, m_myContainer, 0);
    return true;
}

void TradeGump::onRightUp(int32_t x, int32_t y)
{
    releaseCapture();
    // The server closes the trade when it takes the cancel.
    if (!sendCancel())
        DialogWindow::onRightUp(x, y);
}

void TradeGump::onControlChanged(CGump* control)
{
    if (control != m_myBox)
        return;
    const ContainerGump* offer = myOffer();
    if (!currentGameConnection() || !offer || !offer->container())
        return;
    const bool wanted = m_myBox->isChecked();
    sendTradePacket(kAcceptStates, m_myContainer, wanted ? 1 : 0);
    // The box shows what the server says, which comes with action 2.
    m_myBox->setChecked(!wanted);
    m_myBox->redraw();
}

void TradeGump::setAcceptStates(bool mine, bool partners)
{
    m_myBox->setChecked(mine);
    m_myBox->redraw();
    m_partnersBox->setChecked(partners);
    m_partnersBox->redraw();
}

TradeGump* tradeGumpOfContainer(uint32_t containerSerial)
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (!gump->is(GumpKind::Trade))
            continue;
        auto* trade = static_cast<TradeGump*>(gump);
        const bool mine = trade->myOffer() && trade->myContainerSerial() == containerSerial;
        const bool partners = trade->partnerOffer() && trade->partnerContainerSerial() == containerSerial;
        if (mine || partners)
            return trade;
    }
    return nullptr;
}

TradeGump* tradeGumpWith(uint32_t partnerSerial)
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::Trade) && gump->ownerSerial() == partnerSerial)
            return static_cast<TradeGump*>(gump);
    }
    return nullptr;
}

void cancelTradeWith(uint32_t partnerSerial)
{
    TradeGump* trade = tradeGumpWith(partnerSerial);
    if (!trade)
        return;
    sendTradePacket(kClose, trade->myContainerSerial(), 0);
    trade->setOwner(nullptr);
    closeGump(trade);
}

void handleSecureTrade(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint8_t action = reader.u8();
    const uint32_t first = reader.u32();
    const uint32_t second = reader.u32();
    const uint32_t third = reader.u32();
    const uint8_t hasName = reader.u8();
    const std::string name = hasName ? reader.fixedText(int32_t(TradeGump::kNameLength), TradeGump::kNameLength) : "";
    if (!reader.ok())
        return;
    switch (action) {
    case kOpen: {
        Item* partner = findItemBySerial(first);
        if (!partner || !partner->isMobile())
            return;
        if (isIgnored(first)) {
            sendTradePacket(kClose, second, 0);
            return;
        }
        gumpLink(new TradeGump(*static_cast<Mobile*>(partner), second, third, name), nullptr);
        return;
    }
    case kClose:
        closeGump(tradeGumpOfContainer(first));
        return;
    case kAcceptStates:
        if (TradeGump* trade = tradeGumpOfContainer(first))
            trade->setAcceptStates(second != 0, third != 0);
        return;
    default:
        return;
    }
}
