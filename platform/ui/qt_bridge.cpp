// GBK <-> QString through the text service, Windows colours <-> QColor.
#include "platform/ui/qt_bridge.h"

#include "platform/text/text.h"

namespace platform::ui {

QString toQString(std::string_view gbk)
{
    const std::u16string units = text::gbkToUtf16(gbk);
    return QString(reinterpret_cast<const QChar *>(units.data()), static_cast<qsizetype>(units.size()));
}

std::string fromQString(const QString &s)
{
    return text::utf16ToGbk(std::u16string_view(reinterpret_cast<const char16_t *>(s.utf16()),
                                                static_cast<size_t>(s.size())));
}

QColor toQColor(uint32_t colour) { return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF); }

uint32_t fromQColor(const QColor &c)
{
    return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8)
           | (static_cast<uint32_t>(c.blue()) << 16);
}

} // namespace platform::ui
