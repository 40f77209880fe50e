// The virtual iPhone's control socket, its --send client mode and its process lifecycle: ready
// line, clean ends on quit and signals, refusal of bad start-up arguments.
#include "test_support.h"
#include "virtual_iphone_fixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using kelm::test::VirtualIphone;

namespace {

const char *const kIphone = "00008030-001A2B3C4D5E6F70";

class VirtualIphoneControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(vi.start({"iphone.json"}).empty()) << vi.lastError();
        vi.exportAddress();
    }
    VirtualIphone vi;
};

TEST_F(VirtualIphoneControl, ListAndPlugReportUdids)
{
    EXPECT_EQ(vi.send("list").lines, std::vector<std::string>{kIphone});
    VirtualIphone::Reply plug = vi.send("plug " + VirtualIphone::profilePath("ipad-no-phone.json"));
    ASSERT_TRUE(plug.ok) << plug.error;
    EXPECT_EQ(plug.lines, std::vector<std::string>{"00008027-000C35A21E88802E"});
    EXPECT_EQ(vi.send("list").lines, (std::vector<std::string>{kIphone, "00008027-000C35A21E88802E"}));
}

TEST_F(VirtualIphoneControl, SameUdidPlugsAgainOnlyAfterUnplug)
{
    EXPECT_EQ(vi.plug("iphone.json"), "");
    EXPECT_NE(vi.lastError().find("already plugged"), std::string::npos) << vi.lastError();
    ASSERT_TRUE(vi.unplug(kIphone));
    EXPECT_EQ(vi.plug("iphone.json"), kIphone);
}

// Commands that must fail with an error line and change nothing.
struct BadCommand {
    const char *name;
    std::string line;
};
void PrintTo(const BadCommand &c, std::ostream *os)
{
    *os << c.name;
}

class VirtualIphoneBadCommand : public VirtualIphoneControl, public ::testing::WithParamInterface<BadCommand> {};

TEST_P(VirtualIphoneBadCommand, IsRefusedWithAnErrorLine)
{
    VirtualIphone::Reply r = vi.send(GetParam().line);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_TRUE(r.lines.empty());
    EXPECT_EQ(vi.send("list").lines, std::vector<std::string>{kIphone}) << "server still answers";
    vitest::Lockdown ld(kIphone);
    ASSERT_TRUE(ld.ok());
    ASSERT_EQ(ld.startSession(), LOCKDOWN_E_SUCCESS);
    vitest::Plist name;
    ASSERT_EQ(lockdownd_get_value(ld.client, nullptr, "DeviceName", &name.node), LOCKDOWN_E_SUCCESS);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, VirtualIphoneBadCommand,
    ::testing::Values(
        BadCommand{"empty", ""}, BadCommand{"unknown", "explode now"}, BadCommand{"plug_nothing", "plug"},
        BadCommand{"plug_missing_file", "plug /nonexistent/profile.json"},
        BadCommand{"plug_not_json", "plug /etc/hostname"},
        BadCommand{"unplug_unknown", "unplug 0000-NOT-THERE"}, BadCommand{"requests_unknown", "requests nobody"},
        BadCommand{"set_untyped", std::string("set ") + kIphone + " - DeviceName \"plain\""},
        BadCommand{"set_wrong_kind", std::string("set ") + kIphone + R"( - DeviceName {"integer":"7"})"},
        BadCommand{"set_two_types", std::string("set ") + kIphone + R"( - DeviceName {"string":"a","bool":true})"},
        BadCommand{"set_bad_base64", std::string("set ") + kIphone + R"( - DevicePublicKey {"data":"!!"})"},
        BadCommand{"set_bad_date", std::string("set ") + kIphone + R"( - X {"date":"yesterday"})"},
        BadCommand{"set_not_json", std::string("set ") + kIphone + " - DeviceName {oops"},
        BadCommand{"set_missing_value", std::string("set ") + kIphone + " - DeviceName"},
        BadCommand{"unset_missing_key", std::string("unset ") + kIphone + " - NoSuchKey"},
        BadCommand{"delay_not_number", std::string("delay ") + kIphone + " GetValue 12abc"},
        BadCommand{"delay_negative", std::string("delay ") + kIphone + " GetValue -5"},
        BadCommand{"error_missing_name", std::string("error ") + kIphone + " GetValue"}),
    [](const auto &info) { return std::string(info.param.name); });

// Profile files that break the format are refused at plug time with a reason, and nothing is plugged.
struct BadProfile {
    const char *name;
    const char *json;
    const char *reason; // a piece of the error text
};

void PrintTo(const BadProfile &c, std::ostream *os)
{
    *os << c.name;
}

class VirtualIphoneBadProfile : public VirtualIphoneControl, public ::testing::WithParamInterface<BadProfile> {};

TEST_P(VirtualIphoneBadProfile, IsRefusedAtPlug)
{
    const BadProfile &c = GetParam();
    std::string path = vi.writeProfile("bad.json", c.json);
    VirtualIphone::Reply r = vi.send("plug " + path);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(c.reason), std::string::npos) << r.error;
    EXPECT_EQ(vi.send("list").lines, std::vector<std::string>{kIphone});
}

INSTANTIATE_TEST_SUITE_P(
    Files, VirtualIphoneBadProfile,
    ::testing::Values(
        BadProfile{"not_an_object", "[1,2]", "not a JSON object"},
        BadProfile{"truncated", R"({"udid": "0000AAAA-0000000000000001", "values": {)", "not a JSON object"},
        BadProfile{"no_udid", R"({"values": {}})", "udid"},
        BadProfile{"udid_24_chars", R"({"udid": "000080300012345678901234"})", "udid"},
        BadProfile{"udid_with_space", R"({"udid": "0000 AAAA"})", "udid"},
        BadProfile{"udid_too_long", R"({"udid": "00000000000000000000000000000000000000001"})", "udid"},
        BadProfile{"unknown_member", R"({"udid": "0000AAAA-0000000000000001", "colour": "red"})", "colour"},
        BadProfile{"paired_not_bool", R"({"udid": "0000AAAA-0000000000000001", "paired": "yes"})", "paired"},
        BadProfile{"untyped_value", R"({"udid": "0000AAAA-0000000000000001", "values": {"DeviceName": "x"}})",
                   "values.DeviceName"},
        BadProfile{"bad_nested_value",
                   R"({"udid": "0000AAAA-0000000000000001", "values": {"L": {"array": [{"integer": 1.5}]}}})",
                   "values.L"},
        BadProfile{"empty_domain_name", R"({"udid": "0000AAAA-0000000000000001", "domains": {"": {}}})",
                   "empty domain"},
        BadProfile{"bad_domain_value",
                   R"({"udid": "0000AAAA-0000000000000001", "domains": {"com.x": {"K": {"bool": 1}}}})",
                   "domains.com.x.K"},
        BadProfile{"error_not_string", R"({"udid": "0000AAAA-0000000000000001", "errors": {"Pair": 5}})",
                   "errors.Pair"},
        BadProfile{"negative_delay", R"({"udid": "0000AAAA-0000000000000001", "delays": {"Pair": -1}})",
                   "delays.Pair"},
        BadProfile{"empty_host_id", R"({"udid": "0000AAAA-0000000000000001", "hostId": ""})", "hostId"}),
    [](const auto &info) { return std::string(info.param.name); });

// Typed values given with "set" arrive at the client with their plist type.
TEST_F(VirtualIphoneControl, SetAcceptsEveryTypedForm)
{
    struct Case {
        const char *json;
        plist_type type;
    };
    const Case cases[] = {
        {R"({"string":"文字"})", PLIST_STRING}, {R"({"integer":-3})", PLIST_UINT},
        {R"({"integer":18446744073709551615})", PLIST_UINT}, {R"({"real":0.5})", PLIST_REAL},
        {R"({"bool":false})", PLIST_BOOLEAN}, {R"({"data":"AAEC"})", PLIST_DATA},
        {R"({"date":"2024-01-31T08:00:00Z"})", PLIST_DATE},
        {R"({"array":[{"integer":1},{"string":"b"}]})", PLIST_ARRAY},
        {R"({"dict":{"a":{"bool":true}}})", PLIST_DICT},
    };
    vitest::Lockdown ld(kIphone);
    ASSERT_TRUE(ld.ok());
    ASSERT_EQ(ld.startSession(), LOCKDOWN_E_SUCCESS);
    for (const Case &c : cases) {
        ASSERT_TRUE(vi.send(std::string("set ") + kIphone + " com.example.test Probe " + c.json).ok) << c.json;
        vitest::Plist v;
        ASSERT_EQ(lockdownd_get_value(ld.client, "com.example.test", "Probe", &v.node), LOCKDOWN_E_SUCCESS);
        EXPECT_EQ(plist_get_node_type(v.node), c.type) << c.json;
    }
    // The date keeps its instant: 2024-01-31T08:00:00Z is 728380800 s after 2001-01-01.
    vitest::Plist date;
    ASSERT_TRUE(vi.send(std::string("set ") + kIphone + R"( - When {"date":"2024-01-31T08:00:00Z"})").ok);
    ASSERT_EQ(lockdownd_get_value(ld.client, nullptr, "When", &date.node), LOCKDOWN_E_SUCCESS);
    int32_t sec = 0, usec = 0;
    plist_get_date_val(date.node, &sec, &usec);
    EXPECT_EQ(sec, 728380800);
}

TEST_F(VirtualIphoneControl, SeveralCommandsOnOneConnection)
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, vi.controlPath().c_str(), vi.controlPath().size() + 1);
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    // Sent in one piece, with a CR LF line end in the middle: each line still gets its own reply.
    std::string lines = "list\r\nexplode\nclear " + std::string(kIphone) + "\n";
    ASSERT_EQ(::send(fd, lines.data(), lines.size(), MSG_NOSIGNAL), static_cast<ssize_t>(lines.size()));
    ::shutdown(fd, SHUT_WR);
    std::string out;
    char buf[1024];
    ssize_t got;
    while ((got = ::recv(fd, buf, sizeof buf, 0)) > 0)
        out.append(buf, static_cast<std::size_t>(got));
    ::close(fd);
    EXPECT_EQ(out, std::string(kIphone) + "\nok\nerror unknown command explode\nok\n");
}

TEST_F(VirtualIphoneControl, SendModePrintsTheReplyAndExitsByItsStatus)
{
    std::string bin = VirtualIphone::binaryPath();
    vitest::ToolRun list = vitest::runTool({bin, "--control", vi.controlPath(), "--send", "list"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.out, std::string(kIphone) + "\nok\n");
    vitest::ToolRun bad = vitest::runTool({bin, "--control", vi.controlPath(), "--send", "unplug nobody"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.out.rfind("error ", 0), 0u) << bad.out;
    vitest::ToolRun none = vitest::runTool({bin, "--control", vi.tempDir() + "/no-such-socket", "--send", "list"});
    EXPECT_EQ(none.exitCode, 2);
}

TEST_F(VirtualIphoneControl, QuitEndsTheServerAndRemovesItsSockets)
{
    EXPECT_TRUE(vi.send("quit").ok);
    int status = 0;
    ASSERT_EQ(::waitpid(vi.pid(), &status, 0), vi.pid());
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(std::filesystem::exists(vi.socketPath()));
    EXPECT_FALSE(std::filesystem::exists(vi.controlPath()));
}

TEST(VirtualIphoneLifecycle, SignalsEndTheServerCleanlyEvenWithOpenConnections)
{
    for (int sig : {SIGTERM, SIGINT}) {
        VirtualIphone vi;
        ASSERT_FALSE(vi.start({"iphone.json"}).empty()) << vi.lastError();
        vi.exportAddress();
        // An open lockdown session and a pending delayed request must not keep the server up.
        vitest::Lockdown ld(kIphone);
        ASSERT_TRUE(ld.ok());
        ASSERT_TRUE(vi.send(std::string("delay ") + kIphone + " QueryType 600000").ok);
        std::thread pending([&] {
            char *type = nullptr;
            lockdownd_query_type(ld.client, &type);
            free(type);
        });
        while (vi.requests(kIphone).empty())
            std::this_thread::yield();
        ASSERT_EQ(::kill(vi.pid(), sig), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(vi.pid(), &status, 0), vi.pid());
        pending.join();
        EXPECT_TRUE(WIFEXITED(status)) << "signal " << sig;
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_FALSE(std::filesystem::exists(vi.socketPath()));
        EXPECT_FALSE(std::filesystem::exists(vi.controlPath()));
    }
}

TEST(VirtualIphoneLifecycle, BadStartArgumentsAreRefused)
{
    std::string bin = VirtualIphone::binaryPath();
    std::string dir = std::filesystem::temp_directory_path() / ("vi-args-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    struct Case {
        std::vector<std::string> args;
        int exitCode;
    };
    const Case cases[] = {
        {{bin}, 2},
        {{bin, "--socket"}, 2},
        {{bin, "--bogus"}, 2},
        {{bin, "--socket", dir + "/s", "--profile", dir + "/missing.json"}, 1},
        {{bin, "--socket", dir}, 1}, // a directory, not a socket
        {{bin, "--socket", dir + "/" + std::string(120, 'x')}, 1},
    };
    for (const Case &c : cases) {
        vitest::ToolRun run = vitest::runTool(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.size() << " args";
        EXPECT_EQ(run.out.find("ready"), std::string::npos);
    }
    std::filesystem::remove_all(dir);
}

TEST(VirtualIphoneLifecycle, StaleSocketFileFromACrashedRunIsReplaced)
{
    VirtualIphone first;
    std::string socket = first.start({"iphone.json"});
    ASSERT_FALSE(socket.empty());
    first.kill(); // leaves its socket files behind
    ASSERT_TRUE(std::filesystem::exists(socket));

    std::string control = first.tempDir() + "/control";
    pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(VirtualIphone::binaryPath().c_str(), "virtual-iphone", "--socket", socket.c_str(), "--control",
                control.c_str(), "--profile", VirtualIphone::profilePath("iphone.json").c_str(), nullptr);
        ::_exit(127);
    }
    // The server is up once its control socket answers.
    vitest::ToolRun list;
    for (int i = 0; i < 2000 && list.exitCode != 0; ++i)
        list = vitest::runTool({VirtualIphone::binaryPath(), "--control", control, "--send", "list"});
    EXPECT_EQ(list.out, std::string(kIphone) + "\nok\n");
    ::setenv("USBMUXD_SOCKET_ADDRESS", ("UNIX:" + socket).c_str(), 1);
    EXPECT_EQ(vitest::listedUdids(), std::vector<std::string>{kIphone});
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
