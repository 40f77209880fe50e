// One full device-information refresh (62 reads, name tables, 26 rows, gauges, connection record) on
// the virtual iPhone, clicked on 按钮27 in the started program window, median of 20; against
// `ideviceinfo` reading every value of the same virtual iPhone in the same run (median of 20).
// Lives beside the program (build/<preset>/bin), so it finds the device libraries as the program does.
#include "program_bench_support.h"

using namespace bench;

int main()
{
    kelm::test::VirtualIphone phone;
    MainWindow *w = startProgram(phone, "kelm-info-bench-home");
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

    const double peer = peerMedian(udid, 20);
    if (peer < 0)
        return 4;
    std::printf("full information refresh (median of 20):  %.2f ms\n", median(refreshes));
    std::printf("ideviceinfo, all values (median of 20):   %.2f ms\n", peer);
    std::printf("ratio refresh / ideviceinfo:              %.2f (goal <= 1.5)\n", median(refreshes) / peer);
    finish(phone);
}
