// The shared state of one virtual-iphone server: plugged devices, the usbmuxd pair-record store,
// Listen connections that receive device events, and every open connection (so stopping can close
// them). One mutex guards all of it; the per-connection threads take it only for short steps.
#pragma once

#include "profile.h"

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vi {

enum class ServiceKind { Afc };

// One plugged-in device. Everything but udid and muxId is guarded by Registry::mutex().
struct Device {
    std::string udid;
    uint32_t muxId = 0;
    ValueStore values;
    std::map<std::string, std::string> errors;
    std::map<std::string, int> delaysMs;
    std::set<std::string> acceptedHostIds;
    std::vector<std::string> requestLog;
    std::map<uint16_t, ServiceKind> services;
    uint16_t nextServicePort = 49152;
    bool present = true;
    std::set<int> tunnels; // usbmuxd connections turned into tunnels to this device
};

class Registry {
public:
    Registry() = default;
    Registry(const Registry &) = delete;
    Registry &operator=(const Registry &) = delete;

    std::mutex &mutex() { return mutex_; }

    // Plugs a device made from profile: new mux id, pair record put in (paired) or taken out of
    // (not paired) the store, Attached sent to listeners. Fails (nullptr, reason in error) when a
    // device with the same udid is plugged. Takes the lock itself.
    std::shared_ptr<Device> plug(const Profile &profile, std::string &error);
    // Unplugs: Detached to listeners, every tunnel to the device shut down, threads waiting in a
    // delay woken. keepFd, when not -1, is a tunnel left open so its thread can still send a last
    // reply (EnterRecovery). False when no such device is plugged. Takes the lock itself.
    bool unplug(const std::string &udid, int keepFd = -1);

    // Look-ups; nullptr when absent. Take the lock themselves.
    std::shared_ptr<Device> byUdid(const std::string &udid);
    std::shared_ptr<Device> byMuxId(uint32_t muxId);
    // Plugged devices in plug order. Takes the lock itself.
    std::vector<std::shared_ptr<Device>> devices();

    // Sends Result 0 and one Attached per present device on fd, then adds fd to the listeners, all
    // under the lock, so no event is lost or doubled. False when the writes failed.
    bool startListening(int fd, uint32_t tag);
    void stopListening(int fd);

    // Registers fd as a tunnel of device; false when the device has been unplugged meanwhile.
    bool attachTunnel(Device &device, int fd);
    void detachTunnel(Device &device, int fd);

    // Every accepted connection is tracked so stop() can shut it down.
    void trackConnection(int fd);
    void untrackConnection(int fd);

    // usbmuxd pair records, stored as the client sent them (binary plist bytes). Lock taken inside.
    std::optional<std::string> readPairRecord(const std::string &udid);
    // Stores the record and sends Paired to listeners when muxId names a plugged device with udid.
    void savePairRecord(const std::string &udid, const std::string &record, std::optional<uint64_t> muxId);
    bool deletePairRecord(const std::string &udid);
    const std::string &buid() const { return buid_; }

    // Waits ms milliseconds. Returns false early when the device leaves or the server stops.
    // Takes the lock itself.
    bool delay(Device &device, int ms);

    // Stops the server: every tracked connection is shut down, waiters are woken. Lock inside.
    void stop();
    bool stopping();

private:
    void broadcastLocked(const std::string &packet);

    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    uint32_t nextMuxId_ = 1;
    std::vector<std::shared_ptr<Device>> devices_;
    std::map<std::string, std::string> pairRecords_;
    std::set<int> listeners_;
    std::set<int> connections_;
    const std::string buid_ = "7D3F1C52-6A0B-4E8D-9F21-3B5C7E9A1D40";
};

} // namespace vi
