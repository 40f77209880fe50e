// Test helper: runs a virtual-iphone server process on private sockets in a temporary folder and
// talks to its control socket. Any test folder may link the target virtual_iphone_fixture.
//
// Typical use:
//     VirtualIphone vi;
//     ASSERT_FALSE(vi.start({"iphone.json"}).empty()) << vi.lastError();
//     vi.exportAddress();                       // USBMUXD_SOCKET_ADDRESS=UNIX:<socket> for libusbmuxd
//     std::string udid = vi.plug("unpaired.json");
//     ... drive libimobiledevice / libMobileDevice ...
//     EXPECT_EQ(vi.requests(udid), (std::vector<std::string>{"QueryType", "GetValue Key=DeviceName"}));
//
// Plain C++ without a test framework. One instance is used by one thread at a time; several
// instances (several servers) may live in one process. Nothing here throws.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace kelm::test {

class VirtualIphone {
public:
    struct Reply {
        bool ok = false;                // the final line was "ok"
        std::vector<std::string> lines; // the lines before "ok" / "error …"
        std::string error;              // text after "error " (or a transport problem), empty when ok
    };

    VirtualIphone() = default;
    ~VirtualIphone(); // stop()
    VirtualIphone(const VirtualIphone &) = delete;
    VirtualIphone &operator=(const VirtualIphone &) = delete;

    // Asks the server to log every request to stderr (the test's output). Call before start().
    void setVerbose(bool on) { verbose_ = on; }

    // Makes a temporary folder, starts the server there with the given profiles plugged (a bare
    // file name means one of tools/virtual-iphone/profiles, anything with a '/' is a path) and
    // waits for its "ready" line (a fail-safe limit of 20 s, not a timing check). Returns the
    // usbmuxd socket path, or "" with the reason in lastError(). A server already running is
    // stopped first.
    std::string start(const std::vector<std::string> &profiles = {});

    // Ends the server with SIGTERM and waits for it (SIGKILL after 10 s), then removes the
    // temporary folder. Harmless when nothing runs.
    void stop();
    // Ends the server with SIGKILL: it leaves without closing anything, as a crashed daemon does.
    // The temporary folder stays until stop() or destruction.
    void kill();

    bool running() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    const std::string &socketPath() const { return socketPath_; }
    const std::string &controlPath() const { return controlPath_; }
    const std::string &tempDir() const { return dir_; }
    // "UNIX:<socketPath>", the value libusbmuxd takes from USBMUXD_SOCKET_ADDRESS.
    std::string usbmuxdAddress() const { return "UNIX:" + socketPath_; }
    // Sets USBMUXD_SOCKET_ADDRESS in this process. libusbmuxd reads it on every new connection;
    // set it before any thread of libusbmuxd runs.
    void exportAddress() const;

    // Sends one control command line and reads the whole reply. Safe while the server is busy.
    Reply send(const std::string &command);
    // plug: returns the udid, or "" (reason in lastError()).
    std::string plug(const std::string &profile);
    bool unplug(const std::string &udid);
    // The lockdown requests the device received since plug (or clear), e.g. "GetValue Key=DeviceName".
    std::vector<std::string> requests(const std::string &udid);
    bool clear(const std::string &udid);

    // Writes a profile file (JSON text) into the temporary folder and returns its path, for
    // variants made in a test. Valid after start().
    std::string writeProfile(const std::string &fileName, const std::string &json);

    const std::string &lastError() const { return lastError_; }

    // Path of a shipped profile (tools/virtual-iphone/profiles/<name>); a name with a '/' is
    // returned unchanged.
    static std::string profilePath(const std::string &name);
    // Path of the virtual-iphone binary of this build, or of $VIRTUAL_IPHONE_BINARY when set.
    static std::string binaryPath();

private:
    bool verbose_ = false;
    pid_t pid_ = -1;
    std::string dir_;
    std::string socketPath_;
    std::string controlPath_;
    std::string lastError_;
};

} // namespace kelm::test
