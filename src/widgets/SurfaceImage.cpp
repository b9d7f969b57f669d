#include "SurfaceImage.h"

#include "Surface32.h"

#include <algorithm>

QImage SurfaceImage(const TSurface32& surface) {
    if (surface.Empty()) return QImage();
    // 0xAARRGGBB words are the layout of QImage::Format_RGB32, which ignores the alpha byte.
    const QImage view(reinterpret_cast<const uchar*>(surface.Bits()), surface.Width(), surface.Height(),
                      surface.Width() * 4, QImage::Format_RGB32);
    return view.copy();
}

TSurface32 ImageSurface(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    TSurface32 surface(argb.width(), argb.height());
    for (int y = 0; y < argb.height(); ++y)
        std::copy_n(reinterpret_cast<const uint32_t*>(argb.constScanLine(y)), argb.width(),
                    surface.ScanLine(y));
    return surface;
}
