// Copying the serial number, IMEI or IMSI shown on the basic-information page to the clipboard.
#pragma once

struct MainWindow;

// 按钮7 "复制所选项": the text of the box whose radio button is selected (单选框2 → 编辑框3,
// 单选框3 → 编辑框4, 单选框4 → 编辑框5, first selected in that order; none selected: nothing) goes to
// the clipboard, then "复制成功" says so, also when the clipboard could not take it. Window thread.
void CopySelectedIdentifier(MainWindow &window);
