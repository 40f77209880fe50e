// Text helpers of the software list: UTF-8 page text to GBK, and several find/replace passes in one
// call. Texts are GBK; searches never match inside a double-byte character and case-insensitive
// comparison touches only the ASCII letters. Pure functions; any thread.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The characters of a UTF-8 text as GBK. The input ends at its first zero byte; bytes that are no
// UTF-8 become U+FFFD first and characters GBK lacks become its default character "?", as the
// Windows conversions do. Empty in, empty out.
std::string Utf8ToGbk(std::string_view utf8);

// Applies the find/replacement pairs one after another to the running text. Each pass replaces, from
// the 1-based `start` (0 counts as 1; the text before it is kept unchanged), at most `count`
// occurrences (a negative count: every occurrence), comparing case only when `caseSensitive`. Pairs
// with an empty find text change nothing. Replacement text is never searched again.
std::string ReplaceMany(std::string_view text, int count, size_t start, bool caseSensitive,
                        const std::vector<std::pair<std::string, std::string>> &pairs);
