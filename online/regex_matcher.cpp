// The regular-expression object over the regular-expression service: GBK texts converted to UTF-16
// for the search, matches and groups handed back as GBK texts, positions mapped back to byte offsets
// of the caller's subject.
#include "online/regex_matcher.h"

#include "online/gbk_offsets.h"
#include "online/web_request.h"
#include "platform/regex/regex.h"
#include "platform/text/text.h"

struct RegexMatcher::Compiled {
    std::string pattern;
    bool ignoreCase = true;
    bool global = true;
    std::shared_ptr<const platform::regex::Pattern> code; // null when the pattern does not compile
};

struct RegexMatcher::Matches {
    std::u16string subject;
    platform::regex::MatchList list;
};

struct RegexMatcher::Offsets {
    GbkOffsetMap map;
};

RegexMatcher::RegexMatcher() = default;
RegexMatcher::~RegexMatcher() = default;

void RegexMatcher::Destroy()
{
    regex_.reset();
    matches_.reset();
    subject_.clear();
    offsets_.reset();
}

std::unique_ptr<RegexMatcher> RegexMatcher::Copy() const
{
    auto copy = std::make_unique<RegexMatcher>();
    copy->regex_ = regex_;
    copy->matches_ = matches_;
    copy->subject_ = subject_;
    return copy;
}

bool RegexMatcher::Create(const std::string &pattern, const std::string &subject, bool caseSensitive,
                          bool multiline, bool global, bool quoteEscape)
{
    regex_.reset();
    matches_.reset();
    offsets_.reset();
    subject_ = subject;

    auto compiled = std::make_shared<Compiled>();
    compiled->pattern = quoteEscape ? platform::text::replaceAll(pattern, "#引号", "\"") : pattern;
    compiled->ignoreCase = !caseSensitive;
    compiled->global = global;
    compiled->code = platform::regex::compile(platform::text::gbkToUtf16(compiled->pattern),
                                              platform::regex::Options{!caseSensitive, multiline});
    regex_ = compiled;
    if (!compiled->code)
        return false;

    auto found = std::make_shared<Matches>();
    found->subject = platform::text::gbkToUtf16(subject_);
    found->list = platform::regex::findMatches(*compiled->code, found->subject, global);
    if (!found->list.complete)
        return false;
    matches_ = std::move(found);
    return true;
}

void RegexMatcher::Noop() {}

std::string RegexMatcher::GetPattern() const { return regex_ ? regex_->pattern : std::string(); }

std::string RegexMatcher::Replace(const std::string &replacement) const
{
    if (!matches_)
        return {};
    return platform::text::utf16ToGbk(platform::regex::replaceMatches(
        matches_->list, matches_->subject, platform::text::gbkToUtf16(replacement)));
}

int RegexMatcher::MatchCount() const { return matches_ ? static_cast<int>(matches_->list.count()) : 0; }

int RegexMatcher::positionOf(size_t unitOffset, const std::string &text) const
{
    if (!offsets_)
        offsets_ = std::make_unique<Offsets>(Offsets{GbkOffsetMap(subject_)});
    size_t at = offsets_->map.byteOffset(unitOffset);
    if (at == GbkOffsetMap::npos) {
        // Not well-formed GBK before the match: search the text from the character offset, which
        // is never beyond the byte offset.
        at = FindText(subject_, text, unitOffset, regex_ && regex_->ignoreCase);
        if (at == std::string::npos)
            return -2;
    }
    return at > static_cast<size_t>(INT32_MAX) ? -2 : static_cast<int>(at);
}

std::string RegexMatcher::MatchText(int index, int *position) const
{
    if (position != nullptr)
        *position = -2;
    if (index < 1 || index > MatchCount())
        return {};
    const auto i = static_cast<size_t>(index - 1);
    const uint32_t start = matches_->list.start(i, 0);
    std::string text = platform::text::utf16ToGbk(
        std::u16string_view(matches_->subject).substr(start, matches_->list.end(i, 0) - start));
    if (position != nullptr)
        *position = positionOf(start, text);
    return text;
}

std::string RegexMatcher::SubMatchText(int matchIndex, int groupIndex, int *position) const
{
    if (position != nullptr)
        *position = -2;
    if (matchIndex < 1 || matchIndex > MatchCount() || groupIndex < 1 || groupIndex > matches_->list.groups)
        return {};
    const auto i = static_cast<size_t>(matchIndex - 1);
    const uint32_t start = matches_->list.start(i, groupIndex);
    if (start == platform::regex::MatchList::kNoGroup)
        return {};
    std::string text = platform::text::utf16ToGbk(
        std::u16string_view(matches_->subject).substr(start, matches_->list.end(i, groupIndex) - start));
    if (position != nullptr)
        *position = positionOf(start, text);
    return text;
}

int RegexMatcher::SubMatchCount() const { return MatchCount() > 0 ? matches_->list.groups : 0; }
