// A colour picker: shows its current colour; a click opens the desktop's colour dialog.
#pragma once

#include "platform/ui/control.h"

namespace platform::ui {

class ColourPicker : public Control {
public:
    ColourPicker(Control &parent, std::string_view name, Rect rect, uint32_t colour);
    uint32_t colour() const { return colour_; }
    void setColour(uint32_t colour);
    // Opens the colour dialog; the chosen colour becomes current (cancel keeps it).
    void choose();

private:
    uint32_t colour_;
};

} // namespace platform::ui
