#pragma once
// The player's own windows as the rest of the program reaches them: the
// status bars and target bars the status packets fill (StatusWindows), the
// status bars of the factory and of the world's object notices, the
// menubar, the race change and equipment popup of the general information
// packet, and the profile packet's handler. Each service passes what is not
// its own on to the one installed before it. The program installs them at
// start-up and removes them at shutdown; tests for the life of one object.
// Main thread only.

#include <memory>

class StatusWindowServices {
public:
    StatusWindowServices();
    ~StatusWindowServices();
    StatusWindowServices(const StatusWindowServices&) = delete;
    StatusWindowServices& operator=(const StatusWindowServices&) = delete;

private:
    struct Objects;
    std::unique_ptr<Objects> m_objects;
};

void installStatusWindowServices();
void uninstallStatusWindowServices();
