// One full device-information refresh (62 reads, name tables, 26 rows, gauges, connection record) on
// the virtual iPhone, clicked on 按钮27 in the started program window, median of 20; against
// `ideviceinfo` reading every value of the same virtual iPhone in the same run (median of 20).
// Lives beside the program (build/<preset>/bin), so it finds the device libraries as the program does.
#include "app/main_window.h"
#include "app/settings.h"
#include "app/startup.h"
#include "device/device_context.h"
#include "platform/ui/application.h"
#include "virtual_iphone_fixture.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

bool waitForLog(const MainWindow &w, const char *text)
{
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (w.编辑框_log.caption().find(text) == std::string::npos) {
        if (Clock::now() > deadline)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

} // namespace

int main()
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string home = (std::filesystem::temp_directory_path() / "kelm-info-bench-home").string();
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(home);
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    ::setenv("KELM_REGISTRY_FILE", (home + "/none.reg").c_str(), 1);
    WriteSetting(kFirstOpenSection, kFirstOpenKey, "1"); // records kept (switch 0)

    kelm::test::VirtualIphone phone;
    if (phone.start().empty()) {
        std::fprintf(stderr, "virtual iPhone: %s\n", phone.lastError().c_str());
        return 1;
    }
    phone.exportAddress();
    CreateDeviceContext();
    platform::ui::Application application;
    MainWindow *w = CreateMainWindow();
    if (!w)
        return 1;
    const std::string udid = phone.plug("iphone.json");
    if (!waitForLog(*w, "已成功获取"))
        return 2;

    std::vector<double> refreshes;
    for (int i = 0; i < 20; ++i) {
        w->超级列表框1.clear();
        const auto t0 = Clock::now();
        w->按钮27.click(); // the refresh on the window thread, as the user's click runs it
        refreshes.push_back(ms(Clock::now() - t0));
        if (w->超级列表框1.rowCount() != 26)
            return 3;
    }

    std::vector<double> peer;
    const std::string command = "ideviceinfo -u " + udid + " > /dev/null 2>&1";
    for (int i = 0; i < 20; ++i) {
        const auto t0 = Clock::now();
        if (std::system(command.c_str()) != 0)
            return 4;
        peer.push_back(ms(Clock::now() - t0));
    }

    std::printf("full information refresh (median of 20):  %.2f ms\n", median(refreshes));
    std::printf("ideviceinfo, all values (median of 20):   %.2f ms\n", median(peer));
    std::printf("ratio refresh / ideviceinfo:              %.2f (goal <= 1.5)\n", median(refreshes) / median(peer));
    phone.stop();
    std::fflush(stdout);
    std::_Exit(0); // the device thread stays in the library's run loop
}
