// AMDeviceCopyValue: one GetValue round trip on the open lockdown connection, converted to CF.
// The program reads 62 values per refresh, so the path stays lean: no reconnect, no extra request,
// the key text taken straight from the CF string.
//
// Returns a +1 CF object, or NULL for: a bad handle, a departed or unconnected device, a key the
// device does not give (MissingValue, GetProhibited, SessionInactive, ...), or a broken connection
// (which is then dropped, as for the other steps).
#include "device_step.h"
#include "plist_to_cf.h"

using namespace amd;

namespace {

// The UTF-8 text of a CF string; nullptr for NULL or a non-string.
const char *utf8Of(CFStringRef text)
{
    if (text == nullptr || CFGetTypeID(text) != CFStringGetTypeID())
        return nullptr;
    return CFStringGetCStringPtr(text, kCFStringEncodingUTF8);
}

} // namespace

extern "C" {

KELM_AMD_EXPORT CFTypeRef AMDeviceCopyValue(uint32_t handle, CFStringRef domain, CFStringRef key)
{
    CFTypeRef result = nullptr;
    runStep(handle, Needs::Connection, [&](Device &device) -> int32_t {
        plist_t value = nullptr;
        const lockdownd_error_t error = lockdownd_get_value(device.lockdown, utf8Of(domain), utf8Of(key), &value);
        if (error == LOCKDOWN_E_SUCCESS)
            result = cfFromPlist(value);
        plist_free(value);
        return lockdownOutcome(device, error);
    });
    return result;
}

} // extern "C"
