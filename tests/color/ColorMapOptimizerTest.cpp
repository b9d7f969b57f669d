#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "ColorMapOptimizer.h"
#include "FrameFixtures.h"
#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"

namespace {

// A w x 1 frame with a local table and the given pixel indices.
TGIFSubImage& AddFrame(TGIFPicture& image, const std::vector<TGIFColor>& table,
                       const std::vector<int>& pixels, int transparent = -1) {
    return AppendTestFrame(
        image, 0, 0, static_cast<int>(pixels.size()), 1, table,
        [&](int x, int) { return pixels[static_cast<std::size_t>(x)]; }, transparent);
}

std::vector<TGIFColor> Colors(TGIFSubImage& frame) {
    std::vector<TGIFColor> out;
    for (int x = 0; x < frame.Width(); ++x)
        out.push_back(frame.ActiveColorTable().ColorAt(frame.PixelAt(x, 0)));
    return out;
}

std::vector<TGIFColor> Table(const TGIFColorMap& table) {
    std::vector<TGIFColor> out;
    for (int i = 0; i < table.Count(); ++i)
        out.push_back(table.ColorAt(i));
    return out;
}

} // namespace

TEST(ColorMapOptimizer, ThreeUsedColoursOfALocalTableBecomeTheGlobalTableMostUsedFirst) {
    TGIFPicture image;
    std::vector<TGIFColor> table(256, Rgb(1, 1, 1));
    table[7] = Rgb(70, 0, 0);
    table[9] = Rgb(0, 90, 0);
    table[200] = Rgb(0, 0, 200);
    TGIFSubImage& frame = AddFrame(image, table, {9, 200, 200, 7, 200, 9});
    const auto before = Colors(frame);
    OptimizeColorMaps(image);
    EXPECT_EQ(frame.ColorMap().Count(), 0);
    EXPECT_EQ(Table(image.GlobalColorMap()),
              (std::vector<TGIFColor>{Rgb(0, 0, 200), Rgb(0, 90, 0), Rgb(70, 0, 0)}));
    EXPECT_TRUE(image.GlobalColorMap().Sorted());
    EXPECT_EQ(Colors(frame), before);
}

TEST(ColorMapOptimizer, EqualColoursOfTwoTablesMergeWithSummedCounts) {
    TGIFPicture image;
    image.GlobalColorMap().AppendColor(Rgb(5, 5, 5));
    image.GlobalColorMap().AppendColor(Rgb(9, 9, 9));
    auto plainOwned = std::make_unique<TGIFSubImage>(&image); // uses the global table
    auto* plain = plainOwned.get();
    plain->SetFrameBounds(0, 0, 3, 1);
    plain->RowAt(0)[0] = plain->RowAt(0)[1] = 1;
    image.AddFrame(std::move(plainOwned));
    TGIFSubImage& local = AddFrame(image, {Rgb(3, 3, 3), Rgb(9, 9, 9)}, {1, 1, 0, 0, 0});
    const auto plainBefore = Colors(*plain), localBefore = Colors(local);
    OptimizeColorMaps(image);
    // (9,9,9): 2 + 2 = 4 uses; (3,3,3): 3; (5,5,5): 1.
    EXPECT_EQ(Table(image.GlobalColorMap()),
              (std::vector<TGIFColor>{Rgb(9, 9, 9), Rgb(3, 3, 3), Rgb(5, 5, 5)}));
    EXPECT_EQ(Colors(*plain), plainBefore);
    EXPECT_EQ(Colors(local), localBefore);
    EXPECT_EQ(plain->PixelAt(0, 0), local.PixelAt(0, 0));
}

// More colours than one table holds: no pixel changes colour. The 256 most used make the global
// table; a frame with a colour beyond them keeps a table of its own.
TEST(ColorMapOptimizer, ColoursBeyond256StayWithTheirFrames) {
    // 300 distinct colours over two frames: 0..255 used twice, the other 44 (all in frame 1) once.
    TGIFPicture image;
    for (int f = 0; f < 2; ++f) {
        std::vector<TGIFColor> table;
        std::vector<int> pixels;
        for (int i = 0; i < 150; ++i) {
            const int id = f * 150 + i;
            table.push_back(Rgb(id % 256, id / 256 * 100, 3));
            pixels.push_back(i);
            if (id < 256) pixels.push_back(i);
        }
        AddFrame(image, table, pixels);
    }
    std::vector<std::vector<TGIFColor>> before;
    for (int f = 0; f < 2; ++f)
        before.push_back(Colors(*image.Images().ItemAt(f)));
    OptimizeColorMaps(image);
    ASSERT_EQ(image.GlobalColorMap().Count(), 256);
    for (int f = 0; f < 2; ++f)
        EXPECT_EQ(Colors(*image.Images().ItemAt(f)), before[static_cast<std::size_t>(f)]) << "frame " << f;
    EXPECT_EQ(image.Images().ItemAt(0)->ColorMap().Count(), 0);   // all its colours are global
    EXPECT_EQ(image.Images().ItemAt(1)->ColorMap().Count(), 150); // the table it had
}

TEST(ColorMapOptimizer, TransparencyCases) {
    // Frame 0: transparent index 2 used only by transparent pixels; frame 1: transparent index
    // that no pixel carries.
    TGIFPicture image;
    TGIFSubImage& used = AddFrame(image, {Rgb(10, 0, 0), Rgb(20, 0, 0), Rgb(30, 0, 0)}, {0, 2, 1, 0}, 2);
    TGIFSubImage& unused = AddFrame(image, {Rgb(10, 0, 0), Rgb(40, 0, 0)}, {0, 0}, 1);
    OptimizeColorMaps(image);
    const auto table = Table(image.GlobalColorMap());
    // (10,0,0) x4, (20,0,0) x1, then black for the transparent pixels; (30,0,0) is gone.
    EXPECT_EQ(table, (std::vector<TGIFColor>{Rgb(10, 0, 0), Rgb(20, 0, 0), 0u}));
    ASSERT_TRUE(used.Transparent());
    EXPECT_EQ(used.GraphicControlExtension()->TransparentColorIndex(), 2);
    EXPECT_EQ(used.PixelAt(1, 0), 2);
    EXPECT_EQ(used.PixelAt(2, 0), 1);
    EXPECT_FALSE(unused.Transparent());
    EXPECT_EQ(unused.GraphicControlExtension()->TransparentColorIndex(), 0);
}

TEST(ColorMapOptimizer, NothingCountedLeavesTheTables) {
    TGIFPicture image;
    TGIFSubImage& frame = AddFrame(image, {Rgb(1, 2, 3), Rgb(4, 5, 6)}, {1, 1}, 1);
    EXPECT_NO_THROW(OptimizeColorMaps(image));
    EXPECT_EQ(frame.ColorMap().Count(), 2);
    EXPECT_EQ(image.GlobalColorMap().Count(), 0);
    TGIFPicture empty;
    EXPECT_NO_THROW(OptimizeColorMaps(empty));
}

TEST(ColorMapOptimizer, PixelsOutsideTheirTableBecomeEntryZeroWithAWarning) {
    TGIFPicture image;
    std::vector<std::string> warnings;
    image.OnCodecWarning = [&](const TGIFObject*, int, const std::string& text) { warnings.push_back(text); };
    TGIFSubImage& frame = AddFrame(image, {Rgb(1, 1, 1), Rgb(2, 2, 2)}, {1, 5});
    OptimizeColorMaps(image);
    ASSERT_FALSE(warnings.empty());
    EXPECT_EQ(warnings[0], "Color not in color table");
    EXPECT_EQ(Colors(frame), (std::vector<TGIFColor>{Rgb(2, 2, 2), Rgb(1, 1, 1)}));
}

TEST(ColorMapOptimizer, SameInputGivesTheSameTable) {
    // Equal counts everywhere: the order follows the tables and their indices, every time.
    auto run = [] {
        TGIFPicture image;
        AddFrame(image, {Rgb(9, 0, 0), Rgb(1, 0, 0), Rgb(5, 0, 0)}, {0, 1, 2});
        AddFrame(image, {Rgb(7, 0, 0), Rgb(3, 0, 0)}, {1, 0});
        OptimizeColorMaps(image);
        return Table(image.GlobalColorMap());
    };
    const auto first = run();
    EXPECT_EQ(first,
              (std::vector<TGIFColor>{Rgb(9, 0, 0), Rgb(1, 0, 0), Rgb(5, 0, 0), Rgb(7, 0, 0), Rgb(3, 0, 0)}));
    EXPECT_EQ(run(), first);
}
