// Ending a process by its executable name, as the competing-tool blocker needs it.
#pragma once

#include <string_view>

// Ends at most one process whose executable name equals `name` (GBK, e.g. "i4Tools.exe"), letter
// case ignored: the first in the system's process order. A process run by Wine is found by its
// Windows program name. The program itself is never ended. Returns whether a process was ended;
// false for an empty name, when none runs, and when it cannot be ended (another user's process).
// Does not wait for the process to go. Window thread (any thread is safe).
bool TerminateProcessByName(std::string_view name);
