// Status gumps over the sample world, opened as the program opens them (the
// factory's kind 8, a drag out of the world view, the paperdoll's button) and
// filled by the status packets: the 20-slot table, the bar fills checked pixel
// by pixel, stat locks, rename, tooltips, docking and target bars.

#include "windows/windows_test_support.h"

#include "data/view_range.h"
#include "fixtures/sample_data_writer.h"
#include "fixtures/sample_status_art.h"
#include "gump/desktop_file.h"
#include "gump/desktop_records.h"
#include "gump/gump_factory.h"
#include "gump/input_control.h"
#include "protocol/general_info_packet.h"
#include "protocol/mobile_status_packets.h"
#include "support/png_writer.h"
#include "windows/speech_services.h"
#include "windows/status_bar_table.h"
#include "windows/status_gump.h"
#include "windows/status_window_services.h"
#include "windows/system_text.h"
#include "windows/target_gump.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using windows_test::Bytes;
using windows_test::hexOf;

constexpr uint32_t kStranger = 0x00000300;

// The status packet 0x11 at level 1 with hits as given.
Bytes statusPacket(uint32_t serial, const std::string& name, uint16_t hits, uint16_t maxHits)
{
    Bytes packet { 0x11, 0, 0 };
    auto u16 = [&](uint16_t v) { packet.push_back(uint8_t(v >> 8)), packet.push_back(uint8_t(v)); };
    auto u32 = [&](uint32_t v) { u16(uint16_t(v >> 16)), u16(uint16_t(v)); };
    u32(serial);
    std::string field = name;
    field.resize(30, '\0');
    packet.insert(packet.end(), field.begin(), field.end());
    u16(hits);
    u16(maxHits);
    packet.push_back(0); // rename
    packet.push_back(1); // level
    packet.push_back(0); // kind
    for (uint16_t v : { 40, 35, 25, 30, 60, 20, 40 })
        u16(v); // str dex int stamina maxStamina mana maxMana
    u32(1234);
    u16(12);
    u16(140);
    packet[1] = uint8_t(packet.size() >> 8);
    packet[2] = uint8_t(packet.size());
    return packet;
}

class PartyOf final : public PartyState {
public:
    uint32_t memberSerial(int32_t slot) override { return slot < int32_t(members.size()) ? members[size_t(slot)] : 0; }
    std::vector<uint32_t> members;
};

class StatusBars : public windows_test::WindowDesktop {
protected:
    StatusBars() { fillWorld(); }

    StatusGump* openBar(uint32_t serial)
    {
        WorldObject* object = findObjectBySerial(serial);
        CGump* gump = gumpOpenByKind(object, gump_kind::kStatusBar, nullptr, false, true);
        return gump && gump->is(GumpKind::StatusGump) ? static_cast<StatusGump*>(gump) : nullptr;
    }
    static int32_t countOf(const std::vector<Bytes>& packets, const Bytes& wanted)
    {
        int32_t n = 0;
        for (const Bytes& packet : packets)
            n += packet == wanted ? 1 : 0;
        return n;
    }
    static Bytes closedPacket(uint32_t serial)
    {
        return { 0xBF, 0, 9, 0, 0x0C, uint8_t(serial >> 24), uint8_t(serial >> 16), uint8_t(serial >> 8),
            uint8_t(serial) };
    }
    static const fixture::GumpArtPicture& art(int32_t id)
    {
        static const auto pictures = fixture::sampleGumpArt();
        return pictures.at(id);
    }

    StatusWindowServices statusServices;
};

TEST_F(StatusBars, TheEleventhStrangerBarReusesTheFirstSlotAndReportsItOnce)
{
    std::vector<StatusGump*> bars;
    for (uint32_t i = 0; i < 11; ++i) {
        addMobile(kStranger + i, player()->x + int32_t(i % 3), player()->y + 1);
        bars.push_back(openBar(kStranger + i));
        ASSERT_NE(bars.back(), nullptr);
    }
    takePackets();
    EXPECT_EQ(statusBarTable().serialAt(10), kStranger + 10) << "the first slot taken over";
    EXPECT_EQ(findStatusGumpOf(kStranger), nullptr) << "its old bar closed";
    for (int32_t slot = 0; slot < StatusBarTable::kPartySlots; ++slot)
        EXPECT_EQ(statusBarTable().serialAt(slot), 0u) << "the party half stays free";

    // The own bar outside a party takes no slot.
    std::set<uint32_t> before;
    for (int32_t slot = 0; slot < StatusBarTable::kSlots; ++slot)
        before.insert(statusBarTable().serialAt(slot));
    ASSERT_NE(openBar(player()->serial), nullptr);
    EXPECT_FALSE(statusBarTable().contains(player()->serial));

    closeGump(bars[5]);
    const std::vector<Bytes> sent = takePackets();
    EXPECT_EQ(countOf(sent, closedPacket(kStranger + 5)), 1);
    EXPECT_FALSE(statusBarTable().contains(kStranger + 5));
}

TEST_F(StatusBars, ReusingASlotSendsStatusBarClosedOnceAndPrintsOnce)
{
    for (uint32_t i = 0; i < 10; ++i) {
        addMobile(kStranger + i, player()->x, player()->y + 1);
        ASSERT_NE(openBar(kStranger + i), nullptr);
    }
    takePackets();
    addMobile(kStranger + 10, player()->x, player()->y + 2);
    ASSERT_NE(openBar(kStranger + 10), nullptr);
    const std::vector<Bytes> sent = takePackets();
    EXPECT_EQ(countOf(sent, closedPacket(kStranger)), 1);
    int32_t reuseLines = 0;
    for (CGump* gump = gumpListHead(); gump; gump = gump->next())
        reuseLines += gump->is(GumpKind::OverheadText) ? 1 : 0;
    EXPECT_EQ(reuseLines, 1);
}

TEST_F(StatusBars, WhenEverySlotBelongsToATargetBarTheTableStaysButTheStatusIsAskedFor)
{
    for (uint32_t i = 0; i < 10; ++i) {
        // Bars of a third kind (the macros' own), which nothing replaces.
        Mobile* mobile = addMobile(kStranger + i, player()->x, player()->y + 1);
        gumpLink(new TargetGump(*mobile, 3), nullptr);
    }
    std::vector<uint32_t> before;
    for (int32_t slot = 0; slot < StatusBarTable::kSlots; ++slot)
        before.push_back(statusBarTable().serialAt(slot));
    takePackets();
    Mobile* late = addMobile(kStranger + 20, player()->x, player()->y + 2);
    TargetGump::showLastTarget(*late);
    for (int32_t slot = 0; slot < StatusBarTable::kSlots; ++slot)
        EXPECT_EQ(statusBarTable().serialAt(slot), before[size_t(slot)]);
    const std::vector<Bytes> sent = takePackets();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(hexOf(sent.back()), "34 ED ED ED ED 04 00 00 03 14");
}

TEST_F(StatusBars, ANewTargetReplacesTheLastTargetBarAndTheCombatantStays)
{
    Mobile* first = addMobile(kStranger, player()->x + 1, player()->y);
    Mobile* second = addMobile(kStranger + 1, player()->x + 2, player()->y);
    Mobile* foe = addMobile(kStranger + 2, player()->x, player()->y + 2);
    TargetGump::showLastTarget(*first);
    TargetGump::showCombatant(*foe);
    TargetGump::showLastTarget(*second);
    std::vector<std::pair<int32_t, uint32_t>> open;
    forEachTargetGump([&](TargetGump* bar) { open.push_back({ bar->kind(), bar->mobileSerial() }); });
    ASSERT_EQ(open.size(), 2u);
    EXPECT_EQ(open[0], std::make_pair(2, kStranger + 2));
    EXPECT_EQ(open[1], std::make_pair(1, kStranger + 1));
    EXPECT_FALSE(statusBarTable().contains(kStranger)) << "the replaced bar gave its place back";
}

TEST_F(StatusBars, ATargetBarWhoseMobileLeavesClosesOnTheNextTickAndKeepsTheSlotWhileABarShowsIt)
{
    Mobile* watched = addMobile(kStranger, player()->x + 1, player()->y);
    Mobile* alone = addMobile(kStranger + 1, player()->x + 2, player()->y);
    TargetGump::showLastTarget(*watched);
    TargetGump::showCombatant(*alone);
    ASSERT_NE(openBar(kStranger), nullptr);
    takePackets();
    watched->destroy();
    alone->destroy();
    gumpManagerUpdate();
    int32_t bars = 0;
    forEachTargetGump([&](TargetGump*) { ++bars; });
    EXPECT_EQ(bars, 0);
    EXPECT_TRUE(statusBarTable().contains(kStranger)) << "its status bar is still shown";
    EXPECT_FALSE(statusBarTable().contains(kStranger + 1));
    EXPECT_EQ(countOf(takePackets(), closedPacket(kStranger + 1)), 1);
}

struct FillCase {
    const char* name;
    int32_t current;
    int32_t maximum;
    int32_t width;
};

class BarFills : public testing::TestWithParam<FillCase> { };

TEST_P(BarFills, TheFillWidthFollowsTheRatioAndAnOddBarDrawsFull)
{
    EXPECT_EQ(StatusGump::fillWidth(StatusGump::kBarWidth, GetParam().current, GetParam().maximum), GetParam().width);
}

INSTANTIATE_TEST_SUITE_P(StatusGump, BarFills,
    testing::Values(FillCase { "MaximumZero", 5, 0, 109 }, FillCase { "AboveMaximum", 12, 10, 109 },
        FillCase { "Empty", 0, 10, 0 }, FillCase { "Half", 50, 100, 54 }, FillCase { "Full", 7, 7, 109 }),
    [](const testing::TestParamInfo<FillCase>& row) { return std::string(row.param.name); });

TEST_F(StatusBars, AStrangersBarShowsItsHitsFilledToTheRatioPixelByPixel)
{
    addMobile(kStranger, player()->x + 1, player()->y);
    StatusGump* bar = openBar(kStranger);
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(bar->isMinimised());
    handleStatusInfo(statusPacket(kStranger, "Stranger", 30, 100).data());
    bar->moveTo(100, 120, true, nullptr, false);
    composeAll();
    std::vector<uint16_t> shown = screenPicture();
    test::writeSurfacePng(test::picturePath("status_stranger_bar.png"), shown.data(), 640, 480, 640);
    const uint64_t hash = test::surfaceHash(shown.data(), 640, 480, 640);
    EXPECT_EQ(hash, 0x30faebc1bc705df4ull) << std::hex << hash;

    // 30 of 100 fills 32 of 109 pixels of the row at y 38.
    const int32_t filled = StatusGump::fillWidth(109, 30, 100);
    ASSERT_EQ(filled, 32);
    for (int32_t x = 0; x < 109; ++x) {
        const uint16_t expected = x < filled ? art(2054).at(x, 5) : art(2053).at(x, 5);
        ASSERT_EQ(screenPixel(100 + 34 + x, 120 + 38 + 5), expected) << "x " << x;
    }
}

TEST_F(StatusBars, TheWarModeTheServerConfirmsTurnsThePlayersBarToTheWarFaceAndBack)
{
    StatusGump* own = openBar(player()->serial);
    ASSERT_NE(own, nullptr);
    const std::vector<uint16_t> peace = own->page(1)->pixels;
    ASSERT_FALSE(peace.empty());
    player()->warMode = 1;
    onWarModeChanged(1, {});
    // The bar's face is the war art's, inside its frame.
    const GumpPage& bar = *own->page(1);
    const fixture::GumpArtPicture& warArt = art(StatusGump::kWarBarArt);
    const fixture::GumpArtPicture& peaceArt = art(StatusGump::kPlayerBarArt);
    ASSERT_EQ(bar.width, warArt.width);
    ASSERT_NE(warArt.at(5, 5), peaceArt.at(5, 5));
    EXPECT_EQ(bar.pixel(5, 5), warArt.at(5, 5));
    EXPECT_NE(bar.pixels, peace);
    player()->warMode = 0;
    onWarModeChanged(0, {});
    EXPECT_EQ(own->page(1)->pixels, peace);
}

TEST_F(StatusBars, TheFullPageCyclesTheLockOfAStatAndSendsItsNewState)
{
    StatusGump* page = openBar(player()->serial);
    ASSERT_NE(page, nullptr);
    ASSERT_FALSE(page->isMinimised());
    page->moveTo(10, 10, true, nullptr, false);
    // The locks show only once the server reported them.
    service<StatusWindows>().statLocksChanged(player()->serial, 0, 1, 2);
    takePackets();
    std::vector<std::string> sent;
    for (int32_t click = 0; click < 3; ++click) {
        pressLeft(10 + 40 + 3, 10 + 78 + 3);
        releaseLeft(10 + 40 + 3, 10 + 78 + 3);
        for (const Bytes& packet : takePackets())
            sent.push_back(hexOf(packet));
    }
    EXPECT_EQ(sent,
        (std::vector<std::string> { "BF 00 07 00 1A 00 01", "BF 00 07 00 1A 00 02", "BF 00 07 00 1A 00 00" }));
    EXPECT_EQ(page->statLock(1), 1);
    EXPECT_EQ(page->statLock(2), 2);
}

TEST_F(StatusBars, ALockReportWithAThreeInItChangesNothing)
{
    StatusGump* page = openBar(player()->serial);
    ASSERT_NE(page, nullptr);
    const Bytes report { 0xBF, 0, 13, 0, 0x19, 2, 0, 0, 0x0A, 0xA1, 0, 0b00110100 };
    Bytes packet = report;
    packet[2] = uint8_t(packet.size());
    handleGeneralInfo(packet.data());
    EXPECT_EQ(page->statLock(0), 0);
    EXPECT_EQ(page->statLock(1), 0);
}

struct TipCase {
    int32_t x;
    int32_t y;
    int32_t id;
};

TEST(StatusTooltips, ColumnEdgesGiveTheDefaultAndInsideGivesTheCellsText)
{
    for (const TipCase& tip : { TipCase { 60, 70, 1061146 }, TipCase { 121, 123, 1061147 }, TipCase { 122, 80, -1 },
             TipCase { 186, 80, -1 }, TipCase { 257, 80, -1 }, TipCase { 300, 130, 1061157 },
             TipCase { 340, 89, 1061158 }, TipCase { 340, 150, 1061162 }, TipCase { 60, 68, -1 } })
        EXPECT_EQ(StatusGump::fullPageTooltipId(tip.x, tip.y), tip.id) << tip.x << "," << tip.y;
}

TEST_F(StatusBars, ARenameOpensTheEntryAndEnterSendsTheNewName)
{
    addMobile(kStranger, player()->x + 1, player()->y);
    StatusGump* bar = openBar(kStranger);
    ASSERT_NE(bar, nullptr);
    Bytes packet = statusPacket(kStranger, "Rex", 30, 30);
    packet[3 + 4 + 30 + 4] = 1; // the rename flag
    handleStatusInfo(packet.data());
    InputControl* entry = bar->nameEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->narrowText(), "Rex");
    entry->setNarrowText("Fido");
    takePackets();
    bar->onEnter();
    const std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    Bytes expected { 0x75, 0, 0, 3, 0 };
    for (char c : std::string("Fido"))
        expected.push_back(uint8_t(c));
    expected.resize(35, 0);
    EXPECT_EQ(hexOf(sent[0]), hexOf(expected));
}

// Docking: three bars in an L, the group moving and closing together.
class Docking : public StatusBars {
protected:
    StatusGump* barAt(uint32_t serial, int32_t x, int32_t y)
    {
        addMobile(serial, player()->x + 1, player()->y + int32_t(serial & 3));
        StatusGump* bar = openBar(serial);
        if (bar)
            bar->moveTo(x, y, true, nullptr, false);
        return bar;
    }
    // Drags a bar by its middle so that its corner lands at (x, y).
    void dragBarTo(StatusGump* bar, int32_t x, int32_t y)
    {
        const int32_t grabX = bar->minimisedWidth() / 2;
        const int32_t grabY = bar->minimisedHeight() / 2;
        pressLeft(bar->x() + grabX, bar->y() + grabY);
        pointAt(x + grabX, y + grabY);
        releaseLeft(x + grabX, y + grabY);
    }
};

struct SideCase {
    const char* name;
    int32_t dx;
    int32_t dy;
    int32_t side;
};

class DockSides : public Docking, public testing::WithParamInterface<SideCase> { };

TEST_P(DockSides, TheSideFollowsTheLargerOffsetAndTiesGoAboveOrBelow)
{
    StatusGump* other = barAt(kStranger, 200, 200);
    StatusGump* moving = barAt(kStranger + 1, 200 + GetParam().dx, 200 + GetParam().dy);
    ASSERT_TRUE(other && moving);
    EXPECT_EQ(moving->dockSideAgainst(*other), GetParam().side);
}

INSTANTIATE_TEST_SUITE_P(StatusGump, DockSides,
    testing::Values(SideCase { "Right", 100, 10, StatusGump::RightOf }, SideCase { "Left", -100, 10, StatusGump::LeftOf },
        SideCase { "Below", 10, 30, StatusGump::Below }, SideCase { "Above", 10, -30, StatusGump::Above },
        SideCase { "TieGoesBelow", 20, 20, StatusGump::Below }, SideCase { "TieAbove", -20, -20, StatusGump::Above },
        SideCase { "TooFarRight", 150, 0, StatusGump::NoSide }, SideCase { "TooFarDown", 0, 54, StatusGump::NoSide }),
    [](const testing::TestParamInfo<SideCase>& row) { return std::string(row.param.name); });

TEST_F(Docking, ATakenSideGivesNoSnapEvenWhenAnotherIsFree)
{
    StatusGump* head = barAt(kStranger, 200, 200);
    StatusGump* right = barAt(kStranger + 1, 380, 200);
    dragBarTo(right, 200 + 140, 205);
    ASSERT_EQ(head->neighbour(StatusGump::kRight), right);
    StatusGump* third = barAt(kStranger + 2, 380, 380);
    third->moveTo(200 + 120, 200 + 10, true, nullptr, false);
    EXPECT_EQ(third->dockSideAgainst(*head), StatusGump::NoSide);
}

TEST_F(Docking, BarsDockedInAnLShapeFindTheirDiagonalAndMoveAndCloseTogether)
{
    StatusGump* a = barAt(kStranger, 100, 200);
    StatusGump* b = barAt(kStranger + 1, 400, 100);
    StatusGump* c = barAt(kStranger + 2, 400, 300);
    dragBarTo(b, 100 + 145, 205);
    ASSERT_EQ(b->x(), 100 + a->minimisedWidth()) << "snapped flush to the right";
    ASSERT_EQ(b->y(), 200);
    dragBarTo(c, 105, 200 + 50);
    ASSERT_EQ(c->y(), 200 + a->minimisedHeight());
    EXPECT_EQ(a->neighbour(StatusGump::kLower), c);
    EXPECT_EQ(c->neighbour(StatusGump::kUpper), a);
    EXPECT_EQ(a->groupHead(), a);
    EXPECT_EQ(c->groupHead(), a);
    EXPECT_EQ(a->groupMembers(), (std::vector<StatusGump*> { a, b, c }));

    // A fourth below b picks up c as its left neighbour through b's.
    StatusGump* d = barAt(kStranger + 3, 500, 400);
    dragBarTo(d, 100 + 145, 200 + 50);
    EXPECT_EQ(d->neighbour(StatusGump::kUpper), b);
    EXPECT_EQ(d->neighbour(StatusGump::kLeft), c);
    EXPECT_EQ(c->neighbour(StatusGump::kRight), d);

    // Dragging any member moves the group.
    const int32_t bx = b->x();
    pressLeft(a->x() + 20, a->y() + 5);
    pointAt(a->x() + 20 + 10, a->y() + 5 + 7);
    releaseLeft(a->x() + 20, a->y() + 5);
    EXPECT_EQ(b->x(), bx + 10);

    // The head leaving makes the next member head; nobody keeps a pointer to it.
    pointer.alt = true;
    pressLeft(a->x() + 20, a->y() + 5);
    releaseLeft(a->x() + 20, a->y() + 5);
    pointer.alt = false;
    EXPECT_EQ(a->groupHead(), nullptr);
    EXPECT_EQ(b->groupHead(), b);
    EXPECT_EQ(c->groupHead(), b);
    for (StatusGump* member : { b, c, d })
        for (int32_t side = 0; side < 4; ++side)
            EXPECT_NE(member->neighbour(side), a);

    // A right click on a member closes the whole group.
    GumpHandle aliveA(a);
    pressRight(c->x() + 20, c->y() + 5);
    releaseRight(c->x() + 20, c->y() + 5);
    EXPECT_EQ(findStatusGumpOf(kStranger + 1), nullptr);
    EXPECT_EQ(findStatusGumpOf(kStranger + 2), nullptr);
    EXPECT_EQ(findStatusGumpOf(kStranger + 3), nullptr);
    EXPECT_TRUE(aliveA.get()) << "the bar that left stays";
}

} // namespace

namespace {

TEST_F(StatusBars, TheDesktopFileRestoresTheOwnBarAndWritesItBack)
{
    DesktopEntry entry;
    entry.type = DesktopRecordType::kStatusBar;
    entry.x = 30;
    entry.y = 40;
    entry.minimised = 1;
    ASSERT_TRUE(desktopRead(joinDesktopFile(player()->serial, { encodeDesktopRecord(entry) })));
    StatusGump* bar = findStatusGumpOf(player()->serial);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isMinimised());
    EXPECT_EQ(bar->x(), 30);
    EXPECT_EQ(bar->y(), 40);

    bar->moveTo(50, 60, true, nullptr, false);
    DesktopFileImage image;
    ASSERT_TRUE(splitDesktopFile(desktopLayoutBytes(), image));
    bool written = false;
    for (const DesktopRecord& record : image.records) {
        DesktopEntry read;
        if (record.type != DesktopRecordType::kStatusBar || !decodeDesktopRecord(record, read))
            continue;
        written = true;
        EXPECT_EQ(read.x, 50);
        EXPECT_EQ(read.y, 60);
        EXPECT_EQ(read.minimised, 1);
    }
    EXPECT_TRUE(written);
}

} // namespace
