// How the window looks: the theme colour of the header and the border style, applied at start-up and
// changed on the personalisation pages; the settings page's save-record buttons; the switch to the
// tester window.
#pragma once

#include <cstdint>

struct MainWindow;

// Puts a colour on the colour picker, the header strip, 透明标签22 (text colour and its decimal value as
// caption), the four header icons and their caption labels.
void ApplyThemeColour(MainWindow &window, uint32_t colour);

// Sets the border style (0..6; above 6 acts as 6, below 0 as 0), then derives from the style in force
// the height (505 without a border, 540 with one) and whether the close icon shows (only without).
void ApplyBorderStyle(MainWindow &window, int32_t code);

// Attaches 按钮13, 按钮15, 按钮14 (personalisation) and 按钮18, 按钮19, 按钮17 (settings page).
void AttachPersonalisationHandlers(MainWindow &window);
