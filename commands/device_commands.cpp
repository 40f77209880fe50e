// The device-control buttons: one library call each on the handle of the newest arrival.
#include "commands/device_commands.h"

#include "app/log_pane.h"
#include "app/main_window.h"
#include "device/connection_lifecycle.h"
#include "device/device_context.h"
#include "device/device_functions.h"
#include "platform/ui/message_box.h"

#include <string>

namespace ui = platform::ui;

namespace {

void Log(const std::string &message) { AppendLog(LogSourceTag, message); }

// The handle to command, or 0 (after logging why) when no device is attached: the library must
// never get the handle of a device that has gone.
uint32_t AttachedDeviceHandle()
{
    const uint32_t handle = gDeviceContext ? gDeviceContext->deviceHandle.load() : 0;
    if (handle == 0 || !IsDeviceConnected(handle)) {
        Log(NoDeviceLogLine);
        return 0;
    }
    return handle;
}

// The model name read for the device; empty before any device has been read.
std::string ModelName() { return gDeviceContext && gDeviceContext->info ? gDeviceContext->info->MarketingName : ""; }

} // namespace

void EnterRecoveryMode()
{
    const uint32_t handle = AttachedDeviceHandle();
    if (handle == 0)
        return;
    MobileDevice::AMDeviceEnterRecovery(handle);
    Log("正在使设备进入恢复模式，请查看设备...");
}

void DisconnectDevice()
{
    const uint32_t handle = AttachedDeviceHandle();
    if (handle == 0)
        return;
    // The session and the lockdown connection only: the device stays attached and keeps its handle.
    MobileDevice::AMDeviceDisconnect(handle);
    Log("此功能仅断开连接服务，但不会断开USB");
}

void ActivateDevice()
{
    const uint32_t handle = AttachedDeviceHandle();
    if (handle == 0)
        return;
    MobileDevice::AMDeviceActivate(handle);
}

void DeactivateDevice(MainWindow &w)
{
    // The first click only makes the confirmation box usable and explains it.
    w.选择框3.setEnabled(true);
    if (!w.选择框3.isTicked()) {
        ui::messageBox("反激活设备\r\n此功能会让你的" + ModelName() +
                           "设备回到未激活状态，如果你没记牢AppleID则会无法激活，出现激活锁与软件创作者无关！！！\r\n"
                           "如果你执意要这样做，请先把按钮下面的选择框给勾上再操作！",
                       ui::MessageIcon::None, "提示");
        return;
    }
    // Checked before the notice: it announces a command that is about to reach a device.
    const uint32_t handle = AttachedDeviceHandle();
    if (handle == 0)
        return;
    ui::messageBox("即将把你的" + ModelName() + "设备恢复未激活状态", ui::MessageIcon::None);
    MobileDevice::AMDeviceDeactivate(handle);
    Log("执行命令成功！");
}
