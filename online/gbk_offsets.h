// Mapping positions in the UTF-16 form of a GBK text back to byte offsets in the GBK text, so that the
// regular-expression object can report where in the program's own text a match lies.
#pragma once

#include <cstddef>
#include <string_view>

class GbkOffsetMap {
public:
    // The text must outlive the map.
    explicit GbkOffsetMap(std::string_view gbk = {}) : text_(gbk) {}

    // The byte offset in the GBK text of the character that starts at UTF-16 offset `unit` of
    // platform::text::gbkToUtf16(text) (the text's size for the end). Returns npos for an offset beyond
    // the end, or when the text before it is not well-formed GBK (then the caller must find the
    // position another way). Walks forward from the last answer, so ascending look-ups cost the
    // distance between them.
    size_t byteOffset(size_t unit);

    static constexpr size_t npos = static_cast<size_t>(-1);

private:
    std::string_view text_;
    size_t unit_ = 0;
    size_t byte_ = 0;
};
