#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "Bitmap.h"
#include "ColorReduction.h"
#include "GIFException.h"
#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFRender.h"
#include "GIFSubImage.h"
#include "Icon.h"
#include "Picture.h"

namespace {

struct TProgressLog {
    std::vector<std::pair<int, int>> Calls; // stage, percent
    void Attach(TGIFPicture& image) {
        image.OnProgress = [this](const TGIFObject*, int stage, int percent, const std::string& text) {
            EXPECT_EQ(text, "Converting...");
            Calls.emplace_back(stage, percent);
        };
    }
};

TGIFColor Rgb(int r, int g, int b) {
    return static_cast<TGIFColor>(r | (g << 8) | (b << 16));
}

TGIFColor FrameColor(TGIFSubImage& frame, int x, int y) {
    return frame.ActiveColorTable().ColorAt(frame.PixelAt(x, y));
}

// A document-style picture: octree quantizing with the system colours and Floyd-Steinberg.
void UseDocumentOptions(TGIFPicture& image) {
    image.ReductionMethod = ReduceQuantizeSystem;
    image.DitherMethod = DitherFloydSteinberg;
}

} // namespace

TEST(GIFImport, EmptyBitmapGivesAnEmptyFrameWithoutNotifications) {
    TGIFPicture image;
    TProgressLog log;
    log.Attach(image);
    TGIFSubImage frame(&image);
    TBitmap empty;
    ImportFrame(frame, empty);
    EXPECT_TRUE(frame.Empty());
    EXPECT_EQ(frame.ColorMap().Count(), 0);
    EXPECT_TRUE(log.Calls.empty());
}

TEST(GIFImport, TrueColourFrameGetsTheReductionPaletteAndExactIndices) {
    TGIFPicture image;
    UseDocumentOptions(image);
    TProgressLog log;
    log.Attach(image);
    TBitmap source(40, 40, pfDevice);
    const TColorRef colors[] = {MakeColorRef(12, 200, 7), MakeColorRef(250, 250, 1), MakeColorRef(0, 0, 0),
                                MakeColorRef(77, 78, 79)};
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            source.SetPixel(x, y, colors[(x / 3 + y) % 4]);
    const TBitmap original = source;
    const int index = AddImportedFrame(image, source);
    TGIFSubImage& frame = *image.Images().ItemAt(index);
    EXPECT_EQ(frame.Width(), 40);
    EXPECT_EQ(image.Width(), 40);
    EXPECT_EQ(frame.ColorMap().Count(), 256);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(FrameColor(frame, x, y), original.Pixel(x, y));
    EXPECT_EQ(source.PixelFormat(), pf24bit); // the caller's bitmap was converted on the way
    // Start, rows 0 and 32 (80 %), end.
    const std::vector<std::pair<int, int>> expected = {{0, 0}, {1, 0}, {1, 80}, {2, 100}};
    EXPECT_EQ(log.Calls, expected);
    // The reduction's bitmap became the frame's rendering.
    ASSERT_TRUE(FrameCaches(frame).Bitmap);
    EXPECT_EQ(FrameCaches(frame).Bitmap->PixelFormat(), pf8bit);
}

TEST(GIFImport, IndexedSourcesKeepTheirTablesAndIndices) {
    struct Case {
        TPixelFormat Format;
        int Width;
        std::vector<int> Indices;
    };
    const Case cases[] = {{pf8bit, 4, {5, 0, 255, 3}},
                          {pf4bit, 3, {0xA, 0x5, 0xC}},
                          {pf1bit, 10, {1, 0, 0, 0, 0, 0, 0, 0, 1, 1}}};
    for (const Case& c : cases) {
        TBitmap source(c.Width, 1, c.Format);
        std::vector<TPaletteEntry> entries;
        for (int i = 0; i < (1 << BitsPerPixelOf(c.Format)); ++i)
            entries.push_back(
                TPaletteEntry{static_cast<std::uint8_t>(i), 7, static_cast<std::uint8_t>(255 - i), 0});
        source.SetPalette(TPalette(entries));
        for (int x = 0; x < c.Width; ++x)
            source.SetIndex(x, 0, c.Indices[static_cast<std::size_t>(x)]);
        TGIFSubImage frame(nullptr);
        ImportFrame(frame, source);
        ASSERT_EQ(frame.ColorMap().Count(), static_cast<int>(entries.size())) << c.Format;
        EXPECT_EQ(frame.ColorMap().ColorAt(1), Rgb(1, 7, 254));
        for (int x = 0; x < c.Width; ++x)
            EXPECT_EQ(frame.PixelAt(x, 0), c.Indices[static_cast<std::size_t>(x)]) << c.Format;
        EXPECT_EQ(source.PixelFormat(), c.Format);
    }
}

TEST(GIFImport, WithoutReductionTheTableIsBuiltFromTheColoursMet) {
    TGIFPicture image;
    image.ReductionMethod = ReduceNone;
    TBitmap source(5, 2, pf24bit);
    const TColorRef a = MakeColorRef(1, 2, 3), b = MakeColorRef(200, 100, 50);
    for (int x = 0; x < 5; ++x) {
        source.SetPixel(x, 0, x % 2 ? b : a);
        source.SetPixel(x, 1, b);
    }
    AddImportedFrame(image, source);
    TGIFSubImage& frame = *image.Images().ItemAt(0);
    ASSERT_EQ(frame.ColorMap().Count(), 2);
    EXPECT_EQ(frame.ColorMap().ColorAt(0), Rgb(1, 2, 3)); // red, green, blue in table order
    EXPECT_EQ(frame.ColorMap().ColorAt(1), Rgb(200, 100, 50));
    EXPECT_EQ(frame.PixelAt(1, 0), 1);
    EXPECT_EQ(frame.PixelAt(4, 1), 1);
}

TEST(GIFImport, The257thColourOverflowsAndAddFrameKeepsNoFrame) {
    TGIFPicture image;
    image.ReductionMethod = ReduceNone;
    TProgressLog log;
    log.Attach(image);
    TBitmap source(257, 1, pf24bit);
    for (int x = 0; x < 257; ++x)
        source.SetPixel(x, 0, MakeColorRef(x & 0xFF, x >> 8, 9));
    try {
        AddImportedFrame(image, source);
        ADD_FAILURE();
    } catch (const EGIFException& e) {
        EXPECT_STREQ(e.what(), "Color table overflow");
    }
    EXPECT_EQ(image.Images().ItemCount(), 0);
    ASSERT_FALSE(log.Calls.empty());
    EXPECT_EQ(log.Calls.back(), std::make_pair(2, 0));
}

TEST(GIFImport, AReductionThatYieldsNothingFailsReadingItsRows) {
    TGIFPicture image;
    image.ReductionMethod = static_cast<TReductionMethod>(10);
    TBitmap source(2, 2, pf24bit);
    EXPECT_THROW(AddImportedFrame(image, source), std::runtime_error);
    EXPECT_EQ(image.Images().ItemCount(), 0);
}

TEST(GIFImport, TransparentSourceGetsAMaskedBlackEntry) {
    TGIFPicture image;
    image.ReductionMethod = ReduceNone;
    TBitmap source(3, 2, pf24bit);
    const TColorRef key = MakeColorRef(0, 255, 0);
    source.Fill(MakeColorRef(10, 10, 10));
    source.SetPixel(2, 1, MakeColorRef(90, 90, 90));
    source.SetPixel(0, 0, key);
    source.SetTransparent(true);
    source.SetTransparentColor(key);
    AddImportedFrame(image, source);
    TGIFSubImage& frame = *image.Images().ItemAt(0);
    // Sorted by use (the key's entry stays: it is used by the masked pixel until the mask applies).
    ASSERT_EQ(frame.ColorMap().Count(), 4);
    EXPECT_EQ(frame.ColorMap().ColorAt(0), Rgb(10, 10, 10));
    EXPECT_EQ(frame.ColorMap().ColorAt(3), 0u);
    ASSERT_NE(frame.GraphicControlExtension(), nullptr);
    EXPECT_TRUE(frame.Transparent());
    EXPECT_EQ(frame.GraphicControlExtension()->TransparentColorIndex(), 3);
    EXPECT_EQ(frame.PixelAt(0, 0), 3);
    EXPECT_NE(frame.PixelAt(1, 0), 3);
}

TEST(GIFImport, MaskCasesThatAddNoTransparency) {
    // A mask that masks nothing: no extension, the table as the sort left it (the two used
    // entries of the 216-colour cube the frame was reduced to), the black entry removed again.
    TGIFSubImage frame(nullptr);
    TBitmap source(3, 1, pf24bit);
    source.Fill(MakeColorRef(255, 255, 255));
    source.SetPixel(1, 0, MakeColorRef(0, 0, 0));
    ImportFrame(frame, source);
    ASSERT_EQ(frame.ColorMap().Count(), 256); // the cube, then black
    ApplyFrameMask(frame, TBitmap(3, 1, pf1bit));
    ASSERT_EQ(frame.ColorMap().Count(), 2);
    EXPECT_EQ(frame.ColorMap().ColorAt(0), Rgb(255, 255, 255));
    EXPECT_EQ(frame.PixelAt(0, 0), 0);
    EXPECT_EQ(frame.PixelAt(1, 0), 1);
    EXPECT_EQ(frame.Extensions().ItemCount(), 0);

    // A table of 256 used colours: no room for the transparent entry.
    TGIFPicture image;
    image.ReductionMethod = ReduceNone;
    TBitmap full(256, 1, pf24bit);
    for (int x = 0; x < 256; ++x)
        full.SetPixel(x, 0, MakeColorRef(x, 0, 0));
    full.SetTransparent(true);
    AddImportedFrame(image, full);
    EXPECT_EQ(image.Images().ItemAt(0)->ColorMap().Count(), 256);
    EXPECT_FALSE(image.Images().ItemAt(0)->Transparent());
}

TEST(GIFImport, IconsAndPictureContainers) {
    TBitmap color(2, 2, pf24bit);
    color.Fill(MakeColorRef(200, 0, 0));
    color.SetPixel(1, 1, 0);
    TBitmap mask(2, 2, pf1bit);
    mask.SetIndex(1, 1, 1);
    TGIFPicture image;
    image.ReductionMethod = ReduceNone;
    TPicture picture(std::make_unique<TIcon>(color, mask));
    TGIFSubImage& frame = *image.Images().ItemAt(AddImportedFrame(image, *picture.Graphic()));
    ASSERT_TRUE(frame.Transparent());
    const int t = frame.GraphicControlExtension()->TransparentColorIndex();
    EXPECT_EQ(frame.PixelAt(1, 1), t);
    EXPECT_NE(frame.PixelAt(0, 0), t);
    EXPECT_EQ(FrameColor(frame, 0, 0), Rgb(200, 0, 0));

    ImportFrame(frame, TPicture()); // a container holding nothing clears the frame
    EXPECT_TRUE(frame.Empty());
}
