// Diagnostic lines of the virtual iPhone: written to stderr only when --verbose was given, so tests
// and the demo see a quiet server. Callable from any thread.
#pragma once

#include <string>

namespace vi {

void setVerbose(bool on);
void logLine(const std::string &line);

} // namespace vi
