#pragma once
// The text windows and the item-property window as the rest of the program
// reaches them: the factory's kind 7 (the journal window), the resize outline
// of windows with a grip, the tips window the server opens, and the item
// property window (hover and click, the per-frame step, the mode setting,
// arriving lists, the desktop record and the window made on entering the
// world). Services this part provides only in part pass the rest on to the
// service installed before. The program installs them at start-up and
// removes them at shutdown; tests for the life of one object. Main thread
// only.

#include <memory>

class TextWindowServices {
public:
    TextWindowServices();
    ~TextWindowServices();
    TextWindowServices(const TextWindowServices&) = delete;
    TextWindowServices& operator=(const TextWindowServices&) = delete;

private:
    struct Objects;
    std::unique_ptr<Objects> m_objects;
};

void installTextWindowServices();
void uninstallTextWindowServices();
