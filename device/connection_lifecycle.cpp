// The connection steps of an arriving device and the handling of a departure.
#include "device/connection_lifecycle.h"

#include "app/log_pane.h"
#include "app/main_window.h"
#include "device/device_context.h"
#include "device/device_functions.h"
#include "device/result_codes.h"

#include <atomic>
#include <string>

namespace {

std::atomic<void (*)()> gSessionStartedHandler{nullptr};

void Log(const std::string &message) { AppendLog(LogSourceTag, message); }

// A failure line: the fixed prefix ending in ">>" and the name of the result.
void LogResult(const char *prefix, int32_t result) { Log(prefix + AmdErrorName(static_cast<int64_t>(result))); }

void OnDeviceArrived(uint32_t handle)
{
    // Stored first, whatever happens next: the commands act on the newest device.
    gDeviceContext->deviceHandle.store(handle);
    const uint32_t device = handle;

    if (const int32_t result = MobileDevice::AMDeviceConnect(device); result != 0) {
        LogResult("设备连接失败>>", result);
        return;
    }
    Log("设备连接成功");

    if (const int32_t result = MobileDevice::AMDeviceValidatePairing(device); result != 0) {
        LogResult("验证配对失败,需要配对>>", result);
        if (const int32_t paired = MobileDevice::AMDevicePair(device); paired != 0) {
            LogResult("验证配对失败,停止配对>>", paired);
            return;
        }
    }
    Log("设备配对成功");

    const int32_t session = MobileDevice::AMDeviceStartSession(device);
    if (session == 0) {
        Log("创建连接成功");
        if (auto handler = gSessionStartedHandler.load())
            handler();
        return;
    }
    LogResult("创建连接失败>>", session);
    if (session == kAMDInvalidHostIDError)
        return;
    // Any other refusal: reconnect without a session, silently.
    MobileDevice::AMDeviceDisconnect(device);
    MobileDevice::AMDeviceConnect(device);
    MobileDevice::AFCConnectionCreate(device);
}

void OnDeviceDeparted()
{
    Log("设备断开连接");
    ui::runOnWindowThread([] {
        if (gMainWindow)
            gMainWindow->超级列表框1.clear();
    });
}

} // namespace

void OnDeviceNotification(const DeviceNotificationRecord *record)
{
    if (!record || !gDeviceContext)
        return;
    const uint32_t handle = record->deviceHandle;
    const int32_t message = record->message;
    if (message == 1)
        OnDeviceArrived(handle);
    else if (message == 2)
        OnDeviceDeparted();
}

void SetSessionStartedHandler(void (*handler)()) { gSessionStartedHandler.store(handler); }
