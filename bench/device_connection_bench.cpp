// Device side on the virtual iPhone, in one run:
//  - plug-in to "创建连接成功" in the started program window, median over 20 plugs;
//  - the 62 single-value reads of an information refresh through AMDeviceCopyValue, median of 20
//    rounds, against `ideviceinfo` reading every value of the same virtual iPhone (median of 20 runs).
// Lives beside the program (build/<preset>/bin), so it finds the device libraries as the program does.
#include "app/main_window.h"
#include "app/settings.h"
#include "app/startup.h"
#include "device/device_context.h"
#include "device/device_functions.h"
#include "platform/ui/application.h"
#include "virtual_iphone_fixture.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

bool waitForLog(const MainWindow &w, const char *text)
{
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (w.编辑框_log.caption().find(text) == std::string::npos) {
        if (Clock::now() > deadline)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

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
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string home = (std::filesystem::temp_directory_path() / "kelm-bench-home").string();
    std::filesystem::create_directories(home);
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    ::setenv("KELM_REGISTRY_FILE", (home + "/none.reg").c_str(), 1);
    WriteSetting(kFirstOpenSection, kFirstOpenKey, "1");

    kelm::test::VirtualIphone phone;
    if (phone.start().empty()) {
        std::fprintf(stderr, "virtual iPhone: %s\n", phone.lastError().c_str());
        return 1;
    }
    phone.exportAddress();
    CreateDeviceContext();
    platform::ui::Application application;
    MainWindow *w = CreateMainWindow();
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

    std::vector<double> peer;
    const std::string command = "ideviceinfo -u " + udid + " > /dev/null 2>&1";
    for (int i = 0; i < 20; ++i) {
        const auto t0 = Clock::now();
        if (std::system(command.c_str()) != 0)
            return 4;
        peer.push_back(ms(Clock::now() - t0));
    }

    std::printf("plug-in to session (median of 20):            %.2f ms\n", median(plugs));
    std::printf("62 AMDeviceCopyValue reads (median of 20):    %.2f ms\n", median(reads));
    std::printf("ideviceinfo, all values (median of 20):       %.2f ms\n", median(peer));
    std::printf("ratio reads / ideviceinfo:                    %.2f\n", median(reads) / median(peer));
    phone.stop();
    std::fflush(stdout);
    std::_Exit(0); // the device thread stays in the library's run loop
}
