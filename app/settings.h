// The user's settings: the settings file in the documents folder, read and written key by key, and the
// values the program holds while it runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

// 0: connection records are kept; 1: they are not. Written on the window thread (start-up and the
// settings page), read whole by the connection-record writer on the device thread.
extern std::atomic<int32_t> SaveRecordsSwitch;

// The theme colour read at start-up (a Windows colour value, 0x00BBGGRR).
extern int32_t ThemeColour;

// Sections and keys of the settings file.
inline constexpr char kFirstOpenSection[] = "初次打开";
inline constexpr char kFirstOpenKey[] = "是否";
inline constexpr char kSaveRecordsSection[] = "保存连接记录";
inline constexpr char kSaveRecordsKey[] = "开关";
inline constexpr char kThemeColourSection[] = "主题颜色";
inline constexpr char kThemeColourKey[] = "颜色";
inline constexpr char kBorderSection[] = "软件边框";
inline constexpr char kBorderKey[] = "边框";

// "<documents folder>Kelm助手_用户配置.ini" (GBK).
std::string SettingsFilePath();

// A setting as a 32-bit integer: its leading decimal number; missing, empty or non-numeric reads as 0.
int32_t ReadSetting(std::string_view section, std::string_view key);
// True when the key is present with a non-empty value.
bool HasSetting(std::string_view section, std::string_view key);
// Writes one key (the file is created by the first write). A failed write is not reported.
void WriteSetting(std::string_view section, std::string_view key, std::string_view value);
