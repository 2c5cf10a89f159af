#include "windows/status_bar_table.h"

#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "protocol/general_info_packet.h"
#include "windows/target_gump.h"

#include <vector>

namespace {

// Every status bar of the serial, closed. The slot has been given to another
// serial first, so the bars' destructors find nothing to report.
void closeStatusBarsOfSerial(uint32_t serial)
{
    std::vector<GumpHandle> bars;
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::StatusGump) && gump->ownerSerial() == serial)
            bars.emplace_back(gump);
    }
    for (const GumpHandle& bar : bars)
        closeGump(bar.get());
}

} // namespace

StatusBarTable& statusBarTable()
{
    static StatusBarTable table;
    return table;
}

uint32_t StatusBarTable::serialAt(int32_t slot) const
{
    return slot >= 0 && slot < kSlots ? m_serials[size_t(slot)] : 0;
}

bool StatusBarTable::contains(uint32_t serial) const
{
    if (serial == 0)
        return false;
    for (uint32_t held : m_serials) {
        if (held == serial)
            return true;
    }
    return false;
}

StatusBarTable::Placed StatusBarTable::place(uint32_t serial, bool party)
{
    const int32_t first = party ? 0 : kPartySlots;
    const int32_t end = first + kPartySlots;
    for (int32_t slot = first; slot < end; ++slot) {
        if (m_serials[size_t(slot)] == 0 || m_serials[size_t(slot)] == serial) {
            m_serials[size_t(slot)] = serial;
            return Placed::Taken;
        }
    }
    for (int32_t slot = first; slot < end; ++slot) {
        const uint32_t old = m_serials[size_t(slot)];
        if (findTargetGump(old))
            continue;
        m_serials[size_t(slot)] = serial;
        closeStatusBarsOfSerial(old);
        // Sent here alone: the closed bars' serial had already left the
        // table, so their destructors report nothing.
        sendStatusBarClosed(old);
        return Placed::Reused;
    }
    return Placed::Full;
}

bool StatusBarTable::moveToPartySlot(uint32_t serial)
{
    int32_t from = -1;
    for (int32_t slot = kPartySlots; slot < kSlots; ++slot) {
        if (m_serials[size_t(slot)] == serial) {
            from = slot;
            break;
        }
    }
    if (from < 0 || serial == 0)
        return false;
    for (int32_t slot = 0; slot < kPartySlots; ++slot) {
        if (m_serials[size_t(slot)] == 0) {
            m_serials[size_t(slot)] = serial;
            m_serials[size_t(from)] = 0;
            return true;
        }
    }
    return false;
}

void StatusBarTable::release(uint32_t serial)
{
    if (!contains(serial))
        return;
    for (uint32_t& held : m_serials) {
        if (held == serial)
            held = 0;
    }
    sendStatusBarClosed(serial);
}
