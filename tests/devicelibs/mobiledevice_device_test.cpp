// libMobileDevice.so end to end against the virtual iPhone (a real usbmuxd socket and lockdown
// protocol in another process), driven as the program drives it: a subscriber thread in its run
// loop, then separate steps on the handle it was given. Each test expects a process of its own (as
// ctest runs them): libusbmuxd's device watcher and the handle table live as long as the process.
#include "device_watcher.h"
#include "mobiledevice.h"
#include "virtual_iphone_fixture.h"

#include "cf_test_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace {

using cftest::Owned;
using cftest::unitsOf;

using kelm::test::DeviceWatcher;
using kelm::test::VirtualIphone;

CFStringRef cf(const char *text) { return text ? __CFStringMakeConstantString(text) : nullptr; }

int64_t int64Of(CFTypeRef n)
{
    int64_t v = 0;
    CFNumberGetValue(n, kCFNumberSInt64Type, &v);
    return v;
}

bool contains(const std::vector<std::string> &lines, const std::string &line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Waits until the device has received `request` (fail-safe limit, not a timing check).
bool waitForRequest(VirtualIphone &vi, const std::string &udid, const std::string &request)
{
    for (int i = 0; i < 2000; ++i) {
        if (contains(vi.requests(udid), request))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

class MobileDeviceTest : public ::testing::Test {
protected:
    void startServer(const std::vector<std::string> &profiles = {})
    {
        ASSERT_FALSE(vi.start(profiles).empty()) << vi.lastError();
        vi.exportAddress();
    }
    // Plugs a profile and returns the handle of its arrival.
    uint32_t plug(const std::string &profile, std::string *udid = nullptr)
    {
        std::string id = vi.plug(profile);
        EXPECT_FALSE(id.empty()) << vi.lastError();
        if (udid)
            *udid = id;
        return watcher.nextArrival();
    }
    // Connect, validate (pair when needed) and start a session, as the program does on arrival.
    void openSession(uint32_t h)
    {
        ASSERT_EQ(AMDeviceConnect(h), 0);
        if (AMDeviceValidatePairing(h) != 0) {
            ASSERT_EQ(AMDevicePair(h), 0);
        }
        ASSERT_EQ(AMDeviceStartSession(h), 0);
    }

    VirtualIphone vi;
    DeviceWatcher watcher; // destroyed before vi: unsubscribes while the server still runs
};

TEST_F(MobileDeviceTest, ArrivalsAndDeparturesReachEachSubscriberOnItsOwnThread)
{
    std::string firstUdid;
    startServer();
    firstUdid = vi.plug("iphone.json"); // present before anyone subscribes
    ASSERT_FALSE(firstUdid.empty()) << vi.lastError();
    ASSERT_EQ(watcher.start(), 0);

    const uint32_t first = watcher.nextArrival();
    ASSERT_NE(first, 0u);
    const uint32_t second = plug("unpaired.json");
    ASSERT_NE(second, 0u);
    EXPECT_NE(second, first);

    ASSERT_TRUE(vi.unplug(firstUdid));
    EXPECT_EQ(watcher.nextDeparture(), first);

    // The same device back again: a new handle; the old one stays known but dead.
    const uint32_t again = plug("iphone.json");
    ASSERT_NE(again, 0u);
    EXPECT_NE(again, first);
    EXPECT_NE(again, second);
    EXPECT_EQ(AMDeviceConnect(first), kAMDDeviceDisconnectedError);
    EXPECT_EQ(AMDeviceStartSession(first), kAMDDeviceDisconnectedError);
    EXPECT_EQ(AMDeviceCopyValue(first, nullptr, cf("DeviceName")), nullptr);
    EXPECT_EQ(AMDeviceDisconnect(first), 0);
    EXPECT_EQ(AMDeviceConnect(again), 0);

    // A later subscriber hears of the devices present now, and only of them.
    {
        DeviceWatcher late;
        ASSERT_EQ(late.start(), 0);
        std::vector<uint32_t> announced = {late.nextArrival(), late.nextArrival()};
        std::sort(announced.begin(), announced.end());
        std::vector<uint32_t> present = {second, again};
        std::sort(present.begin(), present.end());
        EXPECT_EQ(announced, present);
        EXPECT_TRUE(late.callbacksOnOwnThread());
    }
    EXPECT_TRUE(watcher.idle());
    EXPECT_TRUE(watcher.callbacksOnOwnThread());
    EXPECT_FALSE(DeviceWatcher::anyStrayCallback());
}

TEST_F(MobileDeviceTest, SubscribingBeforeTheDaemonListensStillSeesItsDevices)
{
    // The usbmuxd address names a link that does not exist yet.
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("kelm-devicelibs-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path link = dir / "usbmuxd";
    ::setenv("USBMUXD_SOCKET_ADDRESS", ("UNIX:" + link.string()).c_str(), 1);
    ASSERT_EQ(watcher.start(), 0);

    ASSERT_FALSE(vi.start({"iphone.json"}).empty()) << vi.lastError();
    std::filesystem::create_symlink(vi.socketPath(), link);
    const uint32_t h = watcher.nextArrival();
    EXPECT_NE(h, 0u);
    EXPECT_EQ(AMDeviceConnect(h), 0);
    EXPECT_EQ(AMDeviceDisconnect(h), 0);
    std::filesystem::remove_all(dir);
}

TEST_F(MobileDeviceTest, EachStepReportsWhatTheDeviceSays)
{
    struct Case {
        const char *profile;
        int32_t validate;
        int32_t pair; // only tried when validation failed
        int32_t validateAfterPair;
        int32_t session;
    };
    const std::vector<Case> cases = {
        {"iphone.json", 0, 0, 0, 0},
        {"unpaired.json", kAMDMissingPairRecordError, 0, 0, 0},
        {"passcode-locked.json", kAMDPasswordProtectedError, kAMDPasswordProtectedError, kAMDPasswordProtectedError, 0},
        {"invalid-hostid.json", 0, 0, 0, kAMDInvalidHostIDError},
        {"session-error.json", 0, 0, 0, kAMDSessionInactiveError},
    };
    startServer();
    ASSERT_EQ(watcher.start(), 0);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.profile);
        std::string udid;
        const uint32_t h = plug(c.profile, &udid);
        ASSERT_NE(h, 0u);
        // Before connecting, every step that needs the connection says so.
        EXPECT_EQ(AMDeviceValidatePairing(h), kAMDNotConnectedError);
        EXPECT_EQ(AMDeviceStartSession(h), kAMDNotConnectedError);
        ASSERT_EQ(AMDeviceConnect(h), 0);
        EXPECT_EQ(AMDeviceConnect(h), 0); // already connected: nothing changes
        const int32_t validate = AMDeviceValidatePairing(h);
        EXPECT_EQ(validate, c.validate);
        if (validate != 0) {
            EXPECT_EQ(AMDevicePair(h), c.pair);
            EXPECT_EQ(AMDeviceValidatePairing(h), c.validateAfterPair);
        }
        EXPECT_EQ(AMDeviceStartSession(h), c.session);
        if (c.session != 0 && c.session != kAMDInvalidHostIDError) {
            // The program's fallback after a refused session: reconnect and open AFC.
            EXPECT_EQ(AMDeviceDisconnect(h), 0);
            EXPECT_EQ(AMDeviceConnect(h), 0);
            EXPECT_EQ(AFCConnectionCreate(h), 0);
        }
        EXPECT_EQ(AMDeviceDisconnect(h), 0);
        ASSERT_TRUE(vi.unplug(udid));
        EXPECT_EQ(watcher.nextDeparture(), h);
    }
}

TEST_F(MobileDeviceTest, ValuesArriveAsCFObjectsWithOneRequestEach)
{
    startServer();
    ASSERT_EQ(watcher.start(), 0);
    std::string udid;
    const uint32_t h = plug("iphone.json", &udid);
    openSession(h);
    ASSERT_TRUE(vi.clear(udid));

    struct Case {
        const char *domain;
        const char *key;
        CFTypeID type;
        std::u16string text = u""; // strings
        int64_t integer = 0;  // numbers of type 4
        double real = 0;      // numbers of type 6
        int flag = -1;        // booleans
        CFIndex dataLength = 0;
    };
    const std::vector<Case> cases = {
        {nullptr, "DeviceName", CFStringGetTypeID(), u"小明的iPhone"},
        {nullptr, "ProductType", CFStringGetTypeID(), u"iPhone12,1"},
        {nullptr, "BasebandGoldCertId", CFNumberGetTypeID(), u"", 3554301762},
        {nullptr, "DieID", CFNumberGetTypeID(), u"", 1234567890123456789},
        {nullptr, "TimeZoneOffsetFromUTC", CFNumberGetTypeID(), u"", 0, 28800.0},
        {nullptr, "PasswordProtected", CFBooleanGetTypeID(), u"", 0, 0, 1},
        {nullptr, "BasebandSerialNumber", CFDataGetTypeID(), u"", 0, 0, -1, 4},
        {nullptr, "SupportedDeviceFamilies", CFArrayGetTypeID()},
        {"com.apple.mobile.battery", "BatteryCurrentCapacity", CFNumberGetTypeID(), u"", 87},
        {"com.apple.mobile.battery", "FullyCharged", CFBooleanGetTypeID(), u"", 0, 0, 0},
        {"com.apple.disk_usage", "TotalDiskCapacity", CFNumberGetTypeID(), u"", 63978983424},
        {"com.apple.mobile.battery", nullptr, CFDictionaryGetTypeID()},
    };
    std::vector<std::string> expectedRequests;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key ? c.key : c.domain);
        Owned value(AMDeviceCopyValue(h, cf(c.domain), cf(c.key)));
        std::string request = "GetValue";
        if (c.domain)
            request += std::string(" Domain=") + c.domain;
        if (c.key)
            request += std::string(" Key=") + c.key;
        expectedRequests.push_back(request);
        ASSERT_NE(value.ref, nullptr);
        ASSERT_EQ(CFGetTypeID(value.ref), c.type);
        if (c.type != CFBooleanGetTypeID()) { // the two booleans are process-wide constants
            EXPECT_EQ(CFGetRetainCount(value.ref), 1); // the caller's own reference
        }
        if (c.type == CFStringGetTypeID()) {
            EXPECT_EQ(unitsOf(value.ref), c.text);
        }
        if (c.type == CFNumberGetTypeID() && c.real == 0) {
            EXPECT_EQ(CFNumberGetType(value.ref), kCFNumberSInt64Type);
            EXPECT_EQ(int64Of(value.ref), c.integer);
        }
        if (c.type == CFNumberGetTypeID() && c.real != 0) {
            EXPECT_EQ(CFNumberGetType(value.ref), kCFNumberFloat64Type);
            double d = 0;
            CFNumberGetValue(value.ref, kCFNumberFloat64Type, &d);
            EXPECT_EQ(d, c.real);
        }
        if (c.type == CFBooleanGetTypeID()) {
            EXPECT_EQ(CFBooleanGetValue(value.ref), c.flag);
        }
        if (c.type == CFDataGetTypeID()) {
            EXPECT_EQ(CFDataGetLength(value.ref), c.dataLength);
        }
        if (c.type == CFDictionaryGetTypeID()) {
            EXPECT_EQ(int64Of(CFDictionaryGetValue(value.ref, cf("BatteryCurrentCapacity"))), 87);
        }
    }
    // A value the device does not have: NULL, and the connection stays usable.
    EXPECT_EQ(AMDeviceCopyValue(h, nullptr, cf("NoSuchKey")), nullptr);
    expectedRequests.push_back("GetValue Key=NoSuchKey");
    EXPECT_EQ(AMDeviceCopyValue(h, cf("com.apple.no.such.domain"), cf("DeviceName")), nullptr);
    expectedRequests.push_back("GetValue Domain=com.apple.no.such.domain Key=DeviceName");
    Owned name(AMDeviceCopyValue(h, nullptr, cf("DeviceName")));
    EXPECT_NE(name.ref, nullptr);
    expectedRequests.push_back("GetValue Key=DeviceName");
    // One round trip per value: nothing else went to the device.
    EXPECT_EQ(vi.requests(udid), expectedRequests);
}

TEST_F(MobileDeviceTest, BadHandlesFailCleanly)
{
    // Before anything was subscribed, and afterwards with handles never given out.
    auto check = [](uint32_t h) {
        SCOPED_TRACE(h);
        for (int32_t rc : {AMDeviceConnect(h), AMDeviceValidatePairing(h), AMDevicePair(h), AMDeviceStartSession(h),
                           AMDeviceStopSession(h), AMDeviceDisconnect(h), AMDeviceEnterRecovery(h), AMDeviceActivate(h),
                           AMDeviceDeactivate(h), AFCConnectionCreate(h), AFCConnectionOpen(h),
                           AMDeviceInstallApplication(h, cf("/tmp/x.ipa"), nullptr, nullptr, nullptr)})
            EXPECT_EQ(rc, kAMDDeviceRefNoGood);
        EXPECT_EQ(AMDeviceCopyValue(h, nullptr, cf("DeviceName")), nullptr);
    };
    for (uint32_t h : {0u, 0xDEADBEEFu, 0xFFFFFFFFu})
        check(h);
    startServer({"iphone.json"});
    ASSERT_EQ(watcher.start(), 0);
    const uint32_t h = watcher.nextArrival();
    ASSERT_NE(h, 0u);
    for (uint32_t bad : {0u, h + 1000, 0xFFFFFFFFu})
        check(bad);
    EXPECT_EQ(AMDeviceNotificationSubscribe(nullptr, 0, 1, 0, nullptr), kAMDInvalidArgumentError);
    EXPECT_EQ(AMDeviceNotificationUnsubscribe(999999), kAMDInvalidArgumentError);
    uint32_t slot = 0;
    EXPECT_EQ(AMRestoreRegisterForDeviceNotifications(nullptr, nullptr, nullptr, nullptr, 0, &slot), 0);
    EXPECT_NE(slot, 0u);
}

TEST_F(MobileDeviceTest, CommandsRunOnlyWhereTheDeviceAllowsThem)
{
    startServer();
    ASSERT_EQ(watcher.start(), 0);
    std::string udid;
    const uint32_t h = plug("iphone.json", &udid);
    ASSERT_EQ(AMDeviceConnect(h), 0);
    ASSERT_TRUE(vi.clear(udid));
    // Without a session nothing is sent for these.
    EXPECT_EQ(AMDeviceActivate(h), kAMDSessionInactiveError);
    EXPECT_EQ(AMDeviceDeactivate(h), kAMDSessionInactiveError);
    EXPECT_EQ(AMDeviceStopSession(h), kAMDSessionInactiveError);
    EXPECT_TRUE(vi.requests(udid).empty());

    ASSERT_EQ(AMDeviceStartSession(h), 0);
    EXPECT_EQ(AMDeviceActivate(h), 0);
    EXPECT_EQ(AMDeviceDeactivate(h), 0);
    {
        Owned state(AMDeviceCopyValue(h, nullptr, cf("ActivationState")));
        EXPECT_EQ(unitsOf(state.ref), u"Unactivated");
    }
    EXPECT_EQ(AFCConnectionCreate(h), 0);
    EXPECT_EQ(AFCConnectionOpen(h), 0); // replaces the first
    EXPECT_EQ(AMDeviceInstallApplication(h, cf("/tmp/x.ipa"), nullptr, nullptr, nullptr), kAMDUnsupportedError);
    EXPECT_EQ(AMDeviceStopSession(h), 0);
    EXPECT_EQ(AMDeviceStopSession(h), kAMDSessionInactiveError);
    const std::vector<std::string> sent = vi.requests(udid);
    for (const char *request : {"Activate", "Deactivate", "StartService", "StopSession"})
        EXPECT_TRUE(std::any_of(sent.begin(), sent.end(), [&](const std::string &s) { return s.rfind(request, 0) == 0; }))
            << request;

    EXPECT_EQ(AMDeviceDisconnect(h), 0);
    EXPECT_EQ(AMDeviceDisconnect(h), 0);
    EXPECT_EQ(AMDeviceEnterRecovery(h), kAMDNotConnectedError);
    ASSERT_EQ(AMDeviceConnect(h), 0);
    // The phone leaves for recovery mode after answering.
    EXPECT_EQ(AMDeviceEnterRecovery(h), 0);
    EXPECT_EQ(watcher.nextDeparture(), h);
    EXPECT_EQ(AMDeviceConnect(h), kAMDDeviceDisconnectedError);
}

TEST_F(MobileDeviceTest, DeviceErrorsReachTheCallerAsTheirNamedCodes)
{
    const std::vector<std::pair<const char *, int32_t>> cases = {
        {"InvalidHostID", kAMDInvalidHostIDError},
        {"PasswordProtected", kAMDPasswordProtectedError},
        {"PairingDialogResponsePending", kAMDPairingDialogResponsePendingError},
        {"UserDeniedPairing", kAMDUserDeniedPairingError},
        {"SessionInactive", kAMDSessionInactiveError},
        {"MissingPairRecord", kAMDMissingPairRecordError},
        {"InvalidPairRecord", kAMDInvalidPairRecordError},
        {"GetProhibited", kAMDGetProhibitedError},
        {"MissingValue", kAMDMissingValueError},
        {"InvalidService", kAMDInvalidServiceError},
        {"EscrowLocked", kAMDEscrowLockedError},
        {"MCProtected", kAMDMCProtected},
        {"InvalidRequest", kAMDUndefinedError}, // not a lockdown error name
    };
    startServer();
    ASSERT_EQ(watcher.start(), 0);
    std::string udid;
    const uint32_t h = plug("iphone.json", &udid);
    ASSERT_EQ(AMDeviceConnect(h), 0);
    for (const auto &[wire, code] : cases) {
        SCOPED_TRACE(wire);
        ASSERT_TRUE(vi.send("error " + udid + " EnterRecovery " + wire).ok);
        EXPECT_EQ(AMDeviceEnterRecovery(h), code);
    }
    // Pairing refusals come through Pair's own reply handling.
    for (const auto &[wire, code] : std::vector<std::pair<const char *, int32_t>>{
             {"PasswordProtected", kAMDPasswordProtectedError},
             {"PairingDialogResponsePending", kAMDPairingDialogResponsePendingError},
             {"UserDeniedPairing", kAMDUserDeniedPairingError}}) {
        SCOPED_TRACE(wire);
        ASSERT_TRUE(vi.send("error " + udid + " Pair " + wire).ok);
        EXPECT_EQ(AMDevicePair(h), code);
    }
}

// A step blocked on a device that goes away returns at once with kAMDDeviceDisconnectedError (the
// device would answer only after 60 s, beyond libimobiledevice's 30 s limit, which would give
// kAMDTimeOutError), and so does a step waiting for the device's lock behind it. One server per
// process: USBMUXD_SOCKET_ADDRESS may not change while libusbmuxd's threads run.
class StepInFlightTest : public MobileDeviceTest, public ::testing::WithParamInterface<bool> {};

TEST_P(StepInFlightTest, FailsWhenTheDeviceOrTheDaemonGoesAway)
{
    const bool killDaemon = GetParam();
    startServer();
    ASSERT_EQ(watcher.start(), 0);
    std::string udid;
    const uint32_t h = plug("iphone.json", &udid);
    ASSERT_NE(h, 0u);
    ASSERT_EQ(AMDeviceConnect(h), 0);
    ASSERT_EQ(AMDeviceStartSession(h), 0);
    ASSERT_TRUE(vi.send("delay " + udid + " GetValue:DeviceName 60000").ok);
    ASSERT_TRUE(vi.send("delay " + udid + " EnterRecovery 60000").ok);

    auto value = std::async(std::launch::async, [h] { return AMDeviceCopyValue(h, nullptr, cf("DeviceName")); });
    ASSERT_TRUE(waitForRequest(vi, udid, "GetValue Key=DeviceName"));
    auto recovery = std::async(std::launch::async, [h] { return AMDeviceEnterRecovery(h); });
    if (killDaemon)
        vi.kill();
    else
        ASSERT_TRUE(vi.unplug(udid));

    EXPECT_EQ(value.get(), nullptr);
    EXPECT_EQ(recovery.get(), kAMDDeviceDisconnectedError);
    EXPECT_EQ(watcher.nextDeparture(), h);
    EXPECT_EQ(AMDeviceConnect(h), kAMDDeviceDisconnectedError);
    EXPECT_EQ(AMDeviceCopyValue(h, nullptr, cf("DeviceName")), nullptr);
    EXPECT_EQ(AMDeviceDisconnect(h), 0);
}

INSTANTIATE_TEST_SUITE_P(DeviceGone, StepInFlightTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return info.param ? std::string("DaemonKilled") : std::string("DeviceUnplugged");
                         });

TEST_F(MobileDeviceTest, TwoThreadsCanShareOneDevice)
{
    startServer();
    ASSERT_EQ(watcher.start(), 0);
    const uint32_t h = plug("iphone.json");
    openSession(h);
    // The program's window thread and device thread both read values through the same handle.
    auto reader = [h](const char *key, const std::u16string &expected) {
        int good = 0;
        for (int i = 0; i < 100; ++i) {
            CFTypeRef v = AMDeviceCopyValue(h, nullptr, cf(key));
            good += (v != nullptr && CFGetTypeID(v) == CFStringGetTypeID() && unitsOf(v) == expected);
            CFRelease(v);
        }
        return good;
    };
    auto a = std::async(std::launch::async, reader, "DeviceName", u"小明的iPhone");
    auto b = std::async(std::launch::async, reader, "ProductType", u"iPhone12,1");
    EXPECT_EQ(a.get(), 100);
    EXPECT_EQ(b.get(), 100);
}

} // namespace
