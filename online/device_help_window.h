// The device help window "连接设备帮助": page 第一步 tells which Apple programs to uninstall, page 第二步
// downloads the iTunes version the program works with through its hidden web-browser box.
// Window thread only.
#pragma once

#include "platform/ui/controls.h"
#include "platform/ui/picture_box.h"
#include "platform/ui/tab_control.h"
#include "platform/ui/web_browser_box.h"
#include "platform/ui/window.h"

#include <string>

struct DeviceHelpWindow {
    DeviceHelpWindow();

    platform::ui::Window window{"DeviceHelpWindow", 452, 218, "连接设备帮助"};
    platform::ui::TabControl 选择夹1{window, "选择夹1", {0, 0, 448, 192}, {{"第一步", ""}, {"第二步", ""}}};

    platform::ui::TabPage &第一步 = 选择夹1.page(0);
    platform::ui::Label 标签1{第一步, "标签1", {8, 32, 424, 24}, "1.打开   控制面板/程序/程序和功能   找到以下程序并卸载"};
    platform::ui::PictureBox 图片框1{第一步, "图片框1", {8, 64, 184, 88}};
    platform::ui::PictureBox 图片框2{第一步, "图片框2", {8, 152, 184, 24}};

    platform::ui::TabPage &第二步 = 选择夹1.page(1);
    platform::ui::Button 按钮1{第二步, "按钮1", {8, 32, 80, 32}, "点我下载"};
    platform::ui::Label 标签2{第二步, "标签2", {8, 64, 440, 24}, "点击按钮下载安装iTunes12.10版本(64位)"};
    platform::ui::WebBrowserBox 超文本浏览框1{第二步, "超文本浏览框1", {272, 48, 100, 100}, false};
};

// The address 按钮1 downloads: the iTunes 12.10.10.2 installer on the maker's file host (HTTPS).
std::string ITunesInstallerAddress();

// Opens the help window on page 第一步 and waits until the user closes it (the opener waits).
void ShowDeviceHelpWindow();
