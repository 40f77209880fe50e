// Code page conversions over glibc's iconv. Converters are opened once per thread and kept.
#include "platform/text/text.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace platform::text {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

// One iconv converter per direction and thread, reset before each use.
class Converter {
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible. Returns false at the first input the converter rejects;
    // `in`/`inLeft` then point at it.
    bool run(const char *&in, size_t &inLeft, std::string &out)
    {
        char buffer[4096];
        while (inLeft > 0) {
            char *dst = buffer;
            size_t dstLeft = sizeof buffer;
            char *src = const_cast<char *>(in);
            const size_t rc = iconv(cd_, &src, &inLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            in = src;
            if (rc == static_cast<size_t>(-1)) {
                if (errno == E2BIG)
                    continue;
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
                return false;
            }
        }
        return true;
    }

private:
    iconv_t cd_;
};

Converter &gbkDecoder()
{
    thread_local Converter c("UTF-16LE", "CP936");
    return c;
}
Converter &gb18030Decoder()
{
    thread_local Converter c("UTF-16LE", "GB18030");
    return c;
}
Converter &gbkEncoder()
{
    thread_local Converter c("CP936", "UTF-16LE");
    return c;
}

void appendUnits(std::u16string &out, const std::string &bytes)
{
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i])
                                            | (static_cast<unsigned char>(bytes[i + 1]) << 8)));
}

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

} // namespace

std::u16string gbkToUtf16(std::string_view gbk)
{
    std::u16string result;
    result.reserve(gbk.size());
    const char *in = gbk.data();
    size_t left = gbk.size();
    std::string bytes;
    while (left > 0) {
        bytes.clear();
        const bool done = gbkDecoder().run(in, left, bytes);
        appendUnits(result, bytes);
        if (done)
            break;
        // A four-byte GB18030 sequence, or a byte that is not text at all.
        if (left >= 4) {
            const char *probe = in;
            size_t probeLeft = 4;
            bytes.clear();
            if (gb18030Decoder().run(probe, probeLeft, bytes) && probeLeft == 0) {
                appendUnits(result, bytes);
                in += 4;
                left -= 4;
                continue;
            }
        }
        result.push_back(kReplacement);
        ++in;
        --left;
    }
    return result;
}

std::string utf16ToGbk(std::u16string_view utf16)
{
    std::string result;
    result.reserve(utf16.size() * 2);
    std::string units;
    units.reserve(utf16.size() * 2);
    for (const char16_t u : utf16) {
        units.push_back(static_cast<char>(u & 0xFF));
        units.push_back(static_cast<char>(u >> 8));
    }
    const char *in = units.data();
    size_t left = units.size();
    while (left > 0) {
        if (gbkEncoder().run(in, left, result))
            break;
        // One code point the code page has no form for (a surrogate pair counts as one).
        const size_t i = static_cast<size_t>(in - units.data()) / 2;
        result.push_back(kGbkDefaultChar);
        const size_t skip = (isHighSurrogate(utf16[i]) && i + 1 < utf16.size() && isLowSurrogate(utf16[i + 1])) ? 2 : 1;
        in += 2 * skip;
        left -= 2 * skip;
    }
    return result;
}

std::string gbkToUtf8(std::string_view gbk) { return utf16ToUtf8(gbkToUtf16(gbk)); }

std::string utf8ToGbk(std::string_view utf8) { return utf16ToGbk(utf8ToUtf16(utf8)); }

std::u16string utf8ToUtf16(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    const size_t n = s.size();
    auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    auto cont = [&](size_t k) { return k < n && (byte(k) & 0xC0) == 0x80; };
    while (i < n) {
        const unsigned char b = byte(i);
        char32_t cp = 0;
        size_t len = 0;
        if (b < 0x80) {
            cp = b;
            len = 1;
        } else if (b >= 0xC2 && b <= 0xDF && cont(i + 1)) {
            cp = ((b & 0x1Fu) << 6) | (byte(i + 1) & 0x3Fu);
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF && cont(i + 1) && cont(i + 2)) {
            cp = ((b & 0x0Fu) << 12) | ((byte(i + 1) & 0x3Fu) << 6) | (byte(i + 2) & 0x3Fu);
            len = 3;
            if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))
                len = 0;
        } else if (b >= 0xF0 && b <= 0xF4 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
            cp = ((b & 0x07u) << 18) | ((byte(i + 1) & 0x3Fu) << 12) | ((byte(i + 2) & 0x3Fu) << 6)
                 | (byte(i + 3) & 0x3Fu);
            len = 4;
            if (cp < 0x10000 || cp > 0x10FFFF)
                len = 0;
        }
        if (len == 0) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size() * 3);
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (isHighSurrogate(s[i]) && i + 1 < s.size() && isLowSurrogate(s[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (isHighSurrogate(s[i]) || isLowSurrogate(s[i])) {
            cp = kReplacement;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

} // namespace platform::text
