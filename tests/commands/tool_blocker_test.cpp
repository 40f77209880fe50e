// The competing-tool blocker on the main window with real processes: copies of /bin/sleep named
// "i4Tools.exe", "ITUNES.EXE" and "iTunes.exe", ended by the buttons and the repeating timers.
#include "app/main_window.h"
#include "commands/command_handlers.h"
#include "named_process.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using commandstest::NamedProcesses;
namespace ui = platform::ui;

class ToolBlockerTest : public testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<MainWindow>();
        AttachCommandHandlers(*window);
    }

    // Handles events until `pid` has gone (fail-safe limit), then tells whether the kill ended it.
    bool endedWhileEventsRun(NamedProcesses &procs, pid_t pid)
    {
        testsupport::waitUntil([&] { return !procs.running(pid); });
        return procs.endedByKill(pid);
    }

    std::unique_ptr<MainWindow> window;
};

TEST_F(ToolBlockerTest, StartsWithBothSwitchesStopped)
{
    for (const ui::Button *b : {&window->按钮1, &window->按钮4})
        EXPECT_TRUE(b->isEnabled());
    for (const ui::CheckBox *c : {&window->选择框1, &window->选择框2})
        EXPECT_FALSE(c->isTicked());
    for (const ui::Timer *t : {&window->时钟2, &window->时钟3}) {
        EXPECT_EQ(t->period(), 0);
        EXPECT_FALSE(t->isRunning());
    }
}

TEST_F(ToolBlockerTest, OneClickOrTickEndsExactlyOneOfTwoInstances)
{
    const struct {
        const char *how;
        const char *file;
        std::function<void(MainWindow &)> act;
    } cases[] = {
        {"按钮1", "i4Tools.exe", [](MainWindow &w) { w.按钮1.click(); }},
        {"时钟2", "I4TOOLS.exe", [](MainWindow &w) { w.时钟2.tick(); }},
        {"按钮4", "ITUNES.EXE", [](MainWindow &w) { w.按钮4.click(); }},
        {"按钮4", "iTunes.exe", [](MainWindow &w) { w.按钮4.click(); }},
        {"时钟3", "ITUNES.EXE", [](MainWindow &w) { w.时钟3.tick(); }},
        {"时钟3", "itunes.exe", [](MainWindow &w) { w.时钟3.tick(); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.how) + " / " + c.file);
        NamedProcesses procs;
        const std::string path = procs.copyAs(c.file);
        pid_t pids[2] = {procs.start(path), procs.start(path)};
        std::sort(std::begin(pids), std::end(pids));
        testsupport::MessageRecorder messages;
        c.act(*window);
        EXPECT_TRUE(procs.endedByKill(pids[0]));
        EXPECT_TRUE(procs.running(pids[1]));
        c.act(*window);
        EXPECT_TRUE(procs.endedByKill(pids[1]));
        c.act(*window); // none left: no effect, no message
        EXPECT_TRUE(messages.boxes().empty());
    }
}

TEST_F(ToolBlockerTest, RepeatBoxEndsNewInstancesUntilUnticked)
{
    const struct {
        const char *file;
        ui::CheckBox &box;
        ui::Button &once;
        ui::Timer &timer;
        ui::Timer &otherTimer;
    } cases[] = {
        {"i4Tools.exe", window->选择框1, window->按钮1, window->时钟2, window->时钟3},
        {"ITUNES.EXE", window->选择框2, window->按钮4, window->时钟3, window->时钟2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        NamedProcesses procs;
        const std::string path = procs.copyAs(c.file);
        testsupport::MessageRecorder messages;

        c.box.click();
        ASSERT_TRUE(c.box.isTicked());
        EXPECT_FALSE(c.once.isEnabled());
        EXPECT_EQ(c.timer.period(), 1);
        EXPECT_TRUE(c.timer.isRunning());
        EXPECT_FALSE(c.otherTimer.isRunning());

        // Instances started while it repeats go, one after the other.
        for (int i = 0; i < 3; ++i) {
            const pid_t a = procs.start(path);
            const pid_t b = procs.start(path);
            EXPECT_TRUE(endedWhileEventsRun(procs, a));
            EXPECT_TRUE(endedWhileEventsRun(procs, b));
        }

        c.box.click();
        ASSERT_FALSE(c.box.isTicked());
        EXPECT_TRUE(c.once.isEnabled());
        EXPECT_EQ(c.timer.period(), 0);
        EXPECT_FALSE(c.timer.isRunning());
        // Stopped: a new instance lives through what would have been many ticks.
        const pid_t survivor = procs.start(path);
        testsupport::processEvents(std::chrono::milliseconds(200));
        EXPECT_TRUE(procs.running(survivor));
        EXPECT_TRUE(messages.boxes().empty());
    }
}

TEST_F(ToolBlockerTest, DisabledButtonEndsNothingWhileTheBoxIsTicked)
{
    NamedProcesses procs;
    window->选择框1.click();
    window->时钟2.setPeriod(0); // hold the timer: only the button could end it now
    const pid_t pid = procs.start(procs.copyAs("i4Tools.exe"));
    window->按钮1.click();
    testsupport::processEvents(std::chrono::milliseconds(50));
    EXPECT_TRUE(procs.running(pid));
    window->选择框1.click();
    window->按钮1.click();
    EXPECT_TRUE(procs.endedByKill(pid));
}

} // namespace
