#include "windows/own_character_actions.h"

#include "data/view_range.h"
#include "gump/desktop_file.h"
#include "gump/gump_factory.h"
#include "windows/status_gump.h"
#include "windows/window_packets.h"
#include "windows/window_services.h"
#include "world/mobile.h"
#include "world/object_manager.h"

namespace {

// The word Quit, nine blanks, then the rest.
constexpr const char* kLogoutQuestion = "Quit         Vardun Online?";
constexpr uint16_t kGuildCommand = 40;
constexpr uint16_t kQuestCommand = 50;

} // namespace

namespace own_actions {

void openPaperdoll() { sendUseRequest(playerSerial() | kOwnPaperdollBit); }

void openBackpack()
{
    PlayerMobile* self = player();
    if (Item* backpack = self ? self->layerItem(Mobile::kBackpackLayer) : nullptr)
        sendUseRequest(backpack->serial);
}

void openMap() { gumpOpenByKind(nullptr, gump_kind::kRadarSmall, nullptr, false, false); }

void openJournal() { gumpOpenByKind(nullptr, gump_kind::kTextWindow, nullptr, false, false); }

void requestSkills()
{
    sendStatusRequest(kSkillsRequest, playerSerial());
    service<SkillWindow>().setSkillGumpRequested(true);
}

void openChat() { service<ConferenceChat>().openOrRaiseChat(); }

void requestHelp() { sendHelpRequest(); }

void openContextHelp() { service<ContextHelpWindow>().openOrRaiseContextHelp(); }

void toggleWarMode() { setWarMode(-1); }

void openStatus(Mobile& mobile) { openStatusFromPaperdoll(mobile); }

void requestGuild() { sendEncodedCommand(playerSerial(), kGuildCommand); }

void requestQuests() { sendEncodedCommand(playerSerial(), kQuestCommand); }

void openOptions() { gumpOpenByKind(nullptr, gump_kind::kOptions, nullptr, false, false); }

void askLogout()
{
    desktopWrite();
    service<YesNoQuestions>().ask(QuestionKind::Logout, kLogoutQuestion, 0);
}

} // namespace own_actions
