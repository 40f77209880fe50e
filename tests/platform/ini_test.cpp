// The INI service on real files in a temporary folder: reads across line ends, byte order marks,
// blanks, comments, duplicates and garbage; writes that change one line and keep every other byte;
// multi-line values as the connection record writes them; refused and failed writes that leave the
// file alone; long values; GBK names and paths.
#include "platform/ini/ini.h"

#include "platform/text/text.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

namespace fs = std::filesystem;
using platform::ini::readInt;
using platform::ini::readString;
using platform::ini::writeString;

namespace {

// A literal with NUL bytes in it, whole.
template <std::size_t N>
std::string bytes(const char (&literal)[N])
{
    return std::string(literal, N - 1);
}

class IniTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "kelm-ini-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir_, ignored);
    }

    // Paths are GBK texts for the service; these tests keep them ASCII unless a test is about paths.
    std::string path(const std::string& name = "test.ini") const { return (dir_ / name).string(); }

    static void put(const std::string& file, const std::string& bytes)
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    static std::optional<std::string> get(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        if (!in)
            return std::nullopt;
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.push_back(entry.path().filename().string());
        return names;
    }

    fs::path dir_;
};

// ---- reading ----------------------------------------------------------------------------------

struct ReadCase {
    const char* name;
    std::string file;
    std::string section;
    std::string key;
    std::string value;
};

// "\x81\x41" and "\x81\x61" are two different GBK characters whose second bytes are 'A' and 'a';
// "\x81\x5D" is one whose second byte is ']'.
const ReadCase kReadCases[] = {
    {"CR LF", "[a]\r\nk=v\r\n", "a", "k", "v"},
    {"LF only", "[a]\nk=v\nz=w\n", "a", "z", "w"},
    {"CR only", "[a]\rk=v\rz=w\r", "a", "z", "w"},
    {"mixed line ends", "[x]\ry=1\n[a]\r\nk=v", "a", "k", "v"},
    {"UTF-8 byte order mark", "\xEF\xBB\xBF[a]\r\nk=v\r\n", "a", "k", "v"},
    {"ASCII case ignored", "[Settings]\r\nSwitch=1\r\n", "sETTINGS", "SWITCH", "1"},
    {"GBK names", "[初次打开]\r\n是否=1\r\n", "初次打开", "是否", "1"},
    {"GBK second byte is not case-folded", "[\x81\x41]\r\nk=v\r\n", "\x81\x61", "k", ""},
    {"GBK second byte ']' in a section name", "[\x81\x5Dx]\r\nk=v\r\n", "\x81\x5Dx", "k", "v"},
    {"blanks around names, '=' and value", "  [ 保存连接记录 ]  \r\n \t开关 \t= \t 0 \t\r\n", "保存连接记录", "开关", "0"},
    {"caller's blanks ignored", "[a]\r\nk=v\r\n", " a ", "\tk ", "v"},
    {"comment line is no key", "[a]\r\n;k=v\r\n", "a", ";k", ""},
    {"comment lines skipped", "; head\r\n[a]\r\n; k=no\r\nk=v\r\n", "a", "k", "v"},
    {"first of duplicate sections", "[a]\r\nk=1\r\n[A]\r\nk=2\r\n", "a", "k", "1"},
    {"later duplicate section is not used", "[a]\r\nx=1\r\n[a]\r\nk=2\r\n", "a", "k", ""},
    {"first of duplicate keys", "[a]\r\nk=1\r\nK=2\r\n", "a", "k", "1"},
    {"key before every section", "k=1\r\n[a]\r\n", "a", "k", ""},
    {"key of another section", "[a]\r\n[b]\r\nk=1\r\n", "a", "k", ""},
    {"missing section", "[a]\r\nk=1\r\n", "b", "k", ""},
    {"line without '='", "[a]\r\nk\r\n", "a", "k", ""},
    {"empty value", "[a]\r\nk=\r\n", "a", "k", ""},
    {"'=' inside the value", "[a]\r\nk=x=y\r\n", "a", "k", "x=y"},
    {"double quotes removed", "[a]\r\nk=\" v \"\r\n", "a", "k", " v "},
    {"single quotes removed", "[a]\r\nk='v'\r\n", "a", "k", "v"},
    {"unmatched quote kept", "[a]\r\nk=\"v\r\n", "a", "k", "\"v"},
    {"header without ']'", "[a\r\nk=v\r\n", "a", "k", "v"},
    {"value cut at NUL", bytes("[a]\r\nk=v\0w\r\n"), "a", "k", "v"},
    {"binary garbage around", bytes("\x00\xFF\xFE[\x01\x02\r\n\x7F=\x80\r\n[a]\r\nk=v\r\n\xFF\x00"), "a", "k", "v"},
    {"empty file", "", "a", "k", ""},
    {"empty key name", "[a]\r\n=v\r\n", "a", "", ""},
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class IniRead : public IniTest, public testing::WithParamInterface<ReadCase> {};

TEST_P(IniRead, FindsTheValue)
{
    put(path(), GetParam().file);
    EXPECT_EQ(readString(path(), GetParam().section, GetParam().key), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Cases, IniRead, testing::ValuesIn(kReadCases), [](const auto& info) {
    std::string name;
    for (const char* p = info.param.name; *p != '\0'; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
});

TEST_F(IniTest, MissingFileOrFolderReadsEmptyAndZero)
{
    EXPECT_EQ(readString(path("absent.ini"), "a", "k"), "");
    EXPECT_EQ(readInt(path("absent.ini"), "a", "k"), 0);
    EXPECT_EQ(readString(dir_.string(), "a", "k"), "") << "a folder is no INI file";
    EXPECT_FALSE(fs::exists(path("absent.ini"))) << "reading creates nothing";
}

TEST_F(IniTest, ReadIntTakesTheLeadingDecimalNumber)
{
    const std::pair<std::string, std::int32_t> cases[] = {
        {"1", 1},           {"-3", -3},          {"+7", 7},           {"12abc", 12},
        {"abc", 0},         {"", 0},             {"0x10", 0},         {"-", 0},
        {"3.9", 3},         {" 42 ", 42},        {"- 3", 0},          {"007", 7},
        {"2147483647", 2147483647}, {"2147483648", 2147483647}, {"99999999999999999999", 2147483647},
        {"-2147483648", -2147483647 - 1}, {"-99999999999", -2147483647 - 1}, {"16746496", 16746496},
    };
    for (const auto& [text, number] : cases) {
        put(path(), "[主题颜色]\r\n颜色=" + text + "\r\n");
        EXPECT_EQ(readInt(path(), "主题颜色", "颜色"), number) << "value \"" << text << "\"";
    }
    EXPECT_EQ(readInt(path(), "主题颜色", "没有"), 0);
}

// ---- writing ----------------------------------------------------------------------------------

struct WriteCase {
    const char* name;
    std::optional<std::string> before; // nullopt: no file yet
    std::string section;
    std::string key;
    std::string value;
    std::string after;
    std::string readBack; // what a read of the same key gives afterwards
};

const std::string kRecordSection = "2024年3月5日9时7分30秒；iPhone X连接到此软件";
const std::string kRecordSummary = "\r\n设备名称:我的iPhone\r\n设备类型:iPhone X\r\nDone!   -Kelm助手";

const WriteCase kWriteCases[] = {
    {"first write creates the file", std::nullopt, "保存连接记录", "开关", "0", "[保存连接记录]\r\n开关=0\r\n", "0"},
    {"existing key replaced in place, the rest kept byte for byte",
     "; top\n[a]\n  Key = old  \nz=1\n\n[b]\nk=2\n", "a", "key", "new",
     "; top\n[a]\n  Key =new\nz=1\n\n[b]\nk=2\n", "new"},
    {"new key after the section's last line, before blank lines", "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n", "a", "z", "3",
     "[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\n", "3"},
    {"new key into an empty section", "[a]\r\n[b]\r\n", "a", "z", "3", "[a]\r\nz=3\r\n[b]\r\n", "3"},
    {"new key where the last line has no line end", "[a]\r\nx=1", "a", "z", "3", "[a]\r\nx=1\r\nz=3\r\n", "3"},
    {"new section at the end", "[a]\r\nx=1\r\n", "b", "k", "v", "[a]\r\nx=1\r\n[b]\r\nk=v\r\n", "v"},
    {"new section where the last line has no line end", "[a]\r\nx=1", "b", "k", "v",
     "[a]\r\nx=1\r\n[b]\r\nk=v\r\n", "v"},
    {"CR-only file keeps its line ends", "[a]\rx=1\r", "a", "x", "2", "[a]\rx=2\r", "2"},
    {"names matched ignoring ASCII case", "[Abc]\r\nKEY=1\r\n", "aBC", "key", "2", "[Abc]\r\nKEY=2\r\n", "2"},
    {"GBK second byte is not case-folded", "[\x81\x41]\r\nk=1\r\n", "\x81\x61", "k", "2",
     "[\x81\x41]\r\nk=1\r\n[\x81\x61]\r\nk=2\r\n", "2"},
    {"duplicate sections: the first is written", "[a]\r\nk=1\r\n[a]\r\nk=2\r\n", "a", "k", "9",
     "[a]\r\nk=9\r\n[a]\r\nk=2\r\n", "9"},
    {"duplicate sections: a new key goes to the first", "[a]\r\nk=1\r\n[a]\r\nk=2\r\n", "a", "n", "5",
     "[a]\r\nk=1\r\nn=5\r\n[a]\r\nk=2\r\n", "5"},
    {"duplicate keys: the first is written", "[a]\r\nk=1\r\nk=2\r\n", "a", "k", "9", "[a]\r\nk=9\r\nk=2\r\n", "9"},
    {"comment that looks like the key is left alone", "[a]\r\n;k=1\r\n", "a", "k", "2", "[a]\r\n;k=1\r\nk=2\r\n", "2"},
    {"byte order mark kept", "\xEF\xBB\xBF[a]\r\nk=1\r\n", "a", "k", "2", "\xEF\xBB\xBF[a]\r\nk=2\r\n", "2"},
    {"file holding only a byte order mark", "\xEF\xBB\xBF", "s", "k", "v", "\xEF\xBB\xBF[s]\r\nk=v\r\n", "v"},
    {"binary garbage kept", bytes("\x00\xFFjunk\x01"), "s", "k", "v",
     bytes("\x00\xFFjunk\x01\r\n[s]\r\nk=v\r\n"), "v"},
    {"value written as it is, blanks too", std::nullopt, "a", "k", " x ", "[a]\r\nk= x \r\n", "x"},
    {"multi-line value: its lines become lines of the file", std::nullopt, kRecordSection, "详细信息", kRecordSummary,
     "[" + kRecordSection + "]\r\n详细信息=\r\n设备名称:我的iPhone\r\n设备类型:iPhone X\r\nDone!   -Kelm助手\r\n", ""},
    {"multi-line value with LF only", std::nullopt, "a", "k", "one\ntwo", "[a]\r\nk=one\ntwo\r\n", "one"},
    {"record after a multi-line record", "[r1]\r\n详细信息=\r\n设备名称:A\r\nDone!\r\n", "r2", "详细信息", "\r\nB",
     "[r1]\r\n详细信息=\r\n设备名称:A\r\nDone!\r\n[r2]\r\n详细信息=\r\nB\r\n", ""},
    {"second write to a multi-line key keeps the earlier lines", "[r]\r\n详细信息=\r\nA1\r\nA2\r\n[s]\r\n", "r",
     "详细信息", "\r\nB1", "[r]\r\n详细信息=\r\nB1\r\nA1\r\nA2\r\n[s]\r\n", ""},
    {"new key goes after the continuation lines", "[r]\r\n详细信息=\r\nA1\r\nA2\r\n\r\n[s]\r\n", "r", "k", "v",
     "[r]\r\n详细信息=\r\nA1\r\nA2\r\nk=v\r\n\r\n[s]\r\n", "v"},
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class IniWrite : public IniTest, public testing::WithParamInterface<WriteCase> {};

TEST_P(IniWrite, ChangesOneLineAndKeepsTheRest)
{
    const WriteCase& c = GetParam();
    if (c.before)
        put(path(), *c.before);
    ASSERT_TRUE(writeString(path(), c.section, c.key, c.value));
    EXPECT_EQ(get(path()), c.after);
    EXPECT_EQ(readString(path(), c.section, c.key), c.readBack);
    EXPECT_EQ(entries(), std::vector<std::string>{"test.ini"}) << "no temporary file is left behind";
}

INSTANTIATE_TEST_SUITE_P(Cases, IniWrite, testing::ValuesIn(kWriteCases), [](const auto& info) {
    std::string name;
    for (const char* p = info.param.name; *p != '\0'; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
});

TEST_F(IniTest, SettingsWrittenKeyByKeyReadBack)
{
    // The settings file as the program writes it, one key per call, in any order, with rewrites.
    const std::string file = path("settings.ini");
    ASSERT_TRUE(writeString(file, "保存连接记录", "开关", "1"));
    ASSERT_TRUE(writeString(file, "初次打开", "是否", "1"));
    ASSERT_TRUE(writeString(file, "主题颜色", "颜色", "16746496"));
    ASSERT_TRUE(writeString(file, "保存连接记录", "开关", "0"));
    ASSERT_TRUE(writeString(file, "软件边框", "边框", "4"));
    EXPECT_EQ(get(file), "[保存连接记录]\r\n开关=0\r\n[初次打开]\r\n是否=1\r\n[主题颜色]\r\n颜色=16746496\r\n"
                         "[软件边框]\r\n边框=4\r\n");
    EXPECT_EQ(readInt(file, "保存连接记录", "开关"), 0);
    EXPECT_EQ(readInt(file, "初次打开", "是否"), 1);
    EXPECT_EQ(readInt(file, "主题颜色", "颜色"), 16746496);
    EXPECT_EQ(readInt(file, "软件边框", "边框"), 4);
}

TEST_F(IniTest, RefusedNamesLeaveTheFileAlone)
{
    const std::string before = "[a]\r\nk=1\r\n";
    const std::pair<std::string, std::string> refused[] = {
        {"", "k"}, {"a", ""}, {"  ", "k"}, {"a", " \t "}, {"a", "k=x"}, {"a", "k\r\nx"}, {"a", "k\n"},
        {"a\r\nb", "k"}, {"a]b", "k"}, {"a", ";k"}, {"a", "[k"},
    };
    for (const auto& [section, key] : refused) {
        put(path(), before);
        EXPECT_FALSE(writeString(path(), section, key, "2")) << "section \"" << section << "\" key \"" << key << "\"";
        EXPECT_EQ(get(path()), before);
    }
    EXPECT_FALSE(writeString(path("new.ini"), "", "k", "v"));
    EXPECT_FALSE(fs::exists(path("new.ini")));
}

TEST_F(IniTest, FailedWritesDestroyNothing)
{
    const std::string before = "[a]\r\nk=1\r\n[b]\r\nk=2\r\n";
    // A read-only file stays as it is, even for root, who could otherwise replace it.
    put(path(), before);
    ASSERT_EQ(::chmod(path().c_str(), 0444), 0);
    EXPECT_FALSE(writeString(path(), "a", "k", "9"));
    EXPECT_FALSE(writeString(path(), "c", "k", "9"));
    EXPECT_EQ(get(path()), before);
    struct stat info {};
    ASSERT_EQ(::stat(path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);

    // Not a file, a folder that does not exist, a "folder" that is a file.
    EXPECT_FALSE(writeString(dir_.string(), "a", "k", "9"));
    EXPECT_FALSE(writeString(path("missing/sub.ini"), "a", "k", "9"));
    EXPECT_FALSE(writeString(path("test.ini/sub.ini"), "a", "k", "9"));
    EXPECT_FALSE(fs::exists(path("missing")));
    EXPECT_EQ(entries(), std::vector<std::string>{"test.ini"});
}

TEST_F(IniTest, UnwritableFolderRefusesTheWrite)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
    put(path(), "[a]\r\nk=1\r\n");
    ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
    EXPECT_FALSE(writeString(path(), "a", "k", "9"));
    EXPECT_EQ(get(path()), "[a]\r\nk=1\r\n");
}

TEST_F(IniTest, WriteKeepsPermissionsAndSymbolicLinks)
{
    put(path("real.ini"), "[a]\r\nk=1\r\n");
    ASSERT_EQ(::chmod(path("real.ini").c_str(), 0640), 0);
    fs::create_symlink(path("real.ini"), path("link.ini"));
    ASSERT_TRUE(writeString(path("link.ini"), "a", "k", "2"));
    EXPECT_TRUE(fs::is_symlink(path("link.ini")));
    EXPECT_EQ(get(path("real.ini")), "[a]\r\nk=2\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(path("real.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(IniTest, LongValuesAreCutToTheBufferAtACharacterBoundary)
{
    constexpr std::size_t kTenMegabytes = 10 * 1024 * 1024;
    const std::string ascii(kTenMegabytes, 'x');
    // Two-byte characters only: the 10239th byte would be the first half of one.
    std::string chinese;
    chinese.reserve(kTenMegabytes);
    while (chinese.size() < kTenMegabytes)
        chinese += "中";

    put(path(), "[before]\r\nk=1\r\n[after]\r\nk=2\r\n");
    ASSERT_TRUE(writeString(path(), "long", "ascii", ascii));
    ASSERT_TRUE(writeString(path(), "long", "gbk", chinese));
    EXPECT_EQ(fs::file_size(path()), 2 * kTenMegabytes + 29 + 22) << "the old file, \"[long]\", two key lines";
    // Compared with EXPECT_TRUE so that a failure does not print ten megabytes.
    const std::string readAscii = readString(path(), "long", "ascii");
    EXPECT_EQ(readAscii.size(), 10239u);
    EXPECT_TRUE(readAscii == ascii.substr(0, 10239));
    const std::string readChinese = readString(path(), "long", "gbk");
    EXPECT_EQ(readChinese.size(), 10238u) << "never half of a double-byte character";
    EXPECT_TRUE(readChinese == chinese.substr(0, 10238));
    EXPECT_EQ(readString(path(), "before", "k"), "1");
    EXPECT_EQ(readString(path(), "after", "k"), "2");

    ASSERT_TRUE(writeString(path(), "long", "ascii", "short"));
    EXPECT_EQ(readString(path(), "long", "ascii"), "short");
    EXPECT_TRUE(readString(path(), "long", "gbk") == readChinese);
    EXPECT_EQ(fs::file_size(path()), kTenMegabytes + 29 + 22 + 5);
}

TEST_F(IniTest, GbkPathWithBackslashes)
{
    // The program builds paths the Windows way: folder, backslash, GBK file name.
    const std::string folderUtf8 = platform::text::gbkToUtf8("设备记录");
    fs::create_directory(dir_ / folderUtf8);
    const std::string gbkPath = platform::text::utf8ToGbk(dir_.string()) + "\\设备记录\\Kelm助手_用户配置.ini";
    ASSERT_TRUE(writeString(gbkPath, "初次打开", "是否", "1"));
    EXPECT_TRUE(fs::exists(dir_ / folderUtf8 / platform::text::gbkToUtf8("Kelm助手_用户配置.ini")));
    EXPECT_EQ(readInt(gbkPath, "初次打开", "是否"), 1);
}

TEST_F(IniTest, TwoThreadsWritingOneFileLoseNothing)
{
    constexpr int kKeys = 40;
    auto writer = [this](const std::string& section) {
        for (int i = 0; i < kKeys; ++i)
            writeString(path(), section, "k" + std::to_string(i), std::to_string(i));
    };
    std::thread first(writer, "one");
    std::thread second(writer, "two");
    first.join();
    second.join();
    for (const char* section : {"one", "two"}) {
        for (int i = 0; i < kKeys; ++i)
            EXPECT_EQ(readInt(path(), section, "k" + std::to_string(i)), i) << section << " k" << i;
    }
}

} // namespace
