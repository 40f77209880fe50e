// The tester window: an alternative window the personalisation page switches to. While it is open the
// main window is hidden; the program ends from it.
#pragma once

#include "platform/ui/controls.h"
#include "platform/ui/picture_box.h"
#include "platform/ui/window.h"

#include <memory>

struct MainWindow;
namespace ui = platform::ui;

struct TesterWindow {
    TesterWindow();

    ui::Window window{"TesterWindow", 502, 323, "测试器"};
    ui::PictureBox 图片框1{window, "图片框1", {24, 72, 50, 50}};
    ui::Label 标签2{window, "标签2", {200, 128, 88, 24}, "此处为背景图片"};
    ui::ProgressBar 进度条1{window, "进度条1", {64, 272, 352, 24}};
    ui::Button 按钮1{window, "按钮1", {0, 272, 64, 24}, "退出软件"};
    ui::Label 标签1{window, "标签1", {416, 272, 80, 24}, "标签"};
};

// The opening steps: the notice, the main window hidden, the time in 标签1, the device icon's picture.
// The window is not shown yet.
std::unique_ptr<TesterWindow> OpenTesterWindow(MainWindow &main);

// Opens the tester window and waits until it closes. Closing it, by 按钮1 or by its title bar, ends
// the program (the main window stays hidden, so nothing else could).
void RunTesterWindow(MainWindow &main);
