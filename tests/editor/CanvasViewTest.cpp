#include "CanvasView.h"
#include "SurfaceTesting.h"

#include <gtest/gtest.h>

TEST(CanvasView, ZoomAndPlacementInThePanel) {
    struct Case {
        int panelW, panelH, zoom;
        TRect bounds;
    } cases[] = {
        {325, 325, 8, {2, 2, 323, 323}},
        {500, 420, 10, {50, 10, 450, 410}},
        {200, 900, 8, {-60, 290, 261, 611}},
        {1000, 1000, 25, {0, 0, 1000, 1000}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CanvasZoom(c.panelW, c.panelH), c.zoom) << c.panelW << "x" << c.panelH;
        EXPECT_EQ(CanvasBounds(c.panelW, c.panelH), c.bounds) << c.panelW << "x" << c.panelH;
    }
}

TEST(CanvasView, CellsAndStatusTexts) {
    EXPECT_EQ(CanvasCellAt(320, 5, 8), (TCell{39, 0}));
    EXPECT_EQ(CanvasCellAt(0, 0, 8), (TCell{0, 0}));
    EXPECT_EQ(CanvasCellAt(15, 16, 8), (TCell{1, 2}));
    EXPECT_EQ(CanvasCellAt(-3, -9, 8), (TCell{0, -1})); // truncating towards zero
    EXPECT_EQ(CanvasCellAt(5000, 5000, 8), (TCell{39, 39}));
    EXPECT_EQ(PixelInfoText({39, 0}), "40,  1");
    EXPECT_EQ(PixelInfoText({0, 0}), " 1,  1");
    EXPECT_EQ(DropperInfoText({2, 9}, 0xFF102030), " 3, 10 (R: 16 G: 32 B: 48)");
    EXPECT_EQ(DragInfoText({0, 4}, {12, 39}), " 1,  5 -> 13, 40");
    EXPECT_TRUE(IsBorderCell({0, 20}));
    EXPECT_TRUE(IsBorderCell({36, 36}));
    EXPECT_FALSE(IsBorderCell({4, 35}));
    EXPECT_FALSE(IsBorderCell({-1, 0}));
}

namespace {
constexpr uint32_t Grid = 0xFFF0F0F0u, Cell = 0xFF112233u, Unpainted = 0x00000000u;

TSurface32 PaintedCanvas(bool grid, int outputSize) {
    TSurface32 work = FilledSurface(40, 40, Cell);
    work.SetPixel(1, 0, 0x7F445566); // alpha is copied as it is
    TSurface32 buffer(361, 361);
    TCanvasPaintOptions o;
    o.Zoom = 8;
    o.Grid = grid;
    o.OutputSize = outputSize;
    o.GridColor = Grid;
    PaintCanvasBuffer(buffer, work, o);
    return buffer;
}
} // namespace

TEST(CanvasView, PaintingCellsGridAndCrosses) {
    const TSurface32 plain = PaintedCanvas(false, 32);
    for (int x = 0; x < 320; ++x)
        ASSERT_EQ(plain.GetPixel(x, 100), Cell) << x;
    EXPECT_EQ(plain.GetPixel(8, 0), 0x7F445566u);
    EXPECT_EQ(plain.GetPixel(320, 0), Unpainted); // beyond the cells: left alone
    EXPECT_EQ(plain.GetPixel(2, 2), Cell);        // no crosses without the grid

    const TSurface32 grid = PaintedCanvas(true, 40);
    for (int x = 0; x <= 320; ++x) {
        const bool line = x % 8 == 0;
        ASSERT_EQ(grid.GetPixel(x, 100), line ? Grid : Cell) << x;
        ASSERT_EQ(grid.GetPixel(100, x), line ? Grid : Cell) << x;
    }
    EXPECT_EQ(grid.GetPixel(321, 3), Unpainted);
    EXPECT_EQ(grid.GetPixel(2, 2), Cell);

    const TSurface32 crossed = PaintedCanvas(true, 32);
    // Cell (0, 0): t = 8 div 3 = 2, from (2, 2) to (6, 6) and from (2, 6) to (6, 2).
    for (int i = 2; i <= 6; ++i) {
        EXPECT_EQ(crossed.GetPixel(i, i), Grid) << i;
        EXPECT_EQ(crossed.GetPixel(i, 8 - i), Grid) << i;
    }
    EXPECT_EQ(crossed.GetPixel(3, 2), Cell);
    // Cell (4, 4) has none, cell (39, 39) and cell (20, 37) have one.
    EXPECT_EQ(crossed.GetPixel(32 + 2, 32 + 2), Cell);
    EXPECT_EQ(crossed.GetPixel(39 * 8 + 2, 39 * 8 + 2), Grid);
    EXPECT_EQ(crossed.GetPixel(20 * 8 + 4, 37 * 8 + 4), Grid);
    EXPECT_EQ(crossed.GetPixel(20 * 8 + 4, 35 * 8 + 4), Cell);
}

// A drag beyond the canvas: strokes see the cell off the icon, line and shape ends stay on its edge.
TEST(CanvasView, CellsBeyondTheEdges) {
    struct Case {
        int x, y;
        TCell beyond, clamped;
    } cases[] = {
        {5, 9, {0, 1}, {0, 1}},        {-1, 9, {-1, 1}, {0, 1}},       {-8, -9, {-1, -2}, {0, 0}},
        {-17, 330, {-3, 41}, {0, 39}}, {320, 319, {40, 39}, {39, 39}}, {900, -400, {112, -50}, {39, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CanvasCellBeyond(c.x, c.y, 8), c.beyond) << c.x << "," << c.y;
        EXPECT_EQ(ClampToIcon(CanvasCellBeyond(c.x, c.y, 8)), c.clamped) << c.x << "," << c.y;
    }
}
