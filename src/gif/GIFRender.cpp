// Frame rendering: the 8-bit bitmap and 1-bit mask a frame is shown through, the palettes made
// from the colour tables, drawing frames onto canvases (scaled or tiled, opaque or through the
// mask) and the picture's composite bitmap.
//
// Every cache query takes the picture's RenderLock (a free-standing frame has no picture and no
// lock), so rendering and the changes that drop caches never overlap.

#include <memory>
#include <mutex>
#include <optional>

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

std::optional<std::unique_lock<std::recursive_mutex>> LockOf(TGIFPicture* image) {
    if (!image) return std::nullopt;
    return std::unique_lock<std::recursive_mutex>(image->RenderLock);
}

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

bool TGIFPicture::DitherWhenRendering() const {
    return (PaintFlags & pfDither) != 0 && ((PaintFlags & pfDitherOnPaletteOnly) == 0 || DisplayUsesPalette);
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

std::shared_ptr<TBitmap> TGIFSubImage::Bitmap() {
    auto lock = LockOf(Image_);
    if (BitmapCache || Empty()) return BitmapCache;
    auto progress = [this](int stage, int percent) {
        if (Image_) Image_->Progress(stage, percent, GIFText::Rendering);
    };
    progress(0, 0);
    const bool dither = Image_ && Image_->DitherWhenRendering();
    const std::shared_ptr<TPalette> palette = dither ? CubePalette() : Palette();
    const int width = Width(), height = Height();
    const bool wantMask = MaskNeeded && Transparent() && GraphicControlExtension();
    MaskNeeded = false;
    const int transparentIndex = wantMask ? GraphicControlExtension()->TransparentColorIndex() : -1;
    try {
        auto bitmap = std::make_shared<TBitmap>(width, height, pf8bit);
        bitmap->SetPalette(palette ? *palette : TPalette());
        TMaskBits mask(wantMask ? width : 0, wantMask ? height : 0);
        if (!dither) {
            for (int y = 0; y < height; ++y) {
                if (y % ProgressRowStep == 0) progress(1, y * 100 / height);
                const std::uint8_t* src = RowAt(y);
                std::copy_n(src, width, bitmap->ScanLine(y));
                if (wantMask)
                    for (int x = 0; x < width; ++x)
                        if (src[x] == transparentIndex) mask.Set(x, y);
            }
        } else {
            // Each pixel's colour from the active table, through the cube and Floyd-Steinberg;
            // transparent pixels are left to the mask and only step the ditherer's column.
            const TGIFColorMap& table = ActiveColorTable();
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
                const std::uint8_t* src = RowAt(y);
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
        if (wantMask) MaskCache = mask.Take();
        BitmapCache = bitmap;
    } catch (...) {
        MaskNeeded = MaskNeeded || wantMask; // the next rendering tries the mask again
        progress(2, 0);
        throw;
    }
    progress(2, 100);
    if (Image_ && Image_->PaletteModified) Image_->Changed();
    return BitmapCache;
}

bool TGIFSubImage::HasMask() {
    auto lock = LockOf(Image_);
    if (MaskNeeded && Transparent()) {
        BitmapCache.reset();
        Bitmap();
    }
    return static_cast<bool>(MaskCache);
}

void TGIFSubImage::FreeBitmap() {
    auto lock = LockOf(Image_);
    BitmapCache.reset();
}

void TGIFSubImage::FreeMask() {
    auto lock = LockOf(Image_);
    MaskCache.reset();
    MaskNeeded = true;
}

void TGIFSubImage::SetHasBitmap(bool on) {
    if (on)
        Bitmap();
    else
        FreeBitmap();
}

// ---- Frame: palette ----

std::shared_ptr<TPalette> TGIFSubImage::Palette() {
    auto lock = LockOf(Image_);
    if (BitmapCache && BitmapCache->HasPalette()) return PaletteOf(BitmapCache);
    if (PaletteCache) return PaletteCache;
    std::shared_ptr<TPalette> palette;
    if (Image_ && Image_->DitherWhenRendering())
        palette = CubePalette();
    else if (ColorMap().Count() == 0)
        return Image_ ? Image_->Palette() : nullptr; // the picture's, not kept here
    else
        palette = ColorMap().ExportPaletteHandle();
    PaletteCache = palette;
    return palette;
}

void TGIFSubImage::SetPalette(std::shared_ptr<TPalette> palette) {
    auto lock = LockOf(Image_);
    if (palette == PaletteCache) return;
    PaletteCache = palette;
    if (BitmapCache && (!palette || !SameColors(BitmapCache->Palette(), *palette))) {
        BitmapCache.reset();
        if (Image_) {
            Image_->PaletteModified = true;
            Image_->Changed();
        }
    }
}

// ---- Frame: drawing ----

void TGIFSubImage::DrawFrame(TCanvas& canvas, const TRect& rect, bool tile, bool transparent) {
    if (tile) {
        StretchDraw(canvas, rect, true, transparent);
        return;
    }
    // The frame's place on the logical screen, scaled into rect. A picture without a screen size
    // (or a free-standing frame) counts the frame itself as the screen.
    const int screenWidth = Image_ && Image_->Width() > 0 ? Image_->Width() : Left() + Width();
    const int screenHeight = Image_ && Image_->Height() > 0 ? Image_->Height() : Top() + Height();
    const TRect place(rect.Left + MulDiv(Left(), rect.Width(), screenWidth),
                      rect.Top + MulDiv(Top(), rect.Height(), screenHeight),
                      rect.Left + MulDiv(Left() + Width(), rect.Width(), screenWidth),
                      rect.Top + MulDiv(Top() + Height(), rect.Height(), screenHeight));
    StretchDraw(canvas, place, false, transparent);
}

void TGIFSubImage::StretchDraw(TCanvas& canvas, const TRect& rect, bool tile, bool transparent) {
    auto lock = LockOf(Image_);
    const bool masked = transparent && Transparent() && HasMask();
    const std::shared_ptr<TBitmap> bitmap = Bitmap();
    if (!bitmap) return;
    const std::shared_ptr<TBitmap> mask = masked ? MaskCache : nullptr;
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
    const int stepX = std::max(1, Image_ && Image_->Width() > 0 ? Image_->Width() : Width());
    const int stepY = std::max(1, Image_ && Image_->Height() > 0 ? Image_->Height() : Height());
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
        firstTile(std::int64_t(rect.Left) + Left(), stepX, std::int64_t(visible.Left) - Width());
    const std::int64_t y0 =
        firstTile(std::int64_t(rect.Top) + Top(), stepY, std::int64_t(visible.Top) - Height());
    for (std::int64_t x = x0; x < visible.Right; x += stepX)
        for (std::int64_t y = y0; y < visible.Bottom; y += stepY)
            draw(TRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + Width()),
                       static_cast<int>(y + Height())));
    canvas.SetClipRect(oldClip);
}

void TGIFSubImage::CopyToBitmap(TBitmap& target) {
    const std::shared_ptr<TBitmap> bitmap = Bitmap();
    target = bitmap ? *bitmap : TBitmap();
}

// ---- Picture: palette and composite bitmap ----

std::shared_ptr<TPalette> TGIFPicture::Palette() {
    std::lock_guard<std::recursive_mutex> lock(RenderLock);
    // A frame without a table of its own asks back here: then there is no table anywhere.
    if (InsidePaletteQuery) throw EGIFException(GIFText::NoColorTable);
    InsidePaletteQuery = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } reset{InsidePaletteQuery};
    if (CompositeCache && CompositeCache->HasPalette()) return PaletteOf(CompositeCache);
    if (GlobalPaletteCache) return GlobalPaletteCache;
    std::shared_ptr<TPalette> palette;
    if (DitherWhenRendering())
        palette = CubePalette();
    else if (GlobalColorMap().Count() == 0)
        return Images().ItemCount() > 0 ? Images().ItemAt(0)->Palette() : nullptr;
    else
        palette = GlobalColorMap().ExportPaletteHandle();
    GlobalPaletteCache = palette;
    return palette;
}

void TGIFPicture::SetPalette(std::shared_ptr<TPalette> palette) {
    std::lock_guard<std::recursive_mutex> lock(RenderLock);
    if (palette == GlobalPaletteCache) return;
    GlobalPaletteCache = palette;
    if (CompositeCache && (!palette || !SameColors(CompositeCache->Palette(), *palette))) {
        CompositeCache.reset();
        PaletteModified = true;
        Changed();
    }
}

std::shared_ptr<TBitmap> TGIFPicture::Bitmap() {
    std::lock_guard<std::recursive_mutex> lock(RenderLock);
    if (Images().ItemCount() == 0) return nullptr;
    if (CompositeCache) return CompositeCache;
    auto composite = std::make_shared<TBitmap>();
    composite->OnChange = [this] { Changed(); };
    TGIFSubImage& first = *Images().ItemAt(0);
    if (first.Width() == Width() && first.Height() == Height()) {
        if (const std::shared_ptr<TBitmap> rendered = first.Bitmap()) *composite = *rendered;
    } else {
        const std::shared_ptr<TPalette> palette = Palette();
        if (palette && !palette->Empty()) {
            *composite = TBitmap(Width(), Height(), pf8bit);
            composite->SetPalette(*palette);
        } else {
            *composite = TBitmap(Width(), Height(), pfDevice);
        }
        TCanvas canvas(*composite);
        first.DrawFrame(canvas, canvas.ClipRect(), false, false);
    }
    CompositeCache = composite;
    return composite;
}

void TGIFPicture::CopyToBitmap(TBitmap& target) {
    const std::shared_ptr<TBitmap> composite = Bitmap();
    target = composite ? *composite : TBitmap();
}
