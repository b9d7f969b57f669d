#include <gtest/gtest.h>

#include "Bitmap.h"
#include "DIB.h"
#include "PlatformError.h"

namespace {

// Colours every format can hold exactly (multiples of 8 in 5-bit channels, table colours).
const TColorRef Exact[] = {MakeColorRef(0, 0, 0),   MakeColorRef(255, 255, 255), MakeColorRef(255, 0, 0),
                           MakeColorRef(0, 255, 0), MakeColorRef(0, 0, 255),     MakeColorRef(255, 255, 0)};

} // namespace

TEST(Bitmap, RowsArePaddedToFourBytes) {
    struct Case {
        TPixelFormat Format;
        int Width;
        int RowBytes;
    };
    const Case cases[] = {{pf1bit, 1, 4},   {pf1bit, 33, 8}, {pf4bit, 3, 4},   {pf4bit, 9, 8},
                          {pf8bit, 5, 8},   {pf15bit, 3, 8}, {pf24bit, 5, 16}, {pf24bit, 4, 12},
                          {pf32bit, 3, 12}, {pfDevice, 2, 8}};
    for (const Case& c : cases) {
        TBitmap b(c.Width, 2, c.Format);
        EXPECT_EQ(b.RowBytes(), c.RowBytes) << c.Format << " width " << c.Width;
        EXPECT_EQ(b.BitsSize(), static_cast<std::size_t>(c.RowBytes) * 2);
    }
}

TEST(Bitmap, EveryFormatKeepsColoursItCanHoldThroughConversions) {
    // Write a pattern into a 24-bit bitmap, convert to the format and back: the colours survive
    // (the indexed formats take them from their standard tables, which hold all six).
    for (TPixelFormat f : {pf4bit, pf8bit, pf15bit, pf16bit, pf32bit, pfDevice}) {
        TBitmap b(7, 3, pf24bit);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x)
                b.SetPixel(x, y, Exact[(x + 2 * y) % 6]);
        b.SetPixelFormat(f);
        EXPECT_EQ(b.PixelFormat(), f);
        b.SetPixelFormat(pf24bit);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x)
                ASSERT_EQ(b.Pixel(x, y), Exact[(x + 2 * y) % 6]) << f << " " << x << "," << y;
    }
}

TEST(Bitmap, HighColourAndTrueColourByteLayouts) {
    struct Case {
        TPixelFormat Format;
        TColorRef Color;
        std::vector<int> Bytes;
    };
    const Case cases[] = {
        {pf15bit, MakeColorRef(255, 0, 0), {0x00, 0x7C}}, {pf15bit, MakeColorRef(0, 0, 255), {0x1F, 0x00}},
        {pf16bit, MakeColorRef(255, 0, 0), {0x00, 0xF8}}, {pf16bit, MakeColorRef(0, 255, 0), {0xE0, 0x07}},
        {pf24bit, MakeColorRef(1, 2, 3), {3, 2, 1}},      {pf32bit, MakeColorRef(1, 2, 3), {3, 2, 1, 0}}};
    for (const Case& c : cases) {
        TBitmap b(1, 1, c.Format);
        b.SetPixel(0, 0, c.Color);
        for (std::size_t i = 0; i < c.Bytes.size(); ++i)
            EXPECT_EQ(b.ScanLine(0)[i], c.Bytes[i]) << c.Format << " byte " << i;
        EXPECT_EQ(b.Pixel(0, 0), c.Color) << c.Format;
    }
}

TEST(Bitmap, SubBytePixelsAreMostSignificantFirst) {
    TBitmap four(3, 1, pf4bit);
    four.SetIndex(0, 0, 0xA);
    four.SetIndex(1, 0, 0x5);
    four.SetIndex(2, 0, 0xC);
    EXPECT_EQ(four.ScanLine(0)[0], 0xA5);
    EXPECT_EQ(four.ScanLine(0)[1], 0xC0);

    TBitmap one(10, 1, pf1bit);
    one.SetIndex(0, 0, 1);
    one.SetIndex(9, 0, 1);
    EXPECT_EQ(one.ScanLine(0)[0], 0x80);
    EXPECT_EQ(one.ScanLine(0)[1], 0x40);
}

TEST(Bitmap, IndexedConversionKeepsIndicesWhenTheTableStays) {
    // Duplicate colours in the table must not be folded by a 4-to-8-bit conversion.
    TBitmap b(2, 1, pf4bit);
    b.SetPalette(TPalette(std::vector<TPaletteEntry>{{9, 9, 9, 0}, {9, 9, 9, 0}}));
    b.SetIndex(0, 0, 1);
    b.SetPixelFormat(pf8bit);
    EXPECT_EQ(b.Index(0, 0), 1);
    EXPECT_EQ(b.Palette().Count(), 2);
}

TEST(Bitmap, OutOfRangeAccessIsRefusedOrIgnored) {
    TBitmap b(2, 2, pf24bit);
    EXPECT_THROW(b.ScanLine(2), EInvalidGraphic);
    EXPECT_THROW(b.ScanLine(-1), EInvalidGraphic);
    EXPECT_EQ(b.Pixel(2, 0), TBitmap::InvalidColor);
    b.SetPixel(-1, 0, 0xFFFFFF); // ignored
    TBitmap empty;
    EXPECT_TRUE(empty.Empty());
    EXPECT_THROW(empty.ScanLine(0), EInvalidGraphic);
    EXPECT_THROW(TBitmap(1 << 16, 1 << 16, pf8bit), EOutOfResources);
    EXPECT_THROW(b.SetPixelFormat(pfCustom), EInvalidGraphic);
}

TEST(Bitmap, MaskMarksTheTransparentColour) {
    TBitmap b(3, 2, pf24bit);
    b.Fill(MakeColorRef(1, 2, 3));
    b.SetPixel(1, 0, MakeColorRef(9, 9, 9));
    // Auto mode: the bottom-left pixel's colour.
    EXPECT_EQ(b.TransparentColor(), MakeColorRef(1, 2, 3));
    TBitmap m = b.Mask();
    ASSERT_EQ(m.PixelFormat(), pf1bit);
    EXPECT_EQ(m.Index(0, 0), 1);
    EXPECT_EQ(m.Index(1, 0), 0);
    b.SetTransparentColor(MakeColorRef(9, 9, 9));
    m = b.Mask();
    EXPECT_EQ(m.Index(0, 0), 0);
    EXPECT_EQ(m.Index(1, 0), 1);
    // An explicit mask wins over the colour.
    TBitmap explicitMask(3, 2, pf1bit);
    explicitMask.SetIndex(2, 1, 1);
    b.SetMask(explicitMask);
    EXPECT_EQ(b.Mask().Index(2, 1), 1);
    EXPECT_EQ(b.Mask().Index(1, 0), 0);
}

TEST(Bitmap, AssignmentKeepsTheTargetsChangeNotification) {
    int calls = 0;
    TBitmap target;
    target.OnChange = [&] { ++calls; };
    target = TBitmap(2, 2, pf24bit);
    target.Changed();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(target.Width(), 2);
}

TEST(DIB, ReaderConvertsInPlace) {
    TBitmap b(2, 2, pfDevice);
    b.SetPixel(1, 1, MakeColorRef(10, 20, 30));
    TDIBReader reader(b, pf24bit);
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    const std::uint8_t* row = reader.RowPointer(1);
    EXPECT_EQ(row[3], 30);
    EXPECT_EQ(row[5], 10);
    EXPECT_THROW(reader.RowPointer(2), EInvalidGraphic);
}

TEST(DIB, WriterRefusesBadArgumentsWithItsTexts) {
    TBitmap result;
    const TPalette p(4);
    struct Case {
        TPixelFormat Format;
        int Width, Height;
        const char* Text;
    };
    const Case cases[] = {{pf4bit, 2, 2, "Unsupported PixelFormat"},
                          {pf32bit, 2, 2, "Unsupported PixelFormat"},
                          {pf8bit, 0, 2, "Invalid image dimensions"},
                          {pf24bit, 2, 0, "Invalid image dimensions"}};
    for (const Case& c : cases) {
        try {
            TDIBWriter w(result, c.Format, c.Width, c.Height, p);
            ADD_FAILURE() << c.Text;
        } catch (const EInvalidGraphic& e) {
            EXPECT_STREQ(e.what(), c.Text);
        }
    }
    TDIBWriter w(result, pf8bit, 2, 2, p);
    try {
        w.RowPointer(2);
        ADD_FAILURE();
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Scan line index out of range");
    }
}

TEST(DIB, WriterFillsTheResultWith256EntriesWhenDone) {
    TBitmap result;
    TPalette p(std::vector<TPaletteEntry>{{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}});
    {
        TDIBWriter w(result, pf8bit, 3, 2, p);
        w.RowPointer(0)[2] = 2;
        w.RowPointer(1)[0] = 1;
        EXPECT_TRUE(result.Empty()); // replaced only when the writer is done
    }
    ASSERT_EQ(result.PixelFormat(), pf8bit);
    ASSERT_EQ(result.Palette().Count(), 256);
    EXPECT_EQ(result.Palette().ColorAt(2), MakeColorRef(7, 8, 9));
    EXPECT_EQ(result.Palette().ColorAt(3), 0u);
    EXPECT_EQ(result.Palette().ColorAt(255), 0u);
    EXPECT_EQ(result.Index(2, 0), 2); // row 0 is the top row
    EXPECT_EQ(result.Index(0, 1), 1);
}
