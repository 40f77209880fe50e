// Appending 100,000 log lines from another thread while the window thread runs its event loop, as the
// device thread does. Reports the total time and the time per line of the first and the last 1,000
// lines; their ratio shows whether an append gets dearer as the log grows.
//   log_append_bench [lines]
#include "app/log_pane.h"
#include "app/main_window.h"
#include "platform/ui/application.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

int main(int argc, char **argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
    platform::ui::Application application;
    MainWindow window;
    gMainWindow = &window;
    window.window.show();
    window.高级选择夹1.setCurrentPage(1); // the log pane on screen, as when a device is read

    using Clock = std::chrono::steady_clock;
    std::vector<Clock::time_point> stamps(static_cast<size_t>(lines) + 1);
    std::thread device([&] {
        stamps[0] = Clock::now();
        for (int i = 0; i < lines; ++i) {
            AppendLog(LogSourceTag, "设备连接成功 第" + std::to_string(i) + "行");
            stamps[static_cast<size_t>(i) + 1] = Clock::now();
        }
        QMetaObject::invokeMethod(qApp, [] { platform::ui::Application::quit(0); }, Qt::QueuedConnection);
    });
    application.run();
    device.join();

    const auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
    const int window1000 = std::min(1000, lines);
    const double first = ms(stamps[static_cast<size_t>(window1000)] - stamps[0]) / window1000;
    const double last = ms(stamps[static_cast<size_t>(lines)] - stamps[static_cast<size_t>(lines - window1000)]) / window1000;
    std::printf("lines appended:            %d (log %zu bytes)\n", lines, window.编辑框_log.length());
    std::printf("total:                     %.1f ms\n", ms(stamps.back() - stamps.front()));
    std::printf("per line, first %d:      %.2f us\n", window1000, first * 1000);
    std::printf("per line, last %d:       %.2f us\n", window1000, last * 1000);
    std::printf("ratio last/first:          %.2f\n", last / first);
    gMainWindow = nullptr;
    return 0;
}
