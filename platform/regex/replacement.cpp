// Building the replaced subject: the matches' places filled with the replacement text, its "$"
// references expanded the way the scripting regular expressions expand them.
#include "platform/regex/regex.h"

namespace platform::regex {
namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

void appendGroup(std::u16string &out, const MatchList &m, size_t index, int group, std::u16string_view subject)
{
    const uint32_t s = m.start(index, group);
    if (s == MatchList::kNoGroup)
        return;
    out.append(subject.substr(s, m.end(index, group) - s));
}

void expand(std::u16string &out, const MatchList &m, size_t index, std::u16string_view subject,
            std::u16string_view replacement)
{
    for (size_t i = 0; i < replacement.size(); ++i) {
        const char16_t c = replacement[i];
        if (c != u'$' || i + 1 >= replacement.size()) {
            out.push_back(c);
            continue;
        }
        const char16_t next = replacement[i + 1];
        if (next == u'$') {
            out.push_back(u'$');
            ++i;
        } else if (next == u'&') {
            appendGroup(out, m, index, 0, subject);
            ++i;
        } else if (next == u'`') {
            out.append(subject.substr(0, m.start(index, 0)));
            ++i;
        } else if (next == u'\'') {
            out.append(subject.substr(m.end(index, 0)));
            ++i;
        } else if (isDigit(next)) {
            // Two digits when they name an existing group, else one digit when it does; else literal.
            int number = next - u'0';
            size_t used = 1;
            if (i + 2 < replacement.size() && isDigit(replacement[i + 2])) {
                const int two = number * 10 + (replacement[i + 2] - u'0');
                if (two >= 1 && two <= m.groups) {
                    number = two;
                    used = 2;
                }
            }
            if (number >= 1 && number <= m.groups) {
                appendGroup(out, m, index, number, subject);
                i += used;
            } else {
                out.push_back(c);
            }
        } else {
            out.push_back(c);
        }
    }
}

} // namespace

std::u16string replaceMatches(const MatchList &matches, std::u16string_view subject,
                              std::u16string_view replacement)
{
    std::u16string out;
    out.reserve(subject.size());
    size_t last = 0;
    for (size_t i = 0; i < matches.count(); ++i) {
        const uint32_t s = matches.start(i, 0);
        out.append(subject.substr(last, s - last));
        expand(out, matches, i, subject, replacement);
        last = matches.end(i, 0);
    }
    out.append(subject.substr(last));
    return out;
}

} // namespace platform::regex
