// The device page's two list buttons and the refresh after a started session.
#include "deviceinfo/device_info_handlers.h"

#include "app/main_window.h"
#include "device/connection_lifecycle.h"
#include "deviceinfo/info_refresh.h"

namespace {

void OnRefreshClicked() { RefreshDeviceInfo(); }

void OnEmptyClicked()
{
    if (gMainWindow)
        gMainWindow->超级列表框1.clear();
}

} // namespace

void AttachDeviceInfoHandlers(MainWindow &window)
{
    window.按钮27.onClick(OnRefreshClicked);
    window.按钮26.onClick(OnEmptyClicked);
    SetSessionStartedHandler(RefreshDeviceInfo);
}
