// The virtual-iphone server: the usbmuxd socket and the control socket, one thread per accepted
// connection, and an orderly stop (connections shut down, threads joined, socket files removed).
#pragma once

#include "device_registry.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace vi {

class Server {
public:
    Server();
    ~Server(); // stops if still running
    Server(const Server &) = delete;
    Server &operator=(const Server &) = delete;

    // Binds both sockets (controlPath may be empty: no control socket). False with a reason in
    // error when a socket cannot be made.
    bool listen(const std::string &usbmuxPath, const std::string &controlPath, std::string &error);
    // Plugs a profile before or while the server runs. False with a reason in error.
    bool plug(const std::string &profileFile, std::string &error);
    // Accepts connections until requestStop() or "quit"; then stops everything. Call once, from
    // the thread that made the server.
    void run();
    // Asks run() to return. Async-signal-safe (a write to a pipe), callable from any thread.
    void requestStop();

private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    void accept(int listenFd, bool control);
    void reapFinished();
    void shutdownAll();

    Registry registry_;
    int usbmuxFd_ = -1;
    int controlFd_ = -1;
    int wakePipe_[2] = {-1, -1};
    std::string usbmuxPath_;
    std::string controlPath_;
    std::vector<Worker> workers_;
};

} // namespace vi
