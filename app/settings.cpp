// The settings file and the in-memory settings.
#include "app/settings.h"

#include "platform/ini/ini.h"
#include "platform/shell/folders.h"

std::atomic<int32_t> SaveRecordsSwitch{0};
int32_t ThemeColour = 0;

std::string SettingsFilePath() { return platform::shell::documentsFolder() + "Kelm助手_用户配置.ini"; }

int32_t ReadSetting(std::string_view section, std::string_view key)
{
    return platform::ini::readInt(SettingsFilePath(), section, key);
}

bool HasSetting(std::string_view section, std::string_view key)
{
    return !platform::ini::readString(SettingsFilePath(), section, key).empty();
}

void WriteSetting(std::string_view section, std::string_view key, std::string_view value)
{
    platform::ini::writeString(SettingsFilePath(), section, key, value);
}
