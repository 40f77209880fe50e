// The online services on the main window, against local servers on 127.0.0.1: fetching the software
// list (pages good, bad, huge, cut short), the editing buttons, the IPA box and its manifest, the
// download by number through the hidden web-browser box, the store and help links, and the device
// help window (rendered to PNG).
#include "app/main_window.h"
#include "app/outside_addresses.h"
#include "local_server.h"
#include "online/device_help_window.h"
#include "online/install_manifest.h"
#include "online/online_handlers.h"
#include "online/software_list.h"
#include "online/software_list_editing.h"
#include "platform/datetime/clock.h"
#include "platform/http/http.h"
#include "platform/shell/folders.h"
#include "platform/shell/open.h"
#include "platform/text/text.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/web_browser_box.h"
#include "test_support.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
namespace ui = platform::ui;
using testnet::LocalServer;
using testnet::Reply;

namespace {

std::string readFile(const std::string &gbkPath)
{
    std::ifstream in(platform::text::gbkToUtf8(gbkPath), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

Reply page(const std::string &gbkText, const std::string &type = "text/html; charset=utf-8")
{
    return {testnet::httpResponse(200, "OK", "Content-Type: " + type + "\r\n", platform::text::gbkToUtf8(gbkText))};
}

// A served page stays the same for the whole test; the handler may be replaced before a click.
struct Served {
    std::mutex mutex;
    std::function<Reply(const testnet::RecordedRequest &)> reply;
};

class OnlineWindowTest : public ::testing::Test {
protected:
    OnlineWindowTest()
    {
        platform::datetime::setTestClock([] { return platform::datetime::LocalTime{2024, 3, 13, 12, 0, 0, 3}; });
        platform::http::setClientForTesting(client_.get());
        ui::setClipboardHandler([this](std::string_view text) {
            clipboard_ = std::string(text);
            return true;
        });
        platform::shell::setOpenHandlerForTesting([this](const std::string &target) {
            opened_.push_back(target);
            return true;
        });
        AttachOnlineHandlers(w);
        // The layout creates these hidden and a hidden button takes no click; their handlers are
        // tested all the same.
        for (ui::Control *hidden : std::initializer_list<ui::Control *>{
                 &w.获取数据, &w.修改卡密, &w.添加卡密, &w.搜索卡密, &w.导出卡密, &w.删除过期卡密, &w.按钮5})
            hidden->setVisible(true);
    }
    ~OnlineWindowTest() override
    {
        for (const OutsideAddress *a : {&kSharePageAddress, &kAppStoreHost, &kFileHost, &kIconHost,
                                        &kProfilePageAddress, &kSharedDownloadAddress, &kSharedDownloadCode})
            SetAddressForTesting(*a, "");
        platform::datetime::setTestClock(nullptr);
        platform::http::setClientForTesting(nullptr);
        ui::setClipboardHandler(nullptr);
        platform::shell::setOpenHandlerForTesting(nullptr);
        ui::setFileDialogHandler(nullptr);
        ui::WebBrowserBox::setDownloadPromptHandler(nullptr);
        ui::WebBrowserBox::setStallTimeoutForTesting(std::chrono::seconds(30));
    }

    std::vector<std::string> row(int r) const
    {
        std::vector<std::string> cells;
        for (int c = 0; c < 5; ++c)
            cells.push_back(w.软件列表.cell(r, c));
        return cells;
    }
    std::vector<std::string> counts() const
    {
        return {w.过期用户统计.caption(), w.普通用户统计.caption(), w.永久用户统计.caption()};
    }
    void typeEntry(const std::string &text)
    {
        w.卡密输入框.setCaption(text);
    }

    testsupport::TempHome home;
    testsupport::MessageRecorder messages;
    std::unique_ptr<platform::http::Client> client_ =
        platform::http::makeCurlClient({std::chrono::milliseconds(3000), std::chrono::milliseconds(500)});
    std::string clipboard_;
    std::vector<std::string> opened_;
    MainWindow w;
};

// ---- fetching ------------------------------------------------------------------------------------

TEST_F(OnlineWindowTest, FetchFillsRowsCountsAndCacheOverHttpAndHttps)
{
    const std::string list = "A=1+2024-03-01&nbsp;08:00:00|B=2+2024-08-11 11:59:59|C=3+2024-08-11 12:00:00|"
                             "D|E=5|F=6+t&nbsp;x&nbsp;y|";
    for (const auto mode : {LocalServer::Mode::Http, LocalServer::Mode::Https}) {
        LocalServer server([&](const auto &) { return page("<p>卡-" + list + "-密</p><p>卡-Z=9+t-密</p>"); }, mode);
        SetAddressForTesting(kSharePageAddress, server.url("/s/list?pwd=1"));
        w.获取数据.click();

        EXPECT_TRUE(messages.boxes().empty());
        const std::vector<std::vector<std::string>> expected = {
            {"1", "A", "1", "2024-03-01 08:00:00", "可以下载"},
            {"2", "B", "2", "2024-08-11 11:59:59", "剩余150天23时59分59秒"},
            {"3", "C", "3", "2024-08-11 12:00:00", "禁止下载"},
            {"4", "D", "", "", ""}, // malformed: shown with what it has, no status
            {"5", "E", "5", "", ""},
            {"6", "F", "6", "t x&nbsp;y", "可以下载"},
        };
        ASSERT_EQ(w.软件列表.rowCount(), static_cast<int>(expected.size()));
        for (size_t r = 0; r < expected.size(); ++r)
            EXPECT_EQ(row(static_cast<int>(r)), expected[r]) << r;
        EXPECT_EQ(counts(), (std::vector<std::string>{"2", "1", "1"}));
        EXPECT_EQ(readFile(SoftwareListCacheFile()), "卡-" + list + "-密");
        EXPECT_EQ(SoftwareListCacheFile(), platform::shell::homeFolder() + "/WebhHostKelmTools.txt");

        const auto requests = server.requests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].requestLine, "GET /s/list?pwd=1 HTTP/1.1");
        EXPECT_NE(requests[0].head.find("User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n"),
                  std::string::npos);
    }
    // The columns as the form lays them down.
    EXPECT_EQ(w.软件列表.columnCount(), 5);
}

TEST_F(OnlineWindowTest, FailedFetchShowsMessageAndLeavesEmptyListAndCache)
{
    int closedPort = 0;
    {
        LocalServer gone([](const auto &) { return Reply{}; });
        closedPort = gone.port();
    }
    struct Case {
        const char *what;
        std::function<Reply(const testnet::RecordedRequest &)> reply;
    };
    const Case cases[] = {
        {"no markers", [](const auto &) { return page("<html>nothing here</html>"); }},
        {"markers on two lines", [](const auto &) { return page("卡-A=1+t\n-密"); }},
        {"404", [](const auto &) { return Reply{testnet::httpResponse(404, "Not Found", "", "卡-")}; }},
        {"a GBK page, not UTF-8",
         [](const auto &) { return Reply{testnet::httpResponse(200, "OK", "", "卡-A=1+2030-01-01-密")}; }},
        {"stops mid-body before the end marker",
         [](const auto &) {
             return Reply{"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\nConnection: close\r\n\r\n" +
                          platform::text::gbkToUtf8("卡-A=1+2030-01-01|B=2")};
         }},
        {"goes silent mid-body",
         [](const auto &) {
             return Reply{"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + platform::text::gbkToUtf8("卡-A=1"),
                          std::string::npos - 1};
         }},
        {"nobody listening", nullptr},
    };
    for (const auto &c : cases) {
        home.writeFile("WebhHostKelmTools.txt", "old");
        w.软件列表.addRow({"9", "old"});
        std::unique_ptr<LocalServer> server;
        if (c.reply) {
            server = std::make_unique<LocalServer>(c.reply);
            SetAddressForTesting(kSharePageAddress, server->url("/"));
        } else {
            SetAddressForTesting(kSharePageAddress, "http://127.0.0.1:" + std::to_string(closedPort) + "/");
        }
        testsupport::MessageRecorder recorder;
        w.获取数据.click();
        const auto boxes = recorder.boxes();
        ASSERT_EQ(boxes.size(), 1u) << c.what;
        EXPECT_EQ(boxes[0].text, "云端数据获取失败");
        EXPECT_EQ(boxes[0].title, "信息：");
        EXPECT_EQ(boxes[0].icon, ui::MessageIcon::None);
        EXPECT_EQ(w.软件列表.rowCount(), 0) << c.what;
        EXPECT_EQ(counts(), (std::vector<std::string>{"0", "0", "0"})) << c.what;
        EXPECT_EQ(readFile(SoftwareListCacheFile()), "old") << c.what;
    }
}

TEST_F(OnlineWindowTest, PageCutShortAfterTheListStillFillsIt)
{
    LocalServer server([](const auto &) {
        return Reply{"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\nConnection: close\r\n\r\n" +
                     platform::text::gbkToUtf8("<p>卡-A=1+2030-01-01|B=2+2000-01-01-密</p>")};
    });
    SetAddressForTesting(kSharePageAddress, server.url("/"));
    w.获取数据.click();
    EXPECT_TRUE(messages.boxes().empty());
    EXPECT_EQ(w.软件列表.rowCount(), 2);
    EXPECT_EQ(counts(), (std::vector<std::string>{"1", "0", "1"}));
}

TEST_F(OnlineWindowTest, HundredThousandEntriesInATwentyMegabytePage)
{
    std::string list;
    for (int i = 1; i <= 100000; ++i)
        list += "软件" + std::to_string(i) + "=" + std::to_string(i) + "+20" + std::to_string(10 + i % 30) +
                "-03-01&nbsp;08:00:00|";
    std::string filler;
    while (filler.size() < (20u << 20) - list.size())
        filler += "<div>文件 share item</div>\n";
    const std::string body = platform::text::gbkToUtf8(filler + "卡-" + list + "-密\n");
    LocalServer server([&](const auto &) { return Reply{testnet::httpResponse(200, "OK", "", body)}; });
    SetAddressForTesting(kSharePageAddress, server.url("/"));
    w.获取数据.click();
    ASSERT_EQ(w.软件列表.rowCount(), 100000);
    EXPECT_EQ(row(99999)[1], "软件100000");
    long long total = 0;
    for (const auto &c : counts())
        total += std::stoll(c);
    EXPECT_EQ(total, 100000);
}

// ---- editing -------------------------------------------------------------------------------------

TEST_F(OnlineWindowTest, AddEntryTable)
{
    struct Case {
        const char *input;
        std::vector<std::string> row; // empty: nothing added
    };
    const Case cases[] = {
        {"C=3+2030-01-01 00:00:00|rest", {"1", "C", "3", "2030-01-01 00:00:00", "禁止下载"}},
        {"D=4+2024-03-13 13:00:00", {"2", "D", "4", "2024-03-13 13:00:00", "剩余1时"}},
        {"E=5+x&nbsp;y", {"3", "E", "5", "x&nbsp;y", "可以下载"}},
        {"C=3", {}},
        {"C=3+", {}},
        {"C", {}},
        {"", {}},
    };
    int rows = 0;
    for (const auto &c : cases) {
        typeEntry(c.input);
        w.添加卡密.click();
        if (!c.row.empty())
            ++rows;
        ASSERT_EQ(w.软件列表.rowCount(), rows) << c.input;
        if (!c.row.empty()) {
            EXPECT_EQ(row(rows - 1), c.row) << c.input;
        }
    }
    // Counts start from the layout's "无数据"/"标签" captions, read as 0.
    EXPECT_EQ(counts(), (std::vector<std::string>{"1", "1", "1"}));
}

TEST_F(OnlineWindowTest, ModifySearchPressDeleteAndExport)
{
    for (const char *entry : {"A=1+2024-03-01", "X=2+2024-03-13 13:00:00", "B=3+2000-01-01", "X=4+2000-01-01",
                              "Y=5+2030-01-01"}) {
        typeEntry(entry);
        w.添加卡密.click();
    }
    EXPECT_EQ(counts(), (std::vector<std::string>{"3", "1", "1"}));

    // No selection, or too few pieces: nothing changes.
    typeEntry("N|9|2024-03-01");
    w.修改卡密.click();
    w.软件列表.selectRow(1);
    typeEntry("N|9");
    w.修改卡密.click();
    EXPECT_EQ(row(1), (std::vector<std::string>{"2", "X", "2", "2024-03-13 13:00:00", "剩余1时"}));
    EXPECT_EQ(counts(), (std::vector<std::string>{"3", "1", "1"}));

    // The press copies the row in edit form; modifying with it rewrites the same values and counts again.
    w.软件列表.press(1);
    EXPECT_EQ(w.卡密输入框.caption(), "X|2|2024-03-13 13:00:00");
    w.修改卡密.click();
    EXPECT_EQ(row(1), (std::vector<std::string>{"2", "X", "2", "2024-03-13 13:00:00", "剩余1时"}));
    EXPECT_EQ(counts(), (std::vector<std::string>{"3", "2", "1"}));
    typeEntry("N|9|2024-03-01&nbsp;00:00:00|ignored");
    w.修改卡密.click();
    EXPECT_EQ(row(1), (std::vector<std::string>{"2", "N", "9", "2024-03-01&nbsp;00:00:00", "可以下载"}));

    // Search: every match is visited and the last one is left in caption editing (and selected);
    // no match (the comparison is case-sensitive) changes nothing.
    typeEntry("X");
    w.搜索卡密.click();
    EXPECT_EQ(w.软件列表.selectedRow(), 3);
    EXPECT_EQ(w.软件列表.captionEditRow(), 3);
    typeEntry("x");
    w.搜索卡密.click();
    EXPECT_EQ(w.软件列表.selectedRow(), 3);
    EXPECT_EQ(w.软件列表.captionEditRow(), 3);

    w.导出卡密.click();
    const std::string exported = "卡-A=1+2024-03-01|N=9+2024-03-01&nbsp;00:00:00|B=3+2000-01-01|X=4+2000-01-01|"
                                 "Y=5+2030-01-01|-密";
    EXPECT_EQ(clipboard_, exported);
    EXPECT_EQ(readFile(SoftwareListExportFile()), exported);
    ASSERT_EQ(messages.boxes().size(), 1u);
    EXPECT_EQ(messages.boxes()[0].text, "卡密已复制到剪切板");

    // Every "可以下载" row goes, adjacent ones included.
    w.删除过期卡密.click();
    ASSERT_EQ(w.软件列表.rowCount(), 1);
    EXPECT_EQ(row(0)[1], "Y");

    w.软件列表.clear();
    w.导出卡密.click();
    EXPECT_EQ(clipboard_, "卡--密");
    EXPECT_EQ(readFile(SoftwareListExportFile()), "卡--密");
}

// ---- the IPA box and the manifest ----------------------------------------------------------------

TEST_F(OnlineWindowTest, ChoosingIpaFiles)
{
    std::deque<std::optional<std::string>> answers;
    std::vector<ui::FileDialogRequest> requests;
    ui::setFileDialogHandler([&](const ui::FileDialogRequest &r) {
        requests.push_back(r);
        auto next = answers.front();
        answers.pop_front();
        return next;
    });
    struct Step {
        std::optional<std::string> answer;
        const char *box;
        int errors; // error boxes so far
    };
    const Step steps[] = {
        {std::nullopt, "", 0},                  // cancelled first use: empty
        {"/home/u/app.ipa", "/home/u/app.ipa", 0},
        {std::nullopt, "/home/u/app.ipa", 0},   // cancel puts the previous choice back
        {"/home/u/软件.ipa", "", 1},            // two Chinese characters: one message, box emptied
        {std::nullopt, "", 2},                  // the dialog kept the refused name: refused again
    };
    for (const auto &s : steps) {
        answers.push_back(s.answer);
        w.按钮23.click();
        EXPECT_EQ(w.编辑框9.caption(), s.box);
        EXPECT_EQ(static_cast<int>(messages.boxes().size()), s.errors);
    }
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].filter, "(*.ipa)|*.ipa|");
    EXPECT_EQ(requests[0].kind, ui::FileDialogRequest::Kind::Open);
    const auto box = messages.boxes().at(0);
    EXPECT_EQ(box.text, "检测到中文字符,请修改文件名");
    EXPECT_EQ(box.title, "此文件不可用");
    EXPECT_EQ(box.icon, ui::MessageIcon::Error);

    // Typing is checked as well: any byte above 0x7F.
    w.编辑框9.setCaption("C:\\a\xA9.ipa");
    EXPECT_EQ(w.编辑框9.caption(), "");
    EXPECT_EQ(messages.boxes().size(), 3u);
    EXPECT_EQ(ui::qtNameFilters("(*.ipa)|*.ipa|"), "(*.ipa) (*.ipa)");
}

TEST_F(OnlineWindowTest, PrepareWritesTheManifest)
{
    SetAddressForTesting(kIconHost, "127.0.0.1:1");
    for (const char *path : {"", "https://127.0.0.1/x.ipa"}) {
        w.编辑框9.setCaption(path);
        w.按钮24.click();
        const std::string written = readFile(platform::shell::documentsFolder() + "Kelmplist.plist");
        EXPECT_EQ(written, InstallManifestText(path));
        EXPECT_NE(written.find("\r\n<string><![CDATA[" + std::string(path) + "]]></string>\r\n"), std::string::npos);
    }
    EXPECT_TRUE(messages.boxes().empty());
}

// ---- downloads through the web-browser box --------------------------------------------------------

std::string binaryBody(size_t size)
{
    std::string body(size, '\0');
    for (size_t i = 0; i < size; ++i)
        body[i] = static_cast<char>((i * 131) >> 3);
    return body;
}

TEST_F(OnlineWindowTest, DownloadByNumberSaveOpenAndFailures)
{
    const std::string body = binaryBody(300000);
    LocalServer server([&](const testnet::RecordedRequest &r) {
        if (r.requestLine.rfind("GET /apps/123.ipa ", 0) == 0)
            return Reply{testnet::httpResponse(200, "OK", "Content-Type: application/octet-stream\r\n", body)};
        if (r.requestLine.rfind("GET /apps/cut.ipa ", 0) == 0)
            return Reply{"HTTP/1.1 200 OK\r\nContent-Length: 900000\r\nConnection: close\r\n\r\n" + body};
        if (r.requestLine.rfind("GET /apps/page.ipa ", 0) == 0)
            return Reply{testnet::httpResponse(200, "OK", "Content-Type: text/html\r\n", "<h1>a page</h1>")};
        if (r.requestLine.rfind("GET /apps/slow.ipa ", 0) == 0)
            return Reply{"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: 900000\r\n\r\n" +
                             body,
                         std::string::npos - 1};
        return Reply{testnet::httpResponse(404, "Not Found", "Content-Type: text/html\r\n", "<h1>404</h1>")};
    });
    SetAddressForTesting(kFileHost, "127.0.0.1:" + std::to_string(server.port()));
    ui::WebBrowserBox &box = w.超文本浏览框1;
    EXPECT_FALSE(box.isVisible());

    ui::WebBrowserBox::DownloadChoice choice = ui::WebBrowserBox::DownloadChoice::Save;
    std::vector<std::string> offered;
    ui::WebBrowserBox::setDownloadPromptHandler([&](const std::string &name) {
        offered.push_back(name);
        return choice;
    });
    std::vector<ui::FileDialogRequest> saveRequests;
    const std::string savedPath = home.path() + "/Downloads/saved.ipa";
    ui::setFileDialogHandler([&](const ui::FileDialogRequest &r) -> std::optional<std::string> {
        saveRequests.push_back(r);
        return savedPath;
    });
    const auto finish = [&] {
        return testsupport::waitUntil([&] {
            return box.state() != ui::WebBrowserBox::State::Connecting &&
                   box.state() != ui::WebBrowserBox::State::Downloading;
        });
    };

    // Save: the dialog suggests the downloads folder; the file arrives whole.
    w.编辑框2.setCaption("123");
    w.获取数据1.click();
    EXPECT_EQ(box.address(), "http://127.0.0.1:" + std::to_string(server.port()) + "/apps/123.ipa");
    ASSERT_TRUE(finish());
    ASSERT_EQ(box.state(), ui::WebBrowserBox::State::Finished) << box.message();
    EXPECT_EQ(offered, std::vector<std::string>{"123.ipa"});
    ASSERT_EQ(saveRequests.size(), 1u);
    EXPECT_EQ(saveRequests[0].kind, ui::FileDialogRequest::Kind::Save);
    EXPECT_EQ(saveRequests[0].initialPath, ui::downloadsFolder() + "/123.ipa");
    EXPECT_EQ(box.downloadedFile(), savedPath);
    EXPECT_EQ(readFile(savedPath), body);
    EXPECT_TRUE(opened_.empty());

    // Open: downloaded, then handed to the desktop.
    choice = ui::WebBrowserBox::DownloadChoice::Open;
    w.获取数据1.click();
    ASSERT_TRUE(finish());
    ASSERT_EQ(box.state(), ui::WebBrowserBox::State::Finished) << box.message();
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0], box.downloadedFile());
    EXPECT_EQ(readFile(opened_[0]), body);

    // Declining the prompt downloads nothing.
    choice = ui::WebBrowserBox::DownloadChoice::Cancel;
    w.获取数据1.click();
    ASSERT_TRUE(finish());
    EXPECT_EQ(box.state(), ui::WebBrowserBox::State::Cancelled);

    // A page is not a download: no prompt, nothing written.
    offered.clear();
    w.编辑框2.setCaption("page");
    w.获取数据1.click();
    ASSERT_TRUE(finish());
    EXPECT_EQ(box.state(), ui::WebBrowserBox::State::PageShown);
    EXPECT_TRUE(offered.empty());

    // Failures end in the box's own message, never in a program message box.
    choice = ui::WebBrowserBox::DownloadChoice::Save;
    ui::WebBrowserBox::setStallTimeoutForTesting(std::chrono::milliseconds(500));
    fs::remove(savedPath);
    struct Failure {
        const char *number;
        const char *says;
    };
    const Failure failures[] = {{"404", "404"}, {"cut", "下载"}, {"slow", "超时"}, {"", "404"}};
    for (const auto &f : failures) {
        w.编辑框2.setCaption(f.number);
        w.获取数据1.click();
        ASSERT_TRUE(finish()) << f.number;
        EXPECT_EQ(box.state(), ui::WebBrowserBox::State::Failed) << f.number;
        EXPECT_NE(box.message().find(f.says), std::string::npos) << f.number << ": " << box.message();
        ASSERT_NE(box.downloadWindow(), nullptr);
        EXPECT_TRUE(box.downloadWindow()->isVisible());
        EXPECT_FALSE(fs::exists(savedPath)) << f.number;
        EXPECT_FALSE(fs::exists(savedPath + ".part")) << f.number;
    }
    EXPECT_EQ(server.requests().back().requestLine.substr(0, 19), "GET /apps/.ipa HTTP");
    box.downloadWindow()->grab().save(QString::fromStdString(testsupport::screenshotFolder() + "/download_failed.png"));

    // The cancel button of a running download removes the partial file.
    w.编辑框2.setCaption("slow");
    ui::WebBrowserBox::setStallTimeoutForTesting(std::chrono::seconds(30));
    w.获取数据1.click();
    ASSERT_TRUE(testsupport::waitUntil([&] { return box.progressPercent() > 0; }))
        << static_cast<int>(box.state()) << " " << box.progressPercent() << " " << box.message();
    EXPECT_TRUE(fs::exists(savedPath + ".part"));
    box.cancelDownload();
    EXPECT_EQ(box.state(), ui::WebBrowserBox::State::Cancelled);
    EXPECT_FALSE(fs::exists(savedPath + ".part"));
    EXPECT_FALSE(fs::exists(savedPath));

    // Nobody listening.
    {
        int closedPort = 0;
        {
            LocalServer gone([](const auto &) { return Reply{}; });
            closedPort = gone.port();
        }
        box.navigate("http://127.0.0.1:" + std::to_string(closedPort) + "/apps/1.ipa");
        ASSERT_TRUE(finish());
        EXPECT_EQ(box.state(), ui::WebBrowserBox::State::Failed);
        EXPECT_NE(box.message().find("无法连接"), std::string::npos) << box.message();
    }
    EXPECT_TRUE(messages.boxes().empty());
}

// ---- links and the help window -------------------------------------------------------------------

TEST_F(OnlineWindowTest, StoreProfileAndSharedDownloadLinks)
{
    SetAddressForTesting(kAppStoreHost, "127.0.0.1:9");
    SetAddressForTesting(kProfilePageAddress, "http://127.0.0.1:9/space");
    SetAddressForTesting(kSharedDownloadAddress, "http://127.0.0.1:9/share");
    SetAddressForTesting(kSharedDownloadCode, "4321");
    w.按钮8.click();
    w.按钮5.click();
    w.透明标签19.press();
    EXPECT_EQ(opened_, (std::vector<std::string>{"https://127.0.0.1:9", "http://127.0.0.1:9/space",
                                                  "http://127.0.0.1:9/share"}));
    const auto boxes = messages.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "网址：https://127.0.0.1:9/\r\n（此网址可以给iOS设备在线安装软件）");
    EXPECT_EQ(boxes[0].title, "在线软件商店");
    EXPECT_EQ(boxes[0].icon, ui::MessageIcon::None);
    EXPECT_EQ(boxes[1].text, "提取码：4321");
    EXPECT_EQ(boxes[1].title, "提取码");
    EXPECT_EQ(boxes[1].icon, ui::MessageIcon::Information);
}

TEST_F(OnlineWindowTest, HelpLabelOpensTheHelpWindowModally)
{
    bool sawWindow = false;
    QTimer::singleShot(0, [&] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QStringLiteral("DeviceHelpWindow") && top->isVisible()) {
                sawWindow = true;
                top->close();
            }
        }
    });
    w.透明标签14.press(); // returns only once the help window has closed
    EXPECT_TRUE(sawWindow);
}

TEST_F(OnlineWindowTest, HelpWindowPagesRenderAndDownloadStarts)
{
    LocalServer server([](const auto &) { return Reply{testnet::httpResponse(200, "OK", "", "MZ")}; },
                       LocalServer::Mode::Https);
    SetAddressForTesting(kFileHost, "127.0.0.1:" + std::to_string(server.port()));
    DeviceHelpWindow help;
    EXPECT_EQ(help.window.width(), 452);
    EXPECT_EQ(help.window.height(), 218);
    EXPECT_EQ(help.window.caption(), "连接设备帮助");
    EXPECT_EQ(help.选择夹1.currentPage(), 0);
    EXPECT_TRUE(help.图片框1.hasPicture());
    EXPECT_TRUE(help.图片框2.hasPicture());
    EXPECT_FALSE(help.超文本浏览框1.isVisible());
    help.window.show();
    ASSERT_TRUE(testsupport::renderToPng(help.window, testsupport::screenshotFolder() + "/device_help_page0.png"));
    help.选择夹1.setCurrentPage(1);
    ASSERT_TRUE(testsupport::renderToPng(help.window, testsupport::screenshotFolder() + "/device_help_page1.png"));

    help.按钮1.click();
    EXPECT_EQ(help.超文本浏览框1.address(),
              "https://127.0.0.1:" + std::to_string(server.port()) + "/soft/iTunes12.10.10.2.exe");
    // The local server's certificate is self-signed: the box refuses it and says so in its message.
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return help.超文本浏览框1.state() != ui::WebBrowserBox::State::Connecting; }));
    EXPECT_EQ(help.超文本浏览框1.state(), ui::WebBrowserBox::State::Failed);
    EXPECT_NE(help.超文本浏览框1.message().find("证书"), std::string::npos) << help.超文本浏览框1.message();
    EXPECT_TRUE(messages.boxes().empty());
    help.window.close();
}

} // namespace
