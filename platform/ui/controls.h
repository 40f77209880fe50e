// The simple control kinds: button, label, transparent label, check box, radio button, group box,
// progress bar, combo box. Each is created on a parent control with its name, place and caption.
#pragma once

#include "platform/ui/control.h"

#include <vector>

class QAbstractButton;

namespace platform::ui {

using ClickHandler = std::function<void()>;

class Button : public Control {
public:
    Button(Control &parent, std::string_view name, Rect rect, std::string_view caption);
    // Called when the user clicks (or a test calls click()).
    void onClick(ClickHandler handler);
    void click();

private:
    ClickHandler handler_;
};

// A label draws its background (its background colour when one is set); a transparent label shows
// its parent through. Both can report a press of the left mouse button.
class Label : public Control {
public:
    Label(Control &parent, std::string_view name, Rect rect, std::string_view caption, bool transparent = false);
    void onPress(ClickHandler handler);
    // What a press of the left mouse button does; for tests.
    void press();

private:
    ClickHandler pressHandler_;
};

class TransparentLabel : public Label {
public:
    TransparentLabel(Control &parent, std::string_view name, Rect rect, std::string_view caption)
        : Label(parent, name, rect, caption, true)
    {
    }
};

class CheckBox : public Control {
public:
    CheckBox(Control &parent, std::string_view name, Rect rect, std::string_view caption, bool ticked = false);
    bool isTicked() const;
    void setTicked(bool ticked);
    // Called after a user click has changed the tick.
    void onClick(ClickHandler handler);
    void click();

private:
    ClickHandler handler_;
};

// Radio buttons on the same parent exclude each other.
class RadioButton : public Control {
public:
    RadioButton(Control &parent, std::string_view name, Rect rect, std::string_view caption, bool selected = false);
    bool isSelected() const;
    void setSelected(bool selected);
    void click();
};

class GroupBox : public Control {
public:
    GroupBox(Control &parent, std::string_view name, Rect rect, std::string_view caption);
    QWidget *childArea() const override;
};

class ProgressBar : public Control {
public:
    ProgressBar(Control &parent, std::string_view name, Rect rect);
    int position() const;
    // Values outside minimum..maximum are clamped to the range.
    void setPosition(int position);
    int minimum() const;
    int maximum() const;
    void setRange(int minimum, int maximum);
};

// An editable combo box: its caption is the text in its edit field.
class ComboBox : public Control {
public:
    ComboBox(Control &parent, std::string_view name, Rect rect, std::string_view text,
             const std::vector<std::string> &items);
    std::string caption() const override;
    void setCaption(std::string_view text) override;
    std::vector<std::string> items() const;
};

} // namespace platform::ui
