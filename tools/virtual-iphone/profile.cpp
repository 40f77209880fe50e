// Loading device profiles from JSON files.
#include "profile.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

namespace vi {

bool validUdid(const std::string &udid)
{
    if (udid.empty() || udid.size() > 40 || udid.size() == 24)
        return false;
    for (char c : udid) {
        bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-';
        if (!ok)
            return false;
    }
    return true;
}

std::vector<std::string> requestSelectors(const std::string &request, const std::string &domain,
                                          const std::string &key)
{
    std::vector<std::string> out;
    if (!domain.empty() && !key.empty())
        out.push_back(request + ":" + domain + ":" + key);
    else if (!key.empty())
        out.push_back(request + ":" + key);
    else if (!domain.empty())
        out.push_back(request + ":" + domain);
    out.push_back(request);
    return out;
}

static bool loadDomain(const nlohmann::json &members, std::map<std::string, PlistNode> &into, const std::string &where,
                       std::string &error)
{
    if (!members.is_object()) {
        error = where + " must be an object of key: typed value";
        return false;
    }
    for (const auto &[key, typed] : members.items()) {
        std::string why;
        PlistNode node = plistFromTypedJson(typed, why);
        if (!node) {
            error = where + "." + key + ": " + why;
            return false;
        }
        into[key] = std::move(node);
    }
    return true;
}

std::optional<Profile> loadProfile(const std::string &path, std::string &error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open profile " + path;
        return std::nullopt;
    }
    std::stringstream text;
    text << in.rdbuf();
    nlohmann::json doc = nlohmann::json::parse(text.str(), nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) {
        error = path + ": not a JSON object";
        return std::nullopt;
    }

    Profile p;
    for (const auto &[member, v] : doc.items()) {
        if (member == "udid" && v.is_string())
            p.udid = v.get<std::string>();
        else if (member == "description" && v.is_string())
            p.description = v.get<std::string>();
        else if (member == "paired" && v.is_boolean())
            p.paired = v.get<bool>();
        else if (member == "trusted" && v.is_boolean())
            p.trusted = v.get<bool>();
        else if (member == "hostId" && v.is_string())
            p.hostId = v.get<std::string>();
        else if (member == "values") {
            if (!loadDomain(v, p.values[""], "values", error)) {
                error = path + ": " + error;
                return std::nullopt;
            }
        } else if (member == "domains" && v.is_object()) {
            for (const auto &[domain, members] : v.items()) {
                if (domain.empty() || !loadDomain(members, p.values[domain], "domains." + domain, error)) {
                    error = path + ": " + (domain.empty() ? std::string("empty domain name") : error);
                    return std::nullopt;
                }
            }
        } else if (member == "errors" && v.is_object()) {
            for (const auto &[selector, name] : v.items()) {
                if (!name.is_string()) {
                    error = path + ": errors." + selector + " must be a string";
                    return std::nullopt;
                }
                p.errors[selector] = name.get<std::string>();
            }
        } else if (member == "delays" && v.is_object()) {
            for (const auto &[selector, ms] : v.items()) {
                if (!ms.is_number_integer() || ms.get<long long>() < 0 || ms.get<long long>() > 600000) {
                    error = path + ": delays." + selector + " must be milliseconds (0-600000)";
                    return std::nullopt;
                }
                p.delaysMs[selector] = ms.get<int>();
            }
        } else {
            error = path + ": unknown member or wrong kind: \"" + member + "\"";
            return std::nullopt;
        }
    }
    if (!validUdid(p.udid)) {
        error = path + ": udid missing or not 1-40 characters of [A-Za-z0-9-] (and not 24 long)";
        return std::nullopt;
    }
    if (p.hostId.empty()) {
        error = path + ": hostId is empty";
        return std::nullopt;
    }
    return p;
}

} // namespace vi
