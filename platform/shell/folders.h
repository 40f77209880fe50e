// Where things live on this desktop: the program's own folder, the user's home, documents and
// favourites folders, and the process environment (variables, current directory).
//
// Paths are GBK texts, as everywhere in the program; they are converted to UTF-8 file names only
// inside platform/. Folder results never end in a separator unless documented otherwise.
#pragma once

#include <string>
#include <string_view>

namespace platform::shell {

// The path separator of this system's file names.
inline constexpr char kPathSeparator = '/';

// Folder of the running executable (from /proc/self/exe), without a trailing separator.
// Empty if the system does not tell.
std::string programFolder();

// The user's home folder ($HOME, else the password database), without a trailing separator. It
// stands where the program would use the root of drive C:.
std::string homeFolder();

// The desktop's documents folder (XDG_DOCUMENTS_DIR of user-dirs.dirs, else $HOME/Documents), WITH a
// trailing separator. The folder is created if it does not exist yet.
std::string documentsFolder();

// The program's favourites folder: $XDG_DATA_HOME/KelmTools/Favorites (default
// $HOME/.local/share/KelmTools/Favorites), WITH a trailing separator; created if missing. Linux
// desktops have no favourites folder of their own, so the program keeps one in the user's data folder.
std::string favoritesFolder();

// Process environment. An unset variable reads as the empty text. Setting is not thread-safe with
// respect to other threads reading the environment: do it before other threads start.
std::string environmentVariable(std::string_view name);
bool setEnvironmentVariable(std::string_view name, std::string_view value);
bool setCurrentDirectory(std::string_view path);
std::string currentDirectory();

// True when the running kernel is a 64-bit one (x86_64, aarch64, ...), whatever this process is.
bool kernelIs64Bit();

// True when the path names an existing entry that is not a directory (a file, or a link to one).
bool fileExists(std::string_view path);

} // namespace platform::shell
