// The two libraries as the program meets them: loaded by path with dlopen and bound by name. This
// test links neither library, so what it finds is exactly what the files export.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// KELM_BIN_DIR when the test environment gives it, else the build's bin folder beside the tests
// folder this executable runs from.
std::string binDir()
{
    if (const char *dir = std::getenv("KELM_BIN_DIR"); dir && *dir)
        return dir;
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (exe.parent_path().parent_path() / "bin").string();
}

TEST(DeviceLibsExports, EveryNameTheProgramBindsIsThereAndCoreFoundationIsLoadedOnce)
{
    // The program loads MobileDevice first (its first call is the subscription) and CoreFoundation
    // later by its own path; both must reach the single copy MobileDevice depends on.
    void *md = dlopen((binDir() + "/libMobileDevice.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(md, nullptr) << dlerror();
    void *cf = dlopen((binDir() + "/libCoreFoundation.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(cf, nullptr) << dlerror();

    const std::vector<const char *> mobileDevice = {
        "AMDeviceNotificationSubscribe", "AMRestoreRegisterForDeviceNotifications", "AMDeviceConnect",
        "AMDeviceValidatePairing", "AMDevicePair", "AMDeviceStartSession", "AMDeviceStopSession",
        "AMDeviceDisconnect", "AFCConnectionCreate", "AFCConnectionOpen", "AMDeviceCopyValue",
        "AMDeviceEnterRecovery", "AMDeviceActivate", "AMDeviceDeactivate", "AMDeviceInstallApplication"};
    for (const char *name : mobileDevice)
        EXPECT_NE(dlsym(md, name), nullptr) << name;

    const std::vector<const char *> coreFoundation = {
        "CFRunLoopRun", "CFRunLoopGetCurrent", "CFRunLoopStop", "CFRunLoopPerformFunction",
        "__CFStringMakeConstantString", "CFGetTypeID", "CFRetain", "CFRelease", "CFGetRetainCount",
        "CFStringGetTypeID", "CFArrayGetTypeID", "CFDateGetTypeID", "CFNumberGetTypeID", "CFBooleanGetTypeID",
        "CFDictionaryGetTypeID", "CFDataGetTypeID", "CFStringGetLength", "CFStringGetCharactersPtr",
        "CFStringGetCharacters", "CFNumberGetType", "CFNumberGetValue", "CFBooleanGetValue", "CFDataGetLength",
        "CFDataGetBytePtr"};
    for (const char *name : coreFoundation) {
        void *direct = dlsym(cf, name);
        EXPECT_NE(direct, nullptr) << name;
        // Looked up through MobileDevice's dependencies: the same function, so the same copy.
        EXPECT_EQ(dlsym(md, name), direct) << name;
    }

    // Interned strings are shared process-wide through that one copy.
    using MakeString = const void *(*)(const char *);
    auto make = reinterpret_cast<MakeString>(dlsym(cf, "__CFStringMakeConstantString"));
    ASSERT_NE(make, nullptr);
    EXPECT_EQ(make("DeviceName"), reinterpret_cast<MakeString>(dlsym(md, "__CFStringMakeConstantString"))("DeviceName"));

    // Nothing but the C entry points leaves the libraries.
    EXPECT_EQ(dlsym(md, "_ZN3amd10findDeviceEj"), nullptr);
    // Not closed: like the program, the process keeps them to its end (their interned strings
    // live as long as the library does).
}

} // namespace
