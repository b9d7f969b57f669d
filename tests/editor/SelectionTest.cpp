#include "Selection.h"
#include "SurfaceTesting.h"

#include <gtest/gtest.h>

namespace {
constexpr uint32_t Hole = 0xFFCCCCCCu;
const TRect Picture(0, 0, 40, 40);

bool Same(const TSurface32& a, const TSurface32& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           std::equal(a.Bits(), a.Bits() + a.Width() * a.Height(), b.Bits());
}
} // namespace

TEST(Selection, SelectKeepsToThePicture) {
    struct Case {
        TRect asked, selected;
    } cases[] = {
        {{2, 3, 14, 11}, {2, 3, 14, 11}},
        {{-5, -5, 3, 4}, {0, 0, 3, 4}},
        {{30, 35, 50, 60}, {30, 35, 40, 40}},
        {{41, 0, 45, 5}, {}}, // wholly off the picture: no selection
        {{5, 5, 5, 9}, {}},   // no width
    };
    for (const Case& c : cases) {
        TSelection s;
        s.Select(c.asked, Picture);
        EXPECT_EQ(s.Rect(), c.selected);
        EXPECT_EQ(s.Active(), !c.selected.IsEmpty());
    }
    EXPECT_EQ(SelectionSizeText(TRect(2, 3, 14, 11)), "12 \xC3\x97 8");
}

// Lifting leaves the hole in the background colour; moving the block never loses what lies under it
// or what hangs off the picture, and removing it gives the picture with the hole back.
TEST(Selection, LiftMoveAndRemove) {
    const TSurface32 original = NumberedSurface(40, 40);
    TSurface32 work = original;
    TSelection s;
    s.Select(TRect(10, 10, 14, 13), Picture);
    s.Lift(work, Hole);
    ASSERT_TRUE(s.Floating());
    EXPECT_TRUE(Same(work, original)); // lifted in place: the picture looks the same
    EXPECT_EQ(s.Base().GetPixel(11, 11), Hole);

    s.MoveTo(work, 12, 11); // overlapping its own hole
    EXPECT_EQ(work.GetPixel(12, 11), original.GetPixel(10, 10));
    EXPECT_EQ(work.GetPixel(15, 13), original.GetPixel(13, 12));
    EXPECT_EQ(work.GetPixel(10, 10), Hole);
    EXPECT_EQ(work.GetPixel(16, 11), original.GetPixel(16, 11)); // next to the block: untouched

    s.MoveTo(work, 38, -1); // mostly off the picture, then back
    EXPECT_EQ(work.GetPixel(38, 0), original.GetPixel(10, 11));
    EXPECT_EQ(work.GetPixel(14, 13), original.GetPixel(14, 13)); // what the block covered is back
    EXPECT_EQ(work.GetPixel(12, 11), Hole);
    s.MoveTo(work, 20, 20);
    EXPECT_EQ(work.GetPixel(23, 22), original.GetPixel(13, 12));
    EXPECT_TRUE(Same(s.Copy(work), s.Pixels()));

    s.RemoveBlock(work);
    EXPECT_FALSE(s.Floating());
    EXPECT_EQ(s.Rect(), TRect(20, 20, 24, 23));
    TSurface32 holed = original;
    holed.FillRect(10, 10, 14, 13, Hole);
    EXPECT_TRUE(Same(work, holed));
}

TEST(Selection, PastedBlockFloatsOverThePicture) {
    const TSurface32 original = NumberedSurface(40, 40);
    TSurface32 work = original;
    const TSurface32 block = FilledSurface(3, 2, 0xFF0000FFu);
    TSelection s;
    s.Select(TRect(5, 5, 9, 9), Picture);
    s.Float(work, block, 37, 39); // hangs off the right and bottom
    EXPECT_EQ(s.Rect(), TRect(37, 39, 40, 41));
    EXPECT_EQ(PixelsOf(work, 0xFF0000FFu), (TCellSet{{37, 39}, {38, 39}, {39, 39}}));
    s.MoveTo(work, 0, 0);
    EXPECT_EQ(PixelsOf(work, 0xFF0000FFu).size(), 6u);
    EXPECT_EQ(work.GetPixel(37, 39), original.GetPixel(37, 39));
    // Anchored copy of the cells under a selection.
    s.Anchor();
    s.Select(TRect(1, 1, 4, 3), Picture);
    const TSurface32 copy = s.Copy(work);
    EXPECT_EQ(copy.Width(), 3);
    EXPECT_EQ(copy.GetPixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(copy.GetPixel(2, 1), original.GetPixel(3, 2));

    EXPECT_EQ(PastePlace(16, 16), (TCell{12, 12}));
    EXPECT_EQ(PastePlace(31, 20), (TCell{4, 10}));
    EXPECT_EQ(PastePlace(33, 20), (TCell{0, 0}));
}

TEST(Selection, ShiftWrapsAround) {
    const TSurface32 original = NumberedSurface(40, 40);
    struct Case {
        int dx, dy;
    } cases[] = {{1, 0}, {0, -1}, {-3, 5}, {41, -80}, {0, 0}};
    for (const Case& c : cases) {
        TSurface32 out;
        ShiftWrapped(original, c.dx, c.dy, out);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const int sx = ((x - c.dx) % 40 + 40) % 40, sy = ((y - c.dy) % 40 + 40) % 40;
                ASSERT_EQ(out.GetPixel(x, y), original.GetPixel(sx, sy)) << c.dx << "," << c.dy;
            }
    }
}
