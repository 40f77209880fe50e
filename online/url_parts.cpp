// Taking a request URL apart into host, port and path, the way the request routine connects.
#include "online/web_request.h"

#include "platform/text/text.h"

#include <climits>

std::string UrlHost(std::string_view url, bool keepPort)
{
    std::string text = platform::text::asciiLower(url);
    if (text.empty() || text.back() != '/')
        text += '/';
    std::string_view marker = "https://";
    if (text.rfind("https://", 0) != 0) {
        if (FindText(text, "http://") == std::string::npos)
            text.insert(0, "http://");
        marker = "http://";
    }
    std::string host = TextBetween(text, marker, "/");
    if (!keepPort) {
        const size_t colon = FindText(host, ":");
        if (colon != std::string::npos)
            host.erase(colon);
    }
    return host;
}

namespace {

// The leading integer of a text: optional spaces and sign, then digits up to the first other
// character; 0 when there are none. Values beyond the int range stop at its ends.
int leadingInteger(std::string_view text)
{
    size_t i = text.find_first_not_of(' ');
    if (i == std::string_view::npos)
        return 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX)
            return negative ? INT_MIN : INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace

int UrlPort(std::string_view url)
{
    const std::string host = UrlHost(url, true);
    const size_t colon = host.rfind(':');
    if (colon != std::string::npos)
        return leadingInteger(std::string_view(host).substr(colon + 1));
    return platform::text::asciiLower(url).rfind("https", 0) == 0 ? 443 : 80;
}

std::string UrlPath(std::string_view url)
{
    const std::string host = UrlHost(url, false);
    // The host is looked for after the scheme: a host such as "h" or "tp" also occurs inside "http".
    const std::string lower = platform::text::asciiLower(url.substr(0, 8));
    const size_t schemeEnd = lower.rfind("https://", 0) == 0 ? 8 : lower.rfind("http://", 0) == 0 ? 7 : 0;
    size_t at = FindText(url, host, schemeEnd, true);
    if (at == std::string::npos)
        at = 0;
    const size_t slash = FindText(url, "/", at);
    if (slash == std::string::npos)
        return "/";
    return std::string(url.substr(slash));
}
