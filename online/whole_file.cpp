// Whole-file writes at GBK paths (converted to UTF-8 file names here).
#include "online/whole_file.h"

#include "platform/shell/folders.h"
#include "platform/text/text.h"

#include <fstream>

bool WriteWholeFile(const std::string &gbkPath, std::string_view bytes)
{
    std::ofstream out(platform::text::gbkToUtf8(gbkPath), std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

std::string DriveRootFolder() { return platform::shell::homeFolder() + platform::shell::kPathSeparator; }
