// Searching and cutting GBK texts the way the request routine needs: character-aligned searches with
// optional ASCII case folding, the text between two markers, before a separator, after a colon.
#include "online/web_request.h"

#include "platform/text/text.h"

namespace {

using platform::text::isGbkLeadByte;

bool sameIgnoringAsciiCase(unsigned char a, unsigned char b)
{
    if (a == b)
        return true;
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; };
    return lower(a) == lower(b);
}

// Compares the needle with the text at a character boundary. Only bytes that stand for a character of
// their own are case-folded: the second byte of a double-byte character must match exactly.
bool matchesAt(std::string_view text, size_t at, std::string_view needle, bool ignoreCase)
{
    if (text.size() - at < needle.size())
        return false;
    bool trail = false;
    for (size_t j = 0; j < needle.size(); ++j) {
        const auto t = static_cast<unsigned char>(text[at + j]);
        const auto n = static_cast<unsigned char>(needle[j]);
        const bool equal = t == n || (ignoreCase && !trail && t < 0x80 && sameIgnoringAsciiCase(t, n));
        if (!equal)
            return false;
        trail = !trail && isGbkLeadByte(t);
    }
    return true;
}

std::string quoteMarkers(std::string_view marker)
{
    return platform::text::replaceAll(marker, "#引号", "\"");
}

} // namespace

size_t FindText(std::string_view text, std::string_view needle, size_t from, bool ignoreCase)
{
    if (from > text.size())
        return std::string::npos;
    size_t i = 0;
    while (i < from) // find the first character boundary at or after `from`
        i += (isGbkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    if (needle.empty())
        return i <= text.size() ? i : std::string::npos;
    for (; i < text.size(); i += (isGbkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1) {
        if (matchesAt(text, i, needle, ignoreCase))
            return i;
    }
    return std::string::npos;
}

std::string TrimSpaces(std::string_view text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string TextBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                        size_t startPosition, bool ignoreCase)
{
    const std::string start = quoteMarkers(startMarker);
    const std::string end = quoteMarkers(endMarker);
    const size_t from = startPosition > 0 ? startPosition - 1 : 0;
    const size_t s = FindText(text, start, from, ignoreCase);
    if (s == std::string::npos)
        return {};
    const size_t valueStart = s + start.size();
    const size_t e = FindText(text, end, valueStart, ignoreCase);
    if (e == std::string::npos)
        return {};
    return std::string(text.substr(valueStart, e - valueStart));
}

std::string TextAfterFirstColon(std::string_view text)
{
    const size_t colon = FindText(text, ":");
    if (colon == std::string::npos)
        return {};
    return TrimSpaces(text.substr(colon + 1));
}

std::string TextBeforeSeparator(std::string_view text, std::string_view separator)
{
    const size_t at = FindText(text, separator);
    if (at == std::string::npos || separator.empty())
        return {};
    return std::string(text.substr(0, at));
}
