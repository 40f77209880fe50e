// Verbose-only stderr logging, one whole line per call even with many threads.
#include "log.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace vi {

static std::atomic<bool> g_verbose{false};
static std::mutex g_logMutex;

void setVerbose(bool on)
{
    g_verbose = on;
}

void logLine(const std::string &line)
{
    if (!g_verbose)
        return;
    std::lock_guard lock(g_logMutex);
    std::fprintf(stderr, "virtual-iphone: %s\n", line.c_str());
}

} // namespace vi
