// Private-profile (INI) files, read and written key by key the way the Windows private-profile
// functions do it, for the program's settings file and its connection record file.
//
// Texts. Paths, section names, key names and values are GBK byte strings; names and values are stored
// and compared as bytes, never converted. A path is converted to UTF-8 for the file system, and a
// backslash in it is taken as a folder separator ("...\Documents\Kelm助手_用户配置.ini" works as
// written). A relative path is relative to the current directory (Linux has no Windows folder to
// fall back on).
//
// File format, as read:
//   - Lines end in CR LF, LF or a lone CR, in any mix. A UTF-8 byte order mark at the very start is
//     skipped (and kept on writes); nothing else about the file is interpreted, NUL bytes included.
//   - A line whose first non-blank character is '[' opens a section; its name is the text up to the
//     first ']' (or to the end of the line), blanks around it removed.
//   - A line whose first non-blank character is ';' is a comment.
//   - Any other line with an '=' is a key: the name before the first '=', the value after it, blanks
//     (spaces and tabs) around both removed. Lines without '=' (blank lines, the continuation lines of
//     a multi-line value) belong to no key.
//   - Names are compared case-insensitively for the ASCII letters only; bytes of double-byte
//     characters are compared exactly.
//   - With two sections of the same name, only the first is used; with two keys of the same name in a
//     section, only the first.
//
// Writes change the file as a text: everything but the one line written stays byte for byte. Each write
// makes the whole new file beside the old one and renames it over the old, so a crash leaves either the
// old or the new file, never a half-written one (the file's permission bits are kept; hard links to it
// are not).
//
// Any thread may call; writes within the process are serialised, so two threads writing keys of the
// same file lose nothing. Nothing is cached: every call reads the file afresh.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform::ini {

// Longest value a read returns, in bytes: the program reads into a 10240-byte buffer, one byte of
// which holds the terminating zero.
inline constexpr std::size_t kMaxValueBytes = 10239;

// The value of `key` in `section` of the file at `path`: blanks around it removed, and one pair of
// matching quotes ('"' or '\'') around the whole value removed; cut at a NUL byte, as the program's
// zero-terminated buffer would be. A longer value is cut to kMaxValueBytes, never inside a double-byte
// character. Returns "" (the program's default) when the file cannot be read, or the section or key is
// absent or empty.
std::string readString(std::string_view path, std::string_view section, std::string_view key);

// readString as a 32-bit integer: an optional sign and the leading decimal digits; a value outside the
// 32-bit range gives the nearest end of it. A missing, empty or non-numeric value ("abc", "0x10", "-")
// reads as 0.
std::int32_t readInt(std::string_view path, std::string_view section, std::string_view key);

// Sets `key` in `section` to `value`, creating the file on the first write.
//   - An existing key (the first of that name in the first section of that name) gets the new value in
//     place: its line keeps everything up to and including the '=', and the rest of that line becomes
//     the value. Lines after it, such as the continuation lines of an earlier multi-line value, stay.
//   - A new key is added as the line "key=value" after the last non-blank line of its section.
//   - A new section is added at the end of the file as "[section]" and "key=value".
//   - New lines end in CR LF; if the file's last line has no line end, one is added first.
//   - The value goes into the file as it is: line breaks in it start new lines of the file, so a
//     value "\r\na:1\r\nb:2" leaves the line "key=" followed by the lines "a:1" and "b:2". Reading it
//     back gives only what is on the key's own line.
// Returns false, and leaves the file as it was, when a name is empty or holds a line break, a key name
// holds '=' or starts with ';' or '[', a section name holds ']', the file is read-only (no write
// permission bit, even for root) or cannot be read, or the new file cannot be written or renamed into
// place.
bool writeString(std::string_view path, std::string_view section, std::string_view key, std::string_view value);

} // namespace platform::ini
