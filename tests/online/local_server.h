// Local servers for the request routine's tests, all on 127.0.0.1 with ports chosen by the system:
// a scripted HTTP/HTTPS server that records every request's raw bytes, and a relaying proxy (SOCKS4 or
// HTTP CONNECT) that forwards to such a server. Threads: one accept thread per server and one thread
// per connection; everything stops and is joined when the server object is destroyed.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testnet {

struct RecordedRequest {
    std::string raw;          // the request bytes as received: head and body
    std::string requestLine;  // first line without CRLF
    std::string head;         // everything up to and including the empty line
    std::string body;
};

struct Reply {
    std::string bytes;                        // raw response bytes
    size_t stallAfter = std::string::npos;    // send only this many bytes, then stay silent (open)
};

// A complete response with Content-Length and Connection: close; `headers` are CRLF-ended lines.
std::string httpResponse(int status, const std::string &reason, const std::string &headers, const std::string &body);

// Self-signed certificate and key made with the openssl command once per process (PEM file paths).
struct TestCertificate {
    std::string certFile;
    std::string keyFile;
};
const TestCertificate &testCertificate();

// What both test servers share: a listening socket on 127.0.0.1, one thread accepting, one thread per
// connection. A derived class starts listening at the end of its constructor and stops at the start of
// its destructor (its connection threads run its serve()).
class Listener {
public:
    Listener() = default;
    virtual ~Listener() = default;
    Listener(const Listener &) = delete;
    Listener &operator=(const Listener &) = delete;

    int port() const { return port_; }

protected:
    void startListening();
    // Stops accepting, shuts every open connection down and waits for the connection threads.
    void stopListening();
    virtual void serve(int fd) = 0;

    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<int> openFds_; // guarded by mutex_

private:
    void acceptLoop();

    std::thread acceptThread_;
    std::vector<std::thread> connections_;
};

class LocalServer : public Listener {
public:
    using Handler = std::function<Reply(const RecordedRequest &)>;
    enum class Mode {
        Http,      // plain HTTP
        Https,     // TLS with the test certificate
        Silent,    // accepts, reads whatever comes, never answers
    };

    explicit LocalServer(Handler handler, Mode mode = Mode::Http);
    ~LocalServer() override;

    // "http://127.0.0.1:<port>" + path (https for Mode::Https)
    std::string url(const std::string &path = "/") const;
    std::vector<RecordedRequest> requests() const;

private:
    void serve(int fd) override;

    Handler handler_;
    Mode mode_;
    void *sslContext_ = nullptr;
    std::vector<RecordedRequest> requests_;
};

// A proxy that relays to a target on 127.0.0.1 (any other target is refused).
class RelayProxy : public Listener {
public:
    enum class Kind { Socks4, HttpConnect };
    explicit RelayProxy(Kind kind);
    ~RelayProxy() override;
    // "host:port" targets of the tunnels opened so far.
    std::vector<std::string> targets() const;

private:
    void serve(int fd) override;

    Kind kind_;
    std::vector<std::string> targets_;
};

} // namespace testnet
