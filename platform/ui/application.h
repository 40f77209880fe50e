// The program's event loop.
#pragma once

namespace platform::ui {

// Owns the toolkit's application object; exactly one exists. Construct it on the thread that is to be
// the window thread.
class Application {
public:
    Application();
    ~Application();
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    // Runs the event loop until the last window closes or quit() is called; returns the exit code.
    int run();
    static void quit(int exitCode = 0);
    // Handles the pending events once (used by tests and by waits that must keep the window alive).
    static void processEvents();

private:
    struct Impl;
    Impl *impl_;
};

} // namespace platform::ui
