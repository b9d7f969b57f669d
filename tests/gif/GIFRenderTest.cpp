#include <gtest/gtest.h>

#include <memory>

#include "Canvas.h"
#include "FrameFixtures.h"
#include "GIFException.h"
#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFRender.h"
#include "GIFSubImage.h"

namespace {

// A frame with a local table of `colors`, pixel (x, y) = (x + y) % colors.
TGIFSubImage& AddFrame(TGIFPicture& image, int left, int top, int w, int h, std::vector<TGIFColor> colors,
                       int transparent = -1) {
    const int n = static_cast<int>(colors.size());
    return AppendTestFrame(
        image, left, top, w, h, colors, [n](int x, int y) { return (x + y) % n; }, transparent);
}

const TColorRef Red = MakeColorRef(255, 0, 0);

// The bounding box of the target's pixels that are not `background`.
TRect Painted(const TBitmap& target, TColorRef background) {
    TRect r(target.Width(), target.Height(), 0, 0);
    for (int y = 0; y < target.Height(); ++y)
        for (int x = 0; x < target.Width(); ++x)
            if (target.Pixel(x, y) != background)
                r = TRect(std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1),
                          std::max(r.Bottom, y + 1));
    return r;
}

} // namespace

TEST(GIFRender, PlainRenderingCopiesIndicesAndTheActiveTable) {
    TGIFPicture image;
    TGIFSubImage& frame = AddFrame(image, 0, 0, 5, 3, {Rgb(1, 2, 3), Rgb(40, 50, 60), Rgb(255, 0, 128)});
    const auto bitmap = RenderFrame(frame);
    ASSERT_TRUE(bitmap);
    ASSERT_EQ(bitmap->PixelFormat(), pf8bit);
    ASSERT_EQ(bitmap->Palette().Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(bitmap->Palette().ColorAt(i), frame.ColorMap().ColorAt(i));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(bitmap->Index(x, y), frame.PixelAt(x, y));
    EXPECT_EQ(RenderFrame(frame), bitmap); // cached
    EXPECT_FALSE(FrameHasMask(frame));
    // Changing an entry drops the rendering; the next query renders anew.
    frame.ColorMap().SetColorAt(1, Rgb(9, 9, 9));
    const auto again = RenderFrame(frame);
    EXPECT_NE(again, bitmap);
    EXPECT_EQ(again->Palette().ColorAt(1), Rgb(9, 9, 9));
}

TEST(GIFRender, EmptyFrameRendersAndDrawsNothing) {
    TGIFPicture image;
    TGIFSubImage frame(&image);
    EXPECT_EQ(RenderFrame(frame), nullptr);
    TBitmap target(4, 4, pf24bit);
    target.Fill(Red);
    TCanvas canvas(target);
    DrawFrame(frame, canvas, TRect(0, 0, 4, 4), false, true);
    EXPECT_EQ(Painted(target, Red), TRect(4, 4, 0, 0));
}

TEST(GIFRender, TransparentPixelsLeaveTheCanvasThroughTheMask) {
    TGIFPicture image;
    TGIFSubImage& frame = AddFrame(image, 0, 0, 4, 4, {Rgb(0, 0, 255), Rgb(0, 255, 0)}, 1);
    ASSERT_TRUE(FrameHasMask(frame));
    EXPECT_EQ(FrameCaches(frame).Mask->Index(1, 0), 1);
    EXPECT_EQ(FrameCaches(frame).Mask->Index(0, 0), 0);
    TBitmap target(4, 4, pf24bit);
    target.Fill(Red);
    TCanvas canvas(target);
    DrawFrame(frame, canvas, TRect(0, 0, 4, 4), false, true);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(target.Pixel(x, y), (x + y) % 2 ? Red : MakeColorRef(0, 0, 255)) << x << "," << y;
    // Without transparency the whole frame covers the canvas.
    DrawFrame(frame, canvas, TRect(0, 0, 4, 4), false, false);
    EXPECT_EQ(target.Pixel(1, 0), MakeColorRef(0, 255, 0));
}

TEST(GIFRender, TransparentIndexNoPixelCarriesGivesNoMask) {
    TGIFPicture image;
    TGIFSubImage& frame = AddFrame(image, 0, 0, 2, 2, {Rgb(1, 1, 1)}, 0);
    frame.RowAt(0)[0] = 0;
    TGIFSubImage& other = AddFrame(image, 0, 0, 2, 2, {Rgb(1, 1, 1), Rgb(2, 2, 2), Rgb(3, 3, 3)}, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            other.RowAt(y)[x] = 1;
    EXPECT_TRUE(FrameHasMask(frame));
    EXPECT_FALSE(FrameHasMask(other));
}

TEST(GIFRender, DrawFrameScalesTheScreenIntoTheRectangle) {
    struct Case {
        int Left, Top, Size;
        TRect Expected;
    };
    for (const Case& c : {Case{0, 0, 32, TRect(4, 4, 36, 36)}, Case{8, 8, 10, TRect(12, 12, 22, 22)}}) {
        TGIFPicture image;
        image.Header().SetWidth(32);
        image.Header().SetHeight(32);
        TGIFSubImage& frame = AddFrame(image, c.Left, c.Top, c.Size, c.Size, {Rgb(7, 7, 7)});
        ASSERT_EQ(image.Width(), 32);
        TBitmap target(40, 40, pf24bit);
        target.Fill(Red);
        TCanvas canvas(target);
        DrawFrame(frame, canvas, TRect(4, 4, 36, 36), false, false);
        EXPECT_EQ(Painted(target, Red), c.Expected) << c.Left;
    }
    // Scaling up: a 2 x 2 frame at (1, 1) of a 4 x 4 screen drawn into 12 x 12 covers (3,3)-(9,9).
    TGIFPicture image;
    image.Header().SetWidth(4);
    image.Header().SetHeight(4);
    TGIFSubImage& frame = AddFrame(image, 1, 1, 2, 2, {Rgb(7, 7, 7)});
    TBitmap target(12, 12, pf24bit);
    target.Fill(Red);
    TCanvas canvas(target);
    DrawFrame(frame, canvas, TRect(0, 0, 12, 12), false, false);
    EXPECT_EQ(Painted(target, Red), TRect(3, 3, 9, 9));
}

TEST(GIFRender, TilingRepeatsTheFrameOneScreenApartInsideTheRectangle) {
    TGIFPicture image;
    image.Header().SetWidth(4);
    image.Header().SetHeight(4);
    AddFrame(image, 1, 1, 1, 1, {Rgb(7, 7, 7)});
    TBitmap target(12, 12, pf24bit);
    target.Fill(Red);
    TCanvas canvas(target);
    DrawFrame(*image.Images().ItemAt(0), canvas, TRect(0, 0, 10, 12), true, false);
    int painted = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            if (target.Pixel(x, y) != Red) {
                ++painted;
                EXPECT_EQ(x % 4, 1);
                EXPECT_EQ(y % 4, 1);
                EXPECT_LT(x, 10);
            }
    EXPECT_EQ(painted, 9); // columns 1, 5, 9 and rows 1, 5, 9

    // A rectangle far larger than the canvas costs only the visible tiles.
    target.Fill(Red);
    DrawFrame(*image.Images().ItemAt(0), canvas, TRect(-1000001, -1000001, 1000000, 1000000), true, false);
    // Tiles start at -1000001 + 1 and repeat every 4 pixels: 0, 4, 8 on the canvas.
    EXPECT_NE(target.Pixel(0, 0), Red);
    EXPECT_NE(target.Pixel(8, 4), Red);
    EXPECT_EQ(target.Pixel(1, 1), Red);
}

TEST(GIFRender, PalettesAndTheMissingColourTable) {
    TGIFPicture image;
    TGIFSubImage& frame = AddFrame(image, 0, 0, 2, 2, {Rgb(1, 2, 3), Rgb(4, 5, 6)});
    const auto palette = FramePalette(frame);
    ASSERT_TRUE(palette);
    EXPECT_EQ(palette->Count(), 2);
    EXPECT_EQ(FramePalette(frame), palette);
    // The picture has no global table: its palette is the first frame's.
    EXPECT_EQ(PicturePalette(image)->ColorAt(1), Rgb(4, 5, 6));

    TGIFPicture bare;
    auto loneOwned = std::make_unique<TGIFSubImage>(&bare);
    auto* lone = loneOwned.get();
    lone->SetFrameBounds(0, 0, 2, 2);
    bare.AddFrame(std::move(loneOwned));
    try {
        PicturePalette(bare);
        ADD_FAILURE();
    } catch (const EGIFException& e) {
        EXPECT_STREQ(e.what(), "No global or local color table defined");
    }
    EXPECT_FALSE(PictureCaches(bare).InsidePaletteQuery); // cleared on the way out
}

TEST(GIFRender, CompositeShowsOnlyTheFirstFrameAtItsOffset) {
    TGIFPicture image;
    image.Header().SetWidth(6);
    image.Header().SetHeight(6);
    image.GlobalColorMap().AppendColor(Rgb(0, 0, 0));
    image.GlobalColorMap().AppendColor(Rgb(250, 250, 250));
    TGIFSubImage& first = AddFrame(image, 2, 3, 2, 2, {Rgb(0, 0, 0), Rgb(250, 250, 250)});
    for (int y = 0; y < 2; ++y)
        first.RowAt(y)[0] = first.RowAt(y)[1] = 1;
    AddFrame(image, 0, 0, 6, 6, {Rgb(9, 9, 9)});
    const auto composite = RenderPicture(image);
    ASSERT_TRUE(composite);
    EXPECT_EQ(composite->Width(), 6);
    EXPECT_EQ(Painted(*composite, 0), TRect(2, 3, 4, 5));
    TBitmap copy;
    CopyPictureToBitmap(image, copy);
    EXPECT_EQ(copy.Pixel(2, 3), Rgb(250, 250, 250));
}

TEST(GIFRender, DitheredRenderingUsesTheCubeAndStepsOverTransparentPixels) {
    TGIFPicture image;
    image.PaintFlags = static_cast<std::uint16_t>((image.PaintFlags | pfDither) & ~pfDitherOnPaletteOnly);
    TGIFSubImage& frame = AddFrame(image, 0, 0, 6, 2, {Rgb(100, 100, 100), Rgb(255, 255, 255)}, 1);
    const auto bitmap = RenderFrame(frame);
    ASSERT_EQ(bitmap->Palette().Count(), 216);
    ASSERT_TRUE(FrameCaches(frame).Mask);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool transparent = (x + y) % 2 == 1;
            EXPECT_EQ(FrameCaches(frame).Mask->Index(x, y), transparent ? 1 : 0);
            if (transparent)
                EXPECT_EQ(bitmap->Index(x, y), 215); // white in the cube
            else
                EXPECT_TRUE(bitmap->Index(x, y) == 43 || bitmap->Index(x, y) == 86)
                    << bitmap->Index(x, y); // grey 51 or 102
        }
}

TEST(GIFRender, AFailedRenderingLeavesNoBitmapAndTriesTheMaskAgain) {
    TGIFPicture image;
    TGIFSubImage& frame = AddFrame(image, 0, 0, 4, 4, {Rgb(0, 0, 255), Rgb(0, 255, 0)}, 1);
    bool fail = true;
    image.OnProgress = [&](const TGIFObject*, int stage, int, const std::string&) {
        if (stage == 1 && fail) throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(RenderFrame(frame), std::runtime_error);
    EXPECT_FALSE(FrameCaches(frame).Bitmap);
    fail = false;
    EXPECT_TRUE(FrameHasMask(frame));
    EXPECT_TRUE(FrameCaches(frame).Bitmap);
}
