// The virtual iPhone seen by libimobiledevice's own command-line tools, run as separate processes
// with USBMUXD_SOCKET_ADDRESS pointing at the server: what a person trying it by hand sees.
#include "test_support.h"
#include "virtual_iphone_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using kelm::test::VirtualIphone;

namespace {

const char *const kIphone = "00008030-001A2B3C4D5E6F70";

class VirtualIphoneTools : public ::testing::Test {
protected:
    void startWith(const std::vector<std::string> &profiles)
    {
        ASSERT_FALSE(vi.start(profiles).empty()) << vi.lastError();
        vi.exportAddress();
    }
    vitest::ToolRun tool(std::vector<std::string> argv)
    {
        return vitest::runTool(argv, {"USBMUXD_SOCKET_ADDRESS=" + vi.usbmuxdAddress()});
    }
    VirtualIphone vi;
};

TEST_F(VirtualIphoneTools, IdeviceIdListsEveryPluggedDevice)
{
    startWith({"iphone.json", "ipad-no-phone.json", "unpaired.json"});
    vitest::ToolRun run = tool({"idevice_id", "-l"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, std::string(kIphone) + "\n00008027-000C35A21E88802E\n00008101-000A1B2C3D4E5F60\n");
}

// ideviceinfo does the whole handshake (QueryType, ProductVersion, pair record, StartSession) then
// reads one key or a domain.
struct InfoCase {
    const char *name;
    const char *profile;
    std::vector<std::string> args;
    int exitCode;
    std::string out;
};
void PrintTo(const InfoCase &c, std::ostream *os)
{
    *os << c.name;
}

class VirtualIphoneInfo : public VirtualIphoneTools, public ::testing::WithParamInterface<InfoCase> {};

TEST_P(VirtualIphoneInfo, IdeviceinfoPrintsWhatTheProfileHolds)
{
    const InfoCase &c = GetParam();
    startWith({c.profile});
    std::vector<std::string> argv = {"ideviceinfo"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    vitest::ToolRun run = tool(argv);
    EXPECT_EQ(run.exitCode, c.exitCode);
    if (c.exitCode == 0) {
        EXPECT_EQ(run.out, c.out);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, VirtualIphoneInfo,
    ::testing::Values(
        InfoCase{"device_name", "iphone.json", {"-k", "DeviceName"}, 0, "小明的iPhone\n"},
        InfoCase{"battery_domain", "iphone.json", {"-q", "com.apple.mobile.battery"}, 0,
                 "BatteryCurrentCapacity: 87\nBatteryIsCharging: true\nFullyCharged: false\n"},
        InfoCase{"phone_number", "iphone.json", {"-k", "PhoneNumber"}, 0, "+86 138 0013 8000\n"},
        InfoCase{"ipad_product", "ipad-no-phone.json", {"-k", "ProductType"}, 0, "iPad11,3\n"},
        // The first run pairs (no record yet); the key is read in the session that follows.
        InfoCase{"unpaired_pairs_first", "unpaired.json", {"-k", "ProductType"}, 0, "iPhone13,2\n"},
        InfoCase{"unknown_product", "unknown-product.json", {"-k", "ProductType"}, 0, "iPhone99,9\n"},
        // ideviceinfo exits with -1 when the handshake fails.
        InfoCase{"invalid_hostid", "invalid-hostid.json", {"-k", "DeviceName"}, 255, ""},
        InfoCase{"session_error", "session-error.json", {"-k", "DeviceName"}, 255, ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(VirtualIphoneTools, FullIdeviceinfoListsEveryDefaultDomainKeyAndLogsTheHandshake)
{
    startWith({"iphone.json"});
    vitest::ToolRun run = tool({"ideviceinfo", "-u", kIphone});
    ASSERT_EQ(run.exitCode, 0);
    std::size_t lines = 0;
    for (char ch : run.out)
        lines += ch == '\n';
    // 50 keys, one of them (SupportedDeviceFamilies) an array printed on two lines.
    EXPECT_EQ(lines, 51u) << run.out;
    EXPECT_NE(run.out.find("TimeZoneOffsetFromUTC: 28800.000000\n"), std::string::npos);
    EXPECT_NE(run.out.find("InternationalMobileEquipmentIdentity: 356789101234563\n"), std::string::npos);
    EXPECT_EQ(vi.requests(kIphone), (std::vector<std::string>{"QueryType", "GetValue Key=ProductVersion",
                                                              "StartSession", "GetValue", "StopSession"}));
}

TEST_F(VirtualIphoneTools, IdevicepairOnALockedPhoneReportsThePasscode)
{
    startWith({"passcode-locked.json"});
    // "validate" on an iOS 7+ device only starts a session; "pair" sends the Pair request.
    vitest::ToolRun run = tool({"idevicepair", "pair"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("because a passcode is set"), std::string::npos) << run.out;
}

TEST_F(VirtualIphoneTools, IdeviceenterrecoveryMakesTheDeviceLeave)
{
    startWith({"iphone.json"});
    vitest::ToolRun run = tool({"ideviceenterrecovery", kIphone});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(vi.send("list").lines.empty());
    EXPECT_EQ(tool({"idevice_id", "-l"}).out, "");
}

} // namespace
