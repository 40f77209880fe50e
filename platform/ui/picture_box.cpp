// Picture boxes: a PNG picture scaled smoothly into the box, keeping its proportions, centred.
#include "platform/ui/picture_box.h"

#include "platform/ui/png_image.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

namespace platform::ui {

class PictureSurface : public QWidget {
public:
    explicit PictureSurface(PictureBox *owner) : owner_(owner) {}
    QImage picture;

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (picture.isNull())
            return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QSize fitted = picture.size().scaled(size(), Qt::KeepAspectRatio);
        const QRect target((width() - fitted.width()) / 2, (height() - fitted.height()) / 2, fitted.width(),
                           fitted.height());
        painter.drawImage(target, scaled(fitted));
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            owner_->press();
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            owner_->release();
    }

private:
    // Large pictures are scaled once per size, not at every paint.
    const QImage &scaled(const QSize &size)
    {
        if (cache_.size() != size || cacheKey_ != picture.cacheKey()) {
            cache_ = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            cacheKey_ = picture.cacheKey();
        }
        return cache_;
    }
    PictureBox *owner_;
    QImage cache_;
    qint64 cacheKey_ = 0;
};

PictureBox::PictureBox(Control &parent, std::string_view name, Rect rect)
{
    attach(new PictureSurface(this), &parent, name, rect);
}

bool PictureBox::setPicture(std::span<const uint8_t> png)
{
    RgbaImage decoded;
    if (!decodePng(png, decoded))
        return false;
    QImage image(decoded.pixels.data(), decoded.width, decoded.height, decoded.width * 4, QImage::Format_RGBA8888);
    static_cast<PictureSurface *>(widget_)->picture = image.copy();
    widget_->update();
    return true;
}

bool PictureBox::hasPicture() const { return !static_cast<PictureSurface *>(widget_)->picture.isNull(); }

void PictureBox::clearPicture()
{
    static_cast<PictureSurface *>(widget_)->picture = QImage();
    widget_->update();
}

void PictureBox::onPress(std::function<void()> handler) { pressHandler_ = std::move(handler); }
void PictureBox::onRelease(std::function<void()> handler) { releaseHandler_ = std::move(handler); }

void PictureBox::press()
{
    if (pressHandler_ && isEnabled())
        pressHandler_();
}

void PictureBox::release()
{
    if (releaseHandler_ && isEnabled())
        releaseHandler_();
}

} // namespace platform::ui
