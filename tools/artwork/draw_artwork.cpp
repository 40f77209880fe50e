// Draws the program's own pictures (header icons, close icon, product logo, help pictures) and saves
// them as PNG files into the folder given on the command line. The files are committed under
// resources/images/ and compiled into the program; run this again only to change the artwork:
//   draw_artwork resources/images
#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

const QColor kInk(0x26, 0x2b, 0x33);

QImage canvas(int w, int h, bool alpha)
{
    QImage img(w, h, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    img.fill(alpha ? Qt::transparent : Qt::white);
    return img;
}

QPen inkPen(qreal width) { return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// A red rounded square with a white power symbol.
QImage closeIcon()
{
    QImage img = canvas(48, 48, true);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe0, 0x3a, 0x3a));
    p.drawRoundedRect(QRectF(2, 2, 44, 44), 10, 10);
    p.setPen(QPen(Qt::white, 4.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(12, 13, 24, 24), 120 * 16, 300 * 16);
    p.drawLine(QPointF(24, 9), QPointF(24, 24));
    return img;
}

// The outline of a phone with a round home button.
QImage phoneIcon()
{
    QImage img = canvas(1024, 1024, true);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(inkPen(56));
    p.drawRoundedRect(QRectF(272, 80, 480, 864), 90, 90);
    p.drawLine(QPointF(440, 170), QPointF(584, 170));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(512, 840), 44, 44);
    return img;
}

// The outline of a house with two horizontal bars.
QImage homeIcon()
{
    QImage img = canvas(1000, 1000, false);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 60, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath roof;
    roof.moveTo(110, 480);
    roof.lineTo(500, 120);
    roof.lineTo(890, 480);
    p.drawPath(roof);
    QPainterPath body;
    body.moveTo(210, 400);
    body.lineTo(210, 880);
    body.lineTo(790, 880);
    body.lineTo(790, 400);
    p.drawPath(body);
    p.drawLine(QPointF(380, 600), QPointF(620, 600));
    p.drawLine(QPointF(380, 730), QPointF(620, 730));
    return img;
}

// The outline of a cloud with a downward arrow.
QImage cloudIcon()
{
    QImage img = canvas(1024, 1024, true);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath cloud;
    cloud.addEllipse(QRectF(150, 330, 330, 330));
    cloud.addEllipse(QRectF(340, 200, 400, 400));
    cloud.addEllipse(QRectF(580, 360, 300, 300));
    cloud.addRoundedRect(QRectF(300, 480, 440, 180), 40, 40);
    p.setPen(inkPen(48));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cloud.simplified());
    p.drawLine(QPointF(512, 500), QPointF(512, 880));
    QPainterPath head;
    head.moveTo(400, 770);
    head.lineTo(512, 890);
    head.lineTo(624, 770);
    p.drawPath(head);
    return img;
}

// A person silhouette in a ring.
QImage personIcon()
{
    QImage img = canvas(1024, 1024, true);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(inkPen(52));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(512, 512), 430, 430);
    p.setClipRegion(QRegion(QRect(82, 82, 860, 860), QRegion::Ellipse));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(512, 400), 165, 165);
    p.drawEllipse(QRectF(222, 610, 580, 560));
    return img;
}

// The product logo: "Kelm" in the header's style with a small phone glyph.
QImage productLogo()
{
    QImage img = canvas(360, 180, true);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawRoundedRect(QRectF(6, 18, 348, 144), 36, 36);
    p.setPen(QPen(QColor(0x00, 0x66, 0xcc), 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(36, 44, 56, 92), 12, 12);
    p.drawPoint(QPointF(64, 122));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(84);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0x00, 0x66, 0xcc));
    p.drawText(QRectF(108, 30, 246, 120), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Kelm"));
    return img;
}

// Help pictures: a step sketch for removing programs and one for the device-support download.
QImage helpPicture(bool download)
{
    QImage img = canvas(400, 240, true);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(inkPen(6));
    p.setBrush(QColor(0xf2, 0xf6, 0xfb));
    p.drawRoundedRect(QRectF(20, 20, 360, 200), 18, 18);
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(60, 70 + i * 45), QPointF(download ? 250 : 300, 70 + i * 45));
    if (download) {
        p.drawLine(QPointF(320, 60), QPointF(320, 170));
        p.drawLine(QPointF(285, 135), QPointF(320, 170));
        p.drawLine(QPointF(355, 135), QPointF(320, 170));
    } else {
        p.drawLine(QPointF(320, 60), QPointF(350, 90));
        p.drawLine(QPointF(350, 60), QPointF(320, 90));
    }
    return img;
}

// The program's icon for the desktop: a white phone on the header's sky blue, rounded.
QImage appIcon(int size)
{
    QImage img = canvas(size, size, true);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x00, 0x88, 0xff));
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 48, 48);
    p.setPen(QPen(Qt::white, 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(80, 40, 96, 176), 20, 20);
    p.drawLine(QPointF(112, 62), QPointF(144, 62));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(128, 190), 9, 9);
    return img;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_artwork <output folder>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    const struct {
        const char *file;
        QImage image;
    } pictures[] = {
        {"close_icon.png", closeIcon()},     {"device_icon.png", phoneIcon()},
        {"home_icon.png", homeIcon()},       {"software_icon.png", cloudIcon()},
        {"personal_icon.png", personIcon()}, {"product_logo.png", productLogo()},
        {"help_remove.png", helpPicture(false)}, {"help_download.png", helpPicture(true)},
    };
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        if (!appIcon(size).save(out + QStringLiteral("app_icon_%1.png").arg(size), "PNG"))
            return 1;
    }
    for (const auto &picture : pictures) {
        if (!picture.image.save(out + QLatin1String(picture.file), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", picture.file);
            return 1;
        }
    }
    return 0;
}
