#include "PixelArt.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <cmath>

namespace {

class TPixelArtIconEngine : public QIconEngine {
  public:
    explicit TPixelArtIconEngine(const QImage& picture) : Picture(picture) {}

    QIconEngine* clone() const override { return new TPixelArtIconEngine(Picture); }
    QString key() const override { return QStringLiteral("TPixelArtIconEngine"); }
    bool isNull() override { return Picture.isNull(); }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {Picture.size()}; }

    // A pixmap of exactly `size` device pixels with the picture enlarged by a whole factor in its
    // middle. A room smaller than the picture gets the picture scaled down to fit.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        if (size.isEmpty() || Picture.isNull()) return QPixmap();
        QPixmap result(size);
        result.fill(Qt::transparent);
        QImage shown;
        if (Picture.width() <= size.width() && Picture.height() <= size.height())
            shown = PixelArtScaled(Picture, PixelArtScale(Picture.size(), size));
        else
            shown = Picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        {
            QPainter p(&result);
            p.drawImage((size.width() - shown.width()) / 2, (size.height() - shown.height()) / 2, shown);
        }
        if (mode == QIcon::Disabled || mode == QIcon::Selected) {
            QStyleOption option;
            option.palette = QApplication::palette();
            if (const QStyle* style = QApplication::style())
                result = style->generatedIconPixmap(mode, result, &option);
        }
        return result;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        QPixmap shown = pixmap(QSize(qRound(rect.width() * ratio), qRound(rect.height() * ratio)), mode, state);
        shown.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect.topLeft(), shown);
    }

  private:
    QImage Picture;
};

} // namespace

int PixelArtScale(QSize picture, QSize room) {
    if (picture.isEmpty()) return 1;
    return std::max(1, std::min(room.width() / picture.width(), room.height() / picture.height()));
}

QImage PixelArtScaled(const QImage& picture, int scale) {
    if (scale <= 1) return picture;
    return picture.scaled(picture.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QPixmap PixelArtPixmap(const QImage& picture, qreal ratio) {
    // A hair below the ratio still counts as the whole factor (1.9999 is 2).
    const int scale = std::max(1, static_cast<int>(std::floor(ratio + 1e-6)));
    QPixmap pixmap = QPixmap::fromImage(PixelArtScaled(picture, scale));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

QIcon PixelArtIcon(const QImage& picture) {
    return QIcon(new TPixelArtIconEngine(picture));
}
