// Edit boxes over QLineEdit / QPlainTextEdit. The multi-line box keeps a GBK mirror of its text so
// that reading it back gives exactly what was written (CR LF line ends), and appends at the end in
// constant time however long the text has grown.
#include "platform/ui/edit_box.h"

#include "platform/ui/qt_bridge.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

namespace platform::ui {
namespace {

// The widget shows line breaks as paragraph ends: CR LF and a lone CR become one.
QString displayForm(std::string_view gbk)
{
    QString s = toQString(gbk);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

std::string storedForm(const QString &shown)
{
    QString s = shown;
    s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return fromQString(s);
}

} // namespace

EditBox::EditBox(Control &parent, std::string_view name, Rect rect, std::string_view text, bool multiLine)
    : multiLine_(multiLine), text_(text)
{
    if (multiLine_) {
        auto *edit = new QPlainTextEdit;
        edit->setPlainText(displayForm(text));
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        attach(edit, &parent, name, rect);
        QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this, edit] {
            if (updating_)
                return;
            text_ = storedForm(edit->toPlainText());
            if (changeHandler_)
                changeHandler_();
        });
    } else {
        auto *edit = new QLineEdit(toQString(text));
        attach(edit, &parent, name, rect);
        QObject::connect(edit, &QLineEdit::textChanged, edit, [this, edit] {
            if (updating_)
                return;
            text_ = fromQString(edit->text());
            if (changeHandler_)
                changeHandler_();
        });
    }
}

std::string EditBox::caption() const { return text_; }

void EditBox::setCaption(std::string_view text)
{
    text_ = std::string(text);
    updating_ = true;
    if (multiLine_)
        static_cast<QPlainTextEdit *>(widget_)->setPlainText(displayForm(text));
    else
        static_cast<QLineEdit *>(widget_)->setText(toQString(text));
    updating_ = false;
    if (changeHandler_)
        changeHandler_();
}

void EditBox::appendText(std::string_view text)
{
    if (!multiLine_) {
        setCaption(text_ + std::string(text));
        return;
    }
    auto *edit = static_cast<QPlainTextEdit *>(widget_);
    updating_ = true;
    QTextCursor cursor(edit->document());
    cursor.movePosition(QTextCursor::End);
    edit->setTextCursor(cursor);
    // A line end that a previous append left as a bare CR (split CR LF) is already a paragraph end.
    QString shown = displayForm(text);
    if (!text.empty() && text.front() == '\n' && !text_.empty() && text_.back() == '\r')
        shown.remove(0, 1);
    cursor.insertText(shown);
    edit->setTextCursor(cursor);
    edit->ensureCursorVisible();
    updating_ = false;
    text_.append(text);
    if (changeHandler_)
        changeHandler_();
}

void EditBox::onChange(std::function<void()> handler) { changeHandler_ = std::move(handler); }

} // namespace platform::ui
