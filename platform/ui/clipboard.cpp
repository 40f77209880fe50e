// The clipboard over QClipboard, or a test's handler.
#include "platform/ui/clipboard.h"

#include "platform/ui/control.h"
#include "platform/ui/qt_bridge.h"

#include <QClipboard>
#include <QGuiApplication>

#include <mutex>

namespace platform::ui {
namespace {

std::mutex gHandlerMutex;
ClipboardHandler gHandler;

} // namespace

bool setClipboardText(std::string_view text)
{
    ClipboardHandler handler;
    {
        std::lock_guard lock(gHandlerMutex);
        handler = gHandler;
    }
    if (handler)
        return handler(text);
    bool stored = false;
    runOnWindowThread([&] {
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (!clipboard)
            return;
        clipboard->setText(toQString(text), QClipboard::Clipboard);
        stored = true;
    });
    return stored;
}

std::string clipboardText()
{
    std::string text;
    runOnWindowThread([&] {
        if (QClipboard *clipboard = QGuiApplication::clipboard())
            text = fromQString(clipboard->text(QClipboard::Clipboard));
    });
    return text;
}

void setClipboardHandler(ClipboardHandler handler)
{
    std::lock_guard lock(gHandlerMutex);
    gHandler = std::move(handler);
}

} // namespace platform::ui
