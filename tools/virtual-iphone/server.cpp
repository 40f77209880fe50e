// Accept loop, per-connection threads and shutdown of the virtual-iphone server.
#include "server.h"

#include "control_connection.h"
#include "log.h"
#include "socket_io.h"
#include "usbmux_connection.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vi {

Server::Server()
{
    if (::pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        wakePipe_[0] = wakePipe_[1] = -1;
}

Server::~Server()
{
    shutdownAll();
    for (int fd : wakePipe_)
        if (fd >= 0)
            ::close(fd);
}

bool Server::listen(const std::string &usbmuxPath, const std::string &controlPath, std::string &error)
{
    if (wakePipe_[0] < 0) {
        error = "cannot create the wake-up pipe";
        return false;
    }
    usbmuxFd_ = listenUnix(usbmuxPath, error);
    if (usbmuxFd_ < 0)
        return false;
    usbmuxPath_ = usbmuxPath;
    if (!controlPath.empty()) {
        controlFd_ = listenUnix(controlPath, error);
        if (controlFd_ < 0)
            return false;
        controlPath_ = controlPath;
    }
    return true;
}

bool Server::plug(const std::string &profileFile, std::string &error)
{
    std::optional<Profile> profile = loadProfile(profileFile, error);
    return profile && registry_.plug(*profile, error);
}

void Server::requestStop()
{
    char byte = 'q';
    if (wakePipe_[1] >= 0)
        [[maybe_unused]] ssize_t ignored = ::write(wakePipe_[1], &byte, 1);
}

void Server::accept(int listenFd, bool control)
{
    int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return;
    // Event writes to listeners happen under the registry lock: a client that stops reading must
    // not hold everybody up for long.
    setSendTimeout(fd, 5000);
    registry_.trackConnection(fd);
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread t([this, fd, control, done] {
        if (control)
            serveControlConnection(registry_, fd, [this] { requestStop(); });
        else
            serveUsbmuxConnection(registry_, fd);
        // Untrack before closing, so stop() never shuts down a descriptor number reused elsewhere.
        registry_.untrackConnection(fd);
        ::close(fd);
        *done = true;
    });
    workers_.push_back({std::move(t), done});
}

void Server::reapFinished()
{
    for (auto it = workers_.begin(); it != workers_.end();) {
        if (*it->done) {
            it->thread.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
}

void Server::run()
{
    for (;;) {
        pollfd fds[3] = {{wakePipe_[0], POLLIN, 0}, {usbmuxFd_, POLLIN, 0}, {controlFd_, POLLIN, 0}};
        nfds_t count = controlFd_ >= 0 ? 3 : 2;
        int n = ::poll(fds, count, 1000);
        if (n < 0 && errno != EINTR)
            break;
        reapFinished();
        if (n <= 0)
            continue;
        if (fds[0].revents)
            break;
        if (fds[1].revents & POLLIN)
            accept(usbmuxFd_, false);
        if (count == 3 && (fds[2].revents & POLLIN))
            accept(controlFd_, true);
    }
    shutdownAll();
}

void Server::shutdownAll()
{
    registry_.stop();
    for (auto &w : workers_)
        w.thread.join();
    workers_.clear();
    if (usbmuxFd_ >= 0) {
        ::close(usbmuxFd_);
        ::unlink(usbmuxPath_.c_str());
        usbmuxFd_ = -1;
    }
    if (controlFd_ >= 0) {
        ::close(controlFd_);
        ::unlink(controlPath_.c_str());
        controlFd_ = -1;
    }
}

} // namespace vi
