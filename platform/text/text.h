// Text services of the program: code page 936 (GBK) <-> UTF-8 <-> UTF-16, splitting GBK text at a
// separator, and ASCII-only case handling. This is the one place where texts change encoding.
//
// Every text of the program is a GBK byte string in std::string. Encoding into GBK uses Microsoft's
// code page 936 table (0x80 is the euro sign); a character the code page cannot represent becomes the
// code page's default character '?'. Decoding GBK never fails: a byte sequence that is not GBK is read
// as a GB18030 four-byte sequence where it is one (a literal the compiler encoded as GB18030 with a
// character outside GBK), else as U+FFFD, one byte at a time.
//
// All functions are pure and may be called from any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform::text {

inline constexpr char kGbkDefaultChar = '?';

std::u16string gbkToUtf16(std::string_view gbk);
std::string utf16ToGbk(std::u16string_view utf16);
std::string gbkToUtf8(std::string_view gbk);
std::string utf8ToGbk(std::string_view utf8);
// Invalid UTF-8 sequences become U+FFFD.
std::u16string utf8ToUtf16(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(std::u16string_view utf16);

// True when the byte opens a double-byte GBK character (0x81..0xFE).
constexpr bool isGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// Splits a GBK text at every occurrence of `separator`:
// - a separator never matches inside a double-byte character;
// - empty pieces between adjacent separators (and before a leading separator) are kept;
// - a separator at the very end gives no empty piece after it;
// - an empty text gives no pieces;
// - an empty separator gives the whole text as the only piece.
std::vector<std::string> splitText(std::string_view text, std::string_view separator);

// Position of the first occurrence of `needle` in `text` at or after `from` that starts on a character
// boundary (never inside a double-byte character), or std::string_view::npos.
size_t findText(std::string_view text, std::string_view needle, size_t from = 0);

// Replaces every occurrence of `from` (character-aligned, as findText) with `to`.
std::string replaceAll(std::string_view text, std::string_view from, std::string_view to);

// Case handling that touches only the ASCII letters A-Z / a-z; every other byte (GBK bytes included)
// is compared and copied as it is.
char asciiToLower(char c);
char asciiToUpper(char c);
std::string asciiLower(std::string_view text);
std::string asciiUpper(std::string_view text);
// <0, 0 or >0 like strcmp, after ASCII lower-casing both sides.
int compareIgnoreAsciiCase(std::string_view a, std::string_view b);
bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b);

} // namespace platform::text
