#include "Bitmap.h"
#include "Surface32.h"
#include "SurfaceTesting.h"

#include <gtest/gtest.h>

TEST(SurfaceBitmap, FromTrueColourBitmapsAlphaIsOpaqueOrCarried) {
    TBitmap b24(3, 2, pf24bit);
    b24.SetPixel(0, 0, 0x00FF0000); // blue
    b24.SetPixel(2, 1, 0x00123456);
    TSurface32 s;
    s.CopyFromBitmap(b24);
    ASSERT_EQ(s.Width(), 3);
    ASSERT_EQ(s.Height(), 2);
    EXPECT_EQ(s.GetPixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(s.GetPixel(2, 1), 0xFF563412u);
    EXPECT_EQ(s.GetPixel(1, 0), 0xFF000000u);

    TBitmap b32(2, 1, pf32bit);
    uint8_t* row = b32.ScanLine(0);
    const uint8_t bytes[8] = {0x11, 0x22, 0x33, 0x44, 0xAA, 0xBB, 0xCC, 0x00};
    std::copy(bytes, bytes + 8, row);
    s.CopyFromBitmap(b32);
    EXPECT_EQ(s.GetPixel(0, 0), 0x44332211u);
    EXPECT_EQ(s.GetPixel(1, 0), 0x00CCBBAAu);
}

TEST(SurfaceBitmap, FromIndexedAndTransparentBitmaps) {
    TBitmap b8(2, 2, pf8bit);
    TPalette pal(2);
    pal.SetColor(0, 0x00CCCCCC);
    pal.SetColor(1, 0x000000FF); // red
    b8.SetPalette(pal);
    b8.SetIndex(1, 1, 1);
    b8.SetTransparentColor(0x00CCCCCC);
    b8.SetTransparent(true);
    TSurface32 s;
    s.CopyFromBitmap(b8);
    EXPECT_EQ(s.GetPixel(0, 0), 0x00CCCCCCu); // the transparent colour loses its alpha
    EXPECT_EQ(s.GetPixel(1, 1), 0xFFFF0000u);

    b8.SetTransparent(false);
    s.CopyFromBitmap(b8);
    EXPECT_EQ(s.GetPixel(0, 0), 0xFFCCCCCCu);

    s.CopyFromBitmap(TBitmap());
    EXPECT_TRUE(s.Empty());
    s.SetSize(3, 3);
    s.CopyFromBitmap(nullptr);
    EXPECT_EQ(s.Width(), 0);
    EXPECT_EQ(s.Height(), 0);
}

TEST(SurfaceBitmap, ToBitmapKeepsEveryPixelValueAndRoundTrips) {
    const TSurface32 original = [] {
        TSurface32 s = NumberedSurface(5, 3);
        s.SetPixel(4, 2, 0x7F102030);
        return s;
    }();
    TBitmap b(1, 1, pf8bit);
    original.CopyToBitmap(b);
    EXPECT_EQ(b.PixelFormat(), pf32bit);
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(b.Height(), 3);
    EXPECT_EQ(b.Pixel(4, 2), 0x00302010u);
    TSurface32 back;
    back.CopyFromBitmap(b);
    ASSERT_EQ(back.Width(), 5);
    EXPECT_TRUE(std::equal(back.Bits(), back.Bits() + 15, original.Bits()));
}
