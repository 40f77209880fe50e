// The one mapping from device-stack errors to the kAMD result codes. Pure functions, any thread.
#pragma once

#include <libimobiledevice/afc.h>
#include <libimobiledevice/libimobiledevice.h>
#include <libimobiledevice/lockdown.h>

#include <cstdint>

namespace amd {

// Lockdown error (what libimobiledevice made of the device's wire error string, or an error of its
// own) -> result code. Every value of lockdownd_error_t has a row; a value without one (a newer
// library) gives kAMDUndefinedError.
int32_t codeForLockdownError(lockdownd_error_t error);

// Wire error string as the device sends it ("InvalidHostID") -> result code; kAMDUndefinedError
// for a string the table does not know (as libimobiledevice makes it UNKNOWN_ERROR).
int32_t codeForWireError(const char *wireName);

// True for the errors that can mean the connection itself broke (as opposed to a refusal by the
// device): after these the caller checks whether the socket is still open.
bool isTransportError(lockdownd_error_t error);

int32_t codeForIdeviceError(idevice_error_t error);
int32_t codeForAfcError(afc_error_t error);

} // namespace amd
