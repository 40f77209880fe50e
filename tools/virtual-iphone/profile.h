// A device profile: what one virtual iPhone answers, loaded from a JSON file (format in README.md).
#pragma once

#include "plist_node.h"

#include <map>
#include <optional>
#include <string>

namespace vi {

// Values by domain, then by key. The default domain (requests without Domain) is "".
using ValueStore = std::map<std::string, std::map<std::string, PlistNode>>;

struct Profile {
    std::string udid;
    std::string description;
    // The host already holds a pair record for this device when it is plugged in.
    bool paired = true;
    // The device accepts the HostID of that premade record (ValidatePair, StartSession).
    bool trusted = true;
    // HostID of the premade pair record.
    std::string hostId = "5A1E7C0D-3B2F-4E19-9A66-0D4C8B7E2F10";
    ValueStore values;
    // Error name to answer instead of the normal reply, by request selector (see requestSelectors).
    std::map<std::string, std::string> errors;
    // Milliseconds to wait before answering, by request selector.
    std::map<std::string, int> delaysMs;
};

// Reads and checks a profile file. Returns nothing and a reason in error when the file is missing,
// is not JSON, or breaks the format (bad udid, untyped value, unknown member…).
std::optional<Profile> loadProfile(const std::string &path, std::string &error);

// The names under which errors and delays are looked up for one lockdown request, most specific
// first: "Request:Domain:Key", "Request:Key" (no domain), "Request:Domain" (no key), "Request".
std::vector<std::string> requestSelectors(const std::string &request, const std::string &domain,
                                          const std::string &key);

// True when udid can serve as a usbmuxd SerialNumber unchanged: 1–40 characters of [A-Za-z0-9-],
// and not 24 characters (libusbmuxd would insert a dash into those).
bool validUdid(const std::string &udid);

} // namespace vi
