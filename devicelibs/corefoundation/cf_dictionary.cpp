// CF dictionaries: immutable key/value pairs in creation order, keys compared with CFEqual. Device
// dictionaries are small (a domain holds at most a few hundred keys), so a linear search is enough.
#include "cf_object.h"

using namespace kelmcf;

kelmcf::Dictionary::Dictionary(std::vector<std::pair<CFTypeRef, CFTypeRef>> entries)
    : Object(kType, false), entries_(std::move(entries))
{
    for (const auto &[key, value] : entries_) {
        CFRetain(key);
        CFRetain(value);
    }
}

kelmcf::Dictionary::~Dictionary()
{
    for (const auto &[key, value] : entries_) {
        CFRelease(key);
        CFRelease(value);
    }
}

CFTypeRef kelmcf::Dictionary::find(CFTypeRef key) const
{
    for (const auto &[k, v] : entries_)
        if (k == key)
            return v;
    for (const auto &[k, v] : entries_)
        if (CFEqual(k, key))
            return v;
    return nullptr;
}

extern "C" {

KELM_CF_EXPORT CFDictionaryRef CFDictionaryCreate(CFAllocatorRef, const void **keys, const void **values,
                                                  CFIndex numValues, const void *, const void *)
{
    if (numValues < 0 || ((keys == nullptr || values == nullptr) && numValues > 0))
        return nullptr;
    std::vector<std::pair<CFTypeRef, CFTypeRef>> entries;
    entries.reserve(static_cast<size_t>(numValues));
    for (CFIndex i = 0; i < numValues; ++i) {
        if (keys[i] == nullptr || values[i] == nullptr)
            return nullptr;
        bool replaced = false;
        for (auto &entry : entries) {
            if (CFEqual(entry.first, keys[i])) {
                entry.second = values[i];
                replaced = true;
                break;
            }
        }
        if (!replaced)
            entries.emplace_back(keys[i], values[i]);
    }
    return toRef(new Dictionary(std::move(entries)));
}

KELM_CF_EXPORT CFIndex CFDictionaryGetCount(CFDictionaryRef dict)
{
    const Dictionary *d = as<Dictionary>(dict);
    return d ? static_cast<CFIndex>(d->entries().size()) : 0;
}

KELM_CF_EXPORT const void *CFDictionaryGetValue(CFDictionaryRef dict, const void *key)
{
    const Dictionary *d = as<Dictionary>(dict);
    return (d && key) ? d->find(key) : nullptr;
}

KELM_CF_EXPORT void CFDictionaryGetKeysAndValues(CFDictionaryRef dict, const void **keys, const void **values)
{
    const Dictionary *d = as<Dictionary>(dict);
    if (d == nullptr)
        return;
    size_t i = 0;
    for (const auto &[key, value] : d->entries()) {
        if (keys)
            keys[i] = key;
        if (values)
            values[i] = value;
        ++i;
    }
}

} // extern "C"
