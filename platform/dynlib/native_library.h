// Loading a native shared library and finding its exported functions, with Windows-style search of
// a bare file name. Libraries, once loaded, stay loaded for the life of the process.
#pragma once

#include <string>
#include <string_view>

namespace platform::dynlib {

// Full path of the library named by a bare file name, searched as Windows searches for a library:
// the program's folder, the current directory, then each entry of the "Path" environment variable
// (';'-separated, empty entries skipped), in that order; the first existing file wins. Empty when
// none exists. GBK texts.
std::string findLibrary(std::string_view bareName);

class NativeLibrary {
public:
    NativeLibrary() = default;

    // Loads the library at a full path (GBK). Never throws: on failure isLoaded() is false and
    // errorText() says why.
    static NativeLibrary load(std::string_view fullPath);

    bool isLoaded() const { return handle_ != nullptr; }
    const std::string &errorText() const { return error_; }

    // Address of an exported symbol, or nullptr (with errorText() set) when there is none or the
    // library is not loaded. Not safe to call on one object from two threads at once.
    void *symbol(const char *name);

private:
    void *handle_ = nullptr;
    std::string error_;
};

} // namespace platform::dynlib
