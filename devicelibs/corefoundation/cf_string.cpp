// CF strings: UTF-16 units (what the program reads) with their UTF-8 form kept beside them (what
// the device stack needs), and the interned constant strings the program makes for keys.
#include "cf_object.h"
#include "cf_utf.h"

#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

using namespace kelmcf;

kelmcf::String::String(std::u16string units, bool immortal)
    : Object(kType, immortal), units_(std::move(units)), utf8_(utf16ToUtf8(units_)), ascii_(true)
{
    for (char16_t unit : units_)
        if (unit >= 0x80)
            ascii_ = false;
}

namespace {

// Interned strings live for the whole process: the table is never destroyed, so a constant string
// handed out stays valid even while static destructors run at exit.
struct InternTable {
    std::mutex mutex;
    std::unordered_map<std::string, const String *> strings;
};

InternTable &internTable()
{
    static auto *table = new InternTable;
    return *table;
}

bool encodingSupported(CFStringEncoding encoding)
{
    return encoding == kCFStringEncodingUTF8 || encoding == kCFStringEncodingASCII;
}

} // namespace

extern "C" {

KELM_CF_EXPORT CFStringRef __CFStringMakeConstantString(const char *cStr)
{
    if (cStr == nullptr)
        return nullptr;
    InternTable &table = internTable();
    std::lock_guard lock(table.mutex);
    auto [it, inserted] = table.strings.try_emplace(cStr, nullptr);
    if (inserted)
        it->second = new String(utf8ToUtf16(it->first), /*immortal=*/true);
    return toRef(it->second);
}

KELM_CF_EXPORT CFStringRef CFStringCreateWithCString(CFAllocatorRef, const char *cStr, CFStringEncoding encoding)
{
    if (cStr == nullptr || !encodingSupported(encoding))
        return nullptr;
    std::string_view text(cStr);
    if (encoding == kCFStringEncodingASCII) {
        for (char c : text)
            if (static_cast<unsigned char>(c) >= 0x80)
                return nullptr;
    }
    bool valid = true;
    std::u16string units = utf8ToUtf16(text, &valid);
    if (!valid)
        return nullptr;
    return toRef(new String(std::move(units), false));
}

KELM_CF_EXPORT CFStringRef CFStringCreateWithCharacters(CFAllocatorRef, const UniChar *chars, CFIndex numChars)
{
    if (numChars < 0 || (chars == nullptr && numChars > 0))
        return nullptr;
    std::u16string units(static_cast<size_t>(numChars), u'\0');
    if (numChars > 0)
        std::memcpy(units.data(), chars, static_cast<size_t>(numChars) * sizeof(UniChar));
    return toRef(new String(std::move(units), false));
}

KELM_CF_EXPORT CFIndex CFStringGetLength(CFStringRef str)
{
    const String *s = as<String>(str);
    return s ? static_cast<CFIndex>(s->units().size()) : 0;
}

KELM_CF_EXPORT const UniChar *CFStringGetCharactersPtr(CFStringRef str)
{
    const String *s = as<String>(str);
    return s ? reinterpret_cast<const UniChar *>(s->units().c_str()) : nullptr;
}

KELM_CF_EXPORT void CFStringGetCharacters(CFStringRef str, CFRange range, UniChar *buffer)
{
    const String *s = as<String>(str);
    if (s == nullptr || buffer == nullptr || range.location < 0 || range.length < 0)
        return;
    const auto size = static_cast<CFIndex>(s->units().size());
    if (range.location > size || range.length > size - range.location)
        return;
    std::memcpy(buffer, s->units().data() + range.location, static_cast<size_t>(range.length) * sizeof(UniChar));
}

KELM_CF_EXPORT Boolean CFStringGetCString(CFStringRef str, char *buffer, CFIndex bufferSize, CFStringEncoding encoding)
{
    const String *s = as<String>(str);
    if (s == nullptr || buffer == nullptr || bufferSize <= 0 || !encodingSupported(encoding))
        return false;
    if (encoding == kCFStringEncodingASCII && !s->isAscii())
        return false;
    const std::string &text = s->utf8();
    if (static_cast<CFIndex>(text.size()) >= bufferSize)
        return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

KELM_CF_EXPORT const char *CFStringGetCStringPtr(CFStringRef str, CFStringEncoding encoding)
{
    const String *s = as<String>(str);
    if (s == nullptr || !encodingSupported(encoding))
        return nullptr;
    if (encoding == kCFStringEncodingASCII && !s->isAscii())
        return nullptr;
    return s->utf8().c_str();
}

} // extern "C"
