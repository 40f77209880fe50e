// The connection steps of an arriving device and the handling of a departure.
#include "device/connection_lifecycle.h"

#include "app/log_pane.h"
#include "app/main_window.h"
#include "device/device_context.h"
#include "device/device_functions.h"
#include "device/result_codes.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace {

std::atomic<void (*)()> gSessionStartedHandler{nullptr};

// Handles of the devices attached now: written by the device thread, read by the window thread.
std::mutex gConnectedMutex;
std::vector<uint32_t> gConnectedHandles;

void SetDeviceConnected(uint32_t handle, bool connected)
{
    std::lock_guard lock(gConnectedMutex);
    const auto at = std::find(gConnectedHandles.begin(), gConnectedHandles.end(), handle);
    if (connected && at == gConnectedHandles.end())
        gConnectedHandles.push_back(handle);
    else if (!connected && at != gConnectedHandles.end())
        gConnectedHandles.erase(at);
}

void Log(const std::string &message) { AppendLog(LogSourceTag, message); }

// A failure line: the fixed prefix ending in ">>" and the name of the result.
void LogResult(const char *prefix, int32_t result) { Log(prefix + AmdErrorName(static_cast<int64_t>(result))); }

void OnDeviceArrived(uint32_t handle)
{
    // Stored first, whatever happens next: the commands act on the newest device.
    gDeviceContext->deviceHandle.store(handle);
    SetDeviceConnected(handle, true);
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

void OnDeviceDeparted(uint32_t handle)
{
    SetDeviceConnected(handle, false);
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
        OnDeviceDeparted(handle);
}

void SetSessionStartedHandler(void (*handler)()) { gSessionStartedHandler.store(handler); }

bool IsDeviceConnected(uint32_t handle)
{
    if (handle == 0)
        return false;
    std::lock_guard lock(gConnectedMutex);
    return std::find(gConnectedHandles.begin(), gConnectedHandles.end(), handle) != gConnectedHandles.end();
}
