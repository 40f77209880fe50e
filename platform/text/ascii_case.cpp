// Case handling limited to the ASCII letters, so GBK bytes are never altered.
#include "platform/text/text.h"

namespace platform::text {

char asciiToLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char asciiToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string asciiLower(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = asciiToLower(c);
    return out;
}

std::string asciiUpper(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = asciiToUpper(c);
    return out;
}

int compareIgnoreAsciiCase(std::string_view a, std::string_view b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(asciiToLower(a[i]));
        const auto y = static_cast<unsigned char>(asciiToLower(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && compareIgnoreAsciiCase(a, b) == 0;
}

} // namespace platform::text
