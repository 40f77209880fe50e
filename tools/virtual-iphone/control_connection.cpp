// Control commands of the virtual-iphone server: plugging devices, editing their values and
// injected behaviour, and reading what the host asked them.
#include "control_connection.h"

#include "device_registry.h"
#include "log.h"
#include "socket_io.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <iterator>
#include <sys/socket.h>

namespace vi {
namespace {

constexpr std::size_t kMaxLine = 64 * 1024;

// Splits off the first count words; the remainder (leading blanks removed) goes to rest.
std::vector<std::string> words(const std::string &line, std::size_t count, std::string &rest)
{
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (out.size() < count) {
        pos = line.find_first_not_of(" \t", pos);
        if (pos == std::string::npos)
            break;
        std::size_t end = line.find_first_of(" \t", pos);
        if (end == std::string::npos)
            end = line.size();
        out.push_back(line.substr(pos, end - pos));
        pos = end;
    }
    pos = pos < line.size() ? line.find_first_not_of(" \t", pos) : std::string::npos;
    rest = pos == std::string::npos ? std::string() : line.substr(pos);
    return out;
}

ControlReply fail(std::string text)
{
    ControlReply r;
    r.error = std::move(text);
    return r;
}

std::string domainArg(const std::string &word)
{
    return word == "-" ? std::string() : word;
}

// A reply line must stay one line whatever a client put into a request name.
std::string oneLine(std::string s)
{
    for (char &c : s)
        if (c == '\n' || c == '\r')
            c = ' ';
    return s;
}

} // namespace

ControlReply runControlCommand(Registry &registry, const std::string &line, bool &quitRequested)
{
    std::string rest;
    std::vector<std::string> w = words(line, 1, rest);
    if (w.empty())
        return fail("empty command");
    const std::string cmd = w[0]; // a copy: w is reused below
    ControlReply reply;

    if (cmd == "plug") {
        if (rest.empty())
            return fail("usage: plug <profile-file>");
        std::string error;
        std::optional<Profile> profile = loadProfile(rest, error);
        if (!profile)
            return fail(error);
        if (!registry.plug(*profile, error))
            return fail(error);
        reply.lines.push_back(profile->udid);
        return reply;
    }
    if (cmd == "list") {
        for (const auto &d : registry.devices())
            reply.lines.push_back(d->udid);
        return reply;
    }
    if (cmd == "quit") {
        quitRequested = true;
        return reply;
    }

    static const char *const kDeviceCommands[] = {"unplug", "requests", "clear", "set", "unset", "error", "delay"};
    if (std::find(std::begin(kDeviceCommands), std::end(kDeviceCommands), cmd) == std::end(kDeviceCommands))
        return fail("unknown command " + cmd);

    // Every other command names a plugged device first.
    w = words(line, 2, rest);
    if (w.size() < 2)
        return fail("usage: " + cmd + " <udid> …");
    std::shared_ptr<Device> device = registry.byUdid(w[1]);
    if (!device)
        return fail("no device " + w[1] + " is plugged");

    if (cmd == "unplug") {
        if (!registry.unplug(w[1]))
            return fail("no device " + w[1] + " is plugged");
        return reply;
    }
    if (cmd == "requests") {
        std::lock_guard lock(registry.mutex());
        for (const auto &entry : device->requestLog)
            reply.lines.push_back(oneLine(entry));
        return reply;
    }
    if (cmd == "clear") {
        std::lock_guard lock(registry.mutex());
        device->requestLog.clear();
        return reply;
    }
    if (cmd == "set") {
        w = words(line, 4, rest);
        if (w.size() < 4 || rest.empty())
            return fail("usage: set <udid> <domain|-> <key> <typed-json>");
        nlohmann::json typed = nlohmann::json::parse(rest, nullptr, false);
        if (typed.is_discarded())
            return fail("not JSON: " + rest);
        std::string why;
        PlistNode node = plistFromTypedJson(typed, why);
        if (!node)
            return fail(why);
        std::lock_guard lock(registry.mutex());
        device->values[domainArg(w[2])][w[3]] = std::move(node);
        return reply;
    }
    if (cmd == "unset") {
        w = words(line, 4, rest);
        if (w.size() < 4 || !rest.empty())
            return fail("usage: unset <udid> <domain|-> <key>");
        std::lock_guard lock(registry.mutex());
        auto it = device->values.find(domainArg(w[2]));
        if (it == device->values.end() || it->second.erase(w[3]) == 0)
            return fail("no value " + w[2] + " " + w[3]);
        return reply;
    }
    if (cmd == "error") {
        w = words(line, 4, rest);
        if (w.size() < 4 || !rest.empty())
            return fail("usage: error <udid> <selector> <ErrorName|->");
        std::lock_guard lock(registry.mutex());
        if (w[3] == "-")
            device->errors.erase(w[2]);
        else
            device->errors[w[2]] = w[3];
        return reply;
    }
    if (cmd == "delay") {
        w = words(line, 4, rest);
        int ms = -1;
        if (w.size() == 4 && rest.empty()) {
            try {
                std::size_t used = 0;
                ms = std::stoi(w[3], &used);
                if (used != w[3].size())
                    ms = -1;
            } catch (const std::exception &) {
                ms = -1;
            }
        }
        if (ms < 0 || ms > 600000)
            return fail("usage: delay <udid> <selector> <milliseconds 0-600000>");
        std::lock_guard lock(registry.mutex());
        if (ms == 0)
            device->delaysMs.erase(w[2]);
        else
            device->delaysMs[w[2]] = ms;
        return reply;
    }
    return fail("unknown command " + cmd);
}

void serveControlConnection(Registry &registry, int fd, const std::function<void()> &onQuit)
{
    std::string buffer;
    char chunk[4096];
    for (;;) {
        std::size_t nl;
        while ((nl = buffer.find('\n')) == std::string::npos) {
            if (buffer.size() > kMaxLine) {
                std::string out = "error line too long\n";
                writeAll(fd, out.data(), out.size());
                return;
            }
            ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
            if (got <= 0)
                return;
            buffer.append(chunk, static_cast<std::size_t>(got));
        }
        std::string line = buffer.substr(0, nl);
        buffer.erase(0, nl + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        logLine("control: " + line);

        bool quit = false;
        ControlReply reply = runControlCommand(registry, line, quit);
        std::string out;
        for (const auto &l : reply.lines)
            out += l + "\n";
        out += reply.error.empty() ? std::string("ok\n") : "error " + oneLine(reply.error) + "\n";
        bool sent = writeAll(fd, out.data(), out.size());
        if (quit) {
            onQuit();
            return;
        }
        if (!sent)
            return;
    }
}

} // namespace vi
