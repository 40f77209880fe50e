// System clock through localtime_r.
#include "platform/datetime/clock.h"

#include <ctime>

namespace platform::datetime {
namespace {
std::function<LocalTime()> gTestClock;
} // namespace

LocalTime now()
{
    if (gTestClock)
        return gTestClock();
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_wday};
}

void setTestClock(std::function<LocalTime()> clock) { gTestClock = std::move(clock); }

} // namespace platform::datetime
