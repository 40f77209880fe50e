// Builds the pair record a profile marked "paired" puts into the virtual usbmuxd's record store.
#pragma once

#include "plist_node.h"

#include <string>

namespace vi {

// Returns a dict with DeviceCertificate, HostCertificate, HostPrivateKey, RootCertificate,
// RootPrivateKey (PEM data), HostID, SystemBUID and, when wifiAddress is not empty, WiFiMACAddress.
// deviceCertificate (borrowed, may be nullptr) is used when it is data; otherwise a built-in
// certificate stands in.
PlistNode premadePairRecord(const std::string &hostId, const std::string &systemBuid, plist_t deviceCertificate,
                            const std::string &wifiAddress);

} // namespace vi
