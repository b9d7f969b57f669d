#include "ImageTransforms.h"
#include "ImageRotator.h"
#include "SurfaceTesting.h"
#include "SystemColors.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(ImageTransforms, BorderRingsOnABlackImage) {
    TSurface32 s = FilledSurface(40, 40, Black);
    DrawBorder(s);
    const uint32_t W = BorderWhite, D = BorderDark, G = BorderGrey;
    struct Case {
        int x, y;
        uint32_t color;
    } cases[] = {
        {0, 0, W},  {38, 0, W}, {0, 38, W},  {39, 0, D}, {0, 39, D},  {39, 39, D},   {1, 37, W},
        {37, 1, W}, {38, 1, D}, {1, 38, D},  {2, 2, G},  {37, 37, G}, {2, 37, G},    {3, 3, D},
        {35, 3, D}, {3, 35, D}, {36, 36, W}, {36, 3, W}, {3, 36, W},  {4, 4, Black}, {35, 35, Black},
    };
    for (const Case& c : cases)
        EXPECT_EQ(s.GetPixel(c.x, c.y), c.color) << c.x << "," << c.y;
    // Ring by ring: the outer two raised (white where x + y <= 38), ring 2 grey, ring 3 sunken.
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const int ring = std::min(std::min(x, y), std::min(39 - x, 39 - y));
            const bool lit = x + y <= 38;
            const uint32_t expected = ring <= 1   ? (lit ? W : D)
                                      : ring == 2 ? G
                                      : ring == 3 ? (lit ? D : W)
                                                  : Black;
            ASSERT_EQ(s.GetPixel(x, y), expected) << x << "," << y;
        }
}

TEST(ImageTransforms, ClearFillsTheWholeImage) {
    TSurface32 s = NumberedSurface(40, 40);
    ClearImage(s, 0xFFCCCCCC);
    EXPECT_EQ(PixelsOf(s, 0xFFCCCCCC).size(), 1600u);
}

namespace {

TSurface32 Preview(const TSurface32& picture, int angle, uint32_t fill) {
    TImageRotator rotator;
    rotator.SetFillColor(fill);
    rotator.SetPicture(picture);
    rotator.SetAngle(angle);
    TSurface32 preview(40, 40);
    ShowRotation(preview, rotator);
    return preview;
}

constexpr uint32_t Fill = 0xFFF0F0F0u;

} // namespace

TEST(ImageRotator, RightAnglesTurnExactly) {
    const TSurface32 s = NumberedSurface(40, 40);
    struct Case {
        int angle;
        int (*sx)(int x, int y);
        int (*sy)(int x, int y);
    } cases[] = {
        {0, [](int x, int) { return x; }, [](int, int y) { return y; }},
        {90, [](int, int y) { return 39 - y; }, [](int x, int) { return x; }},
        {180, [](int x, int) { return 39 - x; }, [](int, int y) { return 39 - y; }},
        {270, [](int, int y) { return y; }, [](int x, int) { return 39 - x; }},
        {-90, [](int, int y) { return y; }, [](int x, int) { return 39 - x; }},
        {450, [](int, int y) { return 39 - y; }, [](int x, int) { return x; }},
    };
    for (const Case& c : cases) {
        const TSurface32 p = Preview(s, c.angle, Fill);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(p.GetPixel(x, y), s.GetPixel(c.sx(x, y), c.sy(x, y)))
                    << c.angle << " at " << x << "," << y;
    }
    // The former top-right pixel ends top-left, the former top-left bottom-left.
    const TSurface32 p90 = Preview(s, 90, Fill);
    EXPECT_EQ(p90.GetPixel(0, 0), s.GetPixel(39, 0));
    EXPECT_EQ(p90.GetPixel(0, 39), s.GetPixel(0, 0));
}

TEST(ImageRotator, OtherAnglesSampleNearestAndFillTheCorners) {
    const TSurface32 s = NumberedSurface(40, 40);
    const TSurface32 p45 = Preview(s, 45, Fill);
    for (auto [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {39, 0}, {0, 39}, {39, 39}})
        EXPECT_EQ(p45.GetPixel(x, y), Fill) << x << "," << y;
    EXPECT_EQ(p45.GetPixel(20, 20), s.GetPixel(20, 20));

    // Every angle follows the nearest-neighbour rule around the centre (20, 20).
    for (int angle = 1; angle < 360; angle += 7) {
        const TSurface32 p = Preview(s, angle, Fill);
        const double t = angle * 3.14159265358979323846 / 180, c = std::cos(t), sn = std::sin(t);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const int dx = x - 20, dy = y - 20;
                const int sx = 20 - (c < 0) + int(std::nearbyint(c * dx - sn * dy));
                const int sy = 20 - (sn < 0) + int(std::nearbyint(sn * dx + c * dy));
                const bool inside = sx >= 0 && sx < 40 && sy >= 0 && sy < 40;
                ASSERT_EQ(p.GetPixel(x, y), inside ? s.GetPixel(sx, sy) : Fill)
                    << angle << " at " << x << "," << y;
            }
    }
}

TEST(ImageRotator, SizesAndTheButtonFaceFill) {
    TImageRotator r;
    r.SetPicture(NumberedSurface(40, 40));
    EXPECT_EQ(r.Rotated().Width(), 59); // round(√(42² + 42²))
    EXPECT_EQ(r.Rotated().Height(), 59);
    r.SetUniqueSize(false);
    r.SetAngle(90);
    EXPECT_EQ(r.Rotated().Width(), 40);
    r.SetAngle(45);
    EXPECT_EQ(r.Rotated().Width(), 57);

    TImageRotator wide;
    wide.SetUniqueSize(false);
    wide.SetPicture(NumberedSurface(10, 4));
    wide.SetAngle(90);
    EXPECT_EQ(wide.Rotated().Width(), 4);
    EXPECT_EQ(wide.Rotated().Height(), 10);

    // Without a fixed fill colour the face colour of the moment fills the corners.
    InstallSystemColors(nullptr);
    TImageRotator face;
    face.SetPicture(FilledSurface(40, 40, Black));
    face.SetAngle(30);
    TSurface32 preview(40, 40);
    ShowRotation(preview, face);
    EXPECT_EQ(preview.GetPixel(0, 0), 0xFFF0F0F0u);
}
