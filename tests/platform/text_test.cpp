// Code page conversions, the GBK-aware split and the ASCII-only case rules.
#include "platform/text/text.h"

#include <gtest/gtest.h>

using namespace platform::text;

namespace {

struct SplitCase {
    const char *name;
    std::string text;
    std::string separator;
    std::vector<std::string> pieces;
};

// "中" is D6 D0 and "文" is CE C4 in GBK; "\xD0\xCE" spans the two characters, so it must never match.
const SplitCase kSplitCases[] = {
    {"plain", "a,b,c", ",", {"a", "b", "c"}},
    {"adjacent separators keep empty pieces", "a,,b", ",", {"a", "", "b"}},
    {"leading separator", ",a", ",", {"", "a"}},
    {"trailing separator gives no empty piece", "a,b,", ",", {"a", "b"}},
    {"two trailing separators keep the piece between them", "a,,", ",", {"a", ""}},
    {"separator alone", ",", ",", {""}},
    {"empty text gives nothing", "", ",", {}},
    {"no separator present", "abc", ",", {"abc"}},
    {"multi-byte separator", "a\r\nb\r\n\r\nc", "\r\n", {"a", "b", "", "c"}},
    {"never inside a double-byte character", "中文", "\xD0\xCE", {"中文"}},
    {"trail byte equal to separator", "\x81\x2C,x", ",", {"\x81\x2C", "x"}},
    {"GBK separator", "甲中乙中", "中", {"甲", "乙"}},
    {"empty separator", "ab", "", {"ab"}},
};

class SplitTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, FollowsTheSplitRule) { EXPECT_EQ(splitText(GetParam().text, GetParam().separator), GetParam().pieces); }

INSTANTIATE_TEST_SUITE_P(Cases, SplitTest, testing::ValuesIn(kSplitCases),
                         [](const auto &info) {
                             std::string n;
                             for (const char c : std::string(info.param.name))
                                 n += (std::isalnum(static_cast<unsigned char>(c)) ? c : '_');
                             return n;
                         });

TEST(TextFind, SkipsDoubleByteCharacters)
{
    EXPECT_EQ(findText("中文", "\xD0\xCE"), std::string_view::npos);
    EXPECT_EQ(findText("中文", "文"), 2u);
    EXPECT_EQ(findText("ab中ab", "ab", 1), 4u);
    EXPECT_EQ(replaceAll("中文中文", "文", "x"), "中x中x");
    EXPECT_EQ(replaceAll("\x81\x2C,", ",", ";"), "\x81\x2C;");
}

struct ConversionCase {
    const char *name;
    std::string gbk;
    std::u16string utf16;
};

// Literals of this file are GBK bytes (the program's texts are compiled that way).
const ConversionCase kConversions[] = {
    {"ascii", "iPhone", u"iPhone"},
    {"chinese", "设备连接成功", u"设备连接成功"},
    {"euro is 0x80 in code page 936", "\x80", u"€"},
    {"full width punctuation", "，；：", u"，；："},
    {"empty", "", u""},
    {"em dash and middle dot", "\xA1\xAA\xA1\xA4", u"\u2014\u00B7"},
};

TEST(TextConversion, RoundTripsBetweenGbkUtf16AndUtf8)
{
    for (const auto &c : kConversions) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(gbkToUtf16(c.gbk), c.utf16);
        EXPECT_EQ(utf16ToGbk(c.utf16), c.gbk);
        EXPECT_EQ(utf8ToGbk(gbkToUtf8(c.gbk)), c.gbk);
        EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(c.utf16)), c.utf16);
    }
}

TEST(TextConversion, UnrepresentableCharactersBecomeTheDefaultCharacter)
{
    // U+30FB, an emoji (surrogate pair, one '?'), an unpaired surrogate.
    EXPECT_EQ(utf16ToGbk(u"a\u30FBb"), "a?b");
    EXPECT_EQ(utf16ToGbk(u"x\U0001F600y"), "x?y");
    EXPECT_EQ(utf16ToGbk(std::u16string{u'a', char16_t(0xD800), u'b'}), "a?b");
    EXPECT_EQ(utf8ToGbk("\xF0\x9F\x98\x80\xE4\xB8\xAD"), "?中"); // UTF-8 bytes of an emoji and 中
}

TEST(TextConversion, BrokenInputDecodesWithoutLoss)
{
    // A lone lead byte at the end, 0xFF, and a GB18030 four-byte sequence (U+00B5).
    EXPECT_EQ(gbkToUtf16("a\xD6"), u"a\uFFFD");
    EXPECT_EQ(gbkToUtf16("\xFF" "a"), u"\uFFFDa");
    EXPECT_EQ(gbkToUtf16("\x81\x30\x85\x38"), u"\u00B5");
    EXPECT_EQ(utf8ToUtf16("a\xC3"), u"a\uFFFD");
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
}

TEST(TextConversion, LongTextsConvertWhole)
{
    std::string gbk;
    for (int i = 0; i < 10000; ++i)
        gbk += "中a";
    const auto u = gbkToUtf16(gbk);
    ASSERT_EQ(u.size(), 20000u);
    EXPECT_EQ(utf16ToGbk(u), gbk);
}

TEST(TextCase, OnlyAsciiLettersChange)
{
    EXPECT_EQ(asciiUpper("i4Tools.exe 中"), "I4TOOLS.EXE 中");
    EXPECT_EQ(asciiLower("ITUNES.EXE"), "itunes.exe");
    // 0xC1 0xE1 would change under a Latin-1 case rule; GBK bytes must stay.
    EXPECT_EQ(asciiLower("\xC1\xE1"), "\xC1\xE1");
    EXPECT_TRUE(equalsIgnoreAsciiCase("iTunes.exe", "ITUNES.EXE"));
    EXPECT_FALSE(equalsIgnoreAsciiCase("iTunes.exe", "iTunes.ex"));
    EXPECT_FALSE(equalsIgnoreAsciiCase("\xC1", "\xE1"));
    // The second byte of a double-byte character is not a letter: 0x81 0x41 and 0x81 0x61 differ.
    EXPECT_FALSE(equalsIgnoreAsciiCase("\x81\x41", "\x81\x61"));
    EXPECT_EQ(asciiUpper("\x81\x61" "a"), "\x81\x61" "A");
    EXPECT_LT(compareIgnoreAsciiCase("abc", "ABD"), 0);
    EXPECT_GT(compareIgnoreAsciiCase("abcd", "ABC"), 0);
    EXPECT_EQ(compareIgnoreAsciiCase("MobileDevice.dll", "mobiledevice.DLL"), 0);
}

} // namespace
