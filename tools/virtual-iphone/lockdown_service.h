// The device's lockdown service (port 62078) behind a usbmuxd tunnel, without SSL: QueryType,
// GetValue/SetValue/RemoveValue, ValidatePair, Pair, Unpair, StartSession, StopSession,
// EnterRecovery, Activate, Deactivate, StartService, Goodbye. Every request is logged on the device,
// and the profile's injected errors and delays apply.
#pragma once

#include <memory>

namespace vi {

class Registry;
struct Device;

// Runs on the tunnel's thread until the client closes, sends an unreadable message, the device is
// unplugged or the server stops. Does not close fd.
void serveLockdown(Registry &registry, const std::shared_ptr<Device> &device, int fd);

} // namespace vi
