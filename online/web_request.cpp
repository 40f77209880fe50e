// The request routine itself: from the caller's URL, verb, header text, cookies and body to one
// request of the HTTP client service, and from its response to the body, the raw header block and
// the cookie texts.
#include "online/web_request.h"

#include "platform/http/http.h"
#include "platform/text/text.h"

#include <vector>

namespace {

constexpr const char *kVerbs[] = {"GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE", "CONNECT"};
constexpr const char *kDefaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
// The header block is read into a buffer of this many characters, its terminating zero included; a
// block that does not fit leaves the buffer's initial spaces.
constexpr size_t kHeaderCapacity = 5000;

bool contains(std::string_view text, std::string_view needle, bool ignoreCase)
{
    return FindText(text, needle, 0, ignoreCase) != std::string::npos;
}

// The agent named by the header text. The User-Agent line's value is taken; a line spelled in another
// letter case is found as well (its value, not the first header's, is the agent).
std::string agentFrom(const std::string &h)
{
    if (!contains(h, "User-Agent:", true))
        return kDefaultAgent;
    std::string agent = TrimSpaces(TextBetween(h + "\r\n", "User-Agent:", "\r\n"));
    if (!agent.empty())
        return agent;
    for (const std::string &line : platform::text::splitText(h, "\r\n")) {
        if (contains(line, "User-Agent:", true))
            return TextAfterFirstColon(line);
    }
    return {};
}

// Header lines as sent: the text cut at CRLF, and at any lone CR or LF too, so that no line can carry
// a line break onto the wire; empty lines are left out.
std::vector<std::string> headerLines(std::string_view h)
{
    std::vector<std::string> lines;
    std::string current;
    for (const char c : h) {
        if (c == '\r' || c == '\n') {
            if (!current.empty())
                lines.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        lines.push_back(std::move(current));
    return lines;
}

// Step of header completion: the usual request headers the caller's text lacks, appended in order.
void completeHeaderText(std::string &h, const std::string &url, int verb)
{
    if (h.empty())
        h = "Accept: */*";
    if (!contains(h, "Accept:", true))
        h += "\r\nAccept: */*";
    if (!contains(h, "Referer:", true))
        h += "\r\nReferer: " + url;
    if (!contains(h, "Accept-Language:", true))
        h += "\r\nAccept-Language: zh-cn";
    if (verb == 1 && !contains(h, "Content-Type:", true))
        h += "\r\nContent-Type: application/x-www-form-urlencoded";
}

std::string headerBlockAsRead(const std::string &raw)
{
    // An exchange without a header block (server unreachable) leaves the buffer as it was filled.
    if (raw.empty() || raw.size() + 1 > kHeaderCapacity)
        return std::string(kHeaderCapacity, ' ');
    return raw.substr(0, raw.find('\0'));
}

} // namespace

std::string WebRequest(const std::string &url, int method, const std::string &postText, std::string *cookies,
                       std::string *returnedCookies, const std::string &extraHeaders, std::string *returnedHeaders,
                       bool noRedirect, std::string *postBytes, const std::string &proxy, bool mergeCookies,
                       bool completeHeaders, bool normalizeHeaderNames, bool socksProxy)
{
    // A line break or other control character in the address would end up in the request line and
    // the Referer header; such an address cannot be requested.
    for (const char c : url) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return {};
    }
    std::string h = normalizeHeaderNames ? NormalizeHeaderNames(extraHeaders) : extraHeaders;
    const int verb = method < 0 || method > 7 ? 0 : method;
    const bool secure = platform::text::asciiLower(std::string_view(url).substr(0, 8)) == "https://";

    platform::http::Request request;
    request.secure = secure;
    request.method = kVerbs[verb];
    request.userAgent = agentFrom(h);
    if (!proxy.empty()) {
        request.proxyKind = socksProxy ? platform::http::ProxyKind::Socks4 : platform::http::ProxyKind::Http;
        request.proxy = proxy;
    }
    request.host = UrlHost(url, false);
    const int port = UrlPort(url);
    if (port < 0 || port > 65535)
        return {};
    request.port = port != 0 ? port : (secure ? 443 : 80); // 0 stands for the scheme's default port
    request.path = UrlPath(url);
    request.followRedirects = !noRedirect;

    if (completeHeaders)
        completeHeaderText(h, url, verb);
    if (cookies != nullptr && !cookies->empty())
        h += (contains(*cookies, "Cookie:", false) ? "\r\n" : "\r\nCookie: ") + *cookies;
    request.headerLines = headerLines(h);

    // Any verb but GET carries the body: the caller's bytes, else the bytes of the text. POST and PUT
    // announce even an empty one.
    if (verb != 0) {
        request.body = postBytes != nullptr && !postBytes->empty() ? *postBytes : postText;
        request.sendBody = verb != 2 && (!request.body.empty() || verb == 1 || verb == 3);
    }

    platform::http::Response response = platform::http::perform(request);
    if (response.outcome == platform::http::Outcome::NotStarted)
        return {};

    if (verb != 0 && postBytes != nullptr && postBytes->empty())
        *postBytes = postText;
    const std::string headers = headerBlockAsRead(response.rawHeaders);
    std::string received = CookiesFromHeaders(headers);
    if (mergeCookies && cookies != nullptr) {
        received = MergeCookies(*cookies, received);
        *cookies = received;
    }
    if (returnedHeaders != nullptr)
        *returnedHeaders = headers;
    if (returnedCookies != nullptr)
        *returnedCookies = received;
    return std::move(response.body);
}
