// The spine of the program: from process entry through the main window's creation to the three ways
// the program ends.
#include "app/startup.h"

#include "app/log_pane.h"
#include "app/main_window.h"
#include "app/navigation.h"
#include "app/personalisation.h"
#include "app/settings.h"
#include "app/setup_wizard.h"
#include "commands/command_handlers.h"
#include "device/device_context.h"
#include "device/device_functions.h"
#include "device/device_thread.h"
#include "device/library_discovery.h"
#include "device/result_codes.h"
#include "online/online_handlers.h"
#include "deviceinfo/device_info_handlers.h"
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

// Steps 1 to 4 of the creation: the first-run wizard, the save-record switch, the theme colour and the
// border. A theme colour that was never chosen is the designed sky blue. After a first-run wizard the
// window is shown again and the program goes on, rather than running on unseen.
void LoadStartupSettings(MainWindow &w)
{
    if (ReadSetting(kFirstOpenSection, kFirstOpenKey) != 1) {
        w.window.setVisible(false);
        ui::messageBox("检测到你是第一次在 这台电脑打开 或 第一次使用此软件，将要打开初始化", ui::MessageIcon::Information,
                       "提示");
        RunSetupWizard();
    }
    SaveRecordsSwitch.store(ReadSetting(kSaveRecordsSection, kSaveRecordsKey));
    w.透明标签26.setCaption("当前:" + std::to_string(SaveRecordsSwitch.load()));
    ThemeColour = HasSetting(kThemeColourSection, kThemeColourKey) ? ReadSetting(kThemeColourSection, kThemeColourKey)
                                                                   : static_cast<int32_t>(kDesignedHeaderColour);
    ApplyThemeColour(w, static_cast<uint32_t>(ThemeColour));
    ApplyBorderStyle(w, ReadSetting(kBorderSection, kBorderKey));
}

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
    AttachOnlineHandlers(*w);
    AttachDeviceInfoHandlers(*w);
    AttachCommandHandlers(*w);
    AttachPersonalisationHandlers(*w);
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
    // The toolkit object lives until the process ends: at exit the device thread may still be waiting
    // for the window thread, and must never find a half-destroyed application.
    static auto *application = new ui::Application;
    CreateMainWindow();
    application->run();
    return 0;
}
