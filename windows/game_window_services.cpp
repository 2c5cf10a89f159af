#include "windows/game_window_services.h"

#include "core/wide_text.h"
#include "data/client_services.h"
#include "gump/button.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/waiting_gump.h"
#include "protocol/world_packet_windows.h"
#include "windows/container_gump.h"
#include "windows/drag_gump.h"
#include "windows/equipment_layers.h"
#include "windows/gump_world_objects.h"
#include "windows/macro_files.h"
#include "windows/name_plate_gump.h"
#include "windows/options_gump.h"
#include "windows/overhead_text.h"
#include "windows/paperdoll_gump.h"
#include "windows/program_services.h"
#include "windows/speech_line_gump.h"
#include "windows/speech_services.h"
#include "windows/status_gump.h"
#include "windows/system_text.h"
#include "windows/world_view_gump.h"
#include "world/container_item.h"
#include "world/mobile.h"
#include "world/multi_preview.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"
#include "world/walking.h"
#include "world/world_services.h"

#include <memory>
#include <string>

// The views below have names of their own rather than an anonymous namespace:
// GameWindowServices::Objects holds them as members.

class WindowContainerViews final : public ContainerViews {
public:
    explicit WindowContainerViews(ContainerViews& next)
        : m_next(next)
    {
    }
    void itemEntered(ContainerItem& container, Item& item) override
    {
        ContainerGump* window = findContainerGump(container);
        if (window && !window->isClosing())
            window->redrawItem(item);
        m_next.itemEntered(container, item);
    }
    void itemLeft(Item& parent, Item& item) override
    {
        if (parent.isContainer() && !isContainerBulkAdd()) {
            ContainerGump* window = findContainerGump(static_cast<ContainerItem&>(parent));
            if (window && !window->isClosing())
                window->redraw(window->itemRect(item));
        }
        if (parent.isMobile()) {
            if (PaperdollGump* doll = findPaperdoll(static_cast<Mobile&>(parent)))
                doll->markDirty();
        }
        m_next.itemLeft(parent, item);
    }
    void containerDestroyed(ContainerItem& container) override
    {
        if (ContainerGump* window = findContainerGump(container); window && !window->isClosing()) {
            window->containerGoing();
            closeGump(window);
        }
        m_next.containerDestroyed(container);
    }
    void contentsArrived(ContainerItem& container) override
    {
        if (ContainerGump* window = findContainerGump(container); window && !window->isClosing())
            window->redrawWhole();
        m_next.contentsArrived(container);
    }

private:
    ContainerViews& m_next;
};

class WindowPaperdollViews final : public PaperdollViews {
public:
    void layersChanged(Mobile& mobile) override
    {
        if (PaperdollGump* doll = findPaperdoll(mobile))
            doll->markDirty();
    }
};

class WindowObjectViews final : public ObjectViews {
public:
    explicit WindowObjectViews(ObjectViews& next)
        : m_next(next)
    {
    }
    void objectLeftWorld(Item& item) override
    {
        if (WorldViewGump* view = worldViewGump())
            view->forgetObject(&item);
        m_next.objectLeftWorld(item);
    }
    void mobileHidden(Mobile& mobile) override { m_next.mobileHidden(mobile); }
    void objectDestroyed(Item& item) override
    {
        if (WorldViewGump* view = worldViewGump())
            view->forgetObject(&item);
        closeGump(allNamesFind(item.serial));
        if (item.isMobile()) {
            if (PaperdollGump* doll = findPaperdoll(static_cast<Mobile&>(item)))
                closeGump(doll);
        }
        m_next.objectDestroyed(item);
    }
    void refreshStatusBars(Item& item, int32_t kind) override { m_next.refreshStatusBars(item, kind); }
    void mobileMoved(Mobile& mobile, bool wasMoving) override
    {
        followOwnerTexts(mobile);
        if (CGump* plate = allNamesFind(mobile.serial); plate && plate->is(GumpKind::NamePlate))
            static_cast<NamePlateGump*>(plate)->followMobile();
        m_next.mobileMoved(mobile, wasMoving);
    }

private:
    ObjectViews& m_next;
};

class WindowOverheadTexts final : public OverheadTextViews {
public:
    int32_t textCount(const StaticObject& object) override
    {
        int32_t count = 0;
        for (BarkGump* text = newestText(&object); text; text = text->olderText())
            ++count;
        return count;
    }
    bool deleteOldestUnkept(StaticObject& object) override
    {
        BarkGump* oldest = nullptr;
        for (BarkGump* text = newestText(&object); text; text = text->olderText()) {
            if (!text->isKept() && text->storedKind() == 0)
                oldest = text;
        }
        if (!oldest)
            return false;
        closeGump(oldest);
        return true;
    }
    void deleteUnkept(StaticObject& object) override
    {
        while (deleteOldestUnkept(object)) { }
    }
    void deleteAll(StaticObject& object) override { deleteOwnerTexts(&object); }
    void create(StaticObject& object, std::string_view text, uint16_t hue, uint16_t font, int32_t kind, bool kept) override
    {
        if (BarkGump* bark = makeBarkGump(&object, text, hue, font, nullptr, kind, isShowingYouSeeText()))
            bark->setKept(kept);
    }
    std::vector<OverheadTextRecord> texts(const StaticObject& object) override
    {
        std::vector<OverheadTextRecord> records;
        for (BarkGump* text = newestText(&object); text; text = text->olderText()) {
            OverheadTextRecord record;
            record.isAscii = text->isAsciiBark();
            if (record.isAscii)
                record.narrowText = text->text();
            else
                record.wideText = static_cast<UnicodeBarkGump*>(text)->wideText();
            record.hue = text->hue();
            record.font = text->font();
            record.startTime = int32_t(text->creationTime());
            record.lifetime = text->lifetime();
            records.push_back(std::move(record));
        }
        return records;
    }
    void restore(StaticObject& object, const OverheadTextRecord& record) override
    {
        BarkGump* text = record.isAscii ? makeBarkGump(&object, record.narrowText, record.hue, record.font)
                                        : makeUnicodeBarkGump(&object, record.wideText, record.hue, record.font);
        if (text)
            text->setTimes(uint32_t(record.startTime), record.lifetime);
    }
};

class WindowDragViews final : public DragViews {
public:
    void openAmountWindow(Item& item) override
    {
        gumpOpenByKind(&item, gump_kind::kStackChooser, nullptr, false, false);
    }
    void createDragWindow(const DragState& held) override
    {
        closeGump(dragGump());
        new DragGump(held);
    }
    void forgetObjectUnderPointer() override
    {
        if (WorldViewGump* view = worldViewGump())
            view->clearHighlights();
    }
};

// The windows of the texts the speech code and the journal show
// (windows/system_text.h writes the journal line before it calls these).
class WindowTexts final : public TextWindows {
public:
    void showSystemText(std::string_view text, uint16_t hue, uint16_t font) override
    {
        makeBarkGump(nullptr, text, hue, font);
    }
    void showUnicodeText(StaticObject* owner, std::u16string_view text, uint16_t hue, uint16_t font,
        std::string_view language, CGump* extra) override
    {
        makeUnicodeBarkGump(owner, text, hue, font, language, extra, isShowingYouSeeText());
    }
    void showSpeechLine(std::u16string_view text, uint16_t hue, uint16_t font, bool unicode) override
    {
        SpeechLineGump* line = speechLineGump();
        if (!line) {
            if (unicode)
                new SpeechLineGump(text, hue);
            else
                new SpeechLineGump(std::string_view(lowBytesOf(text)), hue, font);
        } else if (unicode) {
            line->setTextUnicode(text, hue);
        } else {
            line->setText(lowBytesOf(text), hue, font);
        }
    }
};

class WindowSystemNotices final : public WindowNotices {
public:
    explicit WindowSystemNotices(WindowNotices& next)
        : m_next(next)
    {
    }
    void addSystemMessage(uint16_t hue, uint16_t font, std::string_view text) override
    {
        m_next.addSystemMessage(hue, font, text);
    }
    // A notice the player answers with the box's button.
    void showWaitingBox(std::string_view text) override
    {
        gumpShowWaiting(std::string(text), nullptr, false, false, false);
        m_next.showWaitingBox(text);
    }
    void clearAbilityIcons() override { m_next.clearAbilityIcons(); }
    void showPlayerWarMode(bool war) override
    {
        const PlayerMobile* self = player();
        // The player's status windows draw their bar in the war colours.
        if (self) {
            for (const GumpHandle& handle : statusGumpsOf(self->serial)) {
                if (CGump* gump = handle.get())
                    static_cast<StatusGump*>(gump)->update();
            }
        }
        PaperdollGump* doll = self ? findPaperdoll(*self) : nullptr;
        if (doll && doll->warButton()) {
            Button* button = doll->warButton();
            button->setArtId(war ? 2024 : 2021);
            button->setDownArt(war ? 2025 : 2022);
            button->setHoverArt(war ? 2026 : 2023);
        }
        m_next.showPlayerWarMode(war);
    }
    // A design the server asked to place goes with its pieces; one the house
    // designer set stays (its pieces come back at the next frame).
    void clearPlacementPreview() override
    {
        if (MultiPreview* preview = multiPreview()) {
            preview->clearIfTemporary();
            preview->deletePieces();
        }
        m_next.clearPlacementPreview();
    }
    void reloadSkillGroups() override
    {
        service<SkillGroups>().loadSkillGroups();
        m_next.reloadSkillGroups();
    }
    void reloadMacros() override
    {
        macro::loadMacros();
        m_next.reloadMacros();
    }

private:
    WindowNotices& m_next;
};

class WindowFactory final : public FactoryWindows {
public:
    explicit WindowFactory(FactoryWindows& next)
        : m_next(next)
    {
    }
    CGump* createTextWindow(int32_t x, int32_t y) override { return m_next.createTextWindow(x, y); }
    CGump* createStatusBar(WorldObject* owner, bool fullPage) override { return m_next.createStatusBar(owner, fullPage); }
    void reslotStatusBar(CGump* bar) override { m_next.reslotStatusBar(bar); }
    CGump* createPaperdoll(WorldObject* owner, int32_t x, int32_t y) override
    {
        if (!isValidWorldObject(owner) || !owner->isMobile())
            return nullptr;
        const PlayerMobile* self = player();
        return new PaperdollGump(x, y, *static_cast<Mobile*>(owner), "", self && self->warMode != 0);
    }
    CGump* createShop(WorldObject* vendor, int32_t x, int32_t y) override { return m_next.createShop(vendor, x, y); }
    CGump* createStackChooser(WorldObject* item, int32_t x, int32_t y) override
    {
        return m_next.createStackChooser(item, x, y);
    }
    CGump* optionsWindow() override { return openOptionsWindow(); }
    bool hasOptionsRecord() override { return hasOptionsWindowRecord(); }
    CGump* createOptionsWindow() override { return openOptionsGump(); }
    CGump* createRadar(int32_t face, int32_t x, int32_t y) override { return m_next.createRadar(face, x, y); }
    int32_t radarSizeValue(CGump* radar) override { return m_next.radarSizeValue(radar); }
    CGump* createAbilityBook(int32_t x, int32_t y) override { return m_next.createAbilityBook(x, y); }
    CGump* createContainer(WorldObject* owner, int32_t art, int32_t x, int32_t y, int32_t width, int32_t height) override
    {
        if (!isValidWorldObject(owner) || !owner->isContainer())
            return nullptr;
        auto* container = static_cast<ContainerItem*>(owner);
        return new ContainerGump(x, y, *container, art == ContainerGump::kMinimisableArt ? 2 : 1, width, height, art,
            false);
    }

private:
    FactoryWindows& m_next;
};

class WindowNamePlates final : public NamePlates {
public:
    CGump* createNamePlate(uint32_t serial) override
    {
        WorldObject* object = findObjectBySerial(serial);
        return object ? new NamePlateGump(*object) : nullptr;
    }
};

// The player's step request closes the bank box, the one container window
// that asks to close on the next step.
class WindowStepClosing final : public StepClosedWindows {
public:
    void closeWindowsOnStep() override { closeBankBoxGump(); }
};

// The player moved outright (0x20): the bank box closes; the player died:
// every window of a world object closes; the course map and the spellbook
// stay with the service installed before.
class WindowWorldEvents final : public WorldEventWindows {
public:
    explicit WindowWorldEvents(WorldEventWindows& next)
        : m_next(next)
    {
    }
    // The dead player's world goes: every window of a world object closes.
    void playerDied() override
    {
        gumpCloseObjectGumps();
        m_next.playerDied();
    }
    void openCourseMap(uint32_t serial, uint16_t art, const std::array<uint16_t, 6>& area) override
    {
        m_next.openCourseMap(serial, art, area);
    }
    void closeBankBox() override { closeBankBoxGump(); }
    CGump* openSpellbook(uint32_t serial) override { return m_next.openSpellbook(serial); }

private:
    WorldEventWindows& m_next;
};

struct GameWindowServices::Objects {
    explicit Objects()
        : containers(worldService<ContainerViews>())
        , objects(worldService<ObjectViews>())
        , notices(windowNotices())
        , factory(service<FactoryWindows>())
        , worldEvents(service<WorldEventWindows>())
    {
    }
    WindowContainerViews containers;
    WindowPaperdollViews paperdolls;
    WindowObjectViews objects;
    WindowOverheadTexts texts;
    WindowDragViews drags;
    WindowTexts textWindows;
    PaperdollEquipmentRules rules;
    WindowSystemNotices notices;
    WindowFactory factory;
    WindowNamePlates plates;
    WorldObjectsForGumps objectsForGumps;
    WindowStepClosing stepClosing;
    WindowWorldEvents worldEvents;

    ContainerViews* previousContainers = nullptr;
    PaperdollViews* previousPaperdolls = nullptr;
    ObjectViews* previousObjects = nullptr;
    OverheadTextViews* previousTexts = nullptr;
    DragViews* previousDrags = nullptr;
    TextWindows* previousTextWindows = nullptr;
    EquipmentRules* previousRules = nullptr;
    WindowNotices* previousNotices = nullptr;
    FactoryWindows* previousFactory = nullptr;
    NamePlates* previousPlates = nullptr;
    GumpWorld* previousObjectsForGumps = nullptr;
    StepClosedWindows* previousStepClosing = nullptr;
    WorldEventWindows* previousWorldEvents = nullptr;
};

GameWindowServices::GameWindowServices()
    : m_objects(std::make_unique<Objects>())
{
    Objects& o = *m_objects;
    o.previousContainers = installWorldService<ContainerViews>(&o.containers);
    o.previousPaperdolls = installWorldService<PaperdollViews>(&o.paperdolls);
    o.previousObjects = installWorldService<ObjectViews>(&o.objects);
    o.previousTexts = installWorldService<OverheadTextViews>(&o.texts);
    o.previousDrags = installWorldService<DragViews>(&o.drags);
    o.previousTextWindows = installService<TextWindows>(&o.textWindows);
    o.previousRules = installWorldService<EquipmentRules>(&o.rules);
    o.previousNotices = installWindowNotices(&o.notices);
    o.previousFactory = installService<FactoryWindows>(&o.factory);
    o.previousPlates = installService<NamePlates>(&o.plates);
    o.previousObjectsForGumps = installService<GumpWorld>(&o.objectsForGumps);
    o.previousStepClosing = installWorldService<StepClosedWindows>(&o.stepClosing);
    o.previousWorldEvents = installService<WorldEventWindows>(&o.worldEvents);
}

GameWindowServices::~GameWindowServices()
{
    Objects& o = *m_objects;
    installWorldService<ContainerViews>(o.previousContainers);
    installWorldService<PaperdollViews>(o.previousPaperdolls);
    installWorldService<ObjectViews>(o.previousObjects);
    installWorldService<OverheadTextViews>(o.previousTexts);
    installWorldService<DragViews>(o.previousDrags);
    installService<TextWindows>(o.previousTextWindows);
    installWorldService<EquipmentRules>(o.previousRules);
    installWindowNotices(o.previousNotices);
    installService<FactoryWindows>(o.previousFactory);
    installService<NamePlates>(o.previousPlates);
    installService<GumpWorld>(o.previousObjectsForGumps);
    installWorldService<StepClosedWindows>(o.previousStepClosing);
    installService<WorldEventWindows>(o.previousWorldEvents);
}

void installGameWindowServices() { installProgramServices<GameWindowServices>(); }

void uninstallGameWindowServices() { uninstallProgramServices<GameWindowServices>(); }
