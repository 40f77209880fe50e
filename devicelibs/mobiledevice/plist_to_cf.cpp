// Device values as CF objects: lockdown replies arrive as libplist nodes and leave as the CF
// objects the program's value reader understands (integers as 64-bit numbers, reals as doubles).
#include "plist_to_cf.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace amd {

namespace {

// Strict UTF-8 first (the normal case); a device string with invalid bytes still gives a string.
CFStringRef stringFromUtf8(const char *text)
{
    if (text == nullptr)
        text = "";
    if (CFStringRef s = CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8))
        return s;
    std::string ascii(text);
    for (char &c : ascii)
        if (static_cast<unsigned char>(c) >= 0x80)
            c = '?';
    return CFStringCreateWithCString(nullptr, ascii.c_str(), kCFStringEncodingUTF8);
}

CFTypeRef integer(int64_t value) { return CFNumberCreate(nullptr, kCFNumberSInt64Type, &value); }

CFTypeRef arrayFrom(plist_t node)
{
    const uint32_t count = plist_array_get_size(node);
    std::vector<CFTypeRef> items;
    items.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        if (CFTypeRef item = cfFromPlist(plist_array_get_item(node, i)))
            items.push_back(item);
    CFTypeRef array = CFArrayCreate(nullptr, items.data(), static_cast<CFIndex>(items.size()), nullptr);
    for (CFTypeRef item : items)
        CFRelease(item);
    return array;
}

CFTypeRef dictionaryFrom(plist_t node)
{
    std::vector<CFTypeRef> keys;
    std::vector<CFTypeRef> values;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    for (;;) {
        char *key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iter, &key, &value);
        if (value == nullptr) {
            std::free(key);
            break;
        }
        CFTypeRef converted = cfFromPlist(value);
        if (converted != nullptr) {
            keys.push_back(stringFromUtf8(key));
            values.push_back(converted);
        }
        std::free(key);
    }
    std::free(iter);
    CFTypeRef dict = CFDictionaryCreate(nullptr, keys.data(), values.data(), static_cast<CFIndex>(keys.size()),
                                        nullptr, nullptr);
    for (size_t i = 0; i < keys.size(); ++i) {
        CFRelease(keys[i]);
        CFRelease(values[i]);
    }
    return dict;
}

} // namespace

CFTypeRef cfFromPlist(plist_t node)
{
    if (node == nullptr)
        return nullptr;
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return value ? kCFBooleanTrue : kCFBooleanFalse;
    }
    case PLIST_UINT: {
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return integer(static_cast<int64_t>(value)); // libplist keeps negative integers as their two's complement
    }
    case PLIST_UID: {
        uint64_t value = 0;
        plist_get_uid_val(node, &value);
        return integer(static_cast<int64_t>(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return CFNumberCreate(nullptr, kCFNumberFloat64Type, &value);
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        char *text = nullptr;
        if (plist_get_node_type(node) == PLIST_STRING)
            plist_get_string_val(node, &text);
        else
            plist_get_key_val(node, &text);
        CFStringRef s = stringFromUtf8(text);
        std::free(text);
        return s;
    }
    case PLIST_DATA: {
        char *bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        CFDataRef data = CFDataCreate(nullptr, reinterpret_cast<const uint8_t *>(bytes), bytes ? static_cast<CFIndex>(length) : 0);
        std::free(bytes);
        return data;
    }
    case PLIST_DATE: {
        int32_t seconds = 0;
        int32_t micros = 0;
        plist_get_date_val(node, &seconds, &micros); // seconds since 2001-01-01, as CFAbsoluteTime counts
        return CFDateCreate(nullptr, static_cast<double>(seconds) + static_cast<double>(micros) / 1e6);
    }
    case PLIST_ARRAY:
        return arrayFrom(node);
    case PLIST_DICT:
        return dictionaryFrom(node);
    case PLIST_NONE:
        return nullptr;
    }
    return nullptr;
}

} // namespace amd
