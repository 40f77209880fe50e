// A picture box: shows a PNG picture scaled into its box over its background colour, may hold child
// controls (the header strip does), and reports presses and releases of the left mouse button on
// its bare surface.
#pragma once

#include "platform/ui/control.h"

#include <cstdint>
#include <span>

namespace platform::ui {

class PictureBox : public Control {
public:
    PictureBox(Control &parent, std::string_view name, Rect rect);

    // Decodes a PNG file's bytes and shows the picture; false (and nothing shown) when they are not a
    // PNG picture.
    bool setPicture(std::span<const uint8_t> png);
    bool hasPicture() const;
    void clearPicture();
    void onPress(std::function<void()> handler);
    void onRelease(std::function<void()> handler);
    // What a press / release of the left mouse button does; for tests.
    void press();
    void release();

private:
    std::function<void()> pressHandler_;
    std::function<void()> releaseHandler_;
    friend class PictureSurface;
};

} // namespace platform::ui
