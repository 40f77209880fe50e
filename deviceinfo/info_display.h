// What a device-information refresh shows: the storage captions, the 26 rows of the device list, the
// outcome line or warning, the battery and storage gauges and the three identifier boxes. The texts
// are computed by pure functions (any thread); the Show… steps put them on the main window.
#pragma once

#include "device/device_context.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct MainWindow;

inline constexpr size_t kDeviceInfoRowCount = 26;

// Storage figures of one refresh, in gigabytes of 10^9 bytes.
struct StorageFigures {
    double totalGB = 0; // TotalDiskCapacity / 1e9
    double freeGB2 = 0; // TotalDataAvailable / 1e9, rounded to two places
    double usedGB = 0;  // totalGB - freeGB2
};
StorageFigures ComputeStorageFigures(const DeviceInfoRecord &record);

// Two decimal places: x * 100, plus 1e-12, halves away from zero (a negative value keeps its sign).
double RoundToTwoPlaces(double value);
// "%.13g": at most 13 significant digits, no trailing zeros, no point for a whole number.
std::string ThirteenDigitText(double value);
// The leading decimal integer of a text (optional sign, then digits; none -> 0), saturating at the
// ends of the 64-bit range.
int64_t LeadingInteger(std::string_view text);
// The leading integer of the 13-digit text, as a decimal text: the integer part, except that a value
// within rounding distance below a whole number reads as that number.
std::string WholeGigabyteText(double value);

// The three captions of the storage page: total, used and free ("63G", "43G", "20G"). The free one is
// whole total minus whole used.
struct StorageCaptions {
    std::string total; // 透明标签13
    std::string used;  // 透明标签9
    std::string free;  // 透明标签28
};
StorageCaptions ComputeStorageCaptions(const StorageFigures &figures);

// The 26 row texts for the record, in list order. `freeCaption` is the caption of 透明标签28.
std::vector<std::string> DeviceInfoRows(const DeviceInfoRecord &record, std::string_view freeCaption);

// The steps, on the main window (nothing happens without one). Any thread: control updates go through
// the window thread. A: storage captions. B-C: append the 26 rows. D: success log line, or the warning
// box, log line and 标签4 (the warning box blocks the calling thread until it is closed). E: gauges and
// the serial/IMEI/IMSI boxes.
void ShowStorageCaptions(const StorageCaptions &captions);
void AppendDeviceInfoRows(const std::vector<std::string> &rows);
void ReportRefreshOutcome(const DeviceInfoRecord &record);
void ShowGaugesAndIdentifiers(const DeviceInfoRecord &record, const StorageFigures &figures);
