#pragma once
// TSurface32: the 32-bit pixel surface every editing operation works on.
//
// Pixels are 0xAARRGGBB, row-major, top row first; pixel (x, y) is at index x + y * width. Clipped
// operations skip what lies outside the clip rectangle, which always covers the whole surface after
// a size change. The drawing rules (Bresenham lines, anti-aliased dots and lines with a gamma table,
// blending) are fixed to the bit so that every tool produces the same pixels. Single-threaded.

#include "Rect.h"
#include "TextRasterizer.h"

#include <array>
#include <cassert>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TBitmap;

enum TDrawMode { dmOpaque, dmBlend, dmCustom };
enum TCombineMode { cmBlend, cmMerge };

// GammaTable[i] = round(255 * (i / 255)^0.7), halves to even; built once.
const std::array<uint8_t, 256>& GammaTable();

// The cmBlend combination of colour c into pixel p with weight w (0..255), byte by byte:
// w = 0 keeps p, w = 255 gives c, otherwise (c * w + p * (256 - w) + 128) >> 8.
uint32_t BlendColor(uint32_t c, uint32_t p, unsigned w);

// The cmMerge combination: c with opacity (its alpha × w) laid over p, which keeps its own alpha.
uint32_t MergeColor(uint32_t c, uint32_t p, unsigned w);

class TSurface32 {
  public:
    // Surfaces above this many pixels are refused like a failed allocation.
    static constexpr int64_t MaxPixels = 64LL * 1024 * 1024;

    TSurface32() = default;
    TSurface32(int width, int height) { SetSize(width, height); }

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Empty() const { return FWidth == 0 || FHeight == 0; }
    const TRect& ClipRect() const { return FClip; }
    TRect BoundsRect() const { return TRect(0, 0, FWidth, FHeight); }

    // Negative sizes become 0. A changed size replaces the storage (all pixels 0x00000000) and resets
    // the clip rectangle; raises EOutOfResources "Can't allocate the DIB handle" when no memory is
    // to be had, leaving the surface 0 × 0.
    void SetSize(int width, int height);

    uint32_t* Bits() { return FPixels.data(); }
    const uint32_t* Bits() const { return FPixels.data(); }
    uint32_t* ScanLine(int y) { return FPixels.data() + static_cast<size_t>(y) * FWidth; }
    const uint32_t* ScanLine(int y) const { return FPixels.data() + static_cast<size_t>(y) * FWidth; }

    // Unchecked access: the caller guarantees 0 <= x < width and 0 <= y < height.
    uint32_t GetPixel(int x, int y) const {
        assert(x >= 0 && x < FWidth && y >= 0 && y < FHeight);
        return FPixels[static_cast<size_t>(y) * FWidth + x];
    }
    void SetPixel(int x, int y, uint32_t color) {
        assert(x >= 0 && x < FWidth && y >= 0 && y < FHeight);
        FPixels[static_cast<size_t>(y) * FWidth + x] = color;
    }

    uint32_t GetPixelClipped(int x, int y) const {
        return FClip.Contains(x, y) ? GetPixel(x, y) : OuterColor;
    }
    void SetPixelClipped(int x, int y, uint32_t color) {
        if (FClip.Contains(x, y)) SetPixel(x, y, color);
    }

    void FillAll(uint32_t color);
    // Rows y1 .. y2 - 1, columns x1 .. x2 - 1; nothing when x2 <= x1 or y2 <= y1. Not clipped, but
    // never writes outside the surface.
    void FillRect(int x1, int y1, int x2, int y2, uint32_t color);
    void FillRectClipped(int x1, int y1, int x2, int y2, uint32_t color);
    // x1 .. x2 inclusive in row y, ends in any order.
    void HorzLineClipped(int x1, int y, int x2, uint32_t color);
    // y1 .. y2 inclusive in column x, ends in any order.
    void VertLineClipped(int x, int y1, int y2, uint32_t color);
    // Bresenham line from (x1, y1) to (x2, y2); the end pixel only when includeEnd.
    void LineClipped(int x1, int y1, int x2, int y2, uint32_t color, bool includeEnd);

    // Blends colour into the pixel (unchecked) by CombineMode with weight 0..255.
    void BlendPixel(int x, int y, uint32_t color, unsigned weight);
    // Anti-aliased dot at (x, y) given in 16.16 fixed point.
    void DotAA(int x, int y, uint32_t color);
    // Anti-aliased line between 16.16 points.
    void LineAA(int x1, int y1, int x2, int y2, uint32_t color, bool includeEnd);

    // The text's block (text followed by one space) in this surface's font; 0 × 0 without a rasterizer.
    TTextExtent TextExtent(const std::string& utf8Text) const;
    TTextExtent TextExtent(const std::string& utf8Text, TTextRasterizer& rasterizer) const;
    // Draws the text in one colour, not anti-aliased, with the top-left corner of its block at (x, y);
    // glyph pixels take the colour, everything else stays. Uses the installed rasterizer.
    void RenderText(int x, int y, const std::string& utf8Text, uint32_t color);
    void RenderText(int x, int y, const std::string& utf8Text, uint32_t color, TTextRasterizer& rasterizer);

    void FlipHorizontal();
    void FlipVertical();

    // Takes size, pixels, DrawMode, MasterAlpha and OuterColor of the source; nullptr empties.
    void CopyFrom(const TSurface32* source);
    void CopyFrom(const TSurface32& source) { CopyFrom(&source); }
    // Takes size and pixels of a platform bitmap. Sources below 32 bits get alpha 0xFF; in a bitmap
    // marked transparent the pixels of its transparent colour get alpha 0x00.
    void CopyFromBitmap(const TBitmap& bitmap);
    // nullptr empties the surface (0 × 0).
    void CopyFromBitmap(const TBitmap* bitmap);
    // Makes the bitmap a 32-bit bitmap of this size holding these very pixel values.
    void CopyToBitmap(TBitmap& bitmap) const;

    // Draws this surface onto target with its top-left corner at (x, y), clipped to the target's
    // clip rectangle: dmOpaque copies, dmBlend blends by pixel alpha and MasterAlpha with the
    // target's CombineMode, dmCustom calls OnPixelCombine for every pixel (copies when unset).
    void DrawTo(TSurface32& target, int x, int y) const;

    uint32_t OuterColor = 0x00000000;
    uint8_t MasterAlpha = 255;
    TDrawMode DrawMode = dmOpaque;
    TCombineMode CombineMode = cmBlend;
    TFontDescription Font;
    std::function<void(uint32_t source, uint32_t& target, uint8_t masterAlpha)> OnPixelCombine;

  private:
    void Splat(int X, int Y, uint32_t color);

    int FWidth = 0;
    int FHeight = 0;
    TRect FClip;
    std::vector<uint32_t> FPixels;
};
