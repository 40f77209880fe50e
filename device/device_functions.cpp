// Each declared device-library function forwards to the export of the same name, bound at first use.
#include "device/device_functions.h"

#include "device/library_binding.h"
#include "device/result_codes.h"

namespace {
constexpr DeviceLibrary kMD = DeviceLibrary::MobileDevice;
constexpr DeviceLibrary kCF = DeviceLibrary::CoreFoundation;
constexpr int kNoResult = 0; // failure value of functions without a result
} // namespace

namespace MobileDevice {

int32_t AMDeviceNotificationSubscribe(DeviceCallback callback, uint32_t unused0, uint32_t unused1, uint32_t context,
                                      uint32_t *subscription)
{
    static BoundFunction<int32_t(DeviceCallback, uint32_t, uint32_t, uint32_t, uint32_t *)> f(
        kMD, "AMDeviceNotificationSubscribe");
    return f.call(kAMDUndefinedError, callback, unused0, unused1, context, subscription);
}

int32_t AMRestoreRegisterForDeviceNotifications(DeviceCallback dfuConnect, DeviceCallback recoveryConnect,
                                                DeviceCallback dfuDisconnect, DeviceCallback recoveryDisconnect,
                                                uint32_t options, uint32_t *subscription)
{
    static BoundFunction<int32_t(DeviceCallback, DeviceCallback, DeviceCallback, DeviceCallback, uint32_t,
                                 uint32_t *)>
        f(kMD, "AMRestoreRegisterForDeviceNotifications");
    return f.call(kAMDUndefinedError, dfuConnect, recoveryConnect, dfuDisconnect, recoveryDisconnect, options,
                  subscription);
}

// The commands that take only the device handle and return a result code.
#define KELM_HANDLE_COMMAND(name)                                                                                      \
    int32_t name(uint32_t device)                                                                                      \
    {                                                                                                                  \
        static BoundFunction<int32_t(uint32_t)> f(kMD, #name);                                                         \
        return f.call(kAMDUndefinedError, device);                                                                     \
    }
KELM_HANDLE_COMMAND(AMDeviceConnect)
KELM_HANDLE_COMMAND(AMDeviceValidatePairing)
KELM_HANDLE_COMMAND(AMDevicePair)
KELM_HANDLE_COMMAND(AMDeviceStartSession)
KELM_HANDLE_COMMAND(AMDeviceStopSession)
KELM_HANDLE_COMMAND(AMDeviceDisconnect)
KELM_HANDLE_COMMAND(AFCConnectionCreate)
KELM_HANDLE_COMMAND(AFCConnectionOpen)
KELM_HANDLE_COMMAND(AMDeviceEnterRecovery)
KELM_HANDLE_COMMAND(AMDeviceActivate)
KELM_HANDLE_COMMAND(AMDeviceDeactivate)
#undef KELM_HANDLE_COMMAND

CFTypeRef AMDeviceCopyValue(uint32_t device, CFStringRef domain, CFStringRef key)
{
    static BoundFunction<CFTypeRef(uint32_t, CFStringRef, CFStringRef)> f(kMD, "AMDeviceCopyValue");
    return f.call(nullptr, device, domain, key);
}

int32_t AMDeviceInstallApplication(uint32_t device, CFStringRef path, const void *options, void *callback,
                                   void *context)
{
    static BoundFunction<int32_t(uint32_t, CFStringRef, const void *, void *, void *)> f(
        kMD, "AMDeviceInstallApplication");
    return f.call(kAMDUndefinedError, device, path, options, callback, context);
}

} // namespace MobileDevice

namespace CoreFoundation {

void CFRunLoopRun()
{
    static BoundFunction<void()> f(kCF, "CFRunLoopRun");
    f.call(kNoResult);
}

CFStringRef CFStringMakeConstantString(const char *text)
{
    static BoundFunction<CFStringRef(const char *)> f(kCF, "__CFStringMakeConstantString");
    return f.call(nullptr, text);
}

CFTypeID CFGetTypeID(CFTypeRef object)
{
    static BoundFunction<CFTypeID(CFTypeRef)> f(kCF, "CFGetTypeID");
    return f.call(0, object);
}

// The type-identifier getters, one per kind the program tells apart.
#define KELM_TYPE_ID(name)                                                                                             \
    CFTypeID name()                                                                                                    \
    {                                                                                                                  \
        static BoundFunction<CFTypeID()> f(kCF, #name);                                                                \
        return f.call(0);                                                                                              \
    }
KELM_TYPE_ID(CFStringGetTypeID)
KELM_TYPE_ID(CFArrayGetTypeID)
KELM_TYPE_ID(CFDateGetTypeID)
KELM_TYPE_ID(CFNumberGetTypeID)
KELM_TYPE_ID(CFBooleanGetTypeID)
KELM_TYPE_ID(CFDictionaryGetTypeID)
KELM_TYPE_ID(CFDataGetTypeID)
#undef KELM_TYPE_ID

CFIndex CFStringGetLength(CFStringRef string)
{
    static BoundFunction<CFIndex(CFStringRef)> f(kCF, "CFStringGetLength");
    return f.call(0, string);
}

const UniChar *CFStringGetCharactersPtr(CFStringRef string)
{
    static BoundFunction<const UniChar *(CFStringRef)> f(kCF, "CFStringGetCharactersPtr");
    return f.call(nullptr, string);
}

void CFStringGetCharacters(CFStringRef string, CFRange range, UniChar *buffer)
{
    static BoundFunction<void(CFStringRef, CFRange, UniChar *)> f(kCF, "CFStringGetCharacters");
    f.call(kNoResult, string, range, buffer);
}

CFNumberType CFNumberGetType(CFNumberRef number)
{
    static BoundFunction<CFNumberType(CFNumberRef)> f(kCF, "CFNumberGetType");
    return f.call(0, number);
}

CFBoolean CFNumberGetValue(CFNumberRef number, CFNumberType type, void *value)
{
    static BoundFunction<CFBoolean(CFNumberRef, CFNumberType, void *)> f(kCF, "CFNumberGetValue");
    return f.call(0, number, type, value);
}

CFBoolean CFBooleanGetValue(CFBooleanRef boolean)
{
    static BoundFunction<CFBoolean(CFBooleanRef)> f(kCF, "CFBooleanGetValue");
    return f.call(0, boolean);
}

CFIndex CFDataGetLength(CFDataRef data)
{
    static BoundFunction<CFIndex(CFDataRef)> f(kCF, "CFDataGetLength");
    return f.call(0, data);
}

const uint8_t *CFDataGetBytePtr(CFDataRef data)
{
    static BoundFunction<const uint8_t *(CFDataRef)> f(kCF, "CFDataGetBytePtr");
    return f.call(nullptr, data);
}

void CFRelease(CFTypeRef object)
{
    static BoundFunction<void(CFTypeRef)> f(kCF, "CFRelease");
    f.call(kNoResult, object);
}

} // namespace CoreFoundation
