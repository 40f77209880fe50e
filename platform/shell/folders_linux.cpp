// Linux implementation of the folder and environment services.
#include "platform/shell/folders.h"

#include "platform/text/text.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace platform::shell {
namespace {

std::string toFs(std::string_view gbk) { return text::gbkToUtf8(gbk); }
std::string fromFs(std::string_view utf8) { return text::utf8ToGbk(utf8); }

std::string envUtf8(const char *name)
{
    const char *v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string homeUtf8()
{
    std::string home = envUtf8("HOME");
    if (home.empty()) {
        if (const passwd *pw = getpwuid(getuid()); pw && pw->pw_dir)
            home = pw->pw_dir;
    }
    while (home.size() > 1 && home.back() == '/')
        home.pop_back();
    return home;
}

void makeFolders(const std::string &utf8)
{
    for (size_t i = 1; i <= utf8.size(); ++i) {
        if (i == utf8.size() || utf8[i] == '/')
            ::mkdir(utf8.substr(0, i).c_str(), 0755);
    }
}

std::string withSeparator(std::string utf8)
{
    if (utf8.empty() || utf8.back() != '/')
        utf8.push_back('/');
    return utf8;
}

// XDG_DOCUMENTS_DIR="$HOME/Dokumente" from user-dirs.dirs, with $HOME expanded.
std::string xdgDocumentsUtf8(const std::string &home)
{
    std::string config = envUtf8("XDG_CONFIG_HOME");
    if (config.empty())
        config = home + "/.config";
    std::ifstream in(config + "/user-dirs.dirs");
    std::string line;
    while (std::getline(in, line)) {
        const std::string key = "XDG_DOCUMENTS_DIR=\"";
        if (line.compare(0, key.size(), key) != 0 || line.size() < key.size() + 1 || line.back() != '"')
            continue;
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.compare(0, 5, "$HOME") == 0)
            value = home + value.substr(5);
        if (!value.empty() && value[0] == '/')
            return value;
    }
    return home + "/Documents";
}

} // namespace

std::string programFolder()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {};
    std::string path(buffer, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return fromFs(path.substr(0, slash));
}

std::string homeFolder() { return fromFs(homeUtf8()); }

std::string documentsFolder()
{
    const std::string folder = xdgDocumentsUtf8(homeUtf8());
    makeFolders(folder);
    return fromFs(withSeparator(folder));
}

std::string favoritesFolder()
{
    std::string data = envUtf8("XDG_DATA_HOME");
    if (data.empty())
        data = homeUtf8() + "/.local/share";
    const std::string folder = data + "/KelmTools/Favorites";
    makeFolders(folder);
    return fromFs(withSeparator(folder));
}

std::string environmentVariable(std::string_view name)
{
    return fromFs(envUtf8(toFs(name).c_str()));
}

bool setEnvironmentVariable(std::string_view name, std::string_view value)
{
    return ::setenv(toFs(name).c_str(), toFs(value).c_str(), 1) == 0;
}

bool setCurrentDirectory(std::string_view path) { return ::chdir(toFs(path).c_str()) == 0; }

std::string currentDirectory()
{
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? fromFs(buffer) : std::string();
}

bool kernelIs64Bit()
{
    utsname name {};
    if (::uname(&name) != 0)
        return sizeof(void *) == 8;
    const std::string machine = name.machine;
    return machine.find("64") != std::string::npos || machine == "s390x";
}

bool fileExists(std::string_view path)
{
    if (path.empty())
        return false;
    struct stat st {};
    return ::stat(toFs(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

} // namespace platform::shell
