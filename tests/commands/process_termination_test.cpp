// Ending a process by name, with real processes: copies of /bin/sleep (and of a probe program that
// calls the routine itself) under the names the blocker looks for, native or as Wine shows them.
#include "commands/process_termination.h"
#include "named_process.h"
#include "platform/process/process.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <thread>

extern char **environ;

namespace {

using commandstest::NamedProcesses;

TEST(TerminateProcessByNameTest, MatchesTheCommandNameOrTheLastComponentOfTheFirstArgument)
{
    const struct {
        const char *file;  // the program file's name: the kernel's command name
        const char *argv0; // empty: the file's path
        const char *wanted;
        bool ends;
    } cases[] = {
        {"i4Tools.exe", "", "i4Tools.exe", true},
        {"ITUNES.EXE", "", "itunes.exe", true},
        {"ITUNES.EXE", "", "iTunes.exe", true},
        {"iTunes.exe", "", "ITUNES.EXE", true},
        // Wine: the command name is the loader's, the first argument the Windows path.
        {"wine-preloader", "C:\\Program Files\\i4Tools7\\i4Tools.exe", "i4Tools.exe", true},
        {"wine64-preloade", "Z:\\opt\\iTunes\\ITUNES.EXE", "itunes.exe", true},
        {"sleep", "/opt/i4/I4TOOLS.EXE", "i4Tools.exe", true},
        {"sleep", "i4Tools.exe", "i4Tools.exe", true},
        // Longer than the kernel keeps of a command name: found by the first argument.
        {"AppleMobileDeviceService.exe", "", "applemobiledeviceservice.exe", true},
        // Near misses.
        {"iTunes", "", "iTunes.exe", false},
        {"iTunes.exe.bak", "", "iTunes.exe", false},
        {"xiTunes.exe", "", "iTunes.exe", false},
        {"sleep", "C:\\i4Tools.exe\\other.exe", "i4Tools.exe", false},
        {"sleep", "/opt/i4Tools.exe.sh", "i4Tools.exe", false},
        {"i4Tools.exe", "", "", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.file) + " / " + c.argv0 + " / " + c.wanted);
        NamedProcesses procs;
        const pid_t pid = procs.start(procs.copyAs(c.file), c.argv0);
        ASSERT_GT(pid, 0);
        // posix_spawn returns once the program has been executed: the table shows its names now.
        EXPECT_EQ(TerminateProcessByName(c.wanted), c.ends);
        if (c.ends)
            EXPECT_TRUE(procs.endedByKill(pid));
        else
            EXPECT_TRUE(procs.running(pid));
    }
}

TEST(TerminateProcessByNameTest, EndsOneProcessPerCallTheLowestIdFirst)
{
    NamedProcesses procs;
    const std::string path = procs.copyAs("i4Tools.exe");
    pid_t pids[3];
    for (pid_t &pid : pids)
        pid = procs.start(path);
    std::sort(std::begin(pids), std::end(pids));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(TerminateProcessByName("i4Tools.exe"));
        EXPECT_TRUE(procs.endedByKill(pids[i]));
        for (int j = i + 1; j < 3; ++j)
            EXPECT_TRUE(procs.running(pids[j]));
    }
    EXPECT_FALSE(TerminateProcessByName("i4Tools.exe"));
}

// Calls in quick succession, nothing reaped in between: a process that was just signalled (still
// dying, or a zombie) is not a target again, so each call ends the next one and then nothing is left.
TEST(TerminateProcessByNameTest, JustEndedProcessesAreNotTargetsAgain)
{
    NamedProcesses procs;
    const std::string path = procs.copyAs("iTunes.exe");
    pid_t pids[3];
    for (pid_t &pid : pids)
        pid = procs.start(path);
    EXPECT_TRUE(TerminateProcessByName("itunes.exe"));
    EXPECT_TRUE(TerminateProcessByName("itunes.exe"));
    EXPECT_TRUE(TerminateProcessByName("itunes.exe"));
    EXPECT_FALSE(TerminateProcessByName("itunes.exe"));
    EXPECT_EQ(platform::process::findFirstProcessNamed("itunes.exe"), 0);
    for (pid_t pid : pids)
        EXPECT_TRUE(procs.endedByKill(pid));
}

// The probe program calls the routine itself; under the target's name it must end the other
// process of that name and never itself.
TEST(TerminateProcessByNameTest, NeverEndsTheCallingProgram)
{
    NamedProcesses procs;
    const std::string probe = procs.copyAs("i4Tools.exe", KELM_BLOCKER_PROBE);
    const std::string other = procs.copyAs("I4TOOLS.EXE");
    const std::string output = procs.folder() + "/out.txt";

    const auto runProbe = [&](int count) {
        const std::string command = "'" + probe + "' i4Tools.exe " + std::to_string(count) + " > '" + output + "'";
        const int status = std::system(command.c_str());
        std::string text;
        if (FILE *f = std::fopen(output.c_str(), "r")) {
            char buffer[256];
            while (std::fgets(buffer, sizeof buffer, f))
                text += buffer;
            std::fclose(f);
        }
        return std::make_pair(WIFEXITED(status) ? WEXITSTATUS(status) : -1, text);
    };

    // Alone: nothing to end, and the probe runs to its end.
    EXPECT_EQ(runProbe(2), std::make_pair(1, std::string("nothing\nnothing\n")));
    // With another process of the name: that one ends, the probe lives on.
    const pid_t target = procs.start(other);
    EXPECT_EQ(runProbe(2), std::make_pair(0, std::string("ended\nnothing\n")));
    EXPECT_TRUE(procs.endedByKill(target));
}

// A process of another user cannot be ended: every call says no at once, the process lives on.
TEST(TerminateProcessByNameTest, AnotherUsersProcessIsLeftAndEveryCallReturns)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run the probe as another user";
    NamedProcesses procs;
    const pid_t target = procs.start(procs.copyAs("iTunes.exe")); // root's
    const std::string probe = procs.copyAs("probe", KELM_BLOCKER_PROBE);
    const pid_t asNobody = procs.startAs(65534, probe, {"ITUNES.EXE", "50"});
    ASSERT_GT(asNobody, 0);
    EXPECT_EQ(procs.exitCode(asNobody), 1) << "the probe ended something or failed to start";
    EXPECT_TRUE(procs.running(target));
}

// Processes that start and end while the table is walked: no call crashes or ends a process that
// does not carry the name, and a process that does is ended each time.
TEST(TerminateProcessByNameTest, ChurningProcessTableNeverEndsTheWrongProcess)
{
    NamedProcesses procs;
    const std::string shortLived = procs.copyAs("churn", "/bin/true");
    const std::string shortLivedTarget = procs.copyAs("i4Tools.exe", "/bin/true");
    const std::string target = procs.copyAs("i4tools.EXE");

    std::atomic<bool> stop{false};
    std::atomic<int> wrongEnds{0}, started{0};
    std::thread churn([&] {
        // Its own children, reaped here: plain fork/exec, not the helper (one thread per helper).
        while (!stop) {
            const bool named = started % 4 == 0;
            const char *path = named ? shortLivedTarget.c_str() : shortLived.c_str();
            pid_t pid = 0;
            char *argv[] = {const_cast<char *>(path), nullptr};
            if (::posix_spawn(&pid, path, nullptr, nullptr, argv, environ) != 0)
                continue;
            ++started;
            int status = 0;
            ::waitpid(pid, &status, 0);
            if (!named && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
                ++wrongEnds;
        }
    });
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        const pid_t pid = procs.start(target);
        // The long-lived target is ended, perhaps after a short-lived namesake that came first.
        bool ended = false;
        for (int call = 0; call < 1000 && !ended; ++call) {
            TerminateProcessByName("i4Tools.exe");
            ended = !procs.running(pid) || ::kill(pid, 0) != 0;
        }
        EXPECT_TRUE(procs.endedByKill(pid));
    }
    stop = true;
    churn.join();
    EXPECT_EQ(wrongEnds, 0);
    EXPECT_GT(started, 40);
}

} // namespace
