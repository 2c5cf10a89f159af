#pragma once
// The reading windows as the world and the world packets reach them: a board
// window asks for the summary of each message that enters its board and
// closes with the board; a message that leaves the world takes its posting
// line off its board; the map windows of a map item; the course map that a
// map packet (0x90) opens. What is not theirs goes on to the services
// installed before. Installed with the game windows' services at start-up
// (after them, so in front of them) and removed at shutdown; tests hold one
// object for their life. Main thread only.

#include <memory>

class ReadingWindowServices {
public:
    ReadingWindowServices();
    ~ReadingWindowServices();
    ReadingWindowServices(const ReadingWindowServices&) = delete;
    ReadingWindowServices& operator=(const ReadingWindowServices&) = delete;

private:
    struct Objects;
    std::unique_ptr<Objects> m_objects;
};

// For the program's run: the services above and the reading windows' packet
// handlers.
void installReadingWindowServices();
void uninstallReadingWindowServices();
