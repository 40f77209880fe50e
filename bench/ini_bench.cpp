// Cost of the INI service on a settings-sized file and on a grown connection record file: one key read
// (what start-up does four times) and one key write (a whole-file rewrite with fsync and rename).
#include "platform/ini/ini.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string scratchFile(const char* name)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kelm-ini-bench";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / name).string();
    std::filesystem::remove(path);
    return path;
}

// A record file with `records` multi-line sections, as the connection records leave it.
std::string recordFile(int records)
{
    const std::string path = scratchFile("records.ini");
    for (int i = 0; i < records; ++i) {
        platform::ini::writeString(path, "2024年3月5日9时7分" + std::to_string(i) + "秒；iPhone X连接到此软件", "详细信息",
                                   "\r\n设备名称:我的iPhone\r\n设备类型:iPhone X\r\n固件版本:16.5(20F66)\r\n"
                                   "序列号:F17XXXXXXXXX\r\nDone!   -Kelm助手");
    }
    return path;
}

void BM_ReadIntFromSettings(benchmark::State& state)
{
    const std::string path = scratchFile("settings.ini");
    platform::ini::writeString(path, "初次打开", "是否", "1");
    platform::ini::writeString(path, "保存连接记录", "开关", "0");
    platform::ini::writeString(path, "主题颜色", "颜色", "16746496");
    platform::ini::writeString(path, "软件边框", "边框", "2");
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::ini::readInt(path, "软件边框", "边框"));
}
BENCHMARK(BM_ReadIntFromSettings);

void BM_WriteSettingsKey(benchmark::State& state)
{
    const std::string path = scratchFile("settings.ini");
    int value = 0;
    for (auto _ : state)
        platform::ini::writeString(path, "保存连接记录", "开关", std::to_string(value++ & 1));
}
BENCHMARK(BM_WriteSettingsKey);

void BM_ReadLastRecord(benchmark::State& state)
{
    const int records = static_cast<int>(state.range(0));
    const std::string path = recordFile(records);
    const std::string section = "2024年3月5日9时7分" + std::to_string(records - 1) + "秒；iPhone X连接到此软件";
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::ini::readString(path, section, "详细信息"));
}
BENCHMARK(BM_ReadLastRecord)->Arg(10)->Arg(1000);

void BM_AppendRecord(benchmark::State& state)
{
    const std::string path = recordFile(static_cast<int>(state.range(0)));
    int i = 0;
    for (auto _ : state) {
        platform::ini::writeString(path, "新记录" + std::to_string(i++), "详细信息",
                                   "\r\n设备名称:我的iPhone\r\nDone!   -Kelm助手");
    }
}
BENCHMARK(BM_AppendRecord)->Arg(10)->Arg(1000);

} // namespace
