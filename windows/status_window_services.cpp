#include "windows/status_window_services.h"

#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "protocol/world_packet_windows.h"
#include "windows/equip_info_gump.h"
#include "windows/menubar.h"
#include "windows/party_table.h"
#include "windows/profile_gump.h"
#include "windows/program_services.h"
#include "windows/race_change_gump.h"
#include "windows/skill_gump.h"
#include "windows/spellbook_gump.h"
#include "windows/status_gump.h"
#include "windows/target_gump.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/world_services.h"

namespace {

Mobile* mobileBySerial(uint32_t serial)
{
    WorldObject* object = findObjectBySerial(serial);
    return object && object->isMobile() ? static_cast<Mobile*>(object) : nullptr;
}

} // namespace

// The services below have names of their own rather than an anonymous
// namespace: StatusWindowServices::Objects holds them as members.

class StatusBarWindows final : public StatusWindows {
public:
    explicit StatusBarWindows(StatusWindows& next)
        : m_next(next)
    {
    }
    void statusRecordArrived(uint32_t serial, const StatusRecord& record, bool rename, bool isPlayer) override
    {
        for (const GumpHandle& handle : statusGumpsOf(serial)) {
            auto* gump = static_cast<StatusGump*>(handle.get());
            if (!gump)
                continue;
            gump->setRecord(record);
            if (rename)
                gump->openNameEntry();
            gump->update();
        }
        m_next.statusRecordArrived(serial, record, rename, isPlayer);
    }
    void targetBarHits(uint32_t serial, int32_t hits, int32_t maxHits) override
    {
        forEachTargetGump([&](TargetGump* bar) {
            if (bar->mobileSerial() == serial)
                bar->setFill(hits, maxHits);
        });
        m_next.targetBarHits(serial, hits, maxHits);
    }
    void closeTargetBars() override
    {
        forEachTargetGump([](TargetGump* bar) { closeGump(bar); });
        m_next.closeTargetBars();
    }
    void closeTargetBarsShowing(uint32_t serial) override
    {
        forEachTargetGump([serial](TargetGump* bar) {
            if (bar->mobileSerial() == serial)
                closeGump(bar);
        });
        m_next.closeTargetBarsShowing(serial);
    }
    void vitalValuesChanged(uint32_t serial, const std::array<int32_t, 6>& values) override
    {
        if (StatusGump* gump = findStatusGumpOf(serial)) {
            gump->setVitals(values);
            gump->update();
        }
        m_next.vitalValuesChanged(serial, values);
    }
    void statLocksChanged(uint32_t serial, uint8_t strength, uint8_t dexterity, uint8_t intelligence) override
    {
        if (StatusGump* gump = findStatusGumpOf(serial)) {
            gump->setStatLocks(strength, dexterity, intelligence);
            gump->update();
        }
        m_next.statLocksChanged(serial, strength, dexterity, intelligence);
    }
    void showNamePlateName(uint32_t serial, std::string_view name) override { m_next.showNamePlateName(serial, name); }
    void showCombatant(uint32_t serial) override
    {
        if (Mobile* mobile = mobileBySerial(serial))
            TargetGump::showCombatant(*mobile);
        m_next.showCombatant(serial);
    }
    void showLastTarget(uint32_t serial) override
    {
        if (Mobile* mobile = mobileBySerial(serial))
            TargetGump::showLastTarget(*mobile);
        m_next.showLastTarget(serial);
    }
    void redrawTithingBooks() override
    {
        SpellbookGump::redrawPaladinBooks();
        m_next.redrawTithingBooks();
    }
    void partyMemberName(uint32_t serial, std::string_view name) override
    {
        partyTable().setMemberName(serial, name);
        m_next.partyMemberName(serial, name);
    }
    void clearSkillWindowRequest() override
    {
        setSkillGumpRequested(false);
        m_next.clearSkillWindowRequest();
    }

private:
    StatusWindows& m_next;
};

class StatusObjectViews final : public ObjectViews {
public:
    explicit StatusObjectViews(ObjectViews& next)
        : m_next(next)
    {
    }
    void objectLeftWorld(Item& item) override { m_next.objectLeftWorld(item); }
    void mobileHidden(Mobile& mobile) override { m_next.mobileHidden(mobile); }
    void objectDestroyed(Item& item) override
    {
        // The bars stay, drawn as an unknown mobile, until it comes back.
        for (const GumpHandle& handle : statusGumpsOf(item.serial)) {
            if (CGump* gump = handle.get()) {
                gump->setOwner(nullptr);
                static_cast<StatusGump*>(gump)->update();
            }
        }
        m_next.objectDestroyed(item);
    }
    void refreshStatusBars(Item& item, int32_t kind) override
    {
        if (kind == 1 || kind == 2) {
            for (const GumpHandle& handle : statusGumpsOf(item.serial)) {
                if (CGump* gump = handle.get())
                    static_cast<StatusGump*>(gump)->update();
            }
        }
        m_next.refreshStatusBars(item, kind);
    }
    void mobileMoved(Mobile& mobile, bool wasMoving) override { m_next.mobileMoved(mobile, wasMoving); }

private:
    ObjectViews& m_next;
};

class StatusFactory final : public FactoryWindows {
public:
    explicit StatusFactory(FactoryWindows& next)
        : m_next(next)
    {
    }
    CGump* createTextWindow(int32_t x, int32_t y) override { return m_next.createTextWindow(x, y); }
    CGump* createStatusBar(WorldObject* owner, bool fullPage) override
    {
        if (!isValidWorldObject(owner) || !owner->isMobile())
            return nullptr;
        auto* mobile = static_cast<Mobile*>(owner);
        return new StatusGump(mobile, mobile->serial, !fullPage);
    }
    void reslotStatusBar(CGump* bar) override
    {
        if (isValidGump(bar) && bar->is(GumpKind::StatusGump))
            static_cast<StatusGump*>(bar)->moveToPartySlot();
    }
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
    CGump* createAbilityBook(int32_t x, int32_t y) override { return m_next.createAbilityBook(x, y); }
    CGump* createContainer(WorldObject* owner, int32_t art, int32_t x, int32_t y, int32_t width, int32_t height) override
    {
        return m_next.createContainer(owner, art, x, y, width, height);
    }

private:
    FactoryWindows& m_next;
};

class GameMenubar final : public MenubarWindow {
public:
    CGump* createMenubar() override { return new Menubar(); }
};

class OwnGeneralInfoWindows final : public GeneralInfoWindows {
public:
    explicit OwnGeneralInfoWindows(GeneralInfoWindows& next)
        : m_next(next)
    {
    }
    void composeMail(const std::u16string& address, const std::u16string& name, const std::u16string& subject,
        const std::u16string& body) override
    {
        m_next.composeMail(address, name, subject, body);
    }
    void partyMessage(std::span<const uint8_t> payload) override
    {
        partyTable().handleMessage(payload);
        m_next.partyMessage(payload);
    }
    void partyEnded() override
    {
        partyTable().clear();
        m_next.partyEnded();
    }
    void contextMenu(uint32_t serial, const std::vector<ContextMenuEntry>& entries) override
    {
        m_next.contextMenu(serial, entries);
    }
    void helpControl(uint8_t command, uint32_t topic, uint8_t value) override
    {
        m_next.helpControl(command, topic, value);
    }
    void spellbookContent(
        uint32_t serial, uint16_t graphic, uint16_t firstSpell, const std::array<uint8_t, 8>& bits) override
    {
        m_next.spellbookContent(serial, graphic, firstSpell, bits);
    }
    void spellToggle(uint16_t spell, bool highlighted) override { m_next.spellToggle(spell, highlighted); }
    void resetWeaponAbility() override { m_next.resetWeaponAbility(); }
    void showDamage(uint32_t serial, uint16_t damage, uint16_t hue) override { m_next.showDamage(serial, damage, hue); }
    void raceChange(bool open, uint8_t first, uint8_t second) override
    {
        openRaceChange(open, first, second);
        m_next.raceChange(open, first, second);
    }
    void showEquipInfo(const EquipInfo& info) override
    {
        EquipInfoGump::show(info);
        m_next.showEquipInfo(info);
    }

private:
    GeneralInfoWindows& m_next;
};

struct StatusWindowServices::Objects {
    Objects()
        : statusWindows(service<StatusWindows>())
        , objects(worldService<ObjectViews>())
        , factory(service<FactoryWindows>())
        , generalInfo(service<GeneralInfoWindows>())
    {
    }
    StatusBarWindows statusWindows;
    StatusObjectViews objects;
    StatusFactory factory;
    GameMenubar menubar;
    OwnGeneralInfoWindows generalInfo;

    StatusWindows* previousStatusWindows = nullptr;
    ObjectViews* previousObjects = nullptr;
    FactoryWindows* previousFactory = nullptr;
    MenubarWindow* previousMenubar = nullptr;
    GeneralInfoWindows* previousGeneralInfo = nullptr;
    PartyState* previousParty = nullptr;
};

StatusWindowServices::StatusWindowServices()
    : m_objects(std::make_unique<Objects>())
{
    Objects& o = *m_objects;
    o.previousStatusWindows = installService<StatusWindows>(&o.statusWindows);
    o.previousObjects = installWorldService<ObjectViews>(&o.objects);
    o.previousFactory = installService<FactoryWindows>(&o.factory);
    o.previousMenubar = installService<MenubarWindow>(&o.menubar);
    o.previousGeneralInfo = installService<GeneralInfoWindows>(&o.generalInfo);
    partyTable().init();
    o.previousParty = installService<PartyState>(&partyTable());
    registerProfileHandler();
}

StatusWindowServices::~StatusWindowServices()
{
    Objects& o = *m_objects;
    installService<StatusWindows>(o.previousStatusWindows);
    installWorldService<ObjectViews>(o.previousObjects);
    installService<FactoryWindows>(o.previousFactory);
    installService<MenubarWindow>(o.previousMenubar);
    installService<GeneralInfoWindows>(o.previousGeneralInfo);
    installService<PartyState>(o.previousParty);
}

void installStatusWindowServices() { installProgramServices<StatusWindowServices>(); }

void uninstallStatusWindowServices() { uninstallProgramServices<StatusWindowServices>(); }
