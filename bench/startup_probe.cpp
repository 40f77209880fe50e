// The program's start-up up to the main window being shown, then an immediate exit: run it with
// hyperfine (bench/startup.sh) to time start-up as a whole process. It runs the program's own code
// (the same creation sequence, with its 500 ms of deliberate waits).
#include "app/main_window.h"
#include "app/startup.h"
#include "device/device_context.h"
#include "platform/ui/application.h"

#include <QTimer>

#include <cstdlib>

int main()
{
    CreateDeviceContext();
    std::atexit(ReleaseGlobals);
    platform::ui::Application application;
    CreateMainWindow();
    // The first turn of the event loop after the window was shown.
    QTimer::singleShot(0, [] { std::_Exit(0); });
    return application.run();
}
