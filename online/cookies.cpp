// Cookie texts of the request routine: reading the cookies a response sets and merging them with the
// ones the caller sent, so that the caller can carry one cookie text from request to request.
#include "online/web_request.h"

#include "platform/text/text.h"

#include <vector>

std::string CookieName(std::string_view piece)
{
    const size_t eq = FindText(piece, "=");
    return TrimSpaces(eq == std::string::npos ? piece : piece.substr(0, eq));
}

std::string DedupeJoined(std::string_view text, std::string_view separator)
{
    std::vector<std::string> kept;
    for (std::string &piece : platform::text::splitText(text, separator)) {
        bool seen = false;
        for (const std::string &k : kept)
            seen = seen || k == piece;
        if (!seen)
            kept.push_back(std::move(piece));
    }
    std::string out;
    for (size_t i = 0; i < kept.size(); ++i) {
        if (i > 0)
            out += separator;
        out += kept[i];
    }
    return out;
}

std::string MergeCookies(std::string_view oldCookies, std::string_view newCookies)
{
    auto prepare = [](std::string_view text) {
        std::string t = TrimSpaces(text);
        if (!t.empty() && t.back() == ';')
            t += ' ';
        return platform::text::splitText(t, "; ");
    };
    const std::vector<std::string> oldList = prepare(oldCookies);
    std::vector<std::string> list = prepare(newCookies);
    for (const std::string &old : oldList) {
        const std::string name = CookieName(old);
        bool known = false;
        for (const std::string &piece : list)
            known = known || CookieName(piece) == name;
        if (!known)
            list.push_back(old);
    }
    std::string joined;
    for (const std::string &piece : list) {
        if (piece.size() >= 8 && piece.compare(piece.size() - 8, 8, "=deleted") == 0)
            continue;
        joined += piece;
        joined += "; ";
    }
    if (joined.size() >= 2)
        joined.resize(joined.size() - 2);
    return DedupeJoined(joined, "; ");
}

std::string CookiesFromHeaders(std::string_view rawHeaders)
{
    std::string out;
    for (const std::string &line : platform::text::splitText(rawHeaders, "\r\n")) {
        const size_t colon = FindText(line, ":");
        if (colon == std::string::npos)
            continue;
        // Header names are case-insensitive on the wire; "set-cookie:" sets cookies as well.
        if (!platform::text::equalsIgnoreAsciiCase(TrimSpaces(std::string_view(line).substr(0, colon)), "Set-Cookie"))
            continue;
        std::string_view value = std::string_view(line).substr(colon + 1);
        const size_t semicolon = FindText(value, ";");
        if (semicolon != std::string::npos)
            value = value.substr(0, semicolon);
        const std::string pair = TrimSpaces(value);
        if (pair.empty())
            continue;
        if (!out.empty())
            out += "; ";
        out += pair;
    }
    return out;
}
