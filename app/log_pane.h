// The log pane: one time-stamped line per event of the device side and a few commands, in
// 编辑框_log; the cover check box and the button that empties it. The log lives only in the pane.
#pragma once

#include <string>
#include <string_view>

struct MainWindow;

// The source almost every caller passes.
inline constexpr char LogSourceTag[] = "柯岭助手";

// The line for a message at a given time: "[" h ":" m ":" s "][" source "]=>>" message CR LF, the time
// unpadded (9:5:3).
std::string FormatLogLine(int hour, int minute, int second, std::string_view source, std::string_view message);

// Appends one line with the current local time to the log pane. Callable from any thread: from
// another thread it waits until the window thread has appended it. A line is never interleaved with
// another. Does nothing when there is no main window.
void AppendLog(std::string_view source, std::string_view message);

// Attaches the pane's controls: 选择框4 (cover) and 按钮11 (empty the pane).
void AttachLogPaneHandlers(MainWindow &window);
