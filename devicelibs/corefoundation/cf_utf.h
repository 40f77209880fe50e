// UTF-8 <-> UTF-16 conversion used by the string functions. Pure functions, any thread.
#pragma once

#include <string>
#include <string_view>

namespace kelmcf {

// Decodes UTF-8; each invalid or truncated sequence becomes U+FFFD. *valid (when given) tells
// whether the input was valid UTF-8 (overlong forms and encoded surrogates are invalid).
std::u16string utf8ToUtf16(std::string_view text, bool *valid = nullptr);

// Encodes UTF-16; a lone surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view units);

} // namespace kelmcf
