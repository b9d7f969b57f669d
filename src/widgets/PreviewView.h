#pragma once
// The preview image (ImThumbnail): the icon at its real size, 40 x 40 pixels. It owns the picture it
// shows; the animation painter draws into that picture through Canvas() on the user-interface
// thread, and every change repaints the widget. A click on it is reported by clicked().

#include <QWidget>
#include <cstdint>
#include <memory>

#include "Bitmap.h"
#include "Canvas.h"

class QImage;

class TPreviewView : public QWidget {
    Q_OBJECT
  public:
    static constexpr int PictureSize = 40;

    explicit TPreviewView(QWidget* parent = nullptr);
    ~TPreviewView() override;

    // The picture shown; drawing on Canvas() changes it.
    const TBitmap& Picture() const { return Picture_; }
    TCanvas& Canvas() { return *Canvas_; }
    // Shows a copy of the picture, stretched to 40 x 40 when it has another size.
    void SetPicture(const TBitmap& picture);
    void SetImage(const QImage& image);
    // Shows pixels given as 0xAARRGGBB, rows from the top without padding (a surface's layout).
    void SetArgbPixels(const std::uint32_t* pixels, int width, int height);
    // Shows nothing: the whole picture in one colour (0x00BBGGRR).
    void Clear(TColorRef color);
    // The picture as a Qt image (opaque, 40 x 40).
    QImage ToImage() const;

    QSize sizeHint() const override { return QSize(PictureSize, PictureSize); }

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    TBitmap Picture_;
    std::unique_ptr<TCanvas> Canvas_;
    bool Pressed_ = false;
};
