// The software list's editing handlers.
#include "online/software_list_editing.h"

#include "app/main_window.h"
#include "online/software_entry.h"
#include "online/software_list.h"
#include "online/whole_file.h"
#include "platform/text/text.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/message_box.h"

using platform::text::splitText;

void ModifySoftwareEntry(MainWindow &w)
{
    const int row = w.软件列表.selectedRow();
    const auto pieces = splitText(w.卡密输入框.caption(), "|");
    if (row < 0 || pieces.size() < 3)
        return;
    w.软件列表.setCell(row, 1, pieces[0]);
    w.软件列表.setCell(row, 2, pieces[1]);
    w.软件列表.setCell(row, 3, pieces[2]);
    w.软件列表.setCell(row, 4, EntryStatus(w, pieces[2]));
}

void AddSoftwareEntry(MainWindow &w)
{
    const auto parts = splitText(w.卡密输入框.caption(), "=");
    if (parts.size() < 2)
        return;
    const auto numberAndRest = splitText(parts[1], "+");
    if (numberAndRest.size() < 2)
        return;
    const auto timeAndRest = splitText(numberAndRest[1], "|");
    const std::string time = timeAndRest.empty() ? std::string() : timeAndRest[0];
    const std::string caption = std::to_string(w.软件列表.rowCount() + 1);
    const std::string status = EntryStatus(w, time);
    w.软件列表.addRow({caption, parts[0], numberAndRest[0], time, status});
}

void SearchSoftwareEntry(MainWindow &w)
{
    const std::string wanted = w.卡密输入框.caption();
    for (int row = 0; row < w.软件列表.rowCount(); ++row)
        if (w.软件列表.cell(row, 1) == wanted)
            w.软件列表.beginCaptionEdit(row);
}

std::string SoftwareListExportFile() { return DriveRootFolder() + "卡密信息备份.txt"; }

void ExportSoftwareEntries(MainWindow &w)
{
    std::string text = "卡-";
    for (int row = 0; row < w.软件列表.rowCount(); ++row)
        text += w.软件列表.cell(row, 1) + "=" + w.软件列表.cell(row, 2) + "+" + w.软件列表.cell(row, 3) + "|";
    text += "-密";
    platform::ui::setClipboardText(text);
    WriteWholeFile(SoftwareListExportFile(), text);
    platform::ui::messageBox("卡密已复制到剪切板");
}

void DeleteExpiredSoftwareEntries(MainWindow &w)
{
    for (int row = w.软件列表.rowCount() - 1; row >= 0; --row)
        if (w.软件列表.cell(row, 4) == kStatusDownloadable)
            w.软件列表.removeRow(row);
}

void SoftwareListPressed(MainWindow &w)
{
    const int row = w.软件列表.selectedRow();
    if (row < 0)
        return;
    w.卡密输入框.setCaption(w.软件列表.cell(row, 1) + "|" + w.软件列表.cell(row, 2) + "|" + w.软件列表.cell(row, 3));
}
