// File dialogs over QFileDialog, or a test's handler.
#include "platform/ui/file_dialog.h"

#include "platform/text/text.h"
#include "platform/ui/qt_bridge.h"

#include <QFileDialog>
#include <QWidget>

namespace platform::ui {
namespace {

FileDialogHandler gHandler;

std::optional<std::string> ask(const FileDialogRequest &request, QWidget *owner)
{
    if (gHandler) {
        FileDialogHandler handler = gHandler;
        return handler(request);
    }
    const QString filters = toQString(qtNameFilters(request.filter));
    const QString start = toQString(request.initialPath);
    QString chosen;
    switch (request.kind) {
    case FileDialogRequest::Kind::Open:
        chosen = QFileDialog::getOpenFileName(owner, QString(), start, filters);
        break;
    case FileDialogRequest::Kind::Save:
        chosen = QFileDialog::getSaveFileName(owner, QString(), start, filters);
        break;
    }
    if (chosen.isEmpty())
        return std::nullopt;
    return fromQString(chosen);
}

} // namespace

void setFileDialogHandler(FileDialogHandler handler) { gHandler = std::move(handler); }

std::string qtNameFilters(std::string_view windowsFilter)
{
    const auto parts = text::splitText(windowsFilter, "|");
    std::string out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string patterns = parts[i + 1];
        for (char &c : patterns)
            if (c == ';')
                c = ' ';
        if (!out.empty())
            out += ";;";
        out += parts[i] + " (" + patterns + ")";
    }
    return out.empty() ? std::string("*") : out;
}

FileDialog::FileDialog(Control &owner, std::string_view name, std::string_view filter)
    : owner_(owner), name_(name), filter_(filter)
{
    // A named object in the owner's tree, so the dialog can be found like every other control.
    auto *marker = new QObject(owner.childArea() ? owner.childArea() : owner.widget());
    marker->setObjectName(toQString(name));
}

bool FileDialog::showOpen()
{
    FileDialogRequest request{FileDialogRequest::Kind::Open, filter_, fileName_};
    QWidget *window = owner_.widget() ? owner_.widget()->window() : nullptr;
    const auto chosen = ask(request, window);
    if (!chosen)
        return false;
    fileName_ = *chosen;
    return true;
}

std::optional<std::string> askSaveFileName(QWidget *owner, std::string_view suggestedPath, std::string_view filter)
{
    return ask(FileDialogRequest{FileDialogRequest::Kind::Save, std::string(filter), std::string(suggestedPath)},
               owner);
}

} // namespace platform::ui
