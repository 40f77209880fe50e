// The device thread and the connection steps of an arriving device, driven through the stand-in
// device libraries: the thread subscribes, runs the run loop, and each arrival ends in one of its
// final states with exactly its log lines and library calls.
#include "app/log_pane.h"
#include "app/main_window.h"
#include "device/connection_lifecycle.h"
#include "device/device_context.h"
#include "device/device_thread.h"
#include "platform/shell/folders.h"
#include "program_test_support.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>

namespace {

std::atomic<int> gRefreshes{0};
void CountRefresh() { ++gRefreshes; }

struct Fake {
    void (*setResult)(const char *, int32_t);
    void (*reset)();
    void (*callLog)(char *, size_t);
    void (*notify)(uint32_t, int32_t);
    int (*subscribed)();
    int (*running)();

    std::string calls() const
    {
        static char buffer[65536];
        callLog(buffer, sizeof buffer);
        return buffer;
    }
};

template <typename F>
void bind(F &f, const char *library, const char *name)
{
    void *handle = ::dlopen((testsupport::fakeDeviceLibsDir() + "/" + library).c_str(), RTLD_NOW);
    ASSERT_NE(handle, nullptr);
    f = reinterpret_cast<F>(::dlsym(handle, name));
    ASSERT_NE(f, nullptr) << name;
}

// One device thread for the whole test program (it never ends), subscribed to the stand-in library.
class ConnectionLifecycleTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CreateDeviceContext();
        platform::shell::setEnvironmentVariable("Path", testsupport::fakeDeviceLibsDir());
        window = new MainWindow;
        gMainWindow = window;
        SetSessionStartedHandler(CountRefresh);
        StartDeviceThread();
    }

    void SetUp() override
    {
        bind(fake.setResult, "libMobileDevice.so", "FakeSetResult");
        bind(fake.reset, "libMobileDevice.so", "FakeReset");
        bind(fake.callLog, "libMobileDevice.so", "FakeCallLog");
        bind(fake.notify, "libMobileDevice.so", "FakeNotify");
        bind(fake.subscribed, "libMobileDevice.so", "FakeIsSubscribed");
        bind(fake.running, "libCoreFoundation.so", "FakeRunLoopIsRunning");
        ASSERT_TRUE(testsupport::waitUntil([&] { return fake.subscribed() && fake.running(); }));
        fake.reset();
        window->编辑框_log.setCaption("");
        gRefreshes = 0;
    }

    static MainWindow *window;
    Fake fake{};
};

MainWindow *ConnectionLifecycleTest::window = nullptr;

constexpr int32_t E(uint32_t code) { return static_cast<int32_t>(code); }

TEST_F(ConnectionLifecycleTest, EachArrivalEndsInItsFinalState)
{
    const struct {
        const char *name;
        std::vector<std::pair<const char *, int32_t>> results;
        std::vector<std::string> lines;
        std::string calls;
        int refreshes;
    } cases[] = {
        {"in session", {}, {"设备连接成功", "设备配对成功", "创建连接成功"},
         "AMDeviceConnect(7);AMDeviceValidatePairing(7);AMDeviceStartSession(7);", 1},
        {"not connected", {{"AMDeviceConnect", E(0xE800000B)}}, {"设备连接失败>>kAMDNotConnectedError"},
         "AMDeviceConnect(7);", 0},
        {"paired after a missing pair record", {{"AMDeviceValidatePairing", E(0xE8000025)}},
         {"设备连接成功", "验证配对失败,需要配对>>kAMDMissingPairRecordError", "设备配对成功", "创建连接成功"},
         "AMDeviceConnect(7);AMDeviceValidatePairing(7);AMDevicePair(7);AMDeviceStartSession(7);", 1},
        {"not paired",
         {{"AMDeviceValidatePairing", E(0xE8000025)}, {"AMDevicePair", E(0xE8000095)}},
         {"设备连接成功", "验证配对失败,需要配对>>kAMDMissingPairRecordError",
          "验证配对失败,停止配对>>kAMDUserDeniedPairingError"},
         "AMDeviceConnect(7);AMDeviceValidatePairing(7);AMDevicePair(7);", 0},
        {"session refused for the host id", {{"AMDeviceStartSession", E(0xE800001C)}},
         {"设备连接成功", "设备配对成功", "创建连接失败>>kAMDInvalidHostIDError"},
         "AMDeviceConnect(7);AMDeviceValidatePairing(7);AMDeviceStartSession(7);", 0},
        {"session refused otherwise: reconnected silently", {{"AMDeviceStartSession", E(0xE800001E)}},
         {"设备连接成功", "设备配对成功", "创建连接失败>>kAMDSessionInactiveError"},
         "AMDeviceConnect(7);AMDeviceValidatePairing(7);AMDeviceStartSession(7);AMDeviceDisconnect(7);"
         "AMDeviceConnect(7);AFCConnectionCreate(7);",
         0},
        {"code outside the table", {{"AMDeviceConnect", -1}}, {"设备连接失败>>"}, "AMDeviceConnect(7);", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fake.reset();
        window->编辑框_log.setCaption("");
        gRefreshes = 0;
        for (const auto &[function, result] : c.results)
            fake.setResult(function, result);
        gDeviceContext->deviceHandle = 0;
        fake.notify(7, 1);
        ASSERT_TRUE(testsupport::waitUntil([&] { return testsupport::logMessages(*window).size() >= c.lines.size(); }));
        testsupport::processEvents(std::chrono::milliseconds(30));
        EXPECT_EQ(testsupport::logMessages(*window), c.lines);
        EXPECT_EQ(fake.calls(), c.calls);
        EXPECT_EQ(gRefreshes, c.refreshes);
        EXPECT_EQ(gDeviceContext->deviceHandle.load(), 7u);
    }
}

TEST_F(ConnectionLifecycleTest, DepartureEmptiesTheListAndKeepsTheHandle)
{
    window->超级列表框1.addRow({"设备名称：甲"});
    gDeviceContext->deviceHandle = 7;
    fake.notify(7, 2);
    ASSERT_TRUE(testsupport::waitUntil([&] { return !testsupport::logMessages(*window).empty(); }));
    EXPECT_EQ(testsupport::logMessages(*window), std::vector<std::string>{"设备断开连接"});
    // The list is emptied right after the departure line is written.
    EXPECT_TRUE(testsupport::waitUntil([&] { return window->超级列表框1.rowCount() == 0; }));
    EXPECT_EQ(gDeviceContext->deviceHandle.load(), 7u);
    EXPECT_EQ(fake.calls(), "");
}

TEST_F(ConnectionLifecycleTest, UnknownMessageCodesChangeNothing)
{
    gDeviceContext->deviceHandle = 7;
    fake.notify(8, 3);
    fake.notify(8, 0);
    fake.notify(8, 2); // a departure behind them shows they have been handled
    ASSERT_TRUE(testsupport::waitUntil([&] { return !testsupport::logMessages(*window).empty(); }));
    EXPECT_EQ(testsupport::logMessages(*window), std::vector<std::string>{"设备断开连接"});
    EXPECT_EQ(gDeviceContext->deviceHandle.load(), 7u);
    EXPECT_EQ(fake.calls(), "");
}

} // namespace
