// An owning, copyable handle on a libplist node, plus the conversions the virtual iPhone needs:
// typed JSON (profile and control syntax) to plist, and plist to/from the XML and binary wire forms.
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <plist/plist.h>

#include <string>
#include <vector>

namespace vi {

// Owns one plist node tree (freed on destruction, deep-copied on copy). An empty PlistNode holds
// nullptr. Not thread-safe: guard shared instances with the owner's lock.
class PlistNode {
public:
    PlistNode() = default;
    explicit PlistNode(plist_t adopted) : node_(adopted) {}
    PlistNode(const PlistNode &other) : node_(other.node_ ? plist_copy(other.node_) : nullptr) {}
    PlistNode(PlistNode &&other) noexcept : node_(other.node_) { other.node_ = nullptr; }
    PlistNode &operator=(PlistNode other) noexcept
    {
        std::swap(node_, other.node_);
        return *this;
    }
    ~PlistNode()
    {
        if (node_)
            plist_free(node_);
    }

    plist_t get() const { return node_; }
    // Gives up ownership; the caller frees the tree (or hands it to a container node).
    plist_t release()
    {
        plist_t n = node_;
        node_ = nullptr;
        return n;
    }
    // A deep copy the caller owns, for plist_dict_set_item and friends. nullptr when empty.
    plist_t copy() const { return node_ ? plist_copy(node_) : nullptr; }
    explicit operator bool() const { return node_ != nullptr; }

private:
    plist_t node_ = nullptr;
};

// Converts a typed JSON value: exactly one member naming the plist type, e.g. {"string":"x"},
// {"integer":5}, {"real":1.5}, {"bool":true}, {"data":"<base64>"}, {"date":"2024-01-31T08:00:00Z"},
// {"array":[<typed>…]}, {"dict":{"k":<typed>…}}. Returns an empty node and sets error on anything
// else.
PlistNode plistFromTypedJson(const nlohmann::json &typed, std::string &error);

// Parses a wire payload that starts with "bplist00" (binary) or "<?xml" (XML). Anything else, and
// any parse failure, gives an empty node: the caller never hands random bytes to the parser.
PlistNode plistFromWire(const char *data, std::size_t size);

std::string plistToXml(plist_t node);
std::string plistToBinary(plist_t node);

// The text of a string node; empty for anything else.
std::string stringValue(plist_t node);
// Reads a string member of a dict; empty when missing or not a string.
std::string dictString(plist_t dict, const char *key);
// Reads an integer member of a dict into value. False when missing or not an integer.
bool dictUint(plist_t dict, const char *key, uint64_t &value);

// Base64 (RFC 4648, padding optional, whitespace ignored). False on any other character.
bool base64Decode(const std::string &text, std::vector<char> &out);

} // namespace vi
