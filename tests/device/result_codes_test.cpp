// Names of device-library result codes.
#include "device/result_codes.h"

#include <gtest/gtest.h>

namespace {

int64_t signExtended(uint32_t code) { return static_cast<int32_t>(code); }

TEST(AmdErrorName, NamesEveryCaseOfTheTable)
{
    const struct {
        int64_t value;
        const char *name;
    } cases[] = {
        {0, "kAMDSuccess"},
        {1, "null"},
        {0x7FFFFFFF, "null"},
        {0xE800001C, "null"}, // a code passed without sign extension is positive
        {-1, ""},
        {signExtended(0xE8000001), "kAMDUndefinedError"},
        {signExtended(0xE800001C), "kAMDInvalidHostIDError"},
        {signExtended(0xE800001E), "kAMDSessionInactiveError"},
        {signExtended(0xE8000095), "kAMDUserDeniedPairingError"},
        {signExtended(0xE8000096), "kAMDPairingDialogResponsePendingError"},
        {signExtended(0xE80000B9), "kMobileHouseArrestMissingContainer"},
        {signExtended(0xE80000BA), ""},
        {signExtended(0xE80000BB), "kMobileHouseArrestPathConversionFailed"},
        {signExtended(0xE80000F0),
         "The version of WatchKit used by this app is no longer supported on this version of watchOS."},
        {signExtended(0xE80000F1), ""},
        {signExtended(0xE8000000), ""},
        {signExtended(0xE80000DB),
         "The device is out of storage for apps. Please remove some apps from the device and try again."},
        {signExtended(0xE80000A1), "If an app extension defines the CFBundlePackageType key in its Info.plist, it "
                                   "must have the value \\'XPC!\\'."},
        {INT64_MIN, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(AmdErrorName(c.value), c.name) << std::hex << c.value;
}

TEST(AmdErrorName, EveryCodeOfTheRangeButOneHasAName)
{
    int named = 0;
    for (uint32_t code = 0xE8000001; code <= 0xE80000F0; ++code) {
        const std::string name = AmdErrorName(signExtended(code));
        EXPECT_EQ(name.empty(), code == 0xE80000BA) << std::hex << code;
        named += !name.empty();
    }
    EXPECT_EQ(named, 239);
}

} // namespace
