// The device-information refresh end to end: the main window started as the program starts it, our
// device libraries from the build and the virtual iPhone behind a private usbmuxd socket. An arrival
// ends in 26 rows, a record in the record file, the outcome line or warning, the gauges and the
// identifier boxes; clicks on 按钮27 add blocks of 26 rows and records without ever overlapping a
// refresh of the device thread; hostile devices show what can be shown.
#include "app/main_window.h"
#include "app/settings.h"
#include "app/startup.h"
#include "device/device_context.h"
#include "deviceinfo/connection_record.h"
#include "deviceinfo/value_text.h"
#include "platform/datetime/clock.h"
#include "platform/ini/ini.h"
#include "platform/shell/folders.h"
#include "platform/text/text.h"
#include "program_test_support.h"
#include "test_support.h"
#include "virtual_iphone_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> rows(const MainWindow &w)
{
    std::vector<std::string> out;
    for (int i = 0; i < w.超级列表框1.rowCount(); ++i)
        out.push_back(w.超级列表框1.cell(i, 0));
    return out;
}

std::vector<std::string> fileLines(const std::string &gbkPath)
{
    std::ifstream in(platform::text::gbkToUtf8(gbkPath), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    const std::string text = s.str();
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(text.substr(start, at - start));
    EXPECT_EQ(start, text.size()) << "every line of the record file ends in CR LF";
    return lines;
}

std::vector<std::string> recordSections()
{
    std::vector<std::string> out;
    for (const std::string &line : fileLines(ConnectionRecordPath()))
        if (line.rfind("[", 0) == 0)
            out.push_back(line);
    return out;
}

// The GetValue requests of the device's lockdown log.
std::vector<std::string> valueRequests(kelm::test::VirtualIphone &phone, const std::string &udid)
{
    std::vector<std::string> out;
    for (const std::string &r : phone.requests(udid))
        if (r.rfind("GetValue", 0) == 0)
            out.push_back(r);
    return out;
}

// A shipped profile with members replaced (a JSON text edited as text: `"Key": {...}` lines). The
// profiles are UTF-8: `from` is GBK like every literal here, `to` is UTF-8.
std::string editedProfile(const std::string &name, const std::vector<std::pair<std::string, std::string>> &edits)
{
    std::ifstream in(kelm::test::VirtualIphone::profilePath(name), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    std::string text = s.str();
    for (const auto &[from, to] : edits) {
        const std::string utf8From = platform::text::gbkToUtf8(from);
        const size_t at = text.find(utf8From);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos)
            text.replace(at, utf8From.size(), to);
    }
    return text;
}

class DeviceInfoEndToEndTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        phone = new kelm::test::VirtualIphone;
        ASSERT_FALSE(phone->start().empty()) << phone->lastError();
        phone->exportAddress();
        home = new testsupport::TempHome;
        messages = new testsupport::MessageRecorder;
        testsupport::registerDeviceLibraries(*home, KELM_TEST_BIN_DIR);
        // Not a first start, and connection records kept.
        const std::string settings = platform::shell::documentsFolder() + "Kelm助手_用户配置.ini";
        platform::ini::writeString(settings, "初次打开", "是否", "1");
        platform::ini::writeString(settings, "保存连接记录", "开关", "0");
        // Each clock reading one second later, so that every record gets a section of its own.
        platform::datetime::setTestClock([] {
            static std::atomic<int> tick{0};
            const int t = tick++;
            return platform::datetime::LocalTime{2030, 1, 2 + t / 86400, (t / 3600) % 24, (t / 60) % 60, t % 60};
        });
        CreateDeviceContext();
        window = CreateMainWindow();
        ASSERT_NE(window, nullptr);
        window->高级选择夹1.setCurrentPage(1);
        ASSERT_EQ(SaveRecordsSwitch.load(), 0);
    }
    static void TearDownTestSuite()
    {
        // The device thread lives on inside the library's run loop; the window and context stay with it.
        phone->stop();
    }

    // Empties what a refresh fills, so that the next one can be waited for.
    void resetWindow()
    {
        window->编辑框_log.setCaption("");
        window->编辑框3.setCaption("");
        window->超级列表框1.clear();
    }

    // Plugs a profile and waits until its refresh has finished (its last step fills 编辑框3).
    std::string plugAndWaitForRefresh(const std::string &profile, const std::string &serial = "F2LZK0XHN72J")
    {
        resetWindow();
        const std::string udid = phone->plug(profile);
        EXPECT_FALSE(udid.empty()) << phone->lastError();
        EXPECT_TRUE(testsupport::waitUntil(
            [&] { return window->超级列表框1.rowCount() >= 26 && window->编辑框3.caption() == serial; },
            std::chrono::seconds(30)))
            << testing::PrintToString(testsupport::logMessages(*window));
        testsupport::processEvents(std::chrono::milliseconds(50));
        return udid;
    }

    void unplugAndWait(const std::string &udid)
    {
        EXPECT_TRUE(phone->unplug(udid));
        EXPECT_TRUE(testsupport::waitUntil([&] { return window->超级列表框1.rowCount() == 0; }))
            << "a departure empties the list";
    }

    static kelm::test::VirtualIphone *phone;
    static testsupport::TempHome *home;
    static testsupport::MessageRecorder *messages;
    static MainWindow *window;
};

kelm::test::VirtualIphone *DeviceInfoEndToEndTest::phone = nullptr;
testsupport::TempHome *DeviceInfoEndToEndTest::home = nullptr;
testsupport::MessageRecorder *DeviceInfoEndToEndTest::messages = nullptr;
MainWindow *DeviceInfoEndToEndTest::window = nullptr;

const std::vector<std::string> kConnectionLines = {"设备连接成功", "设备配对成功", "创建连接成功"};

TEST_F(DeviceInfoEndToEndTest, AnIphoneArrivesWithRowsGaugesRecordAndSuccessLine)
{
    const size_t sectionsBefore = recordSections().size();
    const std::string udid = plugAndWaitForRefresh("iphone.json");
    const std::vector<std::string> expected = {
        "设备名称:小明的iPhone",
        "设备类型:iPhone 11(iPhone12,1) ",
        "设备总存储:63G(可用:22G)",
        "设备颜色:白色",
        "系统版本:14.2(18B92) ",
        "密码保护:开启",
        "激活状态:已激活(正版激活)",
        "销售型号:MWLT2(CH/A)",
        "当前电量:87%(正在充电)",
        "序列号:F2LZK0XHN72J",
        "电话号:+86 138 0013 8000",
        "IMEI:356789101234563|356789101234571",
        "IMSI:460011234567890",
        "UDID:00008030-001A2B3C4D5E6F70",
        "WIFI地址:A4:83:E7:12:34:56",
        "蓝牙地址:A4:83:E7:12:34:57",
        "CPU架构:arm64e",
        "基带ID:3554301762(2.02.04)",
        "主板序列号:F3X9223016PL9NJA4",
        "集成电路序列号:89860117851014783411",
        "硬件模型:N104AP",
        "连接电脑:已连接(设备已信任)",
        "硬盘可用容量:22.15G",
    };
    const std::vector<std::string> shown = rows(*window);
    ASSERT_EQ(shown.size(), 26u);
    EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.begin() + 23), expected);
    // The keys are PEM texts: "-----BEGIN " in hexadecimal.
    EXPECT_EQ(shown[23].rfind("激活公钥:2D2D2D2D2D424547494E20", 0), 0u);
    EXPECT_EQ(shown[24].rfind("设备证书:2D2D2D2D2D424547494E20", 0), 0u);
    EXPECT_EQ(shown[25].rfind("设备公钥:2D2D2D2D2D424547494E20", 0), 0u);

    std::vector<std::string> lines = kConnectionLines;
    lines.push_back("已成功获取【iPhone 11】的信息");
    EXPECT_EQ(testsupport::logMessages(*window), lines);

    EXPECT_EQ(window->透明标签13.caption(), "63G");
    EXPECT_EQ(window->透明标签9.caption(), "41G");
    EXPECT_EQ(window->透明标签28.caption(), "22G");
    EXPECT_EQ(window->进度条1.position(), 87);
    EXPECT_EQ(window->透明标签4.caption(), "87%");
    EXPECT_EQ(window->进度条2.maximum(), 63);
    EXPECT_EQ(window->进度条2.position(), 41);
    EXPECT_EQ(window->编辑框4.caption(), "356789101234563");
    EXPECT_EQ(window->编辑框5.caption(), "460011234567890");
    EXPECT_FALSE(window->标签4.isVisible());

    const DeviceInfoRecord &info = *gDeviceContext->info;
    EXPECT_EQ(info.SupportedDeviceFamilies, "") << "an array gives an empty text";
    EXPECT_EQ(info.TotalSystemAvailable, 0) << "a 64-bit number for a 32-bit key";
    EXPECT_EQ(info.TimeZoneOffsetFromUTC, 28800.0);
    EXPECT_EQ(info.DieID, 1234567890123456789);
    EXPECT_EQ(info.Keyboard, "zh_Hans-Pinyin@sw=Pinyin;hw=Automatic");
    EXPECT_EQ(info.ChinaBrick, 1);
    EXPECT_EQ(HexText(info.BasebandSerialNumber), "1A2B3C4D");

    // 62 reads, in table order, the default domain without a Domain.
    const auto reads = valueRequests(*phone, udid);
    ASSERT_EQ(reads.size(), 62u);
    EXPECT_EQ(reads.front(), "GetValue Key=DeviceName");
    EXPECT_EQ(reads[51], "GetValue Domain=com.apple.mobile.battery Key=BatteryCurrentCapacity");
    EXPECT_EQ(reads.back(), "GetValue Domain=com.apple.mobile.software_behavior Key=GoogleMail");

    const auto sections = recordSections();
    ASSERT_EQ(sections.size(), sectionsBefore + 1);
    EXPECT_NE(sections.back().find("；iPhone 11连接到此软件]"), std::string::npos) << sections.back();
    const auto file = fileLines(ConnectionRecordPath());
    const auto at = std::find(file.begin(), file.end(), sections.back());
    ASSERT_NE(at, file.end());
    EXPECT_EQ(std::vector<std::string>(at + 1, std::min(at + 11, file.end())),
              (std::vector<std::string>{"详细信息=", "设备名称:小明的iPhone", "设备类型:iPhone 11",
                                        "固件版本:14.2(18B92)", "序列号:F2LZK0XHN72J", "IMEI:356789101234563",
                                        "连接时电量:87%", "WiFi/蓝牙地址:A4:83:E7:12:34:56/A4:83:E7:12:34:57",
                                        "密码保护开关：密码开启!", "Done!   -Kelm助手"}));

    // The device page with a device read, for a person to look at.
    EXPECT_TRUE(testsupport::renderToPng(window->window, testsupport::screenshotFolder() + "/deviceinfo-iphone.png"));
    for (int page : {1, 2, 3}) {
        window->高级选择夹2.setCurrentPage(page);
        EXPECT_TRUE(testsupport::renderToPng(window->高级选择夹2, testsupport::screenshotFolder() +
                                                                   "/deviceinfo-gauges-" + std::to_string(page) + ".png"));
    }
    window->高级选择夹2.setCurrentPage(0);
    unplugAndWait(udid);
}

TEST_F(DeviceInfoEndToEndTest, ProfilesWithoutPhoneOrKnownModel)
{
    const std::string noBoard = phone->writeProfile(
        "unknown-no-board.json",
        editedProfile("unknown-product.json", {{"00009999-0001122334455667", "00009999-00011223344556AA"},
                                               {"\"MLBSerialNumber\": {\"string\": \"F3X9223016PL9NJA4\"}",
                                                "\"MLBSerialNumber\": {\"string\": \"\"}"}}));
    const struct {
        std::string profile;
        std::string serial;
        std::vector<std::pair<size_t, std::string>> rows; // 1-based row, text
        std::vector<std::string> extraLog;
        bool warning;
    } cases[] = {
        {"ipad-no-phone.json", "DMPZ81ABLMPH",
         {{2, "设备类型:iPad Air 3(iPad11,3) "},
          {4, "设备颜色:深空灰"},
          {11, "电话号:【设备不支持or没有手机卡】"},
          {12, "IMEI:"},
          {13, "IMSI:"},
          {14, "UDID:00008027-000C35A21E88802E"},
          {18, "基带ID:0()"},
          {19, "主板序列号:C07939500J9KCTFA6"},
          {20, "集成电路序列号:【无法读取此信息！】"}},
         {"已成功获取【iPad Air 3】的信息"},
         false},
        {"unknown-product.json", "F2LZK0XHN72J",
         {{2, "设备类型:(iPhone99,9) "}, {4, "设备颜色:"}, {19, "主板序列号:F3X9223016PL9NJA4"}},
         {},
         false},
        {noBoard, "F2LZK0XHN72J",
         {{2, "设备类型:(iPhone99,9) "}, {19, "主板序列号:"}},
         {"已连接检测到新设备，但无法正常获取设备信息，请去更新或修复iTunes！"},
         true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.profile);
        const size_t boxesBefore = messages->boxes().size();
        const size_t sectionsBefore = recordSections().size();
        const std::string udid = plugAndWaitForRefresh(c.profile, c.serial);
        const auto shown = rows(*window);
        ASSERT_EQ(shown.size(), 26u);
        for (const auto &[row, text] : c.rows)
            EXPECT_EQ(shown[row - 1], text) << row;
        std::vector<std::string> lines = kConnectionLines;
        lines.insert(lines.end(), c.extraLog.begin(), c.extraLog.end());
        EXPECT_EQ(testsupport::logMessages(*window), lines);
        EXPECT_EQ(recordSections().size(), sectionsBefore + 1) << "a record for every refresh";
        const auto boxes = messages->boxes();
        ASSERT_EQ(boxes.size(), boxesBefore + (c.warning ? 1 : 0));
        if (c.warning) {
            EXPECT_EQ(boxes.back().text, "检测到一些信息无法读取，请查看软件右下角帮助");
            EXPECT_EQ(boxes.back().title, "检测数据异常");
            EXPECT_EQ(boxes.back().icon, platform::ui::MessageIcon::Warning);
            EXPECT_TRUE(window->标签4.isVisible());
            EXPECT_EQ(window->标签4.caption(), "请检查iTunes组件是否最新或正常！");
        } else {
            EXPECT_FALSE(window->标签4.isVisible());
        }
        EXPECT_EQ(gDeviceContext->info->PhoneNumber.empty(), c.profile == "ipad-no-phone.json");
        unplugAndWait(udid);
    }
}

TEST_F(DeviceInfoEndToEndTest, ClicksAddBlocksAndRecordsAndNeverOverlapTheDeviceThread)
{
    // The device thread's refresh is held up in its 57th read; the click comes meanwhile.
    const std::string slow = phone->writeProfile(
        "slow-iphone.json", editedProfile("iphone.json", {{"\"values\": {", "\"delays\": {\"GetValue:com.apple.disk_usage:"
                                                                            "TotalDiskCapacity\": 1500},\n  \"values\": {"}}));
    resetWindow();
    const size_t sectionsBefore = recordSections().size();
    const std::string udid = phone->plug(slow);
    ASSERT_FALSE(udid.empty()) << phone->lastError();
    ASSERT_TRUE(testsupport::waitUntil([&] {
        const auto reads = valueRequests(*phone, udid);
        return !reads.empty() && reads.back() == "GetValue Domain=com.apple.disk_usage Key=TotalDiskCapacity";
    }));
    window->按钮27.click(); // must come back without waiting for the device thread
    EXPECT_TRUE(testsupport::waitUntil([&] { return window->超级列表框1.rowCount() >= 52; }, std::chrono::seconds(30)));
    testsupport::processEvents(std::chrono::milliseconds(50));
    auto shown = rows(*window);
    ASSERT_EQ(shown.size(), 52u);
    EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.begin() + 26),
              std::vector<std::string>(shown.begin() + 26, shown.end()))
        << "two whole blocks, one after the other";
    // The reads of the two refreshes did not interleave: twice the 62 keys in table order.
    const auto reads = valueRequests(*phone, udid);
    ASSERT_EQ(reads.size(), 124u);
    EXPECT_EQ(std::vector<std::string>(reads.begin(), reads.begin() + 62),
              std::vector<std::string>(reads.begin() + 62, reads.end()));
    EXPECT_EQ(recordSections().size(), sectionsBefore + 2);

    // Clicked twice more on the window thread: 52 more rows and two more records; 按钮26 empties.
    window->超级列表框1.clear();
    window->按钮27.click();
    window->按钮27.click();
    EXPECT_EQ(window->超级列表框1.rowCount(), 52);
    EXPECT_EQ(recordSections().size(), sectionsBefore + 4);
    window->按钮26.click();
    EXPECT_EQ(window->超级列表框1.rowCount(), 0);
    unplugAndWait(udid);
}

TEST_F(DeviceInfoEndToEndTest, HostileDeviceShowsWhatCanBeShown)
{
    // A 1 MB name of a character GBK has, one it has not and an emoji; a battery level sent as text;
    // odd-length key data; line breaks in an address; no storage domain at all.
    std::string bigName;
    for (int i = 0; i < 1024 * 1024 / 3; ++i)
        bigName += "\xe5\x90\x8d"; // 名 in UTF-8 (the profile is UTF-8 JSON)
    const std::string hostile = phone->writeProfile(
        "hostile.json",
        editedProfile("iphone.json",
                      {{"00008030-001A2B3C4D5E6F70\"", "00008030-00000000000BAD00\""},
                       {"\"DeviceName\": {\"string\": \"小明的iPhone\"}",
                        "\"DeviceName\": {\"string\": \"" + bigName + "\\u0e01\\ud83d\\ude00\"}"},
                       {"\"BatteryCurrentCapacity\": {\"integer\": 87}", "\"BatteryCurrentCapacity\": {\"string\": \"87\"}"},
                       {"\"ActivationPublicKey\": {\"data\": \"", "\"ActivationPublicKey\": {\"data\": \"AAEC\"}, \"x\": {\"data\": \""},
                       {"\"WiFiAddress\": {\"string\": \"a4:83:e7:12:34:56\"}",
                        "\"WiFiAddress\": {\"string\": \"a4\\r\\n[evil]\\r\\nkey=1\"}"},
                       {"\"com.apple.disk_usage\"", "\"com.apple.disk_usage.gone\""}}));
    const size_t sectionsBefore = recordSections().size();
    const std::string udid = plugAndWaitForRefresh(hostile);
    auto shown = rows(*window);
    ASSERT_EQ(shown.size(), 26u);
    const std::string gbkName = platform::text::utf8ToGbk(bigName);
    EXPECT_EQ(shown[0].size(), std::string("设备名称:").size() + gbkName.size() + 2);
    EXPECT_EQ(shown[0].substr(shown[0].size() - 2), "??") << "no GBK form: the default character";
    EXPECT_EQ(shown[2], "设备总存储:0G(可用:0G)");
    EXPECT_EQ(shown[8], "当前电量:0%(正在充电)");
    EXPECT_EQ(shown[14], "WIFI地址:A4\r\n[EVIL]\r\nKEY=1");
    EXPECT_EQ(shown[22], "硬盘可用容量:0G");
    EXPECT_EQ(shown[23], "激活公钥:000102");
    EXPECT_EQ(window->透明标签13.caption(), "0G");
    EXPECT_EQ(window->透明标签28.caption(), "0G");
    EXPECT_EQ(window->进度条2.position(), 0);
    EXPECT_EQ(window->透明标签4.caption(), "0%");
    EXPECT_EQ(testsupport::logMessages(*window).back(), "已成功获取【iPhone 11】的信息");
    auto sections = recordSections();
    ASSERT_EQ(sections.size(), sectionsBefore + 1) << "the address's lines opened no section";
    EXPECT_EQ(platform::ini::readString(ConnectionRecordPath(), "evil", "key"), "");

    // Values that change type between reads: the name becomes a number, the model a dictionary.
    ASSERT_TRUE(phone->send("set " + udid + " - DeviceName {\"integer\": 5}").ok);
    ASSERT_TRUE(phone->send("set " + udid + " - ProductType {\"dict\": {\"a\": {\"string\": \"b\"}}}").ok);
    window->超级列表框1.clear();
    window->按钮27.click();
    shown = rows(*window);
    ASSERT_EQ(shown.size(), 26u);
    EXPECT_EQ(shown[0], "设备名称:");
    EXPECT_EQ(shown[1], "设备类型:() ");
    sections = recordSections();
    EXPECT_EQ(sections.size(), sectionsBefore + 2) << "the file still takes records";
    unplugAndWait(udid);
}

} // namespace
