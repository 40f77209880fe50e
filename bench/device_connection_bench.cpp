// Device side on the virtual iPhone, in one run:
//  - plug-in to "创建连接成功" in the started program window, median over 20 plugs;
//  - the 62 single-value reads of an information refresh through AMDeviceCopyValue, median of 20
//    rounds, against `ideviceinfo` reading every value of the same virtual iPhone (median of 20 runs).
// Lives beside the program (build/<preset>/bin), so it finds the device libraries as the program does.
#include "program_bench_support.h"
#include "device/device_functions.h"

using namespace bench;

namespace {

// The keys of an information refresh, with their domains.
const std::pair<const char *, const char *> kKeys[] = {
    {"", "DeviceName"}, {"", "ProductType"}, {"", "DeviceColor"}, {"", "DeviceEnclosureColor"},
    {"", "ProductVersion"}, {"", "BuildVersion"}, {"", "SerialNumber"}, {"", "DeviceClass"},
    {"", "UniqueDeviceID"}, {"", "PhoneNumber"}, {"", "ModelNumber"}, {"", "HardwareModel"},
    {"", "RegionInfo"}, {"", "CPUArchitecture"}, {"", "WiFiAddress"}, {"", "BluetoothAddress"},
    {"", "FirmwareVersion"}, {"", "ActivationState"}, {"", "BasebandVersion"}, {"", "BasebandBootloaderVersion"},
    {"", "BasebandChipId"}, {"", "BasebandGoldCertId"}, {"", "IntegratedCircuitCardIdentity"},
    {"", "InternationalMobileEquipmentIdentity"}, {"", "InternationalMobileSubscriberIdentity"},
    {"", "MLBSerialNumber"}, {"", "MobileSubscriberCountryCode"}, {"", "MobileSubscriberNetworkCode"},
    {"", "PasswordProtected"}, {"", "ProductionSOC"}, {"", "SDIOProductInfo"}, {"", "SIMStatus"},
    {"", "TimeZone"}, {"", "ActivationPublicKey"}, {"", "ActivationStateAcknowledged"}, {"", "BasebandStatus"},
    {"", "BasebandSerialNumber"}, {"", "InternationalMobileEquipmentIdentity2"}, {"", "kCTSIMSupportSIMStatusReady"},
    {"", "TimeZoneOffsetFromUTC"}, {"", "Uses24HourClock"}, {"", "kCTSIMSupportSIMTrayInsertedWithSIM"},
    {"", "DeviceCertificate"}, {"", "DevicePublicKey"}, {"", "DieID"}, {"", "HardwarePlatform"},
    {"", "HostAttached"}, {"", "ProtocolVersion"}, {"", "SupportedDeviceFamilies"}, {"", "TrustedHostAttached"},
    {"com.apple.mobile.battery", "FullyCharged"}, {"com.apple.mobile.battery", "BatteryCurrentCapacity"},
    {"com.apple.mobile.battery", "BatteryIsCharging"}, {"com.apple.disk_usage", "TotalDataAvailable"},
    {"com.apple.disk_usage", "TotalSystemCapacity"}, {"com.apple.disk_usage", "TotalSystemAvailable"},
    {"com.apple.disk_usage", "TotalDiskCapacity"}, {"com.apple.international", "Locale"},
    {"com.apple.international", "Language"}, {"com.apple.international", "Keyboard"},
    {"com.apple.mobile.software_behavior", "ChinaBrick"}, {"com.apple.mobile.software_behavior", "GoogleMail"},
};
static_assert(std::size(kKeys) == 62);

} // namespace

int main()
{
    kelm::test::VirtualIphone phone;
    MainWindow *w = startProgram(phone, "kelm-bench-home");
    if (!w)
        return 1;

    std::vector<double> plugs;
    std::string udid;
    for (int i = 0; i < 20; ++i) {
        w->编辑框_log.setCaption("");
        const auto t0 = Clock::now();
        udid = phone.plug("iphone.json");
        if (!waitForLog(*w, "创建连接成功"))
            return 2;
        plugs.push_back(ms(Clock::now() - t0));
        if (!waitForLog(*w, "已成功获取")) // the information refresh that follows the session
            return 2;
        if (i < 19) {
            phone.unplug(udid);
            if (!waitForLog(*w, "设备断开连接"))
                return 3;
        }
    }

    // The device stays plugged with its session open: read as an information refresh does.
    const uint32_t handle = gDeviceContext->deviceHandle.load();
    std::vector<double> reads;
    for (int round = 0; round < 20; ++round) {
        const auto t0 = Clock::now();
        for (const auto &[domain, key] : kKeys) {
            const CFStringRef d = *domain ? CoreFoundation::CFStringMakeConstantString(domain) : nullptr;
            const CFTypeRef value = MobileDevice::AMDeviceCopyValue(handle, d, CoreFoundation::CFStringMakeConstantString(key));
            if (value)
                CoreFoundation::CFRelease(value);
        }
        reads.push_back(ms(Clock::now() - t0));
    }

    const double peer = peerMedian(udid, 20);
    if (peer < 0)
        return 4;

    std::printf("plug-in to session (median of 20):            %.2f ms\n", median(plugs));
    std::printf("62 AMDeviceCopyValue reads (median of 20):    %.2f ms\n", median(reads));
    std::printf("ideviceinfo, all values (median of 20):       %.2f ms\n", peer);
    std::printf("ratio reads / ideviceinfo:                    %.2f\n", median(reads) / peer);
    finish(phone);
}
