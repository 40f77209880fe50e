// Which control runs which command.
#include "commands/command_handlers.h"

#include "app/main_window.h"
#include "commands/device_commands.h"
#include "commands/identifier_copy.h"
#include "commands/tool_blocker.h"

void AttachCommandHandlers(MainWindow &w)
{
    w.按钮2.onClick(EnterRecoveryMode);
    w.按钮9.onClick(DisconnectDevice);
    w.按钮20.onClick(ActivateDevice);
    w.按钮3.onClick([&w] { DeactivateDevice(w); });
    w.按钮7.onClick([&w] { CopySelectedIdentifier(w); });

    w.按钮1.onClick(BlockI4ToolsOnce);
    w.按钮4.onClick(BlockITunesOnce);
    w.选择框1.onClick([&w] { OnRepeatI4ToolsClicked(w); });
    w.选择框2.onClick([&w] { OnRepeatITunesClicked(w); });
    w.时钟2.onTick(BlockI4ToolsOnce);
    w.时钟3.onTick(BlockITunesOnTick);
}
