// Internals of libMobileDevice.so that need no device: the table from lockdown errors to result
// codes, and the conversion of device values (plist) into CF objects.
#include "amd_result_codes.h"
#include "mobiledevice.h"
#include "plist_to_cf.h"

#include "cf_test_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

using cftest::Owned;
using cftest::unitsOf;

TEST(MobileDeviceCodes, WireErrorsMapToTheirNamedCodes)
{
    struct Case {
        const char *wire;
        lockdownd_error_t error;
        uint32_t code;
    };
    const std::vector<Case> cases = {
        {"InvalidHostID", LOCKDOWN_E_INVALID_HOST_ID, 0xE800001C},
        {"PasswordProtected", LOCKDOWN_E_PASSWORD_PROTECTED, 0xE800001A},
        {"PairingDialogResponsePending", LOCKDOWN_E_PAIRING_DIALOG_RESPONSE_PENDING, 0xE8000096},
        {"UserDeniedPairing", LOCKDOWN_E_USER_DENIED_PAIRING, 0xE8000095},
        {"SessionInactive", LOCKDOWN_E_SESSION_INACTIVE, 0xE800001E},
        {"SessionActive", LOCKDOWN_E_SESSION_ACTIVE, 0xE800001D},
        {"MissingPairRecord", LOCKDOWN_E_MISSING_PAIR_RECORD, 0xE8000025},
        {"InvalidPairRecord", LOCKDOWN_E_INVALID_PAIR_RECORD, 0xE800005C},
        {"MissingHostID", LOCKDOWN_E_MISSING_HOST_ID, 0xE800001B},
        {"MissingValue", LOCKDOWN_E_MISSING_VALUE, 0xE8000015},
        {"GetProhibited", LOCKDOWN_E_GET_PROHIBITED, 0xE8000016},
        {"InvalidService", LOCKDOWN_E_INVALID_SERVICE, 0xE8000022},
        {"ServiceLimit", LOCKDOWN_E_SERVICE_LIMIT, 0xE800005B},
        {"ServiceProhibited", LOCKDOWN_E_SERVICE_PROHIBITED, 0xE800005D},
        {"InvalidActivationRecord", LOCKDOWN_E_INVALID_ACTIVATION_RECORD, 0xE8000026},
        {"MissingActivationRecord", LOCKDOWN_E_MISSING_ACTIVATION_RECORD, 0xE8000027},
        {"EscrowLocked", LOCKDOWN_E_ESCROW_LOCKED, 0xE8000081},
        {"PairingProhibitedOverThisConnection", LOCKDOWN_E_PAIRING_PROHIBITED_OVER_THIS_CONNECTION, 0xE8000082},
        {"FMiPProtected", LOCKDOWN_E_FMIP_PROTECTED, 0xE8000099},
        {"MCProtected", LOCKDOWN_E_MC_PROTECTED, 0xE800009A},
        {"MCChallengeRequired", LOCKDOWN_E_MC_CHALLENGE_REQUIRED, 0xE800009B},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.wire);
        EXPECT_EQ(static_cast<uint32_t>(amd::codeForWireError(c.wire)), c.code);
        EXPECT_EQ(static_cast<uint32_t>(amd::codeForLockdownError(c.error)), c.code);
    }
    EXPECT_EQ(amd::codeForWireError("InvalidRequest"), kAMDUndefinedError); // not a lockdown error name
    EXPECT_EQ(amd::codeForWireError("invalidhostid"), kAMDUndefinedError);  // names are case-sensitive
    EXPECT_EQ(amd::codeForWireError(nullptr), kAMDUndefinedError);
}

TEST(MobileDeviceCodes, EveryLockdownErrorHasAFailureCodeAndDeviceErrorsAreToldApart)
{
    EXPECT_EQ(amd::codeForLockdownError(LOCKDOWN_E_SUCCESS), 0);
    std::set<int32_t> deviceCodes;
    for (int e = -1; e >= -39; --e) {
        const int32_t code = amd::codeForLockdownError(static_cast<lockdownd_error_t>(e));
        SCOPED_TRACE(e);
        EXPECT_EQ(static_cast<uint32_t>(code) & 0xFFFFFF00u, 0xE8000000u);
        if (e <= -10) { // the device's own error strings: each keeps its own name in the log
            EXPECT_TRUE(deviceCodes.insert(code).second);
        }
    }
    EXPECT_EQ(amd::codeForLockdownError(LOCKDOWN_E_UNKNOWN_ERROR), kAMDUndefinedError);
    EXPECT_EQ(amd::codeForLockdownError(static_cast<lockdownd_error_t>(-77)), kAMDUndefinedError);
    EXPECT_EQ(amd::codeForLockdownError(LOCKDOWN_E_NO_RUNNING_SESSION), kAMDSessionInactiveError);
    EXPECT_EQ(amd::codeForLockdownError(LOCKDOWN_E_RECEIVE_TIMEOUT), kAMDTimeOutError);
    EXPECT_EQ(amd::codeForIdeviceError(IDEVICE_E_NO_DEVICE), kAMDDeviceDisconnectedError);
    EXPECT_EQ(amd::codeForAfcError(AFC_E_MUX_ERROR), kAMDMuxConnectError);
}

TEST(MobileDeviceValues, PlistNodesBecomeTheCFObjectsTheProgramReads)
{
    plist_t dict = plist_new_dict();
    plist_dict_set_item(dict, "DeviceName", plist_new_string("小明的iPhone"));
    plist_dict_set_item(dict, "BasebandGoldCertId", plist_new_uint(3554301762u));
    plist_dict_set_item(dict, "Negative", plist_new_uint(static_cast<uint64_t>(-5)));
    plist_dict_set_item(dict, "TimeZoneOffsetFromUTC", plist_new_real(28800.0));
    plist_dict_set_item(dict, "PasswordProtected", plist_new_bool(1));
    plist_dict_set_item(dict, "GoogleMail", plist_new_bool(0));
    const char bytes[] = {0x1A, 0x2B, 0x00, 0x4D};
    plist_dict_set_item(dict, "BasebandSerialNumber", plist_new_data(bytes, sizeof bytes));
    plist_t families = plist_new_array();
    plist_array_append_item(families, plist_new_uint(1));
    plist_array_append_item(families, plist_new_uint(2));
    plist_dict_set_item(dict, "SupportedDeviceFamilies", families);
    plist_dict_set_item(dict, "When", plist_new_date(600000000, 500000));
    plist_dict_set_item(dict, "Empty", plist_new_string(""));

    Owned converted(amd::cfFromPlist(dict));
    plist_free(dict);
    ASSERT_EQ(CFGetTypeID(converted.ref), CFDictionaryGetTypeID());
    EXPECT_EQ(CFDictionaryGetCount(converted.ref), 10);
    auto get = [&](const char *key) { return CFDictionaryGetValue(converted.ref, __CFStringMakeConstantString(key)); };

    CFTypeRef name = get("DeviceName");
    ASSERT_EQ(CFGetTypeID(name), CFStringGetTypeID());
    EXPECT_EQ(unitsOf(name), u"小明的iPhone");
    EXPECT_EQ(CFStringGetLength(get("Empty")), 0);

    struct IntCase {
        const char *key;
        int64_t value;
    };
    for (const IntCase &c : {IntCase{"BasebandGoldCertId", 3554301762}, IntCase{"Negative", -5}}) {
        SCOPED_TRACE(c.key);
        CFTypeRef n = get(c.key);
        ASSERT_EQ(CFGetTypeID(n), CFNumberGetTypeID());
        EXPECT_EQ(CFNumberGetType(n), kCFNumberSInt64Type);
        int64_t value = 0;
        EXPECT_TRUE(CFNumberGetValue(n, kCFNumberSInt64Type, &value));
        EXPECT_EQ(value, c.value);
    }
    CFTypeRef real = get("TimeZoneOffsetFromUTC");
    EXPECT_EQ(CFNumberGetType(real), kCFNumberFloat64Type);
    double offset = 0;
    EXPECT_TRUE(CFNumberGetValue(real, kCFNumberFloat64Type, &offset));
    EXPECT_EQ(offset, 28800.0);

    EXPECT_EQ(get("PasswordProtected"), kCFBooleanTrue);
    EXPECT_EQ(get("GoogleMail"), kCFBooleanFalse);

    CFTypeRef data = get("BasebandSerialNumber");
    ASSERT_EQ(CFGetTypeID(data), CFDataGetTypeID());
    ASSERT_EQ(CFDataGetLength(data), 4);
    EXPECT_EQ(std::memcmp(CFDataGetBytePtr(data), bytes, 4), 0);

    CFTypeRef array = get("SupportedDeviceFamilies");
    ASSERT_EQ(CFGetTypeID(array), CFArrayGetTypeID());
    ASSERT_EQ(CFArrayGetCount(array), 2);
    int64_t second = 0;
    CFNumberGetValue(CFArrayGetValueAtIndex(array, 1), kCFNumberSInt64Type, &second);
    EXPECT_EQ(second, 2);

    CFTypeRef when = get("When");
    ASSERT_EQ(CFGetTypeID(when), CFDateGetTypeID());
    EXPECT_DOUBLE_EQ(CFDateGetAbsoluteTime(when), 600000000.5);

    EXPECT_EQ(amd::cfFromPlist(nullptr), nullptr);
    // Values hold their own references: the dictionary is the only owner of its elements.
    EXPECT_EQ(CFGetRetainCount(name), 1);
}

TEST(MobileDeviceValues, InvalidUtf8FromADeviceStillGivesAString)
{
    plist_t node = plist_new_string("caf\xE9!");
    Owned s(amd::cfFromPlist(node));
    plist_free(node);
    ASSERT_EQ(CFGetTypeID(s.ref), CFStringGetTypeID());
    EXPECT_EQ(unitsOf(s.ref), u"caf?!");
}

} // namespace
