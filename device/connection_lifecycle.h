// What the program does when the device library reports that a device arrived or left: on arrival,
// connect, make sure of the pairing, start a session and read the device; on departure, say so and
// empty the device list.
#pragma once

#include <cstdint>

struct DeviceNotificationRecord;

// Handles one notification. Runs on the device thread, inside the library's run loop, one
// notification at a time; logs every step. Message 1 arrival, 2 departure, anything else: nothing.
void OnDeviceNotification(const DeviceNotificationRecord *record);

// What runs once a session has started (the device-information refresh); set at start-up before the
// device thread starts. Without one, nothing more happens after "创建连接成功".
void SetSessionStartedHandler(void (*handler)());

// True while the device of `handle` is attached: from the arrival of that handle until its departure
// (whatever the connection steps gave). False for 0 and for handles never seen. The commands ask it
// so that no library call is made with the handle of a device that has gone. Any thread.
bool IsDeviceConnected(uint32_t handle);
