// Every outside address and number the program shows or uses, in one place.
//
// The addresses are configuration: the share page of the software list, the app store, the file host
// (IPAs under /apps/, the iTunes installer under /soft/), the icon host of the install manifest, the
// developer's profile page and the shared download with its extraction code. Handlers read them through
// AddressOf(), so a test can put a local server (127.0.0.1) in their place; nothing else changes them.
#pragma once

#include <map>
#include <string>

// The support group shown on the home page ("QQ群:" followed by it).
inline constexpr char kSupportGroupNumber[] = "000000000";
// The maker's contact number, shown by the tester window.
inline constexpr char kContactNumber[] = "000000000";

// One outside address; the handlers add scheme or path where the program's rules say so.
struct OutsideAddress {
    const char *value;
};

// The cloud share page holding the software list (a whole HTTPS address).
inline constexpr OutsideAddress kSharePageAddress{"https://pan.example.com/s/kelmtools-list"};
// Host of the online app store ("https://" + host, "/" shown after it).
inline constexpr OutsideAddress kAppStoreHost{"store.example.com"};
// Host of the maker's files: "http://" + host + "/apps/<number>.ipa", "https://" + host + "/soft/...".
inline constexpr OutsideAddress kFileHost{"files.example.com"};
// Host of the install manifest's icon ("https://" + host + "/ipadown/img/logo.png").
inline constexpr OutsideAddress kIconHost{"img.example.com"};
// The developer's profile page on the video site (a whole address).
inline constexpr OutsideAddress kProfilePageAddress{"https://video.example.com/space/kelmtools"};
// The shared download of the home page's hidden label (a whole address) and its extraction code.
inline constexpr OutsideAddress kSharedDownloadAddress{"https://pan.example.com/s/kelmtools-share"};
inline constexpr OutsideAddress kSharedDownloadCode{"0000"};

namespace outside_addresses_detail {
inline std::map<const OutsideAddress *, std::string> &overrides()
{
    static std::map<const OutsideAddress *, std::string> map;
    return map;
}
} // namespace outside_addresses_detail

// The address in force: the constant, or what a test has put in its place. Window thread (tests set
// overrides before they click).
inline std::string AddressOf(const OutsideAddress &address)
{
    const auto &map = outside_addresses_detail::overrides();
    const auto found = map.find(&address);
    return found != map.end() ? found->second : std::string(address.value);
}

// For tests: replaces the address (for instance by "127.0.0.1:<port>"); an empty value restores it.
inline void SetAddressForTesting(const OutsideAddress &address, const std::string &value)
{
    auto &map = outside_addresses_detail::overrides();
    if (value.empty())
        map.erase(&address);
    else
        map[&address] = value;
}
