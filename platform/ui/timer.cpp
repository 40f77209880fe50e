// Timers over QTimer, with the Windows minimum period.
#include "platform/ui/timer.h"

#include "platform/ui/qt_bridge.h"

#include <QTimer>
#include <QWidget>

namespace platform::ui {

struct Timer::Impl {
    QTimer timer;
    std::function<void()> handler;
};

Timer::Timer(Control &parent, std::string_view name, int period) : impl_(new Impl)
{
    impl_->timer.setObjectName(toQString(name));
    impl_->timer.setParent(parent.widget());
    impl_->timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&impl_->timer, &QTimer::timeout, &impl_->timer, [this] { tick(); });
    setPeriod(period);
}

Timer::~Timer()
{
    impl_->timer.stop();
    impl_->timer.setParent(nullptr);
    delete impl_;
}

void Timer::setPeriod(int milliseconds)
{
    period_ = milliseconds < 0 ? 0 : milliseconds;
    if (period_ == 0) {
        impl_->timer.stop();
        return;
    }
    impl_->timer.start(std::max(period_, kMinimumPeriod));
}

bool Timer::isRunning() const { return impl_->timer.isActive(); }

void Timer::onTick(std::function<void()> handler) { impl_->handler = std::move(handler); }

void Timer::tick()
{
    if (impl_->handler)
        impl_->handler();
}

} // namespace platform::ui
