// The process table: finding a running process by its executable name and ending it. The program
// uses it to end competing device managers, which run as native programs or under Wine.
//
// Names are GBK texts, as everywhere in the program; they are compared with the system's process
// names (UTF-8 file names) after conversion, letter case ignored for the ASCII letters only, so a
// multi-byte character never equals another one.
#pragma once

#include <string_view>
#include <sys/types.h>

namespace platform::process {

// The executable name of a process is matched in two forms: its command name as the kernel keeps it
// (at most 15 bytes), and the last component of its first argument, split at '/' or '\' (a Windows
// program run by Wine carries "C:\...\name.exe" there).
//
// Ends the first process in table order (ascending process id) whose executable name equals `name`,
// ASCII letter case ignored, with the kill signal, without waiting for it. The calling program itself,
// processes that have already ended (zombies waiting to be reaped) and processes already on their way
// out (a kill signal pending, as after an earlier call) are never targets. At most one process per
// call; further processes of the same name are left for the next call.
//
// Returns true when the signal was delivered to the target. False when `name` is empty, when no
// process matches, and when the first match cannot be ended (another user's process: no rights; the
// call stops there, as with any target). A match that vanishes, ends or has its id taken over by a
// new process while the table is walked is passed over: a process is signalled only after it has been
// found again, alive and still matching, so a process id taken over by a new process is never
// signalled by mistake. Nothing is reported. Never waits on the target.
//
// Cost: one read of each process's command name per call. A process's first argument is read once
// (an empty one twice) and remembered for as long as the process lives with the same command name; a
// process that rewrites its first argument later and keeps its command name is judged by the
// argument it had when first seen. Any thread; calls are serialised.
bool terminateFirstProcessNamed(std::string_view name);

// The process id of the first process that terminateFirstProcessNamed would try to end, or 0 when
// there is none. Ends nothing. For tests and diagnostics.
pid_t findFirstProcessNamed(std::string_view name);

} // namespace platform::process
