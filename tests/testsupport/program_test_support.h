// Helpers for tests of the whole program: the log pane's messages, the registry store that names the
// device libraries, and the started program on the virtual iPhone.
#pragma once

#include "test_support.h"
#include "virtual_iphone_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct MainWindow;

namespace testsupport {

// The message part of every line of the log pane ("[h:m:s][source]=>>message"), in order.
std::vector<std::string> logMessages(const MainWindow &window);
// True when one line of the log pane carries exactly this message.
bool logHas(const MainWindow &window, const std::string &message);

// Writes the registry store of `home` so that discovery takes `folder`/libMobileDevice.so (the
// "Shared" value) and `folder`/ as the CoreFoundation folder (the "InstallDir" value).
void registerDeviceLibraries(const TempHome &home, const std::string &folder);

// The program as a user starts it, for end-to-end tests: a virtual iPhone behind a private daemon
// socket, a temporary home, the build's own device libraries, and the main window after its whole
// creation sequence, showing the device page. One per test program (its device thread never ends):
// make it in SetUpTestSuite and keep it.
struct StartedProgram {
    kelm::test::VirtualIphone phone;
    TempHome home;
    MainWindow *window = nullptr;

    // False (with a test failure) when the virtual iPhone or the window could not be started.
    bool start();
};

// A test suite whose tests share one started program (see StartedProgram); one such suite per test
// program.
class StartedProgramTest : public testing::Test {
protected:
    static void SetUpTestSuite();
    // Stops the virtual iPhone; the device thread lives on inside the library's run loop, and the
    // window and device record stay with it.
    static void TearDownTestSuite();

    static kelm::test::VirtualIphone *phone;
    static TempHome *home;
    static MainWindow *window;
};

} // namespace testsupport
