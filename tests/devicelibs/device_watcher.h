// Test helper: a thread that subscribes to libMobileDevice.so's device notifications and runs its
// CoreFoundation run loop, as the program's device thread does, collecting the records it gets.
#pragma once

#include "mobiledevice.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace kelm::test {

class DeviceWatcher {
public:
    DeviceWatcher() = default;
    ~DeviceWatcher(); // unsubscribes on its own thread, stops the loop, joins
    DeviceWatcher(const DeviceWatcher &) = delete;
    DeviceWatcher &operator=(const DeviceWatcher &) = delete;

    // Starts the thread; returns AMDeviceNotificationSubscribe's result.
    int32_t start();

    // The next record, waiting for it (fail-safe limit of 30 s, then {0, 0}).
    AMDeviceNotificationRecord next();
    // Waits for the next record and checks its message; returns its handle, or 0.
    uint32_t nextArrival();
    uint32_t nextDeparture();
    // True when no record is queued right now (no waiting).
    bool idle();
    // Every callback so far ran on this watcher's own thread, inside its run loop.
    bool callbacksOnOwnThread() const { return onOwnThread_; }
    // A callback ran on a thread that is no watcher's (it must run inside a subscriber's loop).
    static bool anyStrayCallback();

    // Runs fn on the watcher's thread (inside the run loop) and waits for it.
    void runOnLoop(void (*fn)(void *), void *ctx);

private:
    static void onNotification(AMDeviceNotificationRecord *record);
    static void stopLoop(void *ctx);
    void add(const AMDeviceNotificationRecord &record);

    std::thread thread_;
    std::thread::id loopThread_; // set by the thread itself before it subscribes (under mutex_)
    CFRunLoopRef loop_ = nullptr;
    uint32_t subscription_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<AMDeviceNotificationRecord> records_;
    bool onOwnThread_ = true;
};

} // namespace kelm::test
