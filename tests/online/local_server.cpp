// Scripted local HTTP/HTTPS server and relaying proxies for the request routine's tests.
#include "local_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace testnet {
namespace {

int listenOnLoopback(int &port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw std::runtime_error("socket");
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0) {
        ::close(fd);
        throw std::runtime_error("bind/listen");
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len);
    port = ntohs(addr.sin_port);
    return fd;
}

int connectLoopback(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0)
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

// Waits until the descriptor is readable; false when stopping or after ~10 s of silence.
bool waitReadable(int fd, const std::atomic<bool> &stopping)
{
    for (int i = 0; i < 200; ++i) {
        if (stopping.load())
            return false;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) > 0)
            return true;
    }
    return false;
}

// One accepted connection, plain or TLS.
struct Stream {
    int fd = -1;
    SSL *ssl = nullptr;

    long readSome(char *buffer, size_t size, const std::atomic<bool> &stopping)
    {
        if (ssl == nullptr || SSL_pending(ssl) == 0) {
            if (!waitReadable(fd, stopping))
                return -1;
        }
        if (ssl != nullptr) {
            const int n = SSL_read(ssl, buffer, static_cast<int>(size));
            return n > 0 ? n : -1;
        }
        const ssize_t n = ::recv(fd, buffer, size, 0);
        return n > 0 ? n : -1;
    }
    bool writeAll(const char *data, size_t size)
    {
        while (size > 0) {
            const long n = ssl != nullptr ? SSL_write(ssl, data, static_cast<int>(std::min<size_t>(size, 1 << 20)))
                                          : ::send(fd, data, size, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            data += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }
};

size_t contentLength(const std::string &head)
{
    std::string lower(head);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    const size_t at = lower.find("\r\ncontent-length:");
    if (at == std::string::npos)
        return 0;
    return std::strtoul(head.c_str() + at + 17, nullptr, 10);
}

void relay(int a, int b, const std::atomic<bool> &stopping)
{
    char buffer[16384];
    while (!stopping.load()) {
        pollfd p[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
        if (::poll(p, 2, 50) <= 0)
            continue;
        for (int i = 0; i < 2; ++i) {
            if ((p[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0)
                continue;
            const ssize_t n = ::recv(p[i].fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                return;
            const int to = i == 0 ? b : a;
            if (::send(to, buffer, static_cast<size_t>(n), MSG_NOSIGNAL) != n)
                return;
        }
    }
}

} // namespace

std::string httpResponse(int status, const std::string &reason, const std::string &headers, const std::string &body)
{
    return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\n" + headers
           + "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

const TestCertificate &testCertificate()
{
    // Made in a temporary folder that goes away with the test process.
    struct Made {
        std::string dir;
        TestCertificate cert;
        Made()
        {
            char path[] = "/tmp/kelm-online-cert-XXXXXX";
            if (::mkdtemp(path) == nullptr)
                throw std::runtime_error("mkdtemp");
            dir = path;
            cert = {dir + "/cert.pem", dir + "/key.pem"};
            const std::string command = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes"
                                        " -days 2 -subj /CN=kelm-test -keyout " + cert.keyFile + " -out "
                                        + cert.certFile + " >/dev/null 2>&1";
            if (std::system(command.c_str()) != 0)
                throw std::runtime_error("openssl req failed");
        }
        ~Made()
        {
            ::unlink(cert.certFile.c_str());
            ::unlink(cert.keyFile.c_str());
            ::rmdir(dir.c_str());
        }
    };
    static const Made made;
    return made.cert;
}

void Listener::startListening()
{
    listenFd_ = listenOnLoopback(port_);
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

void Listener::stopListening()
{
    stopping_ = true;
    ::shutdown(listenFd_, SHUT_RDWR);
    acceptThread_.join();
    ::close(listenFd_);
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        for (const int fd : openFds_)
            ::shutdown(fd, SHUT_RDWR);
        threads.swap(connections_);
    }
    for (std::thread &t : threads)
        t.join();
}

void Listener::acceptLoop()
{
    while (!stopping_.load()) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (stopping_.load())
                return;
            continue;
        }
        std::lock_guard lock(mutex_);
        openFds_.push_back(fd);
        connections_.emplace_back([this, fd] { serve(fd); });
    }
}

LocalServer::LocalServer(Handler handler, Mode mode) : handler_(std::move(handler)), mode_(mode)
{
    if (mode_ == Mode::Https) {
        SSL_CTX *ctx = SSL_CTX_new(TLS_server_method());
        const TestCertificate &cert = testCertificate();
        if (ctx == nullptr || SSL_CTX_use_certificate_file(ctx, cert.certFile.c_str(), SSL_FILETYPE_PEM) != 1
            || SSL_CTX_use_PrivateKey_file(ctx, cert.keyFile.c_str(), SSL_FILETYPE_PEM) != 1)
            throw std::runtime_error("TLS context");
        sslContext_ = ctx;
    }
    startListening();
}

LocalServer::~LocalServer()
{
    stopListening();
    if (sslContext_ != nullptr)
        SSL_CTX_free(static_cast<SSL_CTX *>(sslContext_));
}

std::string LocalServer::url(const std::string &path) const
{
    return std::string(mode_ == Mode::Https ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<RecordedRequest> LocalServer::requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

void LocalServer::serve(int fd)
{
    Stream s{fd, nullptr};
    timeval tv{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    auto finish = [this, &s] {
        if (s.ssl != nullptr)
            SSL_free(s.ssl);
        std::lock_guard lock(mutex_);
        openFds_.erase(std::remove(openFds_.begin(), openFds_.end(), s.fd), openFds_.end());
        ::close(s.fd);
    };
    if (mode_ == Mode::Https) {
        s.ssl = SSL_new(static_cast<SSL_CTX *>(sslContext_));
        SSL_set_fd(s.ssl, fd);
        if (SSL_accept(s.ssl) != 1) {
            finish();
            return;
        }
    }
    char buffer[65536];
    RecordedRequest r;
    size_t headEnd = std::string::npos;
    while (true) {
        if (headEnd == std::string::npos)
            headEnd = r.raw.find("\r\n\r\n");
        if (headEnd != std::string::npos && mode_ != Mode::Silent
            && r.raw.size() >= headEnd + 4 + contentLength(r.raw.substr(0, headEnd + 4)))
            break;
        const long n = s.readSome(buffer, sizeof buffer, stopping_);
        if (n <= 0) {
            finish();
            return;
        }
        r.raw.append(buffer, static_cast<size_t>(n));
    }
    r.head = r.raw.substr(0, headEnd + 4);
    r.requestLine = r.raw.substr(0, r.raw.find("\r\n"));
    r.body = r.raw.substr(headEnd + 4);
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(r);
    }
    const Reply reply = handler_(r);
    const size_t sendCount = std::min(reply.stallAfter, reply.bytes.size());
    s.writeAll(reply.bytes.data(), sendCount);
    if (reply.stallAfter != std::string::npos) {
        // Silent but open until the client gives up or the server stops.
        while (s.readSome(buffer, sizeof buffer, stopping_) > 0) {
        }
        while (!stopping_.load()) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0 && ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT) <= 0)
                break;
        }
    }
    if (s.ssl != nullptr)
        SSL_shutdown(s.ssl);
    finish();
}

RelayProxy::RelayProxy(Kind kind) : kind_(kind)
{
    startListening();
}

RelayProxy::~RelayProxy()
{
    stopListening();
}

std::vector<std::string> RelayProxy::targets() const
{
    std::lock_guard lock(mutex_);
    return targets_;
}

void RelayProxy::serve(int fd)
{
    auto drop = [this](int f) {
        std::lock_guard lock(mutex_);
        openFds_.erase(std::remove(openFds_.begin(), openFds_.end(), f), openFds_.end());
        ::close(f);
    };
    std::string in;
    char buffer[4096];
    int upstream = -1;
    Stream s{fd, nullptr};
    if (kind_ == Kind::Socks4) {
        // VN=4, CD=1, port, IPv4 address, user id, NUL.
        while (in.size() < 9 || in.find('\0', 8) == std::string::npos) {
            const long n = s.readSome(buffer, sizeof buffer, stopping_);
            if (n <= 0)
                return drop(fd);
            in.append(buffer, static_cast<size_t>(n));
        }
        const auto *b = reinterpret_cast<const unsigned char *>(in.data());
        const int port = b[2] << 8 | b[3];
        const bool loopback = b[4] == 127 && b[5] == 0 && b[6] == 0 && b[7] == 1;
        if (b[0] == 4 && b[1] == 1 && loopback)
            upstream = connectLoopback(port);
        const unsigned char answer[8] = {0, static_cast<unsigned char>(upstream >= 0 ? 0x5A : 0x5B), 0, 0, 0, 0, 0, 0};
        s.writeAll(reinterpret_cast<const char *>(answer), sizeof answer);
        {
            std::lock_guard lock(mutex_);
            targets_.push_back(std::to_string(b[4]) + "." + std::to_string(b[5]) + "." + std::to_string(b[6]) + "."
                               + std::to_string(b[7]) + ":" + std::to_string(port));
        }
    } else {
        while (in.find("\r\n\r\n") == std::string::npos) {
            const long n = s.readSome(buffer, sizeof buffer, stopping_);
            if (n <= 0)
                return drop(fd);
            in.append(buffer, static_cast<size_t>(n));
        }
        // "CONNECT 127.0.0.1:<port> HTTP/1.1"
        const std::string line = in.substr(0, in.find("\r\n"));
        const std::string prefix = "CONNECT 127.0.0.1:";
        if (line.rfind(prefix, 0) == 0)
            upstream = connectLoopback(std::atoi(line.c_str() + prefix.size()));
        const std::string answer = upstream >= 0 ? "HTTP/1.1 200 Connection established\r\n\r\n"
                                                 : "HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n";
        s.writeAll(answer.data(), answer.size());
        {
            std::lock_guard lock(mutex_);
            targets_.push_back(line.size() > 8 ? line.substr(8, line.find(' ', 8) - 8) : line);
        }
    }
    if (upstream >= 0) {
        {
            std::lock_guard lock(mutex_);
            openFds_.push_back(upstream);
        }
        relay(fd, upstream, stopping_);
        drop(upstream);
    }
    drop(fd);
}

} // namespace testnet
