// The main window: every control of its layout, by the names the program gives them, on its parent
// (header strip, tab pages, group boxes), with its place, caption and initial state. Handlers are
// attached by the subsystems that own them.
#pragma once

#include "platform/ui/colour_picker.h"
#include "platform/ui/controls.h"
#include "platform/ui/edit_box.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/list_view.h"
#include "platform/ui/picture_box.h"
#include "platform/ui/tab_control.h"
#include "platform/ui/timer.h"
#include "platform/ui/web_browser_box.h"
#include "platform/ui/window.h"

namespace ui = platform::ui;

// The designed colour of the header strip: sky blue, RGB 0,136,255.
inline constexpr uint32_t kDesignedHeaderColour = 16746496;

struct MainWindow {
    MainWindow();

    ui::Window window{"MainWindow", 798, 505, ""};

    // Header strip.
    ui::PictureBox 图片框1{window, "图片框1", {0, 0, 800, 64}};
    ui::PictureBox 主页1{图片框1, "主页1", {8, 8, 90, 45}};
    ui::PictureBox 主页{图片框1, "主页", {120, 8, 35, 35}};
    ui::Label 标签1{图片框1, "标签1", {120, 40, 35, 20}, "主页"};
    ui::PictureBox 手机{图片框1, "手机", {176, 8, 35, 35}};
    ui::Label 标签2{图片框1, "标签2", {176, 40, 35, 20}, "设备"};
    ui::PictureBox 登入{图片框1, "登入", {240, 8, 35, 35}};
    ui::Label 标签5{图片框1, "标签5", {240, 40, 35, 20}, "个人"};
    ui::PictureBox 软件{图片框1, "软件", {360, 8, 35, 35}};
    ui::Label 标签3{图片框1, "标签3", {360, 40, 35, 20}, "软件"};
    ui::TransparentLabel 透明标签3{图片框1, "透明标签3", {120, 8, 88, 50}, "柯岭助手"};
    ui::EditBox 编辑框1{图片框1, "编辑框1", {688, 424, 80, 20}, ""};
    ui::Timer 时钟1{window, "时钟1", 0};
    ui::PictureBox 关闭图标{图片框1, "关闭图标", {768, 0, 20, 20}};

    // The main tab control; the header icons switch its pages.
    ui::TabControl 高级选择夹1{window, "高级选择夹1", {0, 64, 800, 384},
                               {{"首页", ""}, {"手机管理", ""}, {"手机软件", ""}, {"个人", ""}}};

    // Bottom row.
    ui::Button 按钮1{window, "按钮1", {8, 456, 104, 20}, "拦截一次爱思"};
    ui::Button 按钮4{window, "按钮4", {128, 456, 104, 20}, "拦截一次iTunes"};
    ui::CheckBox 选择框1{window, "选择框1", {8, 480, 96, 24}, "重复拦截爱思"};
    ui::CheckBox 选择框2{window, "选择框2", {128, 480, 128, 24}, "重复拦截iTunes"};
    ui::Timer 时钟2{window, "时钟2", 0};
    ui::Timer 时钟3{window, "时钟3", 0};
    ui::TransparentLabel 透明标签14{window, "透明标签14", {704, 480, 88, 20}, "信息无法读取？"};

    // Page 0 "首页".
    ui::TabPage &首页 = 高级选择夹1.page(0);
    ui::TransparentLabel 透明标签5{首页, "透明标签5", {16, 16, 128, 50}, "KelmTools"};
    ui::GroupBox 分组框1{首页, "分组框1", {160, 8, 400, 64}, "相关链接"};
    ui::Button 按钮8{分组框1, "按钮8", {8, 16, 80, 32}, "在线安装"};
    ui::Button 按钮5{分组框1, "按钮5", {96, 16, 80, 32}, "开发者的B站"};
    ui::GroupBox 分组框3{首页, "分组框3", {568, 8, 224, 64}, "帮助中心"};
    ui::TransparentLabel 透明标签11{分组框3, "透明标签11", {8, 16, 208, 20}, ""};
    ui::GroupBox 分组框6{首页, "分组框6", {568, 80, 224, 288}, "更新内容"};
    ui::EditBox 编辑框8{分组框6, "编辑框8", {8, 24, 208, 256}, "", true};
    ui::TransparentLabel 透明标签6{首页, "透明标签6", {8, 360, 100, 20}, "当前版本："};
    ui::TransparentLabel 透明标签7{首页, "透明标签7", {64, 360, 100, 20}, "测试版0.0.5α"};
    ui::TransparentLabel 透明标签19{首页, "透明标签19", {400, 352, 160, 20}, "-"};

    // Page 1 "手机管理".
    ui::TabPage &手机管理 = 高级选择夹1.page(1);
    ui::TabControl 高级选择夹2{手机管理, "高级选择夹2", {8, 8, 240, 368},
                               {{"设备控制", "让设备执行操作"},
                                {"电池电量", "电池的详细"},
                                {"储存详细", "储存查看"},
                                {"基本信息", "设备的基本信息"}}};
    ui::TransparentLabel 透明标签2{手机管理, "透明标签2", {267, 8, 173, 24}, "设备信息"};
    ui::Button 按钮26{手机管理, "按钮26", {320, 8, 40, 20}, "清空"};
    ui::Button 按钮27{手机管理, "按钮27", {368, 8, 40, 20}, "获取"};
    ui::ListView 超级列表框1{手机管理, "超级列表框1", {264, 32, 352, 343}};
    ui::TransparentLabel 透明标签1{手机管理, "透明标签1", {627, 8, 165, 24}, "输出日志"};
    ui::EditBox 编辑框_log{手机管理, "编辑框_log", {625, 31, 167, 313}, "", true};
    ui::EditBox 编辑框6{手机管理, "编辑框6", {625, 31, 167, 313}, ""};
    ui::Button 按钮11{手机管理, "按钮11", {632, 352, 45, 20}, "↑清空"};
    ui::CheckBox 选择框4{手机管理, "选择框4", {680, 352, 104, 24}, "不输出日志信息"};

    // Pages of 高级选择夹2.
    ui::TabPage &设备控制 = 高级选择夹2.page(0);
    ui::Button 按钮2{设备控制, "按钮2", {8, 32, 80, 32}, "进入恢复模式"};
    ui::Button 按钮9{设备控制, "按钮9", {88, 32, 64, 32}, "断开连接"};
    ui::Button 按钮20{设备控制, "按钮20", {152, 32, 80, 32}, "激活设备"};
    ui::Button 按钮3{设备控制, "按钮3", {8, 80, 80, 32}, "反激活设备"};
    ui::CheckBox 选择框3{设备控制, "选择框3", {8, 112, 80, 24}, "↑我已知晓"};
    ui::TransparentLabel 透明标签24{设备控制, "透明标签24", {48, 208, 144, 20}, "根据反馈,此功能暂不可用"};
    ui::Button 按钮22{设备控制, "按钮22", {8, 272, 64, 32}, ""};
    ui::Button 按钮25{设备控制, "按钮25", {0, 312, 80, 32}, ""};

    ui::TabPage &电池电量 = 高级选择夹2.page(1);
    ui::ProgressBar 进度条1{电池电量, "进度条1", {8, 32, 184, 24}};
    ui::TransparentLabel 透明标签4{电池电量, "透明标签4", {200, 32, 32, 20}, "00%"};

    ui::TabPage &储存详细 = 高级选择夹2.page(2);
    ui::ProgressBar 进度条2{储存详细, "进度条2", {8, 32, 224, 24}};
    ui::TransparentLabel 透明标签9{储存详细, "透明标签9", {8, 64, 40, 20}, "无数据"};
    ui::TransparentLabel 透明标签12{储存详细, "透明标签12", {48, 64, 20, 20}, "/"};
    ui::TransparentLabel 透明标签13{储存详细, "透明标签13", {56, 64, 40, 20}, "无数据"};
    ui::TransparentLabel 透明标签27{储存详细, "透明标签27", {8, 88, 56, 20}, "可用空间:"};
    ui::TransparentLabel 透明标签28{储存详细, "透明标签28", {64, 88, 56, 20}, "无数据"};

    ui::TabPage &基本信息 = 高级选择夹2.page(3);
    ui::RadioButton 单选框2{基本信息, "单选框2", {8, 32, 72, 24}, "序列号：", true};
    ui::EditBox 编辑框3{基本信息, "编辑框3", {72, 32, 160, 20}, ""};
    ui::RadioButton 单选框3{基本信息, "单选框3", {8, 64, 80, 24}, "IMEI码："};
    ui::EditBox 编辑框4{基本信息, "编辑框4", {72, 64, 160, 20}, ""};
    ui::RadioButton 单选框4{基本信息, "单选框4", {8, 96, 80, 24}, "IMSI码："};
    ui::EditBox 编辑框5{基本信息, "编辑框5", {72, 96, 160, 20}, ""};
    ui::Button 按钮7{基本信息, "按钮7", {56, 120, 120, 20}, "复制所选项"};
    ui::Label 标签4{基本信息, "标签4", {8, 336, 224, 24}, "标签"};

    // Page 2 "手机软件".
    ui::TabPage &手机软件 = 高级选择夹1.page(2);
    ui::Button 按钮23{手机软件, "按钮23", {8, 8, 80, 32}, "选择iPA文件"};
    ui::Button 按钮24{手机软件, "按钮24", {96, 8, 80, 32}, "准备"};
    ui::FileDialog 通用对话框1{手机软件, "通用对话框1", "(*.ipa)|*.ipa|"};
    ui::EditBox 编辑框9{手机软件, "编辑框9", {8, 48, 280, 24}, ""};
    ui::Button 按钮21{手机软件, "按钮21", {544, 280, 80, 32}, "安装"};
    ui::TransparentLabel 透明标签8{手机软件, "透明标签8", {560, 296, 240, 20}, "提示：本助手不支持给iPhone安装软件"};
    ui::WebBrowserBox 超文本浏览框1{手机软件, "超文本浏览框1", {728, 352, 20, 20}, false};
    ui::GroupBox 分组框4{手机软件, "分组框4", {536, 336, 360, 304}, "下载软件"};
    ui::TransparentLabel 透明标签10{分组框4, "透明标签10", {8, 16, 64, 20}, "输入编号："};
    ui::EditBox 编辑框2{分组框4, "编辑框2", {64, 16, 144, 20}, ""};
    ui::Button 获取数据1{分组框4, "获取数据1", {224, 16, 114, 20}, "解析并下载"};
    ui::RadioButton 单选框1{分组框4, "单选框1", {8, 40, 80, 24}, "国内线路1", true};
    ui::ListView 软件列表{手机软件, "软件列表", {552, 312, 424, 344}};
    ui::Button 获取数据{手机软件, "获取数据", {630, 272, 114, 24}, "获取软件列表"};
    ui::EditBox 卡密输入框{手机软件, "卡密输入框", {680, 352, 56, 24}, ""};
    ui::Button 修改卡密{手机软件, "修改卡密", {688, 352, 64, 32}, "修改卡密"};
    ui::Button 搜索卡密{手机软件, "搜索卡密", {705, 352, 47, 24}, "搜索"};
    ui::Button 添加卡密{手机软件, "添加卡密", {705, 352, 64, 32}, "添加卡密"};
    ui::Button 导出卡密{手机软件, "导出卡密", {688, 352, 80, 24}, "导出卡密"};
    ui::Button 删除过期卡密{手机软件, "删除过期卡密", {684, 352, 96, 24}, "删除过期卡密"};
    ui::Label 永久用户统计1{手机软件, "永久用户统计1", {8, 352, 65, 25}, "禁止下载："};
    ui::Label 永久用户统计{手机软件, "永久用户统计", {74, 352, 70, 25}, "无数据"};
    ui::Label 永久用户统计2{手机软件, "永久用户统计2", {161, 352, 65, 25}, "可以下载："};
    ui::Label 过期用户统计{手机软件, "过期用户统计", {229, 352, 70, 25}, "无数据"};
    ui::Label 普通用户统计1{手机软件, "普通用户统计1", {667, 352, 65, 25}, "普通用户："};
    ui::Label 普通用户统计{手机软件, "普通用户统计", {741, 352, 70, 25}, "标签"};

    // Page 3, personalisation.
    ui::TabPage &个人 = 高级选择夹1.page(3);
    ui::GroupBox 分组框2{个人, "分组框2", {392, 16, 400, 360}, "其他 和 个性化"};
    ui::Button 按钮16{分组框2, "按钮16", {176, 24, 56, 20}, "还原"};
    ui::TabControl 高级选择夹3{分组框2, "高级选择夹3", {0, 88, 400, 272},
                               {{"主题颜色", "导航栏颜色"}, {"软件设置", "此软件的设置"}, {"用户界面", ""}}};
    ui::TabPage &主题颜色 = 高级选择夹3.page(0);
    ui::TransparentLabel 透明标签23{主题颜色, "透明标签23", {8, 32, 72, 20}, "主题颜色："};
    ui::ColourPicker 颜色选择器1{主题颜色, "颜色选择器1", {8, 56, 160, 24}, kDesignedHeaderColour};
    ui::TransparentLabel 透明标签21{主题颜色, "透明标签21", {8, 80, 32, 20}, "当前："};
    ui::TransparentLabel 透明标签22{主题颜色, "透明标签22", {40, 80, 128, 20}, "天蓝(默认)"};
    ui::Button 按钮13{主题颜色, "按钮13", {8, 104, 160, 24}, "修改并保持"};
    ui::TabPage &软件设置 = 高级选择夹3.page(1);
    ui::TransparentLabel 透明标签25{软件设置, "透明标签25", {8, 32, 112, 24}, "是否保存连接记录？"};
    ui::TransparentLabel 透明标签26{软件设置, "透明标签26", {136, 32, 48, 24}, "当前:"};
    ui::Button 按钮18{软件设置, "按钮18", {184, 32, 32, 24}, "保存"};
    ui::Button 按钮19{软件设置, "按钮19", {216, 32, 32, 24}, "不要"};
    ui::Button 按钮17{软件设置, "按钮17", {256, 32, 96, 24}, "查看保存位置"};
    ui::TabPage &用户界面 = 高级选择夹3.page(2);
    ui::GroupBox 分组框5{用户界面, "分组框5", {8, 32, 120, 88}, "边框"};
    ui::ComboBox 组合框1{分组框5, "组合框1", {8, 24, 100, 20}, "无边框(默认)", {"无边框(默认)", "普通边框", "窄标题边框"}};
    ui::Button 按钮15{分组框5, "按钮15", {16, 56, 80, 20}, "修改"};
    ui::RadioButton 单选框5{用户界面, "单选框5", {232, 208, 80, 24}, "基本", true};
    ui::RadioButton 单选框6{用户界面, "单选框6", {312, 208, 80, 24}, "FD"};
    ui::Button 按钮14{用户界面, "按钮14", {264, 240, 80, 20}, "切换"};
};

// The one main window, set while it exists (read by the log and by every handler).
extern MainWindow *gMainWindow;
