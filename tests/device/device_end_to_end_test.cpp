// The program's device side end to end: the main window started as the program starts it, our device
// libraries from the build, and the virtual iPhone behind a private usbmuxd socket. Each profile's
// arrival ends in its final state with exactly its log lines; unplugging empties the device list.
#include "app/main_window.h"
#include "app/startup.h"
#include "device/device_context.h"
#include "program_test_support.h"
#include "test_support.h"
#include "virtual_iphone_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class DeviceEndToEndTest : public testsupport::StartedProgramTest {
protected:
    // Plugs a profile and waits until the log holds `count` lines.
    std::string plugAndWait(const char *profile, size_t count)
    {
        window->编辑框_log.setCaption("");
        const std::string udid = phone->plug(profile);
        EXPECT_FALSE(udid.empty()) << phone->lastError();
        EXPECT_TRUE(testsupport::waitUntil([&] { return testsupport::logMessages(*window).size() >= count; }))
            << testing::PrintToString(testsupport::logMessages(*window));
        testsupport::processEvents(std::chrono::milliseconds(100));
        return udid;
    }

    void unplugAndWait(const std::string &udid)
    {
        window->编辑框_log.setCaption("");
        EXPECT_TRUE(phone->unplug(udid));
        EXPECT_TRUE(testsupport::waitUntil([&] { return !testsupport::logMessages(*window).empty(); }));
        EXPECT_EQ(testsupport::logMessages(*window), std::vector<std::string>{"设备断开连接"});
    }
};


TEST_F(DeviceEndToEndTest, EveryProfileEndsInItsFinalState)
{
    const struct {
        const char *profile;
        std::vector<std::string> lines;
    } cases[] = {
        {"iphone.json", {"设备连接成功", "设备配对成功", "创建连接成功", "已成功获取【iPhone 11】的信息"}},
        {"unpaired.json",
         {"设备连接成功", "验证配对失败,需要配对>>kAMDMissingPairRecordError", "设备配对成功", "创建连接成功",
          "已成功获取【iPhone 12】的信息"}},
        {"invalid-hostid.json", {"设备连接成功", "设备配对成功", "创建连接失败>>kAMDInvalidHostIDError"}},
        {"session-error.json", {"设备连接成功", "设备配对成功", "创建连接失败>>kAMDSessionInactiveError"}},
        {"passcode-locked.json",
         {"设备连接成功", "验证配对失败,需要配对>>kAMDPasswordProtectedError",
          "验证配对失败,停止配对>>kAMDPasswordProtectedError"}},
    };
    uint32_t previousHandle = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.profile);
        const std::string udid = plugAndWait(c.profile, c.lines.size());
        EXPECT_EQ(testsupport::logMessages(*window), c.lines);
        const uint32_t handle = gDeviceContext->deviceHandle.load();
        EXPECT_NE(handle, 0u);
        EXPECT_NE(handle, previousHandle);
        previousHandle = handle;
        unplugAndWait(udid);
        EXPECT_EQ(gDeviceContext->deviceHandle.load(), handle) << "a departure keeps the handle";
    }
}

TEST_F(DeviceEndToEndTest, SessionRefusalsReconnectOnlyWhenTheHostIdIsNotTheReason)
{
    const std::string refused = plugAndWait("invalid-hostid.json", 3);
    const auto hostIdRequests = phone->requests(refused);
    ASSERT_FALSE(hostIdRequests.empty());
    EXPECT_EQ(hostIdRequests.back().rfind("StartSession", 0), 0u) << "nothing after the refused session";
    unplugAndWait(refused);

    const std::string other = plugAndWait("session-error.json", 3);
    testsupport::waitUntil([&] {
        const auto r = phone->requests(other);
        return !r.empty() && r.back() == "StartService";
    });
    const auto requests = phone->requests(other);
    ASSERT_FALSE(requests.empty());
    // After the refusal: disconnect, connect again and open the file service, each once.
    EXPECT_EQ(requests.back(), "StartService") << testing::PrintToString(requests);
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "StartService"), 1);
    unplugAndWait(other);
}

TEST_F(DeviceEndToEndTest, DepartureEmptiesTheDeviceList)
{
    const std::string udid = plugAndWait("iphone.json", 4);
    EXPECT_EQ(window->超级列表框1.rowCount(), 26);
    unplugAndWait(udid);
    // The list is emptied right after the departure line is written.
    EXPECT_TRUE(testsupport::waitUntil([&] { return window->超级列表框1.rowCount() == 0; }));
}

} // namespace
