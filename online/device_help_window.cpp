// The device help window: layout, pictures and the iTunes download.
#include "online/device_help_window.h"

#include "app/outside_addresses.h"
#include "resources/pictures.h"

DeviceHelpWindow::DeviceHelpWindow()
{
    // A fixed dialog frame: the window must be closable by its title bar.
    window.setBorderStyle(2);
    图片框1.setPicture(resources::picture(resources::Picture::HelpRemove));
    图片框2.setPicture(resources::picture(resources::Picture::HelpDownload));
    选择夹1.setCurrentPage(0);
    按钮1.onClick([this] { 超文本浏览框1.navigate(ITunesInstallerAddress()); });
}

std::string ITunesInstallerAddress() { return "https://" + AddressOf(kFileHost) + "/soft/iTunes12.10.10.2.exe"; }

void ShowDeviceHelpWindow()
{
    DeviceHelpWindow help;
    help.window.showModal();
}
