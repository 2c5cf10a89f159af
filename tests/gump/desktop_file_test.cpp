// The desktop file: its records, choosing and reading it, the windows the
// server reopens, writing it back (records of windows this client does not
// show yet included), and damaged files.
#include "generic_gump_test_support.h"

#include "data/client_services.h"
#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "data/server_config_store.h"
#include "data/settings_registry.h"
#include "gump/desktop_file.h"
#include "gump/desktop_services.h"
#include "gump/gump_factory.h"
#include "world/mobile.h"
#include "world/multi_cache.h"
#include "world/object_manager.h"
#include "world/tile_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

using Bytes = std::vector<uint8_t>;
namespace Type = DesktopRecordType;

constexpr uint32_t kPlayer = 0x00000F01;
constexpr uint32_t kBackpack = 0x40000020;
constexpr uint32_t kPouch = 0x40000021;
constexpr uint32_t kBook = 0x40000022;
constexpr uint32_t kChest = 0x40000023;
constexpr uint16_t kBackpackGraphic = 0x0E75;
constexpr uint16_t kPouchGraphic = 0x0E79;

// A desktop file written field by field, little-endian, independently of
// the client's own record code.
class LayoutFile {
public:
    explicit LayoutFile(uint32_t serial) { u32(serial); }
    LayoutFile& type(uint8_t value) { return u8(value); }
    LayoutFile& u8(uint32_t value)
    {
        bytes.push_back(uint8_t(value));
        return *this;
    }
    LayoutFile& u16(uint32_t value) { return u8(value).u8(value >> 8); }
    LayoutFile& u32(uint32_t value) { return u16(value).u16(value >> 16); }
    LayoutFile& i32(int32_t value) { return u32(uint32_t(value)); }
    LayoutFile& xy(int32_t x, int32_t y) { return i32(x).i32(y); }

    // Records of the fixture.
    LayoutFile& paperdoll(int32_t x, int32_t y) { return type(Type::kPaperdoll).xy(x, y).u8(0); }
    LayoutFile& statusBar(int32_t x, int32_t y, bool compact) { return type(Type::kStatusBar).xy(x, y).u8(compact); }
    LayoutFile& container(int32_t x, int32_t y, uint32_t serial) { return type(Type::kContainer).xy(x, y).u32(serial).u8(0); }
    LayoutFile& geometry(int32_t width, int32_t height)
    {
        return type(Type::kWindowGeometry).xy(4, 6).xy(100, 50).xy(width, height).u8(1);
    }
    LayoutFile& options(int32_t x, int32_t y) { return type(Type::kOptions).xy(x, y).u8(0); }

    Bytes bytes;
};

// One record of every type the reader knows, for windows this client does
// not show: all of them are kept.
LayoutFile everyKeptRecord()
{
    LayoutFile file(kPlayer);
    file.paperdoll(10, 20);
    file.statusBar(30, 40, true);
    file.type(Type::kTextWindow).xy(1, 2).u8(1).u16(300).u16(200);
    file.container(50, 60, kBackpack).container(70, 80, kPouch);
    file.type(Type::kSkillWindow).xy(3, 4).u8(0).u16(250).u16(400);
    file.type(Type::kSpellbook).xy(5, 6).u8(1).u8(3).u32(kBook);
    file.options(7, 8);
    file.type(Type::kFightingStyle).xy(9, 10).u8(1);
    file.type(Type::kOldSpellIcon).xy(11, 12).u8(4);
    file.type(Type::kChat).xy(13, 14).i32(300).i32(200).i32(7).i32(8).i32(0).u32(1);
    file.type(Type::kGmChat).xy(15, 16).i32(100).i32(90).i32(1).u32(1);
    file.type(Type::kWebPage).xy(17, 18).i32(110).i32(91).i32(0).u32(0);
    file.type(Type::kMessageList).xy(19, 20).i32(120).i32(92).i32(0).u32(1);
    file.type(Type::kRadar).xy(21, 22).u8(1);
    file.geometry(800, 600);
    file.type(Type::kSizedContainer).xy(23, 24).u32(kChest).u8(0).u16(180).u16(120);
    file.type(Type::kSkillIcon).xy(25, 26).u8(12);
    file.type(Type::kAbilityIcon).xy(27, 28).u8(2);
    file.type(Type::kAbilityBook).xy(29, 30).u8(0).u8(2);
    file.type(Type::kItemProperties).xy(31, 32);
    file.type(Type::kSpellIcon).xy(33, 34).u32(0x12345);
    file.type(Type::kHelpPopup).xy(35, 36);
    return file;
}

std::multiset<Bytes> recordsOf(const Bytes& file)
{
    DesktopFileImage image;
    EXPECT_TRUE(splitDesktopFile(file, image));
    std::multiset<Bytes> records;
    for (const DesktopRecord& record : image.records) {
        Bytes bytes { record.type };
        bytes.insert(bytes.end(), record.payload.begin(), record.payload.end());
        records.insert(bytes);
    }
    return records;
}

// The world objects as the gumps see them: container windows own real items.
class LayoutWorld final : public GumpWorld {
public:
    bool isValidObject(WorldObject* object) override { return object != nullptr; }
    bool isPlayer(WorldObject* object) override { return object && object == static_cast<WorldObject*>(player()); }
    bool isMobile(WorldObject* object) override { return isPlayer(object); }
    bool isCorpse(WorldObject*) override { return false; }
    bool isContainer(WorldObject* object) override { return serials.count(object) != 0; }
    bool isLiftableItem(WorldObject*) override { return false; }
    uint32_t serialOf(WorldObject* object) override
    {
        auto found = serials.find(object);
        return found == serials.end() ? 0 : found->second;
    }
    WorldObject* parentObject(WorldObject* object) override
    {
        auto found = serials.find(object);
        Item* item = found == serials.end() ? nullptr : findItemBySerial(found->second);
        return item ? static_cast<WorldObject*>(item->container()) : nullptr;
    }
    void forgetOpenGump(WorldObject*, CGump*) override { }
    std::vector<NameCandidate> nameCandidates(const ScreenRect&) override { return {}; }

    WorldObject* object(uint32_t serial)
    {
        Item* item = findItemBySerial(serial);
        WorldObject* object = item;
        serials[object] = serial;
        return object;
    }

    std::map<WorldObject*, uint32_t> serials;
};

class InWorld final : public GameStateService {
public:
    bool isInGame() override { return inGame; }
    void setPlayerInGame(bool value) override { inGame = value; }
    bool hasPlayer() override { return true; }
    int32_t playerUpdateRange() override { return 18; }
    bool isPlayerDead() override { return false; }
    bool playerWarFlag() override { return false; }
    void setPlayerWarFlag(bool) override { }
    void redrawRangeColouring() override { }
    void clearWorldViewHighlight() override { }
    void resetWorldForConnect() override { }
    void requestStopAllIgrSessions() override { }
    bool inGame = true;
};

// The main window as a test sets it.
class TestShell final : public DesktopShell {
public:
    bool windowGeometry(DesktopWindowGeometry& out) override
    {
        out = geometry;
        return true;
    }
    bool applyWindowGeometry(const DesktopWindowGeometry& given) override
    {
        applied.push_back(given);
        return true;
    }
    void fillWorkArea() override { ++workAreaFills; }
    DesktopWindowGeometry geometry { 0, 0, 20, 30, 640, 480, false };
    std::vector<DesktopWindowGeometry> applied;
    int32_t workAreaFills = 0;
};

// A factory that makes plain windows of the asked kinds.
class TestWindows final : public FactoryWindows {
public:
    CGump* make(GumpKind kind)
    {
        auto* window = new gump_test::PageGump(0, 0, 20, 20, 0x1234);
        window->addKind(kind);
        made.push_back(GumpHandle(window));
        return window;
    }
    CGump* createTextWindow(int32_t, int32_t) override { return make(GumpKind::TextWindow); }
    CGump* createStatusBar(WorldObject* owner, bool) override
    {
        CGump* bar = make(GumpKind::StatusGump);
        bar->setOwner(owner);
        return bar;
    }
    void reslotStatusBar(CGump*) override { }
    CGump* createPaperdoll(WorldObject*, int32_t, int32_t) override { return nullptr; }
    CGump* createShop(WorldObject*, int32_t, int32_t) override { return nullptr; }
    CGump* createStackChooser(WorldObject*, int32_t, int32_t) override { return nullptr; }
    CGump* optionsWindow() override { return nullptr; }
    bool hasOptionsRecord() override { return true; }
    CGump* createOptionsWindow() override { return make(GumpKind::OptionsGump); }
    CGump* createRadar(int32_t face, int32_t, int32_t) override
    {
        CGump* radar = make(GumpKind::Radar);
        radar->setSpareWord(face);
        return radar;
    }
    int32_t radarSizeValue(CGump* radar) override { return radar->spareWord() == gump_kind::kRadarLarge ? 200 : 50; }
    CGump* createAbilityBook(int32_t, int32_t) override { return nullptr; }
    CGump* createContainer(WorldObject*, int32_t, int32_t, int32_t, int32_t, int32_t) override { return nullptr; }

    std::vector<GumpHandle> made;
};

class DesktopLayout : public gump_test::Desktop {
protected:
    DesktopLayout()
    {
        for (uint16_t graphic : { kBackpackGraphic, kPouchGraphic })
            setContainerTile(graphic);
        // The options window's pictures, which the factory asks for.
        art.add(5000, fixture::solidPicture(20, 20, 0x0421));
        art.add(5001, fixture::solidPicture(20, 20, 0x0842));
        art.install();
        initWorldObjects();
        createPlayerObject();
        player()->serial = kPlayer;
        setPlayerSerial(kPlayer);
        EXPECT_TRUE(equipItemOnMobile(kPlayer, kBackpack, kBackpackGraphic, Mobile::kBackpackLayer, 0));
        EXPECT_TRUE(addItemToContainer(kPouch, kPouchGraphic, 0, 1, 40, 50, kBackpack, 0));
        desktopReset();
    }
    ~DesktopLayout() override
    {
        gumpSystemShutdown();
        desktopReset();
        initWorldObjects();
        setPlayerSerial(0);
        configFiles().setAccountName("");
        configFiles().setShardName("");
        configFiles().setCharacterName("");
        serverConfigStore().setEnabled(false);
        serverConfigStore().setSyncFlag(0);
        installGameState(previousGameState);
    }

    static void setContainerTile(uint16_t graphic)
    {
        int32_t group = TileData::kFirstItemGroup + graphic / 32;
        TileDataItemGroup data;
        for (int32_t i = 0; i < 32; ++i)
            data.records[size_t(i)] = tileData().item((graphic / 32) * 32 + i);
        data.records[size_t(graphic % 32)].flags = kTileContainer;
        ItemGroupChange change;
        tileData().applyItemGroup(group, data, change);
    }

    static Bytes write()
    {
        return desktopLayoutBytes();
    }

    static void useCharacter(const std::string& account, const std::string& shard, const std::string& character)
    {
        configFiles().setAccountName(account);
        configFiles().setShardName(shard);
        configFiles().setCharacterName(character);
    }

    LayoutWorld layoutWorld;
    ScopedService<GumpWorld> scopedLayoutWorld { layoutWorld };
    InWorld inWorld;
    GameStateService* previousGameState = installGameState(&inWorld);
};

// ---- Records -----------------------------------------------------------------

TEST(DesktopRecords, EveryTypeDecodesAndEncodesItsWholePayload)
{
    for (int type = 0; type <= Type::kLast; ++type) {
        const int32_t size = desktopRecordSize(uint8_t(type));
        if (type == Type::kInvalid) {
            EXPECT_EQ(size, -1);
            continue;
        }
        ASSERT_GT(size, 0) << type;
        DesktopRecord record { uint8_t(type), {} };
        for (int32_t i = 0; i < size; ++i)
            record.payload.push_back(uint8_t(0x11 * (i + 1) + type));
        DesktopEntry entry;
        ASSERT_TRUE(decodeDesktopRecord(record, entry)) << type;
        if (type == Type::kSkipped)
            continue;
        EXPECT_EQ(encodeDesktopRecord(entry), record) << "type " << type << " keeps every byte";
    }
    EXPECT_EQ(desktopRecordSize(25), -1);
    EXPECT_EQ(desktopRecordSize(255), -1);
}

TEST(DesktopRecords, FieldsLieWhereTheFileHasThem)
{
    const Bytes file = LayoutFile(kPlayer).type(Type::kSpellbook).xy(-5, 7).u8(1).u8(3).u32(kBook).bytes;
    DesktopFileImage image;
    ASSERT_TRUE(splitDesktopFile(file, image));
    ASSERT_EQ(image.records.size(), 1u);
    DesktopEntry entry;
    ASSERT_TRUE(decodeDesktopRecord(image.records[0], entry));
    EXPECT_EQ(image.playerSerial, kPlayer);
    EXPECT_EQ(entry.x, -5);
    EXPECT_EQ(entry.y, 7);
    EXPECT_EQ(entry.minimised, 1);
    EXPECT_EQ(entry.page, 3);
    EXPECT_EQ(entry.serial, kBook);
    EXPECT_EQ(joinDesktopFile(image.playerSerial, image.records), file);
}

// ---- Reading and writing back ------------------------------------------------

TEST_F(DesktopLayout, RoundTripKeepsRecordsOfWindowsNotShownYet)
{
    const Bytes original = everyKeptRecord().bytes;
    ASSERT_TRUE(desktopRead(original));
    const Bytes first = write();
    desktopReset();
    ASSERT_TRUE(desktopRead(first));
    const Bytes second = write();
    EXPECT_EQ(second, first) << "write, read, write gives the same bytes";
    EXPECT_EQ(recordsOf(first), recordsOf(original)) << "every record survived";

    // Parents before their contents, and the window geometry before them.
    DesktopFileImage image;
    ASSERT_TRUE(splitDesktopFile(first, image));
    std::vector<uint8_t> types;
    for (const DesktopRecord& record : image.records)
        types.push_back(record.type);
    auto at = [&types](uint8_t type) { return std::find(types.begin(), types.end(), type) - types.begin(); };
    EXPECT_LT(at(Type::kWindowGeometry), at(Type::kContainer));
    EXPECT_EQ(image.records[size_t(at(Type::kContainer))].payload[8], uint8_t(kBackpack));
    EXPECT_EQ(image.records.back().type, Type::kHelpPopup);
}

TEST_F(DesktopLayout, LiveWindowsReplaceTheirKeptRecords)
{
    TestShell shell;
    ScopedService<DesktopShell> scopedShell { shell };
    ASSERT_TRUE(desktopRead(everyKeptRecord().bytes));
    EXPECT_EQ(shell.applied.size(), 1u);
    EXPECT_EQ(shell.applied[0].screenWidth, 800);
    EXPECT_FALSE(desktopWindowRecordMissing());

    // The server opened the backpack: its window now says where it is.
    auto* pack = new gump_test::PageGump(200, 210, 50, 50, 0x0101);
    pack->addKind(GumpKind::ContainerGump);
    pack->setOwner(layoutWorld.object(kBackpack));
    gumpLink(pack, nullptr);
    desktopOnContainerOpened(kBackpack, pack, nullptr);
    EXPECT_EQ(pack->x(), 50) << "the stored place";
    pack->setLocation(300, 310);
    auto* pouch = new gump_test::PageGump(0, 0, 50, 50, 0x0101);
    pouch->addKind(GumpKind::ContainerGump);
    pouch->setOwner(layoutWorld.object(kPouch));
    gumpLink(pouch, nullptr);

    DesktopFileImage image;
    ASSERT_TRUE(splitDesktopFile(write(), image));
    std::vector<DesktopEntry> containers;
    int32_t geometries = 0;
    for (const DesktopRecord& record : image.records) {
        DesktopEntry entry;
        ASSERT_TRUE(decodeDesktopRecord(record, entry));
        if (record.type == Type::kContainer || record.type == Type::kSizedContainer)
            containers.push_back(entry);
        geometries += record.type == Type::kWindowGeometry ? 1 : 0;
    }
    EXPECT_EQ(geometries, 1) << "the live window's geometry, not the kept one";
    ASSERT_EQ(containers.size(), 3u) << "the live backpack and pouch; the kept ones for them are left out";
    EXPECT_EQ(containers[0].serial, kBackpack);
    EXPECT_EQ(containers[0].x, 300);
    EXPECT_EQ(containers[1].serial, kPouch);
    EXPECT_EQ(containers[2].serial, kChest) << "a container whose window never opened is kept";
}

TEST_F(DesktopLayout, FileOfAnotherCharacterRestoresNothing)
{
    LayoutFile file(0x00000999);
    file.container(10, 10, kBackpack).options(5, 5);
    EXPECT_FALSE(desktopRead(file.bytes));
    EXPECT_TRUE(desktopKeptRecords().empty());
    EXPECT_TRUE(desktopPendingEntries().empty());
    EXPECT_TRUE(desktopReopenList().empty());
}

TEST_F(DesktopLayout, FirstTimeLayoutPutsContainersOnTheOwnBackpack)
{
    desktopLoginFlags().firstTimeLayout = true;
    LayoutFile file(0x00000999);
    file.container(10, 10, 0x40000777).container(20, 20, 0x40000778);
    ASSERT_TRUE(desktopRead(file.bytes));
    EXPECT_EQ(desktopReopenList(), (std::vector<uint32_t> { kBackpack, kBackpack }));
    ASSERT_EQ(desktopPendingEntries().size(), 2u);
    EXPECT_EQ(desktopPendingEntries()[1].serial, kBackpack);
    EXPECT_EQ(desktopPendingEntries()[1].x, 20);
}

TEST_F(DesktopLayout, FirstTimeLayoutWithoutABackpackStopsAtItsFirstContainer)
{
    desktopLoginFlags().firstTimeLayout = true;
    deleteObjectBySerial(kBackpack);
    LayoutFile file(0x00000999);
    file.options(1, 1).container(10, 10, 0x40000777).options(2, 2);
    ASSERT_TRUE(desktopRead(file.bytes));
    EXPECT_EQ(desktopKeptRecords().size(), 1u) << "only the record before the container";
}

TEST_F(DesktopLayout, WindowsTheFactoryMakesAreRestoredAndAskedFor)
{
    TestWindows windows;
    ScopedService<FactoryWindows> scopedWindows { windows };
    gump_test::LoopbackServer server;
    ASSERT_TRUE(server.isReady());
    LayoutFile file(kPlayer);
    file.statusBar(30, 40, true).options(7, 8).type(Type::kRadar).xy(21, 22).u8(1);
    file.type(Type::kTextWindow).xy(1, 2).u8(0).u16(300).u16(200);
    ASSERT_TRUE(desktopRead(file.bytes));
    EXPECT_TRUE(desktopKeptRecords().empty()) << "every window exists";
    ASSERT_EQ(windows.made.size(), 4u);
    CGump* bar = windows.made[0].get();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isMinimised()) << "a compact status bar";
    EXPECT_EQ(bar->owner(), static_cast<WorldObject*>(player()));
    EXPECT_EQ(desktopLoginFlags().restoredStatusBar.get(), bar);
    EXPECT_EQ(windows.made[1].get()->x(), 7);
    EXPECT_EQ(windows.made[2].get()->spareWord(), gump_kind::kRadarSmall);
    EXPECT_EQ(desktopLoginFlags().restoredRadar.get(), windows.made[2].get());
    EXPECT_EQ(server.sent(10), (Bytes { 0x34, 0xED, 0xED, 0xED, 0xED, 4, 0, 0, 0x0F, 0x01 }))
        << "the status of the player";

    // Written back from the windows themselves.
    bar->setLocation(60, 70);
    DesktopFileImage image;
    ASSERT_TRUE(splitDesktopFile(write(), image));
    ASSERT_GE(image.records.size(), 4u);
    std::set<uint8_t> types;
    for (const DesktopRecord& record : image.records)
        types.insert(record.type);
    EXPECT_EQ(types, (std::set<uint8_t> { Type::kStatusBar, Type::kOptions, Type::kRadar, Type::kTextWindow }));
}

TEST_F(DesktopLayout, PaperdollTakesItsPlaceAndIsThenWrittenByItsWindow)
{
    ASSERT_TRUE(desktopRead(LayoutFile(kPlayer).paperdoll(10, 20).bytes));
    EXPECT_TRUE(desktopRestorePending());
    EXPECT_EQ(desktopKeptRecords().size(), 1u);
    std::optional<DesktopPendingEntry> entry = desktopTakePending(Type::kPaperdoll, kPlayer);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->x, 10);
    EXPECT_FALSE(desktopTakePending(Type::kPaperdoll, kPlayer)) << "taken once";
    EXPECT_TRUE(desktopKeptRecords().empty()) << "its window writes it from now on";
}

// ---- Reopening containers -----------------------------------------------------

TEST_F(DesktopLayout, BackpackIsAskedForEveryThreeSecondsAndOnlyThenThePouch)
{
    gump_test::LoopbackServer server;
    ASSERT_TRUE(server.isReady());
    ASSERT_TRUE(desktopRead(LayoutFile(kPlayer).container(1, 2, kBackpack).container(3, 4, kPouch).bytes));
    const Bytes useBackpack { 0x06, 0x40, 0x00, 0x00, 0x20 };
    const Bytes usePouch { 0x06, 0x40, 0x00, 0x00, 0x21 };
    desktopReopenPending();
    EXPECT_TRUE(server.sentWithin(20).empty()) << "not before 3 seconds";
    clock.advance(3000);
    desktopReopenPending();
    EXPECT_EQ(server.sent(5), useBackpack);
    clock.advance(2999);
    desktopReopenPending();
    EXPECT_TRUE(server.sentWithin(20).empty());
    clock.advance(1);
    desktopReopenPending();
    EXPECT_EQ(server.sent(5), useBackpack) << "asked again until the server opens it";

    desktopOnContainerOpened(kPouch + 7, nullptr, nullptr);
    EXPECT_EQ(desktopReopenList().size(), 2u) << "a container not listed changes nothing";
    desktopOnContainerOpened(kBackpack, nullptr, nullptr);
    EXPECT_TRUE(desktopBackpackReopened());
    clock.advance(3000);
    desktopReopenPending();
    EXPECT_EQ(server.sent(5), usePouch);
    desktopOnContainerOpened(kPouch, nullptr, nullptr);
    EXPECT_TRUE(desktopReopenFinished());
}

TEST_F(DesktopLayout, ContainersNoLongerCarriedAreDroppedWithoutARequest)
{
    gump_test::LoopbackServer server;
    ASSERT_TRUE(server.isReady());
    ASSERT_TRUE(desktopRead(LayoutFile(kPlayer).container(1, 2, 0x40000555).container(3, 4, kBackpack).bytes));
    clock.advance(3000);
    desktopReopenPending();
    EXPECT_TRUE(server.sentWithin(20).empty());
    EXPECT_EQ(desktopReopenList(), (std::vector<uint32_t> { kBackpack }));
    ASSERT_EQ(desktopKeptRecords().size(), 1u) << "the missing container is not written back";
    clock.advance(3000);
    desktopReopenPending();
    EXPECT_EQ(server.sent(5), (Bytes { 0x06, 0x40, 0x00, 0x00, 0x20 }));
}

TEST_F(DesktopLayout, OutOfTheWorldNothingIsAskedFor)
{
    ASSERT_TRUE(desktopRead(LayoutFile(kPlayer).container(1, 2, kBackpack).bytes));
    inWorld.inGame = false;
    clock.advance(3000);
    desktopReopenPending();
    EXPECT_TRUE(desktopReopenList().empty());
    EXPECT_TRUE(desktopReopenFinished());
}

TEST_F(DesktopLayout, OpenedContainerTakesItsStoredPlace)
{
    desktopLoginFlags().firstTimeLayout = false;
    LayoutFile file(kPlayer);
    file.type(Type::kContainer).xy(33, 44).u32(kBackpack).u8(1);
    ASSERT_TRUE(desktopRead(file.bytes));
    auto* pack = new gump_test::PageGump(0, 0, 50, 50, 0x0101);
    gumpLink(pack, nullptr);
    desktopOnContainerOpened(kBackpack, pack, nullptr);
    EXPECT_TRUE(pack->isMinimised());
    EXPECT_EQ(pack->x(), 33) << "where it was shown, minimised";
    EXPECT_EQ(pack->y(), 44);
}

// ---- Damaged files ---------------------------------------------------------------

struct DamagedCase {
    const char* name;
    Bytes file;
    size_t keptRecords;
    size_t pendingEntries;
};

class DamagedDesktop : public DesktopLayout, public testing::WithParamInterface<DamagedCase> { };

TEST_P(DamagedDesktop, LosesOnlyWhatIsDamaged)
{
    desktopRead(GetParam().file);
    EXPECT_EQ(desktopKeptRecords().size(), GetParam().keptRecords);
    EXPECT_EQ(desktopPendingEntries().size(), GetParam().pendingEntries);
    const Bytes written = write();
    desktopReset();
    ASSERT_TRUE(desktopRead(written));
    EXPECT_EQ(write(), written) << "what was kept survives another round";
}

std::vector<DamagedCase> damagedCases()
{
    Bytes cut = LayoutFile(kPlayer).options(1, 1).options(2, 2).bytes;
    cut.resize(cut.size() - 4);
    Bytes many = LayoutFile(kPlayer).bytes;
    for (int i = 0; i < 51; ++i) {
        Bytes record = LayoutFile(0).container(i, i, kBackpack).bytes;
        many.insert(many.end(), record.begin() + 4, record.end());
    }
    // The fixture: the reading ends at record 18.
    LayoutFile stopped(kPlayer);
    stopped.paperdoll(1, 2).statusBar(3, 4, true).container(5, 6, kBackpack).container(7, 8, kPouch);
    stopped.geometry(640, 480).type(Type::kInvalid).options(9, 9);
    return {
        { "Empty", {}, 0, 0 },
        { "SerialCut", { 0x01, 0x0F }, 0, 0 },
        { "SerialOnly", LayoutFile(kPlayer).bytes, 0, 0 },
        { "RecordCutShort", cut, 1, 0 },
        { "StopsAtType18", stopped.bytes, 5, 3 },
        { "StopsAboveType24", LayoutFile(kPlayer).options(1, 1).type(25).options(2, 2).bytes, 1, 0 },
        { "TypeOnlyAtTheEnd", LayoutFile(kPlayer).options(1, 1).type(Type::kOptions).bytes, 1, 0 },
        { "FiftyOnePendingEntries", many, 51, kMaxDesktopPending },
        { "HugeSizes", LayoutFile(kPlayer).type(Type::kTextWindow).xy(-99999, 99999).u8(7).u16(65535).u16(65535)
                           .geometry(0x7FFFFFFF, -1)
                           .bytes,
            2, 0 },
        { "SkippedRecord", LayoutFile(kPlayer).type(Type::kSkipped).xy(0, 0).xy(0, 0).xy(0, 0).options(1, 1).bytes, 1,
            0 },
    };
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedDesktop, testing::ValuesIn(damagedCases()),
    [](const testing::TestParamInfo<DamagedCase>& row) { return std::string(row.param.name); });

TEST_F(DesktopLayout, FileCutAtEveryByteKeepsTheWholeRecordsBeforeTheCut)
{
    const Bytes whole = everyKeptRecord().bytes;
    DesktopFileImage full;
    ASSERT_TRUE(splitDesktopFile(whole, full));
    // Where each kept record ends (the help popup's place is not kept: it
    // is written from what the popup remembers).
    std::vector<size_t> ends;
    size_t at = 4;
    for (const DesktopRecord& record : full.records) {
        at += 1 + record.payload.size();
        if (record.type != Type::kHelpPopup)
            ends.push_back(at);
    }
    for (size_t cut = 4; cut <= whole.size(); ++cut) {
        desktopReset();
        ASSERT_TRUE(desktopRead(Bytes(whole.begin(), whole.begin() + ptrdiff_t(cut))));
        const size_t wholeRecords = size_t(std::count_if(ends.begin(), ends.end(), [cut](size_t end) { return end <= cut; }));
        EXPECT_EQ(desktopKeptRecords().size(), wholeRecords) << "cut at " << cut;
    }
}

// ---- Choosing and writing the file ---------------------------------------------------

TEST_F(DesktopLayout, WritesTheCharactersOwnFileWithSafeNames)
{
    gump_test::LoopbackServer server;
    ASSERT_TRUE(server.isReady());
    useCharacter("acct", "../../evil", "Hero");
    ASSERT_TRUE(desktopRead(LayoutFile(kPlayer).options(5, 6).bytes));
    ASSERT_TRUE(desktopWrite());
    const std::optional<std::string> path = configFiles().perCharacterPath(kDesktopFileName);
    ASSERT_TRUE(path);
    EXPECT_EQ(path->find(".."), std::string::npos);
    const std::string first = client.read(*path);
    EXPECT_EQ(Bytes(first.begin(), first.end()), write());
    ASSERT_TRUE(desktopWrite()) << "a second write replaces the file";
    EXPECT_EQ(client.read(*path), first);

    desktopReset();
    desktopOpen();
    EXPECT_FALSE(desktopLoginFlags().firstTimeLayout) << "the character's own file was found";
    EXPECT_EQ(desktopKeptRecords().size(), 1u);
}

TEST_F(DesktopLayout, TheHouseDesignCacheGoesWithTheLayout)
{
    gump_test::LoopbackServer server;
    ASSERT_TRUE(server.isReady());
    useCharacter("acct", "Shard", "Hero");
    multiCache().clear();
    auto design = std::make_unique<MultiCacheEntry>(0x40000777u, 3, 2, 100, 200, 5);
    design->records[0] = DesignRecord { 0x0080, 0, 1, 2, 0 };
    design->records[1] = DesignRecord { 0x0083, 0x21, -1, 0, 7 };
    const std::vector<DesignRecord> records = design->records;
    multiCache().insert(std::move(design), true);
    ASSERT_TRUE(desktopRead(LayoutFile(kPlayer).options(5, 6).bytes));
    ASSERT_TRUE(desktopWrite());
    const std::optional<std::string> path = configFiles().perCharacterPath("Multicache.dat");
    ASSERT_TRUE(path);
    EXPECT_FALSE(client.read(*path).empty()) << "the cache is written beside the layout";

    multiCache().clear();
    desktopReset();
    desktopOpen();
    ASSERT_EQ(multiCache().size(), 1u) << "opening the layout reads the cache back";
    const MultiCacheEntry& back = *multiCache().entries().front();
    EXPECT_EQ(back.serial, 0x40000777u);
    EXPECT_EQ(back.revision, 3);
    EXPECT_EQ(back.records, records);
    multiCache().clear();
}

TEST_F(DesktopLayout, NothingIsWrittenOutOfTheWorld)
{
    gump_test::LoopbackServer server;
    ASSERT_TRUE(server.isReady());
    useCharacter("acct", "shard", "Hero");
    inWorld.inGame = false;
    EXPECT_FALSE(desktopWrite());
}

TEST_F(DesktopLayout, FolderThatCannotBeMadeIsReportedAndPlayGoesOn)
{
    gump_test::LoopbackServer server;
    ASSERT_TRUE(server.isReady());
    useCharacter("acct", "shard", "Hero");
    // A file where the account's folder should be.
    client.write("Desktop/acct", "in the way");
    EXPECT_FALSE(desktopWrite());
}

// A 10 MB file in the character's place is no layout: it is passed over as
// if it were missing, and the next write puts a layout in its place.
TEST_F(DesktopLayout, AnOversizedFileIsPassedOverAndReplacedByTheNextWrite)
{
    gump_test::LoopbackServer server;
    ASSERT_TRUE(server.isReady());
    useCharacter("acct", "shard", "Hero");
    LayoutFile huge(kPlayer);
    huge.options(1, 2);
    while (huge.bytes.size() < 10 * 1024 * 1024) {
        huge.type(Type::kSkipped);
        huge.bytes.resize(huge.bytes.size() + 24);
    }
    const std::optional<std::string> heroFile = configFiles().perCharacterPath(kDesktopFileName);
    ASSERT_TRUE(heroFile);
    client.write(*heroFile, std::string(huge.bytes.begin(), huge.bytes.end()));
    testing::internal::CaptureStderr();
    desktopOpen();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("desktop.vos (larger than 1048576 bytes)"), std::string::npos) << said;
    EXPECT_TRUE(desktopLoginFlags().firstTimeLayout);
    EXPECT_TRUE(desktopKeptRecords().empty());
    ASSERT_TRUE(desktopWrite());
    EXPECT_LT(client.read(*heroFile).size(), size_t(1024));
}

TEST_F(DesktopLayout, SlotFileWhenTheCharactersOwnIsMissing)
{
    configValues().defaultCharacterSlot = 2;
    const Bytes layout = LayoutFile(kPlayer).options(1, 2).bytes;
    client.write("desktop.vo3", std::string(layout.begin(), layout.end()));
    useCharacter("acct", "shard", "Hero");
    desktopOpen();
    EXPECT_FALSE(desktopLoginFlags().firstTimeLayout);
    EXPECT_EQ(desktopKeptRecords().size(), 1u);
    configValues().defaultCharacterSlot = 0;
}

TEST_F(DesktopLayout, FirstTimeLayoutWhenNoFileIsFound)
{
    const Bytes layout = LayoutFile(0).container(5, 5, 0x40000777).bytes;
    client.write(kFirstTimeDesktopFile, std::string(layout.begin(), layout.end()));
    useCharacter("acct", "shard", "Newcomer");
    desktopOpen();
    EXPECT_TRUE(desktopLoginFlags().firstTimeLayout);
    EXPECT_TRUE(desktopLoginFlags().dockFirstPaperdoll);
    EXPECT_EQ(settings().getBoolSetting(u"NewbieDesktop"), 1);
    EXPECT_EQ(desktopReopenList(), (std::vector<uint32_t> { kBackpack }));
}

TEST_F(DesktopLayout, ANewLoginAppliesNothingOfTheSessionBefore)
{
    // The first character's own layout: a skill window and two containers.
    LayoutFile first(kPlayer);
    first.type(Type::kSkillWindow).xy(3, 4).u8(0).u16(250).u16(400);
    first.container(1, 2, kBackpack).container(3, 4, kPouch).options(9, 9);
    useCharacter("acct", "shard", "Hero");
    const std::optional<std::string> heroFile = configFiles().perCharacterPath(kDesktopFileName);
    ASSERT_TRUE(heroFile);
    client.write(*heroFile, std::string(first.bytes.begin(), first.bytes.end()));
    desktopOpen();
    ASSERT_EQ(desktopPendingEntries().size(), 3u);
    ASSERT_EQ(desktopReopenList().size(), 2u);

    // Logging out, then in with another character that has no layout of its
    // own anywhere.
    desktopPendingClear();
    EXPECT_TRUE(desktopReopenList().empty());
    EXPECT_TRUE(desktopReopenFinished());
    player()->serial = kPlayer + 1;
    setPlayerSerial(kPlayer + 1);
    useCharacter("acct", "shard", "Other");
    desktopOpen();
    EXPECT_TRUE(desktopPendingEntries().empty());
    EXPECT_FALSE(desktopRestorePending());
    EXPECT_TRUE(desktopReopenList().empty());
    EXPECT_FALSE(desktopTakePending(Type::kSkillWindow, 0)) << "the skill window is not placed as the first one's";
    EXPECT_TRUE(desktopKeptRecords().empty()) << "nothing of the first layout is written into the second";
}

TEST_F(DesktopLayout, SharedFileIsAFirstTimeLayoutWhileSynchronised)
{
    const Bytes layout = LayoutFile(kPlayer).options(5, 5).bytes;
    client.write(kSharedDesktopFile, std::string(layout.begin(), layout.end()));
    useCharacter("acct", "shard", "Hero");
    serverConfigStore().setEnabled(true);
    serverConfigStore().setSyncFlag(1);
    desktopOpen();
    EXPECT_TRUE(desktopLoginFlags().firstTimeLayout);
    EXPECT_EQ(desktopKeptRecords().size(), 1u) << "the shared file is still read";
}

TEST_F(DesktopLayout, DockingAfterAFirstTimeLayout)
{
    TestShell shell;
    ScopedService<DesktopShell> scopedShell { shell };
    TestWindows windows;
    ScopedService<FactoryWindows> scopedWindows { windows };
    desktopLoginFlags().firstTimeLayout = true;
    desktopLoginFlags().dockFirstPaperdoll = true;
    ASSERT_TRUE(desktopRead(LayoutFile(0).type(Type::kRadar).xy(300, 300).u8(0).bytes));
    CGump* radar = desktopLoginFlags().restoredRadar.get();
    ASSERT_NE(radar, nullptr);
    desktopDockRestoredWindows();
    EXPECT_EQ(shell.workAreaFills, 1);
}

} // namespace
