// dlopen/dlsym implementation of the native-library service.
#include "platform/dynlib/native_library.h"

#include "platform/shell/folders.h"
#include "platform/text/text.h"

#include <dlfcn.h>

namespace platform::dynlib {

std::string findLibrary(std::string_view bareName)
{
    if (bareName.empty())
        return {};
    const auto candidate = [&](std::string folder) {
        if (!folder.empty() && folder.back() != shell::kPathSeparator)
            folder.push_back(shell::kPathSeparator);
        return folder + std::string(bareName);
    };
    std::string found;
    const auto tryFolder = [&](const std::string &folder) {
        if (found.empty() && !folder.empty() && shell::fileExists(candidate(folder)))
            found = candidate(folder);
    };
    tryFolder(shell::programFolder());
    tryFolder(shell::currentDirectory());
    for (const std::string &entry : text::splitText(shell::environmentVariable("Path"), ";"))
        tryFolder(entry);
    return found;
}

NativeLibrary NativeLibrary::load(std::string_view fullPath)
{
    NativeLibrary lib;
    lib.handle_ = ::dlopen(text::gbkToUtf8(fullPath).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib.handle_) {
        const char *why = ::dlerror();
        lib.error_ = why ? text::utf8ToGbk(why) : std::string("dlopen failed");
    }
    return lib;
}

void *NativeLibrary::symbol(const char *name)
{
    if (!handle_)
        return nullptr;
    ::dlerror();
    void *address = ::dlsym(handle_, name);
    if (!address) {
        const char *why = ::dlerror();
        error_ = why ? text::utf8ToGbk(why) : std::string("symbol not found");
    }
    return address;
}

} // namespace platform::dynlib
