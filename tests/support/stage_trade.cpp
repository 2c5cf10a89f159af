// The trade windows' share of the stage: a vendor beside the player who
// sells three goods (double-click him, or "Buy" in his context menu) and
// buys the boards ("Sell"), and hands over what was bought; the woman, who
// opens a trade when something is dropped on her, offers a gift, accepts as
// soon as the player does and swaps the offers; the boards, whose use asks
// for a target; the horse's context menu with a saddle menu, a name query
// and (among its further entries) a brush; a house deed in the backpack
// whose use starts a house placement; and a dye tub whose use asks for a
// hue. Each answer the player gives is said back as a system line.
#include "support/stage_trade.h"

#include "fixtures/sample_figures.h"
#include "fixtures/sample_scene.h"
#include "fixtures/sample_trade_art.h"
#include "fixtures/sample_window_art.h"
#include "fixtures/server_packet.h"
#include "support/stage_world.h"

#include <array>
#include <cstdio>
#include <string>

namespace test {

namespace {

using fixture::ServerPacket;

constexpr uint8_t kStockLayer = 26;
constexpr uint8_t kSingleLayer = 27;
constexpr uint8_t kTradeBoxLayer = 28;
constexpr uint16_t kVendorGump = 0x30;
constexpr uint16_t kContextRequest = 0x13;
constexpr uint16_t kContextMenu = 0x14;
constexpr uint16_t kContextChoice = 0x15;
constexpr uint16_t kBuyTag = 1;
constexpr uint16_t kSellTag = 2;
constexpr uint16_t kSaddleTag = 1;
constexpr uint16_t kNameTag = 2;
constexpr uint16_t kBrushTag = 3;
constexpr uint16_t kSecondaryEntry = 0x02;
constexpr uint8_t kTradeOpen = 0;
constexpr uint8_t kTradeClose = 1;
constexpr uint8_t kTradeAccept = 2;
constexpr uint16_t kBoardsPrice = 3;
constexpr uint16_t kBoardsAmount = 5;
constexpr uint16_t kSystemHue = 0x3B2;

struct StageGood {
    uint16_t amount;
    uint32_t price;
    const char* name;
};
constexpr std::array<StageGood, 3> kGoods { { { 20, 5, "fish steak" }, { 3, 12, "bottle" }, { 1, 100, "staff" } } };

uint32_t tradeBe32(const WirePacket& packet, size_t at)
{
    return uint32_t(packet[at]) << 24 | uint32_t(packet[at + 1]) << 16 | uint32_t(packet[at + 2]) << 8 | packet[at + 3];
}

uint16_t tradeBe16(const WirePacket& packet, size_t at) { return uint16_t(packet[at] << 8 | packet[at + 1]); }

WirePacket systemLine(const std::string& text)
{
    return asciiSpeechPacket(0xFFFFFFFF, 0xFFFF, 0, kSystemHue, 3, "System", text);
}

class StageTrade final : public StagePart {
public:
    void populate(StageWorld& stage) override
    {
        stage.addFigure(kStageVendorSerial, uint16_t(fixture::kSampleManBody), 3, -1, 4, "Tomas the vendor");
        stage.addWornThing(kStageStockBoxSerial, fixture::kSampleTradeBoxGraphic, kStockLayer, kStageVendorSerial);
        stage.addWornThing(kStageSingleBoxSerial, fixture::kSampleTradeBoxGraphic, kSingleLayer, kStageVendorSerial);
        stage.addContainedThing(kStageDeedSerial, fixture::kSampleDeedGraphic, 1, fixture::kSceneBackpackSerial, 30, 130);
        stage.addContainedThing(
            kStageDyeTubSerial, fixture::kSampleDyeTubGraphic, 1, fixture::kSceneBackpackSerial, 100, 130);
        m_trading = false;
        m_nextBought = kStageFirstGoodSerial + 0x100;
    }

    bool answer(StageWorld& stage, const WirePacket& packet, std::vector<WirePacket>& out) override
    {
        switch (packet[0]) {
        case 0x06:
            return packet.size() >= 5 && use(tradeBe32(packet, 1) & 0x7FFFFFFF, out);
        case 0x08:
            // Something dropped on the woman opens a trade; the stage itself
            // puts the thing back.
            if (packet.size() >= 14 && tradeBe32(packet, 10) == fixture::kSceneWomanSerial && !m_trading)
                openTrade(stage, out);
            return false;
        case 0x6F:
            return packet.size() >= 12 && trade(stage, packet[3], tradeBe32(packet, 8) != 0, out);
        case 0x6C:
            return packet.size() >= 19 && target(packet, out);
        case 0x3B:
            return packet.size() >= 8 && tradeBe32(packet, 3) == kStageVendorSerial && buy(stage, packet, out);
        case 0x9F:
            return packet.size() >= 9 && tradeBe32(packet, 3) == kStageVendorSerial && sell(packet, out);
        case 0x7D:
            if (packet.size() < 13 || tradeBe16(packet, 5) != kStageSaddleMenu)
                return false;
            out.push_back(systemLine(tradeBe16(packet, 7) == 0 ? "No saddle then."
                                                               : "Saddle " + std::to_string(tradeBe16(packet, 7))
                        + " chosen."));
            return true;
        case 0xAC:
            return packet.size() >= 12 && nameQuery(packet, out);
        case 0x95:
            if (packet.size() < 9 || tradeBe32(packet, 1) != kStageDyeTubSerial)
                return false;
            out.push_back(systemLine("Dyed with hue " + std::to_string(tradeBe16(packet, 7)) + "."));
            return true;
        case 0xBF:
            return packet.size() >= 9 && contextMenu(packet, out);
        default:
            return false;
        }
    }

private:
    bool use(uint32_t serial, std::vector<WirePacket>& out)
    {
        if (serial == kStageVendorSerial) {
            offerGoods(out);
            return true;
        }
        if (serial == kStageBoardsSerial) {
            out.push_back(
                ServerPacket(0x6C, ServerPacket::Length::Fixed).u8(0).u32(kStageBoardsCursor).u8(0).fill(12, 0).bytes());
            return true;
        }
        if (serial == kStageDeedSerial) {
            out.push_back(ServerPacket(0x99, ServerPacket::Length::Fixed)
                              .u8(1)
                              .u32(kStageDeedCursor)
                              .fill(12, 0)
                              .u16(uint16_t(fixture::kSampleDeedMulti))
                              .u16(0)
                              .u16(0)
                              .u16(0)
                              .bytes());
            return true;
        }
        if (serial == kStageDyeTubSerial) {
            out.push_back(ServerPacket(0x95, ServerPacket::Length::Fixed)
                              .u32(kStageDyeTubSerial)
                              .u16(0)
                              .u16(fixture::kSampleDyeTubGraphic)
                              .bytes());
            return true;
        }
        return false;
    }

    // The goods in the stock box with their prices and names, then the
    // window. The client keeps the newest item first, so the list names them
    // from the last sent.
    void offerGoods(std::vector<WirePacket>& out) const
    {
        std::vector<ContentEntry> contents;
        for (size_t i = 0; i < kGoods.size(); ++i)
            contents.push_back({ uint32_t(kStageFirstGoodSerial + i), fixture::kSampleGoodsGraphics[i], kGoods[i].amount,
                uint16_t(20 + 30 * i), 20 });
        out.push_back(containerContentsPacket(kStageStockBoxSerial, contents));
        ServerPacket list(0x74);
        list.u32(kStageStockBoxSerial).u8(uint8_t(kGoods.size()));
        for (size_t i = kGoods.size(); i-- > 0;) {
            const std::string name = kGoods[i].name;
            list.u32(kGoods[i].price).u8(uint8_t(name.size() + 1)).text(name, name.size() + 1);
        }
        out.push_back(list.bytes());
        out.push_back(ServerPacket(0x24, ServerPacket::Length::Fixed).u32(kStageVendorSerial).u16(kVendorGump).bytes());
    }

    void offerToBuy(std::vector<WirePacket>& out) const
    {
        const std::string name = "boards";
        out.push_back(ServerPacket(0x9E)
                          .u32(kStageVendorSerial)
                          .u16(1)
                          .u32(kStageBoardsSerial)
                          .u16(fixture::kSampleBoardsGraphic)
                          .u16(0)
                          .u16(kBoardsAmount)
                          .u16(kBoardsPrice)
                          .u16(uint16_t(name.size()))
                          .text(name, name.size())
                          .bytes());
    }

    // What was bought comes into the backpack; the window closes.
    bool buy(StageWorld& stage, const WirePacket& packet, std::vector<WirePacket>& out)
    {
        uint32_t total = 0;
        int32_t bought = 0;
        for (size_t at = 8; at + 7 <= packet.size(); at += 7) {
            const uint32_t serial = tradeBe32(packet, at + 1);
            const uint16_t quantity = tradeBe16(packet, at + 5);
            if (serial < kStageFirstGoodSerial || serial >= kStageFirstGoodSerial + kGoods.size() || quantity == 0)
                continue;
            const size_t index = serial - kStageFirstGoodSerial;
            total += kGoods[index].price * quantity;
            const uint32_t serialBought = m_nextBought++;
            const int32_t x = 40 + 20 * bought++;
            stage.addContainedThing(serialBought, fixture::kSampleGoodsGraphics[index], quantity,
                fixture::kSceneBackpackSerial, x, 40);
            out.push_back(containerItemPacket(fixture::kSceneBackpackSerial,
                { serialBought, fixture::kSampleGoodsGraphics[index], quantity, uint16_t(x), 40 }, 0));
        }
        out.push_back(ServerPacket(0x3B).u32(kStageVendorSerial).u8(0).bytes());
        out.push_back(systemLine("Bought " + std::to_string(bought) + " kinds for " + std::to_string(total) + " gold."));
        return true;
    }

    bool sell(const WirePacket& packet, std::vector<WirePacket>& out)
    {
        const uint16_t count = tradeBe16(packet, 7);
        uint32_t sold = 0;
        for (size_t i = 0; i < count && 9 + 6 * i + 6 <= packet.size(); ++i) {
            if (tradeBe32(packet, 9 + 6 * i) == kStageBoardsSerial)
                sold += tradeBe16(packet, 9 + 6 * i + 4);
        }
        out.push_back(ServerPacket(0x3B).u32(kStageVendorSerial).u8(0).bytes());
        out.push_back(systemLine("Sold " + std::to_string(sold) + " boards for " + std::to_string(sold * kBoardsPrice)
            + " gold."));
        return true;
    }

    bool target(const WirePacket& packet, std::vector<WirePacket>& out)
    {
        const uint32_t cursor = tradeBe32(packet, 2);
        if (cursor != kStageBoardsCursor && cursor != kStageDeedCursor)
            return false;
        const uint32_t serial = tradeBe32(packet, 7);
        const uint16_t x = tradeBe16(packet, 11);
        const uint16_t y = tradeBe16(packet, 13);
        std::string line;
        if (serial == 0 && x == 0xFFFF)
            line = "Targeting cancelled.";
        else if (cursor == kStageDeedCursor)
            line = "The house would stand at " + std::to_string(x) + ", " + std::to_string(y) + ".";
        else if (serial != 0) {
            char text[48];
            std::snprintf(text, sizeof text, "The boards are aimed at 0x%08X.", serial);
            line = text;
        } else
            line = "The boards are aimed at " + std::to_string(x) + ", " + std::to_string(y) + ".";
        out.push_back(systemLine(line));
        return true;
    }

    bool nameQuery(const WirePacket& packet, std::vector<WirePacket>& out)
    {
        if (tradeBe32(packet, 3) != fixture::kSceneHorseSerial || tradeBe16(packet, 7) != kStageNameQuery)
            return false;
        if (packet[9] == 0) {
            out.push_back(systemLine("The horse keeps its name."));
            return true;
        }
        const size_t length = tradeBe16(packet, 10);
        std::string name;
        for (size_t i = 12; i < packet.size() && i < 12 + length && packet[i] != 0; ++i)
            name.push_back(char(packet[i]));
        out.push_back(systemLine("The horse is now called " + name + "."));
        return true;
    }

    bool contextMenu(const WirePacket& packet, std::vector<WirePacket>& out)
    {
        const uint16_t command = tradeBe16(packet, 3);
        const uint32_t serial = tradeBe32(packet, 5);
        if (command == kContextRequest) {
            if (serial == kStageVendorSerial) {
                out.push_back(menuOf(serial,
                    { { kBuyTag, fixture::kSampleBuyText, 0 }, { kSellTag, fixture::kSampleSellText, 0 } }));
                return true;
            }
            if (serial == fixture::kSceneHorseSerial) {
                out.push_back(menuOf(serial,
                    { { kSaddleTag, fixture::kSampleSaddleText, 0 }, { kNameTag, fixture::kSampleNameHorseText, 0 },
                        { kBrushTag, fixture::kSampleBrushText, kSecondaryEntry } }));
                return true;
            }
            return false;
        }
        if (command != kContextChoice || packet.size() < 11)
            return false;
        const uint16_t tag = tradeBe16(packet, 9);
        if (serial == kStageVendorSerial) {
            if (tag == kBuyTag)
                offerGoods(out);
            else if (tag == kSellTag)
                offerToBuy(out);
            return true;
        }
        if (serial != fixture::kSceneHorseSerial)
            return false;
        if (tag == kSaddleTag) {
            ServerPacket menu(0x7C);
            const std::string title = "Which saddle?";
            menu.u32(fixture::kSceneHorseSerial).u16(kStageSaddleMenu).u8(uint8_t(title.size())).text(title, title.size());
            menu.u8(2);
            for (const char* name : { "a plain saddle", "a fine saddle" }) {
                const std::string text = name;
                menu.u16(fixture::kSampleGoodsGraphics[2]).u16(0).u8(uint8_t(text.size())).text(text, text.size());
            }
            out.push_back(menu.bytes());
        } else if (tag == kNameTag) {
            const std::string title = "Name the horse";
            const std::string description = "At most twelve letters";
            out.push_back(ServerPacket(0xAB)
                              .u32(fixture::kSceneHorseSerial)
                              .u16(kStageNameQuery)
                              .u16(uint16_t(title.size() + 1))
                              .text(title, title.size() + 1)
                              .u8(1)
                              .u8(1)
                              .u32(12)
                              .u16(uint16_t(description.size() + 1))
                              .text(description, description.size() + 1)
                              .bytes());
        } else if (tag == kBrushTag) {
            out.push_back(systemLine("The horse's coat shines."));
        }
        return true;
    }

    struct MenuEntry {
        uint16_t tag;
        int32_t text;
        uint16_t flags;
    };
    static WirePacket menuOf(uint32_t serial, const std::vector<MenuEntry>& entries)
    {
        ServerPacket menu(0xBF);
        menu.u16(kContextMenu).u16(1).u32(serial).u8(uint8_t(entries.size()));
        for (const MenuEntry& entry : entries)
            menu.u16(entry.tag).u16(uint16_t(entry.text - 3000000)).u16(entry.flags);
        return menu.bytes();
    }

    // The boxes of both offers, the woman's gift in hers, then the window.
    void openTrade(StageWorld& stage, std::vector<WirePacket>& out)
    {
        m_trading = true;
        stage.addWornThing(kStageMyTradeBoxSerial, fixture::kSampleTradeBoxGraphic, kTradeBoxLayer, stage.playerSerial());
        stage.addWornThing(
            kStageHerTradeBoxSerial, fixture::kSampleTradeBoxGraphic, kTradeBoxLayer, fixture::kSceneWomanSerial);
        stage.addContainedThing(kStageHerGiftSerial, fixture::kSampleGoodsGraphics[1], 1, kStageHerTradeBoxSerial, 30, 30);
        out.push_back(wornItemPacket(
            kStageMyTradeBoxSerial, fixture::kSampleTradeBoxGraphic, kTradeBoxLayer, stage.playerSerial(), 0));
        out.push_back(wornItemPacket(
            kStageHerTradeBoxSerial, fixture::kSampleTradeBoxGraphic, kTradeBoxLayer, fixture::kSceneWomanSerial, 0));
        out.push_back(containerItemPacket(
            kStageHerTradeBoxSerial, { kStageHerGiftSerial, fixture::kSampleGoodsGraphics[1], 1, 30, 30 }, 0));
        out.push_back(ServerPacket(0x6F)
                          .u8(kTradeOpen)
                          .u32(fixture::kSceneWomanSerial)
                          .u32(kStageMyTradeBoxSerial)
                          .u32(kStageHerTradeBoxSerial)
                          .u8(1)
                          .text("Mira", 30)
                          .bytes());
    }

    bool trade(StageWorld& stage, uint8_t action, bool accepted, std::vector<WirePacket>& out)
    {
        if (!m_trading)
            return false;
        if (action == kTradeAccept && !accepted) {
            out.push_back(tradeState(kTradeAccept, 0, 1));
            return true;
        }
        if (action == kTradeAccept) {
            // She has accepted already: the offers change hands.
            out.push_back(tradeState(kTradeAccept, 1, 1));
            stage.moveContents(kStageMyTradeBoxSerial, 0, out);
            stage.moveContents(kStageHerTradeBoxSerial, fixture::kSceneBackpackSerial, out);
            out.push_back(systemLine("The trade is done."));
        } else if (action == kTradeClose) {
            stage.moveContents(kStageMyTradeBoxSerial, fixture::kSceneBackpackSerial, out);
            stage.moveContents(kStageHerTradeBoxSerial, 0, out);
            out.push_back(systemLine("The trade is cancelled."));
        } else {
            return true;
        }
        out.push_back(tradeState(kTradeClose, 0, 0));
        stage.removeThing(kStageMyTradeBoxSerial);
        stage.removeThing(kStageHerTradeBoxSerial);
        m_trading = false;
        return true;
    }

    static WirePacket tradeState(uint8_t action, uint32_t mine, uint32_t hers)
    {
        return ServerPacket(0x6F).u8(action).u32(kStageMyTradeBoxSerial).u32(mine).u32(hers).u8(0).bytes();
    }

    bool m_trading = false;
    uint32_t m_nextBought = 0;
};

} // namespace

std::unique_ptr<StagePart> makeStageTrade() { return std::make_unique<StageTrade>(); }

} // namespace test
