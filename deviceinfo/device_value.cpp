// The value reader: one AMDeviceCopyValue per read, and the conversion of what comes back.
#include "deviceinfo/device_value.h"

#include "device/device_context.h"
#include "deviceinfo/value_text.h"

#include <vector>

namespace {

void ConvertString(CFStringRef string, DeviceValue &value)
{
    const CFIndex length = CoreFoundation::CFStringGetLength(string);
    if (length <= 0)
        return;
    const UniChar *units = CoreFoundation::CFStringGetCharactersPtr(string);
    std::vector<UniChar> copy;
    if (!units) {
        copy.resize(static_cast<size_t>(length));
        CoreFoundation::CFStringGetCharacters(string, CFRange{0, length}, copy.data());
        units = copy.data();
    }
    // The code units as they lie in memory: little-endian on this machine, as on the original one.
    value.bytesValue.assign(reinterpret_cast<const char *>(units), static_cast<size_t>(length) * sizeof(UniChar));
    value.textValue = Utf16ToGbk(value.bytesValue);
}

void ConvertNumber(CFNumberRef number, DeviceValue &value)
{
    const CFNumberType type = CoreFoundation::CFNumberGetType(number);
    switch (type) {
    case 5:  // Float32
    case 12: // Float
    case 16: // CGFloat (4 bytes, as in the 32-bit library)
        CoreFoundation::CFNumberGetValue(number, type, &value.floatValue);
        return;
    case 6:  // Float64
    case 13: // Double
        CoreFoundation::CFNumberGetValue(number, type, &value.doubleValue);
        return;
    case 4:  // SInt64
    case 11: // LongLong
        CoreFoundation::CFNumberGetValue(number, type, &value.int64Value);
        return;
    case 1:  // SInt8
    case 2:  // SInt16
    case 3:  // SInt32
    case 7:  // Char
    case 8:  // Short
    case 9:  // Int
    case 10: // Long (4 bytes)
    case 14: // CFIndex (4 bytes)
    case 15: // NSInteger (4 bytes)
        // The library writes only as many bytes as the type has into the zeroed cell, so an 8- or
        // 16-bit value reads as its unsigned form.
        CoreFoundation::CFNumberGetValue(number, type, &value.int32Value);
        return;
    default: // 0 and anything above 16: not a number type the program knows
        return;
    }
}

void ConvertData(CFDataRef data, DeviceValue &value)
{
    const CFIndex length = CoreFoundation::CFDataGetLength(data);
    const uint8_t *bytes = CoreFoundation::CFDataGetBytePtr(data);
    if (bytes && length > 0)
        value.bytesValue.assign(reinterpret_cast<const char *>(bytes), static_cast<size_t>(length));
}

} // namespace

CFStringRef MakeConstantCFString(std::string_view text)
{
    const std::string terminated(text); // c_str() adds the one zero byte
    return CoreFoundation::CFStringMakeConstantString(terminated.c_str());
}

DeviceValue ConvertCFValue(CFTypeRef object)
{
    DeviceValue value;
    if (!object)
        return value;
    const CFTypeID type = CoreFoundation::CFGetTypeID(object);
    // Compared in this order; the first match decides.
    if (type == CoreFoundation::CFStringGetTypeID()) {
        ConvertString(object, value);
        return value;
    }
    if (type == CoreFoundation::CFArrayGetTypeID() || type == CoreFoundation::CFDateGetTypeID())
        return value;
    if (type == CoreFoundation::CFNumberGetTypeID()) {
        ConvertNumber(object, value);
        return value;
    }
    if (type == CoreFoundation::CFBooleanGetTypeID()) {
        value.boolValue = CoreFoundation::CFBooleanGetValue(object) ? 1 : 0;
        return value;
    }
    if (type == CoreFoundation::CFDictionaryGetTypeID())
        return value;
    if (type == CoreFoundation::CFDataGetTypeID())
        ConvertData(object, value);
    return value;
}

bool ReadDeviceValue(std::string_view domain, std::string_view key, DeviceValue &slot)
{
    const CFStringRef domainString = domain.empty() ? nullptr : MakeConstantCFString(domain);
    const CFStringRef keyString = MakeConstantCFString(key);
    const uint32_t device = gDeviceContext ? gDeviceContext->deviceHandle.load() : 0;
    const CFTypeRef object = MobileDevice::AMDeviceCopyValue(device, domainString, keyString);
    if (!object)
        return false;
    slot = ConvertCFValue(object);
    // The library hands out a new reference; nothing keeps the object after the conversion.
    CoreFoundation::CFRelease(object);
    return true;
}
