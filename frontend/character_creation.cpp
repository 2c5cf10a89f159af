#include "frontend/character_creation.h"

#include "frontend/front_end_state.h"
#include "frontend/profession_gump.h"
#include "gump/gump_manager.h"

namespace {

class CreationWindows final : public CharacterCreation {
public:
    void openProfessionWindow() override { ::openProfessionWindow(); }
    void closeCreationWindows() override
    {
        FrontEndRecords& records = frontEnd();
        closeGump(records.startLocationWindow.get());
        closeGump(records.appearanceWindow.get());
        closeGump(records.professionWindow.get());
        records.advancedMode = false;
    }
};

} // namespace

CharacterCreation& characterCreationWindows()
{
    static CreationWindows windows;
    return windows;
}
