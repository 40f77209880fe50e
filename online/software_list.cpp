// Fetching and showing the cloud software list.
#include "online/software_list.h"

#include "app/main_window.h"
#include "app/outside_addresses.h"
#include "online/date_time_text.h"
#include "online/software_entry.h"
#include "online/text_replace.h"
#include "online/web_request.h"
#include "online/whole_file.h"
#include "platform/text/text.h"
#include "platform/ui/message_box.h"

#include <cstdlib>

void SetUpSoftwareListColumns(MainWindow &w)
{
    if (w.软件列表.columnCount() != 0)
        return;
    w.软件列表.addColumn("标号", 50);
    w.软件列表.addColumn("软件名字", 200);
    w.软件列表.addColumn("编号", 70);
    w.软件列表.addColumn("0", 0);
    w.软件列表.addColumn("当前状态", 100);
}

void IncrementCountLabel(platform::ui::Label &label)
{
    const long long value = std::strtoll(label.caption().c_str(), nullptr, 10);
    label.setCaption(std::to_string(value + 1));
}

std::string EntryStatus(MainWindow &w, std::string_view timeText)
{
    EntryStatusResult status = ClassifyEntryTime(timeText, CurrentDateTime());
    switch (status.kind) {
    case EntryStatusKind::Downloadable:
        IncrementCountLabel(w.过期用户统计);
        break;
    case EntryStatusKind::Forbidden:
        IncrementCountLabel(w.永久用户统计);
        break;
    case EntryStatusKind::Remaining:
        IncrementCountLabel(w.普通用户统计);
        break;
    }
    return std::move(status.text);
}

std::string SoftwareListCacheFile() { return DriveRootFolder() + "WebhHostKelmTools.txt"; }

void FetchSoftwareList(MainWindow &w)
{
    SetUpSoftwareListColumns(w);
    w.软件列表.clear();
    for (platform::ui::Label *count : {&w.普通用户统计, &w.永久用户统计, &w.过期用户统计})
        count->setCaption("0");

    const std::string body = WebRequest(AddressOf(kSharePageAddress), 0);
    bool found = false;
    const std::string listText = PickListText(Utf8ToGbk(body), found);
    if (!found) {
        platform::ui::messageBox("云端数据获取失败");
        return;
    }
    WriteWholeFile(SoftwareListCacheFile(), "卡-" + listText + "-密");

    const auto pieces = platform::text::splitText(listText, "|");
    for (size_t i = 0; i < pieces.size(); ++i) {
        const SoftwareEntry entry = ParseSoftwareEntry(pieces[i]);
        const std::string status = entry.hasTime ? EntryStatus(w, entry.time) : std::string();
        w.软件列表.addRow({std::to_string(i + 1), entry.name, entry.number, entry.time, status});
    }
}
