// The one global record of the device side: where the device libraries were found, the handle of
// the most recent device, and the information read from it.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

// The values read from (or derived for) the connected device, one field per value, in the order the
// information refresh reads them. Texts are GBK; byte fields hold raw bytes. Every field starts
// empty/zero and is overwritten by each refresh; nothing clears it in between.
struct DeviceInfoRecord {
    std::string DeviceName;
    std::string ProductType;
    std::string MarketingName;
    std::string DeviceColor;
    std::string ColorName;
    std::string DeviceEnclosureColor;
    std::string ProductVersion;
    std::string BuildVersion;
    std::string SerialNumber;
    std::string DeviceClass;
    std::string UniqueDeviceID;
    std::string PhoneNumber;
    std::string ModelNumber;
    std::string HardwareModel;
    std::string RegionInfo;
    std::string CPUArchitecture;
    std::string WiFiAddress;
    std::string BluetoothAddress;
    std::string FirmwareVersion;
    std::string ActivationState;
    std::string BasebandVersion;
    std::string BasebandBootloaderVersion;
    int64_t BasebandChipId = 0;
    int64_t BasebandGoldCertId = 0;
    std::string IntegratedCircuitCardIdentity;
    std::string InternationalMobileEquipmentIdentity;
    std::string InternationalMobileSubscriberIdentity;
    std::string MLBSerialNumber;
    std::string MobileSubscriberCountryCode;
    std::string MobileSubscriberNetworkCode;
    int32_t PasswordProtected = 0;
    int32_t ProductionSOC = 0;
    std::string SDIOProductInfo;
    std::string SIMStatus;
    std::string TimeZone;
    std::string ActivationPublicKey; // bytes
    int32_t ActivationStateAcknowledged = 0;
    std::string BasebandStatus;
    std::string BasebandSerialNumber; // bytes
    std::string InternationalMobileEquipmentIdentity2;
    std::string kCTSIMSupportSIMStatusReady;
    double TimeZoneOffsetFromUTC = 0;
    int32_t Uses24HourClock = 0;
    std::string kCTSIMSupportSIMTrayInsertedWithSIM;
    std::string DeviceCertificate; // bytes
    std::string DevicePublicKey; // bytes
    int64_t DieID = 0;
    std::string HardwarePlatform;
    int32_t HostAttached = 0;
    std::string ProtocolVersion;
    std::string SupportedDeviceFamilies;
    int32_t TrustedHostAttached = 0;
    int32_t FullyCharged = 0;
    int64_t BatteryCurrentCapacity = 0;
    int32_t BatteryIsCharging = 0;
    int64_t TotalDataAvailable = 0;
    int64_t TotalSystemCapacity = 0;
    int32_t TotalSystemAvailable = 0;
    int64_t TotalDiskCapacity = 0;
    std::string Locale;
    std::string Language;
    std::string Keyboard;
    int32_t ChinaBrick = 0;
    int32_t GoogleMail = 0;
};

struct DeviceContext {
    int32_t is64BitSystem = 0;
    std::string mobileDevicePath;
    std::string coreFoundationPath;
    // Written by the device thread at every arrival, read by the window thread (commands, close):
    // one 32-bit value stored and loaded whole. 0 until a device has arrived; never cleared.
    std::atomic<uint32_t> deviceHandle{0};
    DeviceInfoRecord *info = nullptr;
};

// Created at process entry before any window exists, released by ReleaseGlobals at exit.
extern DeviceContext *gDeviceContext;

// Creates gDeviceContext with an all-empty DeviceInfoRecord (replacing nothing if it exists).
void CreateDeviceContext();

// Releases the DeviceInfoRecord, then the DeviceContext. Safe to call twice.
void ReleaseDeviceContext();
