// Typed JSON to plist conversion and plist wire encoding for the virtual iPhone.
#include "plist_node.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <cstring>
#include <ctime>

namespace vi {

bool base64Decode(const std::string &text, std::vector<char> &out)
{
    out.clear();
    uint32_t acc = 0;
    int bits = 0;
    bool padding = false;
    for (char c : text) {
        int v;
        if (c >= 'A' && c <= 'Z')
            v = c - 'A';
        else if (c >= 'a' && c <= 'z')
            v = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            v = c - '0' + 52;
        else if (c == '+')
            v = 62;
        else if (c == '/')
            v = 63;
        else if (c == '=') {
            padding = true;
            continue;
        } else if (c == ' ' || c == '\n' || c == '\r' || c == '\t')
            continue;
        else
            return false;
        if (padding)
            return false; // data after padding
        acc = (acc << 6) | static_cast<uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<char>((acc >> bits) & 0xFF));
        }
    }
    return true;
}

// Seconds between the Unix epoch and the plist epoch (2001-01-01T00:00:00Z).
static constexpr long long kPlistEpochOffset = 978307200;

static bool parseIsoDate(const std::string &text, long long &plistSeconds)
{
    std::tm tm{};
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2dZ%n", &tm.tm_year, &tm.tm_mon, &tm.tm_mday, &tm.tm_hour,
                    &tm.tm_min, &tm.tm_sec, &consumed) != 6
        || static_cast<std::size_t>(consumed) != text.size())
        return false;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    plistSeconds = static_cast<long long>(timegm(&tm)) - kPlistEpochOffset;
    return true;
}

PlistNode plistFromTypedJson(const nlohmann::json &typed, std::string &error)
{
    if (!typed.is_object() || typed.size() != 1) {
        error = "a typed value is an object with exactly one member (string, integer, real, bool, data, date, "
                "array or dict): " + typed.dump();
        return {};
    }
    const std::string type = typed.begin().key();
    const nlohmann::json &v = typed.begin().value();
    if (type == "string" && v.is_string())
        return PlistNode(plist_new_string(v.get<std::string>().c_str()));
    if (type == "integer" && v.is_number_integer()) {
        // libplist keeps every integer as 64 bits; a negative one travels as its two's complement.
        uint64_t u = v.is_number_unsigned() ? v.get<uint64_t>() : static_cast<uint64_t>(v.get<int64_t>());
        return PlistNode(plist_new_uint(u));
    }
    if (type == "real" && v.is_number())
        return PlistNode(plist_new_real(v.get<double>()));
    if (type == "bool" && v.is_boolean())
        return PlistNode(plist_new_bool(v.get<bool>() ? 1 : 0));
    if (type == "data" && v.is_string()) {
        std::vector<char> bytes;
        if (!base64Decode(v.get<std::string>(), bytes)) {
            error = "data is not valid base64: " + v.dump();
            return {};
        }
        return PlistNode(plist_new_data(bytes.data(), bytes.size()));
    }
    if (type == "date" && v.is_string()) {
        long long seconds = 0;
        if (!parseIsoDate(v.get<std::string>(), seconds)) {
            error = "date must look like 2024-01-31T08:00:00Z: " + v.dump();
            return {};
        }
        return PlistNode(plist_new_date(static_cast<int32_t>(seconds), 0));
    }
    if (type == "array" && v.is_array()) {
        PlistNode array(plist_new_array());
        for (const auto &item : v) {
            PlistNode child = plistFromTypedJson(item, error);
            if (!child)
                return {};
            plist_array_append_item(array.get(), child.release());
        }
        return array;
    }
    if (type == "dict" && v.is_object()) {
        PlistNode dict(plist_new_dict());
        for (const auto &[key, item] : v.items()) {
            PlistNode child = plistFromTypedJson(item, error);
            if (!child)
                return {};
            plist_dict_set_item(dict.get(), key.c_str(), child.release());
        }
        return dict;
    }
    error = "unknown type or wrong JSON kind for \"" + type + "\": " + v.dump();
    return {};
}

PlistNode plistFromWire(const char *data, std::size_t size)
{
    plist_t out = nullptr;
    if (size > 0xFFFFFFFFu)
        return {};
    if (size >= 8 && std::memcmp(data, "bplist00", 8) == 0)
        plist_from_bin(data, static_cast<uint32_t>(size), &out);
    else if (size >= 5 && std::memcmp(data, "<?xml", 5) == 0)
        plist_from_xml(data, static_cast<uint32_t>(size), &out);
    return PlistNode(out);
}

std::string plistToXml(plist_t node)
{
    char *xml = nullptr;
    uint32_t len = 0;
    plist_to_xml(node, &xml, &len);
    std::string out(xml ? xml : "", xml ? len : 0);
    std::free(xml);
    return out;
}

std::string plistToBinary(plist_t node)
{
    char *bin = nullptr;
    uint32_t len = 0;
    plist_to_bin(node, &bin, &len);
    std::string out(bin ? bin : "", bin ? len : 0);
    std::free(bin);
    return out;
}

std::string stringValue(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return {};
    char *s = nullptr;
    plist_get_string_val(node, &s);
    std::string out(s ? s : "");
    std::free(s);
    return out;
}

std::string dictString(plist_t dict, const char *key)
{
    if (!dict || plist_get_node_type(dict) != PLIST_DICT)
        return {};
    return stringValue(plist_dict_get_item(dict, key));
}

bool dictUint(plist_t dict, const char *key, uint64_t &value)
{
    if (!dict || plist_get_node_type(dict) != PLIST_DICT)
        return false;
    plist_t item = plist_dict_get_item(dict, key);
    if (!item || plist_get_node_type(item) != PLIST_UINT)
        return false;
    plist_get_uint_val(item, &value);
    return true;
}

} // namespace vi
