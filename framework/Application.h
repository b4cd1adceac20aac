#pragma once
#include <cstdint>
#include <functional>
#include <initializer_list>

class MenuBar;

// The application object: its menu bar, its version and the event loop.
class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    std::function<void()> OpenEvent;

    MenuBar* GetMenuBar() const { return menuBar_; }
    void SetMenuBar(MenuBar* menuBar) { menuBar_ = menuBar; }

    int32_t MajorVersion = 0;
    int32_t MinorVersion = 0;
    int32_t BugVersion = 0;

    // Raises OpenEvent, then runs the event loop until Quit; returns its exit code.
    int Run();
    static void Quit(int code = 0);

    // From now on each of these signals ends the event loop as Quit(0) does;
    // one that comes before Run is acted on once the loop runs. The handler
    // only writes to a pipe; the loop reads it and quits, so the program's own
    // clean-up runs as after any other quit. A signal that the process was
    // started with ignored stays ignored. Needs no runtime: it can come first.
    static void QuitOnSignals(std::initializer_list<int> numbers);

private:
    MenuBar* menuBar_ = nullptr;
};
