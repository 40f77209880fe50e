// The program's own declarations of the device-library functions it calls, bound by name at run
// time (library_binding.h). Each call behaves as the library's function; when the library or the
// function cannot be found, functions that return a result code return kAMDUndefinedError,
// functions that return a reference or a number return 0, and the others do nothing.
//
// Device handles are 32-bit values issued by the library; CoreFoundation references are opaque
// pointers. The libraries are called from the device thread and the window thread without any
// locking of ours (the library serialises per device).
#pragma once

#include <cstdint>

using CFTypeRef = const void *;
using CFStringRef = const void *;
using CFNumberRef = const void *;
using CFBooleanRef = const void *;
using CFDataRef = const void *;
using CFTypeID = unsigned long;
using CFIndex = long;
using CFNumberType = long;
using CFBoolean = unsigned char;
using UniChar = char16_t;

struct CFRange {
    CFIndex location;
    CFIndex length;
};

// What the library hands to the arrival callback; valid only during the call.
struct DeviceNotificationRecord {
    uint32_t deviceHandle;
    int32_t message; // 1 connected, 2 disconnected; other codes are ignored
};

// A routine the library calls with one pointer argument (the program passes callback thunks).
using DeviceCallback = void (*)(void *argument);

namespace MobileDevice {

int32_t AMDeviceNotificationSubscribe(DeviceCallback callback, uint32_t unused0, uint32_t unused1, uint32_t context,
                                      uint32_t *subscription);
int32_t AMRestoreRegisterForDeviceNotifications(DeviceCallback dfuConnect, DeviceCallback recoveryConnect,
                                                DeviceCallback dfuDisconnect, DeviceCallback recoveryDisconnect,
                                                uint32_t options, uint32_t *subscription);
int32_t AMDeviceConnect(uint32_t device);
int32_t AMDeviceValidatePairing(uint32_t device);
int32_t AMDevicePair(uint32_t device);
int32_t AMDeviceStartSession(uint32_t device);
int32_t AMDeviceStopSession(uint32_t device);
int32_t AMDeviceDisconnect(uint32_t device);
int32_t AFCConnectionCreate(uint32_t device);
int32_t AFCConnectionOpen(uint32_t device);
// A new reference to the value (release it with CoreFoundation::CFRelease), or 0 when there is none.
CFTypeRef AMDeviceCopyValue(uint32_t device, CFStringRef domain, CFStringRef key);
int32_t AMDeviceEnterRecovery(uint32_t device);
int32_t AMDeviceActivate(uint32_t device);
int32_t AMDeviceDeactivate(uint32_t device);
int32_t AMDeviceInstallApplication(uint32_t device, CFStringRef path, const void *options, void *callback,
                                   void *context);

} // namespace MobileDevice

namespace CoreFoundation {

void CFRunLoopRun();
// Bound to the export "__CFStringMakeConstantString": an interned string for a zero-terminated
// text, valid for the rest of the process.
CFStringRef CFStringMakeConstantString(const char *text);
CFTypeID CFGetTypeID(CFTypeRef object);
CFTypeID CFStringGetTypeID();
CFTypeID CFArrayGetTypeID();
CFTypeID CFDateGetTypeID();
CFTypeID CFNumberGetTypeID();
CFTypeID CFBooleanGetTypeID();
CFTypeID CFDictionaryGetTypeID();
CFTypeID CFDataGetTypeID();
CFIndex CFStringGetLength(CFStringRef string);
const UniChar *CFStringGetCharactersPtr(CFStringRef string);
void CFStringGetCharacters(CFStringRef string, CFRange range, UniChar *buffer);
CFNumberType CFNumberGetType(CFNumberRef number);
CFBoolean CFNumberGetValue(CFNumberRef number, CFNumberType type, void *value);
CFBoolean CFBooleanGetValue(CFBooleanRef boolean);
CFIndex CFDataGetLength(CFDataRef data);
const uint8_t *CFDataGetBytePtr(CFDataRef data);
void CFRelease(CFTypeRef object);

} // namespace CoreFoundation
