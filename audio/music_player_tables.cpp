#include "audio/music_player.h"

namespace {

const char* const kMidiFileNames[] = {
    "oldvar01.mid", "create1.mid", "dragflit.mid", "oldvar02.mid", "oldvar03.mid", "oldvar04.mid",
    "oldvar05.mid", "oldvar06.mid", "stones2.mid", "osthall1.mid", "osthall2.mid", "marrowk.mid", "saltby.mid",
    "rhcastle.mid", "orsette.mid", "corvanta.mid", "tarvel.mid", "ushtar.mid", "dolmaric.mid", "rookfell.mid",
    "pellinke.mid", "kestrom.mid", "orrdale.mid", "ruskan.mid", "fennick.mid", "cave01.mid", "dungeon9.mid",
    "forest_a.mid", "intown01.mid", "jungle_a.mid", "mountn_a.mid", "plains_a.mid", "sailing.mid",
    "swamp_a.mid", "tavern01.mid", "tavern02.mid", "tavern03.mid", "tavern04.mid", "combat1.mid",
    "combat2.mid", "combat3.mid", "approach.mid", "death.mid", "victory.mid", "dvcastle.mid", "qessar.mid",
    "dungeon2.mid", "ebbton.mid", "heskmere.mid", "oldvar02.mid", "rookfell.mid", "oldvar04.mid",
    "dragflit.mid", "create1.mid", "approach.mid", "combat3.mid", "jungle_a.mid",
};
static_assert(std::size(kMidiFileNames) == 57);

} // namespace

const char* midiFileName(uint16_t id) { return id < std::size(kMidiFileNames) ? kMidiFileNames[id] : nullptr; }
