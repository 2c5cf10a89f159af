#include "windows/spell_window_services.h"

#include "windows/program_services.h"

#include "gump/desktop_services.h"
#include "gump/gump_services.h"
#include "protocol/world_packet_windows.h"
#include "windows/ability_book_gump.h"
#include "windows/fighting_style_gump.h"
#include "windows/icon_gumps.h"
#include "windows/spell_table.h"
#include "windows/spellbook_gump.h"
#include "windows/weapon_abilities.h"
#include "windows/window_services.h"
#include "world/container_item.h"
#include "world/object_manager.h"
#include "world/world_services.h"

#include <cstdint>

namespace {

// The spellbook's content record and the spells' active marks.
class SpellbookInfoWindows final : public GeneralInfoWindows {
public:
    explicit SpellbookInfoWindows(GeneralInfoWindows& next)
        : m_next(next)
    {
    }
    void composeMail(const std::u16string& address, const std::u16string& name, const std::u16string& subject,
        const std::u16string& body) override
    {
        m_next.composeMail(address, name, subject, body);
    }
    void partyMessage(std::span<const uint8_t> bytes) override { m_next.partyMessage(bytes); }
    void contextMenu(uint32_t serial, const std::vector<ContextMenuEntry>& entries) override
    {
        m_next.contextMenu(serial, entries);
    }
    void helpControl(uint8_t command, uint32_t topic, uint8_t value) override
    {
        m_next.helpControl(command, topic, value);
    }
    void spellbookContent(uint32_t serial, uint16_t, uint16_t firstSpell, const std::array<uint8_t, 8>& bits) override
    {
        if (fillSpellbookContent(serial, firstSpell, bits))
            SpellbookGump::redrawAll(true);
    }
    void spellToggle(uint16_t spell, bool highlighted) override
    {
        setSpellActive(spell, highlighted);
        SpellbookGump::redrawAll(false);
        redrawSpellIcons(spell);
    }
    void resetWeaponAbility() override { refreshAbilityGumps(); }
    void showDamage(uint32_t serial, uint16_t damage, uint16_t hue) override
    {
        m_next.showDamage(serial, damage, hue);
    }
    void raceChange(bool open, uint8_t first, uint8_t second) override { m_next.raceChange(open, first, second); }
    void showEquipInfo(const EquipInfo& info) override { m_next.showEquipInfo(info); }

private:
    GeneralInfoWindows& m_next;
};

// The open request of a spellbook item.
class SpellbookEventWindows final : public WorldEventWindows {
public:
    explicit SpellbookEventWindows(WorldEventWindows& next)
        : m_next(next)
    {
    }
    void playerDied() override { m_next.playerDied(); }
    void openCourseMap(uint32_t serial, uint16_t art, const std::array<uint16_t, 6>& area) override
    {
        m_next.openCourseMap(serial, art, area);
    }
    void closeBankBox() override { m_next.closeBankBox(); }
    CGump* openSpellbook(uint32_t serial) override
    {
        Item* object = findItemBySerial(serial);
        if (!object || !object->isSpellbook())
            return m_next.openSpellbook(serial);
        return SpellbookGump::openFor(static_cast<SpellbookItem&>(*object));
    }

private:
    WorldEventWindows& m_next;
};

// The older servers send a book's spells as content items: the book is
// drawn anew as they arrive, and closes with its item.
class SpellbookContainerViews final : public ContainerViews {
public:
    explicit SpellbookContainerViews(ContainerViews& next)
        : m_next(next)
    {
    }
    void itemEntered(ContainerItem& container, Item& item) override
    {
        m_next.itemEntered(container, item);
        redrawBookOf(container);
    }
    void itemLeft(Item& parent, Item& item) override
    {
        m_next.itemLeft(parent, item);
        if (parent.isSpellbook())
            redrawBookOf(parent);
    }
    void containerDestroyed(ContainerItem& container) override
    {
        closeGump(SpellbookGump::findFor(container.serial));
        m_next.containerDestroyed(container);
    }
    void contentsArrived(ContainerItem& container) override
    {
        m_next.contentsArrived(container);
        redrawBookOf(container);
    }

private:
    static void redrawBookOf(Item& container)
    {
        if (SpellbookGump* book = SpellbookGump::findFor(container.serial)) {
            book->showLastSpellIndex();
            book->redrawBook();
        }
    }
    ContainerViews& m_next;
};

// A skill dragged out of the skill window becomes its icon.
class SkillIconWindows final : public SkillIcons {
public:
    void createSkillIcon(int32_t skill, int32_t x, int32_t y) override
    {
        dragOutIcon(GumpKind::SkillIcon, skill, x, y);
    }
};

// The combat ability book the paperdoll's button and the desktop file open.
class AbilityBookFactory final : public FactoryWindows {
public:
    explicit AbilityBookFactory(FactoryWindows& next)
        : m_next(next)
    {
    }
    CGump* createTextWindow(int32_t x, int32_t y) override { return m_next.createTextWindow(x, y); }
    CGump* createStatusBar(WorldObject* owner, bool fullPage) override
    {
        return m_next.createStatusBar(owner, fullPage);
    }
    void reslotStatusBar(CGump* bar) override { m_next.reslotStatusBar(bar); }
    CGump* createPaperdoll(WorldObject* owner, int32_t x, int32_t y) override
    {
        return m_next.createPaperdoll(owner, x, y);
    }
    CGump* createShop(WorldObject* vendor, int32_t x, int32_t y) override { return m_next.createShop(vendor, x, y); }
    CGump* createStackChooser(WorldObject* item, int32_t x, int32_t y) override
    {
        return m_next.createStackChooser(item, x, y);
    }
    CGump* optionsWindow() override { return m_next.optionsWindow(); }
    bool hasOptionsRecord() override { return m_next.hasOptionsRecord(); }
    CGump* createOptionsWindow() override { return m_next.createOptionsWindow(); }
    CGump* createRadar(int32_t face, int32_t x, int32_t y) override { return m_next.createRadar(face, x, y); }
    int32_t radarSizeValue(CGump* radar) override { return m_next.radarSizeValue(radar); }
    CGump* createAbilityBook(int32_t x, int32_t y) override
    {
        if (AbilityBookGump* open = AbilityBookGump::current()) {
            open->bringToFront(false);
            return open;
        }
        return new AbilityBookGump(x, y);
    }
    CGump* createContainer(WorldObject* owner, int32_t art, int32_t x, int32_t y, int32_t width, int32_t height) override
    {
        return m_next.createContainer(owner, art, x, y, width, height);
    }

private:
    FactoryWindows& m_next;
};

// The desktop file's fighting style window and spell, skill and ability icons.
class IconDesktop final : public DesktopWindows {
public:
    explicit IconDesktop(DesktopWindows& next)
        : m_next(next)
    {
    }
    bool restoreFightingStyle(int32_t x, int32_t y, bool minimised) override
    {
        return FightingStyleGump::restoreAt(x, y, minimised) != nullptr;
    }
    bool restoreIcon(DesktopIcon kind, uint32_t number, int32_t x, int32_t y) override
    {
        const GumpKind gumpKind = kind == DesktopIcon::Spell
            ? GumpKind::SpellIcon
            : (kind == DesktopIcon::Skill ? GumpKind::SkillIcon : GumpKind::AbilityIcon);
        return number <= uint32_t(INT32_MAX) && openIconGump(gumpKind, int32_t(number), x, y) != nullptr;
    }
    bool iconNumber(CGump* icon, uint32_t& number) override
    {
        if (!icon
            || !(icon->is(GumpKind::SpellIcon) || icon->is(GumpKind::SkillIcon) || icon->is(GumpKind::AbilityIcon)))
            return m_next.iconNumber(icon, number);
        number = uint32_t(static_cast<IconGump*>(icon)->iconId());
        return true;
    }
    bool restoreChatLayout(const DesktopChatLayout& layout) override { return m_next.restoreChatLayout(layout); }
    bool chatLayout(CGump* window, DesktopChatLayout& layout) override { return m_next.chatLayout(window, layout); }
    bool restoreMessengerWindow(uint8_t recordType, const DesktopWindowRect& rect) override
    {
        return m_next.restoreMessengerWindow(recordType, rect);
    }
    bool restoreItemPropertyAnchor(int32_t x, int32_t y) override { return m_next.restoreItemPropertyAnchor(x, y); }
    void skillWindowRequested() override { m_next.skillWindowRequested(); }
    void loadWindowData() override { m_next.loadWindowData(); }
    void saveWindowData() override { m_next.saveWindowData(); }

private:
    DesktopWindows& m_next;
};

// The party bars' quick spells: cast without a book, the last spell kept.
class BookSpellCasting final : public SpellCasting {
public:
    void castSpell(int32_t spell) override { ::castSpell(spell, 0, false); }
};

} // namespace

struct SpellWindowServices::Objects {
    Objects()
        : info(service<GeneralInfoWindows>())
        , events(service<WorldEventWindows>())
        , containers(worldService<ContainerViews>())
        , desktop(service<DesktopWindows>())
        , factory(service<FactoryWindows>())
    {
    }
    SpellbookInfoWindows info;
    SpellbookEventWindows events;
    SpellbookContainerViews containers;
    BookSpellCasting casting;
    SkillIconWindows skillIcons;
    IconDesktop desktop;
    AbilityBookFactory factory;

    GeneralInfoWindows* previousInfo = nullptr;
    WorldEventWindows* previousEvents = nullptr;
    ContainerViews* previousContainers = nullptr;
    SpellCasting* previousCasting = nullptr;
    SkillIcons* previousSkillIcons = nullptr;
    DesktopWindows* previousDesktop = nullptr;
    FactoryWindows* previousFactory = nullptr;
};

SpellWindowServices::SpellWindowServices()
    : m_objects(std::make_unique<Objects>())
{
    Objects& o = *m_objects;
    o.previousInfo = installService<GeneralInfoWindows>(&o.info);
    o.previousEvents = installService<WorldEventWindows>(&o.events);
    o.previousContainers = installWorldService<ContainerViews>(&o.containers);
    o.previousCasting = installService<SpellCasting>(&o.casting);
    o.previousSkillIcons = installService<SkillIcons>(&o.skillIcons);
    o.previousDesktop = installService<DesktopWindows>(&o.desktop);
    o.previousFactory = installService<FactoryWindows>(&o.factory);
}

SpellWindowServices::~SpellWindowServices()
{
    Objects& o = *m_objects;
    installService<GeneralInfoWindows>(o.previousInfo);
    installService<WorldEventWindows>(o.previousEvents);
    installWorldService<ContainerViews>(o.previousContainers);
    installService<SpellCasting>(o.previousCasting);
    installService<SkillIcons>(o.previousSkillIcons);
    installService<DesktopWindows>(o.previousDesktop);
    installService<FactoryWindows>(o.previousFactory);
}

void installSpellWindowServices() { installProgramServices<SpellWindowServices>(); }

void uninstallSpellWindowServices() { uninstallProgramServices<SpellWindowServices>(); }
