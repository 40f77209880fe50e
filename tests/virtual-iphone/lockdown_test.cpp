// Lockdown behaviour of the virtual iPhone, driven one step at a time through libimobiledevice's
// public C API, as the device library does: pairing and sessions per profile, values with their
// plist types, the request log, injected errors and delays, recovery, activation and AFC.
#include "test_support.h"
#include "virtual_iphone_fixture.h"

#include <gtest/gtest.h>
#include <libimobiledevice/afc.h>

#include <cstdlib>
#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

using kelm::test::VirtualIphone;
using vitest::Lockdown;
using vitest::Plist;

namespace {

const char *const kIphone = "00008030-001A2B3C4D5E6F70";
const char *const kUnpaired = "00008101-000A1B2C3D4E5F60";

class VirtualIphoneLockdown : public ::testing::Test {
protected:
    void startWith(const std::vector<std::string> &profiles)
    {
        ASSERT_FALSE(vi.start(profiles).empty()) << vi.lastError();
        vi.exportAddress();
    }
    VirtualIphone vi;
};

std::string stringOf(plist_t node)
{
    char *s = nullptr;
    if (node && plist_get_node_type(node) == PLIST_STRING)
        plist_get_string_val(node, &s);
    std::string out = s ? s : "";
    std::free(s);
    return out;
}

// What the program's first steps look like for each shipped profile: validate the pairing, pair
// when that fails, then start a session.
struct HandshakeCase {
    const char *profile;
    lockdownd_error_t validate;
    lockdownd_error_t pair; // only tried when validate fails
    lockdownd_error_t session;
};
void PrintTo(const HandshakeCase &c, std::ostream *os)
{
    *os << c.profile;
}

class VirtualIphoneHandshake : public VirtualIphoneLockdown, public ::testing::WithParamInterface<HandshakeCase> {};

TEST_P(VirtualIphoneHandshake, ValidatePairThenSessionAnswersAsTheProfileSays)
{
    const HandshakeCase &c = GetParam();
    startWith({c.profile});
    std::vector<std::string> udids = vitest::listedUdids();
    ASSERT_EQ(udids.size(), 1u);
    Lockdown ld(udids[0]);
    ASSERT_TRUE(ld.ok()) << ld.deviceResult << " " << ld.clientResult;

    EXPECT_EQ(lockdownd_validate_pair(ld.client, nullptr), c.validate);
    if (c.validate != LOCKDOWN_E_SUCCESS) {
        EXPECT_EQ(lockdownd_pair(ld.client, nullptr), c.pair);
        if (c.pair != LOCKDOWN_E_SUCCESS)
            return;
        EXPECT_EQ(lockdownd_validate_pair(ld.client, nullptr), LOCKDOWN_E_SUCCESS) << "the new pairing is kept";
    }
    EXPECT_EQ(ld.startSession(), c.session);
    EXPECT_EQ(ld.sessionId.empty(), c.session != LOCKDOWN_E_SUCCESS);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, VirtualIphoneHandshake,
    ::testing::Values(HandshakeCase{"iphone.json", LOCKDOWN_E_SUCCESS, LOCKDOWN_E_SUCCESS, LOCKDOWN_E_SUCCESS},
                      HandshakeCase{"ipad-no-phone.json", LOCKDOWN_E_SUCCESS, LOCKDOWN_E_SUCCESS, LOCKDOWN_E_SUCCESS},
                      HandshakeCase{"unknown-product.json", LOCKDOWN_E_SUCCESS, LOCKDOWN_E_SUCCESS,
                                    LOCKDOWN_E_SUCCESS},
                      // No record on the host: validating fails locally, pairing creates one.
                      HandshakeCase{"unpaired.json", LOCKDOWN_E_INVALID_HOST_ID, LOCKDOWN_E_SUCCESS,
                                    LOCKDOWN_E_SUCCESS},
                      HandshakeCase{"invalid-hostid.json", LOCKDOWN_E_SUCCESS, LOCKDOWN_E_SUCCESS,
                                    LOCKDOWN_E_INVALID_HOST_ID},
                      HandshakeCase{"session-error.json", LOCKDOWN_E_SUCCESS, LOCKDOWN_E_SUCCESS,
                                    LOCKDOWN_E_SESSION_INACTIVE},
                      HandshakeCase{"passcode-locked.json", LOCKDOWN_E_PASSWORD_PROTECTED,
                                    LOCKDOWN_E_PASSWORD_PROTECTED, LOCKDOWN_E_SUCCESS}),
    [](const auto &info) {
        std::string name = info.param.profile;
        name = name.substr(0, name.find('.'));
        for (char &ch : name)
            if (ch == '-')
                ch = '_';
        return name;
    });

TEST_F(VirtualIphoneLockdown, PairingSavesARecordWhoseHostIdTheDeviceThenAccepts)
{
    startWith({"unpaired.json"});
    EXPECT_EQ(vitest::storedHostId(kUnpaired), "") << "an unpaired profile leaves no record on the host";
    Lockdown ld(kUnpaired);
    ASSERT_TRUE(ld.ok());
    ASSERT_EQ(lockdownd_pair(ld.client, nullptr), LOCKDOWN_E_SUCCESS);
    std::string hostId = vitest::storedHostId(kUnpaired);
    EXPECT_EQ(hostId.size(), 36u) << hostId;
    EXPECT_EQ(ld.startSession(), LOCKDOWN_E_SUCCESS);
    // A HostID the device never saw is refused.
    char *id = nullptr;
    EXPECT_EQ(lockdownd_start_session(ld.client, "00000000-0000-0000-0000-000000000000", &id, nullptr),
              LOCKDOWN_E_INVALID_HOST_ID);
    std::free(id);
}

TEST_F(VirtualIphoneLockdown, UntrustedPairRecordIsRefusedUntilThePairingIsRenewed)
{
    startWith({});
    std::string path = vi.writeProfile("untrusted.json", R"({"udid": "0000UNTRUSTED-0000000000000001",
        "trusted": false, "values": {"DevicePublicKey": {"data": "LS0tLS1CRUdJTiBSU0EgUFVCTElDIEtFWS0tLS0tCk1JSUJDZ0tDQVFFQXFySlVOUmJyanhjZUg1TkV0ckx0M0ROZ2RLRWtkMXlhcWlia0t2UVRrc0dhZ0Rhay94MzUKV1pkbElpVDBlWFZ2bEdnZU02VjhSU1U2SExuMGlqWkpvZ3c4QmdTWFNlY3VvWVFDSUxZY2xoYVdKTFJlL1dUYwpKQ0FxREJEOFliV3ZrazgzVzV5bFNqT21vVlY1Y2JTWnQ2bE5GZEhBcHBXa1cxQXVsTDRRSzZqWUNaRjUwODh4CnN3VS9yUmV2YUxkQzZJUXkrTDhvY1ltNnN1cXBvUXhlb2RzeEJOUWhMUWRZZkNmb2FJRE1sRXE1V3U4ZThibTgKdVZHTUJJMFFZTFVTcmt6YTZQRGljN3JJUVFORG1lM2xkQ0k4M1dLKzZveDRpOW94RGpxUmZjU2RPSGRpeXZMNwozRTBJNVRONTJsU252N3JmemZtL1JFMWxkQm0wcnVIL093SURBUUFCCi0tLS0tRU5EIFJTQSBQVUJMSUMgS0VZLS0tLS0K"}}})");
    std::string udid = vi.plug(path);
    ASSERT_EQ(udid, "0000UNTRUSTED-0000000000000001") << vi.lastError();
    Lockdown ld(udid);
    ASSERT_TRUE(ld.ok());
    EXPECT_NE(vitest::storedHostId(udid), "") << "the host holds a record";
    EXPECT_EQ(lockdownd_validate_pair(ld.client, nullptr), LOCKDOWN_E_INVALID_HOST_ID);
    EXPECT_EQ(ld.startSession(), LOCKDOWN_E_INVALID_HOST_ID);
    ASSERT_EQ(lockdownd_pair(ld.client, nullptr), LOCKDOWN_E_SUCCESS);
    EXPECT_EQ(lockdownd_validate_pair(ld.client, nullptr), LOCKDOWN_E_SUCCESS);
    EXPECT_EQ(ld.startSession(), LOCKDOWN_E_SUCCESS);
}

// Values of iphone.json, read with and without a domain, with their plist types.
struct ValueCase {
    const char *domain; // nullptr: no domain
    const char *key;
    plist_type type;
    const char *text; // expected text of string values, or of the value printed for numbers
};
void PrintTo(const ValueCase &c, std::ostream *os)
{
    *os << (c.domain ? c.domain : "-") << " " << (c.key ? c.key : "-");
}

class VirtualIphoneValue : public VirtualIphoneLockdown, public ::testing::WithParamInterface<ValueCase> {};

std::string describe(plist_t v)
{
    switch (plist_get_node_type(v)) {
    case PLIST_STRING:
        return stringOf(v);
    case PLIST_UINT: {
        uint64_t u = 0;
        plist_get_uint_val(v, &u);
        return std::to_string(u);
    }
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(v, &d);
        return std::to_string(d);
    }
    case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(v, &b);
        return b ? "true" : "false";
    }
    case PLIST_DATA: {
        char *d = nullptr;
        uint64_t len = 0;
        plist_get_data_val(v, &d, &len);
        std::string s(d ? d : "", d ? len : 0);
        std::free(d);
        return s.substr(0, s.find('\n')); // the first (PEM header) line is enough to recognise the value
    }
    case PLIST_ARRAY:
        return "array of " + std::to_string(plist_array_get_size(v));
    case PLIST_DICT:
        return "dict of " + std::to_string(plist_dict_get_size(v));
    case PLIST_DATE:
    case PLIST_KEY:
    case PLIST_UID:
    case PLIST_NONE:
        break;
    }
    return "?";
}

TEST_P(VirtualIphoneValue, GetValueAnswersTheProfileValueWithItsType)
{
    const ValueCase &c = GetParam();
    startWith({"iphone.json"});
    Lockdown ld(kIphone);
    ASSERT_TRUE(ld.ok());
    ASSERT_EQ(ld.startSession(), LOCKDOWN_E_SUCCESS);
    Plist value;
    ASSERT_EQ(lockdownd_get_value(ld.client, c.domain, c.key, &value.node), LOCKDOWN_E_SUCCESS);
    ASSERT_NE(value.node, nullptr);
    EXPECT_EQ(plist_get_node_type(value.node), c.type);
    EXPECT_EQ(describe(value.node), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    IphoneProfile, VirtualIphoneValue,
    ::testing::Values(ValueCase{nullptr, "DeviceName", PLIST_STRING, "小明的iPhone"},
                      ValueCase{nullptr, "ProductType", PLIST_STRING, "iPhone12,1"},
                      ValueCase{nullptr, "UniqueDeviceID", PLIST_STRING, "00008030-001A2B3C4D5E6F70"},
                      ValueCase{nullptr, "BasebandGoldCertId", PLIST_UINT, "3554301762"},
                      ValueCase{nullptr, "TimeZoneOffsetFromUTC", PLIST_REAL, "28800.000000"},
                      ValueCase{nullptr, "PasswordProtected", PLIST_BOOLEAN, "true"},
                      ValueCase{nullptr, "DevicePublicKey", PLIST_DATA, "-----BEGIN RSA PUBLIC KEY-----"},
                      ValueCase{nullptr, "DeviceCertificate", PLIST_DATA, "-----BEGIN CERTIFICATE-----"},
                      ValueCase{nullptr, "SupportedDeviceFamilies", PLIST_ARRAY, "array of 1"},
                      ValueCase{"com.apple.mobile.battery", "BatteryCurrentCapacity", PLIST_UINT, "87"},
                      ValueCase{"com.apple.mobile.battery", "FullyCharged", PLIST_BOOLEAN, "false"},
                      ValueCase{"com.apple.disk_usage", "TotalDiskCapacity", PLIST_UINT, "63978983424"},
                      ValueCase{"com.apple.international", "Locale", PLIST_STRING, "zh_CN"},
                      ValueCase{"com.apple.mobile.software_behavior", "ChinaBrick", PLIST_BOOLEAN, "true"},
                      // Without a key: the whole domain.
                      ValueCase{"com.apple.mobile.battery", nullptr, PLIST_DICT, "dict of 3"},
                      ValueCase{"com.apple.disk_usage", nullptr, PLIST_DICT, "dict of 4"},
                      ValueCase{nullptr, nullptr, PLIST_DICT, "dict of 50"}));

// Every key the program reads, with the type its reader expects (text → string, numbers →
// integer or real, flag → bool, bytes → data).
struct KeyKind {
    const char *domain;
    const char *key;
    plist_type type;
};

TEST_F(VirtualIphoneLockdown, IphoneProfileAnswersAllSixtyTwoKeysWithTheirTypes)
{
    static const KeyKind kKeys[] = {
        {nullptr, "DeviceName", PLIST_STRING}, {nullptr, "ProductType", PLIST_STRING},
        {nullptr, "DeviceColor", PLIST_STRING}, {nullptr, "DeviceEnclosureColor", PLIST_STRING},
        {nullptr, "ProductVersion", PLIST_STRING}, {nullptr, "BuildVersion", PLIST_STRING},
        {nullptr, "SerialNumber", PLIST_STRING}, {nullptr, "DeviceClass", PLIST_STRING},
        {nullptr, "UniqueDeviceID", PLIST_STRING}, {nullptr, "PhoneNumber", PLIST_STRING},
        {nullptr, "ModelNumber", PLIST_STRING}, {nullptr, "HardwareModel", PLIST_STRING},
        {nullptr, "RegionInfo", PLIST_STRING}, {nullptr, "CPUArchitecture", PLIST_STRING},
        {nullptr, "WiFiAddress", PLIST_STRING}, {nullptr, "BluetoothAddress", PLIST_STRING},
        {nullptr, "FirmwareVersion", PLIST_STRING}, {nullptr, "ActivationState", PLIST_STRING},
        {nullptr, "BasebandVersion", PLIST_STRING}, {nullptr, "BasebandBootloaderVersion", PLIST_STRING},
        {nullptr, "BasebandChipId", PLIST_UINT}, {nullptr, "BasebandGoldCertId", PLIST_UINT},
        {nullptr, "IntegratedCircuitCardIdentity", PLIST_STRING},
        {nullptr, "InternationalMobileEquipmentIdentity", PLIST_STRING},
        {nullptr, "InternationalMobileSubscriberIdentity", PLIST_STRING}, {nullptr, "MLBSerialNumber", PLIST_STRING},
        {nullptr, "MobileSubscriberCountryCode", PLIST_STRING}, {nullptr, "MobileSubscriberNetworkCode", PLIST_STRING},
        {nullptr, "PasswordProtected", PLIST_BOOLEAN}, {nullptr, "ProductionSOC", PLIST_BOOLEAN},
        {nullptr, "SDIOProductInfo", PLIST_STRING}, {nullptr, "SIMStatus", PLIST_STRING},
        {nullptr, "TimeZone", PLIST_STRING}, {nullptr, "ActivationPublicKey", PLIST_DATA},
        {nullptr, "ActivationStateAcknowledged", PLIST_BOOLEAN}, {nullptr, "BasebandStatus", PLIST_STRING},
        {nullptr, "BasebandSerialNumber", PLIST_DATA}, {nullptr, "InternationalMobileEquipmentIdentity2", PLIST_STRING},
        {nullptr, "kCTSIMSupportSIMStatusReady", PLIST_STRING}, {nullptr, "TimeZoneOffsetFromUTC", PLIST_REAL},
        {nullptr, "Uses24HourClock", PLIST_BOOLEAN}, {nullptr, "kCTSIMSupportSIMTrayInsertedWithSIM", PLIST_STRING},
        {nullptr, "DeviceCertificate", PLIST_DATA}, {nullptr, "DevicePublicKey", PLIST_DATA},
        {nullptr, "DieID", PLIST_UINT}, {nullptr, "HardwarePlatform", PLIST_STRING},
        {nullptr, "HostAttached", PLIST_BOOLEAN}, {nullptr, "ProtocolVersion", PLIST_STRING},
        // A real device answers an array of family numbers here.
        {nullptr, "SupportedDeviceFamilies", PLIST_ARRAY}, {nullptr, "TrustedHostAttached", PLIST_BOOLEAN},
        {"com.apple.mobile.battery", "FullyCharged", PLIST_BOOLEAN},
        {"com.apple.mobile.battery", "BatteryCurrentCapacity", PLIST_UINT},
        {"com.apple.mobile.battery", "BatteryIsCharging", PLIST_BOOLEAN},
        {"com.apple.disk_usage", "TotalDataAvailable", PLIST_UINT},
        {"com.apple.disk_usage", "TotalSystemCapacity", PLIST_UINT},
        {"com.apple.disk_usage", "TotalSystemAvailable", PLIST_UINT},
        {"com.apple.disk_usage", "TotalDiskCapacity", PLIST_UINT},
        {"com.apple.international", "Locale", PLIST_STRING}, {"com.apple.international", "Language", PLIST_STRING},
        {"com.apple.international", "Keyboard", PLIST_STRING},
        {"com.apple.mobile.software_behavior", "ChinaBrick", PLIST_BOOLEAN},
        {"com.apple.mobile.software_behavior", "GoogleMail", PLIST_BOOLEAN},
    };
    static_assert(sizeof kKeys / sizeof kKeys[0] == 62);
    startWith({"iphone.json"});
    Lockdown ld(kIphone);
    ASSERT_TRUE(ld.ok());
    ASSERT_EQ(ld.startSession(), LOCKDOWN_E_SUCCESS);
    for (const KeyKind &k : kKeys) {
        Plist value;
        EXPECT_EQ(lockdownd_get_value(ld.client, k.domain, k.key, &value.node), LOCKDOWN_E_SUCCESS) << k.key;
        ASSERT_NE(value.node, nullptr) << k.key;
        EXPECT_EQ(plist_get_node_type(value.node), k.type) << k.key;
    }
    EXPECT_EQ(vi.requests(kIphone).size(), 1u + 62u) << "StartSession and one GetValue per key";
}

TEST_F(VirtualIphoneLockdown, IpadHasNoPhoneValues)
{
    startWith({"ipad-no-phone.json"});
    std::string udid = vitest::listedUdids().at(0);
    Lockdown ld(udid);
    ASSERT_TRUE(ld.ok());
    ASSERT_EQ(ld.startSession(), LOCKDOWN_E_SUCCESS);
    for (const char *key : {"PhoneNumber", "IntegratedCircuitCardIdentity", "InternationalMobileEquipmentIdentity",
                            "InternationalMobileSubscriberIdentity"}) {
        Plist value;
        EXPECT_EQ(lockdownd_get_value(ld.client, nullptr, key, &value.node), LOCKDOWN_E_MISSING_VALUE) << key;
        EXPECT_EQ(value.node, nullptr) << key;
    }
    Plist cls;
    ASSERT_EQ(lockdownd_get_value(ld.client, nullptr, "DeviceClass", &cls.node), LOCKDOWN_E_SUCCESS);
    EXPECT_EQ(stringOf(cls.node), "iPad");
}

TEST_F(VirtualIphoneLockdown, UnknownProductProfileReportsItsProductType)
{
    startWith({"unknown-product.json"});
    Lockdown ld(vitest::listedUdids().at(0));
    ASSERT_TRUE(ld.ok());
    ASSERT_EQ(ld.startSession(), LOCKDOWN_E_SUCCESS);
    Plist type;
    ASSERT_EQ(lockdownd_get_value(ld.client, nullptr, "ProductType", &type.node), LOCKDOWN_E_SUCCESS);
    EXPECT_EQ(stringOf(type.node), "iPhone99,9");
}

TEST_F(VirtualIphoneLockdown, RequestLogListsEveryRequestInOrderAndClearEmptiesIt)
{
    startWith({"iphone.json"});
    {
        Lockdown ld(kIphone);
        ASSERT_TRUE(ld.ok());
        char *type = nullptr;
        EXPECT_EQ(lockdownd_query_type(ld.client, &type), LOCKDOWN_E_SUCCESS);
        EXPECT_STREQ(type, "com.apple.mobile.lockdown");
        std::free(type);
        EXPECT_EQ(lockdownd_validate_pair(ld.client, nullptr), LOCKDOWN_E_SUCCESS);
        ASSERT_EQ(ld.startSession(), LOCKDOWN_E_SUCCESS);
        Plist a, b, c;
        lockdownd_get_value(ld.client, nullptr, "DeviceName", &a.node);
        lockdownd_get_value(ld.client, "com.apple.mobile.battery", "BatteryCurrentCapacity", &b.node);
        lockdownd_get_value(ld.client, "com.apple.disk_usage", nullptr, &c.node);
        EXPECT_EQ(lockdownd_stop_session(ld.client, ld.sessionId.c_str()), LOCKDOWN_E_SUCCESS);
        EXPECT_EQ(lockdownd_goodbye(ld.client), LOCKDOWN_E_SUCCESS);
    }
    EXPECT_EQ(vi.requests(kIphone),
              (std::vector<std::string>{"QueryType", "ValidatePair", "StartSession", "GetValue Key=DeviceName",
                                        "GetValue Domain=com.apple.mobile.battery Key=BatteryCurrentCapacity",
                                        "GetValue Domain=com.apple.disk_usage", "StopSession", "Goodbye"}));
    ASSERT_TRUE(vi.clear(kIphone));
    EXPECT_TRUE(vi.requests(kIphone).empty());
}

// Errors injected by profile member or control command, looked up by request selector.
struct InjectedCase {
    const char *selector;
    const char *error;
    const char *domain;
    const char *key;
    lockdownd_error_t expected;
};
void PrintTo(const InjectedCase &c, std::ostream *os)
{
    *os << c.selector << " " << c.error;
}

class VirtualIphoneInjectedError : public VirtualIphoneLockdown, public ::testing::WithParamInterface<InjectedCase> {};

TEST_P(VirtualIphoneInjectedError, ControlInjectedErrorIsAnsweredForTheMatchingRequestOnly)
{
    const InjectedCase &c = GetParam();
    startWith({"iphone.json"});
    Lockdown ld(kIphone);
    ASSERT_TRUE(ld.ok());
    ASSERT_EQ(ld.startSession(), LOCKDOWN_E_SUCCESS);
    ASSERT_TRUE(vi.send(std::string("error ") + kIphone + " " + c.selector + " " + c.error).ok);
    Plist value;
    EXPECT_EQ(lockdownd_get_value(ld.client, c.domain, c.key, &value.node), c.expected);
    // Another key is unaffected.
    Plist other;
    EXPECT_EQ(lockdownd_get_value(ld.client, nullptr, "BuildVersion", &other.node), LOCKDOWN_E_SUCCESS);
    // And "-" takes the injection back.
    ASSERT_TRUE(vi.send(std::string("error ") + kIphone + " " + c.selector + " -").ok);
    Plist again;
    EXPECT_EQ(lockdownd_get_value(ld.client, c.domain, c.key, &again.node), LOCKDOWN_E_SUCCESS);
}

INSTANTIATE_TEST_SUITE_P(
    Selectors, VirtualIphoneInjectedError,
    ::testing::Values(
        InjectedCase{"GetValue:DeviceName", "MissingValue", nullptr, "DeviceName", LOCKDOWN_E_MISSING_VALUE},
        InjectedCase{"GetValue:DeviceName", "GetProhibited", nullptr, "DeviceName", LOCKDOWN_E_GET_PROHIBITED},
        InjectedCase{"GetValue:com.apple.mobile.battery:BatteryCurrentCapacity", "SessionInactive",
                     "com.apple.mobile.battery", "BatteryCurrentCapacity", LOCKDOWN_E_SESSION_INACTIVE},
        InjectedCase{"GetValue:com.apple.disk_usage", "MissingValue", "com.apple.disk_usage", nullptr,
                     LOCKDOWN_E_MISSING_VALUE},
        InjectedCase{"GetValue:DeviceName", "SomethingNew", nullptr, "DeviceName", LOCKDOWN_E_UNKNOWN_ERROR}));

TEST_F(VirtualIphoneLockdown, ProfileErrorForOneKeyLeavesTheOthersAlone)
{
    startWith({});
    std::string path = vi.writeProfile("nameless.json", R"({"udid": "0000NAMELESS-0000000000000001",
        "values": {"DeviceName": {"string": "x"}, "ProductType": {"string": "iPhone12,1"}},
        "errors": {"GetValue:DeviceName": "MissingValue"}})");
    std::string udid = vi.plug(path);
    ASSERT_FALSE(udid.empty()) << vi.lastError();
    Lockdown ld(udid);
    ASSERT_TRUE(ld.ok());
    ASSERT_EQ(ld.startSession(), LOCKDOWN_E_SUCCESS);
    Plist name, type;
    EXPECT_EQ(lockdownd_get_value(ld.client, nullptr, "DeviceName", &name.node), LOCKDOWN_E_MISSING_VALUE);
    EXPECT_EQ(lockdownd_get_value(ld.client, nullptr, "ProductType", &type.node), LOCKDOWN_E_SUCCESS);
}

TEST_F(VirtualIphoneLockdown, SetAndUnsetChangeWhatTheDeviceAnswers)
{
    startWith({"iphone.json"});
    Lockdown ld(kIphone);
    ASSERT_TRUE(ld.ok());
    ASSERT_EQ(ld.startSession(), LOCKDOWN_E_SUCCESS);
    ASSERT_TRUE(vi.send(std::string("set ") + kIphone + R"( - DeviceName {"string":"新名字"})").ok);
    ASSERT_TRUE(vi.send(std::string("set ") + kIphone + R"( com.apple.mobile.battery BatteryCurrentCapacity {"integer":5})").ok);
    Plist name, level;
    ASSERT_EQ(lockdownd_get_value(ld.client, nullptr, "DeviceName", &name.node), LOCKDOWN_E_SUCCESS);
    EXPECT_EQ(stringOf(name.node), "新名字");
    ASSERT_EQ(lockdownd_get_value(ld.client, "com.apple.mobile.battery", "BatteryCurrentCapacity", &level.node),
              LOCKDOWN_E_SUCCESS);
    EXPECT_EQ(describe(level.node), "5");
    ASSERT_TRUE(vi.send(std::string("unset ") + kIphone + " - PhoneNumber").ok);
    Plist phone;
    EXPECT_EQ(lockdownd_get_value(ld.client, nullptr, "PhoneNumber", &phone.node), LOCKDOWN_E_MISSING_VALUE);
}

TEST_F(VirtualIphoneLockdown, UnplugDuringADelayedRequestClosesTheConnectionWithoutAnswer)
{
    startWith({"iphone.json"});
    Lockdown ld(kIphone);
    ASSERT_TRUE(ld.ok());
    ASSERT_EQ(ld.startSession(), LOCKDOWN_E_SUCCESS);
    // Far longer than the test: only the unplug can end the wait.
    ASSERT_TRUE(vi.send(std::string("delay ") + kIphone + " GetValue:DeviceName 600000").ok);
    auto pending = std::async(std::launch::async, [&] {
        Plist value;
        return lockdownd_get_value(ld.client, nullptr, "DeviceName", &value.node);
    });
    // Unplug once the request has arrived.
    while (vi.requests(kIphone).size() < 2)
        std::this_thread::yield();
    ASSERT_TRUE(vi.unplug(kIphone));
    EXPECT_EQ(pending.get(), LOCKDOWN_E_UNKNOWN_ERROR) << "peer closed before answering";
    EXPECT_TRUE(vitest::listedUdids().empty());
}

TEST_F(VirtualIphoneLockdown, DelayedRequestIsStillAnsweredAndProfileCloseInjectionDropsTheConnection)
{
    startWith({});
    std::string path = vi.writeProfile("slow.json", R"({"udid": "0000SLOW-0000000000000001",
        "values": {"DeviceName": {"string": "slow"}, "ProductType": {"string": "iPhone12,1"}},
        "delays": {"GetValue:DeviceName": 200}, "errors": {"GetValue:ProductType": "!close"}})");
    std::string udid = vi.plug(path);
    ASSERT_FALSE(udid.empty()) << vi.lastError();
    Lockdown ld(udid);
    ASSERT_TRUE(ld.ok());
    ASSERT_EQ(ld.startSession(), LOCKDOWN_E_SUCCESS);
    Plist name, type;
    ASSERT_EQ(lockdownd_get_value(ld.client, nullptr, "DeviceName", &name.node), LOCKDOWN_E_SUCCESS);
    EXPECT_EQ(stringOf(name.node), "slow");
    EXPECT_EQ(lockdownd_get_value(ld.client, nullptr, "ProductType", &type.node), LOCKDOWN_E_UNKNOWN_ERROR);
    EXPECT_EQ(vi.requests(udid), (std::vector<std::string>{"StartSession", "GetValue Key=DeviceName",
                                                           "GetValue Key=ProductType"}));
}

TEST_F(VirtualIphoneLockdown, CloseInjectionDropsTheConnectionButTheDeviceStays)
{
    startWith({"iphone.json"});
    Lockdown ld(kIphone);
    ASSERT_TRUE(ld.ok());
    ASSERT_TRUE(vi.send(std::string("error ") + kIphone + " StartSession !close").ok);
    char *id = nullptr;
    EXPECT_EQ(lockdownd_start_session(ld.client, vitest::storedHostId(kIphone).c_str(), &id, nullptr),
              LOCKDOWN_E_PLIST_ERROR);
    std::free(id);
    EXPECT_EQ(vitest::listedUdids(), std::vector<std::string>{kIphone});
}

TEST_F(VirtualIphoneLockdown, UnplugClosesAnOpenSessionAndReplugGivesANewDeviceId)
{
    startWith({"iphone.json"});
    Lockdown ld(kIphone);
    ASSERT_TRUE(ld.ok());
    ASSERT_EQ(ld.startSession(), LOCKDOWN_E_SUCCESS);
    ASSERT_TRUE(vi.unplug(kIphone));
    Plist value;
    EXPECT_NE(lockdownd_get_value(ld.client, nullptr, "DeviceName", &value.node), LOCKDOWN_E_SUCCESS);

    ASSERT_EQ(vi.plug("iphone.json"), kIphone);
    lockdownd_client_t stale = nullptr;
    EXPECT_EQ(lockdownd_client_new(ld.device, &stale, "stale"), LOCKDOWN_E_MUX_ERROR)
        << "the old idevice_t names the old device id";
    if (stale)
        lockdownd_client_free(stale);
    Lockdown fresh(kIphone);
    EXPECT_TRUE(fresh.ok());
}

TEST_F(VirtualIphoneLockdown, EnterRecoveryAnswersThenTheDeviceLeaves)
{
    startWith({"iphone.json", "ipad-no-phone.json"});
    Lockdown ld(kIphone);
    ASSERT_TRUE(ld.ok());
    EXPECT_EQ(lockdownd_enter_recovery(ld.client), LOCKDOWN_E_SUCCESS);
    std::vector<std::string> left = vitest::listedUdids();
    EXPECT_EQ(left, std::vector<std::string>{"00008027-000C35A21E88802E"});
    EXPECT_EQ(vi.requests(kIphone).size(), 0u) << "the device is gone from the control socket too";
    EXPECT_EQ(vi.send(std::string("requests ") + kIphone).ok, false);
}

TEST_F(VirtualIphoneLockdown, ActivateAndDeactivateChangeTheActivationState)
{
    startWith({"iphone.json"});
    Lockdown ld(kIphone);
    ASSERT_TRUE(ld.ok());
    Plist record(plist_new_dict());
    EXPECT_EQ(lockdownd_activate(ld.client, record.node), LOCKDOWN_E_NO_RUNNING_SESSION) << "checked by the client";
    ASSERT_EQ(ld.startSession(), LOCKDOWN_E_SUCCESS);
    auto state = [&] {
        Plist v;
        lockdownd_get_value(ld.client, nullptr, "ActivationState", &v.node);
        return stringOf(v.node);
    };
    EXPECT_EQ(lockdownd_deactivate(ld.client), LOCKDOWN_E_SUCCESS);
    EXPECT_EQ(state(), "Unactivated");
    EXPECT_EQ(lockdownd_activate(ld.client, record.node), LOCKDOWN_E_SUCCESS);
    EXPECT_EQ(state(), "Activated");
    ASSERT_TRUE(vi.send(std::string("error ") + kIphone + " Activate InvalidActivationRecord").ok);
    EXPECT_EQ(lockdownd_activate(ld.client, record.node), LOCKDOWN_E_INVALID_ACTIVATION_RECORD);
}

TEST_F(VirtualIphoneLockdown, AfcServiceAcceptsAClientAndAnswersDeviceInfo)
{
    startWith({"iphone.json"});
    Lockdown ld(kIphone);
    ASSERT_TRUE(ld.ok());
    ASSERT_EQ(ld.startSession(), LOCKDOWN_E_SUCCESS);
    lockdownd_service_descriptor_t svc = nullptr;
    ASSERT_EQ(lockdownd_start_service(ld.client, AFC_SERVICE_NAME, &svc), LOCKDOWN_E_SUCCESS);
    ASSERT_NE(svc, nullptr);
    EXPECT_NE(svc->port, 0);
    EXPECT_EQ(svc->ssl_enabled, 0);
    afc_client_t afc = nullptr;
    EXPECT_EQ(afc_client_new(ld.device, svc, &afc), AFC_E_SUCCESS);
    lockdownd_service_descriptor_free(svc);
    ASSERT_NE(afc, nullptr);
    char *model = nullptr;
    EXPECT_EQ(afc_get_device_info_key(afc, "Model", &model), AFC_E_SUCCESS);
    EXPECT_STREQ(model, "iPhone12,1");
    std::free(model);
    char **list = nullptr;
    EXPECT_EQ(afc_read_directory(afc, "/", &list), AFC_E_OP_NOT_SUPPORTED);
    afc_client_free(afc);

    lockdownd_service_descriptor_t other = nullptr;
    EXPECT_EQ(lockdownd_start_service(ld.client, "com.apple.mobile.installation_proxy", &other),
              LOCKDOWN_E_INVALID_SERVICE);
    lockdownd_service_descriptor_free(other);
}

TEST_F(VirtualIphoneLockdown, TwoDevicesServeSessionsAtTheSameTime)
{
    startWith({"iphone.json", "ipad-no-phone.json"});
    auto readName = [](std::string udid) {
        Lockdown ld(udid);
        if (!ld.ok() || ld.startSession() != LOCKDOWN_E_SUCCESS)
            return std::string("(no session)");
        std::string last;
        for (int i = 0; i < 50; ++i) {
            Plist v;
            if (lockdownd_get_value(ld.client, nullptr, "DeviceName", &v.node) != LOCKDOWN_E_SUCCESS)
                return std::string("(read failed)");
            last = stringOf(v.node);
        }
        return last;
    };
    auto phone = std::async(std::launch::async, readName, std::string(kIphone));
    auto pad = std::async(std::launch::async, readName, std::string("00008027-000C35A21E88802E"));
    EXPECT_EQ(phone.get(), "小明的iPhone");
    EXPECT_EQ(pad.get(), "客厅的iPad");
}

} // namespace
