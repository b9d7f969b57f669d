#pragma once
// TCanvas: drawing operations on a target bitmap, clipped to the bitmap (and to ClipRect). Colours
// written into an indexed target are mapped to the nearest entry of its colour table. After every
// drawing operation the target's change notification runs.

#include "Bitmap.h"
#include "Rect.h"

class TCanvas {
  public:
    explicit TCanvas(TBitmap& target);

    TBitmap& Target() { return Target_; }
    // The whole target by default; drawing outside it changes nothing.
    TRect ClipRect() const { return Clip_; }
    void SetClipRect(const TRect& clip);

    void FillRect(const TRect& rect, TColorRef color);
    TColorRef Pixel(int x, int y) const { return Target_.Pixel(x, y); }
    void SetPixel(int x, int y, TColorRef color);

    // Draws a graphic stretched into dest / unstretched at (x, y).
    void StretchDraw(const TRect& dest, const TGraphic& graphic);
    void Draw(int x, int y, const TGraphic& graphic);

    // Copies source rectangle `src` of a bitmap into dest, stretching by nearest neighbour.
    void StretchBlt(const TRect& dest, const TBitmap& source, const TRect& src);
    // As StretchBlt, but destination pixels whose mask bit is 1 keep their colour. The mask (any
    // format; non-zero / non-black counts as 1) is read at the same source positions.
    void MaskedStretchBlt(const TRect& dest, const TBitmap& source, const TRect& src, const TBitmap& mask);
    // Icon drawing: destination = (destination AND mask) XOR colour, per pixel, where a mask bit of
    // 1 keeps the destination (all ones) and 0 clears it.
    void IconStretchBlt(const TRect& dest, const TBitmap& color, const TBitmap& mask);

  private:
    template <typename Op>
    void StretchEach(const TRect& dest, const TRect& src, int srcWidth, int srcHeight, Op op);

    TBitmap& Target_;
    TRect Clip_;
};
