// The tester window.
#include "app/tester_window.h"

#include "app/main_window.h"
#include "app/outside_addresses.h"
#include "platform/datetime/clock.h"
#include "platform/ui/message_box.h"
#include "resources/pictures.h"

#include <string>

TesterWindow::TesterWindow()
{
    按钮1.onClick([this] {
        ui::endProgram(0);
        window.close(); // reached only under a test's end-program handler
    });
    window.onCloseRequest([] { ui::endProgram(0); });
}

std::unique_ptr<TesterWindow> OpenTesterWindow(MainWindow &main)
{
    ui::messageBox(std::string("此功能为测试功能,遇到Bug请反馈至QQ:") + kContactNumber, ui::MessageIcon::Information,
                   "提示");
    main.window.setVisible(false);
    auto tester = std::make_unique<TesterWindow>();
    const platform::datetime::LocalTime now = platform::datetime::now();
    tester->标签1.setCaption(std::to_string(now.hour) + ":" + std::to_string(now.minute));
    tester->图片框1.setPicture(resources::picture(resources::Picture::DeviceIcon));
    return tester;
}

void RunTesterWindow(MainWindow &main)
{
    const std::unique_ptr<TesterWindow> tester = OpenTesterWindow(main);
    tester->window.showModal();
}
