// Message boxes: a text, a title and an icon with an OK button, task-modal and owned by the active
// window. Tests replace the real box with a recorder.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace platform::ui {

// The Windows values of the icons.
enum class MessageIcon { None = 0, Error = 16, Warning = 48, Information = 64 };

struct MessageBoxRequest {
    std::string text;  // GBK
    std::string title; // GBK, the default title already applied
    MessageIcon icon;
};

// The title a box carries when none is given.
std::string defaultMessageTitle();

// Shows the box and waits until the user closes it. An empty title means the default title. Any
// thread (other threads wait for the window thread).
void messageBox(std::string_view text, MessageIcon icon = MessageIcon::None, std::string_view title = {});

// While a handler is installed, boxes go to it instead of the screen (tests). Empty restores.
using MessageBoxHandler = std::function<void(const MessageBoxRequest &)>;
void setMessageBoxHandler(MessageBoxHandler handler);

} // namespace platform::ui
