// The device thread from its start to the run loop.
#include "device/device_thread.h"

#include "app/log_pane.h"
#include "device/callback_thunk.h"
#include "device/connection_lifecycle.h"
#include "device/device_functions.h"
#include "device/result_codes.h"

#include <atomic>
#include <thread>

namespace {

std::atomic<void (*)()> gStarter{nullptr};

// The routines the thunks call: one pointer argument each.
void ArrivalRoutine(void *record) { OnDeviceNotification(static_cast<const DeviceNotificationRecord *>(record)); }
void IgnoredNotification(void *) {}

DeviceCallback ThunkFor(void (*routine)(void *))
{
    return reinterpret_cast<DeviceCallback>(MakeCallbackThunk(reinterpret_cast<std::uintptr_t>(routine), 1));
}

void Log(const std::string &message) { AppendLog(LogSourceTag, message); }

} // namespace

void DeviceThreadMain(void *)
{
    uint32_t subscription = 0;
    const DeviceCallback arrival = ThunkFor(ArrivalRoutine);
    if (!arrival) {
        Log("获取回调指针错误,请重新打开软件");
        return;
    }
    if (const int32_t result = MobileDevice::AMDeviceNotificationSubscribe(arrival, 0, 1, 0, &subscription);
        result < 0) {
        Log(AmdErrorName(result));
        return;
    }
    // A failed thunk here is passed on as 0: nothing depends on these four.
    const DeviceCallback restore[4] = {ThunkFor(IgnoredNotification), ThunkFor(IgnoredNotification),
                                       ThunkFor(IgnoredNotification), ThunkFor(IgnoredNotification)};
    if (const int32_t result = MobileDevice::AMRestoreRegisterForDeviceNotifications(
            restore[0], restore[1], restore[2], restore[3], 0, &subscription);
        result < 0) {
        Log(AmdErrorName(result));
        return;
    }
    CoreFoundation::CFRunLoopRun();
    Log("完成指针获取");
}

void StartDeviceThread()
{
    if (auto starter = gStarter.load()) {
        starter();
        return;
    }
    std::thread(DeviceThreadMain, nullptr).detach();
}

void SetDeviceThreadStarter(void (*starter)()) { gStarter.store(starter); }
