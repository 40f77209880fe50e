// Reading the HostID from usbmuxd's pair record for a device.
#include "pair_record.h"

#include "mobiledevice.h"

#include <plist/plist.h>
#include <usbmuxd.h>

#include <cerrno>
#include <cstdlib>

namespace amd {

int32_t readPairRecordHostId(const std::string &udid, std::string &hostId)
{
    char *data = nullptr;
    uint32_t size = 0;
    const int rc = usbmuxd_read_pair_record(udid.c_str(), &data, &size);
    if (rc != 0) {
        std::free(data);
        // usbmuxd answers a missing record with a nonzero result (ENOENT from the real daemon);
        // -1 means the daemon could not be reached at all.
        return rc == -1 ? kAMDMuxError : kAMDMissingPairRecordError;
    }
    plist_t record = nullptr;
    plist_from_memory(data, size, &record);
    std::free(data);
    int32_t result = kAMDInvalidPairRecordError;
    plist_t node = record ? plist_dict_get_item(record, "HostID") : nullptr;
    if (node && plist_get_node_type(node) == PLIST_STRING) {
        char *text = nullptr;
        plist_get_string_val(node, &text);
        if (text && *text) {
            hostId = text;
            result = kAMDSuccess;
        }
        std::free(text);
    }
    plist_free(record);
    return result;
}

} // namespace amd
