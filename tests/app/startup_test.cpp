// The main window's start-up and the ways the program ends, with the stand-in device libraries: the
// creation sequence, the missing-library exit, the device thread's first steps, the close request and
// the close icon.
#include "app/log_pane.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "device/device_context.h"
#include "device/device_thread.h"
#include "platform/shell/folders.h"
#include "platform/ui/application.h"
#include "program_test_support.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>
#include <regex>

namespace {

std::atomic<int> gThreadStarts{0};
void CountThreadStart() { ++gThreadStarts; }

std::string fakeLibrary(const char *name) { return testsupport::fakeDeviceLibsDir() + "/" + name; }

template <typename F>
F fakeFunction(const char *library, const char *name)
{
    void *handle = ::dlopen(fakeLibrary(library).c_str(), RTLD_NOW | RTLD_NOLOAD);
    return handle ? reinterpret_cast<F>(::dlsym(handle, name)) : nullptr;
}

std::vector<std::string> logLines(const MainWindow &w)
{
    std::vector<std::string> lines;
    const std::string text = w.编辑框_log.caption();
    size_t start = 0;
    for (size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(text.substr(start, at - start));
    EXPECT_EQ(start, text.size()) << "every line ends in CR LF";
    return lines;
}

// The message part of a line "[h:m:s][source]=>>message".
std::string messageOf(const std::string &line)
{
    const size_t at = line.find("]=>>");
    return at == std::string::npos ? line : line.substr(at + 4);
}

class StartupTest : public testing::Test {
protected:
    void SetUp() override
    {
        CreateDeviceContext();
        savedDirectory = platform::shell::currentDirectory();
        SetDeviceThreadStarter(CountThreadStart);
        gThreadStarts = 0;
    }
    void TearDown() override
    {
        if (window) {
            window->window.close();
            gMainWindow = nullptr;
            delete window;
        }
        SetDeviceThreadStarter(nullptr);
        platform::shell::setCurrentDirectory(savedDirectory);
    }

    testsupport::TempHome home;
    testsupport::MessageRecorder messages;
    testsupport::EndProgramRecorder ended;
    MainWindow *window = nullptr;
    std::string savedDirectory;
};

TEST_F(StartupTest, MissingLibraryShowsTheMessageAndEndsWithCodeZero)
{
    window = CreateMainWindow();
    EXPECT_EQ(window, nullptr);
    ASSERT_EQ(messages.boxes().size(), 1u);
    EXPECT_EQ(messages.boxes()[0].text, "无法找到 MobileDevice 组件或 CoreFoundation ,请检查");
    EXPECT_EQ(messages.boxes()[0].title, "信息：");
    EXPECT_EQ(messages.boxes()[0].icon, ui::MessageIcon::Information);
    EXPECT_EQ(ended.exitCode(), 0);
    EXPECT_EQ(gThreadStarts, 0);
}

TEST_F(StartupTest, OneLibraryMissingIsEnoughToEnd)
{
    home.writeFile("registry.reg", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Apple Inc.\\Apple Mobile Device Support]\n"
                                   "\"Shared\"=\"" + fakeLibrary("libMobileDevice.so") + "\"\n");
    window = CreateMainWindow();
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(ended.exitCode(), 0);
    EXPECT_EQ(gThreadStarts, 0);
}

TEST_F(StartupTest, CreationFindsTheLibrariesStartsTheThreadAndEmptiesTheLog)
{
    testsupport::registerDeviceLibraries(home, testsupport::fakeDeviceLibsDir());
    platform::shell::setEnvironmentVariable("Path", "/usr/old");
    window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(messages.boxes().empty());
    EXPECT_FALSE(ended.exitCode());
    EXPECT_EQ(gThreadStarts, 1);

    const std::string md = fakeLibrary("libMobileDevice.so");
    const std::string cf = testsupport::fakeDeviceLibsDir() + "/";
    EXPECT_EQ(platform::shell::currentDirectory(), testsupport::fakeDeviceLibsDir());
    EXPECT_EQ(platform::shell::environmentVariable("Path"), "/usr/old;" + md + ";" + cf);
    EXPECT_EQ(gDeviceContext->mobileDevicePath, md);
    EXPECT_EQ(gDeviceContext->coreFoundationPath, cf);
    EXPECT_EQ(gDeviceContext->is64BitSystem, 1);

    // The picture lines were logged and then emptied with the pane.
    EXPECT_EQ(window->编辑框_log.caption(), "");
    for (ui::PictureBox *box : {&window->关闭图标, &window->手机, &window->主页, &window->软件, &window->登入})
        EXPECT_TRUE(box->hasPicture()) << box->name();
    EXPECT_TRUE(window->window.isVisible());
    EXPECT_EQ(window->window.height(), 505);
    EXPECT_EQ(window->高级选择夹1.currentPage(), 0);
}

TEST_F(StartupTest, CloseRequestStopsTheSessionAndDisconnects)
{
    testsupport::registerDeviceLibraries(home, testsupport::fakeDeviceLibsDir());
    window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    gDeviceContext->deviceHandle = 9;
    window->window.close();
    const auto lines = logLines(*window);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(R"(\[\d+:\d+:\d+\]\[AMDeviceStopSession\]=>>.*)")));
    EXPECT_EQ(messageOf(lines[0]), "关闭会话结果>>kAMDSuccess");
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(R"(\[\d+:\d+:\d+\]\[AMDeviceDisconnect\]=>>.*)")));
    EXPECT_EQ(messageOf(lines[1]), "关闭连接结果>>kAMDSuccess");
    auto callLog = fakeFunction<void (*)(char *, size_t)>("libMobileDevice.so", "FakeCallLog");
    ASSERT_NE(callLog, nullptr);
    char calls[65536];
    callLog(calls, sizeof calls);
    EXPECT_NE(std::string(calls).find("AMDeviceStopSession(9);AMDeviceDisconnect(9);"), std::string::npos);
}

TEST_F(StartupTest, CloseIconEndsAtOnceWithoutTheCloseCalls)
{
    testsupport::registerDeviceLibraries(home, testsupport::fakeDeviceLibsDir());
    window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    window->关闭图标.press();
    EXPECT_EQ(ended.exitCode(), 0);
    EXPECT_EQ(window->编辑框_log.caption(), "");
}

TEST_F(StartupTest, HeaderIconsSelectTheirPages)
{
    testsupport::registerDeviceLibraries(home, testsupport::fakeDeviceLibsDir());
    window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    const struct {
        ui::PictureBox &icon;
        int page;
    } cases[] = {{window->手机, 1}, {window->登入, 3}, {window->软件, 2}, {window->主页, 0}};
    for (const auto &c : cases) {
        c.icon.press();
        EXPECT_EQ(window->高级选择夹1.currentPage(), c.page) << c.icon.name();
    }
}

} // namespace

namespace {

// Pictures of the started window, one per page, for people to look at (build/screenshots).
TEST_F(StartupTest, RendersEveryPage)
{
    testsupport::registerDeviceLibraries(home, testsupport::fakeDeviceLibsDir());
    window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    AppendLog(LogSourceTag, "设备连接成功");
    for (int page = 0; page < 4; ++page) {
        window->高级选择夹1.setCurrentPage(page);
        const std::string file = testsupport::screenshotFolder() + "/main-window-page" + std::to_string(page) + ".png";
        EXPECT_TRUE(testsupport::renderToPng(window->window, file)) << file;
    }
}

} // namespace
