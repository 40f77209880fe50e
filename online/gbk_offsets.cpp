// Character-by-character walk over a GBK text, one UTF-16 unit per single byte or valid double-byte
// pair, as the text service's decoder reads well-formed GBK. Where the text is not well-formed (a lead
// byte without a valid partner, four-byte GB18030 sequences) the decoder's reading depends on more
// than one character, and the walk gives up instead of guessing.
#include "online/gbk_offsets.h"

#include "platform/text/text.h"

#include <array>
#include <bitset>
#include <mutex>
#include <string>

namespace {

// Which (lead, trail) byte pairs the decoder reads as one character. Found once by decoding every
// pair of a lead byte, separated by spaces (a space never belongs to a multi-byte sequence).
const std::bitset<65536> &validPairs()
{
    static std::bitset<65536> pairs;
    static std::once_flag once;
    std::call_once(once, [] {
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            std::string probe;
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                probe += static_cast<char>(lead);
                probe += static_cast<char>(trail);
                probe += ' ';
            }
            const std::u16string units = platform::text::gbkToUtf16(probe);
            size_t at = 0;
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                const size_t space = units.find(u' ', at);
                if (space == std::u16string::npos)
                    break;
                if (space - at == 1)
                    pairs.set(static_cast<size_t>(lead << 8 | trail));
                at = space + 1;
            }
        }
    });
    return pairs;
}

} // namespace

size_t GbkOffsetMap::byteOffset(size_t unit)
{
    if (unit < unit_) {
        unit_ = 0;
        byte_ = 0;
    }
    const auto &pairs = validPairs();
    while (unit_ < unit) {
        if (byte_ >= text_.size())
            return npos;
        const auto b = static_cast<unsigned char>(text_[byte_]);
        size_t bytes = 1;
        if (platform::text::isGbkLeadByte(b)) {
            if (byte_ + 1 >= text_.size())
                return npos;
            if (!pairs.test(static_cast<size_t>(b << 8 | static_cast<unsigned char>(text_[byte_ + 1]))))
                return npos;
            bytes = 2;
        }
        ++unit_;
        byte_ += bytes;
    }
    return byte_;
}
