// usbmuxd side of the virtual iPhone: device list, Listen events on plug/unplug, the pair-record
// store, Connect refusals, and survival of clients that send garbage or vanish mid-request.
#include "test_support.h"
#include "virtual_iphone_fixture.h"

#include <gtest/gtest.h>
#include <usbmuxd.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <mutex>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

using kelm::test::VirtualIphone;

namespace {

const char *const kIphone = "00008030-001A2B3C4D5E6F70";
const char *const kIpad = "00008027-000C35A21E88802E";

class VirtualIphoneUsbmux : public ::testing::Test {
protected:
    void startWith(const std::vector<std::string> &profiles)
    {
        ASSERT_FALSE(vi.start(profiles).empty()) << vi.lastError();
        vi.exportAddress();
    }
    VirtualIphone vi;
};

TEST_F(VirtualIphoneUsbmux, DeviceListFollowsPlugAndUnplug)
{
    startWith({});
    EXPECT_TRUE(vitest::listedUdids().empty());
    ASSERT_EQ(vi.plug("iphone.json"), kIphone);
    ASSERT_EQ(vi.plug("ipad-no-phone.json"), kIpad);
    EXPECT_EQ(vitest::listedUdids(), (std::vector<std::string>{kIphone, kIpad}));
    ASSERT_TRUE(vi.unplug(kIphone));
    EXPECT_EQ(vitest::listedUdids(), std::vector<std::string>{kIpad});
    EXPECT_FALSE(vi.unplug(kIphone)) << "already gone";
}

// Collects libimobiledevice's device events (delivered on its own thread).
struct EventLog {
    std::mutex m;
    std::condition_variable cv;
    std::vector<std::string> events; // "add <udid>", "remove <udid>", "paired <udid>"

    static void callback(const idevice_event_t *e, void *self)
    {
        auto *log = static_cast<EventLog *>(self);
        const char *kind = e->event == IDEVICE_DEVICE_ADD      ? "add "
                           : e->event == IDEVICE_DEVICE_REMOVE ? "remove "
                                                               : "paired ";
        std::lock_guard lock(log->m);
        log->events.push_back(kind + std::string(e->udid));
        log->cv.notify_all();
    }
    // Waits until count events arrived; the limit only keeps a broken server from hanging the test.
    std::vector<std::string> waitFor(std::size_t count)
    {
        std::unique_lock lock(m);
        cv.wait_for(lock, std::chrono::seconds(20), [&] { return events.size() >= count; });
        return events;
    }
};

TEST_F(VirtualIphoneUsbmux, ListenReportsPresentDevicesThenPlugUnplugAndPairing)
{
    startWith({"iphone.json"});
    EventLog log;
    ASSERT_EQ(idevice_event_subscribe(&EventLog::callback, &log), IDEVICE_E_SUCCESS);
    EXPECT_EQ(log.waitFor(1), std::vector<std::string>{std::string("add ") + kIphone});

    std::string unpaired = vi.plug("unpaired.json");
    ASSERT_FALSE(unpaired.empty());
    {
        vitest::Lockdown ld(unpaired);
        ASSERT_TRUE(ld.ok());
        ASSERT_EQ(lockdownd_pair(ld.client, nullptr), LOCKDOWN_E_SUCCESS);
    }
    ASSERT_TRUE(vi.unplug(kIphone));
    std::vector<std::string> expected = {std::string("add ") + kIphone, "add " + unpaired, "paired " + unpaired,
                                         std::string("remove ") + kIphone};
    EXPECT_EQ(log.waitFor(expected.size()), expected);
    idevice_event_unsubscribe();
}

TEST_F(VirtualIphoneUsbmux, PairRecordStoreReadSaveDelete)
{
    startWith({"iphone.json", "unpaired.json"});
    EXPECT_EQ(vitest::storedHostId(kIphone), "5A1E7C0D-3B2F-4E19-9A66-0D4C8B7E2F10");

    char *buf = nullptr;
    uint32_t len = 0;
    EXPECT_LT(usbmuxd_read_pair_record("00008101-000A1B2C3D4E5F60", &buf, &len), 0) << "no record: an error";
    EXPECT_EQ(buf, nullptr);

    plist_t record = plist_new_dict();
    plist_dict_set_item(record, "HostID", plist_new_string("11111111-2222-3333-4444-555555555555"));
    char *bin = nullptr;
    uint32_t binLen = 0;
    plist_to_bin(record, &bin, &binLen);
    plist_free(record);
    EXPECT_EQ(usbmuxd_save_pair_record("some-other-udid", bin, binLen), 0);
    free(bin);
    EXPECT_EQ(vitest::storedHostId("some-other-udid"), "11111111-2222-3333-4444-555555555555");
    EXPECT_EQ(usbmuxd_delete_pair_record("some-other-udid"), 0);
    EXPECT_EQ(vitest::storedHostId("some-other-udid"), "");

    char *buid = nullptr;
    ASSERT_EQ(usbmuxd_read_buid(&buid), 0);
    EXPECT_EQ(std::strlen(buid), 36u);
    free(buid);
}

TEST_F(VirtualIphoneUsbmux, ConnectIsRefusedForUnknownDevicesAndPortsAndWhenTheProfileSaysSo)
{
    startWith({"iphone.json"});
    usbmuxd_device_info_t info;
    ASSERT_EQ(usbmuxd_get_device_by_udid(kIphone, &info), 1);
    EXPECT_LT(usbmuxd_connect(info.handle + 100, 62078), 0) << "unknown device";
    EXPECT_LT(usbmuxd_connect(info.handle, 1234), 0) << "no service on that port";
    int fd = usbmuxd_connect(info.handle, 62078);
    EXPECT_GE(fd, 0);
    if (fd >= 0)
        usbmuxd_disconnect(fd);
    ASSERT_TRUE(vi.send(std::string("error ") + kIphone + " Connect refused").ok);
    vitest::Lockdown ld(kIphone);
    EXPECT_EQ(ld.clientResult, LOCKDOWN_E_MUX_ERROR);
}

// Raw bytes sent to the server; after each case the server must still list its device.
int connectRaw(const std::string &path)
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string usbmuxHeader(uint32_t length, uint32_t version, uint32_t message, uint32_t tag)
{
    uint32_t h[4] = {length, version, message, tag};
    return std::string(reinterpret_cast<const char *>(h), sizeof h);
}

std::string usbmuxRequest(const std::string &xml)
{
    return usbmuxHeader(static_cast<uint32_t>(16 + xml.size()), 1, 8, 1) + xml;
}

std::string plistXml(const std::string &body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + body + "</dict></plist>\n";
}

// A usbmuxd Connect to the iPhone's lockdown, to reach the lockdown parser with the rest.
std::string connectRequest(uint64_t muxId)
{
    return usbmuxRequest(plistXml("<key>MessageType</key><string>Connect</string><key>DeviceID</key><integer>" +
                                  std::to_string(muxId) + "</integer><key>PortNumber</key><integer>" +
                                  std::to_string(htons(62078)) + "</integer>"));
}

std::string lockdownFrame(const std::string &body)
{
    uint32_t len = htonl(static_cast<uint32_t>(body.size()));
    return std::string(reinterpret_cast<const char *>(&len), 4) + body;
}

struct GarbageCase {
    const char *name;
    bool viaLockdown; // sent after a successful Connect to lockdown
    std::string bytes;
};
void PrintTo(const GarbageCase &c, std::ostream *os)
{
    *os << c.name;
}

std::vector<GarbageCase> garbageCases()
{
    std::string random;
    for (int i = 0; i < 4096; ++i)
        random += static_cast<char>((i * 7919 + 13) & 0xFF);
    std::string bigXml(100000, 'x');
    return {
        {"random_bytes", false, random},
        {"short_header", false, std::string("\x20\x00\x00", 3)},
        {"huge_length", false, usbmuxHeader(0xFFFFFFFFu, 1, 8, 1)},
        {"length_below_header", false, usbmuxHeader(3, 1, 8, 1) + "abc"},
        {"truncated_payload", false, usbmuxHeader(1000, 1, 8, 1) + "<?xml"},
        {"binary_protocol_message", false, usbmuxHeader(16, 0, 3, 1)},
        {"not_a_plist", false, usbmuxRequest("hello, device")},
        {"broken_xml", false, usbmuxRequest("<?xml version=\"1.0\"?><plist><dict><key>MessageType</key>")},
        {"plist_not_a_dict", false, usbmuxRequest("<?xml version=\"1.0\"?><plist><array/></plist>")},
        {"unknown_message_type", false, usbmuxRequest(plistXml("<key>MessageType</key><string>Explode</string>"))},
        {"connect_without_fields", false, usbmuxRequest(plistXml("<key>MessageType</key><string>Connect</string>"))},
        {"connect_device_id_string", false,
         usbmuxRequest(plistXml("<key>MessageType</key><string>Connect</string><key>DeviceID</key><string>1</string>"
                                "<key>PortNumber</key><integer>32498</integer>"))},
        {"save_pair_record_without_data", false,
         usbmuxRequest(plistXml("<key>MessageType</key><string>SavePairRecord</string>"
                                "<key>PairRecordID</key><string>x</string>"))},
        {"bad_binary_plist", false, usbmuxRequest("bplist00" + random.substr(0, 200))},
        {"lockdown_random", true, random},
        {"lockdown_zero_length", true, lockdownFrame("")},
        {"lockdown_huge_length", true, std::string("\xFF\xFF\xFF\xFF", 4)},
        {"lockdown_truncated", true, std::string("\x00\x00\x10\x00", 4) + "<?xml"},
        {"lockdown_not_plist", true, lockdownFrame("GetValue please")},
        {"lockdown_no_request", true, lockdownFrame(plistXml("<key>Key</key><string>DeviceName</string>"))},
        {"lockdown_request_not_string", true, lockdownFrame(plistXml("<key>Request</key><integer>5</integer>"))},
        {"lockdown_big_body", true, lockdownFrame("<?xml " + bigXml)},
        {"lockdown_newline_in_request", true,
         lockdownFrame(plistXml("<key>Request</key><string>Get\nValue</string>"))},
    };
}

class VirtualIphoneGarbage : public VirtualIphoneUsbmux, public ::testing::WithParamInterface<GarbageCase> {};

TEST_P(VirtualIphoneGarbage, ServerSurvivesAndKeepsServing)
{
    const GarbageCase &c = GetParam();
    startWith({"iphone.json"});
    usbmuxd_device_info_t info;
    ASSERT_EQ(usbmuxd_get_device_by_udid(kIphone, &info), 1);
    for (bool closeEarly : {false, true}) {
        int fd = connectRaw(vi.socketPath());
        ASSERT_GE(fd, 0);
        if (c.viaLockdown) {
            std::string connect = connectRequest(info.handle);
            ASSERT_EQ(::send(fd, connect.data(), connect.size(), MSG_NOSIGNAL), static_cast<ssize_t>(connect.size()));
            char result[512];
            ASSERT_GT(::recv(fd, result, sizeof result, 0), 16);
        }
        // The whole garbage, or only half of it and then gone.
        std::size_t n = closeEarly ? c.bytes.size() / 2 : c.bytes.size();
        ::send(fd, c.bytes.data(), n, MSG_NOSIGNAL);
        if (!closeEarly) {
            // Read whatever comes back until the server drops us or answers; a reply is allowed.
            ::shutdown(fd, SHUT_WR);
            char buf[4096];
            while (::recv(fd, buf, sizeof buf, 0) > 0) {
            }
        }
        ::close(fd);
    }
    EXPECT_EQ(::kill(vi.pid(), 0), 0) << "server process still alive";
    EXPECT_EQ(vitest::listedUdids(), std::vector<std::string>{kIphone});
    vitest::Lockdown ld(kIphone);
    ASSERT_TRUE(ld.ok());
    EXPECT_EQ(ld.startSession(), LOCKDOWN_E_SUCCESS);
}

INSTANTIATE_TEST_SUITE_P(Inputs, VirtualIphoneGarbage, ::testing::ValuesIn(garbageCases()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(VirtualIphoneUsbmux, ManyClientsAtOnce)
{
    startWith({"iphone.json", "ipad-no-phone.json"});
    std::vector<std::thread> threads;
    std::atomic<int> good{0};
    for (int i = 0; i < 16; ++i) {
        threads.emplace_back([&, i] {
            vitest::Lockdown ld(i % 2 ? kIphone : kIpad);
            if (!ld.ok() || ld.startSession() != LOCKDOWN_E_SUCCESS)
                return;
            vitest::Plist v;
            if (lockdownd_get_value(ld.client, nullptr, "UniqueDeviceID", &v.node) == LOCKDOWN_E_SUCCESS)
                ++good;
        });
    }
    for (auto &t : threads)
        t.join();
    EXPECT_EQ(good.load(), 16);
}

} // namespace
