// The software list's date-time reading and writing.
#include "online/date_time_text.h"

#include "platform/datetime/clock.h"
#include "platform/datetime/format.h"

#include <cmath>
#include <cstdlib>
#include <optional>

namespace dt = platform::datetime;

namespace {

// The text with the GBK full-width forms (A3 A1..A3 FE for "!".."~", A1 A1 for the space) made ASCII.
std::string asciiForms(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead >= 0x81 && lead <= 0xFE && i + 1 < text.size()) {
            const auto trail = static_cast<unsigned char>(text[i + 1]);
            if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
                out += static_cast<char>(trail - 0x80);
            else if (lead == 0xA1 && trail == 0xA1)
                out += ' ';
            else
                out.append(text.substr(i, 2));
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }

    // Up to `maxDigits` digits, at least one.
    std::optional<int> digits(size_t maxDigits)
    {
        int value = 0;
        size_t n = 0;
        while (n < maxDigits && pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            value = value * 10 + (text_[pos_] - '0');
            ++pos_;
            ++n;
        }
        if (n == 0)
            return std::nullopt;
        return value;
    }

    // Skips one of the ASCII separators in `ascii` or the double-byte character `word`, if present.
    void separator(std::string_view ascii, std::string_view word)
    {
        if (pos_ < text_.size() && ascii.find(text_[pos_]) != std::string_view::npos) {
            ++pos_;
            return;
        }
        if (text_.substr(pos_, word.size()) == word)
            pos_ += word.size();
    }

    bool take(std::string_view word)
    {
        if (text_.substr(pos_, word.size()) != word)
            return false;
        pos_ += word.size();
        return true;
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

std::optional<double> readFields(std::string_view text)
{
    Reader r(text);
    dt::LocalTime t;
    const auto year = r.digits(4);
    if (!year)
        return std::nullopt;
    r.separator("-./:", "年");
    const auto month = r.digits(2);
    if (!month)
        return std::nullopt;
    r.separator("-./:", "月");
    const auto day = r.digits(2);
    if (!day)
        return std::nullopt;
    r.separator("-./: ", "日");
    t.year = *year;
    t.month = *month;
    t.day = *day;
    if (!r.atEnd()) {
        const auto hour = r.digits(2);
        if (!hour)
            return std::nullopt;
        t.hour = *hour;
        r.separator("-./:", "时");
        if (!r.atEnd()) {
            const auto minute = r.digits(2);
            if (!minute)
                return std::nullopt;
            t.minute = *minute;
            r.separator("-./:", "分");
            if (!r.atEnd()) {
                const auto second = r.digits(2);
                if (!second)
                    return std::nullopt;
                t.second = *second;
                r.take("秒");
            }
        }
    }
    if (!r.atEnd())
        return std::nullopt;
    return dt::toOleDate(t);
}

// Whole seconds since 1 January 100 of a date-time, exact for the whole-second times the list holds.
std::optional<long long> wholeSeconds(double t)
{
    const auto fields = dt::fromOleDate(t);
    if (!fields)
        return std::nullopt;
    return dt::secondsSinceYear100(*fields);
}

} // namespace

double ReadDateTimeText(std::string_view text)
{
    return readFields(asciiForms(text)).value_or(kEarliestDateTime);
}

std::string FormatDateTime(double t, std::string_view datePicture, std::string_view timePicture, bool force24Hour,
                           int /*locale*/)
{
    const auto fields = dt::fromOleDate(t);
    if (!fields)
        return {};
    return dt::formatDate(*fields, datePicture) + dt::formatTime(*fields, timePicture, force24Hour);
}

std::string DateTimeDigits(double t) { return FormatDateTime(t, "yyyyMMdd", "hhmmss", true, 0); }

std::string RemainingTimeText(double later, double earlier)
{
    const auto a = wholeSeconds(later);
    const auto b = wholeSeconds(earlier);
    if (!a || !b)
        return {};
    const long long s = std::llabs(*a - *b);
    const long long parts[] = {s / 86400, s % 86400 / 3600, s % 3600 / 60, s % 60};
    const char *const units[] = {"天", "时", "分", "秒"};
    std::string text;
    for (int i = 0; i < 4; ++i)
        if (parts[i] != 0)
            text += std::to_string(parts[i]) + units[i];
    return text;
}

double CurrentDateTime()
{
    dt::LocalTime now = dt::now();
    return dt::toOleDate(now).value_or(kEarliestDateTime);
}
