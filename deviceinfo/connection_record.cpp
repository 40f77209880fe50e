// The connection record file and the device summary in it.
#include "deviceinfo/connection_record.h"

#include "app/settings.h"
#include "platform/ini/ini.h"
#include "platform/shell/folders.h"
#include "platform/text/text.h"

namespace {

// A device text as one line of the file.
std::string OneLine(std::string text)
{
    // CR and LF never occur as the second byte of a double-byte GBK character.
    for (char &c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

} // namespace

std::string ConnectionRecordPath() { return platform::shell::favoritesFolder() + "Kelm助手_用户设备连接记录.ini"; }

std::string DateTimeText(const platform::datetime::LocalTime &t)
{
    std::string text = std::to_string(t.year) + "年" + std::to_string(t.month) + "月" + std::to_string(t.day) + "日";
    if (t.second != 0)
        text += std::to_string(t.hour) + "时" + std::to_string(t.minute) + "分" + std::to_string(t.second) + "秒";
    else if (t.minute != 0)
        text += std::to_string(t.hour) + "时" + std::to_string(t.minute) + "分";
    else if (t.hour != 0)
        text += std::to_string(t.hour) + "时";
    return text;
}

std::string ConnectionRecordSection(const platform::datetime::LocalTime &time, const DeviceInfoRecord &record)
{
    return DateTimeText(time) + "；" + OneLine(record.MarketingName) + "连接到此软件";
}

std::string DeviceSummary(const DeviceInfoRecord &r)
{
    using platform::text::asciiUpper;
    return "\r\n设备名称:" + OneLine(r.DeviceName) +
           "\r\n设备类型:" + OneLine(r.MarketingName) +
           "\r\n固件版本:" + OneLine(r.ProductVersion) + "(" + OneLine(r.BuildVersion) +
           ")\r\n序列号:" + OneLine(r.SerialNumber) +
           "\r\nIMEI:" + OneLine(r.InternationalMobileEquipmentIdentity) +
           "\r\n连接时电量:" + std::to_string(r.BatteryCurrentCapacity) +
           "%\r\nWiFi/蓝牙地址:" + OneLine(asciiUpper(r.WiFiAddress)) + "/" + OneLine(asciiUpper(r.BluetoothAddress)) +
           "\r\n密码保护开关：" + (r.PasswordProtected ? "密码开启!" : "密码关闭!") +
           "\r\nDone!   -Kelm助手";
}

void WriteConnectionRecord(const DeviceInfoRecord &record)
{
    if (SaveRecordsSwitch.load() != 0)
        return;
    const platform::datetime::LocalTime now = platform::datetime::now();
    platform::ini::writeString(ConnectionRecordPath(), ConnectionRecordSection(now, record), "详细信息",
                               DeviceSummary(record));
}
