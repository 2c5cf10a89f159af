// The party window's pictures as the paperdoll's party button opens it over
// the sample data: a golden by hash for the leader of an empty party and for
// a member, and the ten row pictures and their centred names checked pixel
// by pixel against the row art.

#include "windows/windows_test_support.h"

#include "fixtures/server_packet.h"
#include "gfx/gump_art.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "protocol/protocol_handlers.h"
#include "protocol/world_packet_windows.h"
#include "support/png_writer.h"
#include "windows/party_gump.h"
#include "windows/party_table.h"
#include "windows/speech_services.h"
#include "windows/status_window_services.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using fixture::ServerPacket;

constexpr uint32_t kPictureLeader = 0x00000C11;
constexpr int32_t kPictureRowArt = 1141;

class PartyPictures : public windows_test::WindowDesktop {
protected:
    PartyPictures()
    {
        registerProtocolHandlers();
        addMobile(kPictureLeader, player()->x - 1, player()->y);
        partyTable().init();
        takePackets();
    }
    ~PartyPictures() override
    {
        closeGump(currentPartyGump());
        partyTable().init();
        clearPacketHandlers();
    }

    PartyGump* open()
    {
        service<PartyState>().openPartyWindow();
        return currentPartyGump();
    }
    // The leader first, then the player, both named as status answers name them.
    void joinAsMember()
    {
        std::vector<uint8_t> list
            = ServerPacket(0xBF).u16(6).u8(1).u8(2).u32(kPictureLeader).u32(player()->serial).bytes();
        dispatchGamePacket(*currentGameConnection(), list.data());
        service<StatusWindows>().partyMemberName(kPictureLeader, "Mirela");
        service<StatusWindows>().partyMemberName(player()->serial, "Brenna");
    }

    StatusWindowServices statusServices;
};

struct PartyPictureCase {
    const char* name;
    bool member;
    uint64_t hash;
};

class PartyPicture : public PartyPictures, public testing::WithParamInterface<PartyPictureCase> { };

TEST_P(PartyPicture, MatchesItsGolden)
{
    if (GetParam().member)
        joinAsMember();
    ASSERT_NE(open(), nullptr);
    composeAll();
    composeAll();
    std::vector<uint16_t> shown = screenPicture();
    test::writeSurfacePng(
        test::picturePath(std::string("party_window_") + GetParam().name + ".png"), shown.data(), 640, 480, 640);
    const uint64_t hash = test::surfaceHash(shown.data(), 640, 480, 640);
    EXPECT_EQ(hash, GetParam().hash) << std::hex << hash;
}

INSTANTIATE_TEST_SUITE_P(Party, PartyPicture,
    testing::Values(PartyPictureCase { "Leader", false, 0x1f4821ac5e5a248full },
        PartyPictureCase { "Member", true, 0x3627008d98c9461cull }),
    [](const testing::TestParamInfo<PartyPictureCase>& picture) { return std::string(picture.param.name); });

// Each of the ten rows shows the row art at ((450 - its width) / 2 + 45,
// 50 + 25 x row); a named row's text sits centred in it, an empty row's
// "[n]" too; nothing of the text spills out of the picture.
TEST_F(PartyPictures, TheRowsAndTheirNamesSitWhereTheLayoutPutsThem)
{
    joinAsMember();
    PartyGump* window = open();
    ASSERT_NE(window, nullptr);
    composeAll();
    int32_t artWidth = 0;
    int32_t artHeight = 0;
    ASSERT_TRUE(getGumpArtSize(kPictureRowArt, artWidth, artHeight));
    const int32_t left = window->x() + (PartyGump::kFrameWidth - artWidth) / 2 + 45;
    for (int32_t row = 0; row < 10; ++row) {
        const int32_t top = window->y() + 50 + 25 * row;
        int32_t textLeft = artWidth;
        int32_t textRight = -1;
        int32_t artShown = 0;
        for (int32_t y = 0; y < artHeight; ++y) {
            for (int32_t x = 0; x < artWidth; ++x) {
                const uint16_t art = getGumpArtPixel(kPictureRowArt, x, y);
                if (art == 0)
                    continue;
                if (screenPixel(left + x, top + y) == art) {
                    ++artShown;
                } else {
                    textLeft = std::min(textLeft, x);
                    textRight = std::max(textRight, x);
                }
            }
        }
        EXPECT_GT(artShown, artWidth * artHeight / 2) << "row " << row;
        ASSERT_GE(textRight, textLeft) << "row " << row << " has its text";
        // The text's middle is the picture's middle, give or take the
        // glyphs' own side bearings.
        EXPECT_NEAR((textLeft + textRight) / 2.0, artWidth / 2.0, 3.0) << "row " << row;
        // The row left of the picture is the window's face, not the art.
        EXPECT_NE(screenPixel(left - 1, top + artHeight / 2), getGumpArtPixel(kPictureRowArt, 0, artHeight / 2))
            << "row " << row;
    }
}

} // namespace
