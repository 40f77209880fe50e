// Reading and writing INI files on disk: path conversion, whole-file reads, and the write that makes
// the new file beside the old one and renames it into place.
#include "platform/ini/ini.h"

#include "platform/ini/ini_text.h"
#include "platform/text/text.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::ini {

namespace {

// Serialises read-modify-write cycles of this process, so two threads writing keys of one file do not
// lose each other's key.
std::mutex g_writeLock;
std::atomic<unsigned> g_tempCounter{0};

std::string fileSystemPath(std::string_view gbkPath)
{
    std::string path = platform::text::gbkToUtf8(gbkPath);
    // In UTF-8 a 0x5C byte is always a backslash (in GBK it can be half of a character), so the
    // separators are changed only after the conversion.
    for (char& c : path) {
        if (c == '\\')
            c = '/';
    }
    return path;
}

// The whole file, or nullopt when it is missing, not a regular file or cannot be read.
std::optional<std::string> readWholeFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string content;
    content.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0)
            break;
        content.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return content;
}

bool writeAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t put = ::write(fd, data.data(), data.size());
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Writes `content` to a new file in the folder of `target` and renames it over `target`. `existing`
// is the target's status when it exists (its permission bits and owner are carried over).
bool replaceFile(const std::string& target, std::string_view content, const struct stat* existing)
{
    const std::string folder = folderOf(target);
    const std::string base = target.substr(target.rfind('/') == std::string::npos ? 0 : target.rfind('/') + 1);
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + "/." + base + ".tmp-" + std::to_string(::getpid()) + "-" +
               std::to_string(g_tempCounter.fetch_add(1));
        // 0666 with the umask applied is what a newly created file gets; an existing file's bits are
        // set below.
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    bool ok = true;
    if (existing != nullptr) {
        ok = ::fchmod(fd, existing->st_mode & 07777) == 0;
        // Best effort: only root can hand a file to another owner, and then it should.
        [[maybe_unused]] const int chowned = ::fchown(fd, existing->st_uid, existing->st_gid);
    }
    ok = ok && writeAll(fd, content) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here no longer loses anything.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool validSection(std::string_view name)
{
    return !name.empty() && name.find_first_of("\r\n") == std::string_view::npos &&
           platform::text::findText(name, "]") == std::string_view::npos;
}

bool validKey(std::string_view name)
{
    return !name.empty() && name.find_first_of("\r\n=") == std::string_view::npos && name.front() != ';' &&
           name.front() != '[';
}

// At most kMaxValueBytes, never ending in the first byte of a double-byte character.
std::string_view cutToBuffer(std::string_view value)
{
    if (value.size() <= kMaxValueBytes)
        return value;
    std::size_t at = 0;
    while (at < value.size()) {
        const bool pair = platform::text::isGbkLeadByte(static_cast<unsigned char>(value[at])) && at + 1 < value.size();
        const std::size_t step = pair ? 2 : 1;
        if (at + step > kMaxValueBytes)
            break;
        at += step;
    }
    return value.substr(0, at);
}

std::string_view unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

std::string readString(std::string_view path, std::string_view section, std::string_view key)
{
    const std::string_view sectionName = detail::trimBlanks(section);
    const std::string_view keyName = detail::trimBlanks(key);
    if (sectionName.empty() || keyName.empty())
        return {};
    const std::optional<std::string> file = readWholeFile(fileSystemPath(path));
    if (!file)
        return {};
    const std::optional<std::string_view> value = detail::findValue(*file, sectionName, keyName);
    if (!value)
        return {};
    std::string_view text = unquote(*value);
    text = text.substr(0, text.find('\0'));
    return std::string(cutToBuffer(text));
}

std::int32_t readInt(std::string_view path, std::string_view section, std::string_view key)
{
    const std::string value = readString(path, section, key);
    std::size_t at = 0;
    bool negative = false;
    if (at < value.size() && (value[at] == '+' || value[at] == '-')) {
        negative = value[at] == '-';
        ++at;
    }
    // Accumulated as a negative number so that INT32_MIN itself fits; beyond the range it saturates.
    std::int64_t number = 0;
    for (; at < value.size() && value[at] >= '0' && value[at] <= '9'; ++at) {
        number = number * 10 - (value[at] - '0');
        if (number < std::int64_t{INT32_MIN} - 1)
            number = std::int64_t{INT32_MIN} - 1;
    }
    if (negative)
        return number < INT32_MIN ? INT32_MIN : static_cast<std::int32_t>(number);
    return -number > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(-number);
}

bool writeString(std::string_view path, std::string_view section, std::string_view key, std::string_view value)
{
    const std::string_view sectionName = detail::trimBlanks(section);
    const std::string_view keyName = detail::trimBlanks(key);
    if (!validSection(sectionName) || !validKey(keyName))
        return false;
    std::string target = fileSystemPath(path);
    if (target.empty())
        return false;

    const std::lock_guard<std::mutex> lock(g_writeLock);
    // Through a symbolic link the file it names is replaced, and the link stays.
    if (char* resolved = ::realpath(target.c_str(), nullptr)) {
        target = resolved;
        std::free(resolved);
    }
    struct stat info {};
    const bool exists = ::stat(target.c_str(), &info) == 0;
    std::string old;
    if (exists) {
        // A read-only file stays read-only, for root too (rename would otherwise replace it).
        if (!S_ISREG(info.st_mode) || (info.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)
            return false;
        std::optional<std::string> content = readWholeFile(target);
        if (!content)
            return false;
        old = std::move(*content);
    } else if (errno != ENOENT) {
        return false;
    }
    return replaceFile(target, detail::withValue(old, sectionName, keyName, value), exists ? &info : nullptr);
}

} // namespace platform::ini
