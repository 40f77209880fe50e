// Reading one value of the connected device: the request goes to the device library as a
// (domain, key) pair, and the CoreFoundation object that comes back becomes a DeviceValue, a small
// typed record the rest of the program uses without touching CoreFoundation.
#pragma once

#include "device/device_functions.h"

#include <cstdint>
#include <string>
#include <string_view>

// The typed result of one read. A conversion starts from an all-empty record and fills exactly one
// field (or none), so a reader that looks at a field of another kind sees zero or empty. The record
// owns its byte string and its text; copies are deep.
struct DeviceValue {
    int32_t boolValue = 0;      // CFBoolean: 1 or 0
    float floatValue = 0;       // CFNumber types 5, 12, 16
    double doubleValue = 0;     // CFNumber types 6, 13
    int64_t int64Value = 0;     // CFNumber types 4, 11
    int32_t int32Value = 0;     // CFNumber types 1, 2, 3, 7, 8, 9, 10, 14, 15 (8/16-bit ones unsigned)
    std::string bytesValue;     // CFString: its UTF-16LE code units; CFData: its bytes
    std::string textValue;      // CFString only: GBK
};

// Reads `key` in `domain` ("" = the device's default domain) of the device whose handle is in
// gDeviceContext at the moment of the call. True when the device gave a value: `slot` then holds its
// conversion. False when it gave none (unknown key, no session, device gone, no device library):
// `slot` is left exactly as it was. Takes no lock; callable from the device thread or the window
// thread. The object the library returns is released here.
bool ReadDeviceValue(std::string_view domain, std::string_view key, DeviceValue &slot);

// The library's interned string for `text` (its bytes and one zero byte): valid for the rest of the
// process, never released. 0 when the library is not available.
CFStringRef MakeConstantCFString(std::string_view text);

// A fresh DeviceValue filled from `object` by its CoreFoundation type (string, number, boolean, data);
// arrays, dates, dictionaries, numbers of unknown types and every other object give the all-empty
// record. The object is not released.
DeviceValue ConvertCFValue(CFTypeRef object);
