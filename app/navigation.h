// Switching the main window's pages by the header icons.
#pragma once

struct MainWindow;

void AttachNavigationHandlers(MainWindow &window);
