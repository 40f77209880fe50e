// Real processes under chosen names for the blocker's tests.
#include "named_process.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

extern char **environ;

namespace commandstest {
namespace fs = std::filesystem;

NamedProcesses::NamedProcesses()
{
    lockFd_ = ::open((fs::temp_directory_path() / "kelm-blocker-tests.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC,
                     0666);
    if (lockFd_ >= 0)
        ::flock(lockFd_, LOCK_EX);
    std::string pattern = (fs::temp_directory_path() / "kelm-procs-XXXXXX").string();
    if (::mkdtemp(pattern.data()))
        folder_ = pattern;
    ::chmod(folder_.c_str(), 0755);
}

NamedProcesses::~NamedProcesses()
{
    for (Child &child : children_) {
        if (!child.reaped) {
            ::kill(child.pid, SIGKILL);
            reap(child.pid, true);
        }
    }
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
    if (lockFd_ >= 0)
        ::close(lockFd_); // releases the lock
}

std::string NamedProcesses::copyAs(const std::string &name, const std::string &source)
{
    const std::string path = folder_ + "/" + name;
    fs::copy_file(source, path, fs::copy_options::overwrite_existing);
    fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    return path;
}

pid_t NamedProcesses::start(const std::string &path, const std::string &argv0, const std::vector<std::string> &args)
{
    std::vector<std::string> strings{argv0.empty() ? path : argv0};
    strings.insert(strings.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    children_.push_back({pid, false, 0});
    // posix_spawn returns while the kernel is still setting the new program up: wait until the table
    // shows its command name and arguments (a fail-safe limit, not a timing check).
    const std::string command = fs::path(path).filename().string().substr(0, 15);
    const std::string proc = "/proc/" + std::to_string(pid);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream commFile(proc + "/comm"), cmdlineFile(proc + "/cmdline");
        std::string shown, arguments;
        std::getline(commFile, shown);
        std::getline(cmdlineFile, arguments);
        if (shown == command && !arguments.empty())
            break;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return pid;
}

pid_t NamedProcesses::startAs(uid_t uid, const std::string &path, const std::vector<std::string> &args)
{
    std::vector<std::string> strings{path};
    strings.insert(strings.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec. Its output is not the test's.
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0)
            ::dup2(null, STDOUT_FILENO);
        if (::setgroups(0, nullptr) != 0 || ::setgid(uid) != 0 || ::setuid(uid) != 0)
            ::_exit(126);
        ::execv(path.c_str(), argv.data());
        ::_exit(127);
    }
    if (pid > 0)
        children_.push_back({pid, false, 0});
    return pid;
}

NamedProcesses::Child *NamedProcesses::find(pid_t pid)
{
    for (Child &child : children_)
        if (child.pid == pid)
            return &child;
    return nullptr;
}

bool NamedProcesses::reap(pid_t pid, bool block)
{
    Child *child = find(pid);
    if (!child)
        return false;
    if (child->reaped)
        return true;
    int status = 0;
    const pid_t got = ::waitpid(pid, &status, block ? 0 : WNOHANG);
    if (got != pid)
        return false;
    child->reaped = true;
    child->status = status;
    return true;
}

bool NamedProcesses::endedByKill(pid_t pid)
{
    // A fail-safe limit only: a delivered kill signal ends the process at once.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!reap(pid, false)) {
        if (std::chrono::steady_clock::now() > deadline || !find(pid))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const int status = find(pid)->status;
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

int NamedProcesses::exitCode(pid_t pid)
{
    if (!reap(pid, true))
        return -1;
    const int status = find(pid)->status;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool NamedProcesses::running(pid_t pid)
{
    const Child *child = find(pid);
    return child && !reap(pid, false);
}

} // namespace commandstest
