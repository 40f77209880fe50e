// Calendar date-times as OLE automation dates, and their formatting with the date and time pictures of
// the Windows national-language functions. The program stores entry times as OLE dates and compares
// them through their formatted digits, so these rules decide what the software list shows.
//
// Pictures are GBK texts. Date pictures: d dd (day), ddd dddd (weekday name), M MM (month), MMM MMMM
// (month name), y yy yyyy (year; yyy and longer runs act as yyyy), gg (era, empty here). Time pictures:
// h hh (12-hour, or 24-hour when forced), H HH (24-hour), m mm, s ss, t tt (morning / afternoon mark).
// Text in single quotes is copied without the quotes ('' is one quote); every other character,
// double-byte characters whole, is copied unchanged. Names are the Chinese ones (the program runs with
// the Chinese locale): 一月..十二月 / 1月..12月, 星期日.. / 周日.., 上午 / 下午.
//
// Pure functions of their arguments; any thread.
#pragma once

#include "platform/datetime/clock.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform::datetime {

// The OLE automation dates that convert: 1 January 100 00:00:00 to 31 December 9999 23:59:59.
inline constexpr double kEarliestOleDate = -657434.0;
inline constexpr double kLatestOleDate = 2958465.99999;

// True when the fields name a real calendar day of the years 100..9999 and a time of day (hour 0..23,
// minute and second 0..59).
bool isValidDateTime(int year, int month, int day, int hour, int minute, int second);

// The OLE date (days since 30 December 1899; the fraction is the time of day, also for dates before
// 1899, where -1.25 is 29 December 1899 06:00) of the fields; nullopt when they are not valid.
// dayOfWeek is ignored.
std::optional<double> toOleDate(const LocalTime &time);

// The calendar fields of an OLE date, rounded to the nearest second, dayOfWeek filled in; nullopt
// outside kEarliestOleDate..kLatestOleDate or for a value that is not a number.
std::optional<LocalTime> fromOleDate(double oleDate);

// Whole seconds from 1 January 100 00:00:00 to the (valid) fields; exact integer arithmetic, for
// differences that must not suffer rounding.
long long secondsSinceYear100(const LocalTime &time);

// The date / time of `time` written with the picture (see above). `force24Hour` makes h and hh give
// 00..23 and drops nothing else.
std::string formatDate(const LocalTime &time, std::string_view picture);
std::string formatTime(const LocalTime &time, std::string_view picture, bool force24Hour);

} // namespace platform::datetime
