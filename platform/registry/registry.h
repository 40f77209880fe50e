// Read-only stand-in for the registry values under HKEY_LOCAL_MACHINE that the program reads.
//
// The values live in one text file in the format of a registry export, UTF-8:
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Apple Inc.\Apple Mobile Device Support]
//   "Shared"="/opt/apple/Mobile Device Support/libMobileDevice.so"
//   "InstallDir"=expand:"%HOME%/apple"          ; expandable string: %NAME% taken from the environment
//   "Version"=dword:00000001                     ; any other type reads as empty
//
// Backslashes and double quotes inside a quoted value are escaped as \\ and \". Keys and value
// names compare ASCII-case-insensitively, as the registry does; the first occurrence wins. Lines
// starting with ';' are comments.
//
// The file is $KELM_REGISTRY_FILE when that variable is set (tests use it), else
// $XDG_CONFIG_HOME/KelmTools/registry.reg (default ~/.config/KelmTools/registry.reg). A missing,
// unreadable, garbled or oversized (over 16 MiB) file, a missing key, a missing value and a value of
// another type all read as the empty text.
#pragma once

#include <string>
#include <string_view>

namespace platform::registry {

// The string or expandable-string value `valueName` of `keyPath` (relative to HKEY_LOCAL_MACHINE,
// such as "SOFTWARE\Apple Inc.\Apple Application Support"), as GBK text; empty when absent.
// The file is read at every call. Any thread.
std::string readMachineString(std::string_view keyPath, std::string_view valueName);

// Path of the store file in use (GBK).
std::string storeFilePath();

} // namespace platform::registry
