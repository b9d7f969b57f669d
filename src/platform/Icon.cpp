#include "Icon.h"

#include "Canvas.h"
#include "PlatformError.h"

TIcon::TIcon(const TBitmap& color, const TBitmap& mask, int hotSpotX, int hotSpotY)
    : Color_(color), HotSpotX_(hotSpotX), HotSpotY_(hotSpotY) {
    if (mask.Width() != color.Width() || mask.Height() != color.Height())
        throw EInvalidGraphic("Icon mask size does not match its image");
    Color_.SetTransparent(false);
    Mask_ = TBitmap(color.Width(), color.Height(), pf1bit);
    for (int y = 0; y < mask.Height(); ++y)
        for (int x = 0; x < mask.Width(); ++x) {
            const bool set = mask.IsIndexed() ? mask.Index(x, y) != 0 : mask.Pixel(x, y) != 0;
            if (set) Mask_.SetIndex(x, y, 1);
        }
}

void TIcon::Draw(TCanvas& canvas, const TRect& dest) const {
    if (Empty()) return;
    canvas.IconStretchBlt(dest, Color_, Mask_);
}
