#pragma once
// The front end's own records beside the login session (protocol/
// login_state.h): the screens that are open (each remembered by a handle, so
// a screen destroyed anywhere is forgotten at once), the one current waiting
// box that every login step replaces, and the remember marks of the
// password. There is no front-end object: each button
// or packet builds the next screen from these. Main thread only.

#include "gump/gump.h"

#include <cstdint>
#include <string>

class WaitingGump;

struct FrontEndRecords {
    GumpHandle waiting;
    GumpHandle mainMenu;
    GumpHandle loginWindow;
    GumpHandle characterSelection;
    GumpHandle shardListWindow;
    // The scrolling shard choice of the combined list of older servers.
    GumpHandle shardChoice;
    GumpHandle splash;
    // The three windows of character creation.
    GumpHandle professionWindow;
    GumpHandle appearanceWindow;
    GumpHandle startLocationWindow;
    // Set while the player builds a character on the advanced path (own
    // stats and skills) rather than from a profession template.
    bool advancedMode = false;
    // Kept apart: the login window has no remember control, so each login
    // clears the first and sets the second.
    bool rememberPassword = false;
    bool notRemembered = false;
    // The shard chosen last; it travels in the create request.
    int32_t chosenShardId = 0;
};

FrontEndRecords& frontEnd();
// Back to the start state (tests).
void resetFrontEnd();

// Typed looks at the remembered screens; null when gone.
template <typename Window>
Window* rememberedWindow(const GumpHandle& handle)
{
    return static_cast<Window*>(handle.get());
}

// The current waiting box.
WaitingGump* currentWaiting();
void deleteCurrentWaiting();
// Creates the current waiting box (not modal) with `text`, hiding `covered`
// while it is up, links it on top and remembers it. `hideButton` leaves the
// box without its button (the player only waits).
WaitingGump* makeCurrentWaiting(const std::string& text, CGump* covered, bool busy, bool large, bool hideButton);
// The modal message box of the road (gumpShowWaiting), large.
WaitingGump* showMessage(const std::u16string& text, CGump* covered, bool returnToMenu);
WaitingGump* showMessage(const std::string& text, CGump* covered, bool returnToMenu);

// The messages the front end shows.
inline constexpr const char* kConnectingText = "Connecting... ";
inline constexpr const char* kVerifyingText = "Verifying Account... ";
inline constexpr const char* kEnteringText = "Entering Elthara...";
inline constexpr const char* kCreatingText = "Creating character... ";
inline constexpr const char* kDeletingText = "Deleting character... ";
inline constexpr const char* kConnectFailedText
    = "Couldn't connect to Vardun Online.  Please try again in a few moments.";
inline constexpr const char* kNoCharacterToPlayText = "No character to login with.";
inline constexpr const char* kNoCharacterToDeleteText = "No character to delete.";
inline constexpr const char* kMaximumCharactersText = "You already have the maximum number of characters.";
