// Rebuilding request header text with capitalised header names, as servers and proxies expect them.
#include "online/web_request.h"

#include "platform/text/text.h"

std::string CapitalizeFirst(std::string_view text)
{
    std::string out(text);
    if (!out.empty())
        out[0] = platform::text::asciiToUpper(out[0]);
    return out;
}

std::string NormalizeHeaderNames(std::string_view headers)
{
    std::string out;
    for (const std::string &line : platform::text::splitText(headers, "\r\n")) {
        const size_t colon = FindText(line, ":");
        if (colon == std::string::npos)
            continue;
        // The first letter and every letter after a "-" are raised. A "-" can never be the second
        // byte of a double-byte character, so the byte after it always starts a character.
        std::string name = CapitalizeFirst(std::string_view(line).substr(0, colon));
        for (size_t i = 1; i < name.size(); ++i) {
            if (name[i - 1] == '-')
                name[i] = platform::text::asciiToUpper(name[i]);
        }
        if (!out.empty())
            out += "\r\n";
        out += name;
        out.append(line, colon, std::string::npos);
    }
    return out;
}
