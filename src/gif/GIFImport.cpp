// Turning pictures into GIF frames: the bitmap import (1, 4, 8 and 24 bits, everything else by
// way of the colour reduction), icons with their AND mask, and the transparency mask.

#include <algorithm>
#include <memory>

#include "Bitmap.h"
#include "Canvas.h"
#include "ColorReduction.h"
#include "DIB.h"
#include "GIFException.h"
#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"
#include "Icon.h"
#include "Picture.h"
#include "PlatformError.h"

namespace {

constexpr int ProgressRowStep = 32;

// Nearest-integer percentage of rows done.
int RowPercent(int row, int height) {
    return static_cast<int>((static_cast<std::int64_t>(row) * 200 + height) /
                            (2 * static_cast<std::int64_t>(height)));
}

// The most recently met colours of the 24-bit import and their table indices.
class TColorCache {
  public:
    // The cached index of the colour, or -1; searches from the last-used slot backwards.
    int Find(std::uint32_t color) {
        for (int n = 0, slot = Last_; n < Slots; ++n, slot = (slot + Slots - 1) % Slots) {
            if (!Used_[slot]) break;
            if (Color_[slot] == color) {
                Last_ = slot;
                return Index_[slot];
            }
        }
        return -1;
    }
    void Store(std::uint32_t color, int index) {
        Last_ = (Last_ + 1) % Slots;
        Used_[Last_] = true;
        Color_[Last_] = color;
        Index_[Last_] = index;
    }

  private:
    static constexpr int Slots = 8;
    bool Used_[Slots] = {};
    std::uint32_t Color_[Slots] = {};
    int Index_[Slots] = {};
    int Last_ = 0;
};

} // namespace

// ---- Colour tables from platform palettes ----

void TGIFColorMap::ImportPaletteHandle(const TPalette& palette) {
    const std::vector<TRGBQuad> quads = palette.ToQuads();
    ImportRGBQuads(reinterpret_cast<const std::uint8_t*>(quads.data()),
                   std::min<int>(palette.Count(), MaxColors));
}

void TGIFColorMap::ImportDeviceColors(const TBitmap& bitmap) {
    ImportPaletteHandle(bitmap.Palette());
}

// ---- Frames from pictures ----

void TGIFSubImage::CopyFrom(TBitmap& source) {
    ClearAll();
    if (source.Empty()) return;
    // The descriptor holds 16-bit sizes: a larger bitmap cannot become a frame.
    if (source.Width() > 0xFFFF || source.Height() > 0xFFFF) throw EGIFException("Invalid image dimensions");
    SetWidth(source.Width());
    SetHeight(source.Height());

    const int method =
        Image_ ? static_cast<int>(Image_->ReductionMethod) : TGIFPicture::DefaultReductionMethod;
    const int dither = Image_ ? static_cast<int>(Image_->DitherMethod) : TGIFPicture::DefaultDitherMethod;
    const int depth = Image_ ? Image_->ReductionBitDepth : 8;
    TPixelFormat format = source.PixelFormat();
    std::shared_ptr<TBitmap> rendered;
    if (format == pf1bit || format == pf4bit || format == pf8bit) {
        rendered = std::make_shared<TBitmap>(source);
        rendered->SetTransparent(false);
    } else {
        rendered = ReduceToPalette(source, method, dither, nullptr, depth);
        format = rendered->PixelFormat();
    }
    AllocatePixels();

    auto progress = [this](int stage, int percent) {
        if (Image_) Image_->Progress(stage, percent, GIFText::Converting);
    };
    progress(0, 0);
    try {
        if (format != pf1bit && format != pf4bit && format != pf8bit && format != pf24bit) format = pf24bit;
        TDIBReader reader(*rendered, format);
        const int width = Width(), height = Height();
        if (format == pf8bit)
            ColorMap().ImportDeviceColors(*rendered);
        else if (format != pf24bit)
            ColorMap().ImportPaletteHandle(rendered->Palette());
        TColorCache cache;
        for (int y = 0; y < height; ++y) {
            if (y % ProgressRowStep == 0) progress(1, RowPercent(y, height));
            const std::uint8_t* src = reader.RowPointer(y);
            std::uint8_t* dst = RowAt(y);
            switch (format) {
            case pf8bit:
                std::copy_n(src, width, dst);
                break;
            case pf4bit:
                for (int x = 0; x < width; ++x)
                    dst[x] = static_cast<std::uint8_t>((x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4));
                break;
            case pf1bit:
                for (int x = 0; x < width; ++x)
                    dst[x] = static_cast<std::uint8_t>((src[x >> 3] >> (7 - (x & 7))) & 1);
                break;
            default:
                for (int x = 0; x < width; ++x) {
                    const std::uint8_t* p = src + 3 * x;
                    const TGIFColor color = p[2] | (p[1] << 8) | (p[0] << 16);
                    int index = cache.Find(color);
                    if (index < 0) {
                        index = ColorMap().FindOrAppendColor(color);
                        cache.Store(color, index);
                    }
                    dst[x] = static_cast<std::uint8_t>(index);
                }
                break;
            }
        }
        // Filling the colour table dropped the caches: the import's bitmap is the rendering.
        BitmapCache = rendered;
        if (source.Transparent()) ApplyMask(source.Mask());
    } catch (...) {
        progress(2, 0);
        throw;
    }
    progress(2, 100);
}

void TGIFSubImage::ApplyMask(const TBitmap& mask) {
    ColorMap().SortByUsage();
    if (ColorMap().Count() == 0 || ColorMap().Count() >= TGIFColorMap::MaxColors) return;
    const int transparent = ColorMap().AppendColor(0);
    TBitmap bits(mask);
    TDIBReader reader(bits, pf8bit);
    // Only where both the frame and the mask have pixels.
    const int width = std::min(Width(), bits.Width()), height = std::min(Height(), bits.Height());
    bool any = false;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* m = reader.RowPointer(y);
        std::uint8_t* row = RowAt(y);
        for (int x = 0; x < width; ++x)
            if (m[x] != 0) {
                row[x] = static_cast<std::uint8_t>(transparent);
                any = true;
            }
    }
    if (!any) {
        ColorMap().RemoveColorAt(transparent);
        return;
    }
    auto owned = std::make_unique<TGIFGraphicControlExtension>(this);
    TGIFGraphicControlExtension* gce = owned.get();
    Extensions().AppendItem(std::move(owned));
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(transparent);
    DropCaches();
}

void TGIFSubImage::CopyFrom(const TGraphic& source) {
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
        TBitmap copy(*bitmap);
        CopyFrom(copy);
        return;
    }
    ClearAll();
    if (source.Empty()) return;
    // Any other graphic is drawn into a 24-bit bitmap of its size (black where it leaves the
    // background) and imported from there.
    TBitmap drawn(source.Width(), source.Height(), pf24bit);
    TCanvas canvas(drawn);
    canvas.Draw(0, 0, source);
    CopyFrom(drawn);
    if (const auto* icon = dynamic_cast<const TIcon*>(&source)) ApplyMask(icon->MaskBitmap());
}

void TGIFSubImage::CopyFrom(const TPicture& source) {
    if (const TGraphic* graphic = source.Graphic())
        CopyFrom(*graphic);
    else
        ClearAll();
}

// ---- Pictures from pictures ----

namespace {

template <typename TSource> int AddConvertedFrame(TGIFPicture& image, TSource& source) {
    auto frame = std::make_unique<TGIFSubImage>(&image);
    frame->CopyFrom(source);
    return image.AddFrame(std::move(frame));
}

} // namespace

int TGIFPicture::AddFrame(TBitmap& source) {
    return AddConvertedFrame(*this, source);
}

int TGIFPicture::AddFrame(const TGraphic& source) {
    return AddConvertedFrame(*this, source);
}

void TGIFPicture::CopyFrom(const TGraphic& source) {
    ClearAll();
    try {
        AddFrame(source);
    } catch (const EConvertError&) {
        throw EConvertError::CannotAssign(source.ClassName(), "TGIFPicture");
    }
}
