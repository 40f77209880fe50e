// The app download and install helpers of the main window: choosing an IPA (refusing non-ASCII
// names), writing the install manifest, downloading an IPA by number, the app store, the developer's
// page, the shared download and the device help window. Window thread only.
#pragma once

#include <string>

struct MainWindow;

// 按钮23: shows 通用对话框1 and puts its file name into 编辑框9 (after a cancel: the previous choice,
// or empty before the first).
void ChooseIpaFile(MainWindow &w);
// 编辑框9 changed: a text holding any byte 0x80..0xFF (every Chinese character) is refused once with
// the error box "检测到中文字符,请修改文件名" / "此文件不可用" and the box is emptied.
void IpaPathChanged(MainWindow &w);
// 按钮24: writes the install manifest for the text of 编辑框9 (even when empty); nothing is shown.
void PrepareInstallManifest(MainWindow &w);
// 获取数据1: the hidden web-browser box downloads "http://<file host>/apps/<编辑框2>.ipa".
void DownloadIpaByNumber(MainWindow &w);
std::string IpaDownloadAddress(const std::string &number);
// 按钮8: shows the store's address, then opens it in the default browser.
void OpenOnlineStore(MainWindow &w);
// 按钮5: opens the developer's profile page.
void OpenDeveloperPage(MainWindow &w);
// 透明标签19: shows the extraction code, then opens the shared download.
void OpenSharedDownload(MainWindow &w);
// 透明标签14: the device help window, modal.
void OpenDeviceHelp(MainWindow &w);
