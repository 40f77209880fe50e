// The "open" verb through xdg-open, started detached so the program never waits for the desktop.
#include "platform/shell/open.h"

#include "platform/text/text.h"

#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace platform::shell {
namespace {
std::mutex gMutex;
std::function<bool(const std::string &)> gHandler;
} // namespace

bool openWithDesktop(std::string_view target)
{
    {
        std::lock_guard lock(gMutex);
        if (gHandler)
            return gHandler(std::string(target));
    }
    const std::string utf8 = text::gbkToUtf8(target);
    // A double fork: the grandchild runs xdg-open, the child exits at once and is reaped here, so no
    // zombie is left whatever the desktop does.
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        pid_t grandchild = 0;
        char *argv[] = {const_cast<char *>("xdg-open"), const_cast<char *>(utf8.c_str()), nullptr};
        const int rc = ::posix_spawnp(&grandchild, "xdg-open", nullptr, nullptr, argv, environ);
        ::_exit(rc == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void setOpenHandlerForTesting(std::function<bool(const std::string &)> handler)
{
    std::lock_guard lock(gMutex);
    gHandler = std::move(handler);
}

} // namespace platform::shell
