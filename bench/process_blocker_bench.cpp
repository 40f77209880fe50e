// The cost of one blocker tick: a full walk of the process table that finds no "i4Tools.exe", with
// 1,000 extra processes running. Two references in the same run: `pgrep -x i4Tools.exe` on the same
// table, and the floor, a bare walk that only opens and reads each process's command name. Prints the
// ratios tick/floor (goal at most 1.3) and pgrep/tick, and the cost of the very first walk (nothing
// remembered of any process yet).
//   process_blocker_bench [--benchmark_... options]
// Each benchmark runs five times, interleaved at random with the others (so a change in the machine's
// load falls on all of them alike); the ratios use the medians.
#include "commands/process_termination.h"
#include "filler_processes.h"

#include <benchmark/benchmark.h>

#include <dirent.h>
#include <fcntl.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kExtraProcesses = 1000;

int CountProcesses()
{
    int n = 0;
    DIR *dir = ::opendir("/proc");
    while (const dirent *e = ::readdir(dir))
        n += e->d_name[0] >= '1' && e->d_name[0] <= '9';
    ::closedir(dir);
    return n;
}

// The floor: what any walk that looks at each process's name must do at the least.
int FloorWalk()
{
    DIR *dir = ::opendir("/proc");
    if (!dir)
        return 0;
    const int procFd = ::dirfd(dir);
    char path[48];
    char buffer[64];
    int read = 0;
    while (const dirent *e = ::readdir(dir)) {
        if (e->d_name[0] < '1' || e->d_name[0] > '9')
            continue;
        std::snprintf(path, sizeof path, "%.20s/comm", e->d_name);
        const int fd = ::openat(procFd, path, O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        read += ::read(fd, buffer, sizeof buffer) > 0;
        ::close(fd);
    }
    ::closedir(dir);
    return read;
}

// Listing the table alone, without reading anything of the processes: the share of the floor that
// no per-process saving can remove.
void BM_ListOnly(benchmark::State &state)
{
    for (auto _ : state) {
        DIR *dir = ::opendir("/proc");
        int n = 0;
        while (const dirent *e = ::readdir(dir))
            n += e->d_name[0] >= '1' && e->d_name[0] <= '9';
        ::closedir(dir);
        benchmark::DoNotOptimize(n);
    }
}

void BM_FloorWalk(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(FloorWalk());
    state.counters["processes"] = CountProcesses();
}

void BM_BlockerTick(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(TerminateProcessByName("i4Tools.exe"));
    state.counters["processes"] = CountProcesses();
}

void BM_Pgrep(benchmark::State &state)
{
    std::string pgrep = "/usr/bin/pgrep";
    std::string x = "-x";
    std::string name = "i4Tools.exe";
    char *argv[] = {pgrep.data(), x.data(), name.data(), nullptr};
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t pid = 0;
        if (::posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ) != 0) {
            state.SkipWithError("pgrep cannot be started");
            break;
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    ::posix_spawn_file_actions_destroy(&actions);
}

BENCHMARK(BM_ListOnly)->Unit(benchmark::kMicrosecond)->MinTime(0.5)->Repetitions(5);
BENCHMARK(BM_FloorWalk)->Unit(benchmark::kMicrosecond)->MinTime(0.5)->Repetitions(5);
BENCHMARK(BM_BlockerTick)->Unit(benchmark::kMicrosecond)->MinTime(0.5)->Repetitions(5);
BENCHMARK(BM_Pgrep)->Unit(benchmark::kMicrosecond)->MinTime(0.5)->Repetitions(5);

// Keeps each benchmark's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            // One run per benchmark, or the median of its repetitions.
            if ((run.run_type == Run::RT_Iteration && run.iterations > 0) ||
                (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")) {
                perIteration[run.run_name.function_name] = run.GetAdjustedRealTime();
                cpuPerIteration[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
    }
    // In the benchmark's unit (microseconds): elapsed, and this process's CPU time.
    std::map<std::string, double> perIteration;
    std::map<std::string, double> cpuPerIteration;
};

} // namespace

int main(int argc, char **argv)
{
    std::vector<char *> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    FillerProcesses fillers(kExtraProcesses);
    std::printf("extra processes: %zu, processes in the table: %d\n", fillers.size(), CountProcesses());

    const auto start = std::chrono::steady_clock::now();
    TerminateProcessByName("i4Tools.exe");
    const double first = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    std::printf("first walk (nothing remembered yet): %.0f us\n", first);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double floor = reporter.perIteration["BM_FloorWalk"];
    const double tick = reporter.perIteration["BM_BlockerTick"];
    const double pgrep = reporter.perIteration["BM_Pgrep"];
    const double floorCpu = reporter.cpuPerIteration["BM_FloorWalk"];
    const double tickCpu = reporter.cpuPerIteration["BM_BlockerTick"];
    if (floor > 0 && tick > 0)
        std::printf("tick / floor: %.2f elapsed, %.2f CPU (goal <= 1.30)\n", tick / floor, tickCpu / floorCpu);
    if (tick > 0 && pgrep > 0)
        std::printf("pgrep / tick: %.1f elapsed (pgrep is a process of its own)\n", pgrep / tick);
    return 0;
}
