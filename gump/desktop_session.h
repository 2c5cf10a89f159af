#pragma once
// The desktop file's state between reading a layout and writing the next
// one, shared by its reader (desktop_file.cpp) and writer
// (desktop_writer.cpp); nothing else includes this. Main thread only.

#include "gump/desktop_file.h"
#include "gump/desktop_records.h"

#include <cstdint>
#include <vector>

// A record read from the file that this client has not shown yet; it is
// written back as it was until its window takes it (or it proves stale).
struct DesktopKeptRecord {
    DesktopRecord record;
    bool kept = true;
};

// A pending entry and the kept record it came from.
struct DesktopPendingSlot {
    DesktopPendingEntry entry;
    int32_t keptIndex = -1;
};

struct DesktopSession {
    std::vector<DesktopPendingSlot> pending;
    bool restorePending = false;
    std::vector<uint32_t> reopenList;
    bool reopenFinished = true;
    bool backpackReopened = false;
    uint32_t lastReopenAt = 0;
    DesktopLoginFlags login;
    bool windowRecordMissing = true;
    bool hasHelpPopupPosition = false;
    int32_t helpPopupX = 0;
    int32_t helpPopupY = 0;
    std::vector<DesktopKeptRecord> kept;

    // Keeps a record; its index.
    int32_t keep(const DesktopRecord& record);
    // The record of `index` is no longer written back.
    void release(int32_t index);
};

DesktopSession& desktopSession();

// The real path of a managed file's folder under the client directory.
std::string desktopClientPath(const std::string& name);
// The file the layout is written to and read from first: the character's
// own, or the shared one while settings are stored on the server; nothing
// when a name is missing or unusable.
std::optional<std::string> desktopCharacterFile();
// The multi design cache beside the layout; nothing without a character.
std::optional<std::string> desktopMultiCacheFile();
