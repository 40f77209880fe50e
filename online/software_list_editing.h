// Editing the software list in place: the buttons 修改卡密, 添加卡密, 搜索卡密, 导出卡密, 删除过期卡密
// and the press on the list, all through the edit box 卡密输入框. Edits change only the list view and
// the count labels (a new or changed entry raises the count of its status; no count is lowered).
// Window thread only.
#pragma once

#include <string>

struct MainWindow;

// 修改卡密: the selected row takes name "|" number "|" time from the edit box (time unchanged) and
// its new status. Fewer than three pieces, or no selected row: nothing changes.
void ModifySoftwareEntry(MainWindow &w);
// 添加卡密: appends the entry name "=" number "+" time ["|" anything] of the edit box as row
// (row count + 1). Without "=" or without "+" after it: nothing changes.
void AddSoftwareEntry(MainWindow &w);
// 搜索卡密: begins in-place editing of the caption of every row whose name equals the edit box's text
// exactly, in order, so the last match is the one left in editing (and selected). No match: nothing.
void SearchSoftwareEntry(MainWindow &w);
// 导出卡密: "卡-" + name=number+time| of every row + "-密" to the clipboard and to the export file,
// then the message "卡密已复制到剪切板". A failed file write is ignored.
void ExportSoftwareEntries(MainWindow &w);
// 删除过期卡密: removes every row whose status is "可以下载", the entries 过期用户统计 counts as
// expired (the status rule never writes any other "expired" text). Shows nothing.
void DeleteExpiredSoftwareEntries(MainWindow &w);
// Press on 软件列表: the edit box takes name "|" number "|" time of the selected row (none: nothing).
void SoftwareListPressed(MainWindow &w);

// The export file (GBK path): 卡密信息备份.txt in the home folder.
std::string SoftwareListExportFile();
