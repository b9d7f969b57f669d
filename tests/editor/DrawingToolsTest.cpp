#include "DrawingTools.h"
#include "SurfaceTesting.h"

#include <gtest/gtest.h>

#include <queue>

namespace {
constexpr uint32_t Draw = 0xFF000000u, Back = 0xFFCCCCCCu, Paper = 0xFFFFFFFFu;
} // namespace

TEST(DrawingTools, PencilStrokeAndBrushDots) {
    TSurface32 s = FilledSurface(40, 40, Paper);
    PencilDot(s, {0, 0}, Draw);          // press
    PencilLine(s, {0, 0}, {5, 2}, Draw); // one move
    PencilDot(s, {5, 2}, Draw);          // release
    EXPECT_EQ(PixelsNot(s, Paper), (TCellSet{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));
    PencilLine(s, {-5, -5}, {-1, 3}, Draw); // a drag beyond the edge draws nothing outside
    PencilDot(s, {-1, 3}, Draw);
    EXPECT_EQ(PixelsNot(s, Paper).size(), 6u);

    TSurface32 b = FilledSurface(40, 40, Paper);
    BrushDot(b, {7, 9}, Draw);
    EXPECT_EQ(b.GetPixel(7, 9), 0xFF030303u);
    BrushDot(b, {7, 9}, Draw);
    EXPECT_EQ(b.GetPixel(7, 9), Draw);
    EXPECT_EQ(PixelsNot(b, Paper), (TCellSet{{7, 9}}));
    BrushLine(b, {0, 0}, {3, 0}, Draw);
    EXPECT_EQ(b.GetPixel(3, 0), 0xFF9F9F9Fu);
    // A move inside the same cell adds exactly one more dot there.
    BrushLine(b, {20, 20}, {20, 20}, Draw);
    EXPECT_EQ(b.GetPixel(20, 20), 0xFF030303u);
    EXPECT_EQ(b.GetPixel(21, 20), Paper);
    BrushLine(b, {20, 20}, {20, 20}, Draw);
    EXPECT_EQ(b.GetPixel(20, 20), Draw);
}

TEST(DrawingTools, PressColours) {
    struct Case {
        TMouseButton button;
        uint32_t main, other;
        bool draws;
    } cases[] = {{mbLeft, Draw, Back, true}, {mbRight, Back, Draw, true}, {mbMiddle, 0, 0, false}};
    for (const Case& c : cases) {
        const TColorPair p = PressColors(c.button, TSurfaceColor(Draw), TSurfaceColor(Back));
        EXPECT_EQ(p.Main, c.main);
        EXPECT_EQ(p.Other, c.other);
        EXPECT_EQ(p.Draws, c.draws);
    }
    EXPECT_EQ(ToolCursorHotSpot(ToolNone), (TScreenPoint{10, 5}));
    EXPECT_EQ(ToolCursorHotSpot(ToolBrush), (TScreenPoint{4, 19}));
    EXPECT_EQ(ToolCursorHotSpot(ToolFill), (TScreenPoint{14, 18}));
    EXPECT_EQ(ToolCursorHotSpot(ToolFilledCircle), (TScreenPoint{6, 25}));
}

TEST(DrawingTools, SquareConstraintStretchesTheShorterSide) {
    struct Case {
        TCell start, end;
        TRect box; // after SortCorners
    } cases[] = {
        {{10, 10}, {15, 10}, {10, 5, 15, 10}}, // right: grows upwards
        {{10, 10}, {5, 10}, {5, 5, 10, 10}},   // left: grows upwards too
        {{10, 10}, {10, 14}, {6, 10, 10, 14}}, // down: grows to the left
        {{10, 10}, {13, 15}, {10, 10, 15, 15}}, {{10, 10}, {13, 5}, {10, 5, 15, 10}},
        {{10, 10}, {4, 12}, {4, 10, 10, 16}},   {{2, 2}, {2, 2}, {2, 2, 2, 2}},
        {{1, 1}, {1, 30}, {-28, 1, 1, 30}}, // may leave the image; drawing clips
    };
    for (const Case& c : cases) {
        TCell end = c.end;
        ConstrainSquare(c.start, end);
        EXPECT_EQ(SortCorners(c.start, end), c.box) << c.end.Col << "," << c.end.Row;
    }
}

TEST(DrawingTools, RectangleOutlineAndFill) {
    TSurface32 s = FilledSurface(40, 40, Paper);
    const TColorPair left = PressColors(mbLeft, TSurfaceColor(Draw), TSurfaceColor(Back));
    const TRect r = SortCorners({6, 5}, {2, 2});
    DrawRectangleShape(s, r.Left, r.Top, r.Right, r.Bottom, left.Main, left.Other, true);
    TCellSet outline, inside;
    for (int x = 2; x <= 6; ++x)
        outline.insert({x, 2}), outline.insert({x, 5});
    for (int y = 3; y <= 4; ++y)
        outline.insert({2, y}), outline.insert({6, y});
    for (int x = 3; x <= 5; ++x)
        for (int y = 3; y <= 4; ++y)
            inside.insert({x, y});
    EXPECT_EQ(PixelsOf(s, Draw), outline);
    EXPECT_EQ(PixelsOf(s, Back), inside);
    EXPECT_EQ(PixelsNot(s, Paper).size(), outline.size() + inside.size());

    struct Flat {
        int l, t, r, b;
        size_t count;
    } flats[] = {{2, 7, 9, 7, 8}, {4, 1, 4, 6, 6}, {3, 3, 4, 4, 4}, {-5, 38, 45, 39, 80}};
    for (const Flat& f : flats)
        for (bool filled : {false, true}) {
            TSurface32 t = FilledSurface(40, 40, Paper);
            DrawRectangleShape(t, f.l, f.t, f.r, f.b, Draw, Back, filled);
            EXPECT_EQ(PixelsOf(t, Draw).size(), f.count) << f.l << "," << f.t << " " << filled;
            EXPECT_TRUE(PixelsOf(t, Back).empty());
        }
}

namespace {

bool Is(const TSurface32& s, int x, int y, uint32_t c) {
    return x >= 0 && y >= 0 && x < s.Width() && y < s.Height() && s.GetPixel(x, y) == c;
}

// Checks the ellipse drawn into box l..r × t..b on a 40 × 40 surface.
void ExpectSoundEllipse(int l, int t, int r, int b) {
    SCOPED_TRACE(testing::Message() << "box " << l << "," << t << " .. " << r << "," << b);
    TSurface32 s = FilledSurface(40, 40, Paper);
    DrawEllipseShape(s, l, t, r, b, Draw, Back, true);
    const TCellSet ring = PixelsOf(s, Draw), fill = PixelsOf(s, Back);
    ASSERT_EQ(PixelsNot(s, Paper).size(), ring.size() + fill.size());
    auto inRegion = [&](int x, int y) { return Is(s, x, y, Draw) || Is(s, x, y, Back); };
    // Ring and fill stay in the box; the ring touches all four sides.
    bool top = false, bottom = false, left = false, right = false;
    for (auto [x, y] : ring) {
        ASSERT_TRUE(x >= l && x <= r && y >= t && y <= b) << x << "," << y;
        top |= y == t, bottom |= y == b, left |= x == l, right |= x == r;
        // A ring pixel borders the outside.
        EXPECT_TRUE(!inRegion(x - 1, y) || !inRegion(x + 1, y) || !inRegion(x, y - 1) || !inRegion(x, y + 1))
            << x << "," << y;
    }
    EXPECT_TRUE(top && bottom && left && right);
    // The fill is enclosed: its edge neighbours are ring or fill.
    for (auto [x, y] : fill)
        EXPECT_TRUE(inRegion(x - 1, y) && inRegion(x + 1, y) && inRegion(x, y - 1) && inRegion(x, y + 1))
            << x << "," << y;
    // Mirror symmetric in both directions.
    for (auto [x, y] : ring) {
        EXPECT_TRUE(Is(s, l + r - x, y, Draw)) << x << "," << y;
        EXPECT_TRUE(Is(s, x, t + b - y, Draw)) << x << "," << y;
    }
    // The ring is one closed 8-connected line.
    std::queue<std::pair<int, int>> q;
    TCellSet seen{*ring.begin()};
    q.push(*ring.begin());
    while (!q.empty()) {
        auto [x, y] = q.front();
        q.pop();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (ring.count({x + dx, y + dy}) && seen.insert({x + dx, y + dy}).second)
                    q.push({x + dx, y + dy});
    }
    EXPECT_EQ(seen.size(), ring.size());

    // Unfilled: the same ring, and nothing else changes.
    TSurface32 u = FilledSurface(40, 40, Paper);
    DrawEllipseShape(u, l, t, r, b, Draw, Back, false);
    EXPECT_EQ(PixelsOf(u, Draw), ring);
    EXPECT_TRUE(PixelsOf(u, Back).empty());
}

} // namespace

TEST(DrawingTools, EllipseRingIsClosedInscribedAndFilledInside) {
    for (int w = 1; w <= 40; ++w)
        for (int h : {1, 2, 3, 4, 5, 7, 10, 16, 25, 39, 40})
            ExpectSoundEllipse(0, 0, w - 1, h - 1);
    ExpectSoundEllipse(6, 10, 10, 14);
    ExpectSoundEllipse(3, 20, 30, 22);
}

TEST(DrawingTools, SmallCircleShape) {
    TSurface32 s = FilledSurface(12, 12, Paper);
    DrawEllipseShape(s, 6, 2, 10, 6, Draw, Back, true);
    const char* expected[] = {
        ".XXX.", //
        "X---X", //
        "X---X", //
        "X---X", //
        ".XXX.", //
    };
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const char c = expected[y][x];
            EXPECT_EQ(s.GetPixel(6 + x, 2 + y), c == 'X' ? Draw : c == '-' ? Back : Paper) << x << "," << y;
        }
}

TEST(DrawingTools, EllipseBeyondTheEdgesIsClipped) {
    TSurface32 s = FilledSurface(40, 40, Paper);
    DrawEllipseShape(s, -20, -10, 10, 50, Draw, Back, true);
    EXPECT_FALSE(PixelsOf(s, Draw).empty());
    EXPECT_FALSE(PixelsOf(s, Back).empty());
    for (auto [x, y] : PixelsNot(s, Paper))
        EXPECT_LE(x, 10);
    EXPECT_EQ(s.GetPixel(0, 20), Back);  // the centre row's inside
    EXPECT_EQ(s.GetPixel(10, 20), Draw); // its right end
}

TEST(DrawingTools, FloodFillTakesEdgeNeighboursOnly) {
    // '#' pixels are a different colour; the fill starts at the top-left '.'.
    const char* picture[] = {
        "..#..", "..#..", "###..", "...#.", "..#.#",
    };
    TSurface32 s(5, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            s.SetPixel(x, y, picture[y][x] == '#' ? Draw : Paper);
    ASSERT_TRUE(FloodFillChanges(s, 0, 0, Back));
    FloodFill(s, 0, 0, Back, s.GetPixel(0, 0));
    EXPECT_EQ(PixelsOf(s, Back), (TCellSet{{0, 0}, {1, 0}, {0, 1}, {1, 1}}));

    // From (3, 0): the right part, but not (3, 4) which touches it only diagonally.
    FloodFill(s, 3, 0, Back, Paper);
    EXPECT_TRUE(Is(s, 4, 3, Back));
    EXPECT_TRUE(Is(s, 0, 3, Paper));
    EXPECT_TRUE(Is(s, 3, 4, Paper));
    EXPECT_EQ(PixelsOf(s, Paper), (TCellSet{{0, 3}, {1, 3}, {2, 3}, {0, 4}, {1, 4}, {3, 4}}));

    EXPECT_FALSE(FloodFillChanges(s, 0, 0, Back)); // already that colour: no fill, no undo
    EXPECT_FALSE(FloodFillChanges(s, -1, 0, Back));
    EXPECT_FALSE(FloodFillChanges(s, 0, 5, Back));

    // A whole empty image, and a maze of single-pixel corridors, fill completely.
    TSurface32 all = FilledSurface(40, 40, Paper);
    FloodFill(all, 39, 39, Draw, Paper);
    EXPECT_EQ(PixelsOf(all, Draw).size(), 1600u);
    TSurface32 maze = FilledSurface(40, 40, Paper);
    for (int x = 1; x < 40; x += 2)
        maze.VertLineClipped(x, x % 4 == 1 ? 0 : 1, x % 4 == 1 ? 38 : 39, Draw);
    FloodFill(maze, 0, 0, Back, Paper);
    EXPECT_EQ(PixelsOf(maze, Paper).size(), 0u);
}

TEST(DrawingTools, DropperReadsInterfaceColourOnTheImageOnly) {
    TSurface32 s = FilledSurface(40, 40, 0xFF336666);
    EXPECT_EQ(DropperColor(s, {39, 0}), std::optional<TInterfaceColor>(TInterfaceColor(0x666633)));
    EXPECT_EQ(DropperColor(s, {-1, 3}), std::nullopt);
    EXPECT_EQ(DropperColor(s, {3, 40}), std::nullopt);
    EXPECT_EQ(DropperTarget(mbLeft, false), dtDrawColor);
    EXPECT_EQ(DropperTarget(mbLeft, true), dtDrawColor);
    EXPECT_EQ(DropperTarget(mbRight, false), dtBackColor);
    EXPECT_EQ(DropperTarget(mbRight, true), dtTransparentColor);
    EXPECT_EQ(DropperTarget(mbMiddle, true), dtNone);
}

namespace {
// Every character is a full block of the line height (16), 4 pixels wide.
class TBlockRasterizer : public TTextRasterizer {
  public:
    TTextExtent MeasureText(const TFontDescription&, const std::string& t) override {
        return {static_cast<int>(t.size()) * 4, 16};
    }
    TCoverageMask RenderText(const TFontDescription&, const std::string& t, int w, int h) override {
        TCoverageMask m{w, h, std::vector<uint8_t>(size_t(w) * h, 0)};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < int(t.size()) * 4 && x < w; ++x)
                m.Coverage[size_t(y) * w + x] = 1;
        return m;
    }
};
} // namespace

TEST(DrawingTools, TextBlockEndsAboveTheReleasedCell) {
    TBlockRasterizer blocks;
    InstallTextRasterizer(&blocks);
    TSurface32 s = FilledSurface(40, 40, Paper);
    EXPECT_EQ(TextBlockOrigin(s, {5, 30}, "A"), (TCell{5, 14}));
    EXPECT_EQ(TextBlockOrigin(s, {5, 3}, "A"), (TCell{5, 0}));
    WriteText(s, {37, 30}, "A", Draw);
    TCellSet expected;
    for (int y = 14; y < 30; ++y)
        for (int x = 37; x < 40; ++x)
            expected.insert({x, y});
    EXPECT_EQ(PixelsNot(s, Paper), expected);
    InstallTextRasterizer(nullptr);
}

TEST(DrawingTools, RubberBandGeometry) {
    EXPECT_EQ(CellCentre({3, 4}, 8), (TScreenPoint{28, 36}));
    EXPECT_EQ(CellCentre({0, 0}, 9), (TScreenPoint{4, 4}));
    EXPECT_EQ(RubberBandBox({2, 2}, {0, 5}, 10), TRect(4, 24, 26, 56));
    EXPECT_EQ(RubberBandBox({1, 1}, {1, 1}, 8), TRect(11, 11, 13, 13));
}

namespace {
// Every cell of the box l..r × t..b (inclusive), less the cells of the hole (inclusive; none when
// the hole is empty).
TCellSet Ring(int l, int t, int r, int b, int hl = 1, int ht = 1, int hr = 0, int hb = 0) {
    TCellSet out;
    for (int y = t; y <= b; ++y)
        for (int x = l; x <= r; ++x)
            if (!(x >= hl && x <= hr && y >= ht && y <= hb)) out.insert({x, y});
    return out;
}
} // namespace

// A pen of n cells: odd sizes centred on the cell, even ones reaching one more cell right and down.
TEST(DrawingTools, PenSizesOnALineAndARectangle) {
    struct Case {
        int size;
        TRect line;         // cells of a pencil line from (5, 10) to (12, 10), inclusive
        TRect outer, inner; // a filled rectangle from (10, 20) to (20, 26): outline outside, fill inside
    } cases[] = {
        {1, {5, 10, 12, 10}, {10, 20, 20, 26}, {11, 21, 19, 25}},
        {2, {5, 10, 13, 11}, {10, 20, 21, 27}, {12, 22, 19, 25}},
        {3, {4, 9, 13, 11}, {9, 19, 21, 27}, {12, 22, 18, 24}},
        {4, {4, 9, 14, 12}, {9, 19, 22, 28}, {13, 23, 18, 24}},
        {5, {3, 8, 14, 12}, {8, 18, 22, 28}, {13, 23, 17, 23}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        TSurface32 s = FilledSurface(40, 40, Paper);
        PencilLine(s, {5, 10}, {12, 10}, Draw, c.size);
        EXPECT_EQ(PixelsNot(s, Paper), Ring(c.line.Left, c.line.Top, c.line.Right, c.line.Bottom));
        TSurface32 r = FilledSurface(40, 40, Paper);
        DrawRectangleShape(r, 10, 20, 20, 26, Draw, Back, true, c.size);
        const TRect& o = c.outer;
        const TRect& i = c.inner;
        EXPECT_EQ(PixelsOf(r, Draw),
                  Ring(o.Left, o.Top, o.Right, o.Bottom, i.Left, i.Top, i.Right, i.Bottom));
        EXPECT_EQ(PixelsOf(r, Back), Ring(i.Left, i.Top, i.Right, i.Bottom));
    }
}

// Slanted strokes: the wide pen covers exactly its square around every cell of the one-pixel line,
// including lines that start or end off the picture.
TEST(DrawingTools, WidePenFollowsTheOnePixelLine) {
    const TCell ends[][2] = {{{3, 4}, {30, 17}}, {{20, 2}, {11, 37}}, {{-6, 5}, {8, 44}}, {{39, 0}, {0, 39}}};
    for (int size = 2; size <= MaxPenSize; ++size)
        for (const auto& e : ends) {
            TSurface32 thin = FilledSurface(60, 60, Paper), wide = FilledSurface(40, 40, Paper);
            // The thin line on a larger surface, shifted by 10, so that cells just off the picture count.
            thin.LineClipped(e[0].Col + 10, e[0].Row + 10, e[1].Col + 10, e[1].Row + 10, Draw, true);
            TCellSet want;
            for (auto [x, y] : PixelsOf(thin, Draw)) {
                const TRect sq = PenSquare({x - 10, y - 10}, size);
                for (int j = sq.Top; j < sq.Bottom; ++j)
                    for (int i = sq.Left; i < sq.Right; ++i)
                        if (i >= 0 && i < 40 && j >= 0 && j < 40) want.insert({i, j});
            }
            PencilLine(wide, e[0], e[1], Draw, size);
            EXPECT_EQ(PixelsOf(wide, Draw), want) << "size " << size;
        }
}

TEST(DrawingTools, WideEllipseAndBrush) {
    // A filled ellipse with a pen of 3: the ring grows one cell out and in, the fill stays inside.
    TSurface32 one = FilledSurface(40, 40, Paper), three = FilledSurface(40, 40, Paper);
    DrawEllipseShape(one, 10, 10, 25, 20, Draw, Back, true);
    DrawEllipseShape(three, 10, 10, 25, 20, Draw, Back, true, 3);
    EXPECT_EQ(three.GetPixel(9, 15), Draw);  // one cell left of the ring
    EXPECT_EQ(three.GetPixel(11, 15), Draw); // one cell inside it
    EXPECT_EQ(three.GetPixel(17, 15), Back);
    for (auto [x, y] : PixelsOf(one, Draw))
        EXPECT_EQ(three.GetPixel(x, y), Draw);
    EXPECT_LT(PixelsOf(three, Back).size(), PixelsOf(one, Back).size());

    // A brush of 2 lays a dot on each of its four cells.
    TSurface32 b = FilledSurface(40, 40, Paper);
    BrushDot(b, {7, 9}, Draw, 2);
    EXPECT_EQ(PixelsOf(b, 0xFF030303u), (TCellSet{{7, 9}, {8, 9}, {7, 10}, {8, 10}}));
}
