#include <gtest/gtest.h>

#include "Palette.h"

TEST(Palette, NearestIndexUsesSquaredDistanceAndLowestIndexOnTie) {
    // (10,0,0) and (0,10,0) are equally far from (5,5,0): the lower index wins, also when the
    // equal entry comes first in a duplicate.
    TPalette p(std::vector<TPaletteEntry>{{200, 200, 200, 0}, {10, 0, 0, 0}, {0, 10, 0, 0}, {10, 0, 0, 0}});
    EXPECT_EQ(p.NearestIndex(5, 5, 0), 1);
    EXPECT_EQ(p.NearestIndex(10, 0, 0), 1);
    EXPECT_EQ(p.NearestIndex(0, 9, 0), 2);
    // Squared, not absolute distance: (0,0,12) is 144 from black and 49+49+49 = 147 from (7,7,19).
    TPalette q(std::vector<TPaletteEntry>{{0, 0, 0, 0}, {7, 7, 19, 0}});
    EXPECT_EQ(q.NearestIndex(0, 0, 12), 0); // 144 < 147
    EXPECT_EQ(q.NearestIndex(0, 0, 13), 1); // 169 against 49+49+36 = 134
    EXPECT_EQ(TPalette().NearestIndex(1, 2, 3), -1);
}

TEST(Palette, StandardPalettes) {
    const TPalette& d = TPalette::Default();
    ASSERT_EQ(d.Count(), 20);
    EXPECT_EQ(d.ColorAt(0), MakeColorRef(0, 0, 0));
    EXPECT_EQ(d.ColorAt(8), MakeColorRef(192, 220, 192));
    EXPECT_EQ(d.ColorAt(9), MakeColorRef(166, 202, 240));
    EXPECT_EQ(d.ColorAt(10), MakeColorRef(255, 251, 240));
    EXPECT_EQ(d.ColorAt(11), MakeColorRef(160, 160, 164));
    EXPECT_EQ(d.ColorAt(19), MakeColorRef(255, 255, 255));

    const TPalette& h = TPalette::Halftone();
    ASSERT_EQ(h.Count(), 256);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(h.ColorAt(i), d.ColorAt(i));
    for (int i = 10; i < 20; ++i)
        EXPECT_EQ(h.ColorAt(236 + i), d.ColorAt(i));
    EXPECT_EQ(TPalette::Vga16().Count(), 16);
    EXPECT_EQ(TPalette::Monochrome().Count(), 2);
}

TEST(Palette, QuadsRoundTripAndCountIsCapped) {
    TPalette p(std::vector<TPaletteEntry>{{1, 2, 3, 0}, {250, 128, 7, 0}});
    const auto quads = p.ToQuads();
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(quads[1].Blue, 7);
    EXPECT_EQ(quads[1].Red, 250);
    EXPECT_EQ(TPalette::FromQuads(quads.data(), 2), p);
    EXPECT_EQ(TPalette(1000).Count(), 256);
    EXPECT_EQ(TPalette(-3).Count(), 0);
}
