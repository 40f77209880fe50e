// The request routine's text helpers: header names, text pieces, URL parts, cookie texts.
#include "online/web_request.h"

#include <gtest/gtest.h>

namespace {

struct NormalizeCase {
    std::string in;
    std::string out;
};
const NormalizeCase kNormalize[] = {
    {"content-type: a", "Content-Type: a"},
    {"CONTENT-type: a", "CONTENT-Type: a"},
    {"user-agent: X\r\naccept: */*", "User-Agent: X\r\nAccept: */*"},
    {"Mozilla/5.0 (Windows NT 10.0; Win64)", ""},
    {"a: 1\r\nbare line\r\nb-c-d: 2", "A: 1\r\nB-C-D: 2"},
    {"a: 1\r\n", "A: 1"},
    {"\r\n\r\nk: v", "K: v"},
    {"a:b:c", "A:b:c"},
    {"x-: v", "X-: v"},
    {"x-empty:", "X-Empty:"},
    {"中文-x: 值", "中文-X: 值"},
    {"", ""},
};

TEST(NormalizeHeaderNamesTest, Table)
{
    for (const auto &c : kNormalize)
        EXPECT_EQ(NormalizeHeaderNames(c.in), c.out) << c.in;
}

TEST(CapitalizeFirstTest, Table)
{
    const std::pair<std::string, std::string> cases[] = {
        {"abc", "Abc"}, {"Abc", "Abc"}, {"", ""}, {"1a", "1a"}, {"中a", "中a"}, {"z", "Z"}};
    for (const auto &[in, out] : cases)
        EXPECT_EQ(CapitalizeFirst(in), out) << in;
}

struct BetweenCase {
    std::string text, start, end;
    size_t position;
    bool ignoreCase;
    std::string out;
};
const BetweenCase kBetween[] = {
    {"a[b]c", "[", "]", 0, false, "b"},
    {"a[b]c[d]", "[", "]", 5, false, "d"},
    {"a[b]c[d]", "[", "]", 1, false, "b"},
    {"abc]", "[", "]", 0, false, ""},
    {"a[bc", "[", "]", 0, false, ""},
    {"Set-Cookie: a=1; path=/", "Set-Cookie:", ";", 0, false, " a=1"},
    {"X-USER-AGENT:q\r\n", "user-agent:", "\r\n", 0, true, "q"},
    {"X-USER-AGENT:q\r\n", "user-agent:", "\r\n", 0, false, ""},
    {"k=\"v\" rest", "k=#引号", "#引号", 0, false, "v"},
    // "\x81[" is one double-byte character: its second byte is no "[".
    {"\x81[x]", "[", "]", 0, false, ""},
    {"中[文]", "[", "]", 0, false, "文"},
};

TEST(TextBetweenTest, Table)
{
    for (const auto &c : kBetween)
        EXPECT_EQ(TextBetween(c.text, c.start, c.end, c.position, c.ignoreCase), c.out) << c.text;
}

TEST(TextPiecesTest, AfterFirstColonAndBeforeSeparator)
{
    EXPECT_EQ(TextAfterFirstColon("User-Agent:  X Y  "), "X Y");
    EXPECT_EQ(TextAfterFirstColon("no colon"), "");
    EXPECT_EQ(TextAfterFirstColon("a:b:c"), "b:c");
    EXPECT_EQ(TextAfterFirstColon(":"), "");
    EXPECT_EQ(TextBeforeSeparator("Set-Cookie: a=1", ": "), "Set-Cookie");
    EXPECT_EQ(TextBeforeSeparator("x: y: z", ": "), "x");
    EXPECT_EQ(TextBeforeSeparator("abc", ": "), "");
    EXPECT_EQ(TrimSpaces("  a b  "), "a b");
    EXPECT_EQ(TrimSpaces("   "), "");
    EXPECT_EQ(FindText("ab中AB", "ab", 1, true), 4u);
    EXPECT_EQ(FindText("中", "\xD0", 0, false), std::string::npos);
}

struct UrlCase {
    std::string url;
    std::string host;
    std::string hostWithPort;
    int port;
    std::string path;
};
const UrlCase kUrls[] = {
    {"www.example.com/a?b=1", "www.example.com", "www.example.com", 80, "/a?b=1"},
    {"https://WWW.Example.COM:8443", "www.example.com", "www.example.com:8443", 8443, "/"},
    {"http://Host/Path/X?Q=A#F", "host", "host", 80, "/Path/X?Q=A#F"},
    {"https://host/", "host", "host", 443, "/"},
    {"HTTPS://host/x", "host", "host", 443, "/x"},
    {"http://127.0.0.1:8080/a", "127.0.0.1", "127.0.0.1:8080", 8080, "/a"},
    {"http://h:abc/", "h", "h:abc", 0, "/"},
    {"http://h:99999/", "h", "h:99999", 99999, "/"},
    {"http://host", "host", "host", 80, "/"},
    {"http://a.com/x/a.com/y", "a.com", "a.com", 80, "/x/a.com/y"},
    {"", "", "", 80, "/"},
    // A host that also occurs inside the scheme.
    {"http://tp/x", "tp", "tp", 80, "/x"},
    {"https://s/x?y", "s", "s", 443, "/x?y"},
};

TEST(UrlPartsTest, Table)
{
    for (const auto &c : kUrls) {
        EXPECT_EQ(UrlHost(c.url, false), c.host) << c.url;
        EXPECT_EQ(UrlHost(c.url, true), c.hostWithPort) << c.url;
        EXPECT_EQ(UrlPort(c.url), c.port) << c.url;
        EXPECT_EQ(UrlPath(c.url), c.path) << c.url;
    }
}

TEST(CookiesTest, MergeTable)
{
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"a=1; b=2", "b=3; c=deleted", "b=3; a=1"},
        {"", "a=1; b=2", "a=1; b=2"},
        {"a=1", "", "a=1"},
        {"a=1;", "b=2;", "b=2; a=1"},
        {"a=1; a=1", "", "a=1"},
        {" x = 1 ", "x=2", "x=2"},
        {"a=1", "a=deleted", ""},
        {"flag; a=1", "flag", "flag; a=1"},
        {"", "", ""},
    };
    for (const auto &[oldText, newText, merged] : cases)
        EXPECT_EQ(MergeCookies(oldText, newText), merged) << oldText << " + " << newText;
}

TEST(CookiesTest, NamesAndDedupe)
{
    const std::pair<std::string, std::string> names[] = {
        {"a=1", "a"}, {" a = 1", "a"}, {"flag", "flag"}, {" flag ", "flag"}, {"=v", ""}, {"a=b=c", "a"}};
    for (const auto &[piece, name] : names)
        EXPECT_EQ(CookieName(piece), name) << piece;
    EXPECT_EQ(DedupeJoined("a; b; a; c; b", "; "), "a; b; c");
    EXPECT_EQ(DedupeJoined("", "; "), "");
    EXPECT_EQ(DedupeJoined("x||x|", "|"), "x|");
}

TEST(CookiesTest, FromHeaderBlock)
{
    const std::pair<std::string, std::string> cases[] = {
        {"HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n\r\n", "a=1; b=2"},
        {"HTTP/1.1 200 OK\r\nset-cookie: a=1\r\nSET-COOKIE:b=2;x\r\n\r\n", "a=1; b=2"},
        {"HTTP/1.1 200 OK\r\nSet-Cookie: flag\r\n\r\n", "flag"},
        {"HTTP/1.1 200 OK\r\nX-Set-Cookie: z=1\r\nSet-Cookie: ; path=/\r\n\r\n", ""},
        {std::string(5000, ' '), ""},
    };
    for (const auto &[block, cookies] : cases)
        EXPECT_EQ(CookiesFromHeaders(block), cookies) << block;
}

} // namespace
