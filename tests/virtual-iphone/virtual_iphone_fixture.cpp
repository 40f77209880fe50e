// Starting, stopping and commanding a virtual-iphone server process for tests.
#include "virtual_iphone_fixture.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kelm::test {
namespace {

int connectControl(const std::string &path)
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path)
        return -1;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

VirtualIphone::~VirtualIphone()
{
    stop();
}

std::string VirtualIphone::profilePath(const std::string &name)
{
    if (name.find('/') != std::string::npos)
        return name;
    return std::string(VIRTUAL_IPHONE_PROFILE_DIR) + "/" + name;
}

std::string VirtualIphone::binaryPath()
{
    // An override lets a run use another build of the server (e.g. one with ThreadSanitizer).
    const char *over = std::getenv("VIRTUAL_IPHONE_BINARY");
    return over && *over ? std::string(over) : std::string(VIRTUAL_IPHONE_BINARY);
}

void VirtualIphone::exportAddress() const
{
    ::setenv("USBMUXD_SOCKET_ADDRESS", usbmuxdAddress().c_str(), 1);
}

std::string VirtualIphone::start(const std::vector<std::string> &profiles)
{
    stop();
    char pattern[] = "/tmp/virtual-iphone-XXXXXX";
    if (!::mkdtemp(pattern)) {
        lastError_ = std::string("mkdtemp: ") + std::strerror(errno);
        return {};
    }
    dir_ = pattern;
    socketPath_ = dir_ + "/usbmuxd";
    controlPath_ = dir_ + "/control";

    // Everything the child needs is prepared before fork: the test process may have threads.
    std::vector<std::string> args = {binaryPath(), "--socket", socketPath_, "--control", controlPath_};
    for (const auto &p : profiles) {
        args.push_back("--profile");
        args.push_back(profilePath(p));
    }
    if (verbose_)
        args.push_back("--verbose");
    std::vector<char *> argv;
    for (auto &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        lastError_ = std::string("pipe: ") + std::strerror(errno);
        return {};
    }
    pid_t pid = ::fork();
    if (pid < 0) {
        lastError_ = std::string("fork: ") + std::strerror(errno);
        ::close(out[0]);
        ::close(out[1]);
        return {};
    }
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    pid_ = pid;

    std::string text;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool ready = false;
    while (!ready && std::chrono::steady_clock::now() < deadline) {
        pollfd p{out[0], POLLIN, 0};
        if (::poll(&p, 1, 200) <= 0)
            continue;
        char buf[256];
        ssize_t got = ::read(out[0], buf, sizeof buf);
        if (got <= 0)
            break; // the server ended before it was ready
        text.append(buf, static_cast<std::size_t>(got));
        ready = text.find("ready\n") != std::string::npos;
    }
    ::close(out[0]);
    if (!ready) {
        lastError_ = "virtual-iphone did not get ready (" + binaryPath() + "); its stdout: " + text;
        stop();
        return {};
    }
    return socketPath_;
}

void VirtualIphone::stop()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        pid_ = -1;
    }
    if (!dir_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
        dir_.clear();
    }
}

void VirtualIphone::kill()
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
}

VirtualIphone::Reply VirtualIphone::send(const std::string &command)
{
    Reply reply;
    int fd = connectControl(controlPath_);
    if (fd < 0) {
        reply.error = "cannot connect to the control socket " + controlPath_;
        lastError_ = reply.error;
        return reply;
    }
    std::string line = command + "\n";
    const char *p = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        ssize_t put = ::send(fd, p, left, MSG_NOSIGNAL);
        if (put <= 0)
            break;
        p += put;
        left -= static_cast<std::size_t>(put);
    }
    std::string buffer;
    char chunk[4096];
    for (;;) {
        std::size_t nl = buffer.find('\n');
        if (nl != std::string::npos) {
            std::string l = buffer.substr(0, nl);
            buffer.erase(0, nl + 1);
            if (l == "ok") {
                reply.ok = true;
                break;
            }
            if (l.rfind("error", 0) == 0) {
                reply.error = l.size() > 6 ? l.substr(6) : "error";
                break;
            }
            reply.lines.push_back(l);
            continue;
        }
        ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
        if (got <= 0) {
            reply.error = "the server closed the control connection";
            break;
        }
        buffer.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(fd);
    if (!reply.ok)
        lastError_ = reply.error;
    return reply;
}

std::string VirtualIphone::plug(const std::string &profile)
{
    Reply r = send("plug " + profilePath(profile));
    if (!r.ok || r.lines.size() != 1)
        return {};
    return r.lines[0];
}

bool VirtualIphone::unplug(const std::string &udid)
{
    return send("unplug " + udid).ok;
}

std::vector<std::string> VirtualIphone::requests(const std::string &udid)
{
    return send("requests " + udid).lines;
}

bool VirtualIphone::clear(const std::string &udid)
{
    return send("clear " + udid).ok;
}

std::string VirtualIphone::writeProfile(const std::string &fileName, const std::string &json)
{
    std::string path = dir_ + "/" + fileName;
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << json;
    return f ? path : std::string();
}

} // namespace kelm::test
