// A minimal com.apple.afc endpoint: it accepts the connection a started AFC service gets and
// answers each AFC packet, so a client can open and close an AFC connection. File operations are
// not implemented; they get an "operation not supported" status.
#pragma once

#include <memory>

namespace vi {

class Registry;
struct Device;

// Runs on the tunnel's thread until the client closes, sends a malformed packet, the device leaves
// or the server stops. Does not close fd.
void serveAfc(Registry &registry, const std::shared_ptr<Device> &device, int fd);

} // namespace vi
