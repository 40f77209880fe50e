// Date-times of the software list: reading an entry's time text, the 14-digit form the status rule
// compares, picture formatting and the remaining-time text. Date-times are OLE automation dates (days
// since 30 December 1899, the fraction the time of day), local time. Texts are GBK.
// Pure functions; any thread.
#pragma once

#include <string>
#include <string_view>

// 1 January 100 00:00:00, what a text that is no date-time reads as.
inline constexpr double kEarliestDateTime = -657434.0;

// Reads a time text as a date-time. Full-width digits, punctuation and spaces count as their ASCII
// forms. Then: a year of up to four digits, a month, a day, an hour, a minute and a second of up to two
// digits each. After the year, month, hour and minute one separator may follow ("-", ".", "/", ":" or
// 年, 月, 时, 分 respectively); after the day one of "-", ".", "/", ":", a space or 日; after the second
// only 秒. Hour, minute and second may be left out (0). The fields must form a real date and time of
// day of the years 100..9999 and nothing may follow. Anything else reads as kEarliestDateTime.
double ReadDateTimeText(std::string_view text);

// The date part written with `datePicture` directly followed by the time part written with
// `timePicture` (pictures as the national-language functions take them, see
// platform/datetime/format.h); `force24Hour` makes "hh" give 00..23. `locale` is accepted for the
// program's calls and ignored (the Chinese locale). Empty when `t` is no convertible date-time.
std::string FormatDateTime(double t, std::string_view datePicture, std::string_view timePicture, bool force24Hour,
                           int locale = 0);

// The 14-digit text yyyyMMddhhmmss (24-hour clock) of `t`; empty when it does not convert.
std::string DateTimeDigits(double t);

// The distance between two date-times as days, hours, minutes and seconds: "<d>天<h>时<m>分<s>秒",
// each part only when its number is not 0; empty for equal times (or one that does not convert). The
// seconds are whole seconds, made positive, truncated towards zero.
std::string RemainingTimeText(double later, double earlier);

// The current local time (platform::datetime::now(), so tests can fix it) as a date-time.
double CurrentDateTime();
