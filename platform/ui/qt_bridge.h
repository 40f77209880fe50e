// Internal to the widget layer: conversions between the program's GBK texts / Windows colours and
// Qt's strings and colours.
#pragma once

#include <QColor>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

namespace platform::ui {

QString toQString(std::string_view gbk);
std::string fromQString(const QString &text);
QColor toQColor(uint32_t colour);
uint32_t fromQColor(const QColor &colour);

} // namespace platform::ui
