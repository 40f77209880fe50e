// Picking the software list out of a downloaded page: the regular-expression object (PCRE2, JIT) against
// std::regex with the same pattern, on the same generated GBK page, in the same run.
//
// The 5 MB page holds a list of a few hundred entries; both engines run in this process. The 20 MB page
// holds a list of tens of thousands of entries on one line: std::regex's backtracking recursion can
// exhaust the stack there, so it runs in a child process, and a crash is reported instead of taken
// down with it. At the end the ratio std::regex / RegexMatcher for each page is printed.
#include "online/regex_matcher.h"
#include "platform/text/text.h"

#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <regex>
#include <string>

namespace {

const char *const kPattern = "卡-(.*?)-密";

std::string makePage(size_t size, int entries)
{
    std::string list;
    for (int i = 1; i <= entries; ++i)
        list += "软件" + std::to_string(i) + "=" + std::to_string(1000 + i) + "+2024-03-01&nbsp;08:00:00|";
    const std::string line = "<div class=\"file-row\"><span>文件名称 share item</span><em>2024-03-01</em></div>\r\n";
    std::string page;
    page.reserve(size + list.size() + 64);
    while (page.size() < size / 2)
        page += line;
    page += "<pre>卡-" + list + "-密</pre>\r\n";
    while (page.size() < size)
        page += line;
    return page;
}

const std::string &page5() { static const std::string p = makePage(5u << 20, 300); return p; }
const std::string &page20() { static const std::string p = makePage(20u << 20, 60000); return p; }

size_t pickWithMatcher(const std::string &page)
{
    RegexMatcher m;
    m.Create(kPattern, page);
    return m.MatchText(1).size();
}

// The same work as the program's step: every match of the page (a global search, as the program's
// regular-expression object does), the first one's group taken.
size_t pickWithStdRegex(const std::string &page)
{
    const std::regex re(kPattern, std::regex::ECMAScript | std::regex::icase);
    size_t first = 0;
    size_t count = 0;
    for (auto it = std::sregex_iterator(page.begin(), page.end(), re); it != std::sregex_iterator(); ++it) {
        if (count++ == 0)
            first = static_cast<size_t>(it->length(1));
    }
    return first;
}

void BM_RegexMatcher(benchmark::State &state, const std::string &(*page)())
{
    const std::string &p = page();
    size_t found = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(found = pickWithMatcher(p));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * p.size()));
    state.counters["list_bytes"] = static_cast<double>(found);
}

void BM_StdRegex(benchmark::State &state, const std::string &(*page)())
{
    const std::string &p = page();
    size_t found = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(found = pickWithStdRegex(p));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * p.size()));
    state.counters["list_bytes"] = static_cast<double>(found);
}

// The share of the work that is the subject's conversion to UTF-16, for reading the figures above.
void BM_SubjectConversion(benchmark::State &state, const std::string &(*page)())
{
    const std::string &p = page();
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::text::gbkToUtf16(p));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * p.size()));
}

// std::regex once in a child process; the child reports its time through a pipe.
void BM_StdRegexInChild(benchmark::State &state, const std::string &(*page)())
{
    const std::string &p = page();
    for (auto _ : state) {
        int fds[2];
        if (::pipe(fds) != 0) {
            state.SkipWithError("pipe failed");
            break;
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            const auto t0 = std::chrono::steady_clock::now();
            const size_t found = pickWithStdRegex(p);
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            const double result[2] = {seconds, static_cast<double>(found)};
            (void)!::write(fds[1], result, sizeof result);
            ::_exit(0);
        }
        ::close(fds[1]);
        double result[2] = {0, 0};
        const ssize_t got = pid > 0 ? ::read(fds[0], result, sizeof result) : -1;
        ::close(fds[0]);
        int status = 0;
        if (pid > 0)
            ::waitpid(pid, &status, 0);
        if (pid < 0 || got != static_cast<ssize_t>(sizeof result) || !WIFEXITED(status)) {
            static std::string message;
            message = WIFSIGNALED(status) ? "std::regex crashed (signal " + std::to_string(WTERMSIG(status))
                                                + ", stack exhausted by its recursion) on this page"
                                          : std::string("std::regex child failed");
            state.SkipWithError(message.c_str());
            break;
        }
        state.SetIterationTime(result[0]);
        state.counters["list_bytes"] = result[1];
    }
}

BENCHMARK_CAPTURE(BM_RegexMatcher, page_5MB, page5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StdRegex, page_5MB, page5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SubjectConversion, page_5MB, page5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RegexMatcher, page_20MB, page20)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StdRegexInChild, page_20MB, page20)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

// Console output plus the ratios std::regex / RegexMatcher per page.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (!run.error_occurred)
                times_[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        report("5 MB", "BM_RegexMatcher/page_5MB", "BM_StdRegex/page_5MB");
        report("20 MB", "BM_RegexMatcher/page_20MB", "BM_StdRegexInChild/page_20MB/iterations:1/manual_time");
    }

private:
    void report(const char *label, const std::string &ours, const std::string &theirs)
    {
        const auto a = times_.find(ours);
        const auto b = times_.find(theirs);
        if (a == times_.end())
            return;
        if (b == times_.end()) {
            std::printf("ratio std::regex / RegexMatcher, %s page: n/a (std::regex did not finish)\n", label);
            return;
        }
        std::printf("ratio std::regex / RegexMatcher, %s page: %.1f\n", label, b->second / a->second);
    }
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
