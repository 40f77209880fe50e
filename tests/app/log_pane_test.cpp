// The log pane: the line format, appending from the window thread and from other threads, the cover
// check box and the empty button.
#include "app/log_pane.h"
#include "app/main_window.h"
#include "platform/datetime/clock.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <thread>

namespace {

TEST(FormatLogLine, WritesTheTimeUnpadded)
{
    const struct {
        int h, m, s;
        const char *source;
        const char *message;
        const char *line;
    } cases[] = {
        {8, 0, 5, "柯岭助手", "设备连接成功", "[8:0:5][柯岭助手]=>>设备连接成功\r\n"},
        {0, 0, 0, "柯岭助手", "x", "[0:0:0][柯岭助手]=>>x\r\n"},
        {21, 17, 45, "AMDeviceStopSession", "关闭会话结果>>kAMDSuccess",
         "[21:17:45][AMDeviceStopSession]=>>关闭会话结果>>kAMDSuccess\r\n"},
        {8, 0, 5, "", "", "[8:0:5][]=>>\r\n"},
        {14, 3, 9, "柯岭助手", "创建连接失败>>kAMDInvalidHostIDError",
         "[14:3:9][柯岭助手]=>>创建连接失败>>kAMDInvalidHostIDError\r\n"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatLogLine(c.h, c.m, c.s, c.source, c.message), c.line);
}

class LogPaneTest : public testing::Test {
protected:
    void SetUp() override
    {
        gMainWindow = &window;
        AttachLogPaneHandlers(window);
    }
    void TearDown() override
    {
        gMainWindow = nullptr;
        platform::datetime::setTestClock(nullptr);
    }
    MainWindow window;
};

TEST_F(LogPaneTest, AppendsAtTheEndWithTheLocalTime)
{
    platform::datetime::setTestClock([] { return platform::datetime::LocalTime{2026, 12, 11, 9, 5, 3, 5}; });
    AppendLog(LogSourceTag, "设备连接成功");
    AppendLog("AMDeviceDisconnect", "关闭连接结果>>");
    EXPECT_EQ(window.编辑框_log.caption(),
              "[9:5:3][柯岭助手]=>>设备连接成功\r\n[9:5:3][AMDeviceDisconnect]=>>关闭连接结果>>\r\n");
}

TEST_F(LogPaneTest, LinesFromManyThreadsNeverMix)
{
    constexpr int kThreads = 4;
    constexpr int kLines = 200;
    std::vector<std::thread> threads;
    std::atomic<int> finished{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &finished] {
            for (int i = 0; i < kLines; ++i)
                AppendLog(LogSourceTag, "线程" + std::to_string(t) + "-" + std::to_string(i));
            ++finished;
        });
    }
    // The window thread keeps handling events (and logs too) while the threads append.
    for (int i = 0; i < kLines; ++i)
        AppendLog(LogSourceTag, "窗口-" + std::to_string(i));
    ASSERT_TRUE(testsupport::waitUntil([&] { return finished == kThreads; }));
    for (auto &thread : threads)
        thread.join();

    const std::string text = window.编辑框_log.caption();
    std::set<std::string> seen;
    const std::regex line(R"(\[\d+:\d+:\d+\]\[柯岭助手\]=>>(.+))");
    size_t start = 0;
    for (size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2) {
        std::smatch m;
        const std::string one = text.substr(start, at - start);
        ASSERT_TRUE(std::regex_match(one, m, line)) << one;
        EXPECT_TRUE(seen.insert(m[1]).second) << "line twice: " << one;
    }
    EXPECT_EQ(start, text.size());
    EXPECT_EQ(seen.size(), static_cast<size_t>((kThreads + 1) * kLines));
}

TEST_F(LogPaneTest, CoverHidesThePaneButTheLogGoesOn)
{
    window.选择框4.click();
    EXPECT_TRUE(window.选择框4.isTicked());
    EXPECT_TRUE(window.编辑框6.isVisible());
    EXPECT_FALSE(window.编辑框6.isEnabled());
    EXPECT_EQ(window.编辑框6.left(), 625);
    EXPECT_EQ(window.编辑框6.top(), 31);
    EXPECT_FALSE(window.按钮11.isEnabled());

    AppendLog(LogSourceTag, "covered");
    window.按钮11.click(); // disabled: nothing happens
    EXPECT_NE(window.编辑框_log.caption().find("covered"), std::string::npos);

    window.选择框4.click();
    EXPECT_FALSE(window.编辑框6.isVisible());
    EXPECT_EQ(window.编辑框6.left(), 9999);
    EXPECT_EQ(window.编辑框6.top(), 9999);
    EXPECT_TRUE(window.按钮11.isEnabled());
    EXPECT_NE(window.编辑框_log.caption().find("covered"), std::string::npos);

    window.按钮11.click();
    EXPECT_EQ(window.编辑框_log.caption(), "");
    AppendLog(LogSourceTag, "fresh");
    EXPECT_EQ(window.编辑框_log.caption().find("["), 0u);
}

} // namespace
