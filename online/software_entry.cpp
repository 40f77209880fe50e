// Picking the list text, splitting an entry, and the status rule.
#include "online/software_entry.h"

#include "online/date_time_text.h"
#include "online/regex_matcher.h"
#include "online/text_replace.h"
#include "platform/text/text.h"

#include <cstdlib>

namespace {
// The widest 14-digit difference still shown as a remaining time.
constexpr long long kLongestRemaining = 497999906;

long long digitsValue(double t)
{
    const std::string digits = DateTimeDigits(t);
    return digits.empty() ? 0 : std::strtoll(digits.c_str(), nullptr, 10);
}
} // namespace

std::string PickListText(const std::string &page, bool &found)
{
    RegexMatcher matcher;
    matcher.Create("卡-(.*?)-密", page, false, true, true, false);
    found = matcher.MatchCount() >= 1;
    if (!found)
        return {};
    return ReplaceMany(matcher.MatchText(1), 3, 1, false, {{"卡-", ""}, {"-密", ""}});
}

SoftwareEntry ParseSoftwareEntry(std::string_view piece)
{
    SoftwareEntry entry;
    const auto parts = platform::text::splitText(piece, "=");
    if (parts.empty())
        return entry;
    entry.name = parts[0];
    if (parts.size() < 2)
        return entry;
    const auto numberAndTime = platform::text::splitText(parts[1], "+");
    if (numberAndTime.empty())
        return entry;
    entry.number = numberAndTime[0];
    if (numberAndTime.size() < 2)
        return entry;
    entry.time = ReplaceMany(numberAndTime[1], 1, 1, false, {{"&nbsp;", " "}});
    entry.hasTime = true;
    return entry;
}

EntryStatusResult ClassifyEntryTime(std::string_view timeText, double now)
{
    const double entryTime = ReadDateTimeText(timeText);
    const long long difference = digitsValue(entryTime) - digitsValue(now);
    if (difference < 0)
        return {EntryStatusKind::Downloadable, kStatusDownloadable};
    if (difference > kLongestRemaining)
        return {EntryStatusKind::Forbidden, kStatusForbidden};
    // The entry time cut to whole seconds by writing it out and reading it back.
    const double wholeSeconds =
        ReadDateTimeText(FormatDateTime(entryTime, "yyyy年MM月dd日", "hh时mm分ss秒", true, 0));
    return {EntryStatusKind::Remaining, kStatusRemainingPrefix + RemainingTimeText(wholeSeconds, now)};
}
