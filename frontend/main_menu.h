#pragma once
// The main menu: the first screen after the splash and the intro, a
// full-screen page with the account login window in it and a column of link
// buttons (account page, registration, support, credits, the intro again,
// the ratings board, exit). The same buttons stand on the shard list and the
// character selection (addMainMenuButtons). The ways back to this screen and
// out of the program are front_end_flow.h. Main thread only.

#include "frontend/front_end_gump.h"

#include <cstdint>
#include <string>

class Button;
class TextEntry;

class MainMenuGump final : public FrontEndGump {
public:
    static constexpr int32_t kBackgroundArt = 5500;
    static constexpr int32_t kTileArt = 3604;
    static constexpr int32_t kTitleArt = 5536;

    // Builds the screen (out of the world, 640 x 480) with a new login window
    // in it, and remembers both.
    MainMenuGump();
    ~MainMenuGump() override;

    void onMouseOver(int32_t x, int32_t y) override;
    // Ticks every child (the login window's arrow flashes).
    void tick() override;
    // Its face is its page, drawn once when it is made (the front-end gumps
    // draw nothing else).
    bool lookKey(uint64_t& key) override
    {
        key = faceLookKey();
        return true;
    }
};

class AcctLoginGump final : public FrontEndGump {
public:
    static constexpr int32_t kFrameArt = 5054;
    static constexpr int32_t kEmblemArt = 1418;
    static constexpr int32_t kArrowArt = 5540;
    static constexpr int32_t kArrowFlashArt = 5541;
    static constexpr int32_t kMaxEntryLength = 16;

    AcctLoginGump();
    ~AcctLoginGump() override;

    // The arrow flashes while both entries hold text; then the children tick.
    void tick() override;
    // Tab moves the focus to the other entry; Enter logs in; Escape goes back
    // to a fresh main menu.
    void onTab() override;
    void onEnter() override;
    void onEscape() override;
    void onControlPressed(CGump* control) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    bool lookKey(uint64_t& key) override
    {
        key = faceLookKey();
        return true;
    }

    TextEntry* accountEntry() const { return m_account; }
    TextEntry* passwordEntry() const { return m_password; }
    Button* arrow() const { return m_arrow; }
    std::string accountText() const;
    std::string passwordText() const;
    // Fills the account entry (or the password entry) and redraws it.
    void setAccountText(const std::string& text);
    void setPasswordText(const std::string& text);

private:
    void onArrow();
    void select(TextEntry* entry);

    Button* m_arrow = nullptr;
    TextEntry* m_account = nullptr;
    TextEntry* m_password = nullptr;
};

// The standard link buttons, with the conditions of each: the intro button
// only on the login window, the ratings button only on the login window and
// only for an English (US) desktop or one that names no language.
void addMainMenuButtons(CGump& gump);

// The patch number of the "verinfo" file's first known edition line; -1
// when there is no file, no known line, or its number does not read.
int32_t readPatchNumber();
// The number a "verinfo" line gives: -1 for a line of no known edition.
// `matched` tells whether the line named a known edition at all.
int32_t patchNumberFromLine(const std::string& line, bool& matched);
// "VO Version <version> (Patch <n>)", or "(Patch Unknown)".
std::string versionLine(const char* version, int32_t patch);

// The link buttons' actions.
void openAccountPage();
void openRegistrationPage();
void openSupportPage();
void openRatingsPage();
void exitGame();
void showCredits();
void replayIntro();

// The web pages the link buttons open.
inline constexpr const char* kAccountPageUrl = "https://account.vardun.example/";
inline constexpr const char* kRegistrationPageUrl = "https://account.vardun.example/register";
inline constexpr const char* kSupportPageUrl = "https://support.vardun.example/";
inline constexpr const char* kRatingsPageUrl = "https://ratings.vardun.example/";
