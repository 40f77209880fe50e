// Top-level windows: border styles as window decorations, close requests, modal showing.
#include "platform/ui/window.h"

#include "platform/ui/qt_bridge.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFrame>
#include <QVBoxLayout>
#include <QWidget>

namespace platform::ui {

class WindowWidget : public QWidget {
public:
    explicit WindowWidget(Window *owner) : owner_(owner)
    {
        client_ = new QFrame(this);
        client_->setObjectName(QStringLiteral("client"));
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(client_);
    }
    QFrame *client_;
    QEventLoop *modalLoop = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (owner_->closeRequestHandler_)
            owner_->closeRequestHandler_();
        event->accept();
        if (modalLoop)
            modalLoop->quit();
    }

private:
    Window *owner_;
};

Window::Window(std::string_view name, int width, int height, std::string_view caption)
{
    auto *w = new WindowWidget(this);
    attach(w, nullptr, name, Rect{50, 50, width, height});
    w->setWindowTitle(toQString(caption));
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    setBorderStyle(0);
}

Window::~Window() { delete widget_; }

void Window::setBorderStyle(int code)
{
    borderStyle_ = std::clamp(code, 0, 6);
    auto *w = static_cast<WindowWidget *>(widget_);
    const bool wasVisible = w->isVisible();
    const QRect geometry = w->geometry();
    w->setMinimumSize(0, 0);
    w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    Qt::WindowFlags flags = Qt::Window;
    switch (static_cast<BorderStyle>(borderStyle_)) {
    case BorderStyle::None:
        flags |= Qt::FramelessWindowHint;
        break;
    case BorderStyle::Resizable:
    case BorderStyle::ResizableSunken:
        flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                 | Qt::WindowCloseButtonHint;
        break;
    case BorderStyle::Fixed:
    case BorderStyle::FixedSunken:
        flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                 | Qt::MSWindowsFixedSizeDialogHint;
        break;
    case BorderStyle::ResizableTool:
        flags = Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        break;
    case BorderStyle::FixedTool:
        flags = Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
        break;
    }
    w->setWindowFlags(flags);
    const bool sunken = borderStyle_ == 5 || borderStyle_ == 6;
    w->client_->setFrameStyle(sunken ? (QFrame::Panel | QFrame::Sunken) : QFrame::NoFrame);
    w->setGeometry(geometry);
    applySizeConstraints();
    if (wasVisible)
        w->show();
}

// A fixed frame cannot be resized by the user; the program still sets the size.
void Window::applySizeConstraints()
{
    const bool fixed = borderStyle_ == 0 || borderStyle_ == 2 || borderStyle_ == 4 || borderStyle_ == 6;
    const QSize size = widget_->size();
    widget_->setMinimumSize(fixed ? size : QSize(0, 0));
    widget_->setMaximumSize(fixed ? size : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
}

void Window::setWidth(int width)
{
    widget_->setMinimumSize(0, 0);
    widget_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    widget_->resize(width, widget_->height());
    applySizeConstraints();
}

void Window::setHeight(int height)
{
    widget_->setMinimumSize(0, 0);
    widget_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    widget_->resize(widget_->width(), height);
    applySizeConstraints();
}

int Window::borderStyle() const { return borderStyle_; }

void Window::show()
{
    widget_->show();
}

void Window::showModal()
{
    auto *w = static_cast<WindowWidget *>(widget_);
    w->setWindowModality(Qt::ApplicationModal);
    w->show();
    QEventLoop loop;
    w->modalLoop = &loop;
    loop.exec();
    w->modalLoop = nullptr;
}

void Window::close() { widget_->close(); }

void Window::onCloseRequest(std::function<void()> handler) { closeRequestHandler_ = std::move(handler); }

void Window::raise() { widget_->raise(); }

QWidget *Window::childArea() const { return static_cast<WindowWidget *>(widget_)->client_; }

} // namespace platform::ui
