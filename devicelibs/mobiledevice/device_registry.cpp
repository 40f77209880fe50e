// Handle table and per-device connection bookkeeping. Handles count up from 1 and are never reused,
// so a stale handle can never reach another device.
#include "device_registry.h"

#include <sys/socket.h>

#include <cerrno>

#include <algorithm>
#include <map>

namespace amd {

namespace {

struct Registry {
    std::mutex mutex;
    uint32_t lastHandle = 0;
    std::map<uint32_t, std::shared_ptr<Device>> byHandle;
    std::vector<uint32_t> present; // arrival order
};

// Never destroyed: libusbmuxd's event thread may still call in while the process exits.
Registry &registry()
{
    static auto *r = new Registry;
    return *r;
}

} // namespace

std::shared_ptr<Device> findDevice(uint32_t handle)
{
    Registry &r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.byHandle.find(handle);
    return it == r.byHandle.end() ? nullptr : it->second;
}

uint32_t deviceArrived(const std::string &udid, uint32_t *retired)
{
    *retired = 0;
    Registry &r = registry();
    std::lock_guard lock(r.mutex);
    auto it = std::find_if(r.present.begin(), r.present.end(), [&](uint32_t h) { return r.byHandle[h]->udid == udid; });
    if (it != r.present.end()) {
        if (r.byHandle[*it]->present)
            return 0;
        *retired = *it;
        r.present.erase(it);
    }
    const uint32_t handle = ++r.lastHandle;
    r.byHandle.emplace(handle, std::make_shared<Device>(handle, udid));
    r.present.push_back(handle);
    return handle;
}

uint32_t deviceLeft(const std::string &udid)
{
    std::shared_ptr<Device> gone;
    {
        Registry &r = registry();
        std::lock_guard lock(r.mutex);
        auto it = std::find_if(r.present.begin(), r.present.end(),
                               [&](uint32_t h) { return r.byHandle[h]->udid == udid; });
        if (it == r.present.end())
            return 0;
        gone = r.byHandle[*it];
        r.present.erase(it);
    }
    gone->present = false;
    std::lock_guard lock(gone->socketMutex);
    // Wakes a blocked receive; the step that owns the connection closes it.
    for (int fd : {gone->lockdownSocket, gone->afcSocket})
        if (fd >= 0)
            ::shutdown(fd, SHUT_RDWR);
    return gone->handle;
}

std::vector<uint32_t> presentDevices()
{
    Registry &r = registry();
    std::lock_guard lock(r.mutex);
    return r.present;
}

namespace {

void watch(Device &device, int &slot, int fd)
{
    std::lock_guard lock(device.socketMutex);
    slot = fd;
    if (fd >= 0 && !device.present)
        ::shutdown(fd, SHUT_RDWR); // left while we were connecting
}

} // namespace

void watchLockdownSocket(Device &device, int fd) { watch(device, device.lockdownSocket, fd); }
void watchAfcSocket(Device &device, int fd) { watch(device, device.afcSocket, fd); }

// Each descriptor is forgotten before it is closed, so the departure path never shuts down a
// number that has been reused meanwhile.
void closeAfc(Device &device)
{
    {
        std::lock_guard lock(device.socketMutex);
        device.afcSocket = -1;
    }
    if (device.afc) {
        afc_client_free(device.afc);
        device.afc = nullptr;
    }
}

void closeConnection(Device &device)
{
    closeAfc(device);
    {
        std::lock_guard lock(device.socketMutex);
        device.lockdownSocket = -1;
    }
    if (device.lockdown) {
        lockdownd_client_free(device.lockdown); // sends StopSession if a session is open
        device.lockdown = nullptr;
    }
    if (device.idevice) {
        idevice_free(device.idevice);
        device.idevice = nullptr;
    }
    device.sessionId.clear();
}

bool connectionLost(Device &device)
{
    if (!device.present)
        return true;
    std::lock_guard lock(device.socketMutex);
    if (device.lockdownSocket < 0)
        return true;
    char byte;
    const ssize_t n = ::recv(device.lockdownSocket, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

} // namespace amd
