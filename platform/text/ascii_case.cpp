// Case handling limited to the ASCII letters, so GBK bytes are never altered: the second byte of a
// double-byte character can look like an ASCII letter (0x41..0x7A) and is left and compared as it is.
#include "platform/text/text.h"

namespace platform::text {
namespace {

// Applies `convert` to the single-byte characters of a GBK text.
template <typename Convert>
std::string mapSingleBytes(std::string_view text, Convert convert)
{
    std::string out(text);
    for (size_t i = 0; i < out.size(); ++i) {
        if (isGbkLeadByte(static_cast<unsigned char>(out[i])) && i + 1 < out.size())
            ++i;
        else
            out[i] = convert(out[i]);
    }
    return out;
}

} // namespace

char asciiToLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char asciiToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string asciiLower(std::string_view text) { return mapSingleBytes(text, asciiToLower); }

std::string asciiUpper(std::string_view text) { return mapSingleBytes(text, asciiToUpper); }

int compareIgnoreAsciiCase(std::string_view a, std::string_view b)
{
    const std::string x = asciiLower(a);
    const std::string y = asciiLower(b);
    const int c = x.compare(y);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && compareIgnoreAsciiCase(a, b) == 0;
}

} // namespace platform::text
