// Test helper: real processes under chosen names. Copies a small program (/bin/sleep, or any file)
// into a private temporary folder under the name a test needs ("i4Tools.exe", "ITUNES.EXE"...), starts
// it with any first argument (a Windows path, as Wine shows one), and tells how each one ended.
//
// Tests that start processes under the blocker's target names hold a lock file while they run, so
// that test programs run side by side never end each other's processes.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace commandstest {

class NamedProcesses {
public:
    NamedProcesses();  // takes the lock, makes the folder (readable by every user)
    ~NamedProcesses(); // kills and reaps what it started and is still running, removes the folder
    NamedProcesses(const NamedProcesses &) = delete;
    NamedProcesses &operator=(const NamedProcesses &) = delete;

    // Copies `source` into the folder as `name` (executable); returns the new path.
    std::string copyAs(const std::string &name, const std::string &source = "/bin/sleep");
    // Starts `path` with the first argument `argv0` (empty: the path) and the further arguments
    // (default: sleep for an hour). Returns the pid, or -1.
    pid_t start(const std::string &path, const std::string &argv0 = {},
                const std::vector<std::string> &args = {"3600"});
    // Starts `path` as user `uid` (the test must run as root), its output thrown away.
    pid_t startAs(uid_t uid, const std::string &path, const std::vector<std::string> &args);

    // True once `pid` has ended by the kill signal (waits for it; false after a fail-safe limit).
    bool endedByKill(pid_t pid);
    // Waits for `pid` to end on its own and returns its exit status (-1: killed or not ours).
    int exitCode(pid_t pid);
    // True while `pid` runs (not ended, not a zombie of ours).
    bool running(pid_t pid);

    const std::string &folder() const { return folder_; }

private:
    bool reap(pid_t pid, bool block);
    struct Child {
        pid_t pid;
        bool reaped;
        int status;
    };
    Child *find(pid_t pid);

    int lockFd_ = -1;
    std::string folder_;
    std::vector<Child> children_;
};

} // namespace commandstest
