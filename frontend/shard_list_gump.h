#pragma once
// The shard list: after the account login, the login server's shards in a
// three-column scrolling list (name, round trip, packet loss) that the
// player re-sorts by time-zone distance, load or round trip; the last shard
// chosen is remembered, and the choice goes to the server (0xA0). The round
// trips come from the UDP round-trip monitor, whose worker thread only
// raises a flag that the window reads when it draws. Main thread only,
// except onPingUpdate.

#include "frontend/front_end_gump.h"

#include <cstdint>
#include <string>

class Button;
class InputControl;
class ScrollChoiceGump;

class ShardListGump final : public FrontEndGump {
public:
    static constexpr int32_t kFrameArt = 3500;
    static constexpr int32_t kNoPingKey = 999999;

    ShardListGump();
    // Stops the round-trip monitor and forgets the window.
    ~ShardListGump() override;

    // The three sorts of the list's sort buttons. Each is a selection sort
    // over the display order (rebuilt as the packet's order first) in which
    // ties keep the earlier shard and a shard of time zone 50 is never
    // chosen; the best shard of the sort gets the sort's marker.
    static void sortByTimeZone(ScrollChoiceGump& list);
    static void sortByLoad(ScrollChoiceGump& list);
    static void sortByPing(ScrollChoiceGump& list);

    // Fills the rows from the shard list and the monitor.
    void refreshColumns();
    // The monitor's callback: runs on its thread and only raises the flag.
    static void onPingUpdate(int32_t);

    // Rebuilds the columns when the monitor reported, then draws.
    void draw(GumpCanvas& canvas) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onKey(uint32_t code) override;
    void onEnter() override;

    void onArrow();
    void onSelectButton();
    void onBack();

    ScrollChoiceGump* list() const { return m_list; }
    int32_t initialShardId() const { return m_initialShardId; }
    int32_t selectedShardId() const { return m_selectedShardId; }
    const std::string& selectedShardName() const { return m_selectedName; }
    InputControl* nameLabel() const { return m_nameLabel; }

private:
    int32_t m_initialShardId = 0;
    // The monitor this list shows (pingMonitorGeneration at its making).
    uint32_t m_monitorGeneration = 0;
    std::string m_selectedName;
    int32_t m_selectedShardId = 0;
    Button* m_arrow = nullptr;
    Button* m_back = nullptr;
    Button* m_select = nullptr;
    InputControl* m_nameLabel = nullptr;
    ScrollChoiceGump* m_list = nullptr;
};

// The one way a shard is chosen: stores it as the last one, names the first
// session after it, sends the choice and deletes `window`.
void selectShard(CGump* window, int32_t shardId);

// The text of the round-trip and loss columns of one shard.
struct ShardColumns {
    std::string roundTrip;
    std::string loss;
};
ShardColumns shardColumnsFor(uint32_t sent, uint32_t replies, uint32_t meanMs, bool hasHost);
