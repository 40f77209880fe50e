// The device-control buttons of the device page: enter recovery mode, drop the service connection,
// activate, deactivate behind the confirmation check box. Each sends one command to the device of
// the newest arrival, on the window thread; no library result is examined.
//
// With no device attached (none has arrived, or the newest has left) no library call is made: the
// button logs NoDeviceLogLine and does nothing else.
#pragma once

struct MainWindow;

// The line a command logs when no device is attached.
inline constexpr char NoDeviceLogLine[] = "没有已连接的设备，请连接设备后再操作";

// 按钮2 "进入恢复模式": the recovery command, then its log line (whatever the device answered).
void EnterRecoveryMode();
// 按钮9 "断开连接": ends the service connection (the device stays attached by USB), logs the line.
void DisconnectDevice();
// 按钮20 "激活设备": the activation command; nothing is logged or shown.
void ActivateDevice();
// 按钮3 "反激活设备": enables 选择框3; unticked, a warning naming the model and nothing more; ticked,
// a notice, the deactivation command and "执行命令成功！". The box keeps its tick.
void DeactivateDevice(MainWindow &window);
