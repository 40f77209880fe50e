// Device arrival and departure notifications. libimobiledevice reports USB devices on libusbmuxd's
// own event thread (holding libusbmuxd's listener lock); we turn each report into a handle and post
// {handle, 1|2} to every subscriber's run loop, so the subscriber's callback runs on its own thread
// inside CFRunLoopRun. Nothing here blocks the event thread beyond short bookkeeping.
//
// Result codes:
//   AMDeviceNotificationSubscribe            0; kAMDInvalidArgumentError (NULL callback);
//                                            kAMDUndefinedError (libusbmuxd could not start watching)
//   AMDeviceNotificationUnsubscribe          0; kAMDInvalidArgumentError (unknown subscription)
//   AMRestoreRegisterForDeviceNotifications  0 always
#include "device_registry.h"
#include "mobiledevice.h"

#include <usbmuxd.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

using namespace amd;

namespace {

struct Subscriber {
    uint32_t id;
    AMDeviceCallback callback;
    CFRunLoopRef loop; // retained
};

struct Notifications {
    // Guards the subscriber list and serialises event fan-out against subscribing, so a new
    // subscriber sees every present device exactly once (from the snapshot or from an event).
    std::mutex mutex;
    std::vector<Subscriber> subscribers;
    uint32_t lastId = 0;

    std::mutex startMutex; // guards `watching`
    bool watching = false;
};

// Never destroyed: the event thread may still report while the process exits.
Notifications &notifications()
{
    static auto *n = new Notifications;
    return *n;
}

struct Delivery {
    uint32_t subscriber;
    AMDeviceNotificationRecord record;
};

// Runs on the subscriber's thread, inside its run loop.
void deliver(void *ctx)
{
    auto *delivery = static_cast<Delivery *>(ctx);
    AMDeviceCallback callback = nullptr;
    {
        Notifications &n = notifications();
        std::lock_guard lock(n.mutex);
        for (const Subscriber &s : n.subscribers)
            if (s.id == delivery->subscriber)
                callback = s.callback;
    }
    // Called without our lock, so the callback may call any function of this library.
    if (callback) {
        AMDeviceNotificationRecord record = delivery->record;
        callback(&record);
    }
    delete delivery;
}

void post(const Subscriber &s, uint32_t handle, int32_t message)
{
    CFRunLoopPerformFunction(s.loop, deliver, new Delivery{s.id, {handle, message}});
}

void onDeviceEvent(const idevice_event_t *event, void *)
{
    if (event == nullptr || event->udid == nullptr || event->conn_type != CONNECTION_USBMUXD)
        return; // network devices are not ours
    const std::string udid = event->udid; // valid only during this call
    Notifications &n = notifications();
    std::lock_guard lock(n.mutex);
    uint32_t handle = 0;
    int32_t message = 0;
    switch (static_cast<idevice_event_type>(event->event)) {
    case IDEVICE_DEVICE_ADD: {
        uint32_t retired = 0;
        handle = deviceArrived(udid, &retired);
        if (retired != 0)
            for (const Subscriber &s : n.subscribers)
                post(s, retired, kAMDeviceDetached);
        message = kAMDeviceAttached;
        break;
    }
    case IDEVICE_DEVICE_REMOVE:
        handle = deviceLeft(udid);
        message = kAMDeviceDetached;
        break;
    case IDEVICE_DEVICE_PAIRED:
        break;
    }
    if (handle == 0)
        return;
    for (const Subscriber &s : n.subscribers)
        post(s, handle, message);
}

// Starts libusbmuxd's watcher once per process. Called without n.mutex: libusbmuxd calls back
// synchronously under its own lock when it already has a watcher.
bool startWatching()
{
    Notifications &n = notifications();
    std::lock_guard lock(n.startMutex);
    if (n.watching)
        return true;
    // Without this, libusbmuxd waits for /var/run/usbmuxd to appear via inotify whenever its
    // connection fails, whatever USBMUXD_SOCKET_ADDRESS says, and never sees a daemon that starts
    // (or restarts) on another path. Polling once a second finds it.
    libusbmuxd_set_use_inotify(0);
    n.watching = idevice_event_subscribe(onDeviceEvent, nullptr) == IDEVICE_E_SUCCESS;
    return n.watching;
}

} // namespace

extern "C" {

KELM_AMD_EXPORT int32_t AMDeviceNotificationSubscribe(AMDeviceCallback callback, uint32_t, uint32_t, uint32_t,
                                                      uint32_t *subscription)
{
    if (callback == nullptr)
        return kAMDInvalidArgumentError;
    Notifications &n = notifications();
    uint32_t id = 0;
    {
        std::lock_guard lock(n.mutex);
        id = ++n.lastId;
        Subscriber s{id, callback, CFRetain(CFRunLoopGetCurrent())};
        for (uint32_t handle : presentDevices())
            post(s, handle, kAMDeviceAttached);
        n.subscribers.push_back(s);
    }
    if (!startWatching()) {
        AMDeviceNotificationUnsubscribe(id);
        return kAMDUndefinedError;
    }
    if (subscription)
        *subscription = id;
    return kAMDSuccess;
}

KELM_AMD_EXPORT int32_t AMDeviceNotificationUnsubscribe(uint32_t subscription)
{
    Notifications &n = notifications();
    CFRunLoopRef loop = nullptr;
    {
        std::lock_guard lock(n.mutex);
        auto it = std::find_if(n.subscribers.begin(), n.subscribers.end(),
                               [&](const Subscriber &s) { return s.id == subscription; });
        if (it == n.subscribers.end())
            return kAMDInvalidArgumentError;
        loop = it->loop;
        n.subscribers.erase(it);
    }
    CFRelease(loop);
    return kAMDSuccess;
}

KELM_AMD_EXPORT int32_t AMRestoreRegisterForDeviceNotifications(void (*)(void *), void (*)(void *), void (*)(void *),
                                                                void (*)(void *), uint32_t, uint32_t *subscription)
{
    static std::atomic<uint32_t> lastId{0};
    if (subscription)
        *subscription = ++lastId;
    return kAMDSuccess;
}

} // extern "C"
