// The program's regular-expression object: compiles one pattern with its options, searches one GBK
// subject, and answers questions about the matches in GBK texts, 1-based indexes and byte offsets.
// The cloud software list picks its list text out of the downloaded page with it.
//
// Pattern dialect: the scripting regular expressions (ECMAScript-like: classes, greedy and lazy
// quantifiers, groups, alternation, anchors); "." never matches a line break. See
// platform/regex/regex.h for the details and the replacement syntax ("$1", "$&", "$$"...).
//
// No operation fails loudly: a pattern that does not compile makes Create return false and every
// question return its neutral value (count 0, empty text, position -2). A search that the engine
// abandons (runaway backtracking) counts as failed too.
//
// Threads: an object is used by one thread at a time. Copies share the compiled pattern and the
// matches (both immutable) and own a copy of the subject.
#pragma once

#include <memory>
#include <string>

class RegexMatcher {
public:
    RegexMatcher();

    // The operations, in the order of their slots.

    // Releases the pattern, the matches and the subject; the object is as after construction.
    virtual void Destroy();
    // A new object sharing this one's pattern and matches, with a copy of the subject.
    virtual std::unique_ptr<RegexMatcher> Copy() const;
    // Compiles `pattern` (with "#引号" replaced by a double quote when `quoteEscape` is set) and
    // searches `subject`: every match when `global` is set, else the first. Case is ignored unless
    // `caseSensitive`; "^" and "$" also match at line breaks when `multiline`. True when the search
    // ran (also when it found nothing); false when the pattern does not compile or the search was
    // abandoned. Replaces the previous pattern, subject and matches in every case.
    virtual bool Create(const std::string &pattern, const std::string &subject, bool caseSensitive = false,
                        bool multiline = true, bool global = true, bool quoteEscape = false);
    // Does nothing.
    virtual void Noop();
    // The pattern of the last Create (after the quote replacement), also when it did not compile;
    // empty before any Create.
    virtual std::string GetPattern() const;
    // The subject with the matches of the last Create replaced by the expanded replacement text;
    // empty when there are no matches to work from (no Create, or it returned false).
    virtual std::string Replace(const std::string &replacement = {}) const;
    // Number of matches of the last Create; 0 before any or after a failed one.
    virtual int MatchCount() const;
    // The text of match `index` (1-based); empty for an index outside 1..MatchCount(). `position`,
    // when given, receives the match's 0-based byte offset in the subject, or -2 for no such match.
    virtual std::string MatchText(int index, int *position = nullptr) const;
    // The text of capture group `groupIndex` (1-based) of match `matchIndex` (1-based); empty when
    // either is out of range or the group did not take part. `position` as for MatchText, -2 for a
    // group that did not take part.
    virtual std::string SubMatchText(int matchIndex, int groupIndex, int *position = nullptr) const;
    // Number of capture groups of the pattern when there is at least one match, else 0.
    virtual int SubMatchCount() const;

    virtual ~RegexMatcher();
    RegexMatcher(const RegexMatcher &) = delete;
    RegexMatcher &operator=(const RegexMatcher &) = delete;

private:
    struct Compiled;
    struct Matches;
    int positionOf(size_t unitOffset, const std::string &text) const;

    std::shared_ptr<const Compiled> regex_;
    std::shared_ptr<const Matches> matches_;
    std::string subject_;
    struct Offsets;
    mutable std::unique_ptr<Offsets> offsets_; // byte positions of the subject, built when first asked for
};
