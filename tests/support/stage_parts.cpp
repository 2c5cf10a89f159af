#include "support/stage_part.h"
#include "support/stage_reading.h"

#include "support/stage_chat.h"
#include "support/stage_gm.h"
#include "support/stage_skills.h"
#include "support/stage_journal.h"
#include "support/stage_house.h"
#include "support/stage_mahjong.h"
#include "support/stage_spells.h"
#include "support/stage_party.h"
#include "support/stage_status.h"
#include "support/stage_trade.h"

namespace test {

std::vector<std::unique_ptr<StagePart>> stageParts()
{
    std::vector<std::unique_ptr<StagePart>> parts;
    // One line per family of windows, each part in a file of its own.
    parts.push_back(makeStageStatus());
    parts.push_back(makeReadingStage());
    parts.push_back(makeStageSkills());
    parts.push_back(makeStageTrade());
    parts.push_back(makeStageJournal());
    parts.push_back(makeStageHouse());
    parts.push_back(makeStageMahjong());
    parts.push_back(makeStageSpells());
    parts.push_back(makeStageParty());
    parts.push_back(makeStageChat());
    parts.push_back(makeStageGm());
    return parts;
}

} // namespace test
