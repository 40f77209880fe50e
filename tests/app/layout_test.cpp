// The main window's layout, control by control: every control of the layout exists under its name, on
// its parent, of its kind, at its place, with its caption and its initial state.
#include "app/main_window.h"
#include "app/outside_addresses.h"
#include "platform/text/text.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

enum class Kind { Button, Label, TransparentLabel, PictureBox, Timer, CheckBox, RadioButton, GroupBox, TabControl,
                  ListView, WebBrowserBox, ProgressBar, ComboBox, ColourPicker, FileDialog, EditBox };

struct LayoutRow {
    const char *name;
    Kind kind;
    const char *parent; // the named control (or window) it stands on
    int page;           // the page of that tab control, or -1
    ui::Rect place;     // all zero for controls without a place
    const char *caption;
    bool hidden;
    bool disabled;
};

const LayoutRow kLayout[] = {
    {"主页1", Kind::PictureBox, "图片框1", -1, {8, 8, 90, 45}, nullptr, false, false},
    {"主页", Kind::PictureBox, "图片框1", -1, {120, 8, 35, 35}, nullptr, false, false},
    {"标签1", Kind::Label, "图片框1", -1, {120, 40, 35, 20}, "主页", false, false},
    {"手机", Kind::PictureBox, "图片框1", -1, {176, 8, 35, 35}, nullptr, false, false},
    {"标签2", Kind::Label, "图片框1", -1, {176, 40, 35, 20}, "设备", false, false},
    {"登入", Kind::PictureBox, "图片框1", -1, {240, 8, 35, 35}, nullptr, false, false},
    {"标签5", Kind::Label, "图片框1", -1, {240, 40, 35, 20}, "个人", false, false},
    {"软件", Kind::PictureBox, "图片框1", -1, {360, 8, 35, 35}, nullptr, true, false},
    {"标签3", Kind::Label, "图片框1", -1, {360, 40, 35, 20}, "软件", true, false},
    {"透明标签3", Kind::TransparentLabel, "图片框1", -1, {120, 8, 88, 50}, "柯岭助手", true, false},
    {"编辑框1", Kind::EditBox, "图片框1", -1, {688, 424, 80, 20}, nullptr, true, false},
    {"时钟1", Kind::Timer, "图片框1", -1, {}, nullptr, false, false},
    {"关闭图标", Kind::PictureBox, "图片框1", -1, {768, 0, 20, 20}, nullptr, false, false},
    {"按钮1", Kind::Button, "MainWindow", -1, {8, 456, 104, 20}, "拦截一次爱思", false, false},
    {"按钮4", Kind::Button, "MainWindow", -1, {128, 456, 104, 20}, "拦截一次iTunes", false, false},
    {"选择框1", Kind::CheckBox, "MainWindow", -1, {8, 480, 96, 24}, "重复拦截爱思", false, false},
    {"选择框2", Kind::CheckBox, "MainWindow", -1, {128, 480, 128, 24}, "重复拦截iTunes", false, false},
    {"时钟2", Kind::Timer, "MainWindow", -1, {}, nullptr, false, false},
    {"时钟3", Kind::Timer, "MainWindow", -1, {}, nullptr, false, false},
    {"透明标签14", Kind::TransparentLabel, "MainWindow", -1, {704, 480, 88, 20}, "信息无法读取？", false, false},
    {"透明标签5", Kind::TransparentLabel, "高级选择夹1", 0, {16, 16, 128, 50}, "KelmTools", false, false},
    {"分组框1", Kind::GroupBox, "高级选择夹1", 0, {160, 8, 400, 64}, "相关链接", false, false},
    {"按钮8", Kind::Button, "分组框1", -1, {8, 16, 80, 32}, "在线安装", false, false},
    {"按钮5", Kind::Button, "分组框1", -1, {96, 16, 80, 32}, "开发者的B站", true, false},
    {"分组框3", Kind::GroupBox, "高级选择夹1", 0, {568, 8, 224, 64}, "帮助中心", false, false},
    {"透明标签11", Kind::TransparentLabel, "分组框3", -1, {8, 16, 208, 20}, nullptr, false, false},
    {"分组框6", Kind::GroupBox, "高级选择夹1", 0, {568, 80, 224, 288}, "更新内容", false, false},
    {"编辑框8", Kind::EditBox, "分组框6", -1, {8, 24, 208, 256}, nullptr, false, false},
    {"透明标签6", Kind::TransparentLabel, "高级选择夹1", 0, {8, 360, 100, 20}, "当前版本：", false, false},
    {"透明标签7", Kind::TransparentLabel, "高级选择夹1", 0, {64, 360, 100, 20}, "测试版0.0.5α", false, false},
    {"透明标签19", Kind::TransparentLabel, "高级选择夹1", 0, {400, 352, 160, 20}, "-", true, false},
    {"高级选择夹2", Kind::TabControl, "高级选择夹1", 1, {8, 8, 240, 368}, nullptr, false, false},
    {"透明标签2", Kind::TransparentLabel, "高级选择夹1", 1, {267, 8, 173, 24}, "设备信息", false, false},
    {"按钮26", Kind::Button, "高级选择夹1", 1, {320, 8, 40, 20}, "清空", false, false},
    {"按钮27", Kind::Button, "高级选择夹1", 1, {368, 8, 40, 20}, "获取", false, false},
    {"超级列表框1", Kind::ListView, "高级选择夹1", 1, {264, 32, 352, 343}, nullptr, false, false},
    {"透明标签1", Kind::TransparentLabel, "高级选择夹1", 1, {627, 8, 165, 24}, "输出日志", false, false},
    {"编辑框_log", Kind::EditBox, "高级选择夹1", 1, {625, 31, 167, 313}, nullptr, false, false},
    {"编辑框6", Kind::EditBox, "高级选择夹1", 1, {625, 31, 167, 313}, nullptr, true, true},
    {"按钮11", Kind::Button, "高级选择夹1", 1, {632, 352, 45, 20}, "↑清空", false, false},
    {"选择框4", Kind::CheckBox, "高级选择夹1", 1, {680, 352, 104, 24}, "不输出日志信息", false, false},
    {"按钮2", Kind::Button, "高级选择夹2", 0, {8, 32, 80, 32}, "进入恢复模式", false, false},
    {"按钮9", Kind::Button, "高级选择夹2", 0, {88, 32, 64, 32}, "断开连接", false, false},
    {"按钮20", Kind::Button, "高级选择夹2", 0, {152, 32, 80, 32}, "激活设备", false, false},
    {"按钮3", Kind::Button, "高级选择夹2", 0, {8, 80, 80, 32}, "反激活设备", false, false},
    {"选择框3", Kind::CheckBox, "高级选择夹2", 0, {8, 112, 80, 24}, "↑我已知晓", false, true},
    {"透明标签24", Kind::TransparentLabel, "高级选择夹2", 0, {48, 208, 144, 20}, "根据反馈,此功能暂不可用", true, true},
    {"按钮22", Kind::Button, "高级选择夹2", 0, {8, 272, 64, 32}, nullptr, true, true},
    {"按钮25", Kind::Button, "高级选择夹2", 0, {0, 312, 80, 32}, nullptr, true, true},
    {"进度条1", Kind::ProgressBar, "高级选择夹2", 1, {8, 32, 184, 24}, nullptr, false, false},
    {"透明标签4", Kind::TransparentLabel, "高级选择夹2", 1, {200, 32, 32, 20}, "00%", false, false},
    {"进度条2", Kind::ProgressBar, "高级选择夹2", 2, {8, 32, 224, 24}, nullptr, false, false},
    {"透明标签9", Kind::TransparentLabel, "高级选择夹2", 2, {8, 64, 40, 20}, "无数据", false, false},
    {"透明标签12", Kind::TransparentLabel, "高级选择夹2", 2, {48, 64, 20, 20}, "/", false, false},
    {"透明标签13", Kind::TransparentLabel, "高级选择夹2", 2, {56, 64, 40, 20}, "无数据", false, false},
    {"透明标签27", Kind::TransparentLabel, "高级选择夹2", 2, {8, 88, 56, 20}, "可用空间:", false, false},
    {"透明标签28", Kind::TransparentLabel, "高级选择夹2", 2, {64, 88, 56, 20}, "无数据", false, false},
    {"单选框2", Kind::RadioButton, "高级选择夹2", 3, {8, 32, 72, 24}, "序列号：", false, false},
    {"编辑框3", Kind::EditBox, "高级选择夹2", 3, {72, 32, 160, 20}, nullptr, false, false},
    {"单选框3", Kind::RadioButton, "高级选择夹2", 3, {8, 64, 80, 24}, "IMEI码：", false, false},
    {"编辑框4", Kind::EditBox, "高级选择夹2", 3, {72, 64, 160, 20}, nullptr, false, false},
    {"单选框4", Kind::RadioButton, "高级选择夹2", 3, {8, 96, 80, 24}, "IMSI码：", false, false},
    {"编辑框5", Kind::EditBox, "高级选择夹2", 3, {72, 96, 160, 20}, nullptr, false, false},
    {"按钮7", Kind::Button, "高级选择夹2", 3, {56, 120, 120, 20}, "复制所选项", false, false},
    {"标签4", Kind::Label, "高级选择夹2", 3, {8, 336, 224, 24}, "标签", true, false},
    {"按钮23", Kind::Button, "高级选择夹1", 2, {8, 8, 80, 32}, "选择iPA文件", false, false},
    {"按钮24", Kind::Button, "高级选择夹1", 2, {96, 8, 80, 32}, "准备", false, false},
    {"通用对话框1", Kind::FileDialog, "高级选择夹1", 2, {}, nullptr, false, false},
    {"编辑框9", Kind::EditBox, "高级选择夹1", 2, {8, 48, 280, 24}, nullptr, false, false},
    {"按钮21", Kind::Button, "高级选择夹1", 2, {544, 280, 80, 32}, "安装", true, false},
    {"透明标签8", Kind::TransparentLabel, "高级选择夹1", 2, {560, 296, 240, 20}, "提示：本助手不支持给iPhone安装软件", true, false},
    {"超文本浏览框1", Kind::WebBrowserBox, "高级选择夹1", 2, {728, 352, 20, 20}, nullptr, true, false},
    {"分组框4", Kind::GroupBox, "高级选择夹1", 2, {536, 336, 360, 304}, "下载软件", true, false},
    {"透明标签10", Kind::TransparentLabel, "分组框4", -1, {8, 16, 64, 20}, "输入编号：", false, false},
    {"编辑框2", Kind::EditBox, "分组框4", -1, {64, 16, 144, 20}, nullptr, false, false},
    {"获取数据1", Kind::Button, "分组框4", -1, {224, 16, 114, 20}, "解析并下载", false, false},
    {"单选框1", Kind::RadioButton, "分组框4", -1, {8, 40, 80, 24}, "国内线路1", false, true},
    {"软件列表", Kind::ListView, "高级选择夹1", 2, {552, 312, 424, 344}, nullptr, true, false},
    {"获取数据", Kind::Button, "高级选择夹1", 2, {630, 272, 114, 24}, "获取软件列表", true, false},
    {"卡密输入框", Kind::EditBox, "高级选择夹1", 2, {680, 352, 56, 24}, nullptr, true, false},
    {"修改卡密", Kind::Button, "高级选择夹1", 2, {688, 352, 64, 32}, "修改卡密", true, false},
    {"搜索卡密", Kind::Button, "高级选择夹1", 2, {705, 352, 47, 24}, "搜索", true, false},
    {"添加卡密", Kind::Button, "高级选择夹1", 2, {705, 352, 64, 32}, "添加卡密", true, false},
    {"导出卡密", Kind::Button, "高级选择夹1", 2, {688, 352, 80, 24}, "导出卡密", true, false},
    {"删除过期卡密", Kind::Button, "高级选择夹1", 2, {684, 352, 96, 24}, "删除过期卡密", true, false},
    {"永久用户统计1", Kind::Label, "高级选择夹1", 2, {8, 352, 65, 25}, "禁止下载：", true, false},
    {"永久用户统计", Kind::Label, "高级选择夹1", 2, {74, 352, 70, 25}, "无数据", true, false},
    {"永久用户统计2", Kind::Label, "高级选择夹1", 2, {161, 352, 65, 25}, "可以下载：", true, false},
    {"过期用户统计", Kind::Label, "高级选择夹1", 2, {229, 352, 70, 25}, "无数据", true, false},
    {"普通用户统计1", Kind::Label, "高级选择夹1", 2, {667, 352, 65, 25}, "普通用户：", true, false},
    {"普通用户统计", Kind::Label, "高级选择夹1", 2, {741, 352, 70, 25}, "标签", true, false},
    {"分组框2", Kind::GroupBox, "高级选择夹1", 3, {392, 16, 400, 360}, "其他 和 个性化", false, false},
    {"按钮16", Kind::Button, "分组框2", -1, {176, 24, 56, 20}, "还原", true, false},
    {"高级选择夹3", Kind::TabControl, "分组框2", -1, {0, 88, 400, 272}, nullptr, false, false},
    {"透明标签23", Kind::TransparentLabel, "高级选择夹3", 0, {8, 32, 72, 20}, "主题颜色：", false, false},
    {"颜色选择器1", Kind::ColourPicker, "高级选择夹3", 0, {8, 56, 160, 24}, nullptr, false, false},
    {"透明标签21", Kind::TransparentLabel, "高级选择夹3", 0, {8, 80, 32, 20}, "当前：", false, false},
    {"透明标签22", Kind::TransparentLabel, "高级选择夹3", 0, {40, 80, 128, 20}, "天蓝(默认)", false, false},
    {"按钮13", Kind::Button, "高级选择夹3", 0, {8, 104, 160, 24}, "修改并保持", false, false},
    {"透明标签25", Kind::TransparentLabel, "高级选择夹3", 1, {8, 32, 112, 24}, "是否保存连接记录？", false, false},
    {"透明标签26", Kind::TransparentLabel, "高级选择夹3", 1, {136, 32, 48, 24}, "当前:", false, false},
    {"按钮18", Kind::Button, "高级选择夹3", 1, {184, 32, 32, 24}, "保存", false, false},
    {"按钮19", Kind::Button, "高级选择夹3", 1, {216, 32, 32, 24}, "不要", false, false},
    {"按钮17", Kind::Button, "高级选择夹3", 1, {256, 32, 96, 24}, "查看保存位置", false, false},
    {"分组框5", Kind::GroupBox, "高级选择夹3", 2, {8, 32, 120, 88}, "边框", false, false},
    {"组合框1", Kind::ComboBox, "分组框5", -1, {8, 24, 100, 20}, "无边框(默认)", false, false},
    {"按钮15", Kind::Button, "分组框5", -1, {16, 56, 80, 20}, "修改", false, false},
    {"单选框5", Kind::RadioButton, "高级选择夹3", 2, {232, 208, 80, 24}, "基本", false, false},
    {"单选框6", Kind::RadioButton, "高级选择夹3", 2, {312, 208, 80, 24}, "FD", false, false},
    {"按钮14", Kind::Button, "高级选择夹3", 2, {264, 240, 80, 20}, "切换", false, false},
};

QString q(const std::string &gbk)
{
    const std::u16string u = platform::text::gbkToUtf16(gbk);
    return QString(reinterpret_cast<const QChar *>(u.data()), static_cast<qsizetype>(u.size()));
}

// The name of the nearest named ancestor: a window, a tab page ("<tab>_page<n>"), a group box, the header.
QString namedParent(const QObject *object)
{
    for (const QObject *p = object->parent(); p; p = p->parent()) {
        if (!p->objectName().isEmpty() && p->objectName() != QLatin1String("client")
            && p->objectName() != QLatin1String("tabs"))
            return p->objectName();
    }
    return {};
}

QString captionOf(const QWidget *w)
{
    if (auto *b = qobject_cast<const QAbstractButton *>(w))
        return b->text();
    if (auto *l = qobject_cast<const QLabel *>(w))
        return l->text();
    if (auto *g = qobject_cast<const QGroupBox *>(w))
        return g->title();
    if (auto *c = qobject_cast<const QComboBox *>(w))
        return c->currentText();
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        return e->text();
    if (auto *e = qobject_cast<const QPlainTextEdit *>(w))
        return e->toPlainText();
    return {};
}

bool isOfKind(const QWidget *w, Kind kind)
{
    const auto *label = qobject_cast<const QLabel *>(w);
    switch (kind) {
    case Kind::Button:
    case Kind::ColourPicker:
        return qobject_cast<const QPushButton *>(w) != nullptr;
    case Kind::Label:
        return label && label->autoFillBackground();
    case Kind::TransparentLabel:
        return label && !label->autoFillBackground();
    case Kind::CheckBox:
        return qobject_cast<const QCheckBox *>(w) != nullptr;
    case Kind::RadioButton:
        return qobject_cast<const QRadioButton *>(w) != nullptr;
    case Kind::GroupBox:
        return qobject_cast<const QGroupBox *>(w) != nullptr;
    case Kind::TabControl:
        return w->findChild<QTabBar *>(QStringLiteral("tabs"), Qt::FindDirectChildrenOnly) != nullptr;
    case Kind::ListView:
        return qobject_cast<const QTreeWidget *>(w) != nullptr;
    case Kind::ProgressBar:
        return qobject_cast<const QProgressBar *>(w) != nullptr;
    case Kind::ComboBox:
        return qobject_cast<const QComboBox *>(w) != nullptr;
    case Kind::EditBox:
        return qobject_cast<const QLineEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w);
    case Kind::PictureBox:
        return !label && !qobject_cast<const QAbstractButton *>(w) && !qobject_cast<const QGroupBox *>(w);
    case Kind::WebBrowserBox:
        return true;
    case Kind::Timer:
    case Kind::FileDialog:
        return false;
    }
    return false;
}

class LayoutTest : public testing::Test {
protected:
    MainWindow window;
};

TEST_F(LayoutTest, EveryControlStandsInItsPlace)
{
    ASSERT_EQ(std::size(kLayout), 110u);
    QWidget *root = window.window.widget();
    for (const LayoutRow &row : kLayout) {
        SCOPED_TRACE(row.name);
        const QString expectedParent = row.page >= 0 ? q(row.parent) + QStringLiteral("_page%1").arg(row.page)
                                                     : q(row.parent);
        if (row.kind == Kind::Timer) {
            auto *timer = root->findChild<QTimer *>(q(row.name));
            ASSERT_NE(timer, nullptr);
            EXPECT_FALSE(timer->isActive()) << "timers start stopped";
            continue;
        }
        if (row.kind == Kind::FileDialog) {
            EXPECT_NE(root->findChild<QObject *>(q(row.name)), nullptr);
            continue;
        }
        QWidget *w = root->findChild<QWidget *>(q(row.name));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(namedParent(w), expectedParent);
        EXPECT_TRUE(isOfKind(w, row.kind));
        EXPECT_EQ(w->geometry(), QRect(row.place.left, row.place.top, row.place.width, row.place.height));
        EXPECT_EQ(w->isHidden(), row.hidden);
        EXPECT_EQ(!w->isEnabled(), row.disabled);
        if (row.caption) {
            EXPECT_EQ(captionOf(w), q(row.caption));
        }
    }
}

TEST_F(LayoutTest, WindowPagesAndTextsAsDesigned)
{
    EXPECT_EQ(window.window.width(), 798);
    EXPECT_EQ(window.window.height(), 505);
    EXPECT_EQ(window.window.caption(), "");
    EXPECT_EQ(window.高级选择夹1.currentPage(), 0);
    EXPECT_FALSE(window.高级选择夹1.tabsVisible());
    const char *mainPages[] = {"首页", "手机管理", "手机软件"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(window.高级选择夹1.pageCaption(i), mainPages[i]);

    const std::pair<const char *, const char *> devicePages[] = {
        {"设备控制", "让设备执行操作"}, {"电池电量", "电池的详细"}, {"储存详细", "储存查看"}, {"基本信息", "设备的基本信息"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(window.高级选择夹2.pageCaption(i), devicePages[i].first);
        EXPECT_EQ(window.高级选择夹2.pageToolTip(i), devicePages[i].second);
    }
    const std::pair<const char *, const char *> personalPages[] = {
        {"主题颜色", "导航栏颜色"}, {"软件设置", "此软件的设置"}, {"用户界面", ""}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(window.高级选择夹3.pageCaption(i), personalPages[i].first);
        EXPECT_EQ(window.高级选择夹3.pageToolTip(i), personalPages[i].second);
    }

    EXPECT_EQ(window.编辑框8.caption(),
              "*——测试版0.0.5α更新内容：\r\n1.修复其余bug\r\n2.修改部分字体\r\n\r\n*——测试版0.0.4更新内容：\r\n"
              "1.增加更新内容\r\n2.增软件设置\r\n3.增加保存连接记录\r\n4.修复不在默认边框下无法点击关闭按钮Bug\r\n"
              "6.增加Apple Watch连接(未测试的功能)\r\n7.增加iPhone2G - iPhone 3GS的支持(未测试的功能)\r\n8.修复其余Bug");
    EXPECT_EQ(window.透明标签11.caption(), std::string("QQ群:") + kSupportGroupNumber);
    EXPECT_EQ(window.组合框1.items(), (std::vector<std::string>{"无边框(默认)", "普通边框", "窄标题边框"}));
    EXPECT_TRUE(window.单选框2.isSelected());
    EXPECT_TRUE(window.单选框5.isSelected());
    EXPECT_TRUE(window.单选框1.isSelected());
    EXPECT_FALSE(window.选择框1.isTicked());
    EXPECT_EQ(window.颜色选择器1.colour(), kDesignedHeaderColour);
}

} // namespace
