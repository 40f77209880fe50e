// The request routine against real local servers on 127.0.0.1: the request bytes on the wire, the
// response side (header block, cookies, body), redirects, TLS, proxies and broken servers.
#include "online/web_request.h"

#include "local_server.h"
#include "platform/http/http.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

namespace {

using testnet::LocalServer;
using testnet::RecordedRequest;
using testnet::RelayProxy;
using testnet::Reply;
using testnet::httpResponse;

constexpr const char *kAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
const std::string kSpaces(5000, ' ');

Reply ok(const std::string &body = "ok", const std::string &headers = "")
{
    return Reply{httpResponse(200, "OK", headers, body)};
}

std::string replaceAll(std::string text, const std::string &from, const std::string &to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Short time-outs for the tests of silent servers, through the service's seam.
class ShortTimeouts {
public:
    ShortTimeouts() { platform::http::setClientForTesting(client_.get()); }
    ~ShortTimeouts() { platform::http::setClientForTesting(nullptr); }

private:
    std::unique_ptr<platform::http::Client> client_ =
        platform::http::makeCurlClient({std::chrono::milliseconds(1000), std::chrono::milliseconds(500)});
};

// ---- the request on the wire ---------------------------------------------------------------------

struct WireCase {
    const char *name;
    int method;
    std::string postText;
    std::optional<std::string> cookies;
    std::string extraHeaders;
    bool completeHeaders;
    bool normalizeHeaderNames;
    std::string expectedHead; // {host} and {url} stand for the server's host:port and the url
    std::string expectedBody;
};

const std::string kDefaultLines = "Accept: */*\r\nReferer: {url}\r\nAccept-Language: zh-cn\r\n";

const WireCase kWire[] = {
    {"defaults", 0, "", std::nullopt, "", true, true,
     "GET /a?b=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: " + std::string(kAgent) + "\r\n" + kDefaultLines + "\r\n", ""},
    {"verb index above range is GET", 8, "x", std::nullopt, "", true, true,
     "GET /a?b=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: " + std::string(kAgent) + "\r\n" + kDefaultLines + "\r\n", ""},
    {"negative verb index is GET", -1, "x", std::nullopt, "", true, true,
     "GET /a?b=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: " + std::string(kAgent) + "\r\n" + kDefaultLines + "\r\n", ""},
    {"POST gets a form content type", 1, "x=1", std::nullopt, "", true, true,
     "POST /a?b=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: " + std::string(kAgent) + "\r\n" + kDefaultLines
         + "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 3\r\n\r\n",
     "x=1"},
    {"POST keeps the caller's content type", 1, "{}", std::nullopt, "content-type: application/json", true, true,
     "POST /a?b=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: " + std::string(kAgent)
         + "\r\nContent-Type: application/json\r\n" + kDefaultLines + "Content-Length: 2\r\n\r\n",
     "{}"},
    {"agent from a lower-case header line, sent once", 0, "", std::nullopt, "user-agent: X", true, true,
     "GET /a?b=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: X\r\n" + kDefaultLines + "\r\n", ""},
    {"lower-case agent line kept without normalising", 0, "", std::nullopt, "accept: a/b\r\nuser-agent: Y", true,
     false,
     "GET /a?b=1 HTTP/1.1\r\nHost: {host}\r\naccept: a/b\r\nuser-agent: Y\r\nReferer: {url}\r\n"
     "Accept-Language: zh-cn\r\n\r\n",
     ""},
    {"header text without a colon vanishes", 0, "", std::nullopt, "Mozilla/5.0 (X11; Linux)", true, true,
     "GET /a?b=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: " + std::string(kAgent) + "\r\n" + kDefaultLines + "\r\n", ""},
    {"no completion: only what the caller gave", 0, "", std::nullopt, "", false, true,
     "GET /a?b=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: " + std::string(kAgent) + "\r\n\r\n", ""},
    {"caller's headers first, in order, empty values kept", 0, "", std::nullopt,
     "x-b: 2\r\nx-a: 1\r\nX-Empty:\r\nReferer: r", true, true,
     "GET /a?b=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: " + std::string(kAgent)
         + "\r\nX-B: 2\r\nX-A: 1\r\nX-Empty:\r\nReferer: r\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n\r\n",
     ""},
    {"cookies as pairs", 0, "", std::string("a=1; b=2"), "", true, true,
     "GET /a?b=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: " + std::string(kAgent) + "\r\n" + kDefaultLines
         + "Cookie: a=1; b=2\r\n\r\n",
     ""},
    {"cookies as a whole header", 0, "", std::string("Cookie: z=9"), "", true, true,
     "GET /a?b=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: " + std::string(kAgent) + "\r\n" + kDefaultLines
         + "Cookie: z=9\r\n\r\n",
     ""},
    {"present but empty cookies add nothing", 0, "", std::string(), "", true, true,
     "GET /a?b=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: " + std::string(kAgent) + "\r\n" + kDefaultLines + "\r\n", ""},
    {"PUT with text only", 3, "x=1", std::nullopt, "", true, true,
     "PUT /a?b=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: " + std::string(kAgent) + "\r\n" + kDefaultLines
         + "Content-Length: 3\r\n\r\n",
     "x=1"},
    {"HEAD", 2, "", std::nullopt, "", true, true,
     "HEAD /a?b=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: " + std::string(kAgent) + "\r\n" + kDefaultLines + "\r\n",
     ""},
    {"OPTIONS", 4, "", std::nullopt, "", false, true,
     "OPTIONS /a?b=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: " + std::string(kAgent) + "\r\n\r\n", ""},
    {"DELETE with a body", 5, "id=7", std::nullopt, "", false, true,
     "DELETE /a?b=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: " + std::string(kAgent) + "\r\nContent-Length: 4\r\n\r\n",
     "id=7"},
    {"TRACE", 6, "", std::nullopt, "", false, true,
     "TRACE /a?b=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: " + std::string(kAgent) + "\r\n\r\n", ""},
    {"CONNECT", 7, "", std::nullopt, "", false, true,
     "CONNECT /a?b=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: " + std::string(kAgent) + "\r\n\r\n", ""},
};

TEST(WebRequestWire, RequestBytesFollowTheCall)
{
    LocalServer server([](const RecordedRequest &) { return ok(); });
    const std::string url = server.url("/a?b=1");
    const std::string host = "127.0.0.1:" + std::to_string(server.port());
    for (const WireCase &c : kWire) {
        std::optional<std::string> cookies = c.cookies;
        WebRequest(url, c.method, c.postText, cookies ? &*cookies : nullptr, nullptr, c.extraHeaders, nullptr, false,
                   nullptr, {}, true, c.completeHeaders, c.normalizeHeaderNames);
        const auto requests = server.requests();
        ASSERT_FALSE(requests.empty()) << c.name;
        const std::string expected = replaceAll(replaceAll(c.expectedHead, "{url}", url), "{host}", host);
        EXPECT_EQ(requests.back().head, expected) << c.name;
        EXPECT_EQ(requests.back().body, c.expectedBody) << c.name;
    }
    EXPECT_EQ(server.requests().size(), std::size(kWire));
}

TEST(WebRequestWire, BodyBytesAndTheirWayBackToTheCaller)
{
    LocalServer server([](const RecordedRequest &) { return ok(); });
    // The caller's bytes win over the text and may hold any byte; GET sends none of them.
    const std::string binary("\x00\x01\xff\r\n\x80", 6);
    std::string postBytes = binary;
    WebRequest(server.url("/b"), 1, "ignored", nullptr, nullptr, {}, nullptr, false, &postBytes);
    std::string emptyBytes;
    WebRequest(server.url("/c"), 3, "x=1", nullptr, nullptr, {}, nullptr, false, &emptyBytes);
    std::string untouched;
    WebRequest(server.url("/d"), 0, "x=1", nullptr, nullptr, {}, nullptr, false, &untouched);
    const auto r = server.requests();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].body, binary);
    EXPECT_EQ(postBytes, binary);
    EXPECT_EQ(r[1].body, "x=1");
    EXPECT_EQ(emptyBytes, "x=1"); // the caller now holds the bytes that were sent
    EXPECT_EQ(r[2].body, "");
    EXPECT_EQ(untouched, "");
}

TEST(WebRequestWire, UrlWithoutSchemeAndMixedCaseHost)
{
    LocalServer server([](const RecordedRequest &) { return ok(); });
    const std::string port = std::to_string(server.port());
    EXPECT_EQ(WebRequest("127.0.0.1:" + port + "/a?b=1"), "ok");
    EXPECT_EQ(WebRequest("http://LocalHost:" + port + "/Mixed/Case?Q=1#frag"), "ok");
    const auto r = server.requests();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].requestLine, "GET /a?b=1 HTTP/1.1");
    EXPECT_NE(r[1].head.find("\r\nHost: localhost:" + port + "\r\n"), std::string::npos) << r[1].head;
    EXPECT_EQ(r[1].requestLine, "GET /Mixed/Case?Q=1 HTTP/1.1"); // a fragment is no part of a request
}

// ---- the response side ---------------------------------------------------------------------------

TEST(WebRequestResponse, HeaderBlockAndCookies)
{
    const std::string headers = "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\nset-cookie: flag\r\n";
    LocalServer server([&](const RecordedRequest &) { return ok("body", headers); });
    struct Case {
        std::optional<std::string> cookies;
        bool merge;
        std::string cookiesAfter;  // what `cookies` holds after the call
        std::string returned;      // returnedCookies
    };
    const Case cases[] = {
        {std::nullopt, true, "", "a=1; b=2; flag"},
        {std::string(), true, "a=1; b=2; flag", "a=1; b=2; flag"},
        {std::string("b=0; c=3"), true, "a=1; b=2; flag; c=3", "a=1; b=2; flag; c=3"},
        {std::string("b=0; c=3"), false, "b=0; c=3", "a=1; b=2; flag"},
    };
    for (const Case &c : cases) {
        std::optional<std::string> cookies = c.cookies;
        std::string returnedCookies = "stale";
        std::string returnedHeaders = "stale";
        const std::string body = WebRequest(server.url("/"), 0, {}, cookies ? &*cookies : nullptr, &returnedCookies, {},
                                            &returnedHeaders, false, nullptr, {}, c.merge);
        EXPECT_EQ(body, "body");
        EXPECT_EQ(returnedHeaders, "HTTP/1.1 200 OK\r\n" + headers
                                       + "Content-Length: 4\r\nConnection: close\r\n\r\n");
        EXPECT_EQ(returnedCookies, c.returned);
        if (cookies) {
            EXPECT_EQ(*cookies, c.cookiesAfter);
        }
    }
}

TEST(WebRequestResponse, HeaderBlockOfFiveThousandCharactersDoesNotFit)
{
    // The block is status line + filler + Set-Cookie + framing; the filler makes it `size` bytes long.
    auto blockOfSize = [](size_t size) {
        const std::string fixed = "HTTP/1.1 200 OK\r\nSet-Cookie: k=v\r\nX-Fill: \r\nContent-Length: 1\r\n"
                                  "Connection: close\r\n\r\n";
        return "Set-Cookie: k=v\r\nX-Fill: " + std::string(size - fixed.size(), 'f') + "\r\n";
    };
    for (const size_t size : {4999u, 5000u, 20000u}) {
        const std::string headers = blockOfSize(size);
        LocalServer server([&](const RecordedRequest &) { return ok("b", headers); });
        std::string returnedHeaders, returnedCookies;
        EXPECT_EQ(WebRequest(server.url("/"), 0, {}, nullptr, &returnedCookies, {}, &returnedHeaders), "b");
        if (size < 5000) {
            EXPECT_EQ(returnedHeaders.size(), size);
            EXPECT_EQ(returnedCookies, "k=v");
        } else {
            EXPECT_EQ(returnedHeaders, kSpaces) << size;
            EXPECT_EQ(returnedCookies, "") << size;
        }
    }
}

TEST(WebRequestResponse, BodiesComeBackByteForByte)
{
    std::string everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte += static_cast<char>(i);
    std::string big(20 * 1024 * 1024, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>((i * 7919) >> 3);
    const std::string gzipLike = "\x1f\x8b\x08\x00not really gzip";
    LocalServer server([&](const RecordedRequest &r) {
        if (r.requestLine.find("/big") != std::string::npos)
            return ok(big);
        if (r.requestLine.find("/gzip") != std::string::npos)
            return ok(gzipLike, "Content-Encoding: gzip\r\n");
        if (r.requestLine.find("/chunked") != std::string::npos)
            return Reply{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
                         "3\r\nabc\r\n2\r\nde\r\n0\r\nX-Trailer: t\r\n\r\n"};
        return ok(everyByte);
    });
    EXPECT_EQ(WebRequest(server.url("/bytes")), everyByte);
    EXPECT_TRUE(WebRequest(server.url("/big")) == big);
    EXPECT_EQ(WebRequest(server.url("/gzip"), 0, {}, nullptr, nullptr, "Accept-Encoding: gzip"), gzipLike);
    std::string headers;
    EXPECT_EQ(WebRequest(server.url("/chunked"), 0, {}, nullptr, nullptr, {}, &headers), "abcde");
    EXPECT_EQ(headers, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n");
}

// ---- redirects -----------------------------------------------------------------------------------

TEST(WebRequestRedirect, FollowedUnlessTurnedOff)
{
    LocalServer tls([](const RecordedRequest &) { return ok("secure end"); }, LocalServer::Mode::Https);
    LocalServer server([&](const RecordedRequest &r) {
        if (r.requestLine.rfind("GET /start", 0) == 0 || r.requestLine.rfind("POST /start", 0) == 0)
            return Reply{httpResponse(302, "Found", "Location: /end\r\nSet-Cookie: hop=1\r\n", "moved")};
        if (r.requestLine.rfind("GET /to-tls", 0) == 0)
            return Reply{httpResponse(301, "Moved", "Location: " + tls.url("/x") + "\r\n", "")};
        return ok("end", "Set-Cookie: last=2\r\n");
    });
    std::string headers, cookies;
    EXPECT_EQ(WebRequest(server.url("/start"), 0, {}, nullptr, &cookies, {}, &headers), "end");
    EXPECT_EQ(headers.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << headers;
    EXPECT_EQ(cookies, "last=2");

    EXPECT_EQ(WebRequest(server.url("/start"), 0, {}, nullptr, &cookies, {}, &headers, true), "moved");
    EXPECT_EQ(headers.rfind("HTTP/1.1 302 Found\r\nLocation: /end\r\n", 0), 0u) << headers;
    EXPECT_EQ(cookies, "hop=1");

    // A POST answered with 302 goes on as a GET, as browsers do; across schemes as well.
    EXPECT_EQ(WebRequest(server.url("/start"), 1, "a=1"), "end");
    EXPECT_EQ(server.requests().back().requestLine, "GET /end HTTP/1.1");
    EXPECT_EQ(WebRequest(server.url("/to-tls")), "secure end");
}

TEST(WebRequestRedirect, LoopEndsWithTheLastRedirect)
{
    LocalServer server([](const RecordedRequest &) {
        return Reply{httpResponse(302, "Found", "Location: /again\r\n", "loop")};
    });
    std::string headers;
    WebRequest(server.url("/again"), 0, {}, nullptr, nullptr, {}, &headers);
    EXPECT_EQ(headers.rfind("HTTP/1.1 302 Found\r\n", 0), 0u) << headers;
    EXPECT_EQ(server.requests().size(), static_cast<size_t>(platform::http::kMaxRedirects) + 1);
}

// ---- TLS and proxies -----------------------------------------------------------------------------

TEST(WebRequestTls, SelfSignedCertificateAndMixedCaseHost)
{
    LocalServer tls([](const RecordedRequest &) { return ok("over tls"); }, LocalServer::Mode::Https);
    EXPECT_EQ(WebRequest(tls.url("/")), "over tls");
    // The certificate names "kelm-test": a wrong name is tolerated as well.
    EXPECT_EQ(WebRequest("HTTPS://LOCALHOST:" + std::to_string(tls.port())), "over tls");
    ASSERT_EQ(tls.requests().size(), 2u);
    EXPECT_EQ(tls.requests()[1].requestLine, "GET / HTTP/1.1");
    EXPECT_NE(tls.requests()[1].head.find("Referer: HTTPS://LOCALHOST:"), std::string::npos);
}

TEST(WebRequestProxy, HttpSocksAndTunnel)
{
    LocalServer origin([](const RecordedRequest &) { return ok("from origin"); });
    LocalServer tlsOrigin([](const RecordedRequest &) { return ok("from tls origin"); }, LocalServer::Mode::Https);
    // An HTTP proxy gets the absolute address in the request line.
    LocalServer httpProxy([](const RecordedRequest &) { return ok("from proxy"); });
    EXPECT_EQ(WebRequest(origin.url("/p?q=1"), 0, {}, nullptr, nullptr, {}, nullptr, false, nullptr,
                         "127.0.0.1:" + std::to_string(httpProxy.port())),
              "from proxy");
    ASSERT_EQ(httpProxy.requests().size(), 1u);
    EXPECT_EQ(httpProxy.requests()[0].requestLine, "GET " + origin.url("/p?q=1") + " HTTP/1.1");
    EXPECT_TRUE(origin.requests().empty());

    RelayProxy socks(RelayProxy::Kind::Socks4);
    EXPECT_EQ(WebRequest(origin.url("/s"), 0, {}, nullptr, nullptr, {}, nullptr, false, nullptr,
                         "127.0.0.1:" + std::to_string(socks.port()), true, true, true, true),
              "from origin");
    EXPECT_EQ(socks.targets(), std::vector<std::string>{"127.0.0.1:" + std::to_string(origin.port())});

    RelayProxy tunnel(RelayProxy::Kind::HttpConnect);
    EXPECT_EQ(WebRequest(tlsOrigin.url("/t"), 0, {}, nullptr, nullptr, {}, nullptr, false, nullptr,
                         "127.0.0.1:" + std::to_string(tunnel.port())),
              "from tls origin");
    EXPECT_EQ(tunnel.targets(), std::vector<std::string>{"127.0.0.1:" + std::to_string(tlsOrigin.port())});
}

TEST(WebRequestProxy, EnvironmentProxyIsNotUsed)
{
    LocalServer origin([](const RecordedRequest &) { return ok("direct"); });
    LocalServer trap([](const RecordedRequest &) { return ok("env proxy"); });
    const std::string trapUrl = trap.url("");
    ::setenv("http_proxy", trapUrl.c_str(), 1);
    ::setenv("HTTPS_PROXY", trapUrl.c_str(), 1);
    EXPECT_EQ(WebRequest(origin.url("/")), "direct");
    ::unsetenv("http_proxy");
    ::unsetenv("HTTPS_PROXY");
    EXPECT_TRUE(trap.requests().empty());
}

// ---- failures ------------------------------------------------------------------------------------

TEST(WebRequestFailure, RequestThatCannotBeSetUpTouchesNothing)
{
    for (const std::string url : {"http:///nohost", "http://127.0.0.1:70000/", "http://127.0.0.1:-1/",
                                  "http://a b/", "http://127.0.0.1/x\r\nEvil: 1"}) {
        std::string cookies = "c=1", returnedCookies = "rc", headers = "rh", postBytes;
        EXPECT_EQ(WebRequest(url, 1, "p", &cookies, &returnedCookies, {}, &headers, false, &postBytes), "") << url;
        EXPECT_EQ(cookies, "c=1") << url;
        EXPECT_EQ(returnedCookies, "rc") << url;
        EXPECT_EQ(headers, "rh") << url;
        EXPECT_EQ(postBytes, "") << url;
    }
}

TEST(WebRequestFailure, UnreachableServer)
{
    // A port that is bound but not listening refuses connections, and no one else can take it meanwhile.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    socklen_t length = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &length);
    const int port = ntohs(addr.sin_port);
    std::string cookies = "c=1", returnedCookies = "stale", headers;
    EXPECT_EQ(WebRequest("http://127.0.0.1:" + std::to_string(port) + "/", 0, {}, &cookies, &returnedCookies, {},
                         &headers),
              "");
    EXPECT_EQ(headers, kSpaces);
    EXPECT_EQ(returnedCookies, "c=1"); // nothing received, merged with what was sent
    EXPECT_EQ(cookies, "c=1");
    std::string plain = "stale";
    WebRequest("http://127.0.0.1:" + std::to_string(port) + "/", 0, {}, nullptr, &plain);
    EXPECT_EQ(plain, "");
    ::close(fd);
}

TEST(WebRequestFailure, ServerStopsMidBody)
{
    LocalServer server([](const RecordedRequest &) {
        Reply r{httpResponse(200, "OK", "", std::string(1000, 'x'))};
        r.bytes.resize(r.bytes.size() - 500); // promised 1000 bytes, sends 500 and closes
        return r;
    });
    std::string headers;
    EXPECT_EQ(WebRequest(server.url("/"), 0, {}, nullptr, nullptr, {}, &headers), std::string(500, 'x'));
    EXPECT_EQ(headers.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
}

TEST(WebRequestFailure, StalledServersEndAtTheTimeOuts)
{
    ShortTimeouts timeouts;
    // Headers and half the body, then silence.
    LocalServer stalls([](const RecordedRequest &) {
        Reply r{httpResponse(200, "OK", "", std::string(1000, 'y'))};
        r.stallAfter = r.bytes.size() - 500;
        return r;
    });
    std::string headers;
    EXPECT_EQ(WebRequest(stalls.url("/"), 0, {}, nullptr, nullptr, {}, &headers), std::string(500, 'y'));
    EXPECT_EQ(headers.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);

    // Reads the request, never answers.
    LocalServer mute([](const RecordedRequest &) { return Reply{"", 0}; });
    EXPECT_EQ(WebRequest(mute.url("/"), 0, {}, nullptr, nullptr, {}, &headers), "");
    EXPECT_EQ(headers, kSpaces);

    // A plain server that never speaks TLS: the handshake stalls.
    LocalServer silent([](const RecordedRequest &) { return Reply{}; }, LocalServer::Mode::Silent);
    EXPECT_EQ(WebRequest("https://127.0.0.1:" + std::to_string(silent.port()) + "/", 0, {}, nullptr, nullptr, {},
                         &headers),
              "");
    EXPECT_EQ(headers, kSpaces);
}

} // namespace
