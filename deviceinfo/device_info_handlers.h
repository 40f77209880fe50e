// Hooks the device-information refresh into the program: after a started session, and the buttons
// 按钮27 "获取" (refresh) and 按钮26 "清空" (empty the device list) of the device page.
#pragma once

struct MainWindow;

// Call once while the main window is created, before the device thread starts. Window thread.
void AttachDeviceInfoHandlers(MainWindow &window);
