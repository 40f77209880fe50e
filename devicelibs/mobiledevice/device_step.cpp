// Turning lockdown results into result codes, with the check for a connection that broke.
#include "device_step.h"

#include "amd_result_codes.h"

#include <usbmuxd.h>

namespace amd {

namespace {

// Asks usbmuxd whether it still lists the device (one short request; false when usbmuxd itself
// cannot be reached). Used only after a connection broke, never on the normal path.
bool listedByUsbmuxd(const std::string &udid)
{
    usbmuxd_device_info_t info;
    return usbmuxd_get_device_by_udid(udid.c_str(), &info) == 1;
}

} // namespace

int32_t lockdownOutcome(Device &device, lockdownd_error_t error)
{
    if (error == LOCKDOWN_E_SUCCESS)
        return kAMDSuccess;
    // A receive timeout leaves a reply possibly still on its way, which the next request would take
    // for its own: the connection is unusable either way.
    const bool broken = error == LOCKDOWN_E_RECEIVE_TIMEOUT || (isTransportError(error) && connectionLost(device));
    if (!broken)
        return codeForLockdownError(error);
    closeConnection(device);
    // Decide now whether the device is gone rather than waiting for the departure notification, so
    // a step queued behind this one on another thread gets the same answer.
    if (!device.present || !listedByUsbmuxd(device.udid)) {
        device.present = false;
        return kAMDDeviceDisconnectedError;
    }
    // Still attached: the device closed the connection itself (a real device does after 10 s idle).
    return error == LOCKDOWN_E_RECEIVE_TIMEOUT ? kAMDTimeOutError : kAMDNotConnectedError;
}

} // namespace amd
