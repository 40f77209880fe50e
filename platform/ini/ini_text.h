// The INI file as a text: finding a key's value and editing one key, on the bytes of the whole file.
// Internal to the ini service; the rules are those stated in ini.h. Pure functions, any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::ini::detail {

// Names as written and compared: blanks (spaces, tabs) at both ends removed.
std::string_view trimBlanks(std::string_view text);

// Equal when equal after lower-casing the ASCII letters; the bytes of double-byte GBK characters (whose
// second byte may look like an ASCII letter) are compared exactly.
bool sameName(std::string_view a, std::string_view b);

// The raw value of the first `key` in the first `section` of `file` (blanks around it removed, quotes
// kept), or nullopt when there is none. `section` and `key` are already trimmed.
std::optional<std::string_view> findValue(std::string_view file, std::string_view section, std::string_view key);

// `file` with `key` of `section` set to `value` (rules in ini.h). Names are already trimmed and valid.
std::string withValue(std::string_view file, std::string_view section, std::string_view key, std::string_view value);

} // namespace platform::ini::detail
