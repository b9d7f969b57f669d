// Turning pictures into GIF frames: the bitmap import (1, 4, 8 and 24 bits, everything else by
// way of the colour reduction), icons with their AND mask, and the transparency mask.

#include <algorithm>
#include <memory>

#include "GIFRender.h"

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

void ImportFrame(TGIFSubImage& frame, TBitmap& source) {
    frame.ClearAll();
    if (source.Empty()) return;
    // The descriptor holds 16-bit sizes: a larger bitmap cannot become a frame.
    if (source.Width() > 0xFFFF || source.Height() > 0xFFFF) throw EGIFException("Invalid image dimensions");
    frame.SetWidth(source.Width());
    frame.SetHeight(source.Height());

    TGIFPicture* const image = frame.Image();
    const int method = image ? static_cast<int>(image->ReductionMethod) : TGIFPicture::DefaultReductionMethod;
    const int dither = image ? static_cast<int>(image->DitherMethod) : TGIFPicture::DefaultDitherMethod;
    const int depth = image ? image->ReductionBitDepth : 8;
    TPixelFormat format = source.PixelFormat();
    std::shared_ptr<TBitmap> rendered;
    if (format == pf1bit || format == pf4bit || format == pf8bit) {
        rendered = std::make_shared<TBitmap>(source);
        rendered->SetTransparent(false);
    } else {
        rendered = ReduceToPalette(source, method, dither, nullptr, depth);
        format = rendered->PixelFormat();
    }
    frame.AllocatePixels();

    auto progress = [image](int stage, int percent) {
        if (image) image->Progress(stage, percent, GIFText::Converting);
    };
    progress(0, 0);
    try {
        if (format != pf1bit && format != pf4bit && format != pf8bit && format != pf24bit) format = pf24bit;
        TDIBReader reader(*rendered, format);
        const int width = frame.Width(), height = frame.Height();
        TGIFLocalColorMap& table = frame.ColorMap();
        if (format == pf8bit)
            table.ImportDeviceColors(*rendered);
        else if (format != pf24bit)
            table.ImportPaletteHandle(rendered->Palette());
        TColorCache cache;
        for (int y = 0; y < height; ++y) {
            if (y % ProgressRowStep == 0) progress(1, RowPercent(y, height));
            const std::uint8_t* src = reader.RowPointer(y);
            std::uint8_t* dst = frame.RowAt(y);
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
                        index = table.FindOrAppendColor(color);
                        cache.Store(color, index);
                    }
                    dst[x] = static_cast<std::uint8_t>(index);
                }
                break;
            }
        }
        // Filling the colour table dropped the caches: the import's bitmap is the rendering.
        FrameCaches(frame).Bitmap = rendered;
        if (source.Transparent()) ApplyFrameMask(frame, source.Mask());
    } catch (...) {
        progress(2, 0);
        throw;
    }
    progress(2, 100);
}

void ApplyFrameMask(TGIFSubImage& frame, const TBitmap& mask) {
    TGIFLocalColorMap& table = frame.ColorMap();
    table.SortByUsage();
    if (table.Count() == 0 || table.Count() >= TGIFColorMap::MaxColors) return;
    const int transparent = table.AppendColor(0);
    TBitmap bits(mask);
    TDIBReader reader(bits, pf8bit);
    // Only where both the frame and the mask have pixels.
    const int width = std::min(frame.Width(), bits.Width()), height = std::min(frame.Height(), bits.Height());
    bool any = false;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* m = reader.RowPointer(y);
        std::uint8_t* row = frame.RowAt(y);
        for (int x = 0; x < width; ++x)
            if (m[x] != 0) {
                row[x] = static_cast<std::uint8_t>(transparent);
                any = true;
            }
    }
    if (!any) {
        table.RemoveColorAt(transparent);
        return;
    }
    auto owned = std::make_unique<TGIFGraphicControlExtension>(&frame);
    TGIFGraphicControlExtension* gce = owned.get();
    frame.Extensions().AppendItem(std::move(owned));
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(transparent);
    frame.DropCaches();
}

void ImportFrame(TGIFSubImage& frame, const TGraphic& source) {
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
        TBitmap copy(*bitmap);
        ImportFrame(frame, copy);
        return;
    }
    frame.ClearAll();
    if (source.Empty()) return;
    // Any other graphic is drawn into a 24-bit bitmap of its size (black where it leaves the
    // background) and imported from there.
    TBitmap drawn(source.Width(), source.Height(), pf24bit);
    TCanvas canvas(drawn);
    canvas.Draw(0, 0, source);
    ImportFrame(frame, drawn);
    if (const auto* icon = dynamic_cast<const TIcon*>(&source)) ApplyFrameMask(frame, icon->MaskBitmap());
}

void ImportFrame(TGIFSubImage& frame, const TPicture& source) {
    if (const TGraphic* graphic = source.Graphic())
        ImportFrame(frame, *graphic);
    else
        frame.ClearAll();
}

// ---- Pictures from pictures ----

namespace {

template <typename TSource> int AddConvertedFrame(TGIFPicture& image, TSource& source) {
    auto frame = std::make_unique<TGIFSubImage>(&image);
    ImportFrame(*frame, source);
    return image.AddFrame(std::move(frame));
}

} // namespace

int AddImportedFrame(TGIFPicture& image, TBitmap& source) {
    return AddConvertedFrame(image, source);
}

int AddImportedFrame(TGIFPicture& image, const TGraphic& source) {
    return AddConvertedFrame(image, source);
}

void ImportPicture(TGIFPicture& image, const TGraphic& source) {
    image.ClearAll();
    try {
        AddImportedFrame(image, source);
    } catch (const EConvertError&) {
        throw EConvertError::CannotAssign(source.ClassName(), "TGIFPicture");
    }
}
