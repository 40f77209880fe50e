// Binding to a device library by bare name at first use, with the stand-in libraries built by the
// tests: a missing library or function yields the failure value and never crashes; once findable, the
// library is loaded from the current directory or "Path" and its functions are called.
#include "device/device_functions.h"
#include "device/library_binding.h"
#include "device/result_codes.h"

#include "platform/shell/folders.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

// One test: the binder's state (a loaded library stays loaded) lasts for the process.
TEST(LibraryBinding, FailsCleanlyUntilTheLibraryIsFindableThenBinds)
{
    testsupport::TempHome home; // no "Path", current directory elsewhere
    const std::string savedDirectory = platform::shell::currentDirectory();
    ASSERT_TRUE(platform::shell::setCurrentDirectory(home.path()));

    // Not findable: every kind of function yields its failure value.
    EXPECT_EQ(MobileDevice::AMDeviceConnect(5), kAMDUndefinedError);
    EXPECT_EQ(MobileDevice::AMDeviceCopyValue(5, nullptr, nullptr), nullptr);
    EXPECT_EQ(CoreFoundation::CFStringGetTypeID(), 0u);
    CoreFoundation::CFRelease(nullptr);
    EXPECT_NE(LastDeviceBindingError().find("cannot find"), std::string::npos);

    // Findable through "Path" (folders separated by ';'; empty entries skipped).
    ASSERT_TRUE(platform::shell::setEnvironmentVariable("Path", ";/no/such;" + testsupport::fakeDeviceLibsDir()));
    EXPECT_EQ(MobileDevice::AMDeviceConnect(5), 0);
    EXPECT_NE(CoreFoundation::CFStringMakeConstantString("DeviceName"), nullptr);
    EXPECT_EQ(CoreFoundation::CFStringMakeConstantString("DeviceName"),
              CoreFoundation::CFStringMakeConstantString("DeviceName"));
    EXPECT_EQ(CoreFoundation::CFStringGetTypeID(), 7u);

    // A function the library does not export: failure value, the others keep working.
    EXPECT_EQ(CoreFoundation::CFStringGetLength(nullptr), 0);
    EXPECT_NE(LastDeviceBindingError().find("CFStringGetLength"), std::string::npos);
    EXPECT_EQ(MobileDevice::AMDeviceDisconnect(5), 0);

    // The binder loaded the very file the tests built (one copy in the process).
    const std::string fake = testsupport::fakeDeviceLibsDir() + "/libMobileDevice.so";
    void *handle = ::dlopen(fake.c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr);
    char calls[4096];
    reinterpret_cast<void (*)(char *, size_t)>(::dlsym(handle, "FakeCallLog"))(calls, sizeof calls);
    EXPECT_STREQ(calls, "AMDeviceConnect(5);AMDeviceDisconnect(5);");
    ::dlclose(handle);

    platform::shell::setCurrentDirectory(savedDirectory);
}

} // namespace
