// Writing to the log pane and its cover.
#include "app/log_pane.h"

#include "app/main_window.h"
#include "platform/datetime/clock.h"

std::string FormatLogLine(int hour, int minute, int second, std::string_view source, std::string_view message)
{
    std::string line;
    line.reserve(source.size() + message.size() + 24);
    line += '[';
    line += std::to_string(hour);
    line += ':';
    line += std::to_string(minute);
    line += ':';
    line += std::to_string(second);
    line += "][";
    line += source;
    line += "]=>>";
    line += message;
    line += "\r\n";
    return line;
}

void AppendLog(std::string_view source, std::string_view message)
{
    const platform::datetime::LocalTime t = platform::datetime::now();
    const std::string line = FormatLogLine(t.hour, t.minute, t.second, source, message);
    // The whole append is one step on the window thread, so concurrent lines never mix.
    ui::runOnWindowThread([&line] {
        if (gMainWindow)
            gMainWindow->编辑框_log.appendText(line);
    });
}

namespace {

// Ticked: the empty, disabled 编辑框6 lies over the log pane and 按钮11 is disabled. The log keeps
// being written underneath.
void OnLogCoverClicked(MainWindow &w)
{
    if (w.选择框4.isTicked()) {
        w.编辑框6.move(625, 31);
        w.编辑框6.setVisible(true);
        w.按钮11.setEnabled(false);
    } else {
        w.编辑框6.move(9999, 9999);
        w.编辑框6.setVisible(false);
        w.按钮11.setEnabled(true);
    }
}

void OnClearLogClicked(MainWindow &w) { w.编辑框_log.setCaption(""); }

} // namespace

void AttachLogPaneHandlers(MainWindow &window)
{
    window.选择框4.onClick([&window] { OnLogCoverClicked(window); });
    window.按钮11.onClick([&window] { OnClearLogClicked(window); });
}
