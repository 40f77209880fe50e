// Ending a process by name over the platform's process table.
#include "commands/process_termination.h"

#include "platform/process/process.h"

bool TerminateProcessByName(std::string_view name)
{
    if (name.empty())
        return false;
    return platform::process::terminateFirstProcessNamed(name);
}
