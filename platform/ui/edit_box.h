// Edit boxes: a single-line one, and a multi-line one that keeps its text exactly (CR LF line ends
// included) and can append at the end as an edit control does, cheaply even for very long texts.
#pragma once

#include "platform/ui/control.h"

namespace platform::ui {

class EditBox : public Control {
public:
    EditBox(Control &parent, std::string_view name, Rect rect, std::string_view text, bool multiLine = false);

    // The whole text, exactly as set and appended (GBK).
    std::string caption() const override;
    void setCaption(std::string_view text) override;
    // Puts the empty selection at the end, scrolls the caret into view and replaces the selection with
    // `text`: the caret stays after the new text and the view follows it, whatever the user had
    // scrolled to or selected.
    void appendText(std::string_view text);
    size_t length() const { return text_.size(); }
    bool isMultiLine() const { return multiLine_; }
    void onChange(std::function<void()> handler);

private:
    bool multiLine_;
    std::string text_; // GBK mirror of the shown text; the widget holds its UTF-16 form
    std::function<void()> changeHandler_;
    bool updating_ = false;
};

} // namespace platform::ui
