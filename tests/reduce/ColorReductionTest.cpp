#include <gtest/gtest.h>

#include <random>
#include <set>

#include "ColorReduction.h"

namespace {

TColorRef ResultColor(const TBitmap& b, int x, int y) {
    return b.Palette().ColorAt(b.Index(x, y));
}

} // namespace

TEST(ColorReduction, UpTo236ColoursComeBackExactThroughQuantizeAndFloydSteinberg) {
    // Random pictures of 1 to 236 distinct colours, including colours equal to the system ones.
    std::mt19937 rng(11);
    for (int round = 0; round < 12; ++round) {
        const int distinct = round == 0 ? 236 : 1 + static_cast<int>(rng() % 236);
        std::vector<TColorRef> colors;
        std::set<TColorRef> used;
        while (static_cast<int>(colors.size()) < distinct) {
            const TColorRef c = round == 1 && colors.size() < 20
                                    ? TPalette::Default().ColorAt(static_cast<int>(colors.size()))
                                    : static_cast<TColorRef>(rng() & 0xFFFFFF);
            if (used.insert(c).second) colors.push_back(c);
        }
        TBitmap src(40, 40, pfDevice);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                src.SetPixel(x, y, colors[rng() % colors.size()]);
        const TBitmap original = src;
        const auto out = ReduceToPalette(src, ReduceQuantizeSystem, DitherFloydSteinberg, nullptr, 8);
        ASSERT_EQ(out->PixelFormat(), pf8bit);
        ASSERT_EQ(out->Palette().Count(), 256);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(ResultColor(*out, x, y), original.Pixel(x, y)) << round;
        EXPECT_EQ(src.PixelFormat(), pf24bit); // converted in place
    }
}

TEST(ColorReduction, AFlatColourBetweenTwoEntriesDithersIntoExactlyThoseTwo) {
    const TPalette palette(std::vector<TPaletteEntry>{{0, 0, 0, 0},
                                                      {64, 64, 64, 0},
                                                      {128, 128, 128, 0},
                                                      {255, 0, 0, 0},
                                                      {0, 0, 255, 0},
                                                      {255, 255, 255, 0}});
    for (int method = DitherFloydSteinberg; method <= DitherBurkes; ++method) {
        TBitmap src(24, 16, pf24bit);
        src.Fill(MakeColorRef(100, 100, 100));
        const auto out = ReduceToPalette(src, ReduceCustomPalette, method, &palette, 8);
        int counts[256] = {};
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 24; ++x)
                ++counts[out->Index(x, y)];
        EXPECT_EQ(counts[1] + counts[2], 24 * 16) << method;
        // Mostly 128 (100 is 36 above 64 and 28 below 128): about 36/64 of the pixels.
        EXPECT_NEAR(static_cast<double>(counts[2]) / (24 * 16), 36.0 / 64, 0.06) << method;
    }
}

TEST(ColorReduction, MethodsChooseTheirPalettes) {
    struct Case {
        int Method;
        int Entries; // colours before the black padding of the 256-entry table
        TColorRef Entry1;
    };
    const Case cases[] = {
        {ReduceSystem20, 20, MakeColorRef(128, 0, 0)}, {ReduceHalftone, 256, MakeColorRef(128, 0, 0)},
        {ReduceGray4, 4, MakeColorRef(128, 128, 128)}, {ReduceMonochrome, 2, MakeColorRef(255, 255, 255)},
        {ReduceGray256, 256, MakeColorRef(1, 1, 1)},   {ReduceCube216, 216, MakeColorRef(0, 0, 51)}};
    for (const Case& c : cases) {
        TBitmap src(3, 2, pf24bit);
        src.Fill(MakeColorRef(200, 100, 50));
        const auto out = ReduceToPalette(src, c.Method, DitherNearest, nullptr, 8);
        ASSERT_EQ(out->Palette().Count(), 256) << c.Method;
        EXPECT_EQ(out->Palette().ColorAt(1), c.Entry1) << c.Method;
        if (c.Entries < 256) {
            EXPECT_EQ(out->Palette().ColorAt(c.Entries), 0u) << c.Method;
        }
    }
    TBitmap src(1, 1, pf24bit);
    src.SetPixel(0, 0, MakeColorRef(200, 100, 50));
    EXPECT_EQ(ReduceToPalette(src, ReduceCube216, DitherNearest, nullptr, 8)->Index(0, 0), 121);
}

TEST(ColorReduction, PlainQuantizeHonoursTheBitDepth) {
    TBitmap src(16, 16, pf24bit);
    for (int i = 0; i < 256; ++i)
        src.SetPixel(i % 16, i / 16, MakeColorRef(i, 255 - i, (i * 7) & 0xFF));
    for (int depth : {1, 3, 8, 12, 0}) {
        TBitmap copy = src;
        const auto out = ReduceToPalette(copy, ReduceQuantize, DitherNearest, nullptr, depth);
        std::set<int> indices;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                indices.insert(out->Index(x, y));
        const int limit = 1 << std::min(std::max(depth, 1), 8);
        EXPECT_LE(static_cast<int>(indices.size()), limit) << depth;
        EXPECT_LT(*indices.rbegin(), limit) << depth;
    }
}

TEST(ColorReduction, NoneGivesA24BitCopyAndBadMethodsAnEmptyBitmap) {
    TBitmap src(2, 2, pf8bit);
    src.SetIndex(1, 1, 13); // halftone entry 13
    auto none = ReduceToPalette(src, ReduceNone, DitherNearest, nullptr, 8);
    EXPECT_EQ(none->PixelFormat(), pf24bit);
    EXPECT_EQ(none->Pixel(1, 1), src.Pixel(1, 1));
    EXPECT_EQ(src.PixelFormat(), pf8bit);

    TBitmap a(2, 2, pf24bit);
    EXPECT_TRUE(ReduceToPalette(a, 10, DitherNearest, nullptr, 8)->Empty());
    EXPECT_TRUE(ReduceToPalette(a, -1, DitherNearest, nullptr, 8)->Empty());
    EXPECT_TRUE(ReduceToPalette(a, ReduceCube216, 7, nullptr, 8)->Empty());
    EXPECT_TRUE(ReduceToPalette(a, ReduceCustomPalette, DitherNearest, nullptr, 8)->Empty());
    const TPalette none0;
    EXPECT_TRUE(ReduceToPalette(a, ReduceCustomPalette, DitherNearest, &none0, 8)->Empty());
}
