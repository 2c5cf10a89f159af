#pragma once
// The desktop file keeps a character's window layout between logins: which
// windows were open, where, minimised or not, a few sizes, the main window's
// geometry and the game-view offset, and which containers and spellbooks on
// the character were open. It is read when the player enters the world and
// written when the player leaves it.
//
// Windows that belong to server objects (paperdoll, skill list, containers,
// spellbooks) are not made from the file: the reader asks the server to open
// them and keeps their placement in a pending table until the window opens,
// and a per-frame step asks again for the stored containers, one at a time,
// every 3 seconds, parents before their contents. A record whose window does
// not exist in this client (desktop_services.h) is kept and written back as
// it was read. The file is replaced whole (a new file renamed over the old
// one), so a failed write never leaves half a layout. Main thread only;
// times are 32-bit millisecond ticks of the platform clock.

#include "gump/desktop_records.h"
#include "gump/gump.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

class CGump;

// One window waiting for the server to open it.
struct DesktopPendingEntry {
    uint8_t type = 0;
    uint32_t serial = 0;
    int32_t minimised = 0;
    uint8_t page = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    int32_t x = 0;
    int32_t y = 0;
};

// The flags the world entry reads after the file was opened.
struct DesktopLoginFlags {
    // The file was not this character's own: a first-time layout.
    bool firstTimeLayout = false;
    bool dockFirstPaperdoll = false;
    // The radar and the status bar the file restored, while they live.
    GumpHandle restoredRadar;
    GumpHandle restoredStatusBar;
};

inline constexpr size_t kMaxDesktopPending = 50;
// Far above any layout the client writes (a record is at most 33 bytes): a
// bigger file is not a layout and is passed over as if it were missing.
inline constexpr size_t kMaxDesktopFileBytes = 1 << 20;
inline constexpr uint32_t kDesktopReopenIntervalMs = 3000;

// The file names.
inline constexpr const char* kDesktopFileName = "desktop.vos";
inline constexpr const char* kSharedDesktopFile = "Desktop/common/desktop.vos";
inline constexpr const char* kFirstTimeDesktopFile = "desktop.nwb";
// "desktop.vo1" .. "desktop.vo6" for character slots 0..5; empty otherwise.
std::string desktopSlotFileName(int32_t slot);

// Entering the world: forgets what an earlier session read (as
// desktopReset), loads the per-character data kept with the layout,
// chooses the file (the character's own, the shared one while settings are
// stored on the server, the slot's, else the first-time layout) and reads it.
void desktopOpen();
// Restores a file's layout. A file of another character is ignored unless it
// is read as a first-time layout. False when nothing was restored.
bool desktopRead(std::span<const uint8_t> bytes);
// Leaving the world (and the commands that save the layout): saves the
// per-character data and writes the file. Only while connected and in the
// world. False when nothing was written.
bool desktopWrite();
// The file's bytes as desktopWrite would write them now.
std::vector<uint8_t> desktopLayoutBytes();
// Every frame: asks the server again for the first stored container.
void desktopReopenPending();
// The server opened a container (or spellbook) window: it takes its stored
// placement.
void desktopOnContainerOpened(uint32_t serial, CGump* containerGump, CGump* spellbookGump);
// Logging out: no container is asked for any more.
void desktopPendingClear();
// The paperdoll and skill windows take their stored placement: the pending
// entry of `type` (and `serial` for the paperdoll), or nothing.
std::optional<DesktopPendingEntry> desktopTakePending(uint8_t type, uint32_t serial);
// After the world entry laid out the game area: the radar and status bar of
// a first-time layout are docked outside it.
void desktopDockRestoredWindows();

// State, for the world entry and the windows.
DesktopLoginFlags& desktopLoginFlags();
bool desktopRestorePending();
// No window-geometry record was read: the world entry places the window.
bool desktopWindowRecordMissing();
const std::vector<DesktopPendingEntry>& desktopPendingEntries();
const std::vector<uint32_t>& desktopReopenList();
bool desktopReopenFinished();
bool desktopBackpackReopened();
// The help-text popup's last position (record 9).
void desktopHelpPopupPosition(int32_t& x, int32_t& y);
void setDesktopHelpPopupPosition(int32_t x, int32_t y);
// The records kept for windows this client does not show, in file order.
std::vector<DesktopRecord> desktopKeptRecords();
// Forgets everything read (tests, and each new login through desktopOpen).
void desktopReset();
