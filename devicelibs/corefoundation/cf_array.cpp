// CF arrays: an immutable list of CF objects, each retained by the array.
#include "cf_object.h"

using namespace kelmcf;

kelmcf::Array::Array(std::vector<CFTypeRef> values) : Object(kType, false), values_(std::move(values))
{
    for (CFTypeRef value : values_)
        CFRetain(value);
}

kelmcf::Array::~Array()
{
    for (CFTypeRef value : values_)
        CFRelease(value);
}

extern "C" {

KELM_CF_EXPORT CFArrayRef CFArrayCreate(CFAllocatorRef, const void **values, CFIndex numValues, const void *)
{
    if (numValues < 0 || (values == nullptr && numValues > 0))
        return nullptr;
    std::vector<CFTypeRef> list;
    if (numValues > 0)
        list.assign(values, values + numValues);
    return toRef(new Array(std::move(list)));
}

KELM_CF_EXPORT CFIndex CFArrayGetCount(CFArrayRef array)
{
    const Array *a = as<Array>(array);
    return a ? static_cast<CFIndex>(a->values().size()) : 0;
}

KELM_CF_EXPORT const void *CFArrayGetValueAtIndex(CFArrayRef array, CFIndex idx)
{
    const Array *a = as<Array>(array);
    if (a == nullptr || idx < 0 || idx >= static_cast<CFIndex>(a->values().size()))
        return nullptr;
    return a->values()[static_cast<size_t>(idx)];
}

} // extern "C"
