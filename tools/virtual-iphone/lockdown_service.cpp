// Lockdown request handling of a virtual device.
#include "lockdown_service.h"

#include "device_registry.h"
#include "log.h"
#include "socket_io.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstring>

namespace vi {
namespace {

// Biggest request accepted; a Pair request with its certificates is about 4 KB.
constexpr uint32_t kMaxLockdownMessage = 4 * 1024 * 1024;

// An injected "error" with this name drops the connection without an answer, as a device that
// vanishes in the middle of a request does.
constexpr const char *kCloseWithoutReply = "!close";

struct Session {
    std::string id;
    uint64_t counter = 0;
};

bool sendMessage(int fd, plist_t dict)
{
    std::string xml = plistToXml(dict);
    uint32_t len = htonl(static_cast<uint32_t>(xml.size()));
    std::string out(reinterpret_cast<const char *>(&len), sizeof len);
    out += xml; // length and body in one write: the client reads the length with a single recv
    return writeAll(fd, out.data(), out.size());
}

PlistNode replyFor(const std::string &request)
{
    PlistNode dict(plist_new_dict());
    plist_dict_set_item(dict.get(), "Request", plist_new_string(request.c_str()));
    return dict;
}

// The iOS 5+ error shape: Error without Result, which libimobiledevice 1.3.0 maps to its specific
// codes for every request (a Result "Failure" would hide the name from most of them).
PlistNode errorReply(const std::string &request, const std::string &error)
{
    PlistNode dict = replyFor(request);
    plist_dict_set_item(dict.get(), "Error", plist_new_string(error.c_str()));
    return dict;
}

void echoDomainKey(plist_t reply, const std::string &domain, const std::string &key)
{
    if (!domain.empty())
        plist_dict_set_item(reply, "Domain", plist_new_string(domain.c_str()));
    if (!key.empty())
        plist_dict_set_item(reply, "Key", plist_new_string(key.c_str()));
}

std::string hostIdOfPairRecord(plist_t request)
{
    plist_t record = plist_dict_get_item(request, "PairRecord");
    return dictString(record, "HostID");
}

std::string newSessionId(uint64_t counter)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "9E1B3C7A-%04X-4D2E-8F60-%012llX", static_cast<unsigned>(counter & 0xFFFF),
                  static_cast<unsigned long long>(counter));
    return buf;
}

// Answers one request; the caller holds the registry lock. leaveAfterReply asks the caller to
// unplug the device once the reply is out (EnterRecovery).
PlistNode handleLocked(Device &device, Session &session, const std::string &request, plist_t msg,
                       const std::string &domain, const std::string &key, bool &leaveAfterReply)
{
    if (request == "QueryType") {
        PlistNode r = replyFor(request);
        plist_dict_set_item(r.get(), "Type", plist_new_string("com.apple.mobile.lockdown"));
        return r;
    }
    if (request == "GetValue") {
        auto domainIt = device.values.find(domain);
        if (key.empty()) {
            // A whole domain, as ideviceinfo asks for it; an unknown domain is simply empty.
            PlistNode all(plist_new_dict());
            if (domainIt != device.values.end())
                for (const auto &[k, v] : domainIt->second)
                    plist_dict_set_item(all.get(), k.c_str(), v.copy());
            PlistNode r = replyFor(request);
            echoDomainKey(r.get(), domain, key);
            plist_dict_set_item(r.get(), "Value", all.release());
            return r;
        }
        if (domainIt == device.values.end() || !domainIt->second.count(key)) {
            PlistNode r = errorReply(request, "MissingValue");
            echoDomainKey(r.get(), domain, key);
            return r;
        }
        PlistNode r = replyFor(request);
        echoDomainKey(r.get(), domain, key);
        plist_dict_set_item(r.get(), "Value", domainIt->second.at(key).copy());
        return r;
    }
    if (request == "SetValue") {
        plist_t value = plist_dict_get_item(msg, "Value");
        if (!value || key.empty())
            return errorReply(request, "MissingValue");
        device.values[domain][key] = PlistNode(plist_copy(value));
        return replyFor(request);
    }
    if (request == "RemoveValue") {
        if (key.empty())
            return errorReply(request, "MissingKey");
        device.values[domain].erase(key);
        return replyFor(request);
    }
    if (request == "ValidatePair") {
        std::string hostId = hostIdOfPairRecord(msg);
        if (hostId.empty())
            return errorReply(request, "InvalidPairRecord");
        if (!device.acceptedHostIds.count(hostId))
            return errorReply(request, "InvalidHostID");
        return replyFor(request);
    }
    if (request == "Pair") {
        std::string hostId = hostIdOfPairRecord(msg);
        if (hostId.empty())
            return errorReply(request, "InvalidPairRecord");
        // The device keeps every host it paired with; libimobiledevice makes a new HostID per pairing.
        device.acceptedHostIds.insert(hostId);
        PlistNode r = replyFor(request);
        static const char escrow[] = "virtual-iphone escrow bag";
        plist_dict_set_item(r.get(), "EscrowBag", plist_new_data(escrow, sizeof escrow - 1));
        return r;
    }
    if (request == "Unpair") {
        device.acceptedHostIds.erase(hostIdOfPairRecord(msg));
        return replyFor(request);
    }
    if (request == "StartSession") {
        std::string hostId = dictString(msg, "HostID");
        if (hostId.empty() || !device.acceptedHostIds.count(hostId))
            return errorReply(request, "InvalidHostID");
        session.id = newSessionId(++session.counter);
        PlistNode r = replyFor(request);
        plist_dict_set_item(r.get(), "SessionID", plist_new_string(session.id.c_str()));
        // Never true: the client would start a TLS handshake that nothing here answers.
        plist_dict_set_item(r.get(), "EnableSessionSSL", plist_new_bool(0));
        return r;
    }
    if (request == "StopSession") {
        std::string id = dictString(msg, "SessionID");
        if (session.id.empty() || id != session.id)
            return errorReply(request, "InvalidSessionID");
        session.id.clear();
        return replyFor(request);
    }
    if (request == "EnterRecovery") {
        leaveAfterReply = true;
        return replyFor(request);
    }
    if (request == "Activate") {
        if (session.id.empty())
            return errorReply(request, "SessionInactive");
        if (!plist_dict_get_item(msg, "ActivationRecord"))
            return errorReply(request, "MissingActivationRecord");
        device.values[""]["ActivationState"] = PlistNode(plist_new_string("Activated"));
        return replyFor(request);
    }
    if (request == "Deactivate") {
        if (session.id.empty())
            return errorReply(request, "SessionInactive");
        device.values[""]["ActivationState"] = PlistNode(plist_new_string("Unactivated"));
        return replyFor(request);
    }
    if (request == "StartService") {
        std::string service = dictString(msg, "Service");
        if (service != "com.apple.afc")
            return errorReply(request, "InvalidService");
        uint16_t port = device.nextServicePort++;
        if (device.nextServicePort < 49152)
            device.nextServicePort = 49152;
        device.services[port] = ServiceKind::Afc;
        PlistNode r = replyFor(request);
        plist_dict_set_item(r.get(), "Service", plist_new_string(service.c_str()));
        plist_dict_set_item(r.get(), "Port", plist_new_uint(port));
        plist_dict_set_item(r.get(), "EnableServiceSSL", plist_new_bool(0));
        return r;
    }
    if (request == "Goodbye")
        return replyFor(request);
    return errorReply(request, "InvalidRequest");
}

} // namespace

void serveLockdown(Registry &registry, const std::shared_ptr<Device> &device, int fd)
{
    Session session;
    for (;;) {
        uint32_t beLength = 0;
        if (!readExact(fd, &beLength, sizeof beLength))
            return;
        uint32_t length = ntohl(beLength);
        if (length == 0 || length > kMaxLockdownMessage) {
            logLine("lockdown: bad message length " + std::to_string(length) + ", dropping connection");
            return;
        }
        std::string body(length, '\0');
        if (!readExact(fd, body.data(), body.size()))
            return;
        PlistNode msg = plistFromWire(body.data(), body.size());
        std::string request = dictString(msg.get(), "Request");
        if (request.empty()) {
            logLine("lockdown: message without Request, dropping connection");
            return;
        }
        std::string domain = dictString(msg.get(), "Domain");
        std::string key = dictString(msg.get(), "Key");

        std::string logEntry = request;
        if (!domain.empty())
            logEntry += " Domain=" + domain;
        if (!key.empty())
            logEntry += " Key=" + key;
        logLine(device->udid + " <- " + logEntry);

        int delayMs = 0;
        std::string injected;
        {
            std::lock_guard lock(registry.mutex());
            device->requestLog.push_back(logEntry);
            for (const std::string &selector : requestSelectors(request, domain, key)) {
                if (!delayMs) {
                    auto d = device->delaysMs.find(selector);
                    if (d != device->delaysMs.end())
                        delayMs = d->second;
                }
                if (injected.empty()) {
                    auto e = device->errors.find(selector);
                    if (e != device->errors.end())
                        injected = e->second;
                }
            }
        }
        if (delayMs > 0 && !registry.delay(*device, delayMs))
            return; // unplugged (or stopping) while the request was pending: no answer
        if (injected == kCloseWithoutReply)
            return;

        bool leave = false;
        PlistNode reply;
        if (!injected.empty()) {
            reply = errorReply(request, injected);
            echoDomainKey(reply.get(), domain, key);
        } else {
            std::lock_guard lock(registry.mutex());
            reply = handleLocked(*device, session, request, msg.get(), domain, key, leave);
        }
        if (leave) {
            // Recovery mode is not a usbmuxd device: the phone leaves. It is gone from the device
            // list before the host sees the reply, so a host that lists right after never finds it.
            registry.unplug(device->udid, fd);
            sendMessage(fd, reply.get());
            return;
        }
        if (!sendMessage(fd, reply.get()))
            return;
    }
}

} // namespace vi
