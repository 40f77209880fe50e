// Encoding of usbmuxd packets, results and device events.
#include "usbmux_wire.h"

#include <cstring>

namespace vi {

std::string usbmuxPacket(plist_t payload, uint32_t tag)
{
    std::string xml = plistToXml(payload);
    UsbmuxHeader h{static_cast<uint32_t>(sizeof(UsbmuxHeader) + xml.size()), 1, kUsbmuxPlistMessage, tag};
    std::string packet(sizeof h, '\0');
    std::memcpy(packet.data(), &h, sizeof h);
    packet += xml;
    return packet;
}

std::string usbmuxResultPacket(UsbmuxResult result, uint32_t tag)
{
    PlistNode dict(plist_new_dict());
    plist_dict_set_item(dict.get(), "MessageType", plist_new_string("Result"));
    plist_dict_set_item(dict.get(), "Number", plist_new_uint(static_cast<uint64_t>(result)));
    return usbmuxPacket(dict.get(), tag);
}

PlistNode usbmuxDeviceProperties(uint32_t muxId, const std::string &udid)
{
    // The same members a real usbmuxd sends for a USB device; libusbmuxd requires DeviceID,
    // SerialNumber and ConnectionType and stores ProductID.
    PlistNode props(plist_new_dict());
    plist_dict_set_item(props.get(), "ConnectionSpeed", plist_new_uint(480000000));
    plist_dict_set_item(props.get(), "ConnectionType", plist_new_string("USB"));
    plist_dict_set_item(props.get(), "DeviceID", plist_new_uint(muxId));
    plist_dict_set_item(props.get(), "LocationID", plist_new_uint(0x14100000u + muxId));
    plist_dict_set_item(props.get(), "ProductID", plist_new_uint(0x12a8));
    plist_dict_set_item(props.get(), "SerialNumber", plist_new_string(udid.c_str()));
    return props;
}

PlistNode usbmuxAttachedMessage(uint32_t muxId, const std::string &udid)
{
    PlistNode msg(plist_new_dict());
    plist_dict_set_item(msg.get(), "DeviceID", plist_new_uint(muxId));
    plist_dict_set_item(msg.get(), "MessageType", plist_new_string("Attached"));
    plist_dict_set_item(msg.get(), "Properties", usbmuxDeviceProperties(muxId, udid).release());
    return msg;
}

PlistNode usbmuxDeviceEvent(const char *type, uint32_t muxId)
{
    PlistNode msg(plist_new_dict());
    plist_dict_set_item(msg.get(), "DeviceID", plist_new_uint(muxId));
    plist_dict_set_item(msg.get(), "MessageType", plist_new_string(type));
    return msg;
}

} // namespace vi
