// The blocker's buttons, check boxes and timers.
#include "commands/tool_blocker.h"

#include "app/main_window.h"
#include "commands/process_termination.h"

namespace ui = platform::ui;

namespace {

void SwitchRepeat(const ui::CheckBox &box, ui::Button &once, ui::Timer &timer)
{
    const bool ticked = box.isTicked();
    once.setEnabled(!ticked);
    timer.setPeriod(ticked ? RepeatBlockPeriod : 0);
}

} // namespace

void BlockI4ToolsOnce() { TerminateProcessByName(I4ToolsProcessName); }

void BlockITunesOnce() { TerminateProcessByName(ITunesButtonProcessName); }

void BlockITunesOnTick() { TerminateProcessByName(ITunesTimerProcessName); }

void OnRepeatI4ToolsClicked(MainWindow &w) { SwitchRepeat(w.选择框1, w.按钮1, w.时钟2); }

void OnRepeatITunesClicked(MainWindow &w) { SwitchRepeat(w.选择框2, w.按钮4, w.时钟3); }
