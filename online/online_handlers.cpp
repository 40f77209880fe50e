// One place that wires the online services to the main window.
#include "online/online_handlers.h"

#include "app/main_window.h"
#include "online/install_helpers.h"
#include "online/software_list.h"
#include "online/software_list_editing.h"

void AttachOnlineHandlers(MainWindow &w)
{
    SetUpSoftwareListColumns(w);
    w.获取数据.onClick([&w] { FetchSoftwareList(w); });
    w.修改卡密.onClick([&w] { ModifySoftwareEntry(w); });
    w.添加卡密.onClick([&w] { AddSoftwareEntry(w); });
    w.搜索卡密.onClick([&w] { SearchSoftwareEntry(w); });
    w.导出卡密.onClick([&w] { ExportSoftwareEntries(w); });
    w.删除过期卡密.onClick([&w] { DeleteExpiredSoftwareEntries(w); });
    w.软件列表.onPress([&w] { SoftwareListPressed(w); });

    w.按钮23.onClick([&w] { ChooseIpaFile(w); });
    w.编辑框9.onChange([&w] { IpaPathChanged(w); });
    w.按钮24.onClick([&w] { PrepareInstallManifest(w); });
    w.获取数据1.onClick([&w] { DownloadIpaByNumber(w); });
    w.按钮8.onClick([&w] { OpenOnlineStore(w); });
    w.按钮5.onClick([&w] { OpenDeveloperPage(w); });
    w.透明标签19.onPress([&w] { OpenSharedDownload(w); });
    w.透明标签14.onPress([&w] { OpenDeviceHelp(w); });
}
