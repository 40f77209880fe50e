// The pair record usbmuxd keeps for a device (libimobiledevice 1.3.0 has no public getter for the
// HostID a session needs, so we read the record through libusbmuxd ourselves).
#pragma once

#include <cstdint>
#include <string>

namespace amd {

// Reads the record of udid and its HostID. Returns 0 and sets hostId; kAMDMissingPairRecordError
// when usbmuxd has no record; kAMDInvalidPairRecordError when it has no HostID string;
// kAMDMuxError when usbmuxd cannot be reached. Blocks up to libusbmuxd's 5 s limits. Any thread.
int32_t readPairRecordHostId(const std::string &udid, std::string &hostId);

} // namespace amd
