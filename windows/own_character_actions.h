#pragma once
// The small actions the menubar's buttons and the player's own paperdoll
// share: each sends one request or opens one window. Windows that later
// parts of the program build (the radar, the journal, the options, chat and
// context help) are reached through the factory and the window services,
// which do nothing until those windows exist. Main thread only.

#include <cstdint>

class Mobile;

namespace own_actions {

// The own paperdoll: 0x06 with the player's serial and bit 31 set.
void openPaperdoll();
// The backpack (the item in layer 21): 0x06 with its serial; nothing without one.
void openBackpack();
// The map: the radar window (factory kind 5010).
void openMap();
// The journal (factory kind 7).
void openJournal();
// 0x34 type 5 for the player, and the next full skill list opens the skill window.
void requestSkills();
void openChat();
// 0x9B, the help request.
void requestHelp();
void openContextHelp();
// War and peace, on the player's own paperdoll only.
void toggleWarMode();
// The status gump of the mobile, opened or raised, and its status asked for.
void openStatus(Mobile& mobile);
// 0xD7 commands 40 and 50 with the player's serial.
void requestGuild();
void requestQuests();
// The options window (factory kind 5000).
void openOptions();
// The desktop file written, then the quit question.
void askLogout();

} // namespace own_actions
