// CF dates: an absolute time in seconds since 2001-01-01 00:00:00 UTC (the plist epoch).
#include "cf_object.h"

using namespace kelmcf;

extern "C" {

KELM_CF_EXPORT CFDateRef CFDateCreate(CFAllocatorRef, CFAbsoluteTime at) { return toRef(new Date(at)); }

KELM_CF_EXPORT CFAbsoluteTime CFDateGetAbsoluteTime(CFDateRef date)
{
    const Date *d = as<Date>(date);
    return d ? d->at() : 0.0;
}

} // extern "C"
