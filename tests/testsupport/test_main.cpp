// Test main of the program's tests: GoogleTest with the program's application object on Qt's
// offscreen platform, so window tests run without a display.
#include "platform/ui/application.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    // Kept until the process ends: device threads of window tests live on inside the device library and
    // may still be talking to the window thread when the tests are over.
    static auto *application = new platform::ui::Application;
    (void)application;
    return RUN_ALL_TESTS();
}
