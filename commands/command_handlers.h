// Attaches the handlers of the device commands, the identifier copy and the competing-tool blocker
// to the main window's controls.
#pragma once

struct MainWindow;

// 按钮2, 按钮9, 按钮20, 按钮3 (device page), 按钮7 (basic-information page), 按钮1, 按钮4, 选择框1,
// 选择框2, 时钟2, 时钟3 (bottom row). Window thread, once, while the window is being created; the
// handlers keep a reference to `window`, which must outlive them.
void AttachCommandHandlers(MainWindow &window);
