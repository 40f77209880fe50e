// Switching the main window's pages by the header icons, and moving the borderless window by its
// header strip (HeaderDrag: a press starts 时钟1, each tick puts the window's top-left corner at the
// cursor while the border style is 0, the release stops it).
#pragma once

struct MainWindow;

void AttachNavigationHandlers(MainWindow &window);
