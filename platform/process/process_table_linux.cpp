// The process table over /proc: one walk of the process directories per call, the command name read
// from each, the first argument remembered per process, and a race-free end of the process found.
#include "platform/process/process.h"

#include "platform/text/text.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace platform::process {
namespace {

// What was learnt of one process in the previous walk. The directory's inode number tells two
// processes apart that had the same id one after the other (/proc gives each process directory a
// new inode); the command name tells when a program changed what it calls itself (Wine sets the
// command name and the first argument together).
struct SeenProcess {
    pid_t pid = 0;
    ino_t inode = 0;
    std::string command;
    std::string argumentName; // last component of the first argument
    // An empty first argument is final for kernel threads, but a process in the middle of starting a
    // program shows its new command name a moment before its new arguments: an empty one is trusted
    // only once two walks in a row have read it.
    bool settled = false;
};

std::mutex gMutex;
std::vector<SeenProcess> gSeen; // ascending pid
std::vector<SeenProcess> gNext; // the list being built, kept to reuse its storage

// What became of one candidate.
enum class Outcome {
    Ended,      // signal delivered
    NotRunning, // gone, replaced, ending or ended (zombie): not a target, look further
    Refused,    // alive and matching but it cannot be ended
    Found,      // alive and matching (probe only)
};

bool parsePid(const char *name, pid_t &pid)
{
    if (*name < '1' || *name > '9')
        return false;
    long value = 0;
    for (const char *p = name; *p; ++p) {
        if (*p < '0' || *p > '9' || value > 100000000)
            return false;
        value = value * 10 + (*p - '0');
    }
    pid = static_cast<pid_t>(value);
    return true;
}

// Reads up to `size` bytes of a small /proc file relative to `dirFd`; -1 when it cannot be read.
ssize_t readSmallFile(int dirFd, const char *path, char *buffer, size_t size)
{
    const int fd = ::openat(dirFd, path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    ssize_t total = 0;
    while (static_cast<size_t>(total) < size) {
        const ssize_t got = ::read(fd, buffer + total, size - static_cast<size_t>(total));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            total = -1;
            break;
        }
        if (got == 0)
            break;
        total += got;
    }
    ::close(fd);
    return total;
}

// The command name ("comm" without its line end); false when the process is gone.
bool readCommand(int dirFd, const char *path, std::string &command)
{
    char buffer[64];
    const ssize_t got = readSmallFile(dirFd, path, buffer, sizeof buffer);
    if (got <= 0)
        return false;
    size_t length = static_cast<size_t>(got);
    if (buffer[length - 1] == '\n')
        --length;
    command.assign(buffer, length);
    return true;
}

// The last component of the first argument, split at '/' or '\'. Empty for kernel threads and for a
// process that is gone or whose memory cannot be read.
std::string readArgumentName(int dirFd, const char *path)
{
    // The first argument up to its terminating zero; a longer one is cut at the buffer's end, which
    // keeps no path component an executable name could be compared with anyway.
    char buffer[4096];
    const ssize_t got = readSmallFile(dirFd, path, buffer, sizeof buffer);
    if (got <= 0)
        return {};
    const std::string_view all(buffer, static_cast<size_t>(got));
    const std::string_view first = all.substr(0, all.find('\0'));
    const size_t slash = first.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? first : first.substr(slash + 1));
}

bool matches(const std::string &command, const std::string &argumentName, std::string_view wanted)
{
    return platform::text::equalsIgnoreAsciiCase(command, wanted) ||
           platform::text::equalsIgnoreAsciiCase(argumentName, wanted);
}

// Whether a process still runs its program: false when it is gone, has ended (a zombie waiting to be
// reaped) or is ending (a kill signal waits for it, or it is already on its way out). A process that
// another call has just signalled is not a target again: the kill is not awaited.
bool stillRunning(int dirFd)
{
    char buffer[2048];
    ssize_t got = readSmallFile(dirFd, "stat", buffer, sizeof buffer - 1);
    if (got <= 0)
        return false;
    buffer[got] = '\0';
    // After the name (which may hold anything, so from the last ')'): state, ppid, pgrp, session,
    // tty, tpgid, flags.
    const char *close = std::strrchr(buffer, ')');
    if (!close || close[1] != ' ')
        return false;
    const char state = close[2];
    if (state == 'Z' || state == 'X' || state == 'x')
        return false;
    const char *field = close + 2;
    for (int i = 0; i < 6 && field; ++i) {
        field = std::strchr(field, ' ');
        if (field)
            ++field;
    }
    constexpr unsigned long kExiting = 0x4; // PF_EXITING
    if (!field || (std::strtoul(field, nullptr, 10) & kExiting))
        return false;

    got = readSmallFile(dirFd, "status", buffer, sizeof buffer - 1);
    if (got <= 0)
        return false;
    buffer[got] = '\0';
    constexpr unsigned long long kKillBit = 1ULL << (SIGKILL - 1);
    for (const char *label : {"\nSigPnd:", "\nShdPnd:"}) {
        const char *line = std::strstr(buffer, label);
        if (line && (std::strtoull(line + std::strlen(label), nullptr, 16) & kKillBit))
            return false;
    }
    return true;
}

int openPidFd(pid_t pid)
{
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    errno = ENOSYS;
    return -1;
#endif
}

// Signals a process that the walk found matching, only if it is provably the same live process. The
// process directory is opened first, then the pidfd is taken; after that the directory must still
// show a running process (not ending, not a zombie) that carries the name. A process seen alive,
// through a directory opened before the pidfd, after the pidfd was taken held the id all along, so
// the pidfd refers to it and to no process that took the id over.
Outcome endOrProbe(int procFd, pid_t pid, std::string_view wanted, bool end)
{
    char path[32];
    std::snprintf(path, sizeof path, "%d", static_cast<int>(pid));
    const int dirFd = ::openat(procFd, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return Outcome::NotRunning;
    const int pidFd = end ? openPidFd(pid) : -1;
    if (end && pidFd < 0 && errno == ESRCH) {
        ::close(dirFd);
        return Outcome::NotRunning;
    }

    Outcome outcome = Outcome::NotRunning;
    std::string command;
    if (stillRunning(dirFd) && readCommand(dirFd, "comm", command) &&
        matches(command, readArgumentName(dirFd, "cmdline"), wanted)) {
        if (!end) {
            outcome = Outcome::Found;
        } else {
            int sent = -1;
#ifdef SYS_pidfd_send_signal
            if (pidFd >= 0)
                sent = static_cast<int>(::syscall(SYS_pidfd_send_signal, pidFd, SIGKILL, nullptr, 0));
            else
#endif
                sent = ::kill(pid, SIGKILL); // kernels before 5.3: checked just above, a narrow window
            if (sent == 0)
                outcome = Outcome::Ended;
            else
                outcome = errno == ESRCH ? Outcome::NotRunning : Outcome::Refused;
        }
    }
    if (pidFd >= 0)
        ::close(pidFd);
    ::close(dirFd);
    return outcome;
}

// One walk of the table in the system's order (ascending ids), refreshing what is remembered, until
// the first running process named `wanted` (UTF-8) has been dealt with. Returns its id (0: none) and
// what became of it. Caller holds gMutex.
pid_t walk(std::string_view wanted, bool end, Outcome &outcome)
{
    outcome = Outcome::NotRunning;
    DIR *dir = ::opendir("/proc");
    if (!dir)
        return 0;
    const int procFd = ::dirfd(dir);
    const pid_t self = ::getpid();
    const bool possibleCommand = wanted.size() <= 15; // the kernel keeps 15 bytes of a command name

    std::vector<SeenProcess> &next = gNext;
    next.clear();
    size_t cursor = 0;
    pid_t previous = 0;
    pid_t result = 0;
    char path[48];
    SeenProcess current;

    while (const dirent *entry = ::readdir(dir)) {
        pid_t pid;
        if (!parsePid(entry->d_name, pid))
            continue;
        const size_t digits = std::strlen(entry->d_name);
        std::memcpy(path, entry->d_name, digits);
        std::memcpy(path + digits, "/comm", sizeof "/comm");
        if (!readCommand(procFd, path, current.command))
            continue; // ended while we walked
        current.pid = pid;
        current.inode = entry->d_ino;

        // What the previous walk learnt of this process: both lists ascend, so a cursor finds it.
        if (pid < previous)
            cursor = 0;
        previous = pid;
        while (cursor < gSeen.size() && gSeen[cursor].pid < pid)
            ++cursor;
        const bool known = cursor < gSeen.size() && gSeen[cursor].pid == pid &&
                           gSeen[cursor].inode == current.inode && gSeen[cursor].command == current.command;
        if (known && gSeen[cursor].settled) {
            current.argumentName = std::move(gSeen[cursor].argumentName);
            current.settled = true;
        } else {
            std::memcpy(path + digits, "/cmdline", sizeof "/cmdline");
            current.argumentName = readArgumentName(procFd, path);
            current.settled = !current.argumentName.empty() || known;
        }

        const bool candidate = pid != self && !wanted.empty() &&
                               ((possibleCommand && platform::text::equalsIgnoreAsciiCase(current.command, wanted)) ||
                                platform::text::equalsIgnoreAsciiCase(current.argumentName, wanted));
        next.push_back(std::move(current));
        if (!candidate)
            continue;
        outcome = endOrProbe(procFd, pid, wanted, end);
        if (outcome == Outcome::NotRunning)
            continue;
        result = pid;
        // Keep what is known of the processes not walked this time.
        if (cursor < gSeen.size() && gSeen[cursor].pid == pid)
            ++cursor;
        for (; cursor < gSeen.size(); ++cursor)
            if (gSeen[cursor].pid > pid)
                next.push_back(std::move(gSeen[cursor]));
        break;
    }
    ::closedir(dir);
    const auto byPid = [](const SeenProcess &a, const SeenProcess &b) { return a.pid < b.pid; };
    if (!std::is_sorted(next.begin(), next.end(), byPid))
        std::sort(next.begin(), next.end(), byPid);
    std::swap(gSeen, next);
    return result;
}

} // namespace

bool terminateFirstProcessNamed(std::string_view name)
{
    if (name.empty())
        return false;
    const std::string wanted = platform::text::gbkToUtf8(name);
    std::lock_guard lock(gMutex);
    Outcome outcome;
    walk(wanted, true, outcome);
    return outcome == Outcome::Ended;
}

pid_t findFirstProcessNamed(std::string_view name)
{
    if (name.empty())
        return 0;
    const std::string wanted = platform::text::gbkToUtf8(name);
    std::lock_guard lock(gMutex);
    Outcome outcome;
    const pid_t pid = walk(wanted, false, outcome);
    return outcome == Outcome::Found ? pid : 0;
}

} // namespace platform::process
