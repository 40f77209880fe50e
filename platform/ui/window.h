// A top-level window with a fixed client area and one of the seven Windows border styles.
#pragma once

#include "platform/ui/control.h"

namespace platform::ui {

// 0 none; 1 resizable + title; 2 fixed dialog frame + title; 3 resizable + narrow (tool) title;
// 4 fixed + narrow title; 5 like 1 with a sunken client edge; 6 like 2 with a sunken client edge.
enum class BorderStyle { None = 0, Resizable = 1, Fixed = 2, ResizableTool = 3, FixedTool = 4,
                         ResizableSunken = 5, FixedSunken = 6 };

class Window : public Control {
public:
    // `width`/`height` are the window's size; the window starts hidden.
    Window(std::string_view name, int width, int height, std::string_view caption);
    ~Window() override;

    // Values above 6 act as 6, below 0 as 0; borderStyle() reports the code in force.
    void setBorderStyle(int code);
    int borderStyle() const;

    void show();
    // Shows the window and waits until it closes (the opener waits; other windows stay drawn).
    void showModal();
    // Asks the window to close: the close-request handler runs first.
    void close();
    // Called when the window is asked to close; the window closes after it returns.
    void onCloseRequest(std::function<void()> handler);
    void raise();

    void setWidth(int width) override;
    void setHeight(int height) override;
    QWidget *childArea() const override;

private:
    void applySizeConstraints();
    friend class WindowWidget;
    std::function<void()> closeRequestHandler_;
    int borderStyle_ = 0;
};

} // namespace platform::ui
