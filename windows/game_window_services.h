#pragma once
// The game windows as the world and the gump framework reach them: the
// windows that show world objects (containers, paperdolls, name plates,
// overhead texts, the drag picture, the world view's highlights), the worn
// layer rules, the factory's paperdoll and container windows, the name plates
// of the all-names overlay, the world objects as gumps see them, and the
// system messages. Services this part provides only in part (the container
// and object views, the factory, the window notices) pass what is not theirs
// on to the service installed before them. Installed once at start-up; the
// objects live for the whole run. Main thread only.

// Installs every service above over the ones installed before.
void installGameWindowServices();
