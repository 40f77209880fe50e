// Helpers for the program's tests: the offscreen application (test main), a message-box recorder, an
// end-program recorder, a temporary home folder, rendering a control to a PNG file, finding controls
// by name, and the fixture folders.
#pragma once

#include "platform/ui/control.h"
#include "platform/ui/message_box.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// Records every message box instead of showing it, while it lives.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    std::vector<platform::ui::MessageBoxRequest> boxes() const;

private:
    struct State;
    State *state_;
};

// Records endProgram calls instead of ending the test process, while it lives.
class EndProgramRecorder {
public:
    EndProgramRecorder();
    ~EndProgramRecorder();
    std::optional<int> exitCode() const;

private:
    std::optional<int> *code_;
};

// A fresh temporary folder that is HOME (and the XDG folders under it) while the object lives; the
// registry store is <home>/registry.reg (KELM_REGISTRY_FILE). Removed afterwards. Paths in UTF-8.
// The settings file in <home>/Documents already marks the first run as done, so a started window
// does not open the first-run wizard; tests of the first run remove it (settingsFile()).
class TempHome {
public:
    TempHome();
    ~TempHome();
    const std::string &path() const { return path_; }
    std::string registryFile() const { return path_ + "/registry.reg"; }
    // The program's settings file (UTF-8 path).
    std::string settingsFile() const;
    // Writes a file below the home folder (creating folders), returns its full path.
    std::string writeFile(const std::string &relative, const std::string &content) const;

private:
    std::string path_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// Saves what the control shows as a PNG file; false on failure.
bool renderToPng(const platform::ui::Control &control, const std::string &path);
// The folder test pictures go to: $KELM_SCREENSHOT_DIR, else <build>/screenshots.
std::string screenshotFolder();

// A child widget of `root` by its object name (GBK, as the program names it).
QWidget *findWidget(const platform::ui::Control &root, const std::string &name);

// Handles events until `done` is true or `timeout` passes; returns `done()`.
bool waitUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout = std::chrono::seconds(10));
void processEvents(std::chrono::milliseconds duration);

std::string sourceDir();
// Folder of the stand-in device libraries built for the tests.
std::string fakeDeviceLibsDir();
// Folder of the program's build outputs (program, real device libraries, tools).
std::string binDir();

} // namespace testsupport
