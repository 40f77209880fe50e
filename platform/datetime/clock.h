// The clock: the current local date and time, with a seam for tests.
#pragma once

#include <functional>

namespace platform::datetime {

struct LocalTime {
    int year = 0;
    int month = 0; // 1..12
    int day = 0;   // 1..31
    int hour = 0;  // 0..23
    int minute = 0;
    int second = 0;
    int dayOfWeek = 0; // 0 Sunday .. 6 Saturday
};

// The current local time (or the test clock's). Any thread.
LocalTime now();

// While set, now() returns what the function returns. Empty restores the system clock. Set it before
// other threads read the clock.
void setTestClock(std::function<LocalTime()> clock);

} // namespace platform::datetime
