// The desktop's "open" verb for folders, files and web addresses.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace platform::shell {

// Asks the desktop to open a folder, a file or a web address (xdg-open), without waiting for it.
// Returns false when the request could not be started. Any thread.
bool openWithDesktop(std::string_view target);

// While set, openWithDesktop hands the target (GBK) to this function instead (tests). Empty restores.
void setOpenHandlerForTesting(std::function<bool(const std::string &target)> handler);

} // namespace platform::shell
