// The device-control buttons and the copy button on the main window, over the stand-in device
// libraries: which library call each click makes with which handle, what it logs and shows, and that
// no call is made while no device is attached.
#include "app/main_window.h"
#include "commands/command_handlers.h"
#include "commands/device_commands.h"
#include "device/connection_lifecycle.h"
#include "device/device_context.h"
#include "device/device_functions.h"
#include "platform/shell/folders.h"
#include "platform/ui/clipboard.h"
#include "program_test_support.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include <dlfcn.h>

namespace {

namespace ui = platform::ui;

struct Fake {
    void (*setResult)(const char *, int32_t) = nullptr;
    void (*reset)() = nullptr;
    void (*callLog)(char *, size_t) = nullptr;

    std::string calls() const
    {
        static char buffer[65536];
        callLog(buffer, sizeof buffer);
        return buffer;
    }
};

// The device thread's arrival and departure handling, run here on the test thread.
void notify(uint32_t handle, int32_t message)
{
    const DeviceNotificationRecord record{handle, message};
    OnDeviceNotification(&record);
}

class CommandsWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CreateDeviceContext();
        platform::shell::setEnvironmentVariable("Path", testsupport::fakeDeviceLibsDir());
        window = new MainWindow;
        gMainWindow = window;
        AttachCommandHandlers(*window);
    }

    void SetUp() override
    {
        void *library = ::dlopen((testsupport::fakeDeviceLibsDir() + "/libMobileDevice.so").c_str(), RTLD_NOW);
        ASSERT_NE(library, nullptr);
        fake.setResult = reinterpret_cast<decltype(fake.setResult)>(::dlsym(library, "FakeSetResult"));
        fake.reset = reinterpret_cast<decltype(fake.reset)>(::dlsym(library, "FakeReset"));
        fake.callLog = reinterpret_cast<decltype(fake.callLog)>(::dlsym(library, "FakeCallLog"));
        ASSERT_TRUE(fake.setResult && fake.reset && fake.callLog);
        // The program's binding loads the same file (found through "Path"): one call log.
        MobileDevice::AMDeviceStopSession(0);
        fake.reset();
        window->编辑框_log.setCaption("");
    }

    // Leaves every handle of the previous test departed.
    void TearDown() override
    {
        for (uint32_t handle = 1; handle < 20; ++handle)
            if (IsDeviceConnected(handle))
                notify(handle, 2);
        gDeviceContext->deviceHandle = 0;
        gDeviceContext->info->MarketingName.clear();
    }

    void startClean()
    {
        fake.reset();
        window->编辑框_log.setCaption("");
    }

    static MainWindow *window;
    Fake fake;
};

MainWindow *CommandsWindowTest::window = nullptr;

TEST_F(CommandsWindowTest, EachCommandCallsTheLibraryOnlyForAnAttachedDevice)
{
    const struct {
        const char *state;
        std::vector<std::pair<uint32_t, int32_t>> notifications;
        uint32_t commanded; // 0: no device attached
    } states[] = {
        {"no device ever arrived", {}, 0},
        {"attached", {{7, 1}}, 7},
        {"left", {{7, 1}, {7, 2}}, 0},
        {"an older device left, the newest is attached", {{7, 1}, {8, 1}, {7, 2}}, 8},
        {"the newest left, an older one is still attached", {{7, 1}, {8, 1}, {8, 2}}, 0},
    };
    const struct {
        const char *name;
        ui::Button &button;
        const char *call;
        std::vector<std::string> lines;
    } buttons[] = {
        {"按钮2", window->按钮2, "AMDeviceEnterRecovery", {"正在使设备进入恢复模式，请查看设备..."}},
        {"按钮9", window->按钮9, "AMDeviceDisconnect", {"此功能仅断开连接服务，但不会断开USB"}},
        {"按钮20", window->按钮20, "AMDeviceActivate", {}},
        {"按钮3", window->按钮3, "AMDeviceDeactivate", {"执行命令成功！"}},
    };
    window->选择框3.setEnabled(true);
    window->选择框3.setTicked(true);
    for (const auto &s : states) {
        for (const auto &n : s.notifications)
            notify(n.first, n.second);
        for (const auto &b : buttons) {
            SCOPED_TRACE(std::string(s.state) + " / " + b.name);
            startClean();
            testsupport::MessageRecorder messages;
            b.button.click();
            if (s.commanded == 0) {
                EXPECT_EQ(fake.calls(), "");
                EXPECT_EQ(testsupport::logMessages(*window), std::vector<std::string>{NoDeviceLogLine});
                EXPECT_TRUE(messages.boxes().empty());
            } else {
                EXPECT_EQ(fake.calls(), std::string(b.call) + "(" + std::to_string(s.commanded) + ");");
                EXPECT_EQ(testsupport::logMessages(*window), b.lines);
            }
        }
        TearDown();
    }
}

TEST_F(CommandsWindowTest, RefusedCommandsLogTheirLinesAllTheSame)
{
    notify(7, 1);
    window->选择框3.setEnabled(true);
    window->选择框3.setTicked(true);
    for (const char *call : {"AMDeviceEnterRecovery", "AMDeviceDisconnect", "AMDeviceDeactivate"})
        fake.setResult(call, static_cast<int32_t>(0xE8000084));
    startClean();
    testsupport::MessageRecorder messages;
    window->按钮2.click();
    window->按钮9.click();
    window->按钮9.click();
    window->按钮3.click();
    EXPECT_EQ(fake.calls(),
              "AMDeviceEnterRecovery(7);AMDeviceDisconnect(7);AMDeviceDisconnect(7);AMDeviceDeactivate(7);");
    EXPECT_EQ(testsupport::logMessages(*window),
              (std::vector<std::string>{"正在使设备进入恢复模式，请查看设备...", "此功能仅断开连接服务，但不会断开USB",
                                        "此功能仅断开连接服务，但不会断开USB", "执行命令成功！"}));
}

TEST_F(CommandsWindowTest, DeactivationWantsTheConfirmationBoxTickedAndKeepsIt)
{
    const std::string warningHead = "反激活设备\r\n此功能会让你的";
    const std::string warningTail =
        "设备回到未激活状态，如果你没记牢AppleID则会无法激活，出现激活锁与软件创作者无关！！！\r\n"
        "如果你执意要这样做，请先把按钮下面的选择框给勾上再操作！";
    ui::CheckBox &confirm = window->选择框3;
    confirm.setTicked(false);
    confirm.setEnabled(false);
    notify(7, 1);

    for (const char *model : {"", "iPhone 11"}) {
        SCOPED_TRACE(model);
        gDeviceContext->info->MarketingName = model;
        confirm.setTicked(false);
        confirm.setEnabled(false);
        startClean();
        {
            // First click: the box becomes usable, the warning names the model, nothing is sent.
            testsupport::MessageRecorder messages;
            window->按钮3.click();
            EXPECT_TRUE(confirm.isEnabled());
            EXPECT_FALSE(confirm.isTicked());
            ASSERT_EQ(messages.boxes().size(), 1u);
            EXPECT_EQ(messages.boxes()[0].text, warningHead + model + warningTail);
            EXPECT_EQ(messages.boxes()[0].title, "提示");
            EXPECT_EQ(messages.boxes()[0].icon, ui::MessageIcon::None);
            EXPECT_EQ(fake.calls(), "");
            EXPECT_TRUE(testsupport::logMessages(*window).empty());
        }
        confirm.click();
        ASSERT_TRUE(confirm.isTicked());
        for (int round = 0; round < 2; ++round) {
            // Ticked: the notice, the call, the line; the tick stays for the next click.
            SCOPED_TRACE(round);
            startClean();
            testsupport::MessageRecorder messages;
            window->按钮3.click();
            ASSERT_EQ(messages.boxes().size(), 1u);
            EXPECT_EQ(messages.boxes()[0].text, std::string("即将把你的") + model + "设备恢复未激活状态");
            EXPECT_EQ(messages.boxes()[0].title, "信息：");
            EXPECT_EQ(messages.boxes()[0].icon, ui::MessageIcon::None);
            EXPECT_EQ(fake.calls(), "AMDeviceDeactivate(7);");
            EXPECT_EQ(testsupport::logMessages(*window), std::vector<std::string>{"执行命令成功！"});
            EXPECT_TRUE(confirm.isTicked());
            EXPECT_TRUE(confirm.isEnabled());
        }
    }
}

TEST_F(CommandsWindowTest, CopyPutsTheSelectedIdentifierOnTheClipboard)
{
    window->编辑框3.setCaption("F2LXK0Q1HG7F");
    window->编辑框4.setCaption("356789012345678");
    window->编辑框5.setCaption("");
    const struct {
        ui::RadioButton &radio;
        std::string text;
    } cases[] = {
        {window->单选框2, "F2LXK0Q1HG7F"},
        {window->单选框3, "356789012345678"},
        {window->单选框4, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        ui::setClipboardText("before");
        c.radio.click();
        testsupport::MessageRecorder messages;
        window->按钮7.click();
        EXPECT_EQ(ui::clipboardText(), c.text);
        ASSERT_EQ(messages.boxes().size(), 1u);
        EXPECT_EQ(messages.boxes()[0].text, "已将【" + c.text + "】置剪辑板");
        EXPECT_EQ(messages.boxes()[0].title, "复制成功");
        EXPECT_EQ(messages.boxes()[0].icon, ui::MessageIcon::Information);
    }
    window->单选框2.click();
}

TEST_F(CommandsWindowTest, CopiedTextReachesTheDesktopAsUnicode)
{
    // GBK in the box, Unicode on the desktop clipboard.
    window->编辑框3.setCaption("序列号：甲乙");
    window->单选框2.click();
    testsupport::MessageRecorder messages;
    window->按钮7.click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8(u8"序列号：甲乙"));
    EXPECT_EQ(ui::clipboardText(), "序列号：甲乙");
}

TEST_F(CommandsWindowTest, CopyReportsSuccessWhenTheClipboardCannotBeOpened)
{
    window->编辑框4.setCaption("356789012345678");
    window->单选框3.click();
    std::vector<std::string> offered;
    ui::setClipboardHandler([&](std::string_view text) {
        offered.emplace_back(text);
        return false;
    });
    testsupport::MessageRecorder messages;
    window->按钮7.click();
    ui::setClipboardHandler({});
    EXPECT_EQ(offered, std::vector<std::string>{"356789012345678"});
    ASSERT_EQ(messages.boxes().size(), 1u);
    EXPECT_EQ(messages.boxes()[0].title, "复制成功");
    window->单选框2.click();
}

} // namespace
