// The competing-tool blocker in the bottom row of the main window: ends the i4 assistant
// ("i4Tools.exe") or iTunes once per button click, or on every tick of a timer while its check box
// is ticked. Nothing is ever reported: when no such process runs or it cannot be ended, the click or
// tick has no effect and the next tick tries again. Everything runs on the window thread.
#pragma once

struct MainWindow;

// The executable names, as each control spells them (the comparison ignores letter case).
inline constexpr char I4ToolsProcessName[] = "i4Tools.exe";
inline constexpr char ITunesButtonProcessName[] = "itunes.exe";
inline constexpr char ITunesTimerProcessName[] = "iTunes.exe";

// The timer period while a box is ticked: 1 ms, which the timer runs as fast as the system allows
// (every 10 ms), ending at most one process per tick.
inline constexpr int RepeatBlockPeriod = 1;

// 按钮1 / 时钟2 tick: end one "i4Tools.exe".
void BlockI4ToolsOnce();
// 按钮4: end one "itunes.exe"; 时钟3 tick: end one "iTunes.exe".
void BlockITunesOnce();
void BlockITunesOnTick();

// 选择框1 / 选择框2 clicked: ticked, the one-shot button greys out and the timer repeats; unticked,
// the timer stops at once and the button is usable again.
void OnRepeatI4ToolsClicked(MainWindow &window);
void OnRepeatITunesClicked(MainWindow &window);
