// Reducing the colours of a frame: the count is kept, exact pictures stay exact, the area is respected.

#include "ColorReducer.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::set<uint32_t> ColorsIn(const TSurface32& s, const TRect& r) {
    std::set<uint32_t> colors;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            colors.insert(s.GetPixel(x, y));
    return colors;
}

// A 40 × 40 gradient of 1600 distinct colours.
TSurface32 Gradient() {
    TSurface32 s(40, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            s.SetPixel(x, y,
                       0xFF000000u | uint32_t(x * 6) << 16 | uint32_t(y * 6) << 8 | uint32_t((x + y) * 3));
    return s;
}

} // namespace

// For every ditherer and several targets: at most that many colours, all opaque.
TEST(ColorReducer, KeepsTheColorLimitWithEveryDitherer) {
    const TRect whole(0, 0, 40, 40);
    for (int dither = 0; dither < DitherMethodCount; ++dither)
        for (int colors : {2, 3, 16, 256}) {
            TSurface32 s = Gradient();
            ReduceColors(s, whole, colors, dither);
            const std::set<uint32_t> found = ColorsIn(s, whole);
            EXPECT_LE(found.size(), size_t(colors)) << dither << " " << colors;
            if (colors == 256) {
                EXPECT_GT(found.size(), 16u) << dither; // not collapsed to a few colours
            }
            for (uint32_t c : found)
                EXPECT_EQ(c >> 24, 0xFFu);
        }
}

// A picture within the limit is left exactly as it is (no ditherer moves a pixel); pixels outside the
// area never change; an out-of-range count or ditherer is clamped, not refused.
TEST(ColorReducer, ExactPicturesAndTheAreaStay) {
    TSurface32 two(4, 4);
    two.FillAll(0xFFCCCCCCu);
    two.SetPixel(1, 2, 0xFF102030u);
    const TSurface32 before = two;
    ReduceColors(two, TRect(0, 0, 4, 4), 2, 1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(two.GetPixel(x, y), before.GetPixel(x, y));

    TSurface32 s = Gradient();
    const TSurface32 original = s;
    const TRect inner(4, 4, 36, 36);
    ReduceColors(s, inner, 1, 99); // clamped to 2 colours, nearest colour
    EXPECT_LE(ColorsIn(s, inner).size(), 2u);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (!inner.Contains(x, y)) {
                EXPECT_EQ(s.GetPixel(x, y), original.GetPixel(x, y)) << x << "," << y;
            }
}
