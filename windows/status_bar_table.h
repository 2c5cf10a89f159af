#pragma once
// The table of the mobiles whose status the client watches: 20 serials,
// slots 0-9 for party members and 10-19 for everybody else; 0 is a free
// slot. Status bars and target bars take their place here. A serial the
// table holds is one the server has been asked to keep reporting, so a
// serial leaving it is reported with the status-bar-closed request (0xBF
// sub-command 0x0C), once. The table is process-wide; main thread only.

#include <array>
#include <cstdint>

class StatusBarTable {
public:
    static constexpr int32_t kSlots = 20;
    static constexpr int32_t kPartySlots = 10;

    // What a registration did.
    enum class Placed : uint8_t {
        // The serial holds a slot (it was free, or the serial held it already).
        Taken,
        // A slot of another serial was taken over: that serial's bars are
        // closed and its departure was reported.
        Reused,
        // Every slot of the range belongs to a target bar: nothing changed.
        Full,
    };

    uint32_t serialAt(int32_t slot) const;
    bool contains(uint32_t serial) const;
    // Takes a slot of the party half (party) or of the other half: the first
    // free one or one holding the serial already; else the first whose
    // serial no target bar shows, closing that serial's status bars.
    Placed place(uint32_t serial, bool party);
    // Moves the serial from the other half to the first free party slot;
    // true when it moved.
    bool moveToPartySlot(uint32_t serial);
    // The serial leaves every slot it holds; its departure is reported when
    // it held one.
    void release(uint32_t serial);
    // Forgets every serial without reporting (a new login).
    void clear() { m_serials.fill(0); }

private:
    std::array<uint32_t, kSlots> m_serials {};
};

StatusBarTable& statusBarTable();
