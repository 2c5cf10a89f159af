#pragma once
// What the front end's tests share: the gump tests' desktop with the sample
// data's front-end art and dot-face fonts, the front end's services
// installed over recording forms of the program's shell and of character
// creation, and the login road's records reset before and after each test.

#include "frontend/front_end_shell.h"
#include "gump/gump.h"

#include "gump/gump_test_support.h"

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class WaitingGump;

namespace front_end_test {

class RecordingShell final : public FrontEndShell {
public:
    void setGameWindowSize(int32_t width, int32_t height) override { gameSizes.push_back({ width, height }); }
    bool isFullScreen() override { return fullScreen; }
    void switchToWindowed() override { ++modeSwitches; }
    void switchToFullScreen() override { ++modeSwitches; }
    void leaveFullScreen() override { ++leftFullScreen; }
    void setMainWindowRect(int32_t x, int32_t y, int32_t width, int32_t height) override
    {
        windowRects.push_back({ x, y, x + width, y + height });
    }
    void clearViewOffsets() override { ++viewOffsetsCleared; }
    void setAllowWindowResize(bool allow) override { allowResize = allow; }
    void endProgram(int32_t exitCode) override { endedWith = exitCode; }
    CreditsInput takeCreditsInput() override
    {
        ++messagesTaken;
        if (inputs.empty())
            return CreditsInput::None;
        CreditsInput next = inputs.front();
        inputs.pop_front();
        return next;
    }
    void presentWholeBackBuffer() override
    {
        ++presents;
        if (onPresent)
            onPresent();
    }

    struct Size {
        int32_t width;
        int32_t height;
    };
    std::vector<Size> gameSizes;
    std::vector<ScreenRect> windowRects;
    bool fullScreen = false;
    int32_t modeSwitches = 0;
    int32_t leftFullScreen = 0;
    int32_t viewOffsetsCleared = 0;
    bool allowResize = true;
    int32_t endedWith = -1;
    std::deque<CreditsInput> inputs;
    int32_t messagesTaken = 0;
    int32_t presents = 0;
    std::function<void()> onPresent;
};

class RecordingCreation final : public CharacterCreation {
public:
    void openProfessionWindow() override { ++opened; }
    void closeCreationWindows() override { ++closed; }
    int32_t opened = 0;
    int32_t closed = 0;
};

class Screens : public gump_test::Desktop {
protected:
    Screens();
    ~Screens() override;

    // The first visible top-level gump of a type, or null.
    static CGump* findGump(std::string_view typeName);
    // The message box on top (null without one) and its text.
    static WaitingGump* findMessage();
    static std::string messageText();

    RecordingShell shell;
    ScopedService<FrontEndShell> scopedShell { shell };
    RecordingCreation creation;
    ScopedService<CharacterCreation> scopedCreation { creation };
    std::string unicodeFont;
};

// Resets the login road's records and connections.
void resetLoginRoad();

} // namespace front_end_test
