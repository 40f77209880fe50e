// A press on a header icon selects its page of 高级选择夹1.
#include "app/navigation.h"

#include "app/main_window.h"

void AttachNavigationHandlers(MainWindow &w)
{
    const struct {
        ui::PictureBox &icon;
        int page;
    } icons[] = {{w.主页, 0}, {w.手机, 1}, {w.软件, 2}, {w.登入, 3}};
    for (const auto &entry : icons) {
        const int page = entry.page;
        entry.icon.onPress([&w, page] { w.高级选择夹1.setCurrentPage(page); });
    }
}
