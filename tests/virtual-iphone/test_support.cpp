// RAII wrappers and a tool runner for the virtual iPhone's tests.
#include "test_support.h"

#include <usbmuxd.h>

#include <cstdlib>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace vitest {

Lockdown::Lockdown(const std::string &udid)
{
    deviceResult = idevice_new(&device, udid.c_str());
    if (deviceResult == IDEVICE_E_SUCCESS)
        clientResult = lockdownd_client_new(device, &client, "virtual-iphone-test");
}

Lockdown::~Lockdown()
{
    if (client)
        lockdownd_client_free(client);
    if (device)
        idevice_free(device);
}

std::string storedHostId(const std::string &udid)
{
    char *buf = nullptr;
    uint32_t len = 0;
    if (usbmuxd_read_pair_record(udid.c_str(), &buf, &len) < 0 || !buf)
        return {};
    plist_t record = nullptr;
    if (len >= 8 && std::memcmp(buf, "bplist00", 8) == 0)
        plist_from_bin(buf, len, &record);
    else
        plist_from_xml(buf, len, &record);
    std::free(buf);
    std::string hostId;
    if (record) {
        plist_t node = plist_dict_get_item(record, "HostID");
        char *s = nullptr;
        if (node && plist_get_node_type(node) == PLIST_STRING)
            plist_get_string_val(node, &s);
        if (s)
            hostId = s;
        std::free(s);
        plist_free(record);
    }
    return hostId;
}

lockdownd_error_t Lockdown::startSession()
{
    char *udid = nullptr;
    idevice_get_udid(device, &udid);
    std::string hostId = storedHostId(udid ? udid : "");
    std::free(udid);
    char *id = nullptr;
    int ssl = 0;
    lockdownd_error_t r = lockdownd_start_session(client, hostId.empty() ? nullptr : hostId.c_str(), &id, &ssl);
    if (id) {
        sessionId = id;
        std::free(id);
    }
    return r;
}

std::vector<std::string> listedUdids()
{
    std::vector<std::string> out;
    char **list = nullptr;
    int count = 0;
    if (idevice_get_device_list(&list, &count) != IDEVICE_E_SUCCESS)
        return out;
    for (int i = 0; i < count; ++i)
        out.push_back(list[i]);
    idevice_device_list_free(list);
    return out;
}

ToolRun runTool(const std::vector<std::string> &argv, const std::vector<std::string> &env)
{
    ToolRun run;
    std::vector<std::string> args = argv;
    std::vector<char *> cargv;
    for (auto &a : args)
        cargv.push_back(a.data());
    cargv.push_back(nullptr);
    // The environment is built before fork: the test process has threads, the child may not allocate.
    std::vector<std::string> envCopy;
    for (char **e = environ; *e; ++e) {
        std::string entry = *e;
        bool replaced = false;
        for (const auto &extra : env)
            replaced = replaced || entry.substr(0, entry.find('=') + 1) == extra.substr(0, extra.find('=') + 1);
        if (!replaced)
            envCopy.push_back(entry);
    }
    envCopy.insert(envCopy.end(), env.begin(), env.end());
    std::vector<char *> cenv;
    for (auto &e : envCopy)
        cenv.push_back(e.data());
    cenv.push_back(nullptr);
    int out[2];
    if (::pipe(out) != 0)
        return run;
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execvpe(cargv[0], cargv.data(), cenv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    char buf[4096];
    ssize_t got;
    while ((got = ::read(out[0], buf, sizeof buf)) > 0)
        run.out.append(buf, static_cast<std::size_t>(got));
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace vitest
