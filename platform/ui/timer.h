// A timer: ticks every `period` milliseconds on the window thread. Period 0 stops it. As with the
// Windows timer it stands in for, a period below 10 ms runs at 10 ms, so a 1 ms timer means "as fast
// as the system allows" without burning a core.
#pragma once

#include "platform/ui/control.h"

namespace platform::ui {

class Timer {
public:
    Timer(Control &parent, std::string_view name, int period = 0);
    ~Timer();
    Timer(const Timer &) = delete;
    Timer &operator=(const Timer &) = delete;

    // The period as set (0 = stopped); the effective period is at least 10 ms.
    int period() const { return period_; }
    void setPeriod(int milliseconds);
    bool isRunning() const;
    void onTick(std::function<void()> handler);
    // Runs the tick handler once, as a tick would; for tests.
    void tick();

    static constexpr int kMinimumPeriod = 10;

private:
    struct Impl;
    Impl *impl_;
    int period_ = 0;
};

} // namespace platform::ui
