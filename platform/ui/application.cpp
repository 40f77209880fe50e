// The toolkit's application object and event loop.
#include "platform/ui/application.h"

#include <QApplication>

namespace platform::ui {

struct Application::Impl {
    int argc = 1;
    char name[16] = "KelmTools";
    char *argv[2] = {name, nullptr};
    QApplication app{argc, argv};
};

Application::Application() : impl_(new Impl) { QApplication::setQuitOnLastWindowClosed(true); }

Application::~Application() { delete impl_; }

int Application::run() { return QApplication::exec(); }

void Application::quit(int exitCode) { QApplication::exit(exitCode); }

void Application::processEvents() { QApplication::processEvents(); }

} // namespace platform::ui
