// The connection history: while the user keeps records, every information refresh adds one section
// to "Kelm助手_用户设备连接记录.ini" in the favourites folder, named by the time and the model and
// holding a short multi-line summary of the device. The program never reads the file back.
#pragma once

#include "device/device_context.h"
#include "platform/datetime/clock.h"

#include <string>

// The record file's full path (GBK): the favourites folder and the file name.
std::string ConnectionRecordPath();

// "2024年3月5日" followed by "9时7分30秒", "9时7分", "9时" or nothing, depending on which of second,
// minute and hour is the last one that is not 0. Numbers without leading zeros.
std::string DateTimeText(const platform::datetime::LocalTime &time);

// The section name: date-time text, "；", the marketing name, "连接到此软件".
std::string ConnectionRecordSection(const platform::datetime::LocalTime &time, const DeviceInfoRecord &record);

// The summary written under the key "详细信息": nine parts each starting on a new line, from
// "设备名称:" to "Done!   -Kelm助手". Line breaks inside a device's own texts are turned into blanks, so
// that a device cannot add lines (or sections) of its own to the file.
std::string DeviceSummary(const DeviceInfoRecord &record);

// Writes one record (time taken now) when SaveRecordsSwitch is 0; otherwise does nothing. A failed
// write is not reported. Any thread.
void WriteConnectionRecord(const DeviceInfoRecord &record);
