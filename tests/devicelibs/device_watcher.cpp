// A device-notification thread for tests (see device_watcher.h).
#include "device_watcher.h"

#include <atomic>
#include <chrono>
#include <future>
#include <map>

namespace kelm::test {

namespace {

// The library's callback carries no context: watchers are found by the thread the callback runs
// on, which is also what the tests check.
std::mutex watchersMutex;
std::map<std::thread::id, DeviceWatcher *> watchers;
std::atomic<bool> strayCallback{false};

constexpr auto kFailSafe = std::chrono::seconds(30);

} // namespace

int32_t DeviceWatcher::start()
{
    std::promise<int32_t> subscribed;
    thread_ = std::thread([this, &subscribed] {
        {
            std::lock_guard lock(watchersMutex);
            watchers[std::this_thread::get_id()] = this;
        }
        {
            std::lock_guard lock(mutex_);
            loopThread_ = std::this_thread::get_id();
        }
        loop_ = CFRunLoopGetCurrent();
        const int32_t rc = AMDeviceNotificationSubscribe(onNotification, 0, 1, 0, &subscription_);
        subscribed.set_value(rc);
        if (rc == 0)
            CFRunLoopRun();
        std::lock_guard lock(watchersMutex);
        watchers.erase(std::this_thread::get_id());
    });
    return subscribed.get_future().get();
}

DeviceWatcher::~DeviceWatcher()
{
    if (!thread_.joinable())
        return;
    if (subscription_ != 0)
        CFRunLoopPerformFunction(loop_, stopLoop, this);
    thread_.join();
}

void DeviceWatcher::stopLoop(void *ctx)
{
    auto *self = static_cast<DeviceWatcher *>(ctx);
    AMDeviceNotificationUnsubscribe(self->subscription_);
    CFRunLoopStop(CFRunLoopGetCurrent());
}

void DeviceWatcher::onNotification(AMDeviceNotificationRecord *record)
{
    DeviceWatcher *self = nullptr;
    {
        std::lock_guard lock(watchersMutex);
        auto it = watchers.find(std::this_thread::get_id());
        if (it != watchers.end())
            self = it->second;
    }
    if (self == nullptr) {
        strayCallback = true;
        return;
    }
    self->add(*record);
}

void DeviceWatcher::add(const AMDeviceNotificationRecord &record)
{
    std::lock_guard lock(mutex_);
    if (std::this_thread::get_id() != loopThread_)
        onOwnThread_ = false;
    records_.push_back(record);
    changed_.notify_all();
}

AMDeviceNotificationRecord DeviceWatcher::next()
{
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, kFailSafe, [this] { return !records_.empty(); }))
        return {0, 0};
    AMDeviceNotificationRecord r = records_.front();
    records_.pop_front();
    return r;
}

uint32_t DeviceWatcher::nextArrival()
{
    AMDeviceNotificationRecord r = next();
    return r.message == kAMDeviceAttached ? r.device : 0;
}

uint32_t DeviceWatcher::nextDeparture()
{
    AMDeviceNotificationRecord r = next();
    return r.message == kAMDeviceDetached ? r.device : 0;
}

bool DeviceWatcher::anyStrayCallback() { return strayCallback; }

bool DeviceWatcher::idle()
{
    std::lock_guard lock(mutex_);
    return records_.empty();
}

namespace {
struct LoopCall {
    void (*fn)(void *);
    void *ctx;
    std::promise<void> done;
};
} // namespace

void DeviceWatcher::runOnLoop(void (*fn)(void *), void *ctx)
{
    LoopCall call{fn, ctx, {}};
    auto finished = call.done.get_future();
    CFRunLoopPerformFunction(
        loop_,
        [](void *p) {
            auto *c = static_cast<LoopCall *>(p);
            c->fn(c->ctx);
            c->done.set_value();
        },
        &call);
    finished.wait();
}

} // namespace kelm::test
