// Finds the socket descriptor of a lockdown or AFC client (see connection_socket.h for why and
// for the structure layout this relies on).
#include "connection_socket.h"

#include <libimobiledevice/libimobiledevice.h>

namespace amd {

namespace {

// Each level's first member is a pointer to the next level.
void *firstMember(const void *structure)
{
    return structure ? *static_cast<void *const *>(structure) : nullptr;
}

int socketOfConnection(void *connection)
{
    int fd = -1;
    if (connection == nullptr ||
        idevice_connection_get_fd(static_cast<idevice_connection_t>(connection), &fd) != IDEVICE_E_SUCCESS)
        return -1;
    return fd;
}

} // namespace

int socketOfLockdown(lockdownd_client_t client)
{
    void *plistService = firstMember(client);     // lockdownd_client_private.parent
    void *service = firstMember(plistService);    // property_list_service_client_private.parent
    return socketOfConnection(firstMember(service)); // service_client_private.connection
}

int socketOfAfc(afc_client_t client)
{
    void *service = firstMember(client); // afc_client_private.parent
    return socketOfConnection(firstMember(service));
}

} // namespace amd
