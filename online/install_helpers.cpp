// The app download and install helpers.
#include "online/install_helpers.h"

#include "app/main_window.h"
#include "app/outside_addresses.h"
#include "online/device_help_window.h"
#include "online/install_manifest.h"
#include "platform/shell/open.h"
#include "platform/ui/message_box.h"

void ChooseIpaFile(MainWindow &w)
{
    w.通用对话框1.showOpen();
    w.编辑框9.setCaption(w.通用对话框1.fileName());
}

void IpaPathChanged(MainWindow &w)
{
    for (const char byte : w.编辑框9.caption()) {
        if (static_cast<signed char>(byte) < 0) {
            platform::ui::messageBox("检测到中文字符,请修改文件名", platform::ui::MessageIcon::Error, "此文件不可用");
            w.编辑框9.setCaption("");
            return;
        }
    }
}

void PrepareInstallManifest(MainWindow &w) { WriteInstallManifest(w.编辑框9.caption()); }

std::string IpaDownloadAddress(const std::string &number)
{
    return "http://" + AddressOf(kFileHost) + "/apps/" + number + ".ipa";
}

void DownloadIpaByNumber(MainWindow &w) { w.超文本浏览框1.navigate(IpaDownloadAddress(w.编辑框2.caption())); }

void OpenOnlineStore(MainWindow & /*w*/)
{
    const std::string store = "https://" + AddressOf(kAppStoreHost);
    platform::ui::messageBox("网址：" + store + "/\r\n（此网址可以给iOS设备在线安装软件）", platform::ui::MessageIcon::None,
                             "在线软件商店");
    platform::shell::openWithDesktop(store);
}

void OpenDeveloperPage(MainWindow & /*w*/) { platform::shell::openWithDesktop(AddressOf(kProfilePageAddress)); }

void OpenSharedDownload(MainWindow & /*w*/)
{
    platform::ui::messageBox("提取码：" + AddressOf(kSharedDownloadCode), platform::ui::MessageIcon::Information, "提取码");
    platform::shell::openWithDesktop(AddressOf(kSharedDownloadAddress));
}

void OpenDeviceHelp(MainWindow & /*w*/) { ShowDeviceHelpWindow(); }
