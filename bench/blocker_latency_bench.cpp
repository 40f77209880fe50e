// The window's answer while the blocker repeats: with 1,000 extra processes running, measures how
// long an event posted to the window thread (as a click is) waits before it runs, first with both
// repeat boxes unticked, then with both ticked, and the window thread's CPU share and tick rate in
// each phase. Goal: a click answered within 50 ms.
//   blocker_latency_bench [seconds per phase, default 5]
#include "app/main_window.h"
#include "commands/command_handlers.h"
#include "commands/tool_blocker.h"
#include "filler_processes.h"
#include "platform/ui/application.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>

#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ThreadCpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct Phase {
    std::vector<double> latenciesMs;
    double cpuShare = 0;
    double ticksPerSecond = 0;
};

std::atomic<long> gTicks{0};

// Runs the event loop for `seconds` while another thread posts a "click" every 20..40 ms.
Phase Measure(platform::ui::Application &application, double seconds)
{
    Phase phase;
    std::atomic<bool> done{false};
    std::vector<double> latencies;
    const long ticksBefore = gTicks;
    const double cpuBefore = ThreadCpuSeconds();
    const auto wallBefore = Clock::now();
    std::thread poster([&] {
        std::mt19937 random(42);
        std::uniform_int_distribution<int> gap(20, 40);
        while (!done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(gap(random)));
            const auto posted = Clock::now();
            QMetaObject::invokeMethod(
                qApp,
                [&latencies, posted] {
                    latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - posted).count());
                },
                Qt::QueuedConnection);
        }
    });
    QTimer::singleShot(static_cast<int>(seconds * 1000), [] { platform::ui::Application::quit(0); });
    application.run();
    done = true;
    poster.join();
    QCoreApplication::processEvents(); // the last posted one
    const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
    phase.cpuShare = (ThreadCpuSeconds() - cpuBefore) / wall;
    phase.ticksPerSecond = static_cast<double>(gTicks - ticksBefore) / wall;
    phase.latenciesMs = latencies;
    return phase;
}

void Print(const char *name, Phase p)
{
    std::sort(p.latenciesMs.begin(), p.latenciesMs.end());
    const auto at = [&](double q) {
        return p.latenciesMs.empty() ? 0.0 : p.latenciesMs[static_cast<size_t>(q * (p.latenciesMs.size() - 1))];
    };
    std::printf("%-28s clicks %4zu  latency median %6.2f ms  p99 %6.2f ms  max %6.2f ms  window-thread CPU %5.1f %%  "
                "ticks/s %6.1f\n",
                name, p.latenciesMs.size(), at(0.5), at(0.99), p.latenciesMs.empty() ? 0.0 : p.latenciesMs.back(),
                p.cpuShare * 100, p.ticksPerSecond);
}

} // namespace

int main(int argc, char **argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    platform::ui::Application application;
    FillerProcesses fillers(1000);
    MainWindow window;
    gMainWindow = &window;
    AttachCommandHandlers(window);
    // The same work per tick, counted.
    window.时钟2.onTick([] {
        ++gTicks;
        BlockI4ToolsOnce();
    });
    window.时钟3.onTick([] {
        ++gTicks;
        BlockITunesOnTick();
    });
    window.window.show();
    std::printf("extra processes: %zu\n", fillers.size());

    Print("both boxes unticked", Measure(application, seconds));
    window.选择框1.click();
    window.选择框2.click();
    Print("both boxes ticked", Measure(application, seconds));
    gMainWindow = nullptr;
    return 0;
}
