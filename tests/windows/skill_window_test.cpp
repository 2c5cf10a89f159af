// The skill window over the sample world: opened by the skills request and
// the server's list, kept current by single updates, its lock and use
// buttons, groups made, renamed, filled and deleted, the group editor, the
// skill-change notice, another mobile's list, and the skills packet's
// refusals of bad input.

#include "windows/windows_test_support.h"

#include "data/server_features.h"
#include "data/skill_groups.h"
#include "data/skill_names.h"
#include "data/skill_values.h"
#include "fixtures/sample_data_writer.h"
#include "fixtures/sample_skill_art.h"
#include "fixtures/server_packet.h"
#include "gump/button.h"
#include "gump/desktop_services.h"
#include "gump/desktop_file.h"
#include "gump/input_control.h"
#include "gump/toggle_control.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "support/png_writer.h"
#include "windows/journal.h"
#include "windows/own_character_actions.h"
#include "windows/skill_group_editor.h"
#include "windows/skill_gump.h"
#include "windows/skill_lock_button.h"
#include "windows/skill_packets.h"
#include "windows/skill_window_services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

namespace {

using fixture::ServerPacket;
using windows_test::Bytes;
using windows_test::hexOf;

constexpr int32_t kAlchemy = 0;
constexpr int32_t kAnatomy = 1;
constexpr int32_t kHiding = 21;

// One skill entry of a list (number 1-based).
struct ListEntry {
    uint16_t number;
    uint16_t value;
    uint16_t base;
    uint8_t lock;
    uint16_t cap;
};

ServerPacket listPacket(uint8_t type, const std::vector<ListEntry>& entries, bool terminated = true)
{
    ServerPacket packet(0x3A);
    packet.u8(type);
    for (const ListEntry& entry : entries) {
        packet.u16(entry.number).u16(entry.value).u16(entry.base).u8(entry.lock);
        if (type == 2 || type == 3)
            packet.u16(entry.cap);
    }
    if (terminated)
        packet.u16(0);
    return packet;
}

ServerPacket onePacket(uint8_t type, uint16_t skill, uint16_t value, uint16_t base, uint8_t lock, uint16_t cap = 0)
{
    ServerPacket packet(0x3A);
    packet.u8(type).u16(skill).u16(value).u16(base).u8(lock);
    if (type == 0xDF)
        packet.u16(cap);
    return packet;
}

ServerPacket namesPacket(const std::vector<std::string>& names)
{
    ServerPacket packet(0x3A);
    packet.u8(0xFE).u16(uint16_t(names.size()));
    for (const std::string& name : names)
        packet.u8(1).u8(uint8_t(name.size())).text(name, name.size());
    return packet;
}

std::vector<ListEntry> everySkill()
{
    std::vector<ListEntry> entries;
    for (uint16_t number = 1; number <= 55; ++number)
        entries.push_back({ number, uint16_t(number * 10), uint16_t(number * 9), 0, 1000 });
    return entries;
}

class SkillWindows : public windows_test::WindowDesktop {
protected:
    SkillWindows()
    {
        fillWorld();
        skillValues().clear();
        skillGroupTable().reset();
        resetSkillChangeReports();
        setSkillGumpRequested(false);
        loadSkillNames();
    }
    ~SkillWindows() override
    {
        skillValues().clear();
        skillGroupTable().reset();
    }

    void serverSends(const Bytes& packet) { dispatchGamePacket(*currentGameConnection(), packet.data()); }

    // The player asks (the menubar's and the paperdoll's button) and the
    // server answers with its list.
    SkillGump* openPlayerWindow(const std::vector<ListEntry>& entries = everySkill())
    {
        own_actions::requestSkills();
        serverSends(listPacket(2, entries).bytes());
        return playerSkillGump();
    }
    int32_t skillWindowCount() const
    {
        int32_t count = 0;
        for (CGump* gump = gumpListHead(); gump; gump = gump->next())
            count += gump->is(GumpKind::SkillGump) ? 1 : 0;
        return count;
    }
    // A click on a window point.
    void clickAt(CGump* gump, int32_t x, int32_t y)
    {
        gump->localToScreen(x, y);
        pressLeft(x, y);
        releaseLeft(x, y);
    }
    // The window y of a row's first pixel row.
    int32_t rowY(SkillGump* window, int32_t row) const
    {
        return SkillGump::kListTop + (row - window->topRow()) * SkillGump::kRowHeight;
    }
    // Scrolls with the window's down button until the row shows; its y.
    int32_t showRow(SkillGump* window, int32_t row)
    {
        while (row >= window->topRow() + window->rowsShown() && row < int32_t(window->rows().size()))
            clickAt(window, 290 + 3, window->height() - 16 - 66 + 3);
        while (row < window->topRow())
            window->scrollRows(-1);
        return rowY(window, row);
    }
    // The newest window of another mobile's skills.
    static SkillGump* newestOtherWindow()
    {
        for (CGump* gump = gumpListHead(); gump; gump = gump->next())
            if (gump->is(GumpKind::SkillGump) && static_cast<SkillGump*>(gump)->isReadOnly())
                return static_cast<SkillGump*>(gump);
        return nullptr;
    }
    int32_t rowOf(SkillGump* window, SkillListRow wanted) const
    {
        const std::vector<SkillListRow> rows = window->rows();
        const auto found = std::find(rows.begin(), rows.end(), wanted);
        return found == rows.end() ? -1 : int32_t(found - rows.begin());
    }
    SkillLockButton* lockButtonOf(SkillGump* window, int32_t skill) const
    {
        for (CGump* child = window->firstChild(); child; child = child->next())
            if (child->is(GumpKind::SkillLock) && static_cast<SkillLockButton*>(child)->skill() == skill)
                return static_cast<SkillLockButton*>(child);
        return nullptr;
    }
    std::string lastJournalLine() const
    {
        const auto& entries = journal().entries();
        return entries.empty() ? std::string() : entries.back().narrow;
    }

    SkillWindowServices skillServices;
};

TEST_F(SkillWindows, TheSkillsRequestAndTheServersListOpenThePlayersWindowOnce)
{
    takePackets();
    own_actions::requestSkills();
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]).substr(0, 17), "34 ED ED ED ED 05");
    EXPECT_TRUE(isSkillGumpRequested());
    serverSends(listPacket(2, everySkill()).bytes());
    SkillGump* window = playerSkillGump();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->x(), 100);
    EXPECT_EQ(window->y(), 100);
    EXPECT_FALSE(isSkillGumpRequested());
    EXPECT_EQ(skillValues().value[size_t(kHiding)], 220);
    EXPECT_EQ(skillValues().cap[size_t(kHiding)], 1000);

    // A list nobody asked for updates the window without another one.
    serverSends(listPacket(0, { { 1, 77, 70, 2, 0 } }).bytes());
    EXPECT_EQ(skillWindowCount(), 1);
    EXPECT_EQ(skillValues().value[size_t(kAlchemy)], 77);
    EXPECT_EQ(skillValues().value[size_t(kHiding)], 0) << "a type 0 list replaces the whole table";
    EXPECT_EQ(skillValues().cap[size_t(kAlchemy)], 1000);

    // Asked again while open: minimised, it comes back.
    window->minimize();
    own_actions::requestSkills();
    serverSends(listPacket(0, { { 1, 77, 70, 2, 0 } }).bytes());
    EXPECT_EQ(skillWindowCount(), 1);
    EXPECT_FALSE(window->isMinimised());
}

TEST_F(SkillWindows, ASingleUpdateWithoutACapStoresTheDefaultAndTheOpenWindowShowsIt)
{
    SkillGump* window = openPlayerWindow();
    ASSERT_NE(window, nullptr);
    serverSends(onePacket(0xFF, 5, 512, 500, 1).bytes());
    EXPECT_EQ(skillValues().value[5], 512);
    EXPECT_EQ(skillValues().cap[5], 1000);
    EXPECT_EQ(skillValues().lock[5], 1);
    EXPECT_EQ(window->shownValue(5), 512);
    serverSends(onePacket(0xDF, 5, 513, 500, 2, 900).bytes());
    EXPECT_EQ(skillValues().cap[5], 900);
}

TEST_F(SkillWindows, ALongListStoresItsFirst55AndAZeroFirstNumberClearsTheTable)
{
    std::vector<ListEntry> entries = everySkill();
    for (uint16_t extra = 0; extra < 5; ++extra)
        entries.push_back({ uint16_t(1 + extra), 999, 999, 0, 1000 });
    serverSends(listPacket(2, entries).bytes());
    EXPECT_EQ(skillValues().value[0], 10) << "entries past the 55th are not read";
    EXPECT_EQ(skillValues().value[54], 550);

    serverSends(listPacket(0, {}).bytes());
    EXPECT_EQ(skillValues().value[0], 0);
    EXPECT_EQ(skillValues().value[54], 0);
}

TEST_F(SkillWindows, ServerNamesReplaceTheTableAndSortIt)
{
    serverSends(namesPacket({ "Zeal", "Apples", "Mending" }).bytes());
    EXPECT_EQ(skillNameTable().count, 3);
    EXPECT_EQ(skillNameTable().nameOf(1), "Apples");
    EXPECT_EQ(skillNameTable().alphabetical[0], 1);
    EXPECT_EQ(skillNameTable().alphabetical[2], 0);
}

TEST_F(SkillWindows, AnotherMobilesListOpensItsOwnReadOnlyWindowAndLeavesThePlayersLocks)
{
    SkillGump* own = openPlayerWindow();
    ASSERT_NE(own, nullptr);
    skillValues().lock[kAnatomy] = 1;
    serverSends(listPacket(3, { { 2, 300, 250, 2, 800 } }).bytes());
    ASSERT_EQ(skillWindowCount(), 2);
    SkillGump* other = newestOtherWindow();
    ASSERT_NE(other, nullptr);
    ASSERT_NE(other, own);
    EXPECT_TRUE(other->isReadOnly());
    EXPECT_EQ(other->shownValue(kAnatomy), 300);
    EXPECT_EQ(skillValues().value[kAnatomy], 20) << "the player's values stay";
    EXPECT_EQ(other->total(), 250) << "another's total sums its base values";

    // Its lock button shows the other's state; a click neither changes it
    // nor sends anything for the player's skill of that number.
    other->toggleGroup(0);
    SkillLockButton* lock = lockButtonOf(other, kAnatomy);
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(lock->state(), 2);
    EXPECT_EQ(skillValues().lock[kAnatomy], 1);
    takePackets();
    clickAt(lock, 3, 3);
    EXPECT_TRUE(takePackets().empty());
    EXPECT_EQ(lock->state(), 2);
    EXPECT_EQ(skillValues().lock[kAnatomy], 1);
}

TEST_F(SkillWindows, AnotherMobilesWindowsAreBounded)
{
    for (int32_t i = 0; i < kMaxOtherSkillWindows + 3; ++i)
        serverSends(listPacket(1, { { 2, uint16_t(i), 0, 0, 0 } }).bytes());
    EXPECT_EQ(skillWindowCount(), kMaxOtherSkillWindows);
    EXPECT_EQ(newestOtherWindow()->shownValue(kAnatomy), kMaxOtherSkillWindows + 2)
        << "the newest stays";
}

TEST_F(SkillWindows, ThreeClicksOnALockCycleItAndSendEachState)
{
    SkillGump* window = openPlayerWindow();
    ASSERT_NE(window, nullptr);
    window->toggleGroup(0);
    showRow(window, rowOf(window, { 0, kHiding }));
    SkillLockButton* lock = lockButtonOf(window, kHiding);
    ASSERT_NE(lock, nullptr);
    takePackets();
    std::vector<std::string> sent;
    std::vector<int32_t> states;
    for (int32_t click = 0; click < 3; ++click) {
        clickAt(lock, 3, 3);
        for (const Bytes& packet : takePackets())
            sent.push_back(hexOf(packet));
        states.push_back(skillValues().lock[kHiding]);
    }
    EXPECT_EQ(sent, (std::vector<std::string> { "3A 00 06 00 15 01", "3A 00 06 00 15 02", "3A 00 06 00 15 00" }));
    EXPECT_EQ(states, (std::vector<int32_t> { 1, 2, 0 }));
}

TEST_F(SkillWindows, TheUseButtonSendsTheSkillAsATextCommand)
{
    SkillGump* window = openPlayerWindow();
    ASSERT_NE(window, nullptr);
    window->toggleGroup(0);
    const int32_t row = rowOf(window, { 0, kHiding });
    ASSERT_GE(row, 0);
    const int32_t y = showRow(window, row);
    takePackets();
    clickAt(window, SkillGump::kListLeft + 8 + 3, y + 3);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "12 00 09 24 32 31 20 30 00");
    EXPECT_EQ(lastUsedSkill(), kHiding);
}

TEST_F(SkillWindows, ChangesAddUpToTheReportStepAndThenTellTheLatest)
{
    serverSends(listPacket(2, everySkill()).bytes());
    const size_t before = journal().entries().size();
    serverSends(onePacket(0xFF, kHiding, 225, 200, 0).bytes());
    EXPECT_EQ(journal().entries().size(), before) << "a first rise of 0.5 says nothing";
    serverSends(onePacket(0xFF, kHiding, 230, 200, 0).bytes());
    EXPECT_EQ(lastJournalLine(), "Your skill in Hiding has increased by 0.5%.  It is now 23.0%.");
    serverSends(onePacket(0xFF, kHiding, 210, 200, 0).bytes());
    EXPECT_EQ(lastJournalLine(), "Your skill in Hiding has decreased by 2.0%.  It is now 21.0%.");
}

TEST_F(SkillWindows, GroupsAreAddedFilledByDraggingAndDeletedBackIntoMiscellaneous)
{
    SkillGump* window = openPlayerWindow();
    ASSERT_NE(window, nullptr);
    clickAt(window, 56 + 5, window->height() - 59 + 5);
    ASSERT_EQ(skillGroupTable().count, 2);
    EXPECT_EQ(skillGroupTable().names[1], "New Group");

    // Hiding dragged from the expanded Miscellaneous onto the new header.
    window->scrollRows(-100);
    window->toggleGroup(0);
    int32_t row = rowOf(window, { 0, kAlchemy });
    ASSERT_EQ(row, 1);
    const int32_t header = rowOf(window, { 1, -1 });
    int32_t x = SkillGump::kListLeft + 40, y = rowY(window, row) + 5;
    window->localToScreen(x, y);
    pressLeft(x, y);
    pointAt(x, y + 8);
    EXPECT_TRUE(window->isDraggingRow());
    while (header >= window->topRow() + window->rowsShown())
        window->scrollRows(1);
    int32_t hx = SkillGump::kListLeft + 40, hy = rowY(window, header) + 5;
    window->localToScreen(hx, hy);
    pointAt(hx, hy);
    EXPECT_EQ(window->dropGroup(), 1);
    releaseLeft(hx, hy);
    EXPECT_EQ(skillGroupTable().groupOf(kAlchemy), 1);
    EXPECT_EQ(rowOf(window, { 0, kAlchemy }), -1);

    // The group selected and deleted with the Delete key.
    const int32_t newHeader = rowOf(window, { 1, -1 });
    clickAt(window, SkillGump::kListLeft + 30, showRow(window, newHeader) + 5);
    ASSERT_EQ(window->selectedGroup(), 1);
    window->onKey(GumpKey::kDelete);
    EXPECT_EQ(skillGroupTable().count, 1);
    EXPECT_EQ(skillGroupTable().groupOf(kAlchemy), 0);
    EXPECT_EQ(lastJournalLine(), "Skills moved to Miscellaneous.");
}

TEST_F(SkillWindows, AHeaderTakesANewNameInPlace)
{
    skillGroupTable().addGroup("Crafts");
    SkillGump* window = openPlayerWindow();
    ASSERT_NE(window, nullptr);
    const int32_t header = rowOf(window, { 1, -1 });
    const int32_t y = rowY(window, header) + 5;
    clickAt(window, SkillGump::kListLeft + 30, y);
    advance(600);
    clickAt(window, SkillGump::kListLeft + 30, y);
    EXPECT_FALSE(window->isRenaming()) << "a second press could still come";
    advance(600);
    int32_t x = SkillGump::kListLeft + 30, screenY = y;
    window->localToScreen(x, screenY);
    pointAt(x, screenY);
    InputControl* entry = window->renameEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->narrowText(), "Crafts");
    entry->setNarrowText("Trades");
    entry->onKey(GumpKey::kEnter);
    EXPECT_FALSE(window->isRenaming());
    EXPECT_EQ(skillGroupTable().names[1], "Trades");
}

TEST_F(SkillWindows, TheEditorDeletesGroupThreeOfFiveAndRenumbersTheRest)
{
    SkillGroupTable& groups = skillGroupTable();
    for (const char* name : { "One", "Two", "Three", "Four" })
        groups.addGroup(name);
    groups.moveSkill(kAlchemy, 3);
    groups.moveSkill(kAnatomy, 4);
    SkillGump* window = openPlayerWindow();
    ASSERT_NE(window, nullptr);
    window->toggleGroup(4);
    // A double click on the header opens the editor.
    const int32_t header = rowOf(window, { 3, -1 });
    clickAt(window, SkillGump::kListLeft + 30, rowY(window, header) + 5);
    clickAt(window, SkillGump::kListLeft + 30, rowY(window, header) + 5);
    EditGroupGump* editor = nullptr;
    for (CGump* gump = gumpListHead(); gump; gump = gump->next())
        if (gump->typeName() == std::string_view("EditGroup gump"))
            editor = static_cast<EditGroupGump*>(gump);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->group(), 3);
    EXPECT_EQ(editor->nameEntry()->narrowText(), "Three");
    clickAt(editor, 84 + 5, 80 + 5);
    EXPECT_EQ(groups.count, 4);
    EXPECT_EQ(groups.groupOf(kAlchemy), 0);
    EXPECT_EQ(groups.groupOf(kAnatomy), 3);
    EXPECT_EQ(groups.names[3], "Four");
    EXPECT_TRUE(window->isExpanded(3)) << "the expanded flag moves with its group";
    EXPECT_FALSE(window->isExpanded(4));
}

TEST_F(SkillWindows, ShowRealAndShowCapsAreNeverOnTogether)
{
    SkillGump* window = openPlayerWindow();
    ASSERT_NE(window, nullptr);
    const int32_t w = window->width(), h = window->height();
    clickAt(window, w - 150 + 3, h - 60 + 3);
    EXPECT_TRUE(window->showsReal());
    EXPECT_EQ(window->shownValue(kHiding), 22 * 9);
    EXPECT_EQ(window->total(), 9 * 55 * 56 / 2);
    clickAt(window, w - 150 + 3, h - 48 + 3);
    EXPECT_TRUE(window->showsCaps());
    EXPECT_FALSE(window->showsReal());
    EXPECT_EQ(window->shownValue(kHiding), 1000);
    EXPECT_EQ(window->total(), 10 * 55 * 56 / 2);
}

// The names a server sent are its own: the next login's window data reads
// the data files' names again.
TEST_F(SkillWindows, TheNextLoginReadsTheSkillNamesOfTheDataFilesAgain)
{
    loadSkillNames();
    const SkillNameTable fromFiles = skillNameTable();
    serverSends(namesPacket({ "Zeal", "Apples", "Mending" }).bytes());
    ASSERT_EQ(skillNameTable().nameOf(1), "Apples");
    service<DesktopWindows>().loadWindowData();
    EXPECT_EQ(skillNameTable().count, fromFiles.count);
    EXPECT_EQ(skillNameTable().names, fromFiles.names);
    EXPECT_EQ(skillNameTable().alphabetical, fromFiles.alphabetical);
}

TEST_F(SkillWindows, TheDesktopFileKeepsThePlaceSizeAndMinimisedFaceForTheNextList)
{
    SkillGump* window = openPlayerWindow();
    ASSERT_NE(window, nullptr);
    window->moveTo(150, 60, true, nullptr, false);
    window->resize(window->width(), 360, false);
    const std::vector<uint8_t> open = desktopLayoutBytes();
    window->minimize();
    const std::vector<uint8_t> minimised = desktopLayoutBytes();

    // Each read back as at the next login: the skills are asked for, and
    // the server's list opens the window as it was.
    for (const std::vector<uint8_t>* layout : { &open, &minimised }) {
        closeGump(playerSkillGump());
        desktopReset();
        takePackets();
        ASSERT_TRUE(desktopRead(*layout));
        std::vector<Bytes> sent = takePackets();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(hexOf(sent[0]).substr(0, 17), "34 ED ED ED ED 05");
        EXPECT_TRUE(isSkillGumpRequested());
        serverSends(listPacket(2, everySkill()).bytes());
        window = playerSkillGump();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->isMinimised(), layout == &minimised);
        EXPECT_EQ(window->height(), 360);
        EXPECT_EQ(window->rowsShown(), (360 - 16 - 70 - SkillGump::kListTop) / SkillGump::kRowHeight);
        if (layout == &open) {
            EXPECT_EQ(window->x(), 150);
            EXPECT_EQ(window->y(), 60);
        }
    }
    desktopReset();
}

struct SkillHiddenCase {
    const char* name;
    uint32_t features;
    bool propertyLists;
    bool samurai;
    std::vector<int32_t> hidden;
};

void PrintTo(const SkillHiddenCase& c, std::ostream* os) { *os << c.name; }

class HiddenSkills : public SkillWindows, public testing::WithParamInterface<SkillHiddenCase> { };

TEST_P(HiddenSkills, OnlyTheGrantedSkillsAreListed)
{
    const SkillHiddenCase& c = GetParam();
    setServerFeatures(c.features);
    storeCharacterListFlags((c.propertyLists ? 0x20u : 0u) | (c.samurai ? 0x80u : 0u));
    std::vector<int32_t> hidden;
    for (int32_t skill = 45; skill < 55; ++skill)
        if (isSkillHidden(skill))
            hidden.push_back(skill);
    setServerFeatures(0);
    storeCharacterListFlags(0);
    EXPECT_EQ(hidden, c.hidden);
}

INSTANTIATE_TEST_SUITE_P(SkillGump, HiddenSkills,
    testing::Values(SkillHiddenCase { "NothingGranted", 0, false, false, { 49, 50, 51, 52, 53 } },
        SkillHiddenCase { "PropertyListsOnly", 0, true, false, { 49, 51, 52, 53 } },
        SkillHiddenCase { "CombatSkills", 0x10, true, false, { 52, 53 } },
        SkillHiddenCase { "SamuraiWithoutTheFlag", 0x50, true, false, { 52, 53 } },
        SkillHiddenCase { "Everything", 0x50, true, true, {} }),
    [](const testing::TestParamInfo<SkillHiddenCase>& row) { return std::string(row.param.name); });

TEST_F(SkillWindows, TheWindowDrawsItsRowsWhereTheListSaysPixelByPixel)
{
    skillGroupTable().addGroup("Crafts");
    SkillGump* window = openPlayerWindow();
    ASSERT_NE(window, nullptr);
    window->toggleGroup(0);
    window->moveTo(60, 40, true, nullptr, false);
    composeAll();
    std::vector<uint16_t> shown = screenPicture();
    test::writeSurfacePng(test::picturePath("skill_window.png"), shown.data(), 640, 480, 640);
    const uint64_t hash = test::surfaceHash(shown.data(), 640, 480, 640);
    EXPECT_EQ(hash, 0xa4accedd041372c4ull) << std::hex << hash;

    // The arrows stand at the list's left, one row of 17 pixels apart: the
    // expanded one on the first row, collapsed on the header after the
    // skills that fit (none of "Crafts" shows: the list is full).
    const std::map<int32_t, fixture::GumpArtPicture> art = fixture::sampleGumpArt();
    const fixture::GumpArtPicture& expanded = art.at(SkillGump::kExpandedArt);
    for (int32_t y = 0; y < expanded.height; ++y)
        for (int32_t x = 0; x < expanded.width; ++x)
            ASSERT_EQ(screenPixel(60 + SkillGump::kListLeft + x, 40 + SkillGump::kListTop + y),
                expanded.pixels[size_t(y * expanded.width + x)])
                << x << "," << y;
    // Each shown skill row carries its lock button at right + 24 on its row.
    for (int32_t row = 1; row < window->rowsShown(); ++row) {
        const SkillListRow listed = window->rows()[size_t(row)];
        SkillLockButton* lock = lockButtonOf(window, listed.skill);
        ASSERT_NE(lock, nullptr) << row;
        EXPECT_EQ(lock->x(), SkillGump::kListRight + 24);
        EXPECT_EQ(lock->y(), SkillGump::kListTop + row * SkillGump::kRowHeight);
        EXPECT_EQ(screenPixel(60 + lock->x() + 5, 40 + lock->y() + 5), art.at(2436).pixels[5 * 10 + 5]);
    }
    EXPECT_EQ(lockButtonOf(window, window->rows()[size_t(window->rowsShown())].skill), nullptr)
        << "rows below the list have no buttons";
}

// Bad input: each good packet cut at every byte, and packets with values out
// of range, change nothing.
struct BadSkillsCase {
    std::string name;
    Bytes packet;
};

std::vector<BadSkillsCase> badSkillsPackets()
{
    std::vector<BadSkillsCase> cases {
        { "SingleIndex55", onePacket(0xFF, 55, 1, 1, 0).bytes() },
        { "SingleIndexHigh", onePacket(0xDF, 0xFFFF, 1, 1, 0, 1).bytes() },
        { "SingleLock3", onePacket(0xFF, 3, 1, 1, 3).bytes() },
        { "ListNumber56", listPacket(2, { { 1, 5, 5, 0, 9 }, { 56, 5, 5, 0, 9 } }).bytes() },
        { "ListLock9", listPacket(0, { { 1, 5, 5, 9, 0 } }).bytes() },
        { "ListWithoutItsEnd", listPacket(0, { { 1, 5, 5, 0, 0 } }, false).bytes() },
        { "TooManyNames", namesPacket(std::vector<std::string>(56, "Name")).bytes() },
        { "NameCountPastTheEnd", ServerPacket(0x3A).u8(0xFE).u16(3).u8(1).u8(2).text("Ab", 2).bytes() },
        { "NameLengthPastTheEnd", ServerPacket(0x3A).u8(0xFE).u16(1).u8(1).u8(200).text("Ab", 2).bytes() },
        { "Empty", ServerPacket(0x3A).bytes() },
    };
    const std::vector<std::pair<const char*, ServerPacket>> good {
        { "Single", onePacket(0xFF, 3, 100, 90, 1) },
        { "SingleWithCap", onePacket(0xDF, 3, 100, 90, 1, 700) },
        { "List", listPacket(0, { { 1, 5, 5, 1, 0 }, { 4, 6, 6, 2, 0 } }) },
        { "ListWithCaps", listPacket(2, { { 1, 5, 5, 1, 900 }, { 4, 6, 6, 2, 800 } }) },
        { "OtherList", listPacket(3, { { 1, 5, 5, 1, 900 } }) },
        { "Names", namesPacket({ "Aa", "Bb" }) },
    };
    for (const auto& [name, packet] : good) {
        for (size_t cut = 1; cut + 3 <= packet.size(); ++cut)
            cases.push_back({ std::string(name) + "CutBy" + std::to_string(cut), packet.truncatedBy(cut) });
    }
    return cases;
}

void PrintTo(const BadSkillsCase& c, std::ostream* os) { *os << c.name; }

// The handler alone: a refused packet reaches no window (none could open
// without the gump system), and the tables stay as they were.
class BadSkillsPackets : public testing::TestWithParam<BadSkillsCase> {
protected:
    void SetUp() override
    {
        skillNameTable() = SkillNameTable {};
        skillNameTable().setSkill(0, 1, "Alchemy");
        skillNameTable().setSkill(1, 0, "Anatomy");
        skillNameTable().sortIndex();
        handleSkills(listPacket(2, everySkill()).bytes().data());
        resetSkillChangeReports();
    }
    void TearDown() override
    {
        skillValues().clear();
        skillNameTable() = SkillNameTable {};
    }
};

TEST_P(BadSkillsPackets, AreRefusedWholeWithNothingChanged)
{
    const SkillValues valuesBefore = skillValues();
    const SkillNameTable namesBefore = skillNameTable();
    ASSERT_EQ(valuesBefore.value[54], 550);
    handleSkills(GetParam().packet.data());
    EXPECT_EQ(skillValues().value, valuesBefore.value);
    EXPECT_EQ(skillValues().base, valuesBefore.base);
    EXPECT_EQ(skillValues().lock, valuesBefore.lock);
    EXPECT_EQ(skillValues().cap, valuesBefore.cap);
    EXPECT_EQ(skillNameTable().names, namesBefore.names);
    EXPECT_EQ(skillNameTable().count, namesBefore.count);
    EXPECT_EQ(gumpListHead(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(SkillPackets, BadSkillsPackets, testing::ValuesIn(badSkillsPackets()),
    [](const testing::TestParamInfo<BadSkillsCase>& row) { return row.param.name; });

} // namespace
