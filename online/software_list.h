// The cloud software list on the main window: fetching the share page into the list view 软件列表,
// the status of each entry with its three count labels, and the cache file.
// Window thread only (the handlers touch controls).
#pragma once

#include <string>
#include <string_view>

struct MainWindow;
namespace platform::ui {
class Label;
}

// Gives 软件列表 its five columns: 标号 50, 软件名字 200, 编号 70, "0" 0 (the time, hidden), 当前状态 100.
void SetUpSoftwareListColumns(MainWindow &w);

// Adds one to the decimal count a label shows (a caption that is no number counts as 0).
void IncrementCountLabel(platform::ui::Label &label);

// The status text of an entry time at the current local time; raises exactly one count label:
// 过期用户统计 for "可以下载", 永久用户统计 for "禁止下载", 普通用户统计 for "剩余…".
std::string EntryStatus(MainWindow &w, std::string_view timeText);

// The cache file (GBK path): WebhHostKelmTools.txt in the home folder.
std::string SoftwareListCacheFile();

// Click of 获取数据: empties the list and sets the counts to "0", downloads the share page (the
// window waits, at most the request's time-outs), picks the list text, writes "卡-" list "-密" to the
// cache file (a failed write is ignored) and adds one row per "|"-separated entry. A page without
// the list text (no network, an error page...) shows "云端数据获取失败" and leaves the list empty and
// the cache file untouched. A malformed entry gets a row with the fields it has and no status.
void FetchSoftwareList(MainWindow &w);
