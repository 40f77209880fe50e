// The device-information refresh: read the 62 values into the DeviceInfoRecord, name the model and
// its colour from the compiled-in tables, show the rows and gauges, and keep the connection record.
#pragma once

#include "device/device_context.h"

// The whole refresh on gDeviceContext->info. Runs on the device thread after a session has started
// and on the window thread when 按钮27 is clicked.
//
// Two refreshes never overlap. The device thread waits until a refresh of the window thread has
// finished. The window thread never waits for the device thread (which waits for the window thread
// at every control update): a click while another refresh runs is queued, and the refresh that is
// running runs the queued one on the window thread as soon as it has finished.
void RefreshDeviceInfo();

// The reading pass alone: the 62 reads in table order into one reused slot (a key the device does not
// answer leaves its field empty or zero), and the marketing and colour names looked up. Does not take
// the refresh turn; the caller makes sure nothing else writes `record`.
void ReadDeviceInfo(DeviceInfoRecord &record);
