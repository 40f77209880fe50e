// Attaches the online services' handlers to the main window's controls: the software list and its
// editing, the install helpers, the store and help links. Window thread, once, after the window is
// built.
#pragma once

struct MainWindow;

void AttachOnlineHandlers(MainWindow &w);
