#pragma once
// The windows and services that the session and login packets reach in the
// layers above this one (the front end's screens, the game windows, the
// messenger, the main window). Each is a small interface
// that its subsystem installs at start-up. The base class of each interface
// is its do-nothing default: every operation does nothing and answers "none"
// or "no"; app/service_defaults.cpp installs those defaults until the real
// ones exist, so what remains to be built is listed in one place.
//
// Main thread only. The installed objects are not owned; they must outlive
// their installation.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

struct ShardMenuEntry;
struct ShardSession;

// The window a waiting box hides while it is up, shown again when the box's
// button is pressed.
enum class CoveredWindow : uint8_t {
    None,
    LoginWindow,
    MainMenu,
    CharacterSelection,
};

// One message of the login road, shown in the modal waiting box.
struct WaitingMessage {
    std::u16string text;
    CoveredWindow covered { CoveredWindow::None };
    bool large { true };
    // Pressing the button logs out to the main menu instead of only closing the box.
    bool returnToMenu { false };
    bool busy { false };
};

// The front end's screens of the login road and their message box.
class LoginScreens {
public:
    virtual ~LoginScreens() = default;

    // The current waiting box: shown, deleted, replaced.
    virtual bool isWaitingShown() { return false; }
    virtual void deleteWaiting() { }
    // The login completed: the waiting box and every other question or
    // notice of the front end still open close.
    virtual void closeFrontEndBoxes() { }
    virtual void showWaiting(const WaitingMessage&) { }
    // The login-complete packet arrived while a box is shown: its button
    // enters the world (enterGameWorld) instead of only closing the box.
    virtual void enterWorldOnWaitingButton() { }
    // The connection of a player in the world was lost while a box is shown:
    // its button takes the way back to the main menu, as the lost-connection
    // box's does.
    virtual void leaveWorldOnWaitingButton() { }

    virtual bool hasLoginWindow() { return false; }
    virtual void hideLoginWindow() { }
    // Gives the keyboard focus back to the login window.
    virtual void focusLoginWindow() { }

    // The shard list window over shardList(), with the main menu's buttons.
    virtual void openShardList() { }
    // The scrolling shard choice of the combined list (rows of shardList()).
    virtual void openShardChoice() { }

    virtual bool hasCharacterSelection() { return false; }
    // A new character selection window, replacing (and deleting) any other.
    virtual void openCharacterSelection() { }
    virtual void closeCharacterSelection() { }
    virtual void addCharacter(const std::string&, int32_t) { }
    virtual void removeCharacter(int32_t) { }
    // Removes the selected character and moves the selection one up.
    virtual void removeSelectedCharacter() { }
    // Links and focuses the window, or starts character creation when it
    // holds no character.
    virtual void presentCharacterSelection() { }
    virtual void showCharacterSelection() { }
    // The window's Enter action (play the selected character).
    virtual void playSelectedCharacter() { }

    // A login error closes the front end's box, the shard choice, the
    // profession, creation, shard list and start-location windows.
    virtual void closeWindowsForLoginError() { }
    virtual void closeAllButPersistent() { }
    virtual void openMainMenu() { }
    // After the splash or the intro film: the login window's account entry
    // takes the focus, or a main menu is made when there is none.
    virtual void showMainMenu() { }
    virtual void logoutToMainMenu() { }
    // Ends the program the way the logout reply asked for.
    virtual void quitGame() { }
};

// The steps of entering the world that belong to the windows, the world
// view, the sound and the display.
class WorldEntrySteps {
public:
    virtual ~WorldEntrySteps() = default;

    virtual void loadMacros() { }
    virtual void showWorldView() { }
    // Leaving the world: the view stops drawing the last world under the
    // main menu.
    virtual void hideWorldView() { }
    virtual void refreshSpeechEntry() { }
    virtual void openDesktop() { }
    virtual void allowWindowResize() { }
    // Lays out the game area edges and the back buffer for the display mode.
    virtual void layOutGameArea() { }
    // Docks the radar and status windows the desktop file restored outside
    // the game area (windowed mode with a desktop session).
    virtual void dockDesktopWindows() { }
    // The notice some installations show on entering the world.
    virtual void showInstallNotice() { }
    virtual void ensureItemPropertyWindow() { }
    virtual void invalidateWholeScreen() { }
    // Writes the desktop file (before a forced logout).
    virtual void writeDesktop() { }
};

// The world and player state a shard switch saves, restores and clears
// (protocol/shard_world_state.h has the one over the world objects).
class ShardWorldState {
public:
    virtual ~ShardWorldState() = default;

    virtual void leaveShardWorld() { }
    virtual void saveSessionState(ShardSession&) { }
    virtual void restoreSessionState(const ShardSession&) { }
    // Deletes the item being dragged, if any.
    virtual void dropHeldItem() { }
    // Land tiles and objects whose tile data the edit server replaced.
    virtual void tileDataReplaced(std::span<const int32_t> /*landIds*/, std::span<const int32_t> /*graphics*/) { }
};

// Speech sent without the spam budget (the shard switch's teleport request).
class UnthrottledSpeech {
public:
    virtual ~UnthrottledSpeech() = default;
    virtual void sendSpeech(const std::string&, uint8_t /*type*/) { }
};

// The messenger connection and its mail store.
class MessengerLink {
public:
    virtual ~MessengerLink() = default;
    virtual void poll() { }
    // Deletes and recreates the connection object, and empties the message
    // store and the address book (an account login refused for good).
    virtual void restart() { }
    // The login road named the player's account on the messenger service
    // (the relay's key; never negative).
    virtual void setAccountNumber(int32_t) { }
};

// The object property-list cache.
class PropertyListRevisions {
public:
    virtual ~PropertyListRevisions() = default;
    virtual void revisionAnnounced(uint32_t /*serial*/, uint32_t /*revision*/) { }
};

// What an internet-game-room session needs from the session-start packet.
struct IgrSessionSettings {
    std::string user;
    uint32_t number { 0 };
    uint32_t heartbeatSeconds { 0 };
    std::string igrId; // at most 16 bytes
    std::string contextId; // at most 36 bytes
    uint32_t serviceId { 0 };
    std::string textA;
    std::string textB;
};

// Internet-game-room sessions (an accounting service of some installations).
class IgrSessions {
public:
    virtual ~IgrSessions() = default;
    virtual bool isIgrMode() { return false; }
    // The 16-byte id the account login carries in that mode.
    virtual std::vector<uint8_t> igrId() { return std::vector<uint8_t>(16, 0); }
    virtual void startSession(const IgrSessionSettings&) { }
    // Stops every session and waits for them.
    virtual void stopAllSessions() { }
    // Asks every session to stop, without waiting (a new connection, a
    // logout).
    virtual void requestStopAllSessions() { }
};

// The main window and the frame drawing.
class ClientShell {
public:
    virtual ~ClientShell() = default;
    virtual void setWindowTitle(const std::u16string&) { }
    // Draws one frame at once (a loss message must be seen before the pause).
    virtual void renderFrame() { }
    // The hardware report that goes to the login server at most once an hour.
    virtual void sendMetricsHourly() { }
    // The shard menu at the pointer; `chosen` gets the picked entry's handle
    // (the sessions' host says when).
    virtual void chooseShard(const std::vector<ShardMenuEntry>&, std::function<void(int32_t)>) { }
    // Bit i set when the map file of facet i was found at start-up.
    virtual uint16_t mapFileMask() { return 0; }
    // The player died: the world fades out over the next frames.
    virtual void startDeathFade() { }
    // The game clock the tick advances takes the server's time.
    virtual void setGameTime(int32_t /*hour*/, int32_t /*minute*/, int32_t /*second*/) { }
};

LoginScreens& loginScreens();
LoginScreens* installLoginScreens(LoginScreens* screens);
WorldEntrySteps& worldEntrySteps();
WorldEntrySteps* installWorldEntrySteps(WorldEntrySteps* steps);
ShardWorldState& shardWorldState();
ShardWorldState* installShardWorldState(ShardWorldState* state);
UnthrottledSpeech& unthrottledSpeech();
UnthrottledSpeech* installUnthrottledSpeech(UnthrottledSpeech* speech);
MessengerLink& messengerLink();
MessengerLink* installMessengerLink(MessengerLink* link);
PropertyListRevisions& propertyListRevisions();
PropertyListRevisions* installPropertyListRevisions(PropertyListRevisions* revisions);
IgrSessions& igrSessions();
IgrSessions* installIgrSessions(IgrSessions* sessions);
ClientShell& clientShell();
ClientShell* installClientShell(ClientShell* shell);

// The do-nothing default of each service, for app/service_defaults.cpp.
LoginScreens* doNothingLoginScreens();
WorldEntrySteps* doNothingWorldEntrySteps();
ShardWorldState* doNothingShardWorldState();
UnthrottledSpeech* doNothingUnthrottledSpeech();
MessengerLink* doNothingMessengerLink();
PropertyListRevisions* doNothingPropertyListRevisions();
IgrSessions* doNothingIgrSessions();
ClientShell* doNothingClientShell();
