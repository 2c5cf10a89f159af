#include "frontend/shard_list_gump.h"

#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "frontend/front_end_flow.h"
#include "frontend/front_end_state.h"
#include "frontend/login_sequence.h"
#include "frontend/scroll_choice_gump.h"
#include "gump/button.h"
#include "gump/entry_core.h"
#include "gump/gump_manager.h"
#include "gump/input_control.h"
#include "gump/unicode_input_control.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "net/new_character_record.h"
#include "net/ping_monitor.h"
#include "net/shard_sessions.h"
#include "protocol/login_state.h"
#include "protocol/protocol_services.h"
#include "protocol/protocol_text.h"

#include <atomic>
#include <cstdio>
#include <functional>

namespace {

constexpr int32_t kShardNameHue = 1153;
constexpr int8_t kUnlistedZone = 50;

// Raised by the monitor's thread, read by the window on the main thread. It
// belongs to the front end, not to a window, so a late callback never
// touches a window that is gone.
std::atomic<bool>& refreshWanted()
{
    static std::atomic<bool> wanted { false };
    return wanted;
}

const ShardEntry* shardById(int32_t id)
{
    for (const ShardEntry& shard : shardList().shards) {
        if (!shard.name.empty() && shard.id == id)
            return &shard;
    }
    return nullptr;
}

// The selection sort of the three sort buttons. `candidate` says whether a
// shard may be chosen at all, `key` what it is sorted by.
void selectionSort(ScrollChoiceGump& list, int32_t markIndex, const std::function<bool(const ShardEntry&, int32_t)>& candidate,
    const std::function<int32_t(const ShardEntry&, int32_t)>& key)
{
    const std::vector<ShardEntry>& shards = shardList().shards;
    std::vector<int32_t>& order = list.order();
    order.resize(shards.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int32_t(i);
    const int32_t count = int32_t(order.size());
    for (int32_t i = 0; i + 1 < count; ++i) {
        int32_t best = -1;
        int32_t bestKey = 0;
        for (int32_t j = i; j < count; ++j) {
            const int32_t index = order[size_t(j)];
            const ShardEntry& shard = shards[size_t(index)];
            if (shard.timeZone == kUnlistedZone || !candidate(shard, index))
                continue;
            const int32_t value = key(shard, index);
            if (best == -1 || value < bestKey) {
                best = j;
                bestKey = value;
            }
        }
        if (best != -1 && best != i)
            std::swap(order[size_t(i)], order[size_t(best)]);
    }
    if (auto* window = static_cast<ShardListGump*>(list.parent()))
        window->refreshColumns();
    // The best shard of this sort carries its marker.
    if (!order.empty())
        list.setMark(markIndex, shards[size_t(order.front())].id);
    list.redrawList();
}

} // namespace

ShardColumns shardColumnsFor(uint32_t sent, uint32_t replies, uint32_t meanMs, bool hasHost)
{
    char roundTrip[20] = "-";
    char loss[20] = "-";
    if (hasHost) {
        if (replies >= 1)
            std::snprintf(roundTrip, sizeof roundTrip, "%3.1dms", int(meanMs));
        if (sent >= 1) {
            const double lost = 100.0 - double(replies) / double(sent) * 100.0;
            if (lost < 100.0)
                std::snprintf(loss, sizeof loss, "%3.0f%%", lost);
        }
    }
    return { roundTrip, loss };
}

ShardListGump::ShardListGump()
    : FrontEndGump(0, 0, kFrontEndWidth, kFrontEndHeight)
{
    setTypeName("ShardList gump");
    m_monitorGeneration = pingMonitorGeneration();
    if (PingMonitor* monitor = getPingMonitor())
        monitor->setCallback(&ShardListGump::onPingUpdate);
    refreshWanted() = false;
    gumpSetFocus(this);

    const std::vector<ShardEntry>& shards = shardList().shards;
    const int32_t lastServer = configValues().lastServerId;
    m_selectedShardId = shardById(lastServer) ? lastServer : (shards.empty() ? 0 : shards.front().id);
    if (const ShardEntry* selected = shardById(m_selectedShardId))
        m_selectedName = selected->name;
    m_initialShardId = m_selectedShardId;
    makePage();

    m_list = new ScrollChoiceGump(this, kFrameArt, 150, 90, 400, 316, nullptr, true, false);
    sortByTimeZone(*m_list);
    gumpLink(m_list, this);
    refreshColumns();
    m_list->setRightClickCloses(false);

    auto* decoration = new Button(150, 390, ButtonBehaviour::ClickOnRelease, 0, nullptr, 1417, 1417, false);
    decoration->setHoverArt(1417);
    gumpLink(decoration, this);

    m_select = new Button(160, 400, ButtonBehaviour::ClickOnRelease, 0, onParent<&ShardListGump::onSelectButton>,
        5608, 5610, false);
    m_select->setHoverArt(5609);
    m_select->setTooltipId(100015);
    gumpLink(m_select, this);

    m_nameLabel = new InputControl(
        240, 418, EntrySize { 160, 30, false }, int32_t(EntryMode::ComboText), 16, 9, kShardNameHue, false, false);
    m_nameLabel->options.readOnly = true;
    m_nameLabel->setNarrowText(m_selectedName);
    m_nameLabel->redraw();
    gumpLink(m_nameLabel, this);

    m_arrow = new Button(
        610, 435, ButtonBehaviour::ClickOnRelease, 0, onParent<&ShardListGump::onArrow>, 5540, 5542, false);
    m_arrow->setHoverArt(5541);
    m_arrow->setTooltipId(100019);
    gumpLink(m_arrow, this);

    m_back = new Button(
        586, 435, ButtonBehaviour::ClickOnRelease, 0, onParent<&ShardListGump::onBack>, 5537, 5539, false);
    m_back->setHoverArt(5538);
    m_back->setTooltipId(100018);
    gumpLink(m_back, this);

    struct Heading {
        int32_t x;
        int32_t font;
        int32_t hue;
        int32_t cliloc;
    };
    for (const Heading& heading : { Heading { 155, 1, 88, 1044579 }, Heading { 400, 1, 14, 1044577 },
             Heading { 470, 9, 995, 1044578 } }) {
        auto* label = new UnicodeInputControl(heading.x, 70, EntrySize { 300, 30, false }, int32_t(EntryMode::Text),
            30, heading.font, heading.hue, false, false);
        label->options.readOnly = true;
        label->setText(clilocText(heading.cliloc));
        label->redraw();
        gumpLink(label, this);
    }
}

ShardListGump::~ShardListGump()
{
    // A list replaced by a newer one leaves the newer list's monitor running.
    if (pingMonitorGeneration() == m_monitorGeneration) {
        if (PingMonitor* monitor = getPingMonitor())
            monitor->clearCallback();
        destroyPingMonitor();
    }
    if (gumpFocus() == this)
        gumpReleaseFocus();
}

void ShardListGump::onPingUpdate(int32_t) { refreshWanted() = true; }

void ShardListGump::refreshColumns()
{
    if (!m_list || !m_list->hasOrder())
        return;
    m_list->clearItems();
    const std::vector<ShardEntry>& shards = shardList().shards;
    PingMonitor* monitor = getPingMonitor();
    for (int32_t index : m_list->order()) {
        if (index < 0 || size_t(index) >= shards.size())
            continue;
        const ShardEntry& shard = shards[size_t(index)];
        std::optional<PingHost> host = monitor ? monitor->host(index) : std::nullopt;
        const ShardColumns columns
            = shardColumnsFor(host ? host->sent : 0, host ? host->replies : 0, host ? host->mean : 0, host.has_value());
        m_list->addItem(shard.id, shard.name, 0, columns.roundTrip, columns.loss);
    }
    m_list->redrawList();
}

void ShardListGump::sortByTimeZone(ScrollChoiceGump& list)
{
    selectionSort(
        list, 0, [](const ShardEntry&, int32_t) { return true; },
        [](const ShardEntry& shard, int32_t) { return int32_t(shard.zoneDistance); });
}

void ShardListGump::sortByLoad(ScrollChoiceGump& list)
{
    selectionSort(
        list, 1, [](const ShardEntry&, int32_t) { return true; },
        [](const ShardEntry& shard, int32_t) { return int32_t(shard.percentFull); });
}

void ShardListGump::sortByPing(ScrollChoiceGump& list)
{
    PingMonitor* monitor = getPingMonitor();
    selectionSort(
        list, 2, [monitor](const ShardEntry&, int32_t index) { return monitor && monitor->host(index).has_value(); },
        [monitor](const ShardEntry&, int32_t index) {
            std::optional<PingHost> host = monitor ? monitor->host(index) : std::nullopt;
            return host && host->replies >= 1 ? int32_t(host->mean) : kNoPingKey;
        });
}

void ShardListGump::draw(GumpCanvas& canvas)
{
    // The flag stays up: while the monitor reports, every draw shows its
    // latest numbers.
    if (refreshWanted())
        refreshColumns();
    FrontEndGump::draw(canvas);
}

void ShardListGump::onLeftUp(int32_t, int32_t) { releasePointerCapture(); }

void ShardListGump::onKey(uint32_t code)
{
    if (code == GumpKey::kEnter)
        onEnter();
}

void ShardListGump::onEnter() { selectShard(this, m_selectedShardId); }

void ShardListGump::onArrow()
{
    setVisible(false);
    selectShard(this, m_initialShardId);
}

void ShardListGump::onSelectButton()
{
    setVisible(false);
    if (shardById(m_selectedShardId))
        selectShard(this, m_selectedShardId);
}

void ShardListGump::onBack()
{
    igrSessions().requestStopAllSessions();
    // The login connection stays open: the next login sends the account
    // login on it at once. The road itself ends here, as every way back to
    // the main menu ends it.
    loginSession().loginInProgress = false;
    if (m_list)
        m_list->setQuietClose(true);
    frontEnd().shardListWindow = GumpHandle();
    closeGump(this);
    openNewMainMenu();
}

void selectShard(CGump* window, int32_t shardId)
{
    LoginSession& session = loginSession();
    if (const ShardEntry* shard = shardById(shardId))
        session.shardName = shard->name;
    setConfigValue(ConfigKeyKind::LastServerID, std::to_string(shardId));
    configValues().lastServerId = shardId;
    const std::vector<ShardSession*>& sessions = sessionList();
    if (!sessions.empty())
        sessions.front()->name = session.shardName;

    PacketStorage<8> packet;
    if (buildServerSelectPacket(packet, uint16_t(shardId)))
        sendPacket(packet);
    frontEnd().chosenShardId = shardId;
    newCharacterRecord().shardIndex = uint8_t(shardId);

    if (auto* shardWindow = rememberedWindow<ShardListGump>(frontEnd().shardListWindow);
        shardWindow && shardWindow == window && shardWindow->list())
        shardWindow->list()->setShardPickPending(0);
    while (!session.shardName.empty() && session.shardName.back() == ' ')
        session.shardName.pop_back();
    configFiles().setShardName(session.shardName);
    closeGump(window);
}
