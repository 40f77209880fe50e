// Finding the two device libraries before the device thread starts: from the registry stand-in, or by
// probing the usual install folders and the program's own folder. Nothing is loaded here.
#pragma once

#include <cstdint>
#include <string>

struct DeviceLibraryPaths {
    std::string mobileDevice;   // empty when not found
    std::string coreFoundation; // empty when not found; a folder when it came from "InstallDir"
};

// Runs the search for libMobileDevice.so, then for libCoreFoundation.so; each ends at its first
// success: its own registry value taken unchanged when not empty, else the first existing file of
// PF/Apple/Mobile Device Support/, PF/Common Files/Apple/Mobile Device Support/ and the program's
// folder, where PF is the registry's Program Files folder ("ProgramFilesDir", with " (x86)" on a
// 64-bit system). GBK paths. Window thread, at start-up.
DeviceLibraryPaths LocateDeviceLibraries();

// 1 on a 64-bit system, else 0.
int32_t Is64BitSystem();

// True when the path names an existing entry that is not a directory.
bool FileExists(const std::string &path);

// The text as zero-terminated UTF-16LE bytes (code page 936 source); empty for an empty text.
std::string TextToUtf16(const std::string &text);

// The last component of a path ('/' or '\' separated), extension included; empty when that
// component ends in a separator. A separator byte inside a double-byte character does not count.
std::string FileNameOfPath(const std::string &path);

// The folder made current at start-up: the library path with every occurrence of separator + its
// file name removed. A path without a file name (a folder, as the registry may give) is the folder
// itself, without trailing separators.
std::string LibraryFolderOf(const std::string &libraryPath);
