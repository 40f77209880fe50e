// The registry stand-in: parses the export-format store file on every read (it is tiny and read a
// handful of times at start-up).
#include "platform/registry/registry.h"

#include "platform/shell/folders.h"
#include "platform/text/text.h"

#include <fstream>
#include <optional>
#include <sstream>

namespace platform::registry {
namespace {

constexpr std::streamoff kMaxStoreBytes = 16 * 1024 * 1024;
constexpr std::string_view kMachineRoot = "HKEY_LOCAL_MACHINE\\";

std::string readStore()
{
    std::ifstream in(text::gbkToUtf8(storeFilePath()), std::ios::binary);
    if (!in)
        return {};
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size <= 0 || size > kMaxStoreBytes)
        return {};
    in.seekg(0);
    std::string content(static_cast<size_t>(size), '\0');
    in.read(content.data(), size);
    return content;
}

// Parses `"text"` at the start of `s` with \\ and \" escapes; the rest of `s` stays in `rest`.
std::optional<std::string> quoted(std::string_view s, std::string_view &rest)
{
    if (s.empty() || s[0] != '"')
        return std::nullopt;
    std::string out;
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            out.push_back(s[++i]);
        } else if (s[i] == '"') {
            rest = s.substr(i + 1);
            return out;
        } else {
            out.push_back(s[i]);
        }
    }
    return std::nullopt;
}

// ExpandEnvironmentStrings: %NAME% becomes the variable's value; an unset one stays as written.
std::string expand(std::string_view s)
{
    std::string out;
    size_t i = 0;
    while (i < s.size()) {
        const size_t open = s.find('%', i);
        if (open == std::string_view::npos)
            break;
        const size_t close = s.find('%', open + 1);
        if (close == std::string_view::npos)
            break;
        out.append(s.substr(i, open - i));
        const std::string name(s.substr(open + 1, close - open - 1));
        const std::string value = name.empty() ? std::string() : shell::environmentVariable(text::utf8ToGbk(name));
        if (name.empty() || value.empty()) {
            out.append(s.substr(open, close - open + 1));
        } else {
            out.append(text::gbkToUtf8(value));
        }
        i = close + 1;
    }
    out.append(s.substr(i));
    return out;
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

} // namespace

std::string storeFilePath()
{
    const std::string overridden = shell::environmentVariable("KELM_REGISTRY_FILE");
    if (!overridden.empty())
        return overridden;
    std::string config = shell::environmentVariable("XDG_CONFIG_HOME");
    if (config.empty())
        config = shell::homeFolder() + "/.config";
    return config + "/KelmTools/registry.reg";
}

std::string readMachineString(std::string_view keyPath, std::string_view valueName)
{
    const std::string content = readStore();
    if (content.empty())
        return {};
    const std::string wantedKey = text::gbkToUtf8(keyPath);
    const std::string wantedName = text::gbkToUtf8(valueName);
    std::istringstream lines(content);
    std::string line;
    bool inKey = false;
    bool keySeen = false;
    while (std::getline(lines, line)) {
        std::string_view l = trim(line);
        if (l.empty() || l[0] == ';')
            continue;
        if (l.front() == '[') {
            if (keySeen && inKey)
                return {}; // the first section of that name was the one; the value is not in it
            inKey = false;
            if (l.back() != ']')
                continue;
            std::string_view key = l.substr(1, l.size() - 2);
            if (key.size() >= kMachineRoot.size()
                && text::equalsIgnoreAsciiCase(key.substr(0, kMachineRoot.size()), kMachineRoot)) {
                key.remove_prefix(kMachineRoot.size());
                inKey = text::equalsIgnoreAsciiCase(key, wantedKey);
                keySeen = keySeen || inKey;
            }
            continue;
        }
        if (!inKey)
            continue;
        std::string_view rest;
        const auto name = quoted(l, rest);
        if (!name || !text::equalsIgnoreAsciiCase(*name, wantedName))
            continue;
        rest = trim(rest);
        if (rest.empty() || rest[0] != '=')
            return {};
        rest = trim(rest.substr(1));
        bool expandable = false;
        if (rest.substr(0, 7) == "expand:") {
            expandable = true;
            rest.remove_prefix(7);
        }
        std::string_view tail;
        const auto value = quoted(rest, tail);
        if (!value)
            return {}; // another type, or garbage
        return text::utf8ToGbk(expandable ? expand(*value) : *value);
    }
    return {};
}

} // namespace platform::registry
