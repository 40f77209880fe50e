// The virtual usbmuxd's request handling for one client connection.
#include "usbmux_connection.h"

#include "afc_service.h"
#include "device_registry.h"
#include "lockdown_service.h"
#include "log.h"
#include "socket_io.h"
#include "usbmux_wire.h"

#include <arpa/inet.h>
#include <sys/socket.h>

namespace vi {
namespace {

constexpr uint16_t kLockdownPort = 62078;

bool reply(int fd, plist_t payload, uint32_t tag)
{
    std::string packet = usbmuxPacket(payload, tag);
    return writeAll(fd, packet.data(), packet.size());
}

bool replyResult(int fd, UsbmuxResult result, uint32_t tag)
{
    std::string packet = usbmuxResultPacket(result, tag);
    return writeAll(fd, packet.data(), packet.size());
}

// Blocks until the client closes a Listen connection; whatever it sends is ignored.
void drainUntilClosed(int fd)
{
    char buf[256];
    while (::recv(fd, buf, sizeof buf, 0) > 0) {
    }
}

// Connect: finds the device and port and, on success, serves the tunnel on this thread.
void handleConnect(Registry &registry, int fd, plist_t request, uint32_t tag)
{
    uint64_t muxId = 0, wirePort = 0;
    if (!dictUint(request, "DeviceID", muxId) || !dictUint(request, "PortNumber", wirePort)) {
        replyResult(fd, UsbmuxResult::BadCommand, tag);
        return;
    }
    // libusbmuxd sends the port in network byte order inside the integer.
    uint16_t port = ntohs(static_cast<uint16_t>(wirePort));
    std::shared_ptr<Device> device = muxId <= 0xFFFFFFFFu ? registry.byMuxId(static_cast<uint32_t>(muxId)) : nullptr;
    if (!device) {
        logLine("Connect to unknown device " + std::to_string(muxId));
        replyResult(fd, UsbmuxResult::BadDevice, tag);
        return;
    }
    bool lockdown = port == kLockdownPort;
    std::optional<ServiceKind> service;
    {
        std::lock_guard lock(registry.mutex());
        if (lockdown && device->errors.count("Connect")) {
            lockdown = false; // the profile refuses the lockdown connection itself
        } else if (!lockdown) {
            auto it = device->services.find(port);
            if (it != device->services.end())
                service = it->second;
        }
    }
    if (!lockdown && !service) {
        logLine("Connect refused: " + device->udid + " port " + std::to_string(port));
        replyResult(fd, UsbmuxResult::ConnectionRefused, tag);
        return;
    }
    if (!registry.attachTunnel(*device, fd)) {
        replyResult(fd, UsbmuxResult::BadDevice, tag);
        return;
    }
    if (replyResult(fd, UsbmuxResult::Ok, tag)) {
        logLine("tunnel to " + device->udid + " port " + std::to_string(port));
        if (lockdown) {
            serveLockdown(registry, device, fd);
        } else {
            switch (*service) {
            case ServiceKind::Afc:
                serveAfc(registry, device, fd);
                break;
            }
        }
    }
    registry.detachTunnel(*device, fd);
}

} // namespace

void serveUsbmuxConnection(Registry &registry, int fd)
{
    for (;;) {
        UsbmuxHeader header;
        if (!readExact(fd, &header, sizeof header))
            return;
        if (header.length < sizeof header || header.length > kUsbmuxMaxPacket) {
            logLine("usbmux: bad packet length " + std::to_string(header.length) + ", dropping client");
            return;
        }
        std::string payload(header.length - sizeof header, '\0');
        if (!readExact(fd, payload.data(), payload.size()))
            return;
        if (header.message != kUsbmuxPlistMessage) {
            // Only the plist protocol is spoken. Answering "bad version" would flip libusbmuxd to
            // the binary protocol for the whole client process, so this is "bad command".
            replyResult(fd, UsbmuxResult::BadCommand, header.tag);
            continue;
        }
        PlistNode request = plistFromWire(payload.data(), payload.size());
        std::string type = dictString(request.get(), "MessageType");
        logLine("usbmux request " + (type.empty() ? std::string("(unreadable)") : type));

        if (type == "ListDevices") {
            PlistNode list(plist_new_array());
            for (const auto &d : registry.devices())
                plist_array_append_item(list.get(), usbmuxAttachedMessage(d->muxId, d->udid).release());
            PlistNode dict(plist_new_dict());
            plist_dict_set_item(dict.get(), "DeviceList", list.release());
            if (!reply(fd, dict.get(), header.tag))
                return;
        } else if (type == "Listen") {
            if (registry.startListening(fd, header.tag))
                drainUntilClosed(fd);
            registry.stopListening(fd);
            return;
        } else if (type == "Connect") {
            handleConnect(registry, fd, request.get(), header.tag);
            return; // a tunnel (or a refused connect) ends the usbmuxd conversation
        } else if (type == "ReadBUID") {
            PlistNode dict(plist_new_dict());
            plist_dict_set_item(dict.get(), "BUID", plist_new_string(registry.buid().c_str()));
            if (!reply(fd, dict.get(), header.tag))
                return;
        } else if (type == "ReadPairRecord") {
            // A missing record must be a non-zero Number: libusbmuxd treats Result 0 as success and
            // its caller then reads a record that is not there.
            std::optional<std::string> record = registry.readPairRecord(dictString(request.get(), "PairRecordID"));
            bool ok;
            if (record && !record->empty()) {
                PlistNode dict(plist_new_dict());
                plist_dict_set_item(dict.get(), "PairRecordData", plist_new_data(record->data(), record->size()));
                ok = reply(fd, dict.get(), header.tag);
            } else {
                ok = replyResult(fd, UsbmuxResult::NoEntry, header.tag);
            }
            if (!ok)
                return;
        } else if (type == "SavePairRecord") {
            std::string udid = dictString(request.get(), "PairRecordID");
            plist_t data = plist_dict_get_item(request.get(), "PairRecordData");
            bool ok;
            if (udid.empty() || !data || plist_get_node_type(data) != PLIST_DATA) {
                ok = replyResult(fd, UsbmuxResult::Invalid, header.tag);
            } else {
                char *bytes = nullptr;
                uint64_t len = 0;
                plist_get_data_val(data, &bytes, &len);
                std::string record(bytes ? bytes : "", bytes ? len : 0);
                free(bytes);
                uint64_t muxId = 0;
                bool hasMux = dictUint(request.get(), "DeviceID", muxId);
                if (record.empty()) {
                    ok = replyResult(fd, UsbmuxResult::Invalid, header.tag);
                } else {
                    registry.savePairRecord(udid, record, hasMux ? std::optional<uint64_t>(muxId) : std::nullopt);
                    ok = replyResult(fd, UsbmuxResult::Ok, header.tag);
                }
            }
            if (!ok)
                return;
        } else if (type == "DeletePairRecord") {
            bool existed = registry.deletePairRecord(dictString(request.get(), "PairRecordID"));
            if (!replyResult(fd, existed ? UsbmuxResult::Ok : UsbmuxResult::NoEntry, header.tag))
                return;
        } else {
            if (!replyResult(fd, UsbmuxResult::BadCommand, header.tag))
                return;
        }
    }
}

} // namespace vi
