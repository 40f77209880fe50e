// Devices, pair records, listeners and open connections of one virtual-iphone server.
#include "device_registry.h"

#include "log.h"
#include "premade_pair_record.h"
#include "socket_io.h"
#include "usbmux_wire.h"

#include <algorithm>
#include <chrono>
#include <sys/socket.h>

namespace vi {

std::shared_ptr<Device> Registry::plug(const Profile &profile, std::string &error)
{
    std::lock_guard lock(mutex_);
    for (const auto &d : devices_) {
        if (d->udid == profile.udid) {
            error = "device " + profile.udid + " is already plugged";
            return nullptr;
        }
    }
    auto device = std::make_shared<Device>();
    device->udid = profile.udid;
    // A new mux id per plug, as the real daemon does: handles from before a re-plug go stale.
    device->muxId = nextMuxId_++;
    device->values = profile.values;
    device->errors = profile.errors;
    device->delaysMs = profile.delaysMs;
    if (profile.paired) {
        const auto &defaults = device->values[""];
        auto cert = defaults.find("DeviceCertificate");
        auto wifi = defaults.find("WiFiAddress");
        std::string wifiText = wifi != defaults.end() ? stringValue(wifi->second.get()) : std::string();
        PlistNode record = premadePairRecord(profile.hostId, buid_,
                                             cert != defaults.end() ? cert->second.get() : nullptr, wifiText);
        pairRecords_[profile.udid] = plistToBinary(record.get());
        if (profile.trusted)
            device->acceptedHostIds.insert(profile.hostId);
    } else {
        pairRecords_.erase(profile.udid);
    }
    devices_.push_back(device);
    broadcastLocked(usbmuxPacket(usbmuxAttachedMessage(device->muxId, device->udid).get(), 0));
    logLine("plugged " + device->udid + " as device " + std::to_string(device->muxId));
    return device;
}

bool Registry::unplug(const std::string &udid, int keepFd)
{
    std::lock_guard lock(mutex_);
    auto it = std::find_if(devices_.begin(), devices_.end(), [&](const auto &d) { return d->udid == udid; });
    if (it == devices_.end())
        return false;
    std::shared_ptr<Device> device = *it;
    devices_.erase(it);
    device->present = false;
    broadcastLocked(usbmuxPacket(usbmuxDeviceEvent("Detached", device->muxId).get(), 0));
    // Shutting down (not closing) wakes the tunnel's thread, which still owns and closes the fd.
    for (int fd : device->tunnels)
        if (fd != keepFd)
            ::shutdown(fd, SHUT_RDWR);
    changed_.notify_all();
    logLine("unplugged " + udid);
    return true;
}

std::shared_ptr<Device> Registry::byUdid(const std::string &udid)
{
    std::lock_guard lock(mutex_);
    for (const auto &d : devices_)
        if (d->udid == udid)
            return d;
    return nullptr;
}

std::shared_ptr<Device> Registry::byMuxId(uint32_t muxId)
{
    std::lock_guard lock(mutex_);
    for (const auto &d : devices_)
        if (d->muxId == muxId)
            return d;
    return nullptr;
}

std::vector<std::shared_ptr<Device>> Registry::devices()
{
    std::lock_guard lock(mutex_);
    return devices_;
}

bool Registry::startListening(int fd, uint32_t tag)
{
    std::lock_guard lock(mutex_);
    std::string out = usbmuxResultPacket(UsbmuxResult::Ok, tag);
    for (const auto &d : devices_)
        out += usbmuxPacket(usbmuxAttachedMessage(d->muxId, d->udid).get(), 0);
    if (!writeAll(fd, out.data(), out.size()))
        return false;
    listeners_.insert(fd);
    return true;
}

void Registry::stopListening(int fd)
{
    std::lock_guard lock(mutex_);
    listeners_.erase(fd);
}

void Registry::broadcastLocked(const std::string &packet)
{
    for (int fd : listeners_) {
        // A listener that does not take the event (gone, or stalled past the send timeout) is cut
        // off; its own thread sees the shutdown and removes it.
        if (!writeAll(fd, packet.data(), packet.size()))
            ::shutdown(fd, SHUT_RDWR);
    }
}

bool Registry::attachTunnel(Device &device, int fd)
{
    std::lock_guard lock(mutex_);
    if (!device.present || stopping_)
        return false;
    device.tunnels.insert(fd);
    return true;
}

void Registry::detachTunnel(Device &device, int fd)
{
    std::lock_guard lock(mutex_);
    device.tunnels.erase(fd);
}

void Registry::trackConnection(int fd)
{
    std::lock_guard lock(mutex_);
    connections_.insert(fd);
    if (stopping_)
        ::shutdown(fd, SHUT_RDWR);
}

void Registry::untrackConnection(int fd)
{
    std::lock_guard lock(mutex_);
    connections_.erase(fd);
}

std::optional<std::string> Registry::readPairRecord(const std::string &udid)
{
    std::lock_guard lock(mutex_);
    auto it = pairRecords_.find(udid);
    if (it == pairRecords_.end())
        return std::nullopt;
    return it->second;
}

void Registry::savePairRecord(const std::string &udid, const std::string &record, std::optional<uint64_t> muxId)
{
    std::lock_guard lock(mutex_);
    pairRecords_[udid] = record;
    if (!muxId)
        return;
    for (const auto &d : devices_) {
        if (d->muxId == *muxId && d->udid == udid)
            broadcastLocked(usbmuxPacket(usbmuxDeviceEvent("Paired", d->muxId).get(), 0));
    }
}

bool Registry::deletePairRecord(const std::string &udid)
{
    std::lock_guard lock(mutex_);
    return pairRecords_.erase(udid) > 0;
}

bool Registry::delay(Device &device, int ms)
{
    std::unique_lock lock(mutex_);
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    changed_.wait_until(lock, until, [&] { return stopping_ || !device.present; });
    return !stopping_ && device.present;
}

void Registry::stop()
{
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (int fd : connections_)
        ::shutdown(fd, SHUT_RDWR);
    changed_.notify_all();
}

bool Registry::stopping()
{
    std::lock_guard lock(mutex_);
    return stopping_;
}

} // namespace vi
