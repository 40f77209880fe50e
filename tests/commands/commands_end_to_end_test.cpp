// The device commands end to end: the main window started as the program starts it, our device
// libraries from the build and the virtual iPhone behind a private usbmuxd socket. Each button
// reaches the device as its lockdown request; entering recovery makes the device leave, after which
// the buttons only say that no device is connected.
#include "app/main_window.h"
#include "app/startup.h"
#include "commands/device_commands.h"
#include "device/connection_lifecycle.h"
#include "device/device_context.h"
#include "program_test_support.h"
#include "test_support.h"
#include "virtual_iphone_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class CommandsEndToEndTest : public testsupport::StartedProgramTest {
protected:
    // Plugs a profile, waits for the session and until the device has had all it gets on arrival
    // (the information refresh), then empties its request log and the pane.
    std::string plugAndSettle(const char *profile)
    {
        window->编辑框_log.setCaption("");
        const std::string udid = phone->plug(profile);
        EXPECT_FALSE(udid.empty()) << phone->lastError();
        EXPECT_TRUE(testsupport::waitUntil([&] { return testsupport::logHas(*window, "创建连接成功"); }))
            << testing::PrintToString(testsupport::logMessages(*window));
        size_t seen = 0;
        testsupport::waitUntil([&] {
            const size_t now = phone->requests(udid).size();
            const bool quiet = now == seen;
            seen = now;
            testsupport::processEvents(std::chrono::milliseconds(300));
            return quiet;
        });
        phone->clear(udid);
        window->编辑框_log.setCaption("");
        return udid;
    }

    // The requests of the commands (the information reads are left out).
    std::vector<std::string> commandRequests(const std::string &udid)
    {
        std::vector<std::string> out;
        for (const std::string &r : phone->requests(udid))
            if (r.rfind("GetValue", 0) != 0)
                out.push_back(r);
        return out;
    }
};


TEST_F(CommandsEndToEndTest, CommandsReachTheDeviceAndRecoveryMakesItLeave)
{
    testsupport::MessageRecorder messages;
    const std::string udid = plugAndSettle("iphone.json");
    const uint32_t handle = gDeviceContext->deviceHandle.load();
    ASSERT_TRUE(IsDeviceConnected(handle));

    window->按钮20.click();
    EXPECT_EQ(commandRequests(udid), std::vector<std::string>{"Activate"});

    window->按钮3.click(); // enables the confirmation box only
    EXPECT_EQ(commandRequests(udid), std::vector<std::string>{"Activate"});
    window->选择框3.click();
    window->按钮3.click();
    EXPECT_EQ(commandRequests(udid), (std::vector<std::string>{"Activate", "Deactivate"}));
    ASSERT_EQ(messages.boxes().size(), 2u);
    EXPECT_EQ(messages.boxes()[1].text, "即将把你的" + gDeviceContext->info->MarketingName + "设备恢复未激活状态");

    // The device answers EnterRecovery and leaves at once (its request log goes with it): the departure
    // is what shows that the request arrived.
    window->按钮2.click();
    EXPECT_TRUE(testsupport::waitUntil([&] { return testsupport::logHas(*window, "设备断开连接"); }));
    EXPECT_EQ(testsupport::logMessages(*window), (std::vector<std::string>{"执行命令成功！", "正在使设备进入恢复模式，请查看设备...",
                                                              "设备断开连接"}));
    EXPECT_FALSE(IsDeviceConnected(handle));
    EXPECT_EQ(gDeviceContext->deviceHandle.load(), handle) << "a departure keeps the handle";

    // Gone: every button says so and nothing reaches a device.
    window->编辑框_log.setCaption("");
    for (platform::ui::Button *b : {&window->按钮2, &window->按钮9, &window->按钮20, &window->按钮3})
        b->click();
    EXPECT_EQ(testsupport::logMessages(*window), std::vector<std::string>(4, NoDeviceLogLine));
    EXPECT_EQ(phone->send("list").lines, std::vector<std::string>{});
}

TEST_F(CommandsEndToEndTest, DisconnectEndsTheSessionAndKeepsTheDeviceAttached)
{
    const std::string udid = plugAndSettle("iphone.json");
    const uint32_t handle = gDeviceContext->deviceHandle.load();
    window->按钮9.click();
    window->按钮9.click();
    EXPECT_EQ(testsupport::logMessages(*window), std::vector<std::string>(2, "此功能仅断开连接服务，但不会断开USB"));
    const auto requests = commandRequests(udid);
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "StopSession"), 1) << testing::PrintToString(requests);
    // Still attached by USB: the handle stays usable, a command now finds no connection to send on.
    EXPECT_TRUE(IsDeviceConnected(handle));
    EXPECT_EQ(phone->send("list").lines, std::vector<std::string>{udid});
    window->编辑框_log.setCaption("");
    EXPECT_TRUE(phone->unplug(udid));
    EXPECT_TRUE(testsupport::waitUntil([&] { return testsupport::logHas(*window, "设备断开连接"); }));
    EXPECT_FALSE(IsDeviceConnected(handle));
}

} // namespace
