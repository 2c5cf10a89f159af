// The GM page-queue tools as the server works them: the queue count, a
// call's details in the call view, the GM's menu actions and resolutions,
// and the escalation window's text and packets.

#include "fixtures/server_packet.h"
#include "gump/entry_core.h"
#include "gump/gump_manager.h"
#include "gump/html_view.h"
#include "net/packet_dispatcher.h"
#include "windows/escalate_gump.h"
#include "windows/gm_page_queue.h"
#include "windows/windows_test_support.h"
#include "gfx/gump_art.h"
#include "support/png_writer.h"

#include <gtest/gtest.h>

namespace {

using fixture::ServerPacket;
using windows_test::Bytes;
using windows_test::hexOf;

Bytes callPacket(uint32_t id, uint32_t age, uint32_t type, const std::string& escalatedId = "")
{
    ServerPacket packet(0xC3);
    packet.u32(0).u32(id).u32(11).u32(22).u32(0x1234);
    if (id == 0xFFFFFFF0) {
        packet.u8(uint8_t(escalatedId.size())).bytes(Bytes(escalatedId.begin(), escalatedId.end())).u8(1);
        packet.u8(5).bytes({ 'L', 'e', 'g', 'a', 'l' });
    }
    packet.u8(4).bytes({ 'A', 'n', 'n', 'a' }).u16(0).u8(5).bytes({ 'S', 't', 'a', 'g', 'e' });
    packet.u32(age).u16(0).u32(100).u32(200).u32(5).u32(1).u32(2).u32(0).u32(type).u8(1);
    packet.bytes({ 'e', 'n', 'u' }).u16(2).bytes({ 'h', 0, 'i', 0 });
    return packet.bytes();
}

class GmPageQueue : public windows_test::WindowDesktop {
protected:
    GmPageQueue() { registerGmPageQueueHandlers(); }
    ~GmPageQueue() override { forgetGmCallView(); }
    static void deliver(const Bytes& packet) { registeredPacketHandler(packet[0])(packet.data()); }
};

struct AgeCase {
    uint32_t seconds;
    const char* text;
};

class GmCallAge : public testing::TestWithParam<AgeCase> { };

TEST_P(GmCallAge, ReadsInHoursMinutesAndSeconds) { EXPECT_EQ(gmCallAge(GetParam().seconds), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(Ages, GmCallAge,
    testing::Values(AgeCase { 3725, "1h 2m 5s" }, AgeCase { 59, "59s" }, AgeCase { 60, "60s" },
        AgeCase { 61, "1m 1s" }, AgeCase { 3600, "60m 0s" }),
    [](const testing::TestParamInfo<AgeCase>& row) { return std::to_string(row.param.seconds); });

TEST(GmQueueCount, OneAndNoneHaveTheirOwnSentences)
{
    EXPECT_EQ(gmQueueCountText(0), "There are currently 0 calls in the global queue that you can answer.");
    EXPECT_EQ(gmQueueCountText(1), "There is currently 1 call in the global queue that you can answer.");
    EXPECT_EQ(gmQueueCountText(7), "There are currently 7 calls in the global queue that you can answer.");
}

TEST_F(GmPageQueue, ACallShowsItsDetailsAndHighlightsTheCustomer)
{
    deliver(callPacket(42, 3725, 5));
    HtmlView* view = gmCallView();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->gmMenu);
    EXPECT_EQ(view->x(), 10);
    EXPECT_EQ(currentGmCall().idText, "42");
    const std::u16string html = gmCallHtml(currentGmCall());
    EXPECT_NE(html.find(u"Customer: Anna 22 (11) <BR>"), std::u16string::npos);
    EXPECT_NE(html.find(u"Coords: Stage (100,200,5) map "), std::u16string::npos);
    EXPECT_NE(html.find(u"ID: 42<BR>Rank: 2  Volume: 1<BR>Type: UNKNOWN<BR>Call Time: 1h 2m 5s<BR><BR>[enu] hi"),
        std::u16string::npos);
    EXPECT_EQ(gmHighlightedCustomer(), 0x1234u);
}

TEST_F(GmPageQueue, CutCallsAreRefusedWhole)
{
    const Bytes call = callPacket(42, 10, 0);
    for (size_t cut = 1; cut + 3 <= call.size(); ++cut) {
        Bytes bytes(call.begin(), call.end() - Bytes::difference_type(cut));
        bytes[1] = uint8_t(bytes.size() >> 8);
        bytes[2] = uint8_t(bytes.size());
        deliver(bytes);
        ASSERT_EQ(gmCallView(), nullptr) << "cut by " << cut;
    }
    // A message count past the packet's end is refused too.
    Bytes oversized = call;
    oversized[oversized.size() - 6] = 0x7F;
    deliver(oversized);
    EXPECT_EQ(gmCallView(), nullptr);
}

TEST_F(GmPageQueue, LostPetClosesTheCallWithItsCode)
{
    deliver(callPacket(42, 10, 0));
    takePackets();
    closeGmCall(35);
    const std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[1][0], 0x12);
    EXPECT_EQ(sent[1][3], 0x6B);
    EXPECT_EQ(hexOf(sent[2]), "12 00 07 DB 33 35 00");
    EXPECT_EQ(gmCallView(), nullptr);
    EXPECT_EQ(gmHighlightedCustomer(), 0u);
}

TEST_F(GmPageQueue, EscalatingOpensTheWindowAndKeepsTheView)
{
    deliver(callPacket(42, 10, 0));
    closeGmCall(GmAction::kEscalate);
    ASSERT_NE(gmCallView(), nullptr);
    auto* window = static_cast<EscalateGump*>(gumpListHead());
    ASSERT_TRUE(window->is(GumpKind::Escalate));
    takePackets();
    for (char16_t c : std::u16string(u"xab"))
        window->onKey(c);
    window->onKey(GumpKey::kHome);
    window->onKey(GumpKey::kDelete);
    EXPECT_EQ(window->text(), u"ab");
    window->onCommand(EscalateGump::kEscalate);
    const std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "12 00 0D EF 31 34 00 00 04 61 00 62 00");
    EXPECT_EQ(gmCallView(), nullptr);
}

TEST_F(GmPageQueue, AnEscalatedCallEscalatesThroughTheQueueCommand)
{
    deliver(callPacket(0xFFFFFFF0, 10, 0, "Q7"));
    EXPECT_EQ(currentGmCall().typeText, "Legal");
    auto* window = openEscalateGump(GmAction::kEscalate);
    window->onKey(u'z');
    takePackets();
    window->onCommand(EscalateGump::kEscalate);
    const std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]),
        "12 00 1F F7 51 37 00 00 08 45 53 43 41 4C 41 54 45 00 06 31 00 34 00 00 00 00 04 7A 00 00 00");
}

TEST_F(GmPageQueue, TheTextStopsAt255Characters)
{
    auto* window = openEscalateGump(GmAction::kEscalate);
    for (int i = 0; i < 300; ++i)
        window->onKey(u'q');
    EXPECT_EQ(window->text().size(), kMaxEscalationText);
    pressRight(window->x() + 5, window->y() + 5);
    releaseRight(window->x() + 5, window->y() + 5);
    EXPECT_EQ(gumpListHead(), window) << "a right click keeps the window";
    const int32_t buttonY = window->button(EscalateGump::kCancel)->y();
    window->resize(window->width(), 400, false);
    EXPECT_EQ(window->button(EscalateGump::kCancel)->y(), buttonY + 100);
    window->onSlider(5, 0, nullptr);
    window->onCommand(EscalateGump::kCancel);
}

// The escalation window with a text typed, as the GM's menu opens it over
// the call view, drawn from the sample data's pictures and fonts.
TEST_F(GmPageQueue, TheEscalationWindowLooksAsRecorded)
{
    deliver(callPacket(42, 3725, 0));
    closeGmCall(GmAction::kEscalate);
    auto* window = static_cast<EscalateGump*>(gumpListHead());
    ASSERT_TRUE(window->is(GumpKind::Escalate));
    int32_t x = window->width() / 2, y = 150;
    window->localToScreen(x, y);
    pressLeft(x, y);
    releaseLeft(x, y);
    ASSERT_TRUE(window->isEditing());
    for (char16_t c : std::u16string(u"The customer needs a senior GM."))
        gumpFocus()->onKey(c);
    composeAll();
    const std::vector<uint16_t> picture = screenPicture();
    test::writeSurfacePng(test::picturePath("windows_Escalate.png"), picture.data(), 640, 480, 640);
    const uint64_t hash = test::surfaceHash(picture.data(), 640, 480, 640);
    EXPECT_EQ(hash, 0x5f7e44961140d66aull) << std::hex << hash;
}

// Made taller, the window keeps its buttons at their distance from the
// bottom: the escalate and cancel buttons' art shows that much lower.
TEST_F(GmPageQueue, TheButtonsFollowTheBottomWhenTheWindowGrows)
{
    auto* window = openEscalateGump(GmAction::kEscalate);
    window->moveBy(0, -60, true, nullptr, false);
    window->resize(window->width(), EscalateGump::kHeight + 80, false);
    composeAll();
    const std::vector<uint16_t> picture = screenPicture();
    int32_t differing = 0;
    int32_t compared = 0;
    for (const auto& [art, left] : { std::pair { 2074, 65 }, std::pair { 2071, 190 } }) {
        int32_t w = 0, h = 0;
        ASSERT_TRUE(getGumpArtSize(art, w, h));
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const uint16_t pixel = getGumpArtPixel(art, x, y);
                if (pixel == 0)
                    continue;
                ++compared;
                const int32_t screenX = window->x() + left + x;
                const int32_t screenY = window->y() + 240 + 80 + y;
                differing += picture[size_t(screenY) * 640 + size_t(screenX)] != pixel;
            }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(compared, 0);
    window->onCommand(EscalateGump::kCancel);
}

} // namespace
