// Test main of the program's tests: GoogleTest with the program's application object on Qt's
// offscreen platform, so window tests run without a display.
#include "platform/ui/application.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    platform::ui::Application application;
    return RUN_ALL_TESTS();
}
