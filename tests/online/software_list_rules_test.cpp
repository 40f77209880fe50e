// The software list's rules without a window: reading entry times, the status rule at a fixed "now",
// picture formatting, the remaining-time text, the text helpers, entries, picking the list text out
// of a page, and the install manifest byte for byte.
#include "online/date_time_text.h"
#include "online/install_manifest.h"
#include "online/software_entry.h"
#include "online/text_replace.h"
#include "app/outside_addresses.h"
#include "platform/datetime/format.h"

#include <QByteArray>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

double at(int y, int mo, int d, int h, int mi, int s)
{
    return *platform::datetime::toOleDate({y, mo, d, h, mi, s, 0});
}

TEST(ReadDateTimeTextTest, Table)
{
    const std::pair<const char *, const char *> cases[] = {
        {"2024-03-01 08:00:00", "20240301080000"},
        {"2024/3/1 8:0:0", "20240301080000"},
        {"2024.03.01", "20240301000000"},
        {"2024:03:01:08:00:00", "20240301080000"},
        {"2024年3月1日8时5分9秒", "20240301080509"},
        {"2024年03月01日", "20240301000000"},
        {"2024-03-01日08:00", "20240301080000"},
        {"20240313120000", "20240313120000"},
        {"２０２４－０３－０１　０８：００：００", "20240301080000"},
        {"２０２４年３月１日", "20240301000000"},
        {"2024-03-01 08", "20240301080000"},
        {"2024-03-01 08:30", "20240301083000"},
        {"2024-03-01 ", "20240301000000"},
        {"2024-02-29 23:59:59", "20240229235959"},
        {"0100-01-01", "01000101000000"},
        {"9999-12-31 23:59:59", "99991231235959"},
        // Not date-times: the earliest date.
        {"2024-03-01&nbsp;08:00:00", "01000101000000"},
        {"2024-02-30", "01000101000000"},
        {"2023-02-29", "01000101000000"},
        {"2024-13-01", "01000101000000"},
        {"2024-03-01 24:00:00", "01000101000000"},
        {"2024-03-01 08:60:00", "01000101000000"},
        {"2024-03-01 08:00:60", "01000101000000"},
        {"2024-03-01 08:00:00x", "01000101000000"},
        {"2024-03-01 08:00:00 ", "01000101000000"},
        {"2024--03-01", "01000101000000"},
        {"2024年3月1日8时5分9", "20240301080509"},
        {"2024-03-01 08:00:00秒秒", "01000101000000"},
        {"99-03-01", "01000101000000"},
        {"", "01000101000000"},
        {"永久", "01000101000000"},
    };
    for (const auto &[text, digits] : cases)
        EXPECT_EQ(DateTimeDigits(ReadDateTimeText(text)), digits) << text;
}

struct StatusCase {
    double now;
    const char *time;
    EntryStatusKind kind;
    const char *text;
};

TEST(EntryStatusTest, TableAtFixedNow)
{
    const double march13 = at(2024, 3, 13, 12, 0, 0);
    const StatusCase cases[] = {
        {march13, "2024-03-01 08:00:00", EntryStatusKind::Downloadable, "可以下载"},
        {march13, "2024-03-13 11:59:59", EntryStatusKind::Downloadable, "可以下载"},
        {march13, "no date", EntryStatusKind::Downloadable, "可以下载"},
        {march13, "", EntryStatusKind::Downloadable, "可以下载"},
        {march13, "2024-03-13 12:00:00", EntryStatusKind::Remaining, "剩余"},
        {march13, "2024-03-13 13:00:00", EntryStatusKind::Remaining, "剩余1时"},
        {march13, "2024-03-14 13:01:01", EntryStatusKind::Remaining, "剩余1天1时1分1秒"},
        {march13, "2024-08-11 11:59:59", EntryStatusKind::Remaining, "剩余150天23时59分59秒"},
        {march13, "2024-08-11 12:00:00", EntryStatusKind::Forbidden, "禁止下载"},
        {march13, "9999-12-31", EntryStatusKind::Forbidden, "禁止下载"},
        // A month ahead across a year's end: the 14-digit difference is 8900000000.
        {at(2024, 12, 1, 0, 0, 0), "2025-01-01 00:00:00", EntryStatusKind::Forbidden, "禁止下载"},
        // Across a month's end the difference jumps: 20240401000000 - 20240331235959 = 7641.
        {at(2024, 3, 31, 23, 59, 59), "2024-04-01 00:00:00", EntryStatusKind::Remaining, "剩余1秒"},
    };
    for (const auto &c : cases) {
        const EntryStatusResult status = ClassifyEntryTime(c.time, c.now);
        EXPECT_EQ(status.kind, c.kind) << c.time;
        EXPECT_EQ(status.text, c.text) << c.time;
    }
}

TEST(FormatDateTimeTest, Pictures)
{
    const double t = at(2024, 3, 5, 14, 7, 9); // a Tuesday
    struct Case {
        double t;
        const char *date;
        const char *time;
        bool force24;
        const char *out;
    };
    const Case cases[] = {
        {t, "yyyyMMdd", "hhmmss", true, "20240305140709"},
        {t, "yyyyMMdd", "hhmmss", false, "20240305020709"},
        {t, "yyyy年MM月dd日", "hh时mm分ss秒", true, "2024年03月05日14时07分09秒"},
        {t, "d/M/yy", " h:m:s tt", false, "5/3/24 2:7:9 下午"},
        {t, "dddd ddd", "HH", false, "星期二 周二14"},
        {t, "MMMM MMM", "", false, "三月 3月"},
        {t, "'yyyy'''", "'hh'", false, "yyyy'hh"},
        {at(1899, 12, 29, 6, 0, 0), "yyyyMMdd", "hhmmss", true, "18991229060000"},
        {at(100, 1, 1, 0, 0, 0), "yyyyMMdd", "hhmmss", true, "01000101000000"},
        {1e9, "yyyyMMdd", "hhmmss", true, ""},
        {-700000.0, "yyyyMMdd", "hhmmss", true, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatDateTime(c.t, c.date, c.time, c.force24, 0), c.out) << c.date << c.time;
    EXPECT_DOUBLE_EQ(at(1899, 12, 29, 6, 0, 0), -1.25);
}

TEST(RemainingTimeTextTest, Table)
{
    const double base = at(2024, 3, 13, 12, 0, 0);
    const std::pair<double, const char *> cases[] = {
        {base, ""},
        {at(2024, 3, 13, 12, 0, 1), "1秒"},
        {at(2024, 3, 13, 13, 0, 0), "1时"},
        {at(2024, 3, 14, 12, 0, 0), "1天"},
        {at(2024, 3, 14, 13, 1, 1), "1天1时1分1秒"},
        {at(2024, 3, 13, 11, 59, 0), "1分"},     // earlier: made positive
        {at(2025, 3, 13, 12, 0, 0), "365天"},    // a year without a 29 February in it
    };
    for (const auto &[later, text] : cases)
        EXPECT_EQ(RemainingTimeText(later, base), text);
}

TEST(ReplaceManyTest, Table)
{
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    struct Case {
        const char *text;
        int count;
        size_t start;
        bool caseSensitive;
        Pairs pairs;
        const char *out;
    };
    const Case cases[] = {
        {"a-b-c", 1, 1, false, {{"-", "+"}}, "a+b-c"},
        {"a-b-c", -1, 1, false, {{"-", "+"}}, "a+b+c"},
        {"a-b-c", -1, 3, false, {{"-", "+"}}, "a-b+c"},
        {"a-b-c", -1, 0, false, {{"-", "+"}}, "a+b+c"},
        {"a-b-c", 0, 1, false, {{"-", "+"}}, "a-b-c"},
        {"AbAB", -1, 1, false, {{"ab", "x"}}, "xx"},
        {"AbAB", -1, 1, true, {{"ab", "x"}}, "AbAB"},
        {"aa", -1, 1, true, {{"a", "aa"}}, "aaaa"},
        {"abc", -1, 1, true, {{"", "x"}}, "abc"},
        {"卡-卡-x-密-密", 3, 1, false, {{"卡-", ""}, {"-密", ""}}, "x"},
        {"t&nbsp;x&NBSP;y", 1, 1, false, {{"&nbsp;", " "}}, "t x&NBSP;y"},
        {"\x81\x41" "A", -1, 1, true, {{"A", "B"}}, "\x81\x41" "B"}, // never inside a double-byte character
        {"abc", -1, 9, true, {{"c", "x"}}, "abc"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ReplaceMany(c.text, c.count, c.start, c.caseSensitive, c.pairs), c.out) << c.text;
}

TEST(Utf8ToGbkTest, Table)
{
    const std::pair<std::string, std::string> cases[] = {
        {"\xE5\x8D\xA1-\xE5\xAF\x86", "卡-密"},
        {std::string("ab\0cd", 5), "ab"},
        {"", ""},
        {"\xFF" "a", "?a"},
        {"\xF0\x9F\x98\x80", "?"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(Utf8ToGbk(in), out);
}

TEST(SoftwareEntryTest, Table)
{
    struct Case {
        const char *piece;
        const char *name;
        const char *number;
        const char *time;
        bool hasTime;
    };
    const Case cases[] = {
        {"A=1+2024-03-01&nbsp;08:00:00", "A", "1", "2024-03-01 08:00:00", true},
        {"B=2+t&nbsp;x&nbsp;y", "B", "2", "t x&nbsp;y", true},
        {"C=3+t&NBSP;x", "C", "3", "t x", true},
        {"A=1+t+rest", "A", "1", "t", true},
        {"A=1=2+t", "A", "1", "", false},
        {"A=1", "A", "1", "", false},
        {"A=1+", "A", "1", "", false},
        {"A", "A", "", "", false},
        {"", "", "", "", false},
        {"=+t", "", "", "t", true},
        {"软件=12+2030-01-01", "软件", "12", "2030-01-01", true},
    };
    for (const auto &c : cases) {
        const SoftwareEntry e = ParseSoftwareEntry(c.piece);
        EXPECT_EQ(e.name, c.name) << c.piece;
        EXPECT_EQ(e.number, c.number) << c.piece;
        EXPECT_EQ(e.time, c.time) << c.piece;
        EXPECT_EQ(e.hasTime, c.hasTime) << c.piece;
    }
}

TEST(PickListTextTest, Table)
{
    struct Case {
        std::string page;
        bool found;
        const char *list;
    };
    const Case cases[] = {
        {"<p>卡-A=1+t|B=2+u-密</p>", true, "A=1+t|B=2+u"},
        {"卡-first-密 卡-second-密", true, "first"},
        {"卡-A=1+t\r\n-密", false, ""},
        {"卡-y\n卡-x-密", true, "x"},
        {"卡-卡-x-密", true, "x"},
        {"卡--密", true, ""},
        {"no markers here", false, ""},
        {"", false, ""},
    };
    for (const auto &c : cases) {
        bool found = !c.found;
        EXPECT_EQ(PickListText(c.page, found), c.list) << c.page;
        EXPECT_EQ(found, c.found) << c.page;
    }
}

TEST(PickListTextTest, TwentyMegabytePageAndHundredThousandEntries)
{
    std::string list;
    for (int i = 1; i <= 100000; ++i)
        list += "S" + std::to_string(i) + "=" + std::to_string(i) + "+2024-03-01&nbsp;08:00:00|";
    std::string page(10u << 20, 'x');
    for (size_t i = 100; i < page.size(); i += 101)
        page[i] = '\n';
    page += "卡-" + list + "-密";
    page.append(10u << 20, 'y');
    bool found = false;
    const std::string picked = PickListText(page, found);
    ASSERT_TRUE(found);
    EXPECT_EQ(picked, list);
}

std::string expectedManifest(const std::string &url, const std::string &image)
{
    const std::string lines[] = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "<plist version=\"1.0\">", "<dict>", "<key>items</key>",
        "<array>", "<dict>", "<key>assets</key>", "<array>", "<dict>", "<key>kind</key>",
        "<string>software-package</string>", "<key>url</key>", "<string><![CDATA[" + url + "]]></string>",
        "</dict>", "<dict>", "<key>kind</key>", "<string>display-image</string>", "<key>needs-shine</key>",
        "<integer>0</integer>", "<key>url</key>", "<string><![CDATA[" + image + "]]></string>", "</dict>",
        "<dict>", "<key>kind</key>", "<string>full-size-image</string>", "<key>needs-shine</key>", "<true/>",
        "<key>url</key>", "<string><![CDATA[" + image + "]]></string>", "</dict>", "</array>",
        "<key>metadata</key>", "<dict>", "<key>bundle-identifier</key>", "<string>com.ciqpfv</string>",
        "<key>bundle-version</key>", "<string><![CDATA[1.0.0]]></string>", "<key>kind</key>",
        "<string>software</string>", "<key>title</key>", "<string><![CDATA[\xE8\xBD\xAF\xE4\xBB\xB6]]></string>",
        "</dict>", "</dict>", "</array>", "</dict>", "</plist>"};
    static_assert(std::size(lines) == 46);
    std::string text;
    for (size_t i = 0; i < std::size(lines); ++i)
        text += (i ? "\r\n" : "") + lines[i];
    return text;
}

// The package address the manifest's XML holds, read back by an XML reader.
std::string readPackageUrl(const std::string &manifest)
{
    QXmlStreamReader xml(QByteArray::fromStdString(manifest));
    std::string url;
    bool nextIsUrl = false;
    int strings = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QStringLiteral("key"))
            nextIsUrl = xml.readElementText() == QStringLiteral("url");
        else if (xml.isStartElement() && xml.name() == QStringLiteral("string") && nextIsUrl && strings++ == 0)
            url = xml.readElementText().toStdString();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return url;
}

TEST(InstallManifestTest, ByteForByte)
{
    SetAddressForTesting(kIconHost, "127.0.0.1:8443");
    const std::string image = "https://127.0.0.1:8443/ipadown/img/logo.png";
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"https://127.0.0.1/a.ipa", "https://127.0.0.1/a.ipa"},
        {"/home/u/My App.ipa", "/home/u/My App.ipa"},
        {"a]]>b.ipa", "a]]]]><![CDATA[>b.ipa"},
        {"x&<y>.ipa", "x&<y>.ipa"},
    };
    for (const auto &[path, inCdata] : cases) {
        const std::string text = InstallManifestText(path);
        EXPECT_EQ(text, expectedManifest(inCdata, image)) << path;
        EXPECT_NE(text.substr(0, 3), "\xEF\xBB\xBF");
        EXPECT_NE(text.back(), '\n');
        EXPECT_EQ(readPackageUrl(text), path) << "the XML must stay well-formed and give the path back";
    }
    SetAddressForTesting(kIconHost, "");
}

} // namespace
