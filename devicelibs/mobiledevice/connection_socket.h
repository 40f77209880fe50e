// Socket descriptor behind a libimobiledevice 1.3.0 client. The public API has no getter for the
// connection of a lockdown or AFC client, but both client structures start with the service
// connection, which starts with the idevice connection (src/lockdown.h, src/property_list_service.h,
// src/service.h, src/afc.h at 1.3.0; unchanged in 1.4.0). We need the descriptor only to shut it
// down when the device leaves, so a step blocked in a 30 s receive returns at once.
#pragma once

#include <libimobiledevice/afc.h>
#include <libimobiledevice/lockdown.h>

namespace amd {

// The descriptor, or -1 when it cannot be found.
int socketOfLockdown(lockdownd_client_t client);
int socketOfAfc(afc_client_t client);

} // namespace amd
