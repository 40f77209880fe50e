// The two text conversions of device values: UTF-16LE bytes to GBK text, and bytes to hexadecimal.
// Pure functions; any thread.
#pragma once

#include <string>
#include <string_view>

// UTF-16LE bytes to code page 936 text. Conversion ends at the first zero code unit; an odd trailing
// byte is read with one zero byte as a last code unit. Characters that the code page cannot represent
// (and unpaired surrogates) become its default character '?'. Empty input, or a first code unit of
// zero, gives "".
std::string Utf16ToGbk(std::string_view utf16leBytes);

// Upper-case hexadecimal of the bytes, two digits each, no separators: {00 AB 7F} -> "00AB7F".
std::string HexText(std::string_view bytes);
