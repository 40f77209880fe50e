// The table from lockdown errors (the device's wire error strings and libimobiledevice's own
// errors) to the kAMD result codes the program names in its log. One row per lockdownd_error_t.
#include "amd_result_codes.h"

#include "mobiledevice.h"

#include <cstring>
#include <iterator>

namespace amd {

namespace {

struct Row {
    lockdownd_error_t error;
    const char *wireName; // nullptr: set by the host library, never sent by a device
    int32_t code;
};

// Host-side rows first, then the device's error strings in lockdownd_error_t order.
constexpr Row kRows[] = {
    {LOCKDOWN_E_SUCCESS, nullptr, kAMDSuccess},
    {LOCKDOWN_E_INVALID_ARG, nullptr, kAMDInvalidArgumentError},
    {LOCKDOWN_E_INVALID_CONF, nullptr, kAMDInvalidPairRecordError}, // pair record without HostID & co.
    {LOCKDOWN_E_PLIST_ERROR, nullptr, kAMDReceiveMessageError},     // no reply or an unreadable one
    {LOCKDOWN_E_PAIRING_FAILED, nullptr, kAMDUndefinedError},       // "Failure" without an error string
    {LOCKDOWN_E_SSL_ERROR, nullptr, kAMDCryptoError},
    {LOCKDOWN_E_DICT_ERROR, nullptr, kAMDDictCreationFailedError},
    {LOCKDOWN_E_RECEIVE_TIMEOUT, nullptr, kAMDTimeOutError},
    {LOCKDOWN_E_MUX_ERROR, nullptr, kAMDMuxError},
    {LOCKDOWN_E_NO_RUNNING_SESSION, nullptr, kAMDSessionInactiveError},
    {LOCKDOWN_E_INVALID_RESPONSE, "InvalidResponse", kAMDInvalidResponseError},
    {LOCKDOWN_E_MISSING_KEY, "MissingKey", kAMDMissingKeyError},
    {LOCKDOWN_E_MISSING_VALUE, "MissingValue", kAMDMissingValueError},
    {LOCKDOWN_E_GET_PROHIBITED, "GetProhibited", kAMDGetProhibitedError},
    {LOCKDOWN_E_SET_PROHIBITED, "SetProhibited", kAMDSetProhibitedError},
    {LOCKDOWN_E_REMOVE_PROHIBITED, "RemoveProhibited", kAMDRemoveProhibitedError},
    {LOCKDOWN_E_IMMUTABLE_VALUE, "ImmutableValue", kAMDImmutableValueError},
    {LOCKDOWN_E_PASSWORD_PROTECTED, "PasswordProtected", kAMDPasswordProtectedError},
    {LOCKDOWN_E_USER_DENIED_PAIRING, "UserDeniedPairing", kAMDUserDeniedPairingError},
    {LOCKDOWN_E_PAIRING_DIALOG_RESPONSE_PENDING, "PairingDialogResponsePending", kAMDPairingDialogResponsePendingError},
    {LOCKDOWN_E_MISSING_HOST_ID, "MissingHostID", kAMDMissingHostIDError},
    {LOCKDOWN_E_INVALID_HOST_ID, "InvalidHostID", kAMDInvalidHostIDError},
    {LOCKDOWN_E_SESSION_ACTIVE, "SessionActive", kAMDSessionActiveError},
    {LOCKDOWN_E_SESSION_INACTIVE, "SessionInactive", kAMDSessionInactiveError},
    {LOCKDOWN_E_MISSING_SESSION_ID, "MissingSessionID", kAMDMissingSessionIDError},
    {LOCKDOWN_E_INVALID_SESSION_ID, "InvalidSessionID", kAMDInvalidSessionIDError},
    {LOCKDOWN_E_MISSING_SERVICE, "MissingService", kAMDMissingServiceError},
    {LOCKDOWN_E_INVALID_SERVICE, "InvalidService", kAMDInvalidServiceError},
    {LOCKDOWN_E_SERVICE_LIMIT, "ServiceLimit", kAMDServiceLimitError},
    {LOCKDOWN_E_MISSING_PAIR_RECORD, "MissingPairRecord", kAMDMissingPairRecordError},
    {LOCKDOWN_E_SAVE_PAIR_RECORD_FAILED, "SavePairRecordFailed", kAMDSavePairRecordFailedError},
    {LOCKDOWN_E_INVALID_PAIR_RECORD, "InvalidPairRecord", kAMDInvalidPairRecordError},
    {LOCKDOWN_E_INVALID_ACTIVATION_RECORD, "InvalidActivationRecord", kAMDInvalidActivationRecordError},
    {LOCKDOWN_E_MISSING_ACTIVATION_RECORD, "MissingActivationRecord", kAMDMissingActivationRecordError},
    {LOCKDOWN_E_SERVICE_PROHIBITED, "ServiceProhibited", kAMDServiceProhibitedError},
    {LOCKDOWN_E_ESCROW_LOCKED, "EscrowLocked", kAMDEscrowLockedError},
    {LOCKDOWN_E_PAIRING_PROHIBITED_OVER_THIS_CONNECTION, "PairingProhibitedOverThisConnection", kAMDPairingProhibitedError},
    {LOCKDOWN_E_FMIP_PROTECTED, "FMiPProtected", kAMDFMiPProtectedError},
    {LOCKDOWN_E_MC_PROTECTED, "MCProtected", kAMDMCProtected},
    {LOCKDOWN_E_MC_CHALLENGE_REQUIRED, "MCChallengeRequired", kAMDMCChallengeRequired},
    {LOCKDOWN_E_UNKNOWN_ERROR, nullptr, kAMDUndefinedError},
};

} // namespace

int32_t codeForLockdownError(lockdownd_error_t error)
{
    for (const Row &row : kRows)
        if (row.error == error)
            return row.code;
    return kAMDUndefinedError;
}

int32_t codeForWireError(const char *wireName)
{
    if (wireName == nullptr)
        return kAMDUndefinedError;
    for (const Row &row : kRows)
        if (row.wireName != nullptr && std::strcmp(row.wireName, wireName) == 0)
            return row.code;
    return kAMDUndefinedError;
}

bool isTransportError(lockdownd_error_t error)
{
    return error == LOCKDOWN_E_PLIST_ERROR || error == LOCKDOWN_E_MUX_ERROR || error == LOCKDOWN_E_RECEIVE_TIMEOUT ||
           error == LOCKDOWN_E_SSL_ERROR || error == LOCKDOWN_E_UNKNOWN_ERROR;
}

int32_t codeForIdeviceError(idevice_error_t error)
{
    switch (error) {
    case IDEVICE_E_SUCCESS:
        return kAMDSuccess;
    case IDEVICE_E_INVALID_ARG:
        return kAMDInvalidArgumentError;
    case IDEVICE_E_NO_DEVICE: // usbmuxd does not list the device (any more)
        return kAMDDeviceDisconnectedError;
    case IDEVICE_E_NOT_ENOUGH_DATA:
        return kAMDReceiveMessageError;
    case IDEVICE_E_SSL_ERROR:
        return kAMDCryptoError;
    case IDEVICE_E_TIMEOUT:
        return kAMDTimeOutError;
    case IDEVICE_E_UNKNOWN_ERROR:
        return kAMDUndefinedError;
    }
    return kAMDUndefinedError;
}

int32_t codeForAfcError(afc_error_t error)
{
    // Only afc_client_new's results reach us: the service connection could not be made.
    if (error == AFC_E_SUCCESS)
        return kAMDSuccess;
    if (error == AFC_E_MUX_ERROR)
        return kAMDMuxConnectError;
    return kAMDStartServiceError;
}

} // namespace amd
