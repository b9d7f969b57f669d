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

TEST(CanvasView, ZoomStepsLimitsAndAnchor) {
    struct Case {
        int zoom, in, out;
    } steps[] = {{1, 2, 1}, {6, 8, 5}, {8, 10, 6}, {17, 20, 16}, {36, 40, 32}, {40, 40, 36}};
    for (const Case& c : steps) {
        EXPECT_EQ(ZoomInStep(c.zoom), c.in) << c.zoom;
        EXPECT_EQ(ZoomOutStep(c.zoom), c.out) << c.zoom;
    }
    EXPECT_EQ(ClampZoom(0), 1);
    EXPECT_EQ(ClampZoom(-5), 1);
    EXPECT_EQ(ClampZoom(41), 40);
    // A position keeps its cell and its place in the cell: 13 at zoom 8 is cell 1, 5/8 in.
    struct Position {
        int position, from, to, expected;
    } positions[] = {{13, 8, 16, 26}, {13, 8, 4, 6}, {0, 8, 40, 0}, {319, 8, 40, 1595}, {399, 10, 1, 39}};
    for (const Position& p : positions) {
        const int moved = ZoomedPosition(p.position, p.from, p.to);
        EXPECT_EQ(moved, p.expected) << p.position << " " << p.from << "->" << p.to;
        EXPECT_EQ(moved / p.to, p.position / p.from);
    }
}

// Fixture: a grey (transparent colour) picture with a red cell at (1, 0); the previous frame has a
// black cell at (2, 0) and the same red cell; the next frame a white cell at (3, 0).
TEST(CanvasView, CheckerboardAndOnionSkinPixels) {
    constexpr uint32_t Grey = 0xFFCCCCCCu, Red = 0xFFFF0000u, Black = 0xFF000000u, White = 0xFFFFFFFFu;
    TSurface32 work = FilledSurface(40, 40, Grey);
    work.SetPixel(1, 0, Red);
    TSurface32 previous = work, next = work;
    previous.SetPixel(2, 0, Black);
    next.SetPixel(3, 0, White);
    TSurface32 buffer(320, 320);
    TCanvasPaintOptions o;
    o.Zoom = 8;
    o.Grid = false;
    o.ShowTransparency = true;
    o.TransparentColor = 0x00CCCCCCu; // alpha is not compared
    PaintCanvasBuffer(buffer, work, o);
    // Squares of 4 pixels from the canvas's corner, across cells.
    EXPECT_EQ(buffer.GetPixel(0, 0), CheckerLight);
    EXPECT_EQ(buffer.GetPixel(4, 0), CheckerDark);
    EXPECT_EQ(buffer.GetPixel(0, 4), CheckerDark);
    EXPECT_EQ(buffer.GetPixel(7, 7), CheckerLight);
    EXPECT_EQ(buffer.GetPixel(16, 0), CheckerLight);
    EXPECT_EQ(buffer.GetPixel(8, 0), Red);
    EXPECT_EQ(CheckerSquare(1), 2);
    EXPECT_EQ(CheckerSquare(40), 20);

    o.ShowTransparency = false;
    o.PreviousFrame = &previous;
    o.NextFrame = &next;
    PaintCanvasBuffer(buffer, work, o);
    // 30 % of the neighbour over the cell (77/256), truncated: 0xCC - 0xCC * 77 / 256 = 0x8F.
    EXPECT_EQ(buffer.GetPixel(17, 1), 0xFF8F8F8Fu);
    EXPECT_EQ(buffer.GetPixel(8, 0), Red);  // the same in both frames: clean
    EXPECT_EQ(buffer.GetPixel(0, 0), Grey); // the neighbours' background: clean
    const uint32_t nextShown = buffer.GetPixel(25, 1);
    EXPECT_NE(nextShown, Grey);
    EXPECT_GT(nextShown & 0xFF, (nextShown >> 16) & 0xFF); // the next frame is tinted blue
    EXPECT_EQ(buffer.GetPixel(25, 1), OnionBlend(Grey, nullptr, &White));
    EXPECT_EQ(OnionBlend(Grey, nullptr, nullptr), Grey);
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

// The grid and the crosses only from zoom 4: at zoom 1 they would hide every cell.
TEST(CanvasView, NoGridAtSmallZooms) {
    const TSurface32 work = FilledSurface(40, 40, 0xFF112233u);
    for (int zoom : {1, 2, 3, 4}) {
        TSurface32 buffer(40 * zoom + 1, 40 * zoom + 1);
        TCanvasPaintOptions o;
        o.Zoom = zoom;
        o.OutputSize = 32;
        o.GridColor = 0xFFF0F0F0u;
        PaintCanvasBuffer(buffer, work, o);
        EXPECT_EQ(buffer.GetPixel(zoom, zoom), zoom >= MinGridZoom ? 0xFFF0F0F0u : 0xFF112233u) << zoom;
        EXPECT_EQ(buffer.GetPixel(20 * zoom + zoom / 2, 20 * zoom + zoom / 2), 0xFF112233u) << zoom;
    }
}
