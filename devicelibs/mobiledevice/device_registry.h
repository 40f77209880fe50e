// The devices this library knows: one record per handle, the per-device lock, the open lockdown /
// AFC connections, and the bookkeeping shared by the notification path and the steps.
#pragma once

#include <libimobiledevice/afc.h>
#include <libimobiledevice/libimobiledevice.h>
#include <libimobiledevice/lockdown.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace amd {

struct Device {
    Device(uint32_t h, std::string u) : handle(h), udid(std::move(u)) {}

    const uint32_t handle;
    const std::string udid;
    // Cleared (never set again) by the departure notification, on libusbmuxd's event thread.
    std::atomic<bool> present{true};

    // Serialises every step on this device; guards everything below except the sockets.
    std::mutex mutex;
    idevice_t idevice = nullptr;
    lockdownd_client_t lockdown = nullptr;
    afc_client_t afc = nullptr;
    std::string sessionId; // empty: no session

    // Socket descriptors of the open connections (-1: none). The departure path shuts them down
    // (never closes them) to wake a step blocked in a receive; it must not wait for `mutex` for
    // that, so they have their own small lock.
    std::mutex socketMutex;
    int lockdownSocket = -1;
    int afcSocket = -1;
};

// The device for a handle, or nullptr for 0 / a handle never given out. Any thread.
std::shared_ptr<Device> findDevice(uint32_t handle);

// Called by the notification path only. deviceArrived gives the new handle, or 0 when that UDID is
// already present and alive (a repeated announcement). When the UDID's handle was already found
// dead by a step (its departure not yet reported), that handle is retired and returned in
// *retired (else 0) so its departure can be posted first. deviceLeft marks the present device of
// that UDID gone, wakes its blocked steps and gives its handle, or 0 when none is present.
uint32_t deviceArrived(const std::string &udid, uint32_t *retired);
uint32_t deviceLeft(const std::string &udid);
// Handles of the devices present now, in arrival order.
std::vector<uint32_t> presentDevices();

// --- used by the steps, with device.mutex held ---
// Remember the socket of a newly opened connection for the departure path.
void watchLockdownSocket(Device &device, int fd);
void watchAfcSocket(Device &device, int fd);
// Frees AFC, lockdown client (which ends a session on the wire if one is open) and device
// connection; safe on a device with nothing open.
void closeConnection(Device &device);
void closeAfc(Device &device);
// True when the device left or the peer (device or usbmuxd) closed the lockdown connection.
bool connectionLost(Device &device);

} // namespace amd
