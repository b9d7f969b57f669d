// Frame rendering: the 8-bit bitmap and 1-bit mask a frame is shown through, the palettes made
// from the colour tables, drawing frames onto canvases (scaled or tiled, opaque or through the
// mask) and the picture's composite bitmap, with the caches and the lock they keep.
//
// Every cache query takes the picture's render lock (a free-standing frame has no picture and no
// lock), so rendering and the changes that drop caches never overlap.

#include "GIFRender.h"

#include <memory>
#include <mutex>

#include "Bitmap.h"
#include "Canvas.h"
#include "ColorLookup.h"
#include "ColorReduction.h"
#include "DitherEngine.h"
#include "GIFException.h"
#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"
#include "Rect.h"

namespace {

constexpr int ProgressRowStep = 32;

// True on a display of 256 colours or fewer. The displays this program runs on are true-colour.
constexpr bool DisplayUsesPalette = false;

// a * b / c in 64 bits, rounded to the nearest integer, halves away from zero.
int MulDiv(std::int64_t a, std::int64_t b, std::int64_t c) {
    if (c == 0) return 0;
    std::int64_t n = a * b;
    const bool negative = (n < 0) != (c < 0);
    if (n < 0) n = -n;
    if (c < 0) c = -c;
    const std::int64_t q = (2 * n + c) / (2 * c);
    return static_cast<int>(negative ? -q : q);
}

bool SameColors(const TPalette& a, const TPalette& b) {
    if (a.Count() != b.Count()) return false;
    for (int i = 0; i < a.Count(); ++i)
        if (!a.Entry(i).SameColor(b.Entry(i))) return false;
    return true;
}

std::shared_ptr<TPalette> CubePalette() {
    return std::make_shared<TPalette>(FixedPaletteFor(ReduceCube216, nullptr));
}

// A palette that lives as long as the bitmap that holds it.
std::shared_ptr<TPalette> PaletteOf(const std::shared_ptr<TBitmap>& bitmap) {
    return std::shared_ptr<TPalette>(bitmap, const_cast<TPalette*>(&bitmap->Palette()));
}

// Bits of a mask being built: 1 where the pixel is transparent.
class TMaskBits {
  public:
    TMaskBits(int width, int height) : Mask_(width, height, pf1bit) {}
    void Set(int x, int y) {
        Mask_.SetIndex(x, y, 1);
        Any_ = true;
    }
    std::shared_ptr<TBitmap> Take() { return Any_ ? std::make_shared<TBitmap>(std::move(Mask_)) : nullptr; }

  private:
    TBitmap Mask_;
    bool Any_ = false;
};

} // namespace

// ---- Caches and lock ----

TGIFFrameCaches& FrameCaches(TGIFSubImage& frame) {
    std::unique_ptr<TGIFFrameCaches>& caches = frame.RenderCaches();
    if (!caches) caches = std::make_unique<TGIFFrameCaches>();
    return *caches;
}

TGIFPictureCaches& PictureCaches(TGIFPicture& image) {
    return image.RenderCaches();
}

std::unique_lock<std::recursive_mutex> LockRendering(TGIFPicture* image) {
    return image ? std::unique_lock<std::recursive_mutex>(image->RenderCaches().Lock)
                 : std::unique_lock<std::recursive_mutex>();
}

void DropFrameCaches(TGIFSubImage& frame) {
    auto lock = LockRendering(frame.Image());
    // Emptied, not freed: a rendering further up the stack may still hold the caches.
    if (TGIFFrameCaches* caches = frame.RenderCaches().get()) *caches = TGIFFrameCaches();
}

void DropFrameBitmap(TGIFSubImage& frame) {
    if (TGIFFrameCaches* caches = frame.RenderCaches().get()) {
        caches->Bitmap.reset();
        caches->Mask.reset();
        caches->MaskNeeded = true;
    }
}

void CopyFrameBitmap(TGIFSubImage& frame, const TGIFSubImage& source) {
    // Only read: the source's caches are not made when it has none.
    const TGIFFrameCaches* from = const_cast<TGIFSubImage&>(source).RenderCaches().get();
    if (from && from->Bitmap) FrameCaches(frame).Bitmap = std::make_shared<TBitmap>(*from->Bitmap);
}

void DropPictureCaches(TGIFPicture& image) {
    TGIFPictureCaches& caches = image.RenderCaches();
    caches.Composite.reset();
    caches.GlobalPalette.reset();
}

void DropComposite(TGIFPicture& image) {
    image.RenderCaches().Composite.reset();
}

bool DitherWhenRendering(const TGIFPicture& image) {
    return (image.PaintFlags & pfDither) != 0 &&
           ((image.PaintFlags & pfDitherOnPaletteOnly) == 0 || DisplayUsesPalette);
}

// ---- Colour tables to palettes ----

std::shared_ptr<TPalette> TGIFColorMap::ExportPaletteHandle() const {
    if (Count() == 0) return nullptr;
    std::vector<TPaletteEntry> entries(static_cast<std::size_t>(Count()));
    const std::uint8_t* t = Data();
    for (int i = 0; i < Count(); ++i)
        entries[static_cast<std::size_t>(i)] =
            TPaletteEntry{t[3 * i], t[3 * i + 1], t[3 * i + 2], PaletteNoCollapse};
    return std::make_shared<TPalette>(std::move(entries));
}

// ---- Frame: rendered bitmap and mask ----

std::shared_ptr<TBitmap> RenderFrame(TGIFSubImage& frame) {
    TGIFPicture* const image = frame.Image();
    auto lock = LockRendering(image);
    TGIFFrameCaches& caches = FrameCaches(frame);
    if (caches.Bitmap || frame.Empty()) return caches.Bitmap;
    auto progress = [image](int stage, int percent) {
        if (image) image->Progress(stage, percent, GIFText::Rendering);
    };
    progress(0, 0);
    const bool dither = image && DitherWhenRendering(*image);
    const std::shared_ptr<TPalette> palette = dither ? CubePalette() : FramePalette(frame);
    const int width = frame.Width(), height = frame.Height();
    const bool wantMask = caches.MaskNeeded && frame.Transparent() && frame.GraphicControlExtension();
    caches.MaskNeeded = false;
    const int transparentIndex = wantMask ? frame.GraphicControlExtension()->TransparentColorIndex() : -1;
    try {
        auto bitmap = std::make_shared<TBitmap>(width, height, pf8bit);
        bitmap->SetPalette(palette ? *palette : TPalette());
        TMaskBits mask(wantMask ? width : 0, wantMask ? height : 0);
        if (!dither) {
            for (int y = 0; y < height; ++y) {
                if (y % ProgressRowStep == 0) progress(1, y * 100 / height);
                const std::uint8_t* src = frame.RowAt(y);
                std::copy_n(src, width, bitmap->ScanLine(y));
                if (wantMask)
                    for (int x = 0; x < width; ++x)
                        if (src[x] == transparentIndex) mask.Set(x, y);
            }
        } else {
            // Each pixel's colour from the active table, through the cube and Floyd-Steinberg;
            // transparent pixels are left to the mask and only step the ditherer's column.
            const TGIFColorMap& table = frame.ActiveColorTable();
            const std::uint8_t* colors = table.Data();
            const int count = table.Count();
            TNetscapeColorLookup lookup;
            TFloydSteinbergDitherer ditherer(width, lookup);
            int transparentCube = 0;
            if (wantMask && transparentIndex < count) {
                TLookupColor unused;
                const std::uint8_t* c = colors + 3 * transparentIndex;
                transparentCube = lookup.NearestIndex(c[0], c[1], c[2], unused);
            }
            for (int y = 0; y < height; ++y) {
                if (y % ProgressRowStep == 0) progress(1, y * 100 / height);
                const std::uint8_t* src = frame.RowAt(y);
                std::uint8_t* dst = bitmap->ScanLine(y);
                if (wantMask) std::fill_n(dst, width, static_cast<std::uint8_t>(transparentCube));
                for (int x = ditherer.ScanColumn(); x >= 0 && x < width; x = ditherer.ScanColumn()) {
                    if (wantMask && src[x] == transparentIndex) {
                        mask.Set(x, y);
                        ditherer.StepColumn();
                        continue;
                    }
                    const std::uint8_t* c = src[x] < count ? colors + 3 * src[x] : nullptr;
                    dst[x] = static_cast<std::uint8_t>(c ? ditherer.MapPixel(c[0], c[1], c[2])
                                                         : ditherer.MapPixel(0, 0, 0));
                }
                ditherer.EndRow();
            }
        }
        if (wantMask) caches.Mask = mask.Take();
        caches.Bitmap = bitmap;
    } catch (...) {
        caches.MaskNeeded = caches.MaskNeeded || wantMask; // the next rendering tries the mask again
        progress(2, 0);
        throw;
    }
    progress(2, 100);
    if (image && image->RenderCaches().PaletteModified) image->Changed();
    return caches.Bitmap;
}

bool FrameHasMask(TGIFSubImage& frame) {
    auto lock = LockRendering(frame.Image());
    TGIFFrameCaches& caches = FrameCaches(frame);
    if (caches.MaskNeeded && frame.Transparent()) {
        caches.Bitmap.reset();
        RenderFrame(frame);
    }
    return static_cast<bool>(caches.Mask);
}

void FreeFrameBitmap(TGIFSubImage& frame) {
    auto lock = LockRendering(frame.Image());
    FrameCaches(frame).Bitmap.reset();
}

void FreeFrameMask(TGIFSubImage& frame) {
    auto lock = LockRendering(frame.Image());
    TGIFFrameCaches& caches = FrameCaches(frame);
    caches.Mask.reset();
    caches.MaskNeeded = true;
}

void SetFrameHasBitmap(TGIFSubImage& frame, bool on) {
    if (on)
        RenderFrame(frame);
    else
        FreeFrameBitmap(frame);
}

// ---- Frame: palette ----

std::shared_ptr<TPalette> FramePalette(TGIFSubImage& frame) {
    TGIFPicture* const image = frame.Image();
    auto lock = LockRendering(image);
    TGIFFrameCaches& caches = FrameCaches(frame);
    if (caches.Bitmap && caches.Bitmap->HasPalette()) return PaletteOf(caches.Bitmap);
    if (caches.Palette) return caches.Palette;
    std::shared_ptr<TPalette> palette;
    if (image && DitherWhenRendering(*image))
        palette = CubePalette();
    else if (frame.ColorMap().Count() == 0)
        return image ? PicturePalette(*image) : nullptr; // the picture's, not kept here
    else
        palette = frame.ColorMap().ExportPaletteHandle();
    caches.Palette = palette;
    return palette;
}

void SetFramePalette(TGIFSubImage& frame, std::shared_ptr<TPalette> palette) {
    TGIFPicture* const image = frame.Image();
    auto lock = LockRendering(image);
    TGIFFrameCaches& caches = FrameCaches(frame);
    if (palette == caches.Palette) return;
    caches.Palette = palette;
    if (caches.Bitmap && (!palette || !SameColors(caches.Bitmap->Palette(), *palette))) {
        caches.Bitmap.reset();
        if (image) {
            image->RenderCaches().PaletteModified = true;
            image->Changed();
        }
    }
}

// ---- Frame: drawing ----

void DrawFrame(TGIFSubImage& frame, TCanvas& canvas, const TRect& rect, bool tile, bool transparent) {
    if (tile) {
        StretchDrawFrame(frame, canvas, rect, true, transparent);
        return;
    }
    // The frame's place on the logical screen, scaled into rect. A picture without a screen size
    // (or a free-standing frame) counts the frame itself as the screen.
    const TGIFPicture* image = frame.Image();
    const int left = frame.Left(), top = frame.Top(), width = frame.Width(), height = frame.Height();
    const int screenWidth = image && image->Width() > 0 ? image->Width() : left + width;
    const int screenHeight = image && image->Height() > 0 ? image->Height() : top + height;
    const TRect place(rect.Left + MulDiv(left, rect.Width(), screenWidth),
                      rect.Top + MulDiv(top, rect.Height(), screenHeight),
                      rect.Left + MulDiv(left + width, rect.Width(), screenWidth),
                      rect.Top + MulDiv(top + height, rect.Height(), screenHeight));
    StretchDrawFrame(frame, canvas, place, false, transparent);
}

void StretchDrawFrame(TGIFSubImage& frame, TCanvas& canvas, const TRect& rect, bool tile, bool transparent) {
    const TGIFPicture* image = frame.Image();
    auto lock = LockRendering(frame.Image());
    const bool masked = transparent && frame.Transparent() && FrameHasMask(frame);
    const std::shared_ptr<TBitmap> bitmap = RenderFrame(frame);
    if (!bitmap) return;
    const std::shared_ptr<TBitmap> mask = masked ? FrameCaches(frame).Mask : nullptr;
    const TRect whole(0, 0, bitmap->Width(), bitmap->Height());
    auto draw = [&](const TRect& dest) {
        if (mask)
            canvas.MaskedStretchBlt(dest, *bitmap, whole, *mask);
        else
            canvas.StretchBlt(dest, *bitmap, whole);
    };
    if (!tile) {
        draw(rect);
        return;
    }
    // The unstretched frame at every tile position inside rect, one screen apart.
    const int left = frame.Left(), top = frame.Top(), width = frame.Width(), height = frame.Height();
    const int stepX = std::max(1, image && image->Width() > 0 ? image->Width() : width);
    const int stepY = std::max(1, image && image->Height() > 0 ? image->Height() : height);
    const TRect oldClip = canvas.ClipRect();
    const TRect visible = oldClip.Intersect(rect);
    if (visible.IsEmpty()) return;
    canvas.SetClipRect(visible);
    // Only the tiles that reach the visible part (a huge rectangle costs nothing extra), counted
    // in 64 bits so that no position can wrap round.
    auto firstTile = [](std::int64_t start, std::int64_t step, std::int64_t from) {
        return from <= start ? start : start + (from - start) / step * step;
    };
    const std::int64_t x0 =
        firstTile(std::int64_t(rect.Left) + left, stepX, std::int64_t(visible.Left) - width);
    const std::int64_t y0 =
        firstTile(std::int64_t(rect.Top) + top, stepY, std::int64_t(visible.Top) - height);
    for (std::int64_t x = x0; x < visible.Right; x += stepX)
        for (std::int64_t y = y0; y < visible.Bottom; y += stepY)
            draw(TRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + width),
                       static_cast<int>(y + height)));
    canvas.SetClipRect(oldClip);
}

void CopyFrameToBitmap(TGIFSubImage& frame, TBitmap& target) {
    const std::shared_ptr<TBitmap> bitmap = RenderFrame(frame);
    target = bitmap ? *bitmap : TBitmap();
}

// ---- Picture: palette and composite bitmap ----

std::shared_ptr<TPalette> PicturePalette(TGIFPicture& image) {
    TGIFPictureCaches& caches = image.RenderCaches();
    std::lock_guard<std::recursive_mutex> lock(caches.Lock);
    // A frame without a table of its own asks back here: then there is no table anywhere.
    if (caches.InsidePaletteQuery) throw EGIFException(GIFText::NoColorTable);
    caches.InsidePaletteQuery = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } reset{caches.InsidePaletteQuery};
    if (caches.Composite && caches.Composite->HasPalette()) return PaletteOf(caches.Composite);
    if (caches.GlobalPalette) return caches.GlobalPalette;
    std::shared_ptr<TPalette> palette;
    if (DitherWhenRendering(image))
        palette = CubePalette();
    else if (image.GlobalColorMap().Count() == 0)
        return image.Images().ItemCount() > 0 ? FramePalette(*image.Images().ItemAt(0)) : nullptr;
    else
        palette = image.GlobalColorMap().ExportPaletteHandle();
    caches.GlobalPalette = palette;
    return palette;
}

void SetPicturePalette(TGIFPicture& image, std::shared_ptr<TPalette> palette) {
    TGIFPictureCaches& caches = image.RenderCaches();
    std::lock_guard<std::recursive_mutex> lock(caches.Lock);
    if (palette == caches.GlobalPalette) return;
    caches.GlobalPalette = palette;
    if (caches.Composite && (!palette || !SameColors(caches.Composite->Palette(), *palette))) {
        caches.Composite.reset();
        caches.PaletteModified = true;
        image.Changed();
    }
}

std::shared_ptr<TBitmap> RenderPicture(TGIFPicture& image) {
    TGIFPictureCaches& caches = image.RenderCaches();
    std::lock_guard<std::recursive_mutex> lock(caches.Lock);
    if (image.Images().ItemCount() == 0) return nullptr;
    if (caches.Composite) return caches.Composite;
    auto composite = std::make_shared<TBitmap>();
    TGIFPicture* const owner = &image;
    composite->OnChange = [owner] { owner->Changed(); };
    TGIFSubImage& first = *image.Images().ItemAt(0);
    if (first.Width() == image.Width() && first.Height() == image.Height()) {
        if (const std::shared_ptr<TBitmap> rendered = RenderFrame(first)) *composite = *rendered;
    } else {
        const std::shared_ptr<TPalette> palette = PicturePalette(image);
        if (palette && !palette->Empty()) {
            *composite = TBitmap(image.Width(), image.Height(), pf8bit);
            composite->SetPalette(*palette);
        } else {
            *composite = TBitmap(image.Width(), image.Height(), pfDevice);
        }
        TCanvas canvas(*composite);
        DrawFrame(first, canvas, canvas.ClipRect(), false, false);
    }
    caches.Composite = composite;
    return composite;
}

void CopyPictureToBitmap(TGIFPicture& image, TBitmap& target) {
    const std::shared_ptr<TBitmap> composite = RenderPicture(image);
    target = composite ? *composite : TBitmap();
}
