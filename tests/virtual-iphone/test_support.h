// Helpers shared by the virtual iPhone's tests: RAII wrappers over libimobiledevice handles and a
// runner for command-line tools.
#pragma once

#include <libimobiledevice/libimobiledevice.h>
#include <libimobiledevice/lockdown.h>
#include <plist/plist.h>

#include <string>
#include <vector>

namespace vitest {

// One idevice_t plus a lockdown client without handshake, freed in reverse order.
struct Lockdown {
    idevice_t device = nullptr;
    lockdownd_client_t client = nullptr;
    idevice_error_t deviceResult = IDEVICE_E_UNKNOWN_ERROR;
    lockdownd_error_t clientResult = LOCKDOWN_E_UNKNOWN_ERROR;

    explicit Lockdown(const std::string &udid);
    ~Lockdown();
    Lockdown(const Lockdown &) = delete;
    Lockdown &operator=(const Lockdown &) = delete;
    bool ok() const { return client != nullptr; }

    // Reads the host's pair record from usbmuxd and starts a session with its HostID.
    lockdownd_error_t startSession();
    std::string sessionId;
};

// Owns a plist tree.
struct Plist {
    plist_t node = nullptr;
    Plist() = default;
    explicit Plist(plist_t n) : node(n) {}
    ~Plist()
    {
        if (node)
            plist_free(node);
    }
    Plist(const Plist &) = delete;
    Plist &operator=(const Plist &) = delete;
};

// HostID of the pair record usbmuxd holds for udid; empty when there is none.
std::string storedHostId(const std::string &udid);

// UDIDs that libimobiledevice lists.
std::vector<std::string> listedUdids();

struct ToolRun {
    int exitCode = -1;
    std::string out;
};
// Runs a program (argv[0] found through PATH) with the given extra environment and collects its
// stdout. stderr goes to the test's output.
ToolRun runTool(const std::vector<std::string> &argv, const std::vector<std::string> &env = {});

} // namespace vitest
