// The common frame of every step on a device: validate the handle, take the device's lock, refuse
// a departed or unconnected device, and turn a lockdown result into a result code (dropping the
// connection when it turns out to be broken).
#pragma once

#include "device_registry.h"
#include "mobiledevice.h"

#include <cstdint>

namespace amd {

// Result code for a lockdown result of a step on `device` (device.mutex held). Success gives 0. A
// transport failure on a connection found closed, or a receive timeout, drops the connection; then
// a device that left (or that usbmuxd no longer lists, or a usbmuxd that is gone) is marked gone
// and gives kAMDDeviceDisconnectedError, a device still attached gives kAMDNotConnectedError
// (it closed the connection) or kAMDTimeOutError. Anything else goes through the code table.
int32_t lockdownOutcome(Device &device, lockdownd_error_t error);

enum class Needs { Device, Connection };

// Runs step(Device&) -> int32_t under the device's lock. Before it: unknown handle ->
// kAMDDeviceRefNoGood; departed device -> kAMDDeviceDisconnectedError (whatever was left open is
// freed); Needs::Connection without AMDeviceConnect -> kAMDNotConnectedError.
template <class Step>
int32_t runStep(uint32_t handle, Needs needs, Step step)
{
    std::shared_ptr<Device> device = findDevice(handle);
    if (!device)
        return kAMDDeviceRefNoGood;
    std::lock_guard lock(device->mutex);
    if (!device->present) {
        closeConnection(*device);
        return kAMDDeviceDisconnectedError;
    }
    if (needs == Needs::Connection && device->lockdown == nullptr)
        return kAMDNotConnectedError;
    return step(*device);
}

} // namespace amd
