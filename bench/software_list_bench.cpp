// Filling the software list from a 5 MB share page with 10,000 entries, step by step and whole:
// UTF-8 to GBK, picking the list out with the regular-expression object, splitting and reading the
// entries with their status, filling the 10,000 rows of the list view, and the whole click handler
// against a local HTTP server on 127.0.0.1 (download included).
#include "app/main_window.h"
#include "app/outside_addresses.h"
#include "online/date_time_text.h"
#include "online/online_handlers.h"
#include "online/software_entry.h"
#include "online/software_list.h"
#include "online/text_replace.h"
#include "platform/text/text.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "../tests/online/local_server.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int kEntries = 10000;

const std::string &listText()
{
    static const std::string list = [] {
        std::string l;
        for (int i = 1; i <= kEntries; ++i)
            l += "软件" + std::to_string(i) + "=" + std::to_string(1000 + i) + "+20" + std::to_string(20 + i % 10) +
                 "-03-01&nbsp;08:00:00|";
        return l;
    }();
    return list;
}

// A GBK page of 5 MB with the list on one line in the middle, and its UTF-8 form as served.
const std::string &pageGbk()
{
    static const std::string page = [] {
        const std::string line = "<div class=\"file-row\"><span>文件名称 share item</span><em>2024-03-01</em></div>\r\n";
        std::string p;
        while (p.size() < (5u << 20) / 2)
            p += line;
        p += "<pre>卡-" + listText() + "-密</pre>\r\n";
        while (p.size() < (5u << 20))
            p += line;
        return p;
    }();
    return page;
}
const std::string &pageUtf8()
{
    static const std::string page = platform::text::gbkToUtf8(pageGbk());
    return page;
}

MainWindow &window()
{
    static MainWindow *w = [] {
        auto *m = new MainWindow;
        AttachOnlineHandlers(*m);
        return m;
    }();
    return *w;
}

void BM_Utf8ToGbk(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Utf8ToGbk(pageUtf8()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * pageUtf8().size()));
}

void BM_PickListText(benchmark::State &state)
{
    bool found = false;
    for (auto _ : state)
        benchmark::DoNotOptimize(PickListText(pageGbk(), found));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * pageGbk().size()));
}

void BM_SplitAndReadEntries(benchmark::State &state)
{
    const double now = CurrentDateTime();
    for (auto _ : state) {
        for (const auto &piece : platform::text::splitText(listText(), "|")) {
            const SoftwareEntry e = ParseSoftwareEntry(piece);
            benchmark::DoNotOptimize(ClassifyEntryTime(e.time, now));
        }
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}

void BM_FillRows(benchmark::State &state)
{
    MainWindow &w = window();
    std::vector<std::vector<std::string>> rows;
    for (int i = 1; i <= kEntries; ++i)
        rows.push_back({std::to_string(i), "软件" + std::to_string(i), std::to_string(i), "2024-03-01 08:00:00", "可以下载"});
    for (auto _ : state) {
        w.软件列表.clear();
        for (const auto &r : rows)
            w.软件列表.addRow(r);
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}

void BM_FetchSoftwareListWhole(benchmark::State &state)
{
    MainWindow &w = window();
    testnet::LocalServer server(
        [](const testnet::RecordedRequest &) { return testnet::Reply{testnet::httpResponse(200, "OK", "", pageUtf8())}; });
    SetAddressForTesting(kSharePageAddress, server.url("/s/list"));
    for (auto _ : state)
        FetchSoftwareList(w);
    state.counters["rows"] = w.软件列表.rowCount();
    SetAddressForTesting(kSharePageAddress, "");
}

BENCHMARK(BM_Utf8ToGbk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PickListText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitAndReadEntries)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FetchSoftwareListWhole)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform::ui::Application application;
    platform::ui::setMessageBoxHandler([](const platform::ui::MessageBoxRequest &) {});
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
