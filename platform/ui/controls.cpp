// The simple control kinds over Qt widgets.
#include "platform/ui/controls.h"

#include "platform/ui/qt_bridge.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace platform::ui {
namespace {

// A label that reports left-button presses when someone listens, and otherwise lets them through to
// its parent, as a Windows static control does.
class PressLabel : public QLabel {
public:
    std::function<void()> *handler = nullptr;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && handler && *handler) {
            event->accept();
            (*handler)();
            return;
        }
        QLabel::mousePressEvent(event);
    }
};

} // namespace

Button::Button(Control &parent, std::string_view name, Rect rect, std::string_view caption)
{
    auto *button = new QPushButton(toQString(caption));
    attach(button, &parent, name, rect);
    QObject::connect(button, &QPushButton::clicked, button, [this] {
        if (handler_)
            handler_();
    });
}

void Button::onClick(ClickHandler handler) { handler_ = std::move(handler); }

void Button::click()
{
    if (isEnabled() && isVisible())
        static_cast<QPushButton *>(widget_)->click();
}

Label::Label(Control &parent, std::string_view name, Rect rect, std::string_view caption, bool transparent)
{
    auto *label = new PressLabel;
    label->handler = &pressHandler_;
    label->setText(toQString(caption));
    label->setAutoFillBackground(!transparent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    attach(label, &parent, name, rect);
}

void Label::onPress(ClickHandler handler) { pressHandler_ = std::move(handler); }

void Label::press()
{
    if (pressHandler_ && isEnabled())
        pressHandler_();
}

CheckBox::CheckBox(Control &parent, std::string_view name, Rect rect, std::string_view caption, bool ticked)
{
    auto *box = new QCheckBox(toQString(caption));
    box->setChecked(ticked);
    attach(box, &parent, name, rect);
    QObject::connect(box, &QCheckBox::clicked, box, [this] {
        if (handler_)
            handler_();
    });
}

bool CheckBox::isTicked() const { return static_cast<QCheckBox *>(widget_)->isChecked(); }
void CheckBox::setTicked(bool ticked) { static_cast<QCheckBox *>(widget_)->setChecked(ticked); }
void CheckBox::onClick(ClickHandler handler) { handler_ = std::move(handler); }

void CheckBox::click()
{
    if (isEnabled() && isVisible())
        static_cast<QCheckBox *>(widget_)->click();
}

RadioButton::RadioButton(Control &parent, std::string_view name, Rect rect, std::string_view caption, bool selected)
{
    auto *radio = new QRadioButton(toQString(caption));
    radio->setChecked(selected);
    attach(radio, &parent, name, rect);
}

bool RadioButton::isSelected() const { return static_cast<QRadioButton *>(widget_)->isChecked(); }
void RadioButton::setSelected(bool selected) { static_cast<QRadioButton *>(widget_)->setChecked(selected); }

void RadioButton::click()
{
    if (isEnabled() && isVisible())
        static_cast<QRadioButton *>(widget_)->click();
}

GroupBox::GroupBox(Control &parent, std::string_view name, Rect rect, std::string_view caption)
{
    attach(new QGroupBox(toQString(caption)), &parent, name, rect);
}

QWidget *GroupBox::childArea() const { return widget_; }

ProgressBar::ProgressBar(Control &parent, std::string_view name, Rect rect)
{
    auto *bar = new QProgressBar;
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    attach(bar, &parent, name, rect);
}

int ProgressBar::position() const { return static_cast<QProgressBar *>(widget_)->value(); }

void ProgressBar::setPosition(int position)
{
    auto *bar = static_cast<QProgressBar *>(widget_);
    bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
}

int ProgressBar::minimum() const { return static_cast<QProgressBar *>(widget_)->minimum(); }
int ProgressBar::maximum() const { return static_cast<QProgressBar *>(widget_)->maximum(); }
void ProgressBar::setRange(int minimum, int maximum) { static_cast<QProgressBar *>(widget_)->setRange(minimum, maximum); }

ComboBox::ComboBox(Control &parent, std::string_view name, Rect rect, std::string_view text,
                   const std::vector<std::string> &items)
{
    auto *combo = new QComboBox;
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string &item : items)
        combo->addItem(toQString(item));
    combo->setEditText(toQString(text));
    attach(combo, &parent, name, rect);
}

std::string ComboBox::caption() const { return fromQString(static_cast<QComboBox *>(widget_)->currentText()); }

void ComboBox::setCaption(std::string_view text)
{
    auto *combo = static_cast<QComboBox *>(widget_);
    const int index = combo->findText(toQString(text), Qt::MatchExactly);
    if (index >= 0)
        combo->setCurrentIndex(index);
    combo->setEditText(toQString(text));
}

std::vector<std::string> ComboBox::items() const
{
    auto *combo = static_cast<QComboBox *>(widget_);
    std::vector<std::string> out;
    for (int i = 0; i < combo->count(); ++i)
        out.push_back(fromQString(combo->itemText(i)));
    return out;
}

} // namespace platform::ui
