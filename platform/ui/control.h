// The widget layer: thin classes over Qt widgets for the control kinds of the program's windows,
// with the properties the program uses. Texts are GBK; colours are Windows colour values
// (0x00BBGGRR); positions and sizes are pixels relative to the parent's client area.
//
// Controls belong to their parent (the Qt parent deletes the widget); the wrapper objects themselves
// are owned by the window record that declares them and must not outlive it. Every member must be
// called on the window thread; other threads go through runOnWindowThread().
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class QWidget;

namespace platform::ui {

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Windows colour value helpers: 0x00BBGGRR.
constexpr uint32_t rgb(uint8_t r, uint8_t g, uint8_t b) { return r | (g << 8) | (static_cast<uint32_t>(b) << 16); }

class Control {
public:
    virtual ~Control() = default;
    Control(const Control &) = delete;
    Control &operator=(const Control &) = delete;

    std::string name() const;

    int left() const;
    int top() const;
    int width() const;
    int height() const;
    void setLeft(int left);
    void setTop(int top);
    virtual void setWidth(int width);
    virtual void setHeight(int height);
    void move(int left, int top);

    // The control's own visibility flag (a control on a page that is not shown is still "visible").
    bool isVisible() const;
    void setVisible(bool visible);
    bool isEnabled() const;
    void setEnabled(bool enabled);

    virtual std::string caption() const;
    virtual void setCaption(std::string_view text);

    void setBackColour(uint32_t colour);
    void setTextColour(uint32_t colour);

    // The widget children are created in (the page of a tab control, the group box itself...).
    virtual QWidget *childArea() const;
    QWidget *widget() const { return widget_; }

protected:
    Control() = default;
    // Names the widget, puts it on the parent's child area at `rect`.
    void attach(QWidget *widget, Control *parent, std::string_view name, Rect rect);

    QWidget *widget_ = nullptr;
};

// Runs `task` on the window thread and waits until it has run. Called on the window thread, it runs
// at once. From another thread it waits until the window thread handles events again, so nothing
// runs before the window thread's current handler has returned.
void runOnWindowThread(const std::function<void()> &task);

bool isWindowThread();

// Ends the program at once with `exitCode`: exit handlers (such as the one releasing the program's
// globals) run, nothing else does. It does not return, unless a test has installed a handler with
// setEndProgramHandler: that handler is called instead and endProgram returns, so callers make it
// the last thing they do. An empty handler restores the real exit.
void endProgram(int exitCode);
using EndProgramHandler = std::function<void(int exitCode)>;
void setEndProgramHandler(EndProgramHandler handler);

// Cursor position in screen coordinates.
void cursorPosition(int &x, int &y);

} // namespace platform::ui
