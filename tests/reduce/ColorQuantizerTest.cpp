#include <gtest/gtest.h>

#include <set>

#include "ColorQuantizer.h"
#include "ColorReduction.h"

namespace {

TBitmap RowOf(const std::vector<TColorRef>& colors) {
    TBitmap b(static_cast<int>(colors.size()), 1, pf24bit);
    for (std::size_t i = 0; i < colors.size(); ++i)
        b.SetPixel(static_cast<int>(i), 0, colors[i]);
    return b;
}

// Octree order: the interleaved bits of red, green and blue from the most significant bit.
std::uint32_t OctreeKey(const TPaletteEntry& e) {
    std::uint32_t key = 0;
    for (int bit = 7; bit >= 0; --bit)
        key = (key << 3) | (((e.Red >> bit) & 1u) << 2) | (((e.Green >> bit) & 1u) << 1) |
              ((e.Blue >> bit) & 1u);
    return key;
}

// 235 colours, each under its own level-7 node and apart from (10, 20, 30).
std::vector<TColorRef> DistinctColours() {
    std::vector<TColorRef> colors;
    for (int i = 0; i < 235; ++i)
        colors.push_back(MakeColorRef((2 * i) & 0xFF, 2 * (i >> 7), 0));
    return colors;
}

} // namespace

TEST(ColorQuantizer, SystemColoursFrameTheOctreeColours) {
    TBitmap one = RowOf({MakeColorRef(12, 34, 56)});
    const TPalette p = BuildQuantizedPalette(one, 256, 8, true);
    ASSERT_EQ(p.Count(), 256);
    const TPalette& system = TPalette::Default();
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(p.ColorAt(i), system.ColorAt(i));
    for (int i = 10; i < 20; ++i)
        EXPECT_EQ(p.ColorAt(236 + i), system.ColorAt(i));
    EXPECT_EQ(p.ColorAt(10), MakeColorRef(12, 34, 56));
    for (int i = 11; i < 246; ++i)
        ASSERT_EQ(p.ColorAt(i), 0u) << i;
    EXPECT_EQ(one.PixelFormat(), pf24bit); // the source was converted in place
}

TEST(ColorQuantizer, ExactColoursComeOutInOctreeOrder) {
    std::vector<TColorRef> colors = DistinctColours();
    colors.push_back(MakeColorRef(10, 20, 30));
    TBitmap b = RowOf(colors);
    const TPalette p = BuildQuantizedPalette(b, 256, 8, true);
    std::set<TColorRef> expected(colors.begin(), colors.end()), got;
    for (int i = 10; i < 246; ++i)
        got.insert(p.ColorAt(i));
    EXPECT_EQ(got, expected);
    for (int i = 11; i < 246; ++i)
        EXPECT_LT(OctreeKey(p.Entry(i - 1)), OctreeKey(p.Entry(i))) << i;
}

TEST(ColorQuantizer, The237thColourMergesTheNewestDeepestNode) {
    // (10,20,31) lands under the level-7 node made for (10,20,30), the newest one: that node is
    // merged into their pixel-weighted average (30 + 3 * 31) / 4 = 30 (rounded down).
    std::vector<TColorRef> colors = DistinctColours();
    colors.push_back(MakeColorRef(10, 20, 30));
    for (int i = 0; i < 3; ++i)
        colors.push_back(MakeColorRef(10, 20, 31));
    TColorQuantizer q(236, 8);
    TBitmap b = RowOf(colors);
    q.ProcessImage(b);
    EXPECT_EQ(q.TerminalCount(), 236);
    const auto quads = q.Colors();
    ASSERT_EQ(quads.size(), 236u);
    int found = 0;
    for (const TRGBQuad& c : quads) {
        EXPECT_FALSE(c.Red == 10 && c.Green == 20 && c.Blue == 31);
        if (c.Red == 10 && c.Green == 20 && c.Blue == 30) ++found;
    }
    EXPECT_EQ(found, 1);
}

TEST(ColorQuantizer, SingleChildMergesLowerNothingAndTheLoopGoesOn) {
    // Three colours under three different level-7 nodes with limit 2: merging the newest level-7
    // node (one child) changes nothing, so merging continues until a node with two children folds.
    TColorQuantizer q(2, 8);
    q.AddColor(0, 0, 0);
    q.AddColor(0, 0, 2);
    q.AddColor(0, 0, 4);
    EXPECT_LE(q.TerminalCount(), 2);
    const auto quads = q.Colors();
    ASSERT_EQ(quads.size(), static_cast<std::size_t>(q.TerminalCount()));
    // With limit 1 everything folds into the root: the average of all pixels.
    TColorQuantizer all(1, 8);
    for (int v : {0, 100, 200})
        all.AddColor(v, v, 0);
    const auto one = all.Colors();
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].Red, 100);
    EXPECT_EQ(one[0].Blue, 0);
}
