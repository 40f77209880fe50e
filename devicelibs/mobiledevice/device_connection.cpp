// Connection steps: connect, validate pairing, pair, start and stop a session, disconnect. Each is
// one separate step on the device's lockdown connection; nothing is chained behind the caller's
// back.
//
// Result codes, beyond those every step can give (mobiledevice.h):
//   AMDeviceConnect         0 also when already connected (nothing is done); kAMDDeviceDisconnectedError
//                           when usbmuxd no longer lists the device; kAMDMuxError when usbmuxd
//                           refuses the connection to lockdown (port 62078)
//   AMDeviceValidatePairing kAMDMissingPairRecordError (usbmuxd holds no record for the device),
//                           kAMDMuxError (usbmuxd unreachable), kAMDInvalidHostIDError (the device
//                           does not know our HostID), other device errors through the table
//   AMDevicePair            kAMDPasswordProtectedError, kAMDPairingDialogResponsePendingError,
//                           kAMDUserDeniedPairingError, kAMDCryptoError (unusable device key), ...
//   AMDeviceStartSession    kAMDMissingPairRecordError / kAMDInvalidPairRecordError / kAMDMuxError
//                           (the HostID could not be read), kAMDInvalidHostIDError,
//                           kAMDReceiveMessageError (no usable reply). A session already running is
//                           stopped first and a new one started (libimobiledevice's own behaviour).
//   AMDeviceStopSession     kAMDSessionInactiveError when no session is running (nothing is sent);
//                           the session counts as ended whatever the device answers
//   AMDeviceDisconnect      0 for every known handle, also a departed or unconnected one: frees the
//                           AFC connection, ends the session (StopSession) and closes the lockdown
//                           connection, whatever is open
#include "amd_result_codes.h"
#include "connection_socket.h"
#include "device_step.h"
#include "pair_record.h"

#include <cstdlib>

using namespace amd;

namespace {

constexpr const char *kLabel = "KelmTools";

} // namespace

extern "C" {

KELM_AMD_EXPORT int32_t AMDeviceConnect(uint32_t handle)
{
    return runStep(handle, Needs::Device, [](Device &device) -> int32_t {
        if (device.lockdown != nullptr)
            return kAMDSuccess;
        idevice_t idevice = nullptr;
        const idevice_error_t found = idevice_new_with_options(&idevice, device.udid.c_str(), IDEVICE_LOOKUP_USBMUX);
        if (found != IDEVICE_E_SUCCESS)
            return codeForIdeviceError(found);
        lockdownd_client_t client = nullptr;
        const lockdownd_error_t opened = lockdownd_client_new(idevice, &client, kLabel); // no handshake
        if (opened != LOCKDOWN_E_SUCCESS) {
            idevice_free(idevice);
            return device.present ? codeForLockdownError(opened) : kAMDDeviceDisconnectedError;
        }
        device.idevice = idevice;
        device.lockdown = client;
        watchLockdownSocket(device, socketOfLockdown(client));
        return kAMDSuccess;
    });
}

KELM_AMD_EXPORT int32_t AMDeviceValidatePairing(uint32_t handle)
{
    return runStep(handle, Needs::Connection, [](Device &device) -> int32_t {
        // libimobiledevice reports a missing record as InvalidHostID without asking the device;
        // the program's log is clearer with the real reason.
        std::string hostId;
        const int32_t record = readPairRecordHostId(device.udid, hostId);
        if (record == kAMDMissingPairRecordError || record == kAMDMuxError)
            return record;
        return lockdownOutcome(device, lockdownd_validate_pair(device.lockdown, nullptr));
    });
}

KELM_AMD_EXPORT int32_t AMDevicePair(uint32_t handle)
{
    return runStep(handle, Needs::Connection, [](Device &device) -> int32_t {
        return lockdownOutcome(device, lockdownd_pair(device.lockdown, nullptr));
    });
}

KELM_AMD_EXPORT int32_t AMDeviceStartSession(uint32_t handle)
{
    return runStep(handle, Needs::Connection, [](Device &device) -> int32_t {
        std::string hostId;
        if (const int32_t record = readPairRecordHostId(device.udid, hostId); record != kAMDSuccess)
            return record;
        char *sessionId = nullptr;
        int ssl = 0;
        device.sessionId.clear(); // a running session is stopped by the library first
        const lockdownd_error_t started = lockdownd_start_session(device.lockdown, hostId.c_str(), &sessionId, &ssl);
        if (started == LOCKDOWN_E_SUCCESS)
            device.sessionId = sessionId ? sessionId : "";
        std::free(sessionId);
        if (started == LOCKDOWN_E_SUCCESS && device.sessionId.empty())
            return kAMDMissingSessionIDError; // the device gave no id: later steps could not use it
        return lockdownOutcome(device, started);
    });
}

KELM_AMD_EXPORT int32_t AMDeviceStopSession(uint32_t handle)
{
    return runStep(handle, Needs::Connection, [](Device &device) -> int32_t {
        if (device.sessionId.empty())
            return kAMDSessionInactiveError;
        const std::string sessionId = std::move(device.sessionId);
        device.sessionId.clear();
        return lockdownOutcome(device, lockdownd_stop_session(device.lockdown, sessionId.c_str()));
    });
}

KELM_AMD_EXPORT int32_t AMDeviceDisconnect(uint32_t handle)
{
    std::shared_ptr<Device> device = findDevice(handle);
    if (!device)
        return kAMDDeviceRefNoGood;
    std::lock_guard lock(device->mutex);
    closeConnection(*device);
    return kAMDSuccess;
}

} // extern "C"
