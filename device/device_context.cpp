// Lifetime of the global device record.
#include "device/device_context.h"

DeviceContext *gDeviceContext = nullptr;

void CreateDeviceContext()
{
    if (gDeviceContext)
        return;
    gDeviceContext = new DeviceContext;
    gDeviceContext->info = new DeviceInfoRecord;
}

void ReleaseDeviceContext()
{
    if (!gDeviceContext)
        return;
    delete gDeviceContext->info;
    gDeviceContext->info = nullptr;
    delete gDeviceContext;
    gDeviceContext = nullptr;
}
