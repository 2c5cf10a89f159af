#pragma once
// The party the player belongs to: ten rows (row 0 the leader), the
// invitation that waits for an answer, the player's loot flag and whether
// the player leads. The server's party messages (packet 0xBF, party
// sub-command) fill it; the speech line, the status bars and the party
// window read it through PartyState. Main thread only.

#include "windows/speech_services.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

class PartyTable final : public PartyState {
public:
    // Names are kept to this many bytes.
    static constexpr size_t kNameLength = 31;

    PartyTable() { init(); }

    // The start-up state: no members, no invitation, loot allowed, leader.
    void init();
    // Every row empties; the flags keep their values.
    void clear();
    // The row holding the serial (0 is never found).
    std::optional<int32_t> find(uint32_t serial) const;
    // The name a status answer brought for a member.
    void setMemberName(uint32_t serial, std::string_view name);
    // One row emptied (a kicked member).
    void clearRowsOf(uint32_t serial);

    bool isLeader() const { return m_leader; }
    void setLootFlagValue(uint8_t flag) { m_loot = flag; }

    uint32_t memberSerial(int32_t slot) override;
    std::string memberName(int32_t slot) override;
    bool isInvitationPending() override { return m_invited; }
    void clearInvitation() override { m_invited = false; }
    uint32_t invitingLeader() override { return m_invitingLeader; }
    uint8_t lootFlag() override { return m_loot; }
    void openPartyWindow() override;
    void openPartyChat() override;

    // The server's party message (the bytes after the sub-command word):
    // false, with nothing changed, when it does not hold its whole layout.
    bool handleMessage(std::span<const uint8_t> payload);

private:
    struct Row {
        uint32_t serial = 0;
        std::string name;
    };

    bool memberList(std::span<const uint8_t> payload);
    bool memberRemoved(std::span<const uint8_t> payload);
    bool message(std::span<const uint8_t> payload);
    // Rows 0.. take the serials (the rest are dropped); each is asked for
    // its status.
    void fillRows(std::span<const uint32_t> serials);

    std::array<Row, kSlots> m_rows {};
    uint32_t m_invitingLeader = 0;
    bool m_invited = false;
    uint8_t m_loot = 1;
    bool m_leader = true;
};

// The program's party table.
PartyTable& partyTable();

// The line a party message shows: "[name]: text".
std::u16string partyMessageLine(std::string_view senderName, std::u16string_view text);
