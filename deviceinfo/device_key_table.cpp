// The table of the 62 keys. Keep the order: a key the device does not answer takes what the slot still
// holds from the key read before it.
#include "deviceinfo/device_key_table.h"

namespace {

using R = DeviceInfoRecord;

constexpr DeviceKey Key(const char *key, const char *domain, ValueKind kind, std::string R::*field)
{
    return {key, domain, kind, field, nullptr, nullptr, nullptr};
}
constexpr DeviceKey Key(const char *key, const char *domain, ValueKind kind, int32_t R::*field)
{
    return {key, domain, kind, nullptr, field, nullptr, nullptr};
}
constexpr DeviceKey Key(const char *key, const char *domain, ValueKind kind, int64_t R::*field)
{
    return {key, domain, kind, nullptr, nullptr, field, nullptr};
}
constexpr DeviceKey Key(const char *key, const char *domain, ValueKind kind, double R::*field)
{
    return {key, domain, kind, nullptr, nullptr, nullptr, field};
}

} // namespace

const std::array<DeviceKey, kDeviceKeyCount> DeviceKeyTable = {{
    Key("DeviceName", "", ValueKind::Text, &R::DeviceName),
    Key("ProductType", "", ValueKind::Text, &R::ProductType),
    Key("DeviceColor", "", ValueKind::Text, &R::DeviceColor),
    Key("DeviceEnclosureColor", "", ValueKind::Text, &R::DeviceEnclosureColor),
    Key("ProductVersion", "", ValueKind::Text, &R::ProductVersion),
    Key("BuildVersion", "", ValueKind::Text, &R::BuildVersion),
    Key("SerialNumber", "", ValueKind::Text, &R::SerialNumber),
    Key("DeviceClass", "", ValueKind::Text, &R::DeviceClass),
    Key("UniqueDeviceID", "", ValueKind::Text, &R::UniqueDeviceID),
    Key("PhoneNumber", "", ValueKind::Text, &R::PhoneNumber),
    Key("ModelNumber", "", ValueKind::Text, &R::ModelNumber),
    Key("HardwareModel", "", ValueKind::Text, &R::HardwareModel),
    Key("RegionInfo", "", ValueKind::Text, &R::RegionInfo),
    Key("CPUArchitecture", "", ValueKind::Text, &R::CPUArchitecture),
    Key("WiFiAddress", "", ValueKind::Text, &R::WiFiAddress),
    Key("BluetoothAddress", "", ValueKind::Text, &R::BluetoothAddress),
    Key("FirmwareVersion", "", ValueKind::Text, &R::FirmwareVersion),
    Key("ActivationState", "", ValueKind::Text, &R::ActivationState),
    Key("BasebandVersion", "", ValueKind::Text, &R::BasebandVersion),
    Key("BasebandBootloaderVersion", "", ValueKind::Text, &R::BasebandBootloaderVersion),
    Key("BasebandChipId", "", ValueKind::Int64, &R::BasebandChipId),
    Key("BasebandGoldCertId", "", ValueKind::Int64, &R::BasebandGoldCertId),
    Key("IntegratedCircuitCardIdentity", "", ValueKind::Text, &R::IntegratedCircuitCardIdentity),
    Key("InternationalMobileEquipmentIdentity", "", ValueKind::Text, &R::InternationalMobileEquipmentIdentity),
    Key("InternationalMobileSubscriberIdentity", "", ValueKind::Text, &R::InternationalMobileSubscriberIdentity),
    Key("MLBSerialNumber", "", ValueKind::Text, &R::MLBSerialNumber),
    Key("MobileSubscriberCountryCode", "", ValueKind::Text, &R::MobileSubscriberCountryCode),
    Key("MobileSubscriberNetworkCode", "", ValueKind::Text, &R::MobileSubscriberNetworkCode),
    Key("PasswordProtected", "", ValueKind::Flag, &R::PasswordProtected),
    Key("ProductionSOC", "", ValueKind::Flag, &R::ProductionSOC),
    Key("SDIOProductInfo", "", ValueKind::Text, &R::SDIOProductInfo),
    Key("SIMStatus", "", ValueKind::Text, &R::SIMStatus),
    Key("TimeZone", "", ValueKind::Text, &R::TimeZone),
    Key("ActivationPublicKey", "", ValueKind::Bytes, &R::ActivationPublicKey),
    Key("ActivationStateAcknowledged", "", ValueKind::Flag, &R::ActivationStateAcknowledged),
    Key("BasebandStatus", "", ValueKind::Text, &R::BasebandStatus),
    Key("BasebandSerialNumber", "", ValueKind::Bytes, &R::BasebandSerialNumber),
    Key("InternationalMobileEquipmentIdentity2", "", ValueKind::Text, &R::InternationalMobileEquipmentIdentity2),
    Key("kCTSIMSupportSIMStatusReady", "", ValueKind::Text, &R::kCTSIMSupportSIMStatusReady),
    Key("TimeZoneOffsetFromUTC", "", ValueKind::Double, &R::TimeZoneOffsetFromUTC),
    Key("Uses24HourClock", "", ValueKind::Flag, &R::Uses24HourClock),
    Key("kCTSIMSupportSIMTrayInsertedWithSIM", "", ValueKind::Text, &R::kCTSIMSupportSIMTrayInsertedWithSIM),
    Key("DeviceCertificate", "", ValueKind::Bytes, &R::DeviceCertificate),
    Key("DevicePublicKey", "", ValueKind::Bytes, &R::DevicePublicKey),
    Key("DieID", "", ValueKind::Int64, &R::DieID),
    Key("HardwarePlatform", "", ValueKind::Text, &R::HardwarePlatform),
    Key("HostAttached", "", ValueKind::Flag, &R::HostAttached),
    Key("ProtocolVersion", "", ValueKind::Text, &R::ProtocolVersion),
    Key("SupportedDeviceFamilies", "", ValueKind::Text, &R::SupportedDeviceFamilies),
    Key("TrustedHostAttached", "", ValueKind::Flag, &R::TrustedHostAttached),
    Key("FullyCharged", "com.apple.mobile.battery", ValueKind::Flag, &R::FullyCharged),
    Key("BatteryCurrentCapacity", "com.apple.mobile.battery", ValueKind::Int64, &R::BatteryCurrentCapacity),
    Key("BatteryIsCharging", "com.apple.mobile.battery", ValueKind::Flag, &R::BatteryIsCharging),
    Key("TotalDataAvailable", "com.apple.disk_usage", ValueKind::Int64, &R::TotalDataAvailable),
    Key("TotalSystemCapacity", "com.apple.disk_usage", ValueKind::Int64, &R::TotalSystemCapacity),
    Key("TotalSystemAvailable", "com.apple.disk_usage", ValueKind::Int32, &R::TotalSystemAvailable),
    Key("TotalDiskCapacity", "com.apple.disk_usage", ValueKind::Int64, &R::TotalDiskCapacity),
    Key("Locale", "com.apple.international", ValueKind::Text, &R::Locale),
    Key("Language", "com.apple.international", ValueKind::Text, &R::Language),
    Key("Keyboard", "com.apple.international", ValueKind::Text, &R::Keyboard),
    Key("ChinaBrick", "com.apple.mobile.software_behavior", ValueKind::Flag, &R::ChinaBrick),
    Key("GoogleMail", "com.apple.mobile.software_behavior", ValueKind::Flag, &R::GoogleMail),
}};

void StoreDeviceValue(const DeviceKey &key, const DeviceValue &slot, DeviceInfoRecord &record)
{
    switch (key.kind) {
    case ValueKind::Text:
        record.*key.stringField = slot.textValue;
        return;
    case ValueKind::Bytes:
        record.*key.stringField = slot.bytesValue;
        return;
    case ValueKind::Flag:
        record.*key.int32Field = slot.boolValue;
        return;
    case ValueKind::Int64:
        record.*key.int64Field = slot.int64Value;
        return;
    case ValueKind::Double:
        record.*key.doubleField = slot.doubleValue;
        return;
    case ValueKind::Int32:
        record.*key.int32Field = slot.int32Value;
        return;
    }
}
