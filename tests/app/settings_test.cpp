// The settings file and what start-up, the first-run wizard, the personalisation pages, the settings
// page, the tester window and the header drag do with it, on real files in a temporary home.
#include "app/main_window.h"
#include "app/personalisation.h"
#include "app/settings.h"
#include "app/setup_wizard.h"
#include "app/startup.h"
#include "app/tester_window.h"
#include "device/device_context.h"
#include "device/device_thread.h"
#include "platform/datetime/clock.h"
#include "platform/ini/ini.h"
#include "platform/shell/folders.h"
#include "platform/shell/open.h"
#include "platform/text/text.h"
#include "program_test_support.h"
#include "test_support.h"

#include <QApplication>
#include <QCursor>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

void NoThread() {}

QString q(const std::string &gbk)
{
    const std::u16string u = platform::text::gbkToUtf16(gbk);
    return QString(reinterpret_cast<const QChar *>(u.data()), static_cast<qsizetype>(u.size()));
}

std::string setting(const char *section, const char *key)
{
    return platform::ini::readString(SettingsFilePath(), section, key);
}

// Runs `action` on the named top-level window once it shows (it is modal: the opener waits).
void whenWindowShows(const char *name, std::function<void(QWidget *)> action)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, name = q(name), action] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == name && w->isVisible()) {
                poll->stop();
                poll->deleteLater();
                action(w);
                return;
            }
        }
    });
    poll->start(10);
}

void clickButton(QWidget *window, const char *name)
{
    auto *button = window->findChild<QPushButton *>(q(name));
    ASSERT_NE(button, nullptr) << name;
    button->click();
}

class ShellTest : public testing::Test {
protected:
    void SetUp() override
    {
        CreateDeviceContext();
        SetDeviceThreadStarter(NoThread);
        savedDirectory = platform::shell::currentDirectory();
        testsupport::registerDeviceLibraries(home, testsupport::fakeDeviceLibsDir());
    }
    void TearDown() override
    {
        if (window) {
            gMainWindow = nullptr;
            delete window;
        }
        SetDeviceThreadStarter(nullptr);
        platform::shell::setCurrentDirectory(savedDirectory);
    }
    void settingsFile(const std::string &gbkContent)
    {
        std::ofstream(home.settingsFile(), std::ios::binary | std::ios::trunc) << gbkContent;
    }

    testsupport::TempHome home;
    testsupport::MessageRecorder messages;
    testsupport::EndProgramRecorder ended;
    MainWindow *window = nullptr;
    std::string savedDirectory;
};

TEST_F(ShellTest, FirstRunShowsTheNoticeAndTheWizardBeforeAnythingElse)
{
    std::filesystem::remove(home.settingsFile());
    bool librariesSearchedBeforeWizard = false;
    whenWindowShows("SetupWizardWindow", [&](QWidget *wizard) {
        // The library search has not run yet: the current directory is still the old one.
        librariesSearchedBeforeWizard = platform::shell::currentDirectory() == testsupport::fakeDeviceLibsDir();
        clickButton(wizard, "按钮4"); // 否
        clickButton(wizard, "按钮1"); // to page 2
        clickButton(wizard, "按钮1"); // finish
        wizard->close();
    });
    window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(librariesSearchedBeforeWizard);
    const auto boxes = messages.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "检测到你是第一次在 这台电脑打开 或 第一次使用此软件，将要打开初始化");
    EXPECT_EQ(boxes[0].title, "提示");
    EXPECT_EQ(boxes[0].icon, ui::MessageIcon::Information);
    EXPECT_EQ(boxes[1].text, "你已完成设置，请重新打开软件");
    EXPECT_EQ(setting("初次打开", "是否"), "1");
    EXPECT_EQ(setting("保存连接记录", "开关"), "1");
    EXPECT_EQ(window->透明标签26.caption(), "当前:1");
    EXPECT_EQ(SaveRecordsSwitch.load(), 1);
    // After the wizard the program goes on with its window shown, borderless, in the designed colour.
    EXPECT_TRUE(window->window.isVisible());
    EXPECT_EQ(window->window.height(), 505);
    EXPECT_TRUE(window->关闭图标.isVisible());
    EXPECT_EQ(window->透明标签22.caption(), "16746496");
    EXPECT_EQ(platform::shell::currentDirectory(), testsupport::fakeDeviceLibsDir());
}

TEST_F(ShellTest, StartUpAppliesTheStoredSettings)
{
    const struct {
        const char *name;
        std::string file;
        int border;
        int height;
        bool closeIcon;
        const char *colourCaption;
        uint32_t colour;
        const char *saveCaption;
    } cases[] = {
        {"defaults", "[初次打开]\r\n是否=1\r\n", 0, 505, true, "16746496", 16746496, "当前:0"},
        {"normal border, red", "[初次打开]\r\n是否=1\r\n[软件边框]\r\n边框=2\r\n[主题颜色]\r\n颜色=255\r\n", 2, 540, false,
         "255", 255, "当前:0"},
        {"resizable border edited by hand", "[初次打开]\r\n是否=1\r\n[软件边框]\r\n边框=1\r\n", 1, 540, false, "16746496",
         16746496, "当前:0"},
        {"above 6 acts as 6", "[初次打开]\r\n是否=1\r\n[软件边框]\r\n边框=9\r\n", 6, 540, false, "16746496", 16746496,
         "当前:0"},
        {"negative acts as 0", "[初次打开]\r\n是否=1\r\n[软件边框]\r\n边框=-3\r\n", 0, 505, true, "16746496", 16746496,
         "当前:0"},
        {"colour that is not a number is black", "[初次打开]\r\n是否=1\r\n[主题颜色]\r\n颜色=abc\r\n", 0, 505, true, "0", 0,
         "当前:0"},
        {"records switched off", "[初次打开]\r\n是否=1\r\n[保存连接记录]\r\n开关=1\r\n", 0, 505, true, "16746496",
         16746496, "当前:1"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        settingsFile(c.file);
        window = CreateMainWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(messages.boxes().empty());
        EXPECT_EQ(window->window.borderStyle(), c.border);
        EXPECT_EQ(window->window.height(), c.height);
        EXPECT_EQ(window->window.width(), 798);
        EXPECT_EQ(window->关闭图标.isVisible(), c.closeIcon);
        EXPECT_EQ(window->透明标签22.caption(), c.colourCaption);
        EXPECT_EQ(window->颜色选择器1.colour(), c.colour);
        EXPECT_EQ(window->透明标签26.caption(), c.saveCaption);
        gMainWindow = nullptr;
        delete window;
        window = nullptr;
    }
}

TEST_F(ShellTest, AFirstOpenValueOtherThanOneOpensTheWizardAgain)
{
    settingsFile("[初次打开]\r\n是否=2\r\n");
    whenWindowShows("SetupWizardWindow", [](QWidget *wizard) { wizard->close(); });
    window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(messages.boxes().size(), 1u);
    EXPECT_EQ(setting("初次打开", "是否"), "2") << "closing without finishing changes nothing";
}

TEST(SetupWizard, ButtonsMessagesAndWrites)
{
    const struct {
        const char *name;
        std::vector<const char *> clicks;
        std::vector<std::string> messages;
        const char *firstOpen;
        const char *saveRecords;
    } cases[] = {
        {"finished without an answer", {"按钮1", "按钮1"}, {"你已完成设置，请重新打开软件", "有一选项未选择,已设为默认"}, "1",
         "0"},
        {"no, then finished", {"按钮4", "按钮1", "按钮1"}, {"你已完成设置，请重新打开软件"}, "1", "1"},
        {"yes, then finished twice", {"按钮3", "按钮1", "按钮1", "按钮1"},
         {"你已完成设置，请重新打开软件", "你已完成设置，请重新打开软件"}, "1", "0"},
        {"answered but not finished", {"按钮4", "按钮1", "按钮2"}, {}, "", "1"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempHome home;
        std::filesystem::remove(home.settingsFile());
        testsupport::MessageRecorder recorder;
        SetupWizardWindow wizard;
        for (const char *button : c.clicks)
            clickButton(wizard.window.widget(), button);
        std::vector<std::string> texts;
        for (const auto &box : recorder.boxes())
            texts.push_back(box.text);
        EXPECT_EQ(texts, c.messages);
        for (const auto &box : recorder.boxes()) {
            if (box.text == "有一选项未选择,已设为默认") {
                EXPECT_EQ(box.title, "信息：");
                EXPECT_EQ(box.icon, ui::MessageIcon::None);
            }
        }
        EXPECT_EQ(setting("初次打开", "是否"), c.firstOpen);
        EXPECT_EQ(setting("保存连接记录", "开关"), c.saveRecords);
    }
}

TEST(SetupWizard, BackButtonOnlyAwayFromTheFirstPage)
{
    testsupport::TempHome home;
    SetupWizardWindow wizard;
    EXPECT_EQ(wizard.高级选择夹1.currentPage(), 0);
    EXPECT_FALSE(wizard.按钮2.isEnabled());
    wizard.按钮1.click();
    EXPECT_EQ(wizard.高级选择夹1.currentPage(), 1);
    EXPECT_TRUE(wizard.按钮2.isEnabled());
    wizard.高级选择夹1.setCurrentPage(2); // only by its tab
    EXPECT_TRUE(wizard.按钮2.isEnabled());
    wizard.按钮2.click();
    wizard.按钮2.click();
    EXPECT_EQ(wizard.高级选择夹1.currentPage(), 0);
    EXPECT_FALSE(wizard.按钮2.isEnabled());
    EXPECT_TRUE(wizard.按钮1.isEnabled());
}

TEST_F(ShellTest, PersonalisationChangesTakeEffectAndAreKept)
{
    window = CreateMainWindow();
    ASSERT_NE(window, nullptr);

    window->颜色选择器1.setColour(0x00336699);
    window->按钮13.click();
    EXPECT_EQ(window->透明标签22.caption(), std::to_string(0x00336699));
    EXPECT_EQ(setting("主题颜色", "颜色"), std::to_string(0x00336699));

    const struct {
        const char *choice;
        int border;
        int height;
        bool closeIcon;
        const char *written;
    } borders[] = {
        {"普通边框", 2, 540, false, "2"},
        {"无边框(默认)", 0, 505, true, "0"},
        {"窄标题边框", 4, 540, false, "4"},
        {"别的边框", 4, 540, false, "4"}, // unknown text: nothing changes, nothing is written
    };
    for (const auto &b : borders) {
        SCOPED_TRACE(b.choice);
        window->组合框1.setCaption(b.choice);
        window->按钮15.click();
        EXPECT_EQ(window->window.borderStyle(), b.border);
        EXPECT_EQ(window->window.height(), b.height);
        EXPECT_EQ(window->window.width(), 798);
        EXPECT_EQ(window->关闭图标.isVisible(), b.closeIcon);
        EXPECT_EQ(setting("软件边框", "边框"), b.written);
    }

    // The next start shows the same colour and border.
    gMainWindow = nullptr;
    delete window;
    window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->颜色选择器1.colour(), 0x00336699u);
    EXPECT_EQ(window->window.borderStyle(), 4);
}

TEST_F(ShellTest, SettingsPageButtons)
{
    window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    window->按钮19.click();
    EXPECT_EQ(window->透明标签26.caption(), "当前:1");
    EXPECT_EQ(setting("保存连接记录", "开关"), "1");
    EXPECT_EQ(SaveRecordsSwitch.load(), 1);
    window->按钮18.click();
    EXPECT_EQ(window->透明标签26.caption(), "当前:0");
    EXPECT_EQ(setting("保存连接记录", "开关"), "0");
    EXPECT_EQ(SaveRecordsSwitch.load(), 0);

    std::vector<std::string> opened;
    platform::shell::setOpenHandlerForTesting([&](const std::string &target) {
        opened.push_back(target);
        return true;
    });
    window->按钮17.click();
    platform::shell::setOpenHandlerForTesting(nullptr);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], platform::shell::favoritesFolder());
    EXPECT_TRUE(messages.boxes().empty());
}

TEST_F(ShellTest, TesterWindowHidesTheMainWindowAndEndsTheProgram)
{
    window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    window->按钮14.click(); // "基本" selected: nothing happens
    EXPECT_TRUE(messages.boxes().empty());

    platform::datetime::setTestClock([] { return platform::datetime::LocalTime{2026, 12, 11, 9, 5, 0, 5}; });
    window->单选框6.click();
    whenWindowShows("TesterWindow", [](QWidget *tester) { clickButton(tester, "按钮1"); });
    window->按钮14.click();
    platform::datetime::setTestClock(nullptr);
    ASSERT_EQ(messages.boxes().size(), 1u);
    EXPECT_EQ(messages.boxes()[0].title, "提示");
    EXPECT_EQ(messages.boxes()[0].text.rfind("此功能为测试功能,遇到Bug请反馈至QQ:", 0), 0u);
    EXPECT_FALSE(window->window.isVisible());
    EXPECT_EQ(ended.exitCode(), 0);

    auto tester = OpenTesterWindow(*window);
    EXPECT_TRUE(tester->图片框1.hasPicture());
    EXPECT_EQ(tester->window.caption(), "测试器");
    tester->window.show();
    const std::string file = testsupport::screenshotFolder() + "/tester-window.png";
    EXPECT_TRUE(testsupport::renderToPng(tester->window, file));
}

TEST_F(ShellTest, HeaderDragMovesOnlyTheBorderlessWindow)
{
    window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    window->图片框1.press();
    EXPECT_EQ(window->时钟1.period(), 1);
    EXPECT_TRUE(window->时钟1.isRunning());
    QCursor::setPos(300, 200);
    window->时钟1.tick();
    EXPECT_EQ(window->window.left(), 300);
    EXPECT_EQ(window->window.top(), 200);

    ApplyBorderStyle(*window, 2);
    const int left = window->window.left();
    const int top = window->window.top();
    QCursor::setPos(400, 250);
    window->时钟1.tick();
    EXPECT_EQ(window->window.left(), left);
    EXPECT_EQ(window->window.top(), top);
    window->图片框1.release();
    EXPECT_EQ(window->时钟1.period(), 0);
    EXPECT_FALSE(window->时钟1.isRunning());

    // A press on an icon selects its page and starts no drag.
    window->手机.press();
    EXPECT_EQ(window->时钟1.period(), 0);
}

TEST_F(ShellTest, RendersTheWizardAndThePersonalPages)
{
    SetupWizardWindow wizard;
    wizard.window.show();
    EXPECT_TRUE(testsupport::renderToPng(wizard.window, testsupport::screenshotFolder() + "/setup-wizard.png"));
    window = CreateMainWindow();
    ASSERT_NE(window, nullptr);
    window->高级选择夹1.setCurrentPage(3);
    for (int page = 0; page < 3; ++page) {
        window->高级选择夹3.setCurrentPage(page);
        EXPECT_TRUE(testsupport::renderToPng(window->window, testsupport::screenshotFolder() + "/personal-page" +
                                                                 std::to_string(page) + ".png"));
    }
}

} // namespace
