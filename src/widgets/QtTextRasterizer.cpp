#include "QtTextRasterizer.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

QFont TQtTextRasterizer::ToQFont(const TFontDescription& font) {
    QFont f(QString::fromStdString(font.Name));
    // A height of 0 or less (an unreadable size entry) falls back to the default character height.
    f.setPixelSize(font.Height > 0 ? font.Height : TFontDescription().Height);
    f.setBold(font.HasStyle(fsBold));
    f.setItalic(font.HasStyle(fsItalic));
    f.setUnderline(font.HasStyle(fsUnderline));
    f.setStrikeOut(font.HasStyle(fsStrikeOut));
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

TTextExtent TQtTextRasterizer::MeasureText(const TFontDescription& font, const std::string& utf8Text) {
    const QFontMetrics metrics(ToQFont(font));
    return {metrics.horizontalAdvance(QString::fromStdString(utf8Text)), metrics.height()};
}

TCoverageMask TQtTextRasterizer::RenderText(const TFontDescription& font, const std::string& utf8Text,
                                            int width, int height) {
    TCoverageMask mask;
    if (width <= 0 || height <= 0) return mask;
    const QFont f = ToQFont(font);
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(f);
        painter.setPen(Qt::black);
        painter.drawText(0, QFontMetrics(f).ascent(), QString::fromStdString(utf8Text));
    }
    mask.Width = width;
    mask.Height = height;
    mask.Coverage.assign(static_cast<size_t>(width) * height, 0);
    for (int y = 0; y < height; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x)
            if (qGray(row[x]) < 128) // fully dark without anti-aliasing; the threshold guards a stray grey
                mask.Coverage[static_cast<size_t>(y) * width + x] = 255;
    }
    return mask;
}

void TQtTextRasterizer::Install() {
    static TQtTextRasterizer instance;
    InstallTextRasterizer(&instance);
}
