#include <gtest/gtest.h>

#include "Canvas.h"
#include "Icon.h"
#include "PlatformError.h"

namespace {

const TColorRef Red = MakeColorRef(255, 0, 0);
const TColorRef Blue = MakeColorRef(0, 0, 255);
const TColorRef Green = MakeColorRef(0, 255, 0);

TBitmap TwoByTwo() {
    TBitmap b(2, 2, pf24bit);
    b.SetPixel(0, 0, Red);
    b.SetPixel(1, 0, Blue);
    b.SetPixel(0, 1, Green);
    b.SetPixel(1, 1, 0xFFFFFF);
    return b;
}

} // namespace

TEST(Canvas, StretchBltDoublesByNearestNeighbourAndClips) {
    TBitmap target(5, 5, pf32bit);
    int changes = 0;
    target.OnChange = [&] { ++changes; };
    TCanvas canvas(target);
    const TBitmap src = TwoByTwo();
    canvas.StretchBlt(TRect(1, 1, 5, 5), src, TRect(0, 0, 2, 2));
    EXPECT_EQ(target.Pixel(0, 0), 0u);
    EXPECT_EQ(target.Pixel(1, 1), Red);
    EXPECT_EQ(target.Pixel(2, 2), Red);
    EXPECT_EQ(target.Pixel(3, 1), Blue);
    EXPECT_EQ(target.Pixel(4, 4), 0xFFFFFFu);
    EXPECT_EQ(changes, 1);
    // Partly outside the target: only the visible part is drawn, without touching memory outside.
    canvas.StretchBlt(TRect(-3, -3, 1, 1), src, TRect(0, 0, 2, 2));
    EXPECT_EQ(target.Pixel(0, 0), 0xFFFFFFu);
    canvas.SetClipRect(TRect(0, 0, 1, 5));
    canvas.FillRect(TRect(0, 0, 5, 5), Green);
    EXPECT_EQ(target.Pixel(0, 4), Green);
    EXPECT_EQ(target.Pixel(1, 0), 0u);
}

TEST(Canvas, MaskedBltKeepsPixelsUnderSetMaskBits) {
    TBitmap target(2, 2, pf24bit);
    target.Fill(MakeColorRef(7, 7, 7));
    TCanvas canvas(target);
    TBitmap mask(2, 2, pf1bit);
    mask.SetIndex(1, 0, 1);
    canvas.MaskedStretchBlt(TRect(0, 0, 2, 2), TwoByTwo(), TRect(0, 0, 2, 2), mask);
    EXPECT_EQ(target.Pixel(0, 0), Red);
    EXPECT_EQ(target.Pixel(1, 0), MakeColorRef(7, 7, 7));
    EXPECT_EQ(target.Pixel(1, 1), 0xFFFFFFu);
}

TEST(Canvas, IndexedTargetGetsNearestTableEntries) {
    TBitmap target(2, 1, pf8bit);
    target.SetPalette(TPalette(std::vector<TPaletteEntry>{{0, 0, 0, 0}, {250, 0, 0, 0}, {0, 0, 250, 0}}));
    TCanvas canvas(target);
    canvas.StretchBlt(TRect(0, 0, 2, 1), TwoByTwo(), TRect(0, 0, 2, 1));
    EXPECT_EQ(target.Index(0, 0), 1);
    EXPECT_EQ(target.Index(1, 0), 2);
}

TEST(Icon, DrawsThroughItsAndMask) {
    TBitmap color(2, 1, pf24bit);
    color.SetPixel(0, 0, Blue); // pixel 1 stays black under a set mask bit
    TBitmap mask(2, 1, pf1bit);
    mask.SetIndex(1, 0, 1);
    const TIcon icon(color, mask);
    TBitmap target(2, 1, pf24bit);
    target.Fill(Green);
    TCanvas canvas(target);
    canvas.Draw(0, 0, icon);
    EXPECT_EQ(target.Pixel(0, 0), Blue);
    EXPECT_EQ(target.Pixel(1, 0), Green);
    EXPECT_THROW(TIcon(color, TBitmap(3, 1, pf1bit)), EInvalidGraphic);
}
