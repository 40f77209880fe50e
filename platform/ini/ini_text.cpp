// Parsing and editing the INI text line by line, keeping every byte the edit does not touch.
#include "platform/ini/ini_text.h"

#include "platform/text/text.h"

#include <vector>

namespace platform::ini::detail {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

enum class LineKind { Other, Section, Comment, Key };

struct Line {
    std::size_t begin = 0;       // first byte
    std::size_t end = 0;         // one past the last byte before the line end
    std::size_t next = 0;        // first byte of the next line
    LineKind kind = LineKind::Other;
    std::string_view name;       // section or key name, trimmed
    std::size_t afterEquals = 0; // keys: first byte after the '='
    std::string_view value;      // keys: value, trimmed
    bool blank = true;           // nothing but blanks
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

Line classify(std::string_view file, std::size_t begin, std::size_t end, std::size_t next)
{
    Line line;
    line.begin = begin;
    line.end = end;
    line.next = next;
    const std::string_view text = file.substr(begin, end - begin);
    const std::string_view content = trimBlanks(text);
    if (content.empty())
        return line;
    line.blank = false;
    if (content.front() == '[') {
        line.kind = LineKind::Section;
        const std::string_view inside = content.substr(1);
        // ']' (0x5D) can be the second byte of a double-byte character: search character by character.
        const std::size_t close = platform::text::findText(inside, "]");
        line.name = trimBlanks(inside.substr(0, close));
        return line;
    }
    if (content.front() == ';') {
        line.kind = LineKind::Comment;
        return line;
    }
    // '=' (0x3D) is never the second byte of a GBK character, so a byte search is exact.
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return line;
    line.kind = LineKind::Key;
    line.name = trimBlanks(text.substr(0, equals));
    line.afterEquals = begin + equals + 1;
    line.value = trimBlanks(text.substr(equals + 1));
    return line;
}

// The lines of the file after a leading UTF-8 byte order mark. A line ends at CR LF, LF or a lone CR.
std::vector<Line> splitLines(std::string_view file)
{
    std::vector<Line> lines;
    std::size_t at = file.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
    while (at < file.size()) {
        const std::size_t end = file.find_first_of("\r\n", at);
        if (end == std::string_view::npos) {
            lines.push_back(classify(file, at, file.size(), file.size()));
            break;
        }
        std::size_t next = end + 1;
        if (file[end] == '\r' && next < file.size() && file[next] == '\n')
            ++next;
        lines.push_back(classify(file, at, end, next));
        at = next;
    }
    return lines;
}

// Index of the header line of the first section named `section`, or lines.size().
std::size_t findSection(const std::vector<Line>& lines, std::string_view section)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == LineKind::Section && sameName(lines[i].name, section))
            return i;
    }
    return lines.size();
}

// One past the last line of the section whose header is at `header`.
std::size_t sectionEnd(const std::vector<Line>& lines, std::size_t header)
{
    std::size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != LineKind::Section)
        ++i;
    return i;
}

// Index of the first key line named `key` in the section at `header`, or lines.size().
std::size_t findKey(const std::vector<Line>& lines, std::size_t header, std::string_view key)
{
    const std::size_t end = sectionEnd(lines, header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines[i].kind == LineKind::Key && sameName(lines[i].name, key))
            return i;
    }
    return lines.size();
}

bool endsWithLineEnd(std::string_view file)
{
    return !file.empty() && (file.back() == '\n' || file.back() == '\r');
}

} // namespace

std::string_view trimBlanks(std::string_view text)
{
    // A blank byte is never part of a double-byte character, so trimming bytes is exact.
    std::size_t first = 0;
    while (first < text.size() && isBlank(text[first]))
        ++first;
    std::size_t last = text.size();
    while (last > first && isBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto byte = static_cast<unsigned char>(a[i]);
        if (platform::text::isGbkLeadByte(byte) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            ++i;
            continue;
        }
        if (platform::text::asciiToLower(a[i]) != platform::text::asciiToLower(b[i]))
            return false;
    }
    return true;
}

std::optional<std::string_view> findValue(std::string_view file, std::string_view section, std::string_view key)
{
    const std::vector<Line> lines = splitLines(file);
    const std::size_t header = findSection(lines, section);
    if (header == lines.size())
        return std::nullopt;
    const std::size_t at = findKey(lines, header, key);
    if (at == lines.size())
        return std::nullopt;
    return lines[at].value;
}

std::string withValue(std::string_view file, std::string_view section, std::string_view key, std::string_view value)
{
    const std::vector<Line> lines = splitLines(file);
    std::string out;
    out.reserve(file.size() + section.size() + key.size() + value.size() + 8);

    const std::size_t header = findSection(lines, section);
    if (header == lines.size()) {
        out.append(file);
        const bool onlyBom = file == kUtf8Bom;
        if (!file.empty() && !onlyBom && !endsWithLineEnd(file))
            out.append(kLineEnd);
        out.append("[").append(section).append("]").append(kLineEnd);
        out.append(key).append("=").append(value).append(kLineEnd);
        return out;
    }

    const std::size_t existing = findKey(lines, header, key);
    if (existing != lines.size()) {
        const Line& line = lines[existing];
        out.append(file.substr(0, line.afterEquals));
        out.append(value);
        out.append(file.substr(line.end));
        return out;
    }

    // A new key goes after the section's last non-blank line (its header when it has none), so blank
    // lines that separate it from the next section stay where they are.
    std::size_t last = header;
    const std::size_t end = sectionEnd(lines, header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (!lines[i].blank)
            last = i;
    }
    const Line& after = lines[last];
    out.append(file.substr(0, after.next));
    if (after.next == after.end) // the file's last line, without a line end
        out.append(kLineEnd);
    out.append(key).append("=").append(value).append(kLineEnd);
    out.append(file.substr(after.next));
    return out;
}

} // namespace platform::ini::detail
