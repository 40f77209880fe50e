// The common file dialog: an open-file dialog with a Windows filter text ("name|pattern|..."), whose
// file-name property keeps the last confirmed choice, and a save-file question for downloads. Tests
// answer both through one handler ("the next file name", or cancel) instead of a real dialog.
//
// Paths are GBK texts. Window thread only.
#pragma once

#include "platform/ui/control.h"

#include <optional>

namespace platform::ui {

struct FileDialogRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    std::string filter;      // the Windows filter text, e.g. "(*.ipa)|*.ipa|"
    std::string initialPath; // save: the suggested full path; open: the previous choice
};

// While a handler is installed, dialogs ask it instead of the user: it returns the chosen path, or
// nullopt for a cancelled dialog. Empty restores the real dialogs.
using FileDialogHandler = std::function<std::optional<std::string>(const FileDialogRequest &)>;
void setFileDialogHandler(FileDialogHandler handler);

// The Windows filter text as Qt name filters: "(*.ipa)|*.ipa|" gives "(*.ipa) (*.ipa)"; several
// patterns of one entry ("*.a;*.b") are kept; an empty text gives "*" (every file).
std::string qtNameFilters(std::string_view windowsFilter);

// Not a visible control: it belongs to the window of `owner`, which owns the dialog while it shows; a
// plain object named `name` stands for it among the owner's children.
class FileDialog {
public:
    FileDialog(Control &owner, std::string_view name, std::string_view filter);

    // Shows the open-file dialog and waits for the user. True when a file was confirmed; fileName()
    // then holds it. A cancelled dialog leaves fileName() as it was (empty before the first choice).
    bool showOpen();

    std::string fileName() const { return fileName_; }
    void setFileName(std::string_view path) { fileName_ = std::string(path); }
    std::string filter() const { return filter_; }
    std::string name() const { return name_; }

private:
    Control &owner_;
    std::string name_;
    std::string filter_;
    std::string fileName_;
};

// Asks where to save a file, suggesting `suggestedPath`; nullopt when the user cancels. `owner`
// may be null (then the dialog has no owner window).
std::optional<std::string> askSaveFileName(QWidget *owner, std::string_view suggestedPath,
                                           std::string_view filter = {});

} // namespace platform::ui
