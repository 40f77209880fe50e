// A press on a header icon selects its page of 高级选择夹1; the bare header strip drags the window.
#include "app/navigation.h"

#include "app/main_window.h"

namespace {

void HeaderDragStep(MainWindow &w)
{
    if (w.window.borderStyle() != 0)
        return;
    int x = 0;
    int y = 0;
    ui::cursorPosition(x, y);
    w.window.move(x, y);
}

} // namespace

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
    w.图片框1.onPress([&w] { w.时钟1.setPeriod(1); });
    w.图片框1.onRelease([&w] { w.时钟1.setPeriod(0); });
    w.时钟1.onTick([&w] { HeaderDragStep(w); });
}
