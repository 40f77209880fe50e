// The display steps of a device-information refresh and the texts they show.
#include "deviceinfo/info_display.h"

#include "app/log_pane.h"
#include "app/main_window.h"
#include "deviceinfo/value_text.h"
#include "platform/text/text.h"
#include "platform/ui/message_box.h"

#include <climits>
#include <cmath>
#include <cstdio>

namespace {

std::string Decimal(int64_t value) { return std::to_string(value); }

// A double cut toward zero into the int range (a hostile device can send sizes no int holds).
int CutToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace

double RoundToTwoPlaces(double value) { return std::round(value * 100 + 0.000000000001) / 100; }

StorageFigures ComputeStorageFigures(const DeviceInfoRecord &record)
{
    StorageFigures f;
    f.totalGB = static_cast<double>(record.TotalDiskCapacity) / 1000000000.0;
    f.freeGB2 = RoundToTwoPlaces(static_cast<double>(record.TotalDataAvailable) / 1000000000.0);
    f.usedGB = f.totalGB - f.freeGB2;
    return f;
}

std::string ThirteenDigitText(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.13g", value);
    return buffer;
}

int64_t LeadingInteger(std::string_view text)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (magnitude > (INT64_MAX - digit) / 10)
            return negative ? INT64_MIN : INT64_MAX;
        magnitude = magnitude * 10 + digit;
    }
    return negative ? -magnitude : magnitude;
}

std::string WholeGigabyteText(double value) { return Decimal(LeadingInteger(ThirteenDigitText(value))); }

StorageCaptions ComputeStorageCaptions(const StorageFigures &figures)
{
    StorageCaptions c;
    c.total = WholeGigabyteText(figures.totalGB) + "G";
    c.used = WholeGigabyteText(figures.usedGB) + "G";
    // Both whole numbers come from the captions; hostile sizes must not overflow the difference.
    const int64_t total = LeadingInteger(c.total);
    const int64_t used = LeadingInteger(c.used);
    int64_t free = 0;
    if (__builtin_sub_overflow(total, used, &free))
        free = used > 0 ? INT64_MIN : INT64_MAX;
    c.free = Decimal(free) + "G";
    return c;
}

std::vector<std::string> DeviceInfoRows(const DeviceInfoRecord &r, std::string_view freeCaption)
{
    using platform::text::asciiUpper;
    const std::string shownIccid =
        r.IntegratedCircuitCardIdentity.empty() ? std::string("【无法读取此信息！】") : r.IntegratedCircuitCardIdentity;
    // No phone number read: an empty field, or (in a record filled the way older refreshes filled it)
    // the UDID read just before it.
    const std::string shownPhone = r.PhoneNumber.empty() || r.PhoneNumber == r.UniqueDeviceID
                                       ? std::string("【设备不支持or没有手机卡】")
                                       : r.PhoneNumber;
    const std::string secondImei =
        r.InternationalMobileEquipmentIdentity2.empty() ? std::string() : "|" + r.InternationalMobileEquipmentIdentity2;
    const StorageFigures figures = ComputeStorageFigures(r);

    std::vector<std::string> rows;
    rows.reserve(kDeviceInfoRowCount);
    rows.push_back("设备名称:" + r.DeviceName);
    rows.push_back("设备类型:" + r.MarketingName + "(" + r.ProductType + ") ");
    rows.push_back("设备总存储:" + WholeGigabyteText(figures.totalGB) + "G(可用:" + std::string(freeCaption) + ")");
    rows.push_back("设备颜色:" + r.ColorName);
    rows.push_back("系统版本:" + r.ProductVersion + "(" + r.BuildVersion + ") ");
    rows.push_back(std::string("密码保护:") + (r.PasswordProtected ? "开启" : "关闭"));
    rows.push_back(std::string("激活状态:") + (r.ActivationState == "Activated" ? "已激活" : "未激活") + "(" +
                   (r.ActivationStateAcknowledged ? "正版激活" : "可能是工厂激活") + ")");
    rows.push_back("销售型号:" + r.ModelNumber + "(" + r.RegionInfo + ")");
    rows.push_back("当前电量:" + Decimal(r.BatteryCurrentCapacity) + "%(" +
                   (r.BatteryIsCharging ? "正在充电" : "不在充电") + ")");
    rows.push_back("序列号:" + r.SerialNumber);
    rows.push_back("电话号:" + shownPhone);
    rows.push_back("IMEI:" + r.InternationalMobileEquipmentIdentity + secondImei);
    rows.push_back("IMSI:" + r.InternationalMobileSubscriberIdentity);
    // When the phone field holds the UDID, the row still shows the UDID as read.
    rows.push_back("UDID:" + r.UniqueDeviceID);
    rows.push_back("WIFI地址:" + asciiUpper(r.WiFiAddress));
    rows.push_back("蓝牙地址:" + asciiUpper(r.BluetoothAddress));
    rows.push_back("CPU架构:" + r.CPUArchitecture);
    rows.push_back("基带ID:" + Decimal(r.BasebandGoldCertId) + "(" + r.BasebandVersion + ")");
    rows.push_back("主板序列号:" + r.MLBSerialNumber);
    rows.push_back("集成电路序列号:" + shownIccid);
    rows.push_back("硬件模型:" + r.HardwareModel);
    rows.push_back(std::string("连接电脑:") + (r.HostAttached ? "已连接" : "未连接") + "(设备" +
                   (r.TrustedHostAttached ? "已" : "未") + "信任)");
    rows.push_back("硬盘可用容量:" + ThirteenDigitText(figures.freeGB2) + "G");
    rows.push_back("激活公钥:" + HexText(r.ActivationPublicKey));
    rows.push_back("设备证书:" + HexText(r.DeviceCertificate));
    rows.push_back("设备公钥:" + HexText(r.DevicePublicKey));
    return rows;
}

void ShowStorageCaptions(const StorageCaptions &captions)
{
    platform::ui::runOnWindowThread([&] {
        if (!gMainWindow)
            return;
        gMainWindow->透明标签13.setCaption(captions.total);
        gMainWindow->透明标签9.setCaption(captions.used);
        gMainWindow->透明标签28.setCaption(captions.free);
    });
}

void AppendDeviceInfoRows(const std::vector<std::string> &rows)
{
    platform::ui::runOnWindowThread([&] {
        if (!gMainWindow)
            return;
        for (const std::string &row : rows)
            gMainWindow->超级列表框1.addRow({row});
    });
}

void ReportRefreshOutcome(const DeviceInfoRecord &record)
{
    if (!record.MarketingName.empty()) {
        AppendLog(LogSourceTag, "已成功获取【" + record.MarketingName + "】的信息");
        return;
    }
    if (!record.MLBSerialNumber.empty())
        return; // an unknown model whose board serial was read: nothing to report
    if (!gMainWindow)
        return;
    platform::ui::messageBox("检测到一些信息无法读取，请查看软件右下角帮助", platform::ui::MessageIcon::Warning,
                             "检测数据异常");
    AppendLog(LogSourceTag, "已连接检测到新设备，但无法正常获取设备信息，请去更新或修复iTunes！");
    platform::ui::runOnWindowThread([] {
        if (!gMainWindow)
            return;
        gMainWindow->标签4.setVisible(true);
        gMainWindow->标签4.setCaption("请检查iTunes组件是否最新或正常！");
    });
}

void ShowGaugesAndIdentifiers(const DeviceInfoRecord &record, const StorageFigures &figures)
{
    platform::ui::runOnWindowThread([&] {
        if (!gMainWindow)
            return;
        MainWindow &w = *gMainWindow;
        // The low 32 bits of the capacity; the bar keeps the range of the form and clamps.
        w.进度条1.setPosition(static_cast<int32_t>(static_cast<uint32_t>(record.BatteryCurrentCapacity)));
        w.透明标签4.setCaption(Decimal(record.BatteryCurrentCapacity) + "%");
        w.编辑框3.setCaption(record.SerialNumber);
        w.编辑框4.setCaption(record.InternationalMobileEquipmentIdentity);
        w.编辑框5.setCaption(record.InternationalMobileSubscriberIdentity);
        // A bar whose maximum is not above its minimum turns into a busy indicator on this toolkit; an
        // unknown (0) or nonsensical capacity shows an empty bar instead.
        const int total = CutToInt(figures.totalGB);
        w.进度条2.setRange(0, total > 0 ? total : 1);
        w.进度条2.setPosition(total > 0 ? CutToInt(figures.usedGB) : 0);
    });
}
