// The spell, skill and ability icons and the weapon abilities behind the
// ability icons: only a double click acts, a drag out of the spellbook makes
// one icon per spell, the desktop file keeps them, the weapon in hand picks
// the abilities and switching one on or off tells the server.
#include "windows/windows_test_support.h"

#include "data/server_features.h"
#include "data/skill_names.h"
#include "fixtures/sample_spell_art.h"
#include "fixtures/server_packet.h"
#include "gump/desktop_file.h"
#include "gump/gump_manager.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "protocol/protocol_handlers.h"
#include "windows/icon_gumps.h"
#include "windows/spell_table.h"
#include "windows/spell_window_services.h"
#include "windows/spellbook_gump.h"
#include "windows/weapon_abilities.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using fixture::ServerPacket;
using windows_test::Bytes;
using windows_test::hexOf;

constexpr uint32_t kIconBook = 0x40000B01;
constexpr uint32_t kIconWeapon = 0x40000B02;

class SpellIcons : public windows_test::WindowDesktop {
protected:
    SpellIcons()
    {
        initSpellTables();
        resetWeaponAbilities();
        clearPacketHandlers();
        registerProtocolHandlers();
        spellServices = std::make_unique<SpellWindowServices>();
        playerBackpack();
        addToContainer(kIconBook, fixture::kSampleMageBookGraphic, 30, 30, 0x40000100);
        skillNameTable().setSkill(3, 1, "Item Identification");
    }
    ~SpellIcons() override
    {
        while (CGump* gump = gumpListHead())
            closeGump(gump);
        spellServices.reset();
        clearPacketHandlers();
        storeCharacterListFlags(0);
        resetWeaponAbilities();
        desktopReset();
    }
    static void dispatch(const Bytes& bytes) { dispatchGamePacket(*currentGameConnection(), bytes.data()); }
    // Presses at a client point: `count` quick clicks, or one press held
    // past the double-click time.
    void clicks(int32_t x, int32_t y, int32_t count, uint32_t holdMs = 40)
    {
        for (int32_t press = 0; press < count; ++press) {
            pointAt(x, y);
            pressLeft(x, y);
            advance(holdMs);
            pointAt(x, y);
            releaseLeft(x, y);
            advance(40);
        }
        advance(600);
        pointAt(x, y);
    }
    static size_t openIcons(GumpKind kind)
    {
        size_t count = 0;
        for (CGump* gump = gumpListHead(); gump; gump = gump->next())
            count += gump->is(kind) ? 1 : 0;
        return count;
    }
    void wield(uint16_t graphic)
    {
        if (findItemBySerial(kIconWeapon))
            dispatch(ServerPacket(0x1D, ServerPacket::Length::Fixed).u32(kIconWeapon).bytes());
        if (graphic != 0)
            equip(player()->serial, kIconWeapon, graphic, Mobile::kHandLayerOne);
        updateWeaponAbilities();
    }

    std::unique_ptr<SpellWindowServices> spellServices;
};

TEST_F(SpellIcons, OnlyADoubleClickCastsTheSpell)
{
    IconGump* icon = openIconGump(GumpKind::SpellIcon, 42, 100, 100);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->width(), 48) << "44 pixels widened to a multiple of 8";
    EXPECT_FALSE(icon->isClosableByCloseAll());
    clicks(110, 110, 1);
    clicks(110, 110, 1, 800);
    EXPECT_TRUE(takePackets().empty()) << "a click or a hold does nothing";
    clicks(110, 110, 2);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "12 00 07 56 34 32 00");
    EXPECT_EQ(lastSpell(), 42);
    EXPECT_EQ(capture(), nullptr);
    // A right click closes it.
    pointAt(110, 110);
    pressRight(110, 110);
    releaseRight(110, 110);
    EXPECT_EQ(openIcons(GumpKind::SpellIcon), 0u);
}

TEST_F(SpellIcons, TheSkillIconUsesItsSkillAndTheAbilityIconItsAbility)
{
    IconGump* skill = openIconGump(GumpKind::SkillIcon, 3, 100, 100);
    ASSERT_NE(skill, nullptr);
    clicks(104, 104, 2);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "12 00 08 24 33 20 30 00");

    IconGump* ability = openIconGump(GumpKind::AbilityIcon, AbilityIconGump::kSecondary, 300, 100);
    ASSERT_NE(ability, nullptr);
    EXPECT_EQ(ability->width(), 40) << "37 pixels widened to a multiple of 8";
    clicks(304, 104, 2);
    clicks(304, 104, 2);
    sent = takePackets();
    ASSERT_EQ(sent.size(), 2u);
    const std::string playerSerial = hexOf(Bytes { uint8_t(player()->serial >> 24), uint8_t(player()->serial >> 16),
        uint8_t(player()->serial >> 8), uint8_t(player()->serial) });
    // Bare hands: the secondary ability is Paralyzing Blow (11); the second
    // double click switches it off again.
    EXPECT_EQ(hexOf(sent[0]), "D7 00 0F " + playerSerial + " 00 19 00 00 00 00 0B 0A");
    EXPECT_EQ(hexOf(sent[1]), "D7 00 0F " + playerSerial + " 00 19 00 00 00 00 00 0A");
    EXPECT_EQ(activeWeaponAbility(), 0);
    // Out-of-range numbers make no icon.
    EXPECT_EQ(openIconGump(GumpKind::AbilityIcon, 3, 0, 0), nullptr);
    EXPECT_EQ(openIconGump(GumpKind::SpellIcon, 65, 0, 0), nullptr);
    EXPECT_EQ(openIconGump(GumpKind::SkillIcon, SkillNameTable::kMaxSkills, 0, 0), nullptr);
}

TEST_F(SpellIcons, IconsOutliveCloseAllAndTheDesktopFileKeepsThem)
{
    ASSERT_NE(openIconGump(GumpKind::SpellIcon, 5, 120, 130), nullptr);
    ASSERT_NE(openIconGump(GumpKind::SkillIcon, 3, 200, 40), nullptr);
    ASSERT_NE(openIconGump(GumpKind::AbilityIcon, AbilityIconGump::kPrimary, 300, 50), nullptr);
    gumpCloseAllClosable();
    EXPECT_EQ(openIcons(GumpKind::SpellIcon) + openIcons(GumpKind::SkillIcon) + openIcons(GumpKind::AbilityIcon), 3u);
    const std::vector<uint8_t> layout = desktopLayoutBytes();
    while (CGump* gump = gumpListHead())
        closeGump(gump);
    desktopReset();
    ASSERT_TRUE(desktopRead(layout));
    IconGump* spell = findIconGump(GumpKind::SpellIcon, 5);
    IconGump* skill = findIconGump(GumpKind::SkillIcon, 3);
    IconGump* ability = findIconGump(GumpKind::AbilityIcon, AbilityIconGump::kPrimary);
    ASSERT_TRUE(spell && skill && ability);
    EXPECT_EQ(spell->x(), 120);
    EXPECT_EQ(spell->y(), 130);
    EXPECT_EQ(skill->x(), 200);
    EXPECT_EQ(ability->y(), 50);
}

TEST_F(SpellIcons, ASpellDraggedOffItsPageBecomesOneIconAndTheIndexDragsNone)
{
    storeCharacterListFlags(1u << 5);
    dispatch(ServerPacket(0xBF).u16(0x1B).u16(1).u32(kIconBook).u16(fixture::kSampleMageBookGraphic).u16(1)
            .u8(0x05).fill(7, 0).bytes());
    dispatch(ServerPacket(0x24, ServerPacket::Length::Fixed).u32(kIconBook).u16(0xFFFF).bytes());
    SpellbookGump* book = SpellbookGump::findFor(kIconBook);
    ASSERT_NE(book, nullptr);
    book->moveTo(50, 50, true, nullptr, false);
    auto drag = [this](int32_t fromX, int32_t fromY, int32_t toX, int32_t toY) {
        pointAt(fromX, fromY);
        pressLeft(fromX, fromY);
        pointAt(fromX + 8, fromY + 8);
        pointAt(toX, toY);
        releaseLeft(toX, toY);
        advance(600);
        pointAt(toX, toY);
    };
    // From the index only the book moves.
    drag(50 + 60, 50 + SpellbookGump::kIndexFirstRow + 1, 50 + 70, 50 + SpellbookGump::kIndexFirstRow + 11);
    EXPECT_EQ(openIcons(GumpKind::SpellIcon), 0u);
    EXPECT_EQ(book->x(), 60);
    book->moveTo(50, 50, true, nullptr, false);
    book->turnTo(9);
    // The right page's icon (spell 3) comes out with its centre at the pointer.
    drag(50 + 230, 50 + 50, 500, 400);
    ASSERT_EQ(openIcons(GumpKind::SpellIcon), 1u);
    IconGump* icon = findIconGump(GumpKind::SpellIcon, 3);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->x() + icon->width() / 2, 500);
    EXPECT_EQ(icon->y() + icon->height() / 2, 400);
    EXPECT_EQ(book->x(), 50);
    // The same spell again raises the icon there is.
    drag(50 + 230, 50 + 50, 300, 300);
    EXPECT_EQ(openIcons(GumpKind::SpellIcon), 1u);
    EXPECT_EQ(findIconGump(GumpKind::SpellIcon, 3), icon);
    EXPECT_EQ(icon->x() + icon->width() / 2, 300);
    EXPECT_EQ(capture(), nullptr);
}

// Each pair the weapons table lists is the pair of its graphic; the example
// weapons listed under an ability have it as primary or secondary.
TEST(WeaponAbilities, ThePairsAndTheExampleWeaponsAgree)
{
    EXPECT_EQ(primaryAbility(0), 5);
    EXPECT_EQ(secondaryAbility(0), 11);
    EXPECT_EQ(primaryAbility(7026), 5) << "a shield grants the bare hands' pair";
    EXPECT_EQ(primaryAbility(3568), 13);
    EXPECT_EQ(secondaryAbility(3569), 11);
    EXPECT_EQ(secondaryAbility(11557), 29);
    std::set<int32_t> graphics;
    for (const WeaponAbilityPair& pair : weaponAbilityPairs())
        EXPECT_TRUE(graphics.insert(pair.graphic).second) << pair.graphic << " listed twice";
    EXPECT_EQ(graphics.size(), 156u);
    for (int32_t ability = 1; ability <= kWeaponAbilityCount; ++ability) {
        ASSERT_FALSE(weaponsWithAbility(ability).empty()) << ability;
        for (uint16_t graphic : weaponsWithAbility(ability))
            EXPECT_TRUE(primaryAbility(graphic) == ability || secondaryAbility(graphic) == ability)
                << "weapon " << graphic << " under ability " << ability;
    }
    EXPECT_EQ(weaponsWithAbility(4).size(), 13u);
    EXPECT_TRUE(weaponsWithAbility(30).empty());
    EXPECT_EQ(abilityName(29), "Force of Nature");
    EXPECT_EQ(abilityName(0), "Invalid");
    EXPECT_EQ(abilityNameCliloc(30), 1028838);
    EXPECT_EQ(abilityIconArt(0), 20992);
    EXPECT_EQ(abilityIconArt(29), 21020);
    EXPECT_EQ(abilityDescriptionCliloc(2), 1061694);
}

TEST_F(SpellIcons, TheAbilityIconFollowsTheWeaponAndTheServersReset)
{
    auto* icon = static_cast<AbilityIconGump*>(openIconGump(GumpKind::AbilityIcon, AbilityIconGump::kPrimary, 100, 100));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->ability(), 5);
    wield(3568);
    EXPECT_EQ(currentWeaponGraphic(), 3568);
    EXPECT_EQ(icon->ability(), 13);
    EXPECT_EQ(icon->tooltipId(), abilityNameCliloc(13));
    activateWeaponAbility(13);
    EXPECT_EQ(activeWeaponAbility(), 13);
    // The server switches it off (0xBF 0x21).
    dispatch(ServerPacket(0xBF).u16(0x21).bytes());
    EXPECT_EQ(activeWeaponAbility(), 0);
    wield(0);
    EXPECT_EQ(currentWeaponGraphic(), 0);
    EXPECT_EQ(icon->ability(), 5);
    activateWeaponAbility(0);
    activateWeaponAbility(30);
    ASSERT_EQ(takePackets().size(), 1u) << "numbers outside 1..29 send nothing";
}

} // namespace
