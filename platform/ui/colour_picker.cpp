// Colour picker: a swatch button that opens QColorDialog.
#include "platform/ui/colour_picker.h"

#include "platform/ui/qt_bridge.h"

#include <QColorDialog>
#include <QPushButton>

namespace platform::ui {

ColourPicker::ColourPicker(Control &parent, std::string_view name, Rect rect, uint32_t colour) : colour_(colour)
{
    auto *swatch = new QPushButton;
    attach(swatch, &parent, name, rect);
    QObject::connect(swatch, &QPushButton::clicked, swatch, [this] { choose(); });
    setColour(colour);
}

void ColourPicker::setColour(uint32_t colour)
{
    colour_ = colour;
    const QColor c = toQColor(colour);
    widget_->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid #808080; }")
                               .arg(c.name()));
    widget_->setToolTip(QString::number(colour));
}

void ColourPicker::choose()
{
    const QColor chosen = QColorDialog::getColor(toQColor(colour_), widget_->window());
    if (chosen.isValid())
        setColour(fromQColor(chosen));
}

} // namespace platform::ui
