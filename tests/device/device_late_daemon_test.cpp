// A phone daemon that is not there when the program starts, and one that dies: the program starts
// without complaint, reads the device as soon as a daemon appears, survives the daemon's death and
// reads the device again from the next daemon.
#include "app/main_window.h"
#include "app/startup.h"
#include "device/device_context.h"
#include "program_test_support.h"
#include "test_support.h"
#include "virtual_iphone_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(DeviceLateDaemon, DevicesArriveOnceTheDaemonAppears)
{
    testsupport::TempHome home;
    testsupport::MessageRecorder messages; // a refresh cut short by the dying daemon warns in a box
    testsupport::registerDeviceLibraries(home, KELM_TEST_BIN_DIR);
    // The daemon's socket: a name that does not exist yet.
    const std::string socket = home.path() + "/usbmuxd";
    ::setenv("USBMUXD_SOCKET_ADDRESS", ("UNIX:" + socket).c_str(), 1);

    CreateDeviceContext();
    MainWindow *window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    testsupport::processEvents(std::chrono::milliseconds(1500));
    EXPECT_EQ(window->编辑框_log.caption(), "") << "nothing to report without a daemon";

    kelm::test::VirtualIphone phone;
    ASSERT_FALSE(phone.start({"iphone.json"}).empty()) << phone.lastError();
    std::filesystem::create_symlink(phone.socketPath(), socket);
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return window->编辑框_log.caption().find("已成功获取") != std::string::npos; }, std::chrono::seconds(20)))
        << window->编辑框_log.caption();

    // The daemon dies with the device in session; a new one comes up at the same place.
    window->编辑框_log.setCaption("");
    phone.kill();
    std::filesystem::remove(socket);
    testsupport::processEvents(std::chrono::milliseconds(1500));
    kelm::test::VirtualIphone next;
    ASSERT_FALSE(next.start({"iphone.json"}).empty()) << next.lastError();
    std::filesystem::create_symlink(next.socketPath(), socket);
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return window->编辑框_log.caption().find("创建连接成功") != std::string::npos; }, std::chrono::seconds(20)))
        << window->编辑框_log.caption();
    next.stop();
}

} // namespace
