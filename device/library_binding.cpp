// Loads the device libraries by bare file name and resolves their functions.
#include "device/library_binding.h"

#include "platform/dynlib/native_library.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex gBindingMutex;
platform::dynlib::NativeLibrary gLibraries[2];
std::string gLastError;

void report(const std::string &what)
{
    gLastError = what;
    std::fprintf(stderr, "KelmTools: %s\n", what.c_str());
}

} // namespace

const char *DeviceLibraryFileName(DeviceLibrary library)
{
    switch (library) {
    case DeviceLibrary::MobileDevice:
        return "libMobileDevice.so";
    case DeviceLibrary::CoreFoundation:
        return "libCoreFoundation.so";
    }
    return "";
}

void *BindDeviceFunction(DeviceLibrary library, const char *exportName)
{
    std::lock_guard lock(gBindingMutex);
    platform::dynlib::NativeLibrary &lib = gLibraries[static_cast<int>(library)];
    const std::string fileName = DeviceLibraryFileName(library);
    if (!lib.isLoaded()) {
        const std::string path = platform::dynlib::findLibrary(fileName);
        if (path.empty()) {
            report("cannot find " + fileName);
            return nullptr;
        }
        lib = platform::dynlib::NativeLibrary::load(path);
        if (!lib.isLoaded()) {
            report("cannot load " + path + ": " + lib.errorText());
            return nullptr;
        }
    }
    void *address = lib.symbol(exportName);
    if (!address)
        report("no function " + std::string(exportName) + " in " + fileName + ": " + lib.errorText());
    return address;
}

std::string LastDeviceBindingError()
{
    std::lock_guard lock(gBindingMutex);
    return gLastError;
}
