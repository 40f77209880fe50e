// The first-run wizard: asks whether connection records shall be kept and marks the first run done.
#pragma once

#include "platform/ui/controls.h"
#include "platform/ui/tab_control.h"
#include "platform/ui/window.h"

namespace ui = platform::ui;

struct SetupWizardWindow {
    SetupWizardWindow();

    ui::Window window{"SetupWizardWindow", 408, 298, "设置Kelm助手"};
    ui::TabControl 高级选择夹1{window, "高级选择夹1", {0, 0, 408, 224}, {{"1", ""}, {"2", ""}, {"3", ""}}};
    ui::Label 标签1{高级选择夹1.page(0), "标签1", {8, 8, 32, 24}, "设置1"};
    ui::TransparentLabel 透明标签1{高级选择夹1.page(0), "透明标签1", {8, 56, 112, 20}, "是否保存连接记录？"};
    ui::Button 按钮3{高级选择夹1.page(0), "按钮3", {16, 80, 32, 32}, "是"};
    ui::Button 按钮4{高级选择夹1.page(0), "按钮4", {64, 80, 32, 32}, "否"};
    ui::Label 标签2{高级选择夹1.page(1), "标签2", {8, 8, 32, 24}, "设置2"};
    ui::Label 标签3{高级选择夹1.page(2), "标签3", {8, 8, 32, 24}, "设置3"};
    ui::Button 按钮2{window, "按钮2", {224, 232, 80, 32}, "上一步"};
    ui::Button 按钮1{window, "按钮1", {312, 232, 80, 32}, "下一步"};

    // False when the wizard opens, true once "是" or "否" has been clicked.
    bool WizardAnswered = false;
};

// Opens the wizard and waits until the user closes it.
void RunSetupWizard();
