// Process start and end: the main window's creation sequence, its close request, the close icon's
// immediate exit, and the release of the program's globals at exit.
#pragma once

struct MainWindow;

// Creates the main window, attaches every handler and runs the creation sequence to its end before
// any event is handled. Returns the window, shown unless start-up hid it; nullptr when start-up ended
// the program (a missing device library) under a test's end-program handler.
MainWindow *CreateMainWindow();

// The creation sequence (settings, the device libraries, the device thread, the header pictures, the
// emptied log). Window thread. False when it ended the program (which returns only under a test's
// end-program handler).
bool RunMainWindowCreation(MainWindow &window);

// The main window's close request: stops the session and disconnects, logging both results; never
// refuses the close.
void CloseDeviceOnExit();

// Releases the device record and the other globals; registered to run once at program exit.
void ReleaseGlobals();

// Process entry: creates the globals, registers ReleaseGlobals, creates the main window and runs the
// event loop; returns 0 when the main window has been closed.
int RunKelmTools();
