// UTF-16LE -> GBK and bytes -> hexadecimal.
#include "deviceinfo/value_text.h"

#include "platform/text/text.h"

std::string Utf16ToGbk(std::string_view utf16leBytes)
{
    std::u16string units;
    units.reserve(utf16leBytes.size() / 2 + 1);
    for (size_t i = 0; i < utf16leBytes.size(); i += 2) {
        const auto low = static_cast<unsigned char>(utf16leBytes[i]);
        const auto high = i + 1 < utf16leBytes.size() ? static_cast<unsigned char>(utf16leBytes[i + 1]) : 0u;
        const auto unit = static_cast<char16_t>(low | (high << 8));
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    if (units.empty())
        return {};
    return platform::text::utf16ToGbk(units);
}

std::string HexText(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.resize(bytes.size() * 2);
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[2 * i] = kDigits[byte >> 4];
        text[2 * i + 1] = kDigits[byte & 0x0F];
    }
    return text;
}
