// Search for the device libraries.
#include "device/library_discovery.h"

#include "device/library_binding.h"
#include "platform/registry/registry.h"
#include "platform/shell/folders.h"
#include "platform/text/text.h"

namespace {

constexpr char kMobileDeviceKey[] = "SOFTWARE\\Apple Inc.\\Apple Mobile Device Support";
constexpr char kMobileDeviceValue[] = "Shared";
constexpr char kCoreFoundationKey[] = "SOFTWARE\\Apple Inc.\\Apple Application Support";
constexpr char kCoreFoundationValue[] = "InstallDir";
constexpr char kWindowsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr char kProgramFilesValue[] = "ProgramFilesDir";

bool isSeparator(char c) { return c == '/' || c == '\\'; }

std::string searchOne(const char *key, const char *valueName, const std::string &fileName, int32_t is64Bit)
{
    std::string fromRegistry = platform::registry::readMachineString(key, valueName);
    if (!fromRegistry.empty())
        return fromRegistry;
    const std::string pf = platform::registry::readMachineString(
        kWindowsKey, is64Bit == 1 ? std::string(kProgramFilesValue) + " (x86)" : std::string(kProgramFilesValue));
    const std::string candidates[] = {
        pf + "/Apple/Mobile Device Support/" + fileName,
        pf + "/Common Files/Apple/Mobile Device Support/" + fileName,
        platform::shell::programFolder() + "/" + fileName,
    };
    for (const std::string &candidate : candidates) {
        if (FileExists(candidate))
            return candidate;
    }
    return {};
}

} // namespace

DeviceLibraryPaths LocateDeviceLibraries()
{
    const int32_t is64Bit = Is64BitSystem();
    DeviceLibraryPaths paths;
    paths.mobileDevice = searchOne(kMobileDeviceKey, kMobileDeviceValue,
                                   DeviceLibraryFileName(DeviceLibrary::MobileDevice), is64Bit);
    paths.coreFoundation = searchOne(kCoreFoundationKey, kCoreFoundationValue,
                                     DeviceLibraryFileName(DeviceLibrary::CoreFoundation), is64Bit);
    return paths;
}

int32_t Is64BitSystem() { return platform::shell::kernelIs64Bit() ? 1 : 0; }

bool FileExists(const std::string &path)
{
    const std::string wide = TextToUtf16(path);
    if (wide.size() < 2)
        return false;
    std::u16string units;
    for (size_t i = 0; i + 1 < wide.size(); i += 2) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(wide[i])
                                                | (static_cast<unsigned char>(wide[i + 1]) << 8));
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    return platform::shell::fileExists(platform::text::utf16ToGbk(units));
}

std::string TextToUtf16(const std::string &text)
{
    if (text.empty())
        return {};
    std::string bytes;
    for (const char16_t unit : platform::text::gbkToUtf16(text)) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    bytes.append(2, '\0');
    return bytes;
}

std::string FileNameOfPath(const std::string &path)
{
    // The component starts after the last separator that is followed by something other than
    // another separator; a trailing separator thus stays part of the last component.
    size_t start = 0;
    size_t i = 0;
    while (i < path.size()) {
        if (isSeparator(path[i]) && i + 1 < path.size() && !isSeparator(path[i + 1]))
            start = i + 1;
        i += (platform::text::isGbkLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) ? 2 : 1;
    }
    const std::string name = path.substr(start);
    if (!name.empty() && isSeparator(name.back()))
        return {};
    return name;
}

std::string LibraryFolderOf(const std::string &libraryPath)
{
    const std::string fileName = FileNameOfPath(libraryPath);
    if (fileName.empty()) {
        std::string folder = libraryPath;
        while (folder.size() > 1 && isSeparator(folder.back()))
            folder.pop_back();
        return folder;
    }
    return platform::text::replaceAll(libraryPath, std::string(1, platform::shell::kPathSeparator) + fileName, "");
}
