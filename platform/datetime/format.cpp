// OLE automation dates to calendar fields and back, and picture formatting of dates and times.
#include "platform/datetime/format.h"

#include <cmath>
#include <cstdio>

namespace platform::datetime {
namespace {

// Days from 1 January 1970 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
long long daysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int &year, int &month, int &day)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

const long long kOleEpochDays = daysFromCivil(1899, 12, 30);

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

std::string number(int value, int width)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

bool isLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

const char *const kMonthNames[] = {"一月", "二月", "三月", "四月", "五月", "六月",
                                   "七月", "八月", "九月", "十月", "十一月", "十二月"};
const char *const kDayNames[] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
const char *const kShortDayNames[] = {"周日", "周一", "周二", "周三", "周四", "周五", "周六"};

// Walks a picture: runs of one pattern letter go to `field` (letter, run length), quoted text and
// every other character are copied.
template <typename Field>
std::string expand(std::string_view picture, std::string_view letters, Field field)
{
    std::string out;
    size_t i = 0;
    while (i < picture.size()) {
        const char c = picture[i];
        if (isLeadByte(static_cast<unsigned char>(c)) && i + 1 < picture.size()) {
            out.append(picture.substr(i, 2));
            i += 2;
            continue;
        }
        if (c == '\'') {
            ++i;
            while (i < picture.size()) {
                if (picture[i] == '\'') {
                    if (i + 1 < picture.size() && picture[i + 1] == '\'') {
                        out += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                out += picture[i++];
            }
            continue;
        }
        if (letters.find(c) != std::string_view::npos) {
            size_t run = 1;
            while (i + run < picture.size() && picture[i + run] == c)
                ++run;
            out += field(c, run);
            i += run;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

int dayOfWeekOf(const LocalTime &t)
{
    const long long days = daysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day));
    // 1 January 1970 was a Thursday (4).
    return static_cast<int>(((days % 7) + 7 + 4) % 7);
}

} // namespace

bool isValidDateTime(int year, int month, int day, int hour, int minute, int second)
{
    if (year < 100 || year > 9999 || month < 1 || month > 12)
        return false;
    if (day < 1 || day > daysInMonth(year, month))
        return false;
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

std::optional<double> toOleDate(const LocalTime &t)
{
    if (!isValidDateTime(t.year, t.month, t.day, t.hour, t.minute, t.second))
        return std::nullopt;
    const long long days =
        daysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day)) - kOleEpochDays;
    const double fraction = (t.hour * 3600 + t.minute * 60 + t.second) / 86400.0;
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

std::optional<LocalTime> fromOleDate(double oleDate)
{
    if (!std::isfinite(oleDate) || oleDate < kEarliestOleDate || oleDate >= kLatestOleDate + 0.00001)
        return std::nullopt;
    const double whole = std::trunc(oleDate);
    long long days = static_cast<long long>(whole);
    long long seconds = std::llround(std::fabs(oleDate - whole) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++days;
    }
    LocalTime t;
    civilFromDays(days + kOleEpochDays, t.year, t.month, t.day);
    if (t.year > 9999)
        return std::nullopt;
    t.hour = static_cast<int>(seconds / 3600);
    t.minute = static_cast<int>(seconds % 3600 / 60);
    t.second = static_cast<int>(seconds % 60);
    t.dayOfWeek = dayOfWeekOf(t);
    return t;
}

long long secondsSinceYear100(const LocalTime &t)
{
    const long long days = daysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day))
                           - daysFromCivil(100, 1, 1);
    return days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

std::string formatDate(const LocalTime &t, std::string_view picture)
{
    return expand(picture, "dMyg", [&t](char letter, size_t run) -> std::string {
        switch (letter) {
        case 'd':
            if (run <= 2)
                return number(t.day, static_cast<int>(run));
            return run == 3 ? kShortDayNames[dayOfWeekOf(t)] : kDayNames[dayOfWeekOf(t)];
        case 'M':
            if (run <= 2)
                return number(t.month, static_cast<int>(run));
            return run == 3 ? std::to_string(t.month) + "月" : kMonthNames[t.month - 1];
        case 'y':
            if (run <= 2)
                return number(t.year % 100, static_cast<int>(run));
            return number(t.year, 4);
        case 'g':
            return "公元";
        }
        return {};
    });
}

std::string formatTime(const LocalTime &t, std::string_view picture, bool force24Hour)
{
    return expand(picture, "hHmst", [&t, force24Hour](char letter, size_t run) -> std::string {
        const int width = run >= 2 ? 2 : 1;
        switch (letter) {
        case 'h': {
            const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
            return number(force24Hour ? t.hour : hour12, width);
        }
        case 'H':
            return number(t.hour, width);
        case 'm':
            return number(t.minute, width);
        case 's':
            return number(t.second, width);
        case 't': {
            const std::string mark = t.hour < 12 ? "上午" : "下午";
            return run == 1 ? mark.substr(0, 2) : mark;
        }
        }
        return {};
    });
}

} // namespace platform::datetime
