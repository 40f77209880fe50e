// Shared by the benchmarks that run the started program on the virtual iPhone: timing helpers, the
// program started in a scratch home, and the peer (`ideviceinfo`) timed on the same device.
#pragma once

#include "app/main_window.h"
#include "app/settings.h"
#include "app/startup.h"
#include "device/device_context.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "virtual_iphone_fixture.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

inline double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Handles events until the log pane holds `text` (false after 20 s).
inline bool waitForLog(const MainWindow &w, const char *text)
{
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (w.编辑框_log.caption().find(text) == std::string::npos) {
        if (Clock::now() > deadline)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

// Starts the virtual iPhone (no device plugged) and the program's main window in a scratch home where
// the first run is done; nullptr (with the reason on stderr) when either does not start.
inline MainWindow *startProgram(kelm::test::VirtualIphone &phone, const char *homeName)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string home = (std::filesystem::temp_directory_path() / homeName).string();
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(home);
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    ::setenv("KELM_REGISTRY_FILE", (home + "/none.reg").c_str(), 1);
    WriteSetting(kFirstOpenSection, kFirstOpenKey, "1");
    if (phone.start().empty()) {
        std::fprintf(stderr, "virtual iPhone: %s\n", phone.lastError().c_str());
        return nullptr;
    }
    phone.exportAddress();
    // No one answers boxes in a benchmark (a refresh cut short by an unplug warns in one).
    platform::ui::setMessageBoxHandler([](const platform::ui::MessageBoxRequest &) {});
    CreateDeviceContext();
    static auto *application = new platform::ui::Application; // lives as long as the device thread
    (void)application;
    return CreateMainWindow();
}

// `ideviceinfo` reading every value of the device, median of `runs` (negative when it fails).
inline double peerMedian(const std::string &udid, int runs)
{
    std::vector<double> times;
    const std::string command = "ideviceinfo -u " + udid + " > /dev/null 2>&1";
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        if (std::system(command.c_str()) != 0)
            return -1;
        times.push_back(ms(Clock::now() - t0));
    }
    return median(times);
}

// Ends the benchmark at once: the device thread stays in the library's run loop.
[[noreturn]] inline void finish(kelm::test::VirtualIphone &phone)
{
    phone.stop();
    std::fflush(stdout);
    std::_Exit(0);
}

} // namespace bench
