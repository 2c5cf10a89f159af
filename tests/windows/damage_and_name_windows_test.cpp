// The world packets' damage numbers and name-plate names reach their windows:
// packets through the real dispatcher, with the services the program
// installs at start-up.

#include "windows/windows_test_support.h"

#include "fixtures/server_packet.h"
#include "gump/gump_manager.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "protocol/protocol_handlers.h"
#include "windows/damage_and_name_windows.h"
#include "windows/damage_numbers.h"
#include "windows/name_plate_gump.h"
#include "windows/world_view_gump.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

namespace {

using fixture::ServerPacket;

constexpr uint32_t kOther = 0x00000901;

class WorldPacketWindows : public windows_test::WindowDesktop {
protected:
    WorldPacketWindows()
    {
        clearPacketHandlers();
        registerProtocolHandlers();
        auto* view = new WorldViewGump(false);
        view->setVisible(true);
    }
    ~WorldPacketWindows() override { clearPacketHandlers(); }

    static void dispatch(const std::vector<uint8_t>& bytes)
    {
        dispatchGamePacket(*currentGameConnection(), bytes.data());
    }

    static std::vector<DamageNumbersGump*> damageNumbers()
    {
        std::vector<DamageNumbersGump*> found;
        for (CGump* gump = gumpListHead(); gump; gump = gump->next()) {
            if (gump->is(GumpKind::DamageNumbers))
                found.push_back(static_cast<DamageNumbersGump*>(gump));
        }
        return found;
    }

    ScopedService<GeneralInfoWindows> scopedDamage { damageNumberWindows() };
    ScopedService<StatusWindows> scopedNames { namePlateNameWindows() };
};

struct DamageCase {
    const char* name;
    bool onPlayer;
    std::vector<uint8_t> (*packet)(uint32_t serial);
    uint16_t hue;
    const char* text;
};

class DamagePackets : public WorldPacketWindows, public testing::WithParamInterface<DamageCase> { };

TEST_P(DamagePackets, ShowARisingNumberOverTheMobile)
{
    const DamageCase& row = GetParam();
    Mobile* other = addMobile(kOther, player()->x + 1, player()->y + 1);
    ASSERT_NE(other, nullptr);
    const uint32_t serial = row.onPlayer ? player()->serial : other->serial;
    // No damage shows nothing.
    dispatch(ServerPacket(0x0B, ServerPacket::Length::Fixed).u32(serial).u16(0).bytes());
    EXPECT_TRUE(damageNumbers().empty());
    dispatch(row.packet(serial));
    std::vector<DamageNumbersGump*> shown = damageNumbers();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]->serial(), serial);
    EXPECT_EQ(shown[0]->text(), row.text);
    EXPECT_EQ(shown[0]->hue(), row.hue);
}

std::vector<uint8_t> damageWord(uint32_t serial)
{
    return ServerPacket(0x0B, ServerPacket::Length::Fixed).u32(serial).u16(37).bytes();
}

std::vector<uint8_t> generalInfoDamage(uint32_t serial)
{
    return ServerPacket(0xBF).u16(0x22).u8(1).u32(serial).u8(37).bytes();
}

INSTANTIATE_TEST_SUITE_P(WorldPacketWindows, DamagePackets,
    testing::Values(DamageCase { "DamageOnAnother", false, damageWord, 33, "37" },
        DamageCase { "DamageOnThePlayer", true, damageWord, 52, "37" },
        DamageCase { "GeneralInfoDamageOnAnother", false, generalInfoDamage, 33, "37" }),
    [](const testing::TestParamInfo<DamageCase>& row) { return std::string(row.param.name); });

TEST_F(WorldPacketWindows, ANameAnswerFillsTheOpenNamePlate)
{
    Mobile* other = addMobile(kOther, player()->x + 1, player()->y + 1);
    ASSERT_NE(other, nullptr);
    auto* plate = new NamePlateGump(*other);
    gumpLink(plate, nullptr);
    plate->followMobile();
    ASSERT_TRUE(isValidGump(plate));
    gumpManager().allNames[other->serial] = plate;
    const std::vector<uint16_t> blank = plate->page(0)->pixels;

    // An answer for another mobile leaves the plate as it is.
    dispatch(ServerPacket(0x98).u32(0x00000902).text("Someone", 30).bytes());
    EXPECT_EQ(plate->page(0)->pixels, blank);

    dispatch(ServerPacket(0x98).u32(kOther).text("Bob", 30).bytes());
    const std::vector<uint16_t>& drawn = plate->page(0)->pixels;
    EXPECT_NE(drawn, blank) << "the name is drawn";
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), NamePlateGump::kNameColour), drawn.end());
    gumpManager().allNames.erase(other->serial);
}

} // namespace
