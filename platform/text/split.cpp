// Splitting, searching and replacing in GBK text without ever matching inside a double-byte character.
#include "platform/text/text.h"

namespace platform::text {

namespace {

// findText with the walk over characters started at `boundary`, a position known to begin a
// character (0, or where an earlier search found the needle) at or before `from`. Splitting and
// replacing resume from their last match this way, so a long text is walked once, not once a piece.
size_t findFromBoundary(std::string_view text, std::string_view needle, size_t boundary, size_t from)
{
    if (needle.empty())
        return from <= text.size() ? from : std::string_view::npos;
    size_t i = boundary;
    while (i + needle.size() <= text.size()) {
        if (i >= from && text.compare(i, needle.size(), needle) == 0)
            return i;
        // A lead byte with a byte after it makes one character of two bytes.
        i += (isGbkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    }
    return std::string_view::npos;
}

} // namespace

size_t findText(std::string_view text, std::string_view needle, size_t from)
{
    return findFromBoundary(text, needle, 0, from);
}

std::vector<std::string> splitText(std::string_view text, std::string_view separator)
{
    std::vector<std::string> pieces;
    if (text.empty())
        return pieces;
    if (separator.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    size_t start = 0;
    size_t boundary = 0;
    for (;;) {
        const size_t at = findFromBoundary(text, separator, boundary, start);
        if (at == std::string_view::npos) {
            if (start < text.size())
                pieces.emplace_back(text.substr(start));
            break;
        }
        pieces.emplace_back(text.substr(start, at - start));
        boundary = at;
        start = at + separator.size();
        if (start == text.size())
            break;
    }
    return pieces;
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    if (from.empty())
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    for (size_t at; (at = findFromBoundary(text, from, start == 0 ? 0 : start - from.size(), start)) !=
                    std::string_view::npos;
         start = at + from.size()) {
        out.append(text.substr(start, at - start));
        out.append(to);
    }
    out.append(text.substr(start));
    return out;
}

} // namespace platform::text
