#pragma once
// The game windows as the world, the gump framework and the speech code
// reach them: the windows that show world objects (containers, paperdolls,
// name plates, overhead texts, the drag picture, the world view's
// highlights), the text windows of the speech code (TextWindows: system
// lines, texts over objects, the typed line), the worn layer rules, the
// factory's paperdoll and container windows, the name plates of the
// all-names overlay, the world objects as gumps see them, and the paperdoll's
// war button, and the bank box that closes when the player steps or is
// moved. Services this part provides only in part (the container and
// object views, the factory, the window notices) pass what is not theirs on
// to the service installed before them. The journal step of the texts
// (windows/system_text.h) is installed in front of these afterwards. The
// program installs them at start-up and removes them at shutdown; tests for
// the life of one object. Main thread only.

#include <memory>

// Installs every service above over the ones installed before for its life,
// and puts those back when it ends.
class GameWindowServices {
public:
    GameWindowServices();
    ~GameWindowServices();
    GameWindowServices(const GameWindowServices&) = delete;
    GameWindowServices& operator=(const GameWindowServices&) = delete;

private:
    struct Objects;
    std::unique_ptr<Objects> m_objects;
};

// Installs them for the program's run; uninstallGameWindowServices puts back
// what was installed before.
void installGameWindowServices();
void uninstallGameWindowServices();
