// The texts a refresh shows and writes, from a record: the storage figures and captions, the 26 rows
// of a full record and their fallbacks, the record file's section names, summary and file.
#include "deviceinfo/connection_record.h"
#include "deviceinfo/info_display.h"
#include "app/settings.h"
#include "platform/ini/ini.h"
#include "platform/shell/folders.h"
#include "platform/text/text.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

TEST(StorageTexts, GigabyteRoundingAndCaptions)
{
    const struct {
        int64_t disk;
        int64_t available;
        const char *total, *used, *free; // captions of 透明标签13, 9, 28
        const char *freeRow;             // 13-digit text of FreeGB2
    } cases[] = {
        {63998000000, 20154000000, "63G", "43G", "20G", "20.15"},
        {64000000000, 5000000000, "64G", "59G", "5G", "5"},
        {128000000000, 12345000000, "128G", "115G", "13G", "12.35"}, // the half rounds up
        {63978983424, 22145724416, "63G", "41G", "22G", "22.15"},
        {0, 0, "0G", "0G", "0G", "0"},                               // nothing read: no fault
        {0, 3000000000, "0G", "-3G", "3G", "3"},
        {-5000000000, 0, "-5G", "-5G", "0G", "0"},                   // hostile negative size
        {INT64_MAX, INT64_MAX, "9223372036G", "0G", "9223372036G", "9223372036.85"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.disk);
        DeviceInfoRecord r;
        r.TotalDiskCapacity = c.disk;
        r.TotalDataAvailable = c.available;
        const StorageFigures f = ComputeStorageFigures(r);
        const StorageCaptions captions = ComputeStorageCaptions(f);
        EXPECT_EQ(captions.total, c.total);
        EXPECT_EQ(captions.used, c.used);
        EXPECT_EQ(captions.free, c.free);
        EXPECT_EQ(ThirteenDigitText(f.freeGB2), c.freeRow);
    }
    // A value within rounding distance below a whole number reads as that number.
    EXPECT_EQ(WholeGigabyteText(63.99999999999995), "64");
    EXPECT_EQ(WholeGigabyteText(63.998), "63");
    EXPECT_EQ(RoundToTwoPlaces(-12.345), -12.34); // the 1e-12 nudge applies before rounding
    EXPECT_EQ(LeadingInteger("99999999999999999999G"), INT64_MAX);
    EXPECT_EQ(LeadingInteger("G"), 0);
}

DeviceInfoRecord FullRecord()
{
    DeviceInfoRecord r;
    r.DeviceName = "小明的iPhone";
    r.ProductType = "iPhone12,1";
    r.MarketingName = "iPhone 11";
    r.ColorName = "白色";
    r.ProductVersion = "14.2";
    r.BuildVersion = "18B92";
    r.SerialNumber = "F2LZK0XHN72J";
    r.UniqueDeviceID = "00008030-001A2B3C4D5E6F70";
    r.PhoneNumber = "+86 138 0013 8000";
    r.ModelNumber = "MWLT2";
    r.RegionInfo = "CH/A";
    r.CPUArchitecture = "arm64e";
    r.WiFiAddress = "a4:83:e7:12:34:56";
    r.BluetoothAddress = "a4:83:e7:12:34:57";
    r.ActivationState = "Activated";
    r.BasebandVersion = "2.02.04";
    r.BasebandGoldCertId = 3554301762;
    r.IntegratedCircuitCardIdentity = "89860117851014783411";
    r.InternationalMobileEquipmentIdentity = "356789101234563";
    r.InternationalMobileSubscriberIdentity = "460011234567890";
    r.MLBSerialNumber = "F3X9223016PL9NJA4";
    r.PasswordProtected = 1;
    r.ActivationPublicKey = std::string("\x01\xAB", 2);
    r.ActivationStateAcknowledged = 1;
    r.InternationalMobileEquipmentIdentity2 = "356789101234571";
    r.DeviceCertificate = "\x7F";
    r.DevicePublicKey = std::string("\x00\xFF", 2);
    r.HostAttached = 1;
    r.TrustedHostAttached = 1;
    r.BatteryCurrentCapacity = 87;
    r.BatteryIsCharging = 1;
    r.TotalDataAvailable = 22145724416;
    r.TotalDiskCapacity = 63978983424;
    return r;
}

TEST(DeviceInfoRows, FullRecordGivesTheTwentySixRows)
{
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
        "硬件模型:",
        "连接电脑:已连接(设备已信任)",
        "硬盘可用容量:22.15G",
        "激活公钥:01AB",
        "设备证书:7F",
        "设备公钥:00FF",
    };
    EXPECT_EQ(DeviceInfoRows(FullRecord(), "22G"), expected);
}

TEST(DeviceInfoRows, FallbacksAndFlags)
{
    const struct {
        const char *what;
        void (*change)(DeviceInfoRecord &);
        size_t row; // 1-based
        const char *text;
    } cases[] = {
        {"no phone number", [](DeviceInfoRecord &r) { r.PhoneNumber.clear(); }, 11, "电话号:【设备不支持or没有手机卡】"},
        {"phone field holds the UDID", [](DeviceInfoRecord &r) { r.PhoneNumber = r.UniqueDeviceID; }, 11,
         "电话号:【设备不支持or没有手机卡】"},
        {"no ICCID", [](DeviceInfoRecord &r) { r.IntegratedCircuitCardIdentity.clear(); }, 20,
         "集成电路序列号:【无法读取此信息！】"},
        {"no second IMEI", [](DeviceInfoRecord &r) { r.InternationalMobileEquipmentIdentity2.clear(); }, 12,
         "IMEI:356789101234563"},
        {"unactivated", [](DeviceInfoRecord &r) { r.ActivationState = "Unactivated"; r.ActivationStateAcknowledged = 0; },
         7, "激活状态:未激活(可能是工厂激活)"},
        {"case matters", [](DeviceInfoRecord &r) { r.ActivationState = "activated"; }, 7, "激活状态:未激活(正版激活)"},
        {"not charging", [](DeviceInfoRecord &r) { r.BatteryIsCharging = 0; r.BatteryCurrentCapacity = 100; }, 9,
         "当前电量:100%(不在充电)"},
        {"no password", [](DeviceInfoRecord &r) { r.PasswordProtected = 0; }, 6, "密码保护:关闭"},
        {"untrusted", [](DeviceInfoRecord &r) { r.HostAttached = 0; r.TrustedHostAttached = 0; }, 22,
         "连接电脑:未连接(设备未信任)"},
        {"whole free space", [](DeviceInfoRecord &r) { r.TotalDataAvailable = 5000000000; }, 23, "硬盘可用容量:5G"},
        {"nothing read", [](DeviceInfoRecord &r) { r = DeviceInfoRecord(); }, 3, "设备总存储:0G(可用:22G)"},
        {"GBK kept in upper-casing", [](DeviceInfoRecord &r) { r.WiFiAddress = "ab中文cd"; }, 15, "WIFI地址:AB中文CD"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        DeviceInfoRecord r = FullRecord();
        c.change(r);
        const auto rows = DeviceInfoRows(r, "22G");
        ASSERT_EQ(rows.size(), kDeviceInfoRowCount);
        EXPECT_EQ(rows[c.row - 1], c.text);
    }
}

TEST(ConnectionRecord, SectionNamesFollowTheDateTimeRule)
{
    using platform::datetime::LocalTime;
    const struct {
        LocalTime time;
        const char *marketingName;
        const char *section;
    } cases[] = {
        {{2024, 3, 5, 9, 7, 30}, "iPhone X", "2024年3月5日9时7分30秒；iPhone X连接到此软件"},
        {{2024, 3, 5, 9, 0, 0}, "iPhone X", "2024年3月5日9时；iPhone X连接到此软件"},
        {{2024, 3, 5, 0, 0, 0}, "iPhone X", "2024年3月5日；iPhone X连接到此软件"},
        {{2024, 3, 5, 9, 5, 0}, "iPhone X", "2024年3月5日9时5分；iPhone X连接到此软件"},
        {{2024, 12, 31, 0, 0, 1}, "iPad Air 3", "2024年12月31日0时0分1秒；iPad Air 3连接到此软件"},
        {{2024, 1, 1, 0, 30, 0}, "", "2024年1月1日0时30分；连接到此软件"},
        {{2025, 7, 9, 23, 59, 59}, "", "2025年7月9日23时59分59秒；连接到此软件"},
    };
    for (const auto &c : cases) {
        DeviceInfoRecord r;
        r.MarketingName = c.marketingName;
        EXPECT_EQ(ConnectionRecordSection(c.time, r), c.section);
    }
}

TEST(ConnectionRecord, SummaryLinesAndHostileTexts)
{
    EXPECT_EQ(DeviceSummary(FullRecord()), "\r\n设备名称:小明的iPhone\r\n设备类型:iPhone 11\r\n固件版本:14.2(18B92)"
                                           "\r\n序列号:F2LZK0XHN72J\r\nIMEI:356789101234563\r\n连接时电量:87%"
                                           "\r\nWiFi/蓝牙地址:A4:83:E7:12:34:56/A4:83:E7:12:34:57"
                                           "\r\n密码保护开关：密码开启!\r\nDone!   -Kelm助手");
    EXPECT_EQ(DeviceSummary(DeviceInfoRecord()), "\r\n设备名称:\r\n设备类型:\r\n固件版本:()\r\n序列号:\r\nIMEI:"
                                                 "\r\n连接时电量:0%\r\nWiFi/蓝牙地址:/\r\n密码保护开关：密码关闭!"
                                                 "\r\nDone!   -Kelm助手");
    // A device's own line breaks cannot open lines (or sections) of the file.
    DeviceInfoRecord hostile;
    hostile.DeviceName = "x\r\n[2024年3月5日；iPhone X连接到此软件]\r\n详细信息=fake";
    EXPECT_EQ(DeviceSummary(hostile).rfind("\r\n设备名称:x  [2024年3月5日；iPhone X连接到此软件]  详细信息=fake\r\n设备类型:", 0),
              0u);
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
    EXPECT_EQ(start, text.size()) << "every line ends in CR LF";
    return lines;
}

TEST(ConnectionRecord, WritesWhileTheSwitchIsZeroAndStaysAValidFile)
{
    testsupport::TempHome home;
    const std::string path = ConnectionRecordPath();
    EXPECT_NE(path.find("/KelmTools/Favorites/Kelm助手_用户设备连接记录.ini"), std::string::npos) << path;
    platform::datetime::setTestClock([] { return platform::datetime::LocalTime{2024, 3, 5, 9, 7, 30}; });

    SaveRecordsSwitch.store(1);
    WriteConnectionRecord(FullRecord());
    EXPECT_FALSE(platform::shell::fileExists(path)) << "switch 1: no file";

    SaveRecordsSwitch.store(0);
    DeviceInfoRecord hostile = FullRecord();
    hostile.DeviceName = "a\n[evil]\r\nkey=1";
    WriteConnectionRecord(hostile);
    WriteConnectionRecord(FullRecord()); // same second, same model: the same section and key
    DeviceInfoRecord other = FullRecord();
    other.MarketingName = "iPhone X";
    WriteConnectionRecord(other);
    platform::datetime::setTestClock({});

    std::vector<std::string> sections;
    size_t keyLines = 0;
    for (const std::string &line : fileLines(path)) {
        if (line.rfind("[", 0) == 0)
            sections.push_back(line);
        keyLines += line == "详细信息=";
    }
    EXPECT_EQ(sections, (std::vector<std::string>{"[2024年3月5日9时7分30秒；iPhone 11连接到此软件]",
                                                  "[2024年3月5日9时7分30秒；iPhone X连接到此软件]"}));
    EXPECT_EQ(keyLines, 2u) << "the second record of the same second went to the same key";
    EXPECT_EQ(platform::ini::readString(path, "evil", "key"), "");
    // The file still takes keys in both sections.
    for (const char *section : {"2024年3月5日9时7分30秒；iPhone 11连接到此软件", "2024年3月5日9时7分30秒；iPhone X连接到此软件"}) {
        EXPECT_TRUE(platform::ini::writeString(path, section, "probe", section));
        EXPECT_EQ(platform::ini::readString(path, section, "probe"), section);
    }
}

} // namespace
