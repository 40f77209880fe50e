// The 62 values the information refresh reads, in reading order, with the domain each is read in and
// the record field it goes to.
#pragma once

#include "device/device_context.h"
#include "deviceinfo/device_value.h"

#include <array>
#include <cstdint>
#include <string>

// Which field of the DeviceValue a key's record field takes. Fixed per key: the type the device
// actually sent is not looked at (a 64-bit number for a 32-bit key gives 0).
enum class ValueKind { Text, Bytes, Flag, Int64, Double, Int32 };

struct DeviceKey {
    const char *key;
    const char *domain; // "" = the device's default domain
    ValueKind kind;
    // The record field; exactly the one that matches the kind's C++ type is set.
    std::string DeviceInfoRecord::*stringField = nullptr; // Text, Bytes
    int32_t DeviceInfoRecord::*int32Field = nullptr;      // Flag, Int32
    int64_t DeviceInfoRecord::*int64Field = nullptr;      // Int64
    double DeviceInfoRecord::*doubleField = nullptr;      // Double
};

inline constexpr size_t kDeviceKeyCount = 62;
extern const std::array<DeviceKey, kDeviceKeyCount> DeviceKeyTable;

// Copies into the key's record field the slot field of the key's kind.
void StoreDeviceValue(const DeviceKey &key, const DeviceValue &slot, DeviceInfoRecord &record);
