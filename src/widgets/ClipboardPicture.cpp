#include "ClipboardPicture.h"

#include "DocumentGif.h"
#include "IconDocument.h"
#include "GIFException.h"
#include "GIFPicture.h"
#include "Stream.h"
#include "SurfaceImage.h"

#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QPixmap>

namespace {

// A GIF on the clipboard may be any picture; sizes beyond this are refused where the reader meets them.
constexpr int MaxClipboardSide = 4096;
constexpr int MaxClipboardFrames = 4096;

std::vector<uint8_t> GifBytes(const QMimeData* data) {
    const QByteArray raw = data->data(TClipboardPicture::GifMimeType());
    return std::vector<uint8_t>(raw.begin(), raw.end());
}

// The reader refuses sizes beyond the bounds where it meets them; firstFrameOnly stops it after frame 0.
std::unique_ptr<TGIFPicture> ReadGifBytes(const std::vector<uint8_t>& bytes, bool firstFrameOnly) {
    return GifFrames::ReadGif(
        bytes, GifFrames::PictureReadLimits(MaxClipboardSide, MaxClipboardFrames, firstFrameOnly));
}

// The offered bitmap, whether it comes as an image or as a pixmap.
QImage OfferedImage(const QMimeData* data) {
    const QVariant v = data->imageData();
    if (v.metaType() == QMetaType::fromType<QPixmap>()) return v.value<QPixmap>().toImage();
    return v.value<QImage>();
}

// The image's pixels with their alpha: alpha 0 is marked transparent (its colour, often black, is not
// the picture's), a partial alpha stays in the pixel for mixing with what it is drawn over.
TPixelImage PixelsWithAlpha(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    TPixelImage picture(argb.width(), argb.height());
    if (argb.hasAlphaChannel()) picture.Transparent.assign(picture.Pixels.size(), false);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const uint32_t alpha = row[x] >> 24;
            if (alpha == 0 && argb.hasAlphaChannel())
                picture.Transparent[static_cast<size_t>(y) * argb.width() + x] = true;
            picture.At(x, y) = alpha == 0 ? row[x] | 0xFF000000u : row[x];
        }
    }
    return picture;
}

} // namespace

QString TClipboardPicture::GifMimeType() {
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(TGIFPicture::ClipboardFormatName);
}

bool TClipboardPicture::HasPicture(const QMimeData* data) {
    return data && (data->hasImage() || data->hasFormat(GifMimeType()));
}

std::optional<TPixelImage> TClipboardPicture::Picture(const QMimeData* data) {
    if (!data) return std::nullopt;
    if (data->hasImage()) {
        const QImage image = OfferedImage(data);
        if (!image.isNull()) return PixelsWithAlpha(image);
    }
    if (!data->hasFormat(GifMimeType())) return std::nullopt;
    try {
        const std::unique_ptr<TGIFPicture> gif = ReadGifBytes(GifBytes(data), true);
        if (GifFrames::FrameCount(*gif) < 1) return std::nullopt;
        // Its transparent pixels are marked, so that they show what the picture is pasted over.
        return TIconDocument::FirstGifPicture(*gif);
    } catch (const std::exception&) {
        // Damaged GIF data counts as nothing to paste.
        return std::nullopt;
    }
}

std::unique_ptr<TGIFPicture> TClipboardPicture::LoadGif(const QMimeData* data) {
    // Damaged GIF data reports what the reader found wrong with it.
    if (data && data->hasFormat(GifMimeType())) return ReadGifBytes(GifBytes(data), false);
    if (data && data->hasImage()) {
        const QImage image = OfferedImage(data);
        if (!image.isNull()) {
            const std::vector<uint8_t> bytes = GifFrames::EncodeSingleFrame(ImageSurface(image), false, 0);
            return GifFrames::ReadGif(
                bytes, GifFrames::PictureReadLimits(MaxClipboardSide, MaxClipboardFrames, false));
        }
    }
    throw EGIFException(GIFText::UnsupportedClipboardFormat);
}

void TClipboardPicture::SaveGif(TGIFPicture& gif, QClipboard* clipboard) {
    if (GifFrames::FrameCount(gif) < 1) return;
    TMemoryStream stream;
    gif.SaveToStream(stream);
    clipboard->setMimeData(FrameData(GifFrames::RenderFrame(gif, 0), stream.Data()));
    const QMimeData* stored = clipboard->mimeData();
    if (!stored || !stored->hasFormat(GifMimeType())) throw EGIFException(GIFText::ClipboardStoreFailed);
}

QMimeData* TClipboardPicture::FrameData(const TSurface32& frame, const std::vector<uint8_t>& gifBytes) {
    auto* data = new QMimeData;
    data->setImageData(SurfaceImage(frame));
    if (!gifBytes.empty())
        data->setData(GifMimeType(), QByteArray(reinterpret_cast<const char*>(gifBytes.data()),
                                                static_cast<qsizetype>(gifBytes.size())));
    return data;
}
