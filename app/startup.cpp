// The spine of the program: from process entry through the main window's creation to the three ways
// the program ends.
#include "app/startup.h"

#include "app/log_pane.h"
#include "app/main_window.h"
#include "app/navigation.h"
#include "device/device_context.h"
#include "device/device_functions.h"
#include "device/device_thread.h"
#include "device/library_discovery.h"
#include "device/result_codes.h"
#include "platform/shell/folders.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "resources/pictures.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

void Pause100ms() { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }

void Log(const std::string &message) { AppendLog(LogSourceTag, message); }

// Settings (first run, save-record switch, theme colour, border) are read here; until the settings
// store exists the window keeps its designed look.
void LoadStartupSettings(MainWindow &) {}

void OnCloseIconPressed() { ui::endProgram(0); }

} // namespace

bool RunMainWindowCreation(MainWindow &w)
{
    LoadStartupSettings(w);

    const DeviceLibraryPaths paths = LocateDeviceLibraries();
    if (paths.mobileDevice.empty() || paths.coreFoundation.empty()) {
        ui::messageBox("无法找到 MobileDevice 组件或 CoreFoundation ,请检查", ui::MessageIcon::Information);
        ui::endProgram(0);
        return false;
    }

    const std::string folder = LibraryFolderOf(paths.mobileDevice);
    platform::shell::setCurrentDirectory(folder);
    gDeviceContext->is64BitSystem = Is64BitSystem();
    gDeviceContext->mobileDevicePath = paths.mobileDevice;
    gDeviceContext->coreFoundationPath = paths.coreFoundation;
    platform::shell::setEnvironmentVariable(
        "Path", platform::shell::environmentVariable("Path") + ";" + paths.mobileDevice + ";" + paths.coreFoundation);

    StartDeviceThread();

    struct HeaderPicture {
        ui::PictureBox &box;
        resources::Picture picture;
        const char *logLine;
    };
    const HeaderPicture pictures[] = {
        {w.关闭图标, resources::Picture::CloseIcon, "图片1加载成功"},
        {w.手机, resources::Picture::DeviceIcon, "图片2加载成功"},
        {w.主页, resources::Picture::HomeIcon, "图片3加载成功"},
        {w.软件, resources::Picture::SoftwareIcon, "图片4加载成功"},
        {w.登入, resources::Picture::PersonalIcon, "图片5加载成功"},
    };
    for (size_t i = 0; i < std::size(pictures); ++i) {
        pictures[i].box.setPicture(resources::picture(pictures[i].picture));
        Log(pictures[i].logLine);
        if (i + 1 < std::size(pictures))
            Pause100ms();
    }
    Log("所有图片加载成功，清除一次输出");
    Pause100ms();
    w.编辑框_log.setCaption("");
    return true;
}

void CloseDeviceOnExit()
{
    const uint32_t handle = gDeviceContext ? gDeviceContext->deviceHandle.load() : 0;
    const int32_t stopped = MobileDevice::AMDeviceStopSession(handle);
    AppendLog("AMDeviceStopSession", "关闭会话结果>>" + AmdErrorName(static_cast<int64_t>(stopped)));
    const int32_t disconnected = MobileDevice::AMDeviceDisconnect(handle);
    AppendLog("AMDeviceDisconnect", "关闭连接结果>>" + AmdErrorName(static_cast<int64_t>(disconnected)));
}

void ReleaseGlobals() { ReleaseDeviceContext(); }

MainWindow *CreateMainWindow()
{
    auto *w = new MainWindow;
    gMainWindow = w;
    AttachLogPaneHandlers(*w);
    AttachNavigationHandlers(*w);
    w->主页1.setPicture(resources::picture(resources::Picture::ProductLogo));
    w->关闭图标.onPress(OnCloseIconPressed);
    w->window.onCloseRequest(CloseDeviceOnExit);

    if (!RunMainWindowCreation(*w)) {
        // Only reached under a test's end-program handler: the program has ended.
        gMainWindow = nullptr;
        delete w;
        return nullptr;
    }
    w->window.show();
    return w;
}

int RunKelmTools()
{
    CreateDeviceContext();
    std::atexit(ReleaseGlobals);
    ui::Application application;
    CreateMainWindow();
    application.run();
    return 0;
}
