#include "app/service_defaults.h"

#include "mahjong/mahjong_packets.h"
#include "protocol/protocol_services.h"

void installServiceDefaults()
{
    // One line per service still waiting for its window or service, grouped
    // by the layer that declares the interface.

    // protocol/: what the session and login packets reach above them.
    installLoginScreens(doNothingLoginScreens()); // front end: login, shard list, character selection, message box
    installWorldEntrySteps(doNothingWorldEntrySteps()); // game windows, world view, sound, display, desktop file
    installShardWorldState(doNothingShardWorldState()); // world: player state per shard, held item, update range
    installSystemMessages(doNothingSystemMessages()); // game windows: the system-message area
    installUnthrottledSpeech(doNothingUnthrottledSpeech()); // speech entry: speech sent past the spam budget
    installMessengerLink(doNothingMessengerLink()); // messenger connection and mail store
    installServerSettingsStore(doNothingServerSettingsStore()); // settings files stored on the server
    installPropertyListRevisions(doNothingPropertyListRevisions()); // gump framework: property-list cache
    installIgrSessions(doNothingIgrSessions()); // front end: internet-game-room sessions

    // The network wiring installs the main window's ClientShell; two of its
    // operations stay the do-nothing defaults: the shard menu (the platform
    // layer has no pop-up menu) and the hourly hardware report (the hardware
    // survey is not built).

    // mahjong/: the board window over the table model.
    mahjong::installMahjongBoards(mahjong::doNothingMahjongBoards());
}
