#pragma once
// TIcon: a picture made of a colour bitmap and a 1-bit AND mask of the same size (mask bit 1 =
// transparent, the colour there normally black), with a hot spot. Drawing ANDs the destination
// with the mask and XORs the colour into it.

#include "Bitmap.h"

class TIcon : public TGraphic {
  public:
    TIcon() = default;
    // The mask is converted to 1 bit; its size must match the colour bitmap's (EInvalidGraphic).
    TIcon(const TBitmap& color, const TBitmap& mask, int hotSpotX = 0, int hotSpotY = 0);

    bool Empty() const override { return Color_.Empty(); }
    int Width() const override { return Color_.Width(); }
    int Height() const override { return Color_.Height(); }
    void Draw(TCanvas& canvas, const TRect& dest) const override;
    std::string ClassName() const override { return "TIcon"; }

    const TBitmap& ColorBitmap() const { return Color_; }
    const TBitmap& MaskBitmap() const { return Mask_; }
    int HotSpotX() const { return HotSpotX_; }
    int HotSpotY() const { return HotSpotY_; }

  private:
    TBitmap Color_;
    TBitmap Mask_;
    int HotSpotX_ = 0;
    int HotSpotY_ = 0;
};
