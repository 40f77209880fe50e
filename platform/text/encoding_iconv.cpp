// Code page conversions over glibc's iconv. Converters are opened once per thread and kept.
#include "platform/text/text.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <vector>

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
Converter &gb18030Decoder()
{
    thread_local Converter c("UTF-16LE", "GB18030");
    return c;
}

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Lookup tables made once from the converter itself, so the conversions below give exactly the
// converter's results while handing it only the sequences a table cannot answer (a four-byte GB18030
// sequence, a byte that is no text, a code point beyond the BMP). Walking a 5 MB page through iconv
// call by call cost most of the time of picking the software list out of it. Each direction's table
// is made on its first use (a few milliseconds).
struct DecodeTables {
    std::vector<char16_t> pair;  // (lead - 0x81) * 256 + trail -> unit; 0: not a character
    char16_t single[256] = {};   // byte -> unit for single bytes 0x80..0xFF; 0: not a character
};

// One conversion of a short sequence as UTF-16LE bytes; empty when the converter refuses it.
std::string convertWhole(Converter &converter, const char *bytes, size_t size)
{
    std::string out;
    const char *in = bytes;
    size_t left = size;
    if (!converter.run(in, left, out) || left != 0)
        return {};
    return out;
}

const DecodeTables &decodeTables()
{
    static const DecodeTables tables = [] {
        DecodeTables t;
        Converter decoder("UTF-16LE", "CP936");
        auto decodeOne = [&](const char *bytes, size_t size) -> char16_t {
            const std::string out = convertWhole(decoder, bytes, size);
            if (out.size() != 2)
                return 0;
            return static_cast<char16_t>(static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
        };
        for (int b = 0x80; b <= 0xFF; ++b) {
            const char byte = static_cast<char>(b);
            t.single[b] = decodeOne(&byte, 1);
        }
        t.pair.assign(126 * 256, 0);
        for (int lead = 0x81; lead <= 0xFE; ++lead)
            for (int trail = 0; trail <= 0xFF; ++trail) {
                const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                t.pair[static_cast<size_t>((lead - 0x81) * 256 + trail)] = decodeOne(pair, 2);
            }
        return t;
    }();
    return tables;
}

// BMP unit -> (length << 16) | bytes (lead byte first); 0: the code page has no form for it.
const std::vector<uint32_t> &encodeTable()
{
    static const std::vector<uint32_t> table = [] {
        std::vector<uint32_t> t(0x10000, 0);
        Converter encoder("CP936", "UTF-16LE");
        for (uint32_t u = 0x80; u <= 0xFFFF; ++u) {
            if (u >= 0xD800 && u <= 0xDFFF)
                continue;
            const char units[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
            const std::string out = convertWhole(encoder, units, 2);
            if (out.empty() || out.size() > 2)
                continue;
            uint32_t bytes = 0;
            for (const char c : out)
                bytes = (bytes << 8) | static_cast<unsigned char>(c);
            t[u] = (static_cast<uint32_t>(out.size()) << 16) | bytes;
        }
        return t;
    }();
    return table;
}

} // namespace

std::u16string gbkToUtf16(std::string_view gbk)
{
    const DecodeTables &tables = decodeTables();
    // Never more units than bytes: written in place, trimmed at the end.
    std::u16string result(gbk.size(), u'\0');
    char16_t *out = result.data();
    const auto *bytes = reinterpret_cast<const unsigned char *>(gbk.data());
    const size_t n = gbk.size();
    size_t i = 0;
    std::string fourByte;
    while (i < n) {
        const unsigned char b = bytes[i];
        if (b < 0x80) {
            // Runs of ASCII (most of a web page) are widened eight bytes at a time.
            while (i + 8 <= n) {
                uint64_t chunk;
                std::memcpy(&chunk, bytes + i, 8);
                if (chunk & 0x8080808080808080ULL)
                    break;
                for (int k = 0; k < 8; ++k)
                    out[k] = bytes[i + k];
                out += 8;
                i += 8;
            }
            if (i < n && bytes[i] < 0x80) {
                *out++ = bytes[i];
                ++i;
            }
            continue;
        }
        if (isGbkLeadByte(b)) {
            if (i + 1 < n) {
                const char16_t unit = tables.pair[static_cast<size_t>((b - 0x81) * 256 + bytes[i + 1])];
                if (unit != 0) {
                    *out++ = unit;
                    i += 2;
                    continue;
                }
            }
        } else if (tables.single[b] != 0) {
            *out++ = tables.single[b];
            ++i;
            continue;
        }
        // A four-byte GB18030 sequence, or a byte that is not text at all.
        if (n - i >= 4) {
            const char *probe = gbk.data() + i;
            size_t probeLeft = 4;
            fourByte.clear();
            if (gb18030Decoder().run(probe, probeLeft, fourByte) && probeLeft == 0 && fourByte.size() <= 8) {
                for (size_t k = 0; k + 1 < fourByte.size(); k += 2)
                    *out++ = static_cast<char16_t>(static_cast<unsigned char>(fourByte[k])
                                                   | (static_cast<unsigned char>(fourByte[k + 1]) << 8));
                i += 4;
                continue;
            }
        }
        *out++ = kReplacement;
        ++i;
    }
    result.resize(static_cast<size_t>(out - result.data()));
    return result;
}

std::string utf16ToGbk(std::u16string_view utf16)
{
    const std::vector<uint32_t> &table = encodeTable();
    // At most two bytes a unit: written in place, trimmed at the end.
    std::string result(utf16.size() * 2, '\0');
    char *out = result.data();
    for (size_t i = 0; i < utf16.size(); ++i) {
        const char16_t u = utf16[i];
        if (u < 0x80) {
            *out++ = static_cast<char>(u);
            continue;
        }
        if (isHighSurrogate(u) && i + 1 < utf16.size() && isLowSurrogate(utf16[i + 1])) {
            // A code point beyond the table: the converter decides (it drops the tag characters).
            const char units[4] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8),
                                   static_cast<char>(utf16[i + 1] & 0xFF), static_cast<char>(utf16[i + 1] >> 8)};
            const char *in = units;
            size_t left = sizeof units;
            std::string converted;
            thread_local Converter encoder("CP936", "UTF-16LE");
            if (!encoder.run(in, left, converted) || left != 0 || converted.size() > 4)
                converted.assign(1, kGbkDefaultChar);
            for (const char c : converted)
                *out++ = c;
            ++i;
            continue;
        }
        const uint32_t form = table[u];
        if (form == 0) {
            // A unit the code page has no form for.
            *out++ = kGbkDefaultChar;
            continue;
        }
        if ((form >> 16) == 2)
            *out++ = static_cast<char>((form >> 8) & 0xFF);
        *out++ = static_cast<char>(form & 0xFF);
    }
    result.resize(static_cast<size_t>(out - result.data()));
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
