// The HTTP(S) client service: one request in, the final response's status, raw header block and body
// out. The program's web request routine builds the request (verb, target, header lines, body, proxy)
// and this service puts exactly that on the wire over libcurl; nothing else in the program touches
// libcurl.
//
// What goes on the wire for a Request:
// - "<method> <path> HTTP/1.1", then Host (with the port unless it is the scheme's default), then
//   "User-Agent: <userAgent>" unless `headerLines` hold a User-Agent line themselves (so the agent is
//   sent once), then every entry of `headerLines` unchanged and in order, then Content-Length when a
//   body is sent. The client adds no Accept, Expect, Content-Type, Cookie or encoding header of its own.
// - HTTP/1.1 always (no HTTP/2 over TLS), no content decoding (a gzip body comes back as gzip;
//   chunked transfer coding is removed), no cache, no cookie store, no proxy from the environment.
// - Certificates are not verified (unknown CA, wrong name, expired, weak signature all pass).
// - Redirects (301, 302, 303, 307, 308) are followed unless `followRedirects` is false, across http and
//   https, at most kMaxRedirects times; POST becomes GET on 301/302/303 as browsers do.
//
// Time-outs: a connection (TCP and TLS handshake, proxy handshake included) must be made within
// Timeouts::connect, and once it is made, an exchange in which no byte moves either way for
// Timeouts::stall is abandoned (checked about once a second). So a request never blocks for ever on a
// silent peer. A peer that keeps sending forever is not cut off.
//
// Threads: perform() may be called from any thread, one request per call; a Client is used by one call
// at a time unless its implementation says otherwise (the libcurl client keeps no state between calls
// and may be used from several threads at once). setClientForTesting() must not race with perform().
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace platform::http {

inline constexpr int kMaxRedirects = 20;

enum class ProxyKind {
    None,   // direct connection; proxy variables of the environment are ignored
    Http,   // an HTTP proxy: absolute-form requests for http, a CONNECT tunnel for https
    Socks4, // a SOCKS version 4 proxy, names resolved on this machine
};

struct Request {
    bool secure = false;      // https
    std::string host;         // host name or IPv4 address, no port, no brackets
    int port = 80;            // 1..65535
    std::string path = "/";   // request target as sent: path and query; a fragment is not sent
    std::string method = "GET";
    std::string userAgent;    // sent as User-Agent unless headerLines carry one; empty: not sent
    std::vector<std::string> headerLines; // "Name: value", no line breaks; an empty value is sent empty
    bool sendBody = false;    // false: no body and no Content-Length; a HEAD request never has a body
    std::string body;         // the bytes sent when sendBody is true (Content-Length: body.size())
    bool followRedirects = true;
    ProxyKind proxyKind = ProxyKind::None;
    std::string proxy;        // "host:port" (or a URL with scheme for ProxyKind::Http)
};

enum class Outcome {
    Completed,   // the whole response was received
    NotStarted,  // the request could not be set up (bad host, port or target); nothing was sent
    Failed,      // set up, but the exchange failed: no connection, time-out, the peer stopped mid-body,
                 // too many redirects, a malformed response. What arrived before the failure is kept.
};

struct Response {
    Outcome outcome = Outcome::NotStarted;
    int status = 0;            // status code of the final response; 0 when no status line arrived
    std::string rawHeaders;    // the final response's header block exactly as framed on the wire: status
                               // line first, every line ending in CRLF (a bare LF is made CRLF), the
                               // empty line last; empty when no complete block arrived
    std::string body;          // the final response's body bytes, transfer coding removed
    std::string error;         // a short English description of a failure, for logs; empty on success
};

struct Timeouts {
    std::chrono::milliseconds connect{60000}; // WinINet-like defaults: 60 s to connect
    std::chrono::milliseconds stall{30000};   // and 30 s without data moving (at least 0.1 s)
};

// The seam: the program's routine calls perform(), which hands the request to the current client.
class Client {
public:
    virtual ~Client() = default;
    virtual Response perform(const Request &request) = 0;
};

// A new libcurl client with the given time-outs. The process-wide default client uses Timeouts{}.
std::unique_ptr<Client> makeCurlClient(Timeouts timeouts = {});

// Performs the request with the current client. Never throws.
Response perform(const Request &request);

// Replaces the current client (not owned; nullptr restores the default libcurl client). For tests:
// a fake client, or a libcurl client with short time-outs.
void setClientForTesting(Client *client);

} // namespace platform::http
