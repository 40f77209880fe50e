// A small program for the blocker's tests: calls TerminateProcessByName(<name>) <count> times and
// prints one line per call ("ended" or "nothing"), then exits 0 if any call ended a process, else 1.
// Tests copy it under a target's own name (the program must never end itself) and run it as
// another user (a process it has no right to end).
#include "commands/process_termination.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    const int count = argc > 2 ? std::atoi(argv[2]) : 1;
    bool any = false;
    for (int i = 0; i < count; ++i) {
        const bool ended = TerminateProcessByName(argv[1]);
        std::printf("%s\n", ended ? "ended" : "nothing");
        any = any || ended;
    }
    std::fflush(stdout);
    return any ? 0 : 1;
}
