// The main window's initial state: what the layout creates hidden or disabled, the change notes, and
// the designed colours.
#include "app/main_window.h"

#include "app/outside_addresses.h"

#include <string>

MainWindow *gMainWindow = nullptr;

namespace {

const char *const kChangeNotes[] = {
    "*——测试版0.0.5α更新内容：",
    "1.修复其余bug",
    "2.修改部分字体",
    "",
    "*——测试版0.0.4更新内容：",
    "1.增加更新内容",
    "2.增软件设置",
    "3.增加保存连接记录",
    "4.修复不在默认边框下无法点击关闭按钮Bug",
    "6.增加Apple Watch连接(未测试的功能)",
    "7.增加iPhone2G - iPhone 3GS的支持(未测试的功能)",
    "8.修复其余Bug",
};

} // namespace

MainWindow::MainWindow()
{
    for (ui::Control *hidden : std::initializer_list<ui::Control *>{
             &软件, &标签3, &透明标签3, &编辑框1, &按钮5, &透明标签19, &编辑框6, &透明标签24, &按钮22, &按钮25,
             &标签4, &按钮21, &透明标签8, &分组框4, &软件列表, &获取数据, &卡密输入框, &修改卡密, &搜索卡密,
             &添加卡密, &导出卡密, &删除过期卡密, &永久用户统计1, &永久用户统计, &永久用户统计2, &过期用户统计,
             &普通用户统计1, &普通用户统计, &按钮16})
        hidden->setVisible(false);
    for (ui::Control *disabled : std::initializer_list<ui::Control *>{
             &编辑框6, &选择框3, &透明标签24, &按钮22, &按钮25, &单选框1})
        disabled->setEnabled(false);

    高级选择夹1.setTabsVisible(false);
    透明标签11.setCaption(std::string("QQ群:") + kSupportGroupNumber);

    std::string notes;
    for (const char *line : kChangeNotes) {
        if (!notes.empty())
            notes += "\r\n";
        notes += line;
    }
    编辑框8.setCaption(notes);

    // One column: every row of the device information is one text.
    超级列表框1.addColumn("设备信息", 330);

    图片框1.setBackColour(kDesignedHeaderColour);
    透明标签22.setTextColour(kDesignedHeaderColour);
    for (ui::Control *icon : std::initializer_list<ui::Control *>{&主页, &手机, &软件, &登入, &标签1, &标签2, &标签3, &标签5})
        icon->setBackColour(kDesignedHeaderColour);
}
