// The regular-expression object: the dialect and options, 1-based indexes, byte positions in the GBK
// subject, replacement, copies, and the neutral answers after a failure.
#include "online/regex_matcher.h"

#include "online/gbk_offsets.h"
#include "platform/text/text.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Case {
    const char *name;
    std::string pattern;
    std::string subject;
    bool caseSensitive = false;
    bool multiline = true;
    bool global = true;
    bool quoteEscape = false;
    std::vector<std::string> matches;
    std::vector<std::vector<std::string>> groups = {}; // per match, when given
};

const Case kCases[] = {
    {"list markers", "卡-(.*?)-密", "卡-abc-密 卡-d-密", false, true, true, false, {"卡-abc-密", "卡-d-密"}, {{"abc"}, {"d"}}},
    {"first only when not global", "卡-(.*?)-密", "卡-abc-密 卡-d-密", false, true, false, false, {"卡-abc-密"}, {{"abc"}}},
    {"markers do not span a line feed", "卡-(.*?)-密", "卡-a\n-密 卡-b-密", false, true, true, false, {"卡-b-密"}},
    {"case ignored by default", "abc", "xABCx", false, true, true, false, {"ABC"}},
    {"case kept when asked", "abc", "xABCx", true, true, true, false, {}},
    {"letters beyond ASCII fold", "α", "ΑΒ", false, true, true, false, {"Α"}},
    {"quote escape on", "a=#引号(\\w+)#引号", "a=\"xy\"", false, true, true, true, {"a=\"xy\""}, {{"xy"}}},
    {"quote escape off: no quote", "a=#引号(\\w+)#引号", "a=\"xy\"", false, true, true, false, {}},
    {"quote escape off: literal text", "a=#引号(\\w+)#引号", "a=#引号xy#引号", false, true, true, false,
     {"a=#引号xy#引号"}, {{"xy"}}},
    {"dot stops at LF", "a.b", "a\nb", false, true, true, false, {}},
    {"dot stops at CR", "a.b", "a\rb", false, true, true, false, {}},
    {"dot takes a space", "a.b", "a b", false, true, true, false, {"a b"}},
    {"multi-line anchors at LF", "^b$", "a\nb\nc", false, true, true, false, {"b"}},
    {"multi-line anchors at CRLF", "^b$", "a\r\nb\r\nc", false, true, true, false, {"b"}},
    {"single-line anchors at the ends only", "^b$", "a\nb\nc", false, false, true, false, {}},
    {"dollar is the very end", "a$", "a\n", false, false, true, false, {}},
    {"greedy", "<.+>", "<a><b>", false, true, true, false, {"<a><b>"}},
    {"lazy", "<.+?>", "<a><b>", false, true, true, false, {"<a>", "<b>"}},
    {"group that did not take part", "(a)|(b)", "b", false, true, true, false, {"b"}, {{"", "b"}}},
    {"empty matches advance", "x*", "ab", false, true, true, false, {"", "", ""}},
    {"empty and non-empty matches", "a*", "baab", false, true, true, false, {"", "aa", "", ""}},
    {"unicode escape", "\\u4e2d(.)", "a中文", false, true, true, false, {"中文"}, {{"文"}}},
    {"hex escape", "\\x41", "zA", true, true, true, false, {"A"}},
    {"any character class", "a[^]b", "a\nb", false, true, true, false, {"a\nb"}},
    {"back reference", "(a)\\1", "xaa", false, true, true, false, {"aa"}},
    {"unset back reference matches empty", "(?:(x)|y)\\1z", "yz", false, true, true, false, {"yz"}},
    {"not GBK bytes in the subject", "b+", "\xFF" "a\x80" "bb", false, true, true, false, {"bb"}},
};

TEST(RegexMatcherTest, DialectAndOptions)
{
    for (const Case &c : kCases) {
        RegexMatcher m;
        EXPECT_TRUE(m.Create(c.pattern, c.subject, c.caseSensitive, c.multiline, c.global, c.quoteEscape)) << c.name;
        ASSERT_EQ(m.MatchCount(), static_cast<int>(c.matches.size())) << c.name;
        for (size_t i = 0; i < c.matches.size(); ++i)
            EXPECT_EQ(m.MatchText(static_cast<int>(i) + 1), c.matches[i]) << c.name << " match " << i + 1;
        for (size_t i = 0; i < c.groups.size(); ++i) {
            EXPECT_EQ(m.SubMatchCount(), static_cast<int>(c.groups[i].size())) << c.name;
            for (size_t g = 0; g < c.groups[i].size(); ++g)
                EXPECT_EQ(m.SubMatchText(static_cast<int>(i) + 1, static_cast<int>(g) + 1), c.groups[i][g])
                    << c.name << " match " << i + 1 << " group " << g + 1;
        }
    }
}

TEST(RegexMatcherTest, IndexesOutsideTheMatchesGiveNeutralValues)
{
    RegexMatcher m;
    EXPECT_EQ(m.MatchCount(), 0);
    EXPECT_EQ(m.GetPattern(), "");
    EXPECT_EQ(m.Replace("x"), "");
    ASSERT_TRUE(m.Create("(a)(b)?", "a a"));
    int position = 99;
    for (const int index : {0, -1, 3, 1000}) {
        EXPECT_EQ(m.MatchText(index, &position), "") << index;
        EXPECT_EQ(position, -2) << index;
        EXPECT_EQ(m.SubMatchText(index, 1, &position), "") << index;
        EXPECT_EQ(position, -2) << index;
    }
    EXPECT_EQ(m.SubMatchText(1, 0), "");
    EXPECT_EQ(m.SubMatchText(1, 3), "");
    EXPECT_EQ(m.SubMatchText(1, 2, &position), ""); // did not take part
    EXPECT_EQ(position, -2);
    EXPECT_EQ(m.SubMatchCount(), 2);
    ASSERT_TRUE(m.Create("(z)", "a a"));
    EXPECT_EQ(m.SubMatchCount(), 0); // no match, no groups to count
}

TEST(RegexMatcherTest, PatternThatDoesNotCompile)
{
    for (const std::string pattern : {"(", "a{2,1}", "[b-a]", "\\"}) {
        RegexMatcher m;
        ASSERT_TRUE(m.Create("a", "a"));
        EXPECT_FALSE(m.Create(pattern, "a(b")) << pattern;
        EXPECT_EQ(m.MatchCount(), 0) << pattern;
        EXPECT_EQ(m.SubMatchCount(), 0) << pattern;
        EXPECT_EQ(m.MatchText(1), "") << pattern;
        EXPECT_EQ(m.Replace("x"), "") << pattern;
        EXPECT_EQ(m.GetPattern(), pattern);
    }
}

TEST(RegexMatcherTest, RunawaySearchIsAFailureNotAHang)
{
    RegexMatcher m;
    EXPECT_FALSE(m.Create("(a+)+b", std::string(40, 'a') + "cb"));
    EXPECT_EQ(m.MatchCount(), 0);
}

TEST(RegexMatcherTest, PositionsAreByteOffsetsInTheGbkSubject)
{
    struct PositionCase {
        std::string pattern, subject;
        std::vector<int> positions; // of each match
    };
    const PositionCase cases[] = {
        {"[a-d]+", "中文ab中cd", {4, 8}},          // two double-byte characters before: 2 more than the offset
        {"ab", "中中ab ab", {4, 7}},               // the same text twice: each at its own place
        {"AB", "中中ab ab", {4, 7}},               // found ignoring case
        {"ab", "\xFF中ab", {3}},                   // not well-formed GBK before the match
        {"x", "x", {0}},
    };
    for (const PositionCase &c : cases) {
        RegexMatcher m;
        ASSERT_TRUE(m.Create(c.pattern, c.subject));
        ASSERT_EQ(m.MatchCount(), static_cast<int>(c.positions.size())) << c.subject;
        for (size_t i = 0; i < c.positions.size(); ++i) {
            int position = -99;
            m.MatchText(static_cast<int>(i) + 1, &position);
            EXPECT_EQ(position, c.positions[i]) << c.subject << " match " << i + 1;
        }
    }
    RegexMatcher m;
    ASSERT_TRUE(m.Create("卡-(.*?)-密", "页面卡-软件=1+时间-密"));
    int position = -99;
    EXPECT_EQ(m.SubMatchText(1, 1, &position), "软件=1+时间");
    EXPECT_EQ(position, 7);
    EXPECT_EQ(m.MatchText(1, &position), "卡-软件=1+时间-密");
    EXPECT_EQ(position, 4);
}

TEST(RegexMatcherTest, Replace)
{
    const std::string subject = "卡-abc-密 卡-d-密";
    const std::pair<std::string, std::string> cases[] = {
        {"[$1]", "[abc] [d]"},
        {"$$", "$ $"},
        {"<$&>", "<卡-abc-密> <卡-d-密>"},
        {"$2$0", "$2$0 $2$0"},
        {"", " "},
    };
    for (const auto &[replacement, result] : cases) {
        RegexMatcher m;
        ASSERT_TRUE(m.Create("卡-(.*?)-密", subject));
        EXPECT_EQ(m.Replace(replacement), result) << replacement;
    }
    RegexMatcher first;
    ASSERT_TRUE(first.Create("卡-(.*?)-密", subject, false, true, false));
    EXPECT_EQ(first.Replace("[$1]"), "[abc] 卡-d-密");
    EXPECT_EQ(first.Replace(), " 卡-d-密");
    RegexMatcher around;
    ASSERT_TRUE(around.Create("b", "abc"));
    EXPECT_EQ(around.Replace("[$`|$']"), "a[a|c]c");
}

TEST(RegexMatcherTest, CopyDestroyAndPattern)
{
    auto m = std::make_unique<RegexMatcher>();
    ASSERT_TRUE(m->Create("x=#引号(.)#引号", "x=\"1\" x=\"2\"", false, true, true, true));
    EXPECT_EQ(m->GetPattern(), "x=\"(.)\"");
    std::unique_ptr<RegexMatcher> copy = m->Copy();
    ASSERT_TRUE(m->Create("y", "yy"));
    EXPECT_EQ(copy->MatchCount(), 2);
    EXPECT_EQ(copy->SubMatchText(2, 1), "2");
    int position = 0;
    copy->MatchText(2, &position);
    EXPECT_EQ(position, 6);
    EXPECT_EQ(copy->Replace("<$1>"), "<1> <2>");
    EXPECT_EQ(m->MatchCount(), 2);
    m->Noop();
    m->Destroy();
    EXPECT_EQ(m->MatchCount(), 0);
    EXPECT_EQ(m->GetPattern(), "");
    EXPECT_EQ(copy->MatchCount(), 2);
    copy->Destroy();
    EXPECT_EQ(copy->Replace("z"), "");
}

TEST(RegexMatcherTest, ListOutOfALargePage)
{
    std::string page;
    const std::string line = "<div class=\"row\">普通内容 ordinary content 0123456789</div>\r\n";
    while (page.size() < 10 * 1024 * 1024)
        page += line;
    page += "<p>卡-A=1+2024-03-01&nbsp;08:00:00|B=2+2024-05-01 00:00:00-密</p>\r\n";
    while (page.size() < 20 * 1024 * 1024)
        page += line;
    RegexMatcher m;
    ASSERT_TRUE(m.Create("卡-(.*?)-密", page));
    EXPECT_EQ(m.MatchCount(), 1);
    EXPECT_EQ(m.SubMatchText(1, 1), "A=1+2024-03-01&nbsp;08:00:00|B=2+2024-05-01 00:00:00");
    int position = 0;
    m.MatchText(1, &position);
    EXPECT_EQ(position, static_cast<int>(page.find("卡-A=1")));
}

TEST(GbkOffsetMapTest, AgreesWithTheDecoder)
{
    // ASCII, double-byte characters, 0x80, a GB18030 four-byte sequence, bytes that are no GBK, a
    // lead byte at the very end.
    const std::string text = std::string("a中\x80文b") + "\x81\x30\x81\x30" + "c\xFF" "d\x81\x7F" "e中\x81";
    const std::u16string units = platform::text::gbkToUtf16(text);
    GbkOffsetMap map(text);
    size_t answered = 0;
    for (size_t unit = 0; unit <= units.size(); ++unit) {
        const size_t byte = map.byteOffset(unit);
        if (byte == GbkOffsetMap::npos)
            continue;
        ++answered;
        EXPECT_EQ(platform::text::gbkToUtf16(std::string_view(text).substr(0, byte)), units.substr(0, unit)) << unit;
    }
    EXPECT_GE(answered, 6u); // up to the four-byte sequence every offset has its answer
    EXPECT_EQ(map.byteOffset(2), 3u);
    EXPECT_EQ(map.byteOffset(1), 1u); // backwards works too
    EXPECT_EQ(map.byteOffset(units.size() + 1), GbkOffsetMap::npos);
}

} // namespace
