// virtual-iphone: a usbmuxd + lockdown test server that plays one or more iPhones for the unmodified
// libimobiledevice client, and a small client for its control socket. Usage in README.md.
#include "control_connection.h"
#include "log.h"
#include "server.h"
#include "socket_io.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

vi::Server *g_server = nullptr;

void onSignal(int)
{
    if (g_server)
        g_server->requestStop();
}

void usage()
{
    std::fputs("usage: virtual-iphone --socket PATH [--control PATH] [--profile FILE]... [--verbose]\n"
               "       virtual-iphone --control PATH --send \"<command>\"\n",
               stderr);
}

// Client mode: sends one command line, prints the reply lines, exit 0 on "ok", 1 on "error …",
// 2 when the server cannot be reached or hangs up early.
int sendCommand(const std::string &controlPath, const std::string &command)
{
    int fd = vi::connectUnix(controlPath);
    if (fd < 0) {
        std::fprintf(stderr, "virtual-iphone: cannot connect to %s: %s\n", controlPath.c_str(), std::strerror(errno));
        return 2;
    }
    std::string line = command + "\n";
    if (!vi::writeAll(fd, line.data(), line.size())) {
        ::close(fd);
        return 2;
    }
    std::string buffer;
    char chunk[4096];
    int status = 2;
    for (bool done = false; !done;) {
        std::size_t nl;
        while (!done && (nl = buffer.find('\n')) != std::string::npos) {
            std::string reply = buffer.substr(0, nl);
            buffer.erase(0, nl + 1);
            std::printf("%s\n", reply.c_str());
            if (reply == "ok") {
                status = 0;
                done = true;
            } else if (reply.rfind("error", 0) == 0 && (reply.size() == 5 || reply[5] == ' ')) {
                status = 1;
                done = true;
            }
        }
        if (done)
            break;
        ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
        if (got <= 0)
            break;
        buffer.append(chunk, static_cast<std::size_t>(got));
    }
    std::fflush(stdout);
    ::close(fd);
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    std::string socketPath, controlPath, command;
    std::vector<std::string> profiles;
    bool haveSend = false, verbose = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string &into) {
            if (i + 1 >= argc)
                return false;
            into = argv[++i];
            return true;
        };
        bool ok = true;
        if (arg == "--socket")
            ok = value(socketPath);
        else if (arg == "--control")
            ok = value(controlPath);
        else if (arg == "--profile") {
            std::string p;
            ok = value(p);
            profiles.push_back(p);
        } else if (arg == "--send") {
            ok = value(command);
            haveSend = true;
        } else if (arg == "--verbose")
            verbose = true;
        else if (arg == "--help" || arg == "-h") {
            usage();
            return 0;
        } else
            ok = false;
        if (!ok) {
            usage();
            return 2;
        }
    }

    if (haveSend) {
        if (controlPath.empty()) {
            usage();
            return 2;
        }
        return sendCommand(controlPath, command);
    }
    if (socketPath.empty()) {
        usage();
        return 2;
    }

    vi::setVerbose(verbose);
    std::signal(SIGPIPE, SIG_IGN);
    vi::Server server;
    std::string error;
    if (!server.listen(socketPath, controlPath, error)) {
        std::fprintf(stderr, "virtual-iphone: %s\n", error.c_str());
        return 1;
    }
    for (const auto &p : profiles) {
        if (!server.plug(p, error)) {
            std::fprintf(stderr, "virtual-iphone: %s\n", error.c_str());
            return 1;
        }
    }
    g_server = &server;
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = onSignal;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);

    std::printf("ready\n");
    std::fflush(stdout);
    server.run();
    g_server = nullptr;
    return 0;
}
