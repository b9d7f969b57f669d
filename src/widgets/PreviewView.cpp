#include "PreviewView.h"

#include "PixelArt.h"
#include "SystemColors.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

TPreviewView::TPreviewView(QWidget* parent) : QWidget(parent), Picture_(PictureSize, PictureSize, pf32bit) {
    // Blank until there is something to show.
    Picture_.Fill(ButtonFaceColor());
    Picture_.OnChange = [this] { update(); };
    Canvas_ = std::make_unique<TCanvas>(Picture_);
    setFixedSize(PictureSize, PictureSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TPreviewView::~TPreviewView() {
    Picture_.OnChange = nullptr;
}

void TPreviewView::SetPicture(const TBitmap& picture) {
    if (picture.Empty()) return;
    Canvas_->StretchDraw(TRect(0, 0, PictureSize, PictureSize), picture);
    update();
}

void TPreviewView::SetImage(const QImage& image) {
    if (image.isNull()) return;
    const QImage scaled = image.scaled(PictureSize, PictureSize).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < PictureSize; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(scaled.constScanLine(y));
        for (int x = 0; x < PictureSize; ++x)
            Picture_.SetPixel(x, y, MakeColorRef(qRed(row[x]), qGreen(row[x]), qBlue(row[x])));
    }
    update();
}

void TPreviewView::SetArgbPixels(const std::uint32_t* pixels, int width, int height) {
    if (!pixels || width <= 0 || height <= 0) return;
    // QRgb is 0xAARRGGBB as well.
    const QImage image(reinterpret_cast<const uchar*>(pixels), width, height, width * 4,
                       QImage::Format_RGB32);
    SetImage(image);
}

void TPreviewView::Clear(TColorRef color) {
    Picture_.Fill(color);
    update();
}

QImage TPreviewView::ToImage() const {
    QImage image(PictureSize, PictureSize, QImage::Format_RGB32);
    for (int y = 0; y < PictureSize; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < PictureSize; ++x) {
            const TColorRef c = Picture_.Pixel(x, y);
            row[x] = qRgb(RedOf(c), GreenOf(c), BlueOf(c));
        }
    }
    return image;
}

void TPreviewView::paintEvent(QPaintEvent*) {
    // Whole device pixels per icon pixel, centred; the rest of the control is the button face.
    QPainter painter(this);
    const qreal ratio = devicePixelRatio();
    QImage shown = ToImage();
    shown = PixelArtScaled(shown, PixelArtScale(shown.size(), QSize(qFloor(width() * ratio), qFloor(height() * ratio))));
    const QColor face = palette().color(QPalette::Button);
    painter.fillRect(rect(), face);
    const int left = (qFloor(width() * ratio) - shown.width()) / 2, top = (qFloor(height() * ratio) - shown.height()) / 2;
    shown.setDevicePixelRatio(ratio);
    painter.drawImage(QPointF(left / ratio, top / ratio), shown);
}

void TPreviewView::mousePressEvent(QMouseEvent* event) {
    Pressed_ = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void TPreviewView::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        Pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    Pressed_ = false;
    if (click) emit clicked();
    QWidget::mouseReleaseEvent(event);
}
