#pragma once
// The skill window as the rest of the program reaches it: the request flag
// the skills buttons and the desktop file set (SkillWindow, and the
// desktop's record), the groups loaded at start-up and login and saved with
// the desktop (SkillGroups, DesktopWindows), and the skills packet's
// handler. Each service passes what is not its own on to the one installed
// before it. The program installs them at start-up and removes them at
// shutdown; tests for the life of one object. Main thread only.

#include <memory>

class SkillWindowServices {
public:
    SkillWindowServices();
    ~SkillWindowServices();
    SkillWindowServices(const SkillWindowServices&) = delete;
    SkillWindowServices& operator=(const SkillWindowServices&) = delete;

private:
    struct Objects;
    std::unique_ptr<Objects> m_objects;
};

void installSkillWindowServices();
void uninstallSkillWindowServices();
