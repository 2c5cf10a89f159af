#include "windows/party_table.h"

#include "core/wide_text.h"
#include "data/settings_registry.h"
#include "gump/gump.h"
#include "windows/party_chat_gump.h"
#include "windows/party_gump.h"
#include "windows/status_gump.h"
#include "windows/system_text.h"
#include "windows/window_packets.h"
#include "world/object_manager.h"

#include <vector>

namespace {

enum PartyAction : uint8_t {
    kPartyActionMembers = 1,
    kPartyActionRemoved = 2,
    kPartyActionTell = 3,
    kPartyActionChat = 4,
    kPartyActionChatOther = 5,
    kPartyActionLoot = 6,
    kPartyActionInvite = 7,
};

// Longest party text read from one message.
constexpr size_t kPartyMaxUnits = 2048;
constexpr uint8_t kPartyStatusBarRequest = 4;
constexpr uint16_t kPartyBarkFont = 3;

// Big-endian fields of a party message; a read past the end fails the
// reader and every later read.
class PartyFieldReader {
public:
    explicit PartyFieldReader(std::span<const uint8_t> bytes)
        : m_bytes(bytes)
    {
    }
    uint8_t u8()
    {
        if (!take(1))
            return 0;
        return m_bytes[m_at - 1];
    }
    uint32_t u32()
    {
        if (!take(4))
            return 0;
        const uint8_t* p = m_bytes.data() + m_at - 4;
        return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
    }
    // UTF-16 units up to a zero unit, at most `limit`, never past the end.
    std::u16string text(size_t limit)
    {
        std::u16string out;
        while (m_ok && out.size() < limit && m_bytes.size() - m_at >= 2) {
            char16_t unit = char16_t(m_bytes[m_at] << 8 | m_bytes[m_at + 1]);
            m_at += 2;
            if (unit == 0)
                break;
            out.push_back(unit);
        }
        return out;
    }
    bool ok() const { return m_ok; }

private:
    bool take(size_t count)
    {
        if (!m_ok || count > m_bytes.size() - m_at)
            return m_ok = false;
        m_at += count;
        return true;
    }

    std::span<const uint8_t> m_bytes;
    size_t m_at = 0;
    bool m_ok = true;
};

// `count` serials; false when the message ends first. All are read; the
// caller keeps the first ten.
bool readPartySerials(PartyFieldReader& reader, uint8_t count, std::vector<uint32_t>& serials)
{
    serials.clear();
    for (uint8_t i = 0; i < count; ++i)
        serials.push_back(reader.u32());
    return reader.ok();
}

void closeStatusBarsOf(uint32_t serial)
{
    if (!findObjectBySerial(serial))
        return;
    for (const GumpHandle& handle : statusGumpsOf(serial)) {
        if (CGump* gump = handle.get())
            closeGump(gump);
    }
}

// The open party window's leader buttons follow the leader flag.
void showPartyLeaderButtons(bool leader)
{
    PartyGump* window = currentPartyGump();
    if (!window)
        return;
    if (leader) {
        window->addKickButtons();
        window->addAddMemberButton();
    } else {
        window->removeKickButtons();
        window->removeAddMemberButton();
    }
}

} // namespace

PartyTable& partyTable()
{
    static PartyTable table;
    return table;
}

std::u16string partyMessageLine(std::string_view senderName, std::u16string_view text)
{
    std::u16string line = u"[";
    line += bytesToWideString(senderName);
    line += u"]: ";
    line += text;
    return line;
}

void PartyTable::init()
{
    clear();
    m_invitingLeader = 0;
    m_invited = false;
    m_loot = 1;
    m_leader = true;
}

void PartyTable::clear()
{
    for (Row& row : m_rows)
        row = Row();
}

std::optional<int32_t> PartyTable::find(uint32_t serial) const
{
    if (serial == 0)
        return std::nullopt;
    for (int32_t slot = 0; slot < kSlots; ++slot) {
        if (m_rows[size_t(slot)].serial == serial)
            return slot;
    }
    return std::nullopt;
}

void PartyTable::setMemberName(uint32_t serial, std::string_view name)
{
    if (std::optional<int32_t> slot = find(serial))
        m_rows[size_t(*slot)].name = std::string(name.substr(0, 30));
}

void PartyTable::clearRowsOf(uint32_t serial)
{
    for (Row& row : m_rows) {
        if (row.serial == serial && serial != 0)
            row = Row();
    }
}

uint32_t PartyTable::memberSerial(int32_t slot)
{
    return slot >= 0 && slot < kSlots ? m_rows[size_t(slot)].serial : 0;
}

std::string PartyTable::memberName(int32_t slot)
{
    return slot >= 0 && slot < kSlots ? m_rows[size_t(slot)].name : std::string();
}

void PartyTable::openPartyWindow() { openPartyGump(); }

void PartyTable::openPartyChat() { ::openPartyChat(); }

bool PartyTable::handleMessage(std::span<const uint8_t> payload)
{
    if (payload.empty())
        return false;
    switch (payload[0]) {
    case kPartyActionMembers:
        return memberList(payload.subspan(1));
    case kPartyActionRemoved:
        return memberRemoved(payload.subspan(1));
    case kPartyActionTell:
    case kPartyActionChat:
    case kPartyActionChatOther:
        return message(payload.subspan(1));
    case kPartyActionInvite: {
        PartyFieldReader reader(payload.subspan(1));
        uint32_t leader = reader.u32();
        if (!reader.ok())
            return false;
        m_invitingLeader = leader;
        m_invited = true;
        return true;
    }
    case kPartyActionLoot:
    default:
        return true;
    }
}

void PartyTable::fillRows(std::span<const uint32_t> serials)
{
    size_t kept = std::min(serials.size(), m_rows.size());
    for (size_t i = 0; i < kept; ++i) {
        uint32_t serial = serials[i];
        m_rows[i].serial = serial;
        sendStatusRequest(kPartyStatusBarRequest, serial);
    }
}

bool PartyTable::memberList(std::span<const uint8_t> payload)
{
    PartyFieldReader reader(payload);
    std::vector<uint32_t> serials;
    if (!readPartySerials(reader, reader.u8(), serials))
        return false;
    clear();
    size_t kept = std::min(serials.size(), m_rows.size());
    for (size_t i = 0; i < kept; ++i) {
        uint32_t serial = serials[i];
        m_rows[i].serial = serial;
        if (!findObjectBySerial(serial)) {
            m_rows[i].name = "<Not Online>";
        } else if (StatusGump* bar = findStatusGumpOf(serial)) {
            bar->moveToPartySlot();
            bar->addPartyControls();
            bar->setVisible(true);
            bar->clampToScreen();
        }
        sendStatusRequest(kPartyStatusBarRequest, serial);
    }
    m_leader = playerSerial() != 0 && playerSerial() == m_rows[0].serial;
    showPartyLeaderButtons(m_leader);
    return true;
}

bool PartyTable::memberRemoved(std::span<const uint8_t> payload)
{
    PartyFieldReader reader(payload);
    uint8_t count = reader.u8();
    uint32_t removed = reader.u32();
    std::vector<uint32_t> serials;
    if (!readPartySerials(reader, count, serials))
        return false;
    bool partyOver = removed == m_rows[0].serial || removed == playerSerial();
    uint32_t self = playerSerial();
    clear();
    if (!partyOver) {
        closeStatusBarsOf(removed);
        fillRows(serials);
        m_leader = self != 0 && self == m_rows[0].serial;
        return true;
    }
    for (uint32_t serial : serials)
        closeStatusBarsOf(serial);
    m_leader = true;
    showPartyLeaderButtons(true);
    return true;
}

bool PartyTable::message(std::span<const uint8_t> payload)
{
    PartyFieldReader reader(payload);
    uint32_t sender = reader.u32();
    std::u16string text = reader.text(kPartyMaxUnits);
    if (!reader.ok())
        return false;
    std::optional<int32_t> slot = find(sender);
    std::u16string line = partyMessageLine(slot ? m_rows[size_t(*slot)].name : std::string(), text);
    if (PartyChatGump* chat = currentPartyChat())
        chat->addLine(line);
    uint16_t hue = uint16_t(settings().getColourSetting(u"PartyMessageColor"));
    showUnicodeBark(nullptr, line, hue, kPartyBarkFont, "ENU", nullptr);
    return true;
}
