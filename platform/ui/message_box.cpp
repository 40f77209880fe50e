// Message boxes over QMessageBox, or a test's handler.
#include "platform/ui/message_box.h"

#include "platform/ui/control.h"
#include "platform/ui/qt_bridge.h"

#include <QApplication>
#include <QMessageBox>

#include <mutex>

namespace platform::ui {
namespace {

std::mutex gHandlerMutex;
MessageBoxHandler gHandler;

QMessageBox::Icon toQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

} // namespace

std::string defaultMessageTitle() { return "信息："; }

void messageBox(std::string_view text, MessageIcon icon, std::string_view title)
{
    MessageBoxRequest request{std::string(text), title.empty() ? defaultMessageTitle() : std::string(title), icon};
    MessageBoxHandler handler;
    {
        std::lock_guard lock(gHandlerMutex);
        handler = gHandler;
    }
    if (handler) {
        handler(request);
        return;
    }
    runOnWindowThread([&request] {
        // Owned by the active window and modal for the whole program, as a task-modal box is.
        QMessageBox box(toQtIcon(request.icon), toQString(request.title), toQString(request.text), QMessageBox::Ok,
                        QApplication::activeWindow());
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
    });
}

void setMessageBoxHandler(MessageBoxHandler handler)
{
    std::lock_guard lock(gHandlerMutex);
    gHandler = std::move(handler);
}

} // namespace platform::ui
