// The desktop clipboard: plain text in, plain text out. The program's texts are GBK; the clipboard
// holds Unicode text, so both directions convert (GBK decoded as GB18030, nothing is lost).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace platform::ui {

// Replaces the clipboard's content with `text` (GBK) as plain text; an empty text leaves an empty
// text there. Returns false when the clipboard could not take it (no clipboard on this desktop).
// Any thread: from another thread it waits until the window thread has done it.
bool setClipboardText(std::string_view text);

// The clipboard's plain text as GBK (characters outside GBK become '?'); empty when it holds none.
// Any thread, as above.
std::string clipboardText();

// While a handler is installed, setClipboardText hands the text to it instead of the desktop
// clipboard and returns what it returns (tests: a clipboard that cannot be opened). Empty restores.
using ClipboardHandler = std::function<bool(std::string_view text)>;
void setClipboardHandler(ClipboardHandler handler);

} // namespace platform::ui
