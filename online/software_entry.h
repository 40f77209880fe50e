// The software list's pure rules: picking the list text out of a downloaded page, reading one entry
// (name "=" number "+" time) and the status rule that compares an entry's time with now.
// Texts are GBK. Pure functions; any thread.
#pragma once

#include <string>
#include <string_view>

// The list text: the text between the first "卡-" and the nearest "-密" after it on one line of the
// page (the search does not cross a line feed), with up to three of each marker removed from it.
// `found` is false when the page holds no such text (then the result is empty).
std::string PickListText(const std::string &page, bool &found);

// One entry of the list text, split as the list shows it. A malformed entry keeps the fields it has:
// without "=" only the name (the whole piece) is set; without "+" after the "=" the number is the
// rest and there is no time. Pieces after a second "=" or "+" are ignored.
struct SoftwareEntry {
    std::string name;
    std::string number;
    std::string time;     // the first "&nbsp;" (any letter case) replaced by a space
    bool hasTime = false; // false for a malformed entry: it gets no status
};
SoftwareEntry ParseSoftwareEntry(std::string_view piece);

enum class EntryStatusKind {
    Downloadable, // the time lies before now (or is no date-time): "可以下载"
    Forbidden,    // the 14-digit difference is above 497999906: "禁止下载"
    Remaining,    // otherwise: "剩余" and the remaining time
};
struct EntryStatusResult {
    EntryStatusKind kind;
    std::string text;
};

// The status of an entry time at `now` (a date-time as in date_time_text.h). The comparison is the
// difference of the two 14-digit yyyyMMddhhmmss numbers, not a difference in time: a change of month
// or year moves it by large steps, which is the program's rule.
EntryStatusResult ClassifyEntryTime(std::string_view timeText, double now);

// The status texts.
inline constexpr char kStatusDownloadable[] = "可以下载";
inline constexpr char kStatusForbidden[] = "禁止下载";
inline constexpr char kStatusRemainingPrefix[] = "剩余";
