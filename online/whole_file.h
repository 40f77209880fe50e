// Writing a whole file at a GBK path, replacing what was there. Any thread.
#pragma once

#include <string>
#include <string_view>

// Writes `bytes` as the file's whole content (created or truncated). False when the file cannot be
// opened or written; callers of the program ignore that, as its rules say.
bool WriteWholeFile(const std::string &gbkPath, std::string_view bytes);

// The folder that stands where the program would use the root of drive C: the user's home folder,
// with a trailing separator.
std::string DriveRootFolder();
