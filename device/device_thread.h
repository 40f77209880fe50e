// The device thread: subscribes to device notifications through callback thunks and then lives in the
// device library's run loop, where every arrival and departure is handled.
#pragma once

#include <cstdint>

// The thread's routine; its parameter is not read.
void DeviceThreadMain(void *parameter);

// Starts the device thread, detached: it is never joined and ends with the process.
void StartDeviceThread();

// Test seam: while set, StartDeviceThread calls this instead of starting the thread.
void SetDeviceThreadStarter(void (*starter)());
