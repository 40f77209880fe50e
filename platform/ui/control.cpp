// The common part of every control, the window-thread bridge and the program's end.
#include "platform/ui/control.h"

#include "platform/ui/qt_bridge.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QCursor>
#include <QMetaObject>
#include <QThread>
#include <QWidget>

#include <cstdlib>
#include <mutex>

namespace platform::ui {

std::string Control::name() const { return fromQString(widget_->objectName()); }
int Control::left() const { return widget_->x(); }
int Control::top() const { return widget_->y(); }
int Control::width() const { return widget_->width(); }
int Control::height() const { return widget_->height(); }
void Control::setLeft(int left) { widget_->move(left, widget_->y()); }
void Control::setTop(int top) { widget_->move(widget_->x(), top); }
void Control::setWidth(int width) { widget_->resize(width, widget_->height()); }
void Control::setHeight(int height) { widget_->resize(widget_->width(), height); }
void Control::move(int left, int top) { widget_->move(left, top); }
bool Control::isVisible() const { return !widget_->isHidden(); }
void Control::setVisible(bool visible) { widget_->setVisible(visible); }
bool Control::isEnabled() const { return widget_->isEnabled(); }
void Control::setEnabled(bool enabled) { widget_->setEnabled(enabled); }

// One caption property over the different Qt kinds: button and label text, group title, window title.
std::string Control::caption() const
{
    if (auto *button = qobject_cast<QAbstractButton *>(widget_))
        return fromQString(button->text());
    if (auto *label = qobject_cast<QLabel *>(widget_))
        return fromQString(label->text());
    if (auto *group = qobject_cast<QGroupBox *>(widget_))
        return fromQString(group->title());
    return fromQString(widget_->windowTitle());
}

void Control::setCaption(std::string_view text)
{
    if (auto *button = qobject_cast<QAbstractButton *>(widget_))
        button->setText(toQString(text));
    else if (auto *label = qobject_cast<QLabel *>(widget_))
        label->setText(toQString(text));
    else if (auto *group = qobject_cast<QGroupBox *>(widget_))
        group->setTitle(toQString(text));
    else
        widget_->setWindowTitle(toQString(text));
}

void Control::setBackColour(uint32_t colour)
{
    QPalette p = widget_->palette();
    p.setColor(QPalette::Window, toQColor(colour));
    p.setColor(QPalette::Base, toQColor(colour));
    p.setColor(QPalette::Button, toQColor(colour));
    widget_->setPalette(p);
    widget_->setAutoFillBackground(true);
}

void Control::setTextColour(uint32_t colour)
{
    QPalette p = widget_->palette();
    p.setColor(QPalette::WindowText, toQColor(colour));
    p.setColor(QPalette::Text, toQColor(colour));
    p.setColor(QPalette::ButtonText, toQColor(colour));
    widget_->setPalette(p);
}

QWidget *Control::childArea() const { return widget_; }

void Control::attach(QWidget *widget, Control *parent, std::string_view name, Rect rect)
{
    widget_ = widget;
    widget_->setObjectName(toQString(name));
    if (parent)
        widget_->setParent(parent->childArea());
    widget_->setGeometry(rect.left, rect.top, rect.width, rect.height);
    if (parent)
        widget_->show();
}

bool isWindowThread()
{
    return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}

void runOnWindowThread(const std::function<void()> &task)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || isWindowThread()) {
        task();
        return;
    }
    QMetaObject::invokeMethod(app, [&task] { task(); }, Qt::BlockingQueuedConnection);
}

namespace {
std::mutex gEndMutex;
EndProgramHandler gEndHandler;
} // namespace

void endProgram(int exitCode)
{
    EndProgramHandler handler;
    {
        std::lock_guard lock(gEndMutex);
        handler = gEndHandler;
    }
    if (handler) {
        handler(exitCode);
        return;
    }
    std::exit(exitCode);
}

void setEndProgramHandler(EndProgramHandler handler)
{
    std::lock_guard lock(gEndMutex);
    gEndHandler = std::move(handler);
}

void cursorPosition(int &x, int &y)
{
    const QPoint p = QCursor::pos();
    x = p.x();
    y = p.y();
}

} // namespace platform::ui
