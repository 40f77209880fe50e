// The regular-expression service: compiling a pattern and searching a UTF-16 subject with the
// semantics of the Windows scripting regular expressions (an ECMAScript-like dialect), over PCRE2's
// 16-bit library. Positions are UTF-16 code unit offsets. Nothing else in the program touches PCRE2.
//
// Dialect, as the program relies on it:
// - character classes, greedy and lazy quantifiers, groups (capturing and "(?:"), alternation,
//   look-ahead, back references (one to a group that has not taken part matches the empty text),
//   "\uhhhh" and "\xhh" escapes, "[^]" for any character and "[]" for none;
// - "." never matches a line break (CR or LF), whatever the options;
// - "^" and "$" match only at the ends of the subject unless `multiline` is set, then also after and
//   before every line break (CR, LF or CRLF);
// - `ignoreCase` folds case for every letter with a Unicode case pair; "\w", "\d", "\s", "\b" are ASCII.
// - Replacement texts use "$&" (the match), "$`" (before it), "$'" (after it), "$1".."$99" (groups;
//   a group number the pattern lacks stays literal), and "$$" for one "$".
//
// Failures are values: a pattern that does not compile gives a null Pattern; a search that hits the
// engine's limits (catastrophic backtracking) stops and reports `complete == false` with the matches
// found before. Compiled patterns are immutable and may be shared between threads.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::regex {

struct Options {
    bool ignoreCase = false;
    bool multiline = false;
};

class Pattern;

// Compiles `pattern`. Returns null when it does not compile; `error` (optional) then receives
// PCRE2's message and the offset, in English.
std::shared_ptr<const Pattern> compile(std::u16string_view pattern, Options options,
                                       std::string *error = nullptr);

// Number of capturing groups of a compiled pattern.
int groupCount(const Pattern &pattern);

// The matches of one search. Offsets are UTF-16 code units into the subject; a group that did not
// take part has start kNoGroup.
struct MatchList {
    static constexpr uint32_t kNoGroup = UINT32_MAX;
    int groups = 0;                  // capturing groups per match
    bool complete = true;            // false when the engine gave up (limits) or the subject is too large
    std::vector<uint32_t> spans;     // (groups + 1) pairs (start, end) per match, group 0 = the match

    size_t count() const { return spans.size() / (2 * static_cast<size_t>(groups + 1)); }
    // start and end of group `group` (0 = whole match) of match `index` (0-based); no bounds checks.
    uint32_t start(size_t index, int group) const { return spans[(index * (groups + 1) + group) * 2]; }
    uint32_t end(size_t index, int group) const { return spans[(index * (groups + 1) + group) * 2 + 1]; }
};

// Searches the subject. `global`: every match, left to right, an empty match never twice at one
// position; otherwise the first match only. Subjects of 2^32 - 1 code units or more give no matches.
MatchList findMatches(const Pattern &pattern, std::u16string_view subject, bool global);

// The subject with the given matches replaced by the expanded replacement text.
std::u16string replaceMatches(const MatchList &matches, std::u16string_view subject,
                              std::u16string_view replacement);

} // namespace platform::regex
