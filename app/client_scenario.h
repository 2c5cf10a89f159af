#pragma once
// A hold on the running program for tests that meet it as a player does: the
// real program runs headless, the test drives it only through the window's
// message queue (mouse, keys, close) and reads back the pictures it shows.
// A scenario installed before clientMain is told once start-up has finished
// (before the first message is taken; it schedules its input then) and once
// the main loop ended (before anything is torn down). The program itself
// never installs one. Main thread only.

class GumpDesktop;
class MainLoop;
class MainWindow;
class WindowPresenter;
namespace platform {
class Display;
class Window;
}

struct ClientSession {
    platform::Window& window;
    platform::Display& display;
    MainWindow& mainWindow;
    WindowPresenter& presenter;
    GumpDesktop& desktop;
    MainLoop& loop;
};

class ClientScenario {
public:
    virtual ~ClientScenario() = default;
    virtual void started(ClientSession& session) = 0;
    // After each gump update, whatever gumps come and go: a long run that
    // must outlive every window keeps its own pace here.
    virtual void updated() { }
    virtual void finished(ClientSession&) { }
};

// Null removes it; returns the previous one.
ClientScenario* installClientScenario(ClientScenario* scenario);
ClientScenario* clientScenario();
