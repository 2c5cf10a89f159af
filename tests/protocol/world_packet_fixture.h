#pragma once
// The world packets' tests: the small world of the object tests (tile
// records, the player at (1000, 1000)), the protocol's recording doubles,
// one shown shard session whose connection queues what the client answers,
// and recorders of the windows and sounds the handlers reach. Packets go in
// through the real dispatcher; after each one the world's invariants must
// hold. snapshot() prints the model so that a refused packet can be shown to
// change nothing.

#include "fixtures/server_packet.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "net/packet_table.h"
#include "net/shard_sessions.h"
#include "protocol/world_packet_windows.h"
#include "protocol_test_state.h"
#include "world/light_pass.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/seasons.h"
#include "world/walking.h"
#include "world/world_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace test {

// Every window call of the world packets, as one line each.
class RecordingWorldWindows final : public StatusWindows,
                                    public GeneralInfoWindows,
                                    public HouseDesignWindows,
                                    public WorldEventWindows {
public:
    void statusRecordArrived(uint32_t serial, const StatusRecord& record, bool rename, bool isPlayer) override
    {
        add("status " + hex(serial) + " " + record.name + (rename ? " rename" : "") + (isPlayer ? " player" : ""));
        lastRecord = record;
    }
    void targetBarHits(uint32_t serial, int32_t hits, int32_t maxHits) override
    {
        add("targetBar " + hex(serial) + " " + std::to_string(hits) + "/" + std::to_string(maxHits));
    }
    void closeTargetBars() override { add("closeTargetBars"); }
    void closeTargetBarsShowing(uint32_t serial) override { add("closeTargetBarsShowing " + hex(serial)); }
    void vitalValuesChanged(uint32_t serial, const std::array<int32_t, 6>& values) override
    {
        std::string line = "vitals " + hex(serial);
        for (int32_t value : values)
            line += " " + std::to_string(value);
        add(line);
    }
    void statLocksChanged(uint32_t serial, uint8_t a, uint8_t b, uint8_t c) override
    {
        add("locks " + hex(serial) + " " + std::to_string(a) + std::to_string(b) + std::to_string(c));
    }
    void showNamePlateName(uint32_t serial, std::string_view name) override
    {
        add("namePlate " + hex(serial) + " " + std::string(name));
    }
    void showCombatant(uint32_t serial) override { add("combatant " + hex(serial)); }
    void showLastTarget(uint32_t serial) override { add("lastTarget " + hex(serial)); }
    void redrawTithingBooks() override { add("tithingBooks"); }
    void partyMemberName(uint32_t, std::string_view) override { }
    void clearSkillWindowRequest() override { add("clearSkillRequest"); }

    void composeMail(const std::u16string& address, const std::u16string& name, const std::u16string& subject,
        const std::u16string& body) override
    {
        add("mail " + narrow(address) + "|" + narrow(name) + "|" + narrow(subject) + "|" + narrow(body));
    }
    void partyMessage(std::span<const uint8_t> bytes) override { add("party " + std::to_string(bytes.size())); }
    void contextMenu(uint32_t serial, const std::vector<ContextMenuEntry>& entries) override
    {
        std::string line = "contextMenu " + hex(serial);
        for (const ContextMenuEntry& entry : entries)
            line += " " + std::to_string(entry.tag) + ":" + std::to_string(entry.textId) + ":" + std::to_string(entry.hue);
        add(line);
    }
    void helpControl(uint8_t command, uint32_t topic, uint8_t value) override
    {
        add("help " + std::to_string(command) + " " + std::to_string(topic) + " " + std::to_string(value));
    }
    void spellbookContent(uint32_t serial, uint16_t graphic, uint16_t first, const std::array<uint8_t, 8>& bits) override
    {
        add("spellbook " + hex(serial) + " " + std::to_string(graphic) + " " + std::to_string(first) + " "
            + std::to_string(bits[0]) + "," + std::to_string(bits[7]));
    }
    void spellToggle(uint16_t spell, bool on) override { add("spellToggle " + std::to_string(spell) + (on ? " on" : " off")); }
    void resetWeaponAbility() override { add("resetAbility"); }
    void showDamage(uint32_t serial, uint16_t damage, uint16_t hue) override
    {
        add("damage " + hex(serial) + " " + std::to_string(damage) + " hue " + std::to_string(hue));
    }
    void raceChange(bool open, uint8_t first, uint8_t second) override
    {
        add(std::string("raceChange ") + (open ? "open " : "close ") + std::to_string(first) + " " + std::to_string(second));
    }
    void showEquipInfo(const EquipInfo& info) override
    {
        std::string line = "equipInfo " + hex(info.serial) + " " + std::to_string(info.nameText) + " crafter '"
            + info.crafter + "'" + (info.identified ? "" : " unidentified");
        for (const auto& [text, value] : info.attributes)
            line += " " + std::to_string(text) + "=" + std::to_string(value);
        add(line);
    }

    uint32_t designedHouse() override { return designed; }
    void designRevised() override { add("designRevised"); }
    void addComponent(uint32_t house, uint16_t graphic, int32_t x, int32_t y, int32_t z) override
    {
        add("addComponent " + hex(house) + " " + std::to_string(graphic) + " " + std::to_string(x) + ","
            + std::to_string(y) + "," + std::to_string(z));
    }
    void removeComponent(uint32_t house, uint16_t graphic, int32_t, int32_t, int32_t) override
    {
        add("removeComponent " + hex(house) + " " + std::to_string(graphic));
    }
    void beginCustomizing(uint32_t house) override { add("beginCustomizing " + hex(house)); }
    void endCustomizing(uint32_t house) override { add("endCustomizing " + hex(house)); }

    void playerDied() override { add("playerDied"); }
    void openCourseMap(uint32_t serial, uint16_t art, const std::array<uint16_t, 6>& area) override
    {
        add("courseMap " + hex(serial) + " " + std::to_string(art) + " " + std::to_string(area[0]) + "-"
            + std::to_string(area[5]));
    }
    void closeBankBox() override { add("closeBankBox"); }
    CGump* openSpellbook(uint32_t serial) override
    {
        add("openSpellbook " + hex(serial));
        return spellbookWindow;
    }

    static std::string hex(uint32_t value)
    {
        char text[16];
        std::snprintf(text, sizeof text, "%08X", value);
        return text;
    }
    static std::string narrow(const std::u16string& text)
    {
        std::string out;
        for (char16_t unit : text)
            out.push_back(char(unit));
        return out;
    }
    void add(std::string line) { calls.push_back(std::move(line)); }

    std::vector<std::string> calls;
    StatusRecord lastRecord;
    uint32_t designed = 0;
    // What openSpellbook answers.
    CGump* spellbookWindow = nullptr;
};

class RecordingSounds final : public WorldSounds {
public:
    void playSound(int32_t id, int32_t, int32_t, bool, int32_t, bool) override
    {
        calls.push_back("sound " + std::to_string(id));
    }
    void playSoundAt(int32_t id, int32_t x, int32_t y, int32_t z, float, bool, int32_t, bool) override
    {
        calls.push_back("soundAt " + std::to_string(id) + " " + std::to_string(x) + "," + std::to_string(y) + ","
            + std::to_string(z));
    }
    std::vector<std::string> calls;
};

// The texts shown over objects.
class RecordingOverheads final : public OverheadTextViews {
public:
    void create(StaticObject& object, std::string_view text, uint16_t hue, uint16_t font, int32_t, bool) override
    {
        uint32_t serial = object.hasItemTile() && object.isDynamic() ? static_cast<Item&>(object).serial : 0;
        texts.push_back(RecordingWorldWindows::hex(serial) + " " + std::string(text) + " hue " + std::to_string(hue)
            + " font " + std::to_string(font));
    }
    std::vector<std::string> texts;
};

class WorldPacketTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        connection = new GameConnection;
        connection->setCompressed(true);
        session = addShardSession("Test Shard", connection);
        setCurrentGameConnection(connection);
        setSeason(0);
        resetLightLevels();
        resetWalkState();
        statusRecord() = StatusRecord {};
    }
    void TearDown() override
    {
        setCurrentSession(nullptr);
        EXPECT_EQ(checkWorldInvariants(), "");
        // The land a position loaded goes with the grid.
        resetMapView();
        WorldTest::TearDown();
        // Later suites start from the map view and connection they find.
        mapView() = MapView {};
        setCurrentGameConnection(nullptr);
        setSeason(0);
        resetLightLevels();
        resetWalkState();
        setDeathScreenShown(false);
    }

    // Through the dispatcher, as the framing hands packets over; the world
    // must hold together after every packet.
    void dispatch(const std::vector<uint8_t>& bytes, GameConnection* from = nullptr)
    {
        dispatchGamePacket(from ? *from : *connection, bytes.data());
        EXPECT_EQ(checkWorldInvariants(), "");
    }

    // What the client queued on the shown connection, one packet each; the
    // queue is emptied.
    std::vector<std::vector<uint8_t>> sent()
    {
        std::vector<std::vector<uint8_t>> packets;
        const uint8_t* bytes = connection->queuedBytes();
        uint32_t fill = connection->sendFill();
        for (uint32_t at = 0; at < fill;) {
            uint32_t length = packetLength(bytes + at);
            if (length == 0 || at + length > fill)
                break;
            packets.emplace_back(bytes + at, bytes + at + length);
            at += length;
        }
        connection->resetState();
        connection->setCompressed(true);
        return packets;
    }

    // The model as text: every item with its place and look, the player's
    // state, the walking queue, the light, the season and the status record.
    static std::string snapshot()
    {
        std::string text;
        for (Item* item = itemList().head(); item; item = ItemList::next(item)) {
            char line[200];
            std::snprintf(line, sizeof line, "%08X g%u a%u h%u f%u @%d,%d,%d in%08X l%u p%d d%d\n", item->serial,
                unsigned(item->graphic), unsigned(item->amount), unsigned(item->hue), unsigned(item->flags), item->x,
                item->y, item->z, item->container() ? static_cast<Item*>(item->container())->serial : 0u,
                unsigned(item->layer), item->isPlaced() ? 1 : 0, int(item->direction));
            text += line;
            if (item->isMobile()) {
                auto* mobile = static_cast<Mobile*>(item);
                std::snprintf(line, sizeof line, "  noto%d hits%d/%d mana%d/%d stam%d/%d dead%d anim%d flags%zu\n",
                    mobile->notoriety, mobile->hits, mobile->maxHits, mobile->mana, mobile->maxMana, mobile->stamina,
                    mobile->maxStamina, mobile->deadFlag, mobile->animationRunning, mobile->statusFlags.size());
                text += line;
            }
        }
        if (PlayerMobile* self = player()) {
            for (uint32_t key : self->walkKeys)
                text += std::to_string(key) + " ";
            text += "attack" + std::to_string(self->attackTarget) + " speed" + std::to_string(self->speedMode)
                + " light" + std::to_string(self->lightModifier) + "\n";
        }
        text += "light " + std::to_string(lightLevels().global) + "/" + std::to_string(lightLevels().personal)
            + " season " + std::to_string(getSeason()) + " drag " + std::to_string(dragState().dragging)
            + " record '" + statusRecord().name + "' serial " + std::to_string(playerSerial()) + " steps "
            + std::to_string(stepQueue().count) + " follow " + std::to_string(stepQueue().serverFollow)
            + " combatant " + std::to_string(stepQueue().combatantSerial) + " facet "
            + std::to_string(mapView().currentFacet) + "\n";
        return text;
    }

    ProtocolTestState state;
    RecordingWorldWindows windows;
    ScopedService<StatusWindows> statusGuard { windows };
    ScopedService<GeneralInfoWindows> infoGuard { windows };
    ScopedService<HouseDesignWindows> houseGuard { windows };
    ScopedService<WorldEventWindows> eventGuard { windows };
    RecordingSounds sounds;
    ScopedWorldService<WorldSounds> soundGuard { sounds };
    RecordingOverheads overheads;
    ScopedWorldService<OverheadTextViews> overheadGuard { overheads };
    GameConnection* connection = nullptr;
    ShardSession* session = nullptr;
};

using fixture::ServerPacket;

// A fixed packet from its fields.
inline ServerPacket fixedPacket(uint8_t id) { return ServerPacket(id, ServerPacket::Length::Fixed); }

} // namespace test
