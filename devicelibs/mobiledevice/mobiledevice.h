/* libMobileDevice.so: the AMDevice / AFC / AMRestore entry points the program binds by name, on top
 * of libimobiledevice, libusbmuxd and libplist. CF values come from libCoreFoundation.so (linked with
 * an $ORIGIN run path, so there is one loaded copy of it in the process).
 *
 * Device handles: a nonzero uint32_t given out with each arrival of a USB device. A device that
 * leaves and comes back (same UDID) gets a NEW handle, as it would get a new usbmuxd DeviceID; the
 * old handle stays known forever and every call on it then fails with kAMDDeviceDisconnectedError
 * (AMDeviceDisconnect alone still succeeds and frees what was left open). Handle 0 and handles never
 * given out fail with kAMDDeviceRefNoGood and touch nothing.
 *
 * Steps are separate and never chained: AMDeviceConnect opens the lockdown connection without any
 * handshake; validating, pairing, starting and stopping a session, reading values and the commands
 * each make their own request(s). Each device has one lock: calls on the same handle from several
 * threads run one after another; calls on different devices run in parallel.
 *
 * Results: 0 success, otherwise one of the kAMD codes below (as int32_t). Codes every step can give:
 *   kAMDDeviceRefNoGood          handle 0 or unknown
 *   kAMDDeviceDisconnectedError  the device left: its departure was reported, or a request found
 *                                the connection closed and usbmuxd no longer lists the device (or
 *                                usbmuxd itself is gone). From then on the handle is dead.
 *   kAMDNotConnectedError        the step needs AMDeviceConnect first; also when the device, still
 *                                attached, closed the connection (it was dropped: connect again)
 *   kAMDTimeOutError             no answer within libimobiledevice's limits (30 s per reply); the
 *                                connection is dropped
 * and the lockdown errors of the device, through one table (amd_result_codes.cpp): e.g. InvalidHostID
 * -> kAMDInvalidHostIDError, PasswordProtected -> kAMDPasswordProtectedError, an unknown error
 * string -> kAMDUndefinedError. A step blocked in a request when its device leaves returns at once.
 */
#ifndef KELM_DEVICELIBS_MOBILEDEVICE_H
#define KELM_DEVICELIBS_MOBILEDEVICE_H

#include "corefoundation.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define KELM_AMD_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
#define KELM_AMD_CODE(x) static_cast<int32_t>(x##u)
#else
#define KELM_AMD_CODE(x) ((int32_t)(x##u))
#endif

/* ---- result codes used by this library (names as the program's code table spells them) ---- */
#define kAMDSuccess 0
#define kAMDUndefinedError KELM_AMD_CODE(0xE8000001)
#define kAMDNoResourcesError KELM_AMD_CODE(0xE8000003)
#define kAMDInvalidArgumentError KELM_AMD_CODE(0xE8000007)
#define kAMDNotConnectedError KELM_AMD_CODE(0xE800000B)
#define kAMDTimeOutError KELM_AMD_CODE(0xE800000C)
#define kAMDUnsupportedError KELM_AMD_CODE(0xE800000F)
#define kAMDCryptoError KELM_AMD_CODE(0xE8000012)
#define kAMDInvalidResponseError KELM_AMD_CODE(0xE8000013)
#define kAMDMissingKeyError KELM_AMD_CODE(0xE8000014)
#define kAMDMissingValueError KELM_AMD_CODE(0xE8000015)
#define kAMDGetProhibitedError KELM_AMD_CODE(0xE8000016)
#define kAMDSetProhibitedError KELM_AMD_CODE(0xE8000017)
#define kAMDRemoveProhibitedError KELM_AMD_CODE(0xE8000018)
#define kAMDImmutableValueError KELM_AMD_CODE(0xE8000019)
#define kAMDPasswordProtectedError KELM_AMD_CODE(0xE800001A)
#define kAMDMissingHostIDError KELM_AMD_CODE(0xE800001B)
#define kAMDInvalidHostIDError KELM_AMD_CODE(0xE800001C)
#define kAMDSessionActiveError KELM_AMD_CODE(0xE800001D)
#define kAMDSessionInactiveError KELM_AMD_CODE(0xE800001E)
#define kAMDMissingSessionIDError KELM_AMD_CODE(0xE800001F)
#define kAMDInvalidSessionIDError KELM_AMD_CODE(0xE8000020)
#define kAMDMissingServiceError KELM_AMD_CODE(0xE8000021)
#define kAMDInvalidServiceError KELM_AMD_CODE(0xE8000022)
#define kAMDMissingPairRecordError KELM_AMD_CODE(0xE8000025)
#define kAMDInvalidActivationRecordError KELM_AMD_CODE(0xE8000026)
#define kAMDMissingActivationRecordError KELM_AMD_CODE(0xE8000027)
#define kAMDReceiveMessageError KELM_AMD_CODE(0xE800002E)
#define kAMDStartServiceError KELM_AMD_CODE(0xE8000032)
#define kAMDMuxError KELM_AMD_CODE(0xE8000035)
#define kAMDServiceLimitError KELM_AMD_CODE(0xE800005B)
#define kAMDInvalidPairRecordError KELM_AMD_CODE(0xE800005C)
#define kAMDServiceProhibitedError KELM_AMD_CODE(0xE800005D)
#define kAMDMuxConnectError KELM_AMD_CODE(0xE8000065)
#define kAMDSavePairRecordFailedError KELM_AMD_CODE(0xE8000068)
#define kAMDDeviceRefNoGood KELM_AMD_CODE(0xE800006B)
#define kAMDEscrowLockedError KELM_AMD_CODE(0xE8000081)
#define kAMDPairingProhibitedError KELM_AMD_CODE(0xE8000082)
#define kAMDDeviceDisconnectedError KELM_AMD_CODE(0xE8000084)
#define kAMDDictCreationFailedError KELM_AMD_CODE(0xE8000094)
#define kAMDUserDeniedPairingError KELM_AMD_CODE(0xE8000095)
#define kAMDPairingDialogResponsePendingError KELM_AMD_CODE(0xE8000096)
#define kAMDFMiPProtectedError KELM_AMD_CODE(0xE8000099)
#define kAMDMCProtected KELM_AMD_CODE(0xE800009A)
#define kAMDMCChallengeRequired KELM_AMD_CODE(0xE800009B)

/* ---- notifications ---- */
typedef struct {
    uint32_t device; /* handle */
    int32_t message; /* 1 connected, 2 disconnected */
} AMDeviceNotificationRecord;
enum { kAMDeviceAttached = 1, kAMDeviceDetached = 2 };
/* Called inside the subscriber's CFRunLoopRun, on the thread that subscribed; the record is valid
 * during the call only. */
typedef void (*AMDeviceCallback)(AMDeviceNotificationRecord *record);

/* Remembers the calling thread's run loop and starts watching usbmuxd (once per process). Every
 * arrival and departure of a USB device is then posted to that run loop; devices already present
 * are announced as arrivals. A missing usbmuxd socket is not an error: arrivals appear once the
 * daemon is listening (usbmuxd is polled once a second). unused0, unused1 and context are ignored.
 * Writes a nonzero subscription id to *subscription (when not NULL).
 * Returns 0; kAMDInvalidArgumentError for a NULL callback; kAMDUndefinedError when libusbmuxd
 * cannot start its watcher thread. Any thread. */
KELM_AMD_EXPORT int32_t AMDeviceNotificationSubscribe(AMDeviceCallback callback, uint32_t unused0, uint32_t unused1,
                                                      uint32_t context, uint32_t *subscription);
/* Stops posting to that subscriber (a post already queued is dropped when it runs). Call it on
 * the subscriber's own thread to be sure no callback follows. 0, or kAMDInvalidArgumentError for
 * an unknown id. */
KELM_AMD_EXPORT int32_t AMDeviceNotificationUnsubscribe(uint32_t subscription);
/* Recovery/DFU devices are not watched (that needs the restore-mode stack, which the program
 * does not use): the callbacks are remembered and never called. Writes a nonzero id to
 * *subscription (when not NULL) and returns 0. */
KELM_AMD_EXPORT int32_t AMRestoreRegisterForDeviceNotifications(void (*dfuConnect)(void *), void (*recoveryConnect)(void *),
                                                                void (*dfuDisconnect)(void *),
                                                                void (*recoveryDisconnect)(void *), uint32_t options,
                                                                uint32_t *subscription);

/* ---- connection steps (codes: see each function's file and the list above) ---- */
KELM_AMD_EXPORT int32_t AMDeviceConnect(uint32_t device);
KELM_AMD_EXPORT int32_t AMDeviceValidatePairing(uint32_t device);
KELM_AMD_EXPORT int32_t AMDevicePair(uint32_t device);
KELM_AMD_EXPORT int32_t AMDeviceStartSession(uint32_t device);
KELM_AMD_EXPORT int32_t AMDeviceStopSession(uint32_t device);
KELM_AMD_EXPORT int32_t AMDeviceDisconnect(uint32_t device);

/* ---- values ---- */
/* +1 reference to the value of key (in domain, NULL = the default domain); key NULL reads the whole
 * domain as a dictionary. NULL when there is no value: unknown key, no session, device gone, not
 * connected, any error. Strings become CFString, integers CFNumber of type 4 (64-bit), reals type 6
 * (double), booleans kCFBooleanTrue/False, data CFData, arrays CFArray, dictionaries CFDictionary,
 * dates CFDate. */
KELM_AMD_EXPORT CFTypeRef AMDeviceCopyValue(uint32_t device, CFStringRef domain, CFStringRef key);

/* ---- commands ---- */
KELM_AMD_EXPORT int32_t AMDeviceEnterRecovery(uint32_t device);
KELM_AMD_EXPORT int32_t AMDeviceActivate(uint32_t device);
KELM_AMD_EXPORT int32_t AMDeviceDeactivate(uint32_t device);
KELM_AMD_EXPORT int32_t AFCConnectionCreate(uint32_t device);
KELM_AMD_EXPORT int32_t AFCConnectionOpen(uint32_t device);
KELM_AMD_EXPORT int32_t AMDeviceInstallApplication(uint32_t device, CFStringRef path, CFDictionaryRef options,
                                                   void *callback, void *context);

#ifdef __cplusplus
}
#endif

#endif
