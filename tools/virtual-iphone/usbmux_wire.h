// The usbmuxd plist protocol as libusbmuxd 2.0.2 speaks it: a 16-byte header (length, version,
// message, tag; host byte order) followed by an XML plist. Building blocks shared by the
// connection handler and the device registry (which sends Attached/Detached/Paired events).
#pragma once

#include "plist_node.h"

#include <cstdint>
#include <string>

namespace vi {

struct UsbmuxHeader {
    uint32_t length;  // whole packet including the header
    uint32_t version; // 1 = plist protocol
    uint32_t message; // 8 = plist
    uint32_t tag;     // echoed in replies, 0 for events
};
static_assert(sizeof(UsbmuxHeader) == 16);

constexpr uint32_t kUsbmuxPlistMessage = 8;
// Largest request the server accepts; libusbmuxd's biggest request (SavePairRecord) is a few KB.
constexpr uint32_t kUsbmuxMaxPacket = 1024 * 1024;

// Result numbers of a "Result" reply. 6 (bad version) is never sent: it would switch the client
// process to the legacy binary protocol for good.
enum class UsbmuxResult : uint64_t { Ok = 0, BadCommand = 1, BadDevice = 2, ConnectionRefused = 3, NoEntry = 2,
                                     Invalid = 22 };

// One complete packet (header + XML payload) ready for a single write.
std::string usbmuxPacket(plist_t payload, uint32_t tag);
std::string usbmuxResultPacket(UsbmuxResult result, uint32_t tag);

// The Properties dict of a device entry and Attached event.
PlistNode usbmuxDeviceProperties(uint32_t muxId, const std::string &udid);
// {MessageType:"Attached", DeviceID, Properties}; also the shape of a ListDevices entry.
PlistNode usbmuxAttachedMessage(uint32_t muxId, const std::string &udid);
// {MessageType:"Detached"|"Paired", DeviceID}.
PlistNode usbmuxDeviceEvent(const char *type, uint32_t muxId);

} // namespace vi
