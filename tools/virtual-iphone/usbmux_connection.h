// Serves one client connection of the virtual usbmuxd: ListDevices, Listen, Connect,
// Read/Save/DeletePairRecord and ReadBUID. A successful Connect turns the connection into a tunnel
// to the device's lockdown (port 62078) or to a service the device started.
#pragma once

namespace vi {

class Registry;

// Runs on the connection's own thread until the client closes, sends something the server cannot
// take (the connection is then dropped), the device behind a tunnel leaves, or the server stops.
// Does not close fd: the caller owns it.
void serveUsbmuxConnection(Registry &registry, int fd);

} // namespace vi
