// Benchmark helper: a crowd of idle processes (copies of /bin/sleep named "filler" in a temporary
// folder), so a process-table walk has a realistic desktop's worth of entries. Killed and reaped,
// and the folder removed, when the object goes.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char **environ;

class FillerProcesses {
public:
    explicit FillerProcesses(int count)
    {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "kelm-filler-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
        const std::string path = folder_ + "/filler";
        fs::copy_file("/bin/sleep", path);
        fs::permissions(path, fs::perms::owner_all);
        std::string seconds = "3600";
        char *argv[] = {const_cast<char *>(path.c_str()), seconds.data(), nullptr};
        for (int i = 0; i < count; ++i) {
            pid_t pid = 0;
            if (::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) == 0)
                pids_.push_back(pid);
        }
    }
    ~FillerProcesses()
    {
        for (pid_t pid : pids_)
            ::kill(pid, SIGKILL);
        for (pid_t pid : pids_)
            ::waitpid(pid, nullptr, 0);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    FillerProcesses(const FillerProcesses &) = delete;
    FillerProcesses &operator=(const FillerProcesses &) = delete;

    size_t size() const { return pids_.size(); }

private:
    std::string folder_;
    std::vector<pid_t> pids_;
};
