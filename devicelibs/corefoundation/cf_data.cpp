// CF data: an immutable byte string.
#include "cf_object.h"

using namespace kelmcf;

extern "C" {

KELM_CF_EXPORT CFDataRef CFDataCreate(CFAllocatorRef, const uint8_t *bytes, CFIndex length)
{
    if (length < 0 || (bytes == nullptr && length > 0))
        return nullptr;
    std::vector<uint8_t> copy;
    if (length > 0)
        copy.assign(bytes, bytes + length);
    return toRef(new Data(std::move(copy)));
}

KELM_CF_EXPORT CFIndex CFDataGetLength(CFDataRef data)
{
    const Data *d = as<Data>(data);
    return d ? static_cast<CFIndex>(d->bytes().size()) : 0;
}

KELM_CF_EXPORT const uint8_t *CFDataGetBytePtr(CFDataRef data)
{
    const Data *d = as<Data>(data);
    return (d && !d->bytes().empty()) ? d->bytes().data() : nullptr;
}

} // extern "C"
