#pragma once
// The game windows as the world and the gump framework reach them: the
// windows that show world objects (containers, paperdolls, name plates,
// overhead texts, the drag picture, the world view's highlights), the worn
// layer rules, the factory's paperdoll and container windows, the name plates
// of the all-names overlay, the world objects as gumps see them, and the
// system messages. Services this part provides only in part (the container
// and object views, the factory, the window notices) pass what is not theirs
// on to the service installed before them. The program installs them once at
// start-up for the whole run; tests for the life of one object. Main thread
// only.

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

// Installs them for the rest of the run.
void installGameWindowServices();
