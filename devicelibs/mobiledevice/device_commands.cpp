// Device commands: enter recovery, activate, deactivate, open the AFC service; and the install entry
// point, which no path of the program reaches.
//
// Result codes, beyond those every step can give (mobiledevice.h):
//   AMDeviceEnterRecovery   device errors through the table (e.g. kAMDSessionInactiveError when the
//                           device wants a session first); 0 also when the device left before its
//                           answer could be read (it went into recovery mode)
//   AMDeviceActivate        sends Activate with an empty activation record (the program supplies
//                           none); kAMDSessionInactiveError without a session (nothing is sent),
//                           kAMDInvalidActivationRecordError when the device rejects the record
//   AMDeviceDeactivate      kAMDSessionInactiveError without a session (nothing is sent)
//   AFCConnectionCreate /   start com.apple.afc and keep the connection inside the library (one per
//   AFCConnectionOpen       device; a new one replaces the old; closed by AMDeviceDisconnect and when
//                           the device leaves); kAMDInvalidServiceError, kAMDServiceProhibitedError,
//                           kAMDPasswordProtectedError..., kAMDMuxConnectError when the service port
//                           cannot be reached, kAMDStartServiceError for any other AFC failure
//   AMDeviceInstallApplication  always kAMDUnsupportedError (kAMDDeviceRefNoGood for a bad handle)
#include "amd_result_codes.h"
#include "connection_socket.h"
#include "device_step.h"

#include <plist/plist.h>

using namespace amd;

namespace {

int32_t openAfc(uint32_t handle)
{
    return runStep(handle, Needs::Connection, [](Device &device) -> int32_t {
        lockdownd_service_descriptor_t service = nullptr;
        const lockdownd_error_t started = lockdownd_start_service(device.lockdown, AFC_SERVICE_NAME, &service);
        if (started != LOCKDOWN_E_SUCCESS) {
            lockdownd_service_descriptor_free(service);
            return lockdownOutcome(device, started);
        }
        closeAfc(device);
        afc_client_t afc = nullptr;
        const afc_error_t opened = afc_client_new(device.idevice, service, &afc);
        lockdownd_service_descriptor_free(service);
        if (opened != AFC_E_SUCCESS)
            return device.present ? codeForAfcError(opened) : kAMDDeviceDisconnectedError;
        device.afc = afc;
        watchAfcSocket(device, socketOfAfc(afc));
        return kAMDSuccess;
    });
}

} // namespace

extern "C" {

KELM_AMD_EXPORT int32_t AMDeviceEnterRecovery(uint32_t handle)
{
    return runStep(handle, Needs::Connection, [](Device &device) {
        const int32_t outcome = lockdownOutcome(device, lockdownd_enter_recovery(device.lockdown));
        // A phone going into recovery mode leaves at once; when it has left before its answer was
        // read, the request did what it asked for.
        return outcome == kAMDDeviceDisconnectedError ? kAMDSuccess : outcome;
    });
}

KELM_AMD_EXPORT int32_t AMDeviceActivate(uint32_t handle)
{
    return runStep(handle, Needs::Connection, [](Device &device) -> int32_t {
        plist_t record = plist_new_dict();
        const lockdownd_error_t result = lockdownd_activate(device.lockdown, record);
        plist_free(record);
        return lockdownOutcome(device, result);
    });
}

KELM_AMD_EXPORT int32_t AMDeviceDeactivate(uint32_t handle)
{
    return runStep(handle, Needs::Connection,
                   [](Device &device) { return lockdownOutcome(device, lockdownd_deactivate(device.lockdown)); });
}

KELM_AMD_EXPORT int32_t AFCConnectionCreate(uint32_t handle) { return openAfc(handle); }

KELM_AMD_EXPORT int32_t AFCConnectionOpen(uint32_t handle) { return openAfc(handle); }

KELM_AMD_EXPORT int32_t AMDeviceInstallApplication(uint32_t handle, CFStringRef, CFDictionaryRef, void *, void *)
{
    return findDevice(handle) ? kAMDUnsupportedError : kAMDDeviceRefNoGood;
}

} // extern "C"
