// The desktop file from arbitrary bytes: read as the player's own layout (or
// as a first-time layout), then written back; what was kept must survive a
// second round unchanged, and nothing the file says may pass the reader's
// bounds.
//
// Input: byte 0 bit 0 reads the file as a first-time layout; the rest is
// the file. Without that bit the player takes the file's serial, so that
// the file is read as its own.

#include "fuzz_client_directory.h"
#include "gump/desktop_file.h"
#include "gump/desktop_records.h"
#include "gump/gump_manager.h"
#include "world/object_manager.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = [] {
        fuzz::ClientDirectory::get();
        gumpSystemStartup();
        initWorldObjects();
        createPlayerObject();
        return true;
    }();
    (void)started;
    if (size < 1)
        return 0;
    const bool firstTime = data[0] & 1;
    const std::span<const uint8_t> file(data + 1, size - 1);

    desktopReset();
    desktopLoginFlags().firstTimeLayout = firstTime;
    uint32_t serial = file.size() >= 4 ? uint32_t(file[0] | file[1] << 8 | file[2] << 16 | uint32_t(file[3]) << 24) : 0;
    setPlayerSerial(firstTime ? 0 : serial);
    desktopRead(file);
    if (desktopPendingEntries().size() > kMaxDesktopPending)
        abort();
    for (const DesktopRecord& record : desktopKeptRecords()) {
        DesktopEntry entry;
        if (!decodeDesktopRecord(record, entry))
            abort();
    }

    const std::vector<uint8_t> first = desktopLayoutBytes();
    desktopReset();
    desktopRead(first);
    if (desktopLayoutBytes() != first)
        abort();
    gumpSystemShutdown();
    gumpSystemStartup();
    return 0;
}
