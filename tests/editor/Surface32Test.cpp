#include "Surface32.h"
#include "PlatformError.h"
#include "SurfaceColor.h"
#include "SurfaceTesting.h"
#include "SystemColors.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

TEST(Surface32Storage, SizeClipAndRefusedAllocation) {
    TSurface32 s;
    EXPECT_TRUE(s.Empty());
    s.SetSize(-3, 5);
    EXPECT_EQ(s.Width(), 0);
    EXPECT_EQ(s.Height(), 5);
    EXPECT_TRUE(s.Empty());

    s.SetSize(40, 40);
    EXPECT_EQ(s.ClipRect(), TRect(0, 0, 40, 40));
    EXPECT_EQ(PixelsNot(s, 0).size(), 0u);
    s.SetPixel(39, 39, 0x12345678);
    s.SetSize(40, 40); // same size: storage kept
    EXPECT_EQ(s.GetPixel(39, 39), 0x12345678u);
    EXPECT_EQ(s.Bits()[39 + 39 * 40], 0x12345678u); // row-major, top row first
    s.SetSize(41, 40);                              // new storage, cleared
    EXPECT_EQ(PixelsNot(s, 0).size(), 0u);
    EXPECT_EQ(s.ClipRect(), TRect(0, 0, 41, 40));

    try {
        s.SetSize(100000, 100000);
        FAIL() << "no error";
    } catch (const EOutOfResources& e) {
        EXPECT_STREQ(e.what(), "Can't allocate the DIB handle");
    }
    EXPECT_EQ(s.Width(), 0);
    EXPECT_EQ(s.Height(), 0);
    EXPECT_TRUE(s.ClipRect().IsEmpty());
}

TEST(Surface32Storage, ClippedAccessOutsideGivesOuterColorAndWritesNothing) {
    TSurface32 s = FilledSurface(4, 3, White);
    EXPECT_EQ(s.GetPixelClipped(-1, 0), 0x00000000u);
    EXPECT_EQ(s.GetPixelClipped(4, 0), 0x00000000u);
    EXPECT_EQ(s.GetPixelClipped(0, 3), 0x00000000u);
    s.OuterColor = 0x11223344;
    EXPECT_EQ(s.GetPixelClipped(0, -1), 0x11223344u);
    EXPECT_EQ(s.GetPixelClipped(3, 2), White);
    for (auto [x, y] : std::vector<std::pair<int, int>>{{-1, 0}, {4, 0}, {0, -1}, {0, 3}, {-100, -100}})
        s.SetPixelClipped(x, y, Black);
    EXPECT_EQ(PixelsNot(s, White).size(), 0u);
    s.SetPixelClipped(3, 2, Black);
    EXPECT_EQ(PixelsNot(s, White), (TCellSet{{3, 2}}));
}

TEST(Surface32Fill, RectanglesAreRightAndBottomExclusiveAndClipped) {
    struct Case {
        const char* name;
        bool clipped;
        int x1, y1, x2, y2;
        size_t count;
    } cases[] = {
        {"whole", false, 0, 0, 40, 40, 1600},    {"empty width", true, 3, 3, 3, 10, 0},
        {"reversed", true, 10, 3, 3, 10, 0},     {"inside", false, 2, 3, 5, 7, 12},
        {"left-top out", true, -5, -5, 2, 3, 6}, {"right-bottom out", true, 38, 37, 50, 60, 6},
        {"missed", true, 40, 0, 45, 5, 0},       {"missed above", true, 0, -10, 5, 0, 0},
    };
    for (const Case& c : cases) {
        TSurface32 s(40, 40);
        if (c.clipped)
            s.FillRectClipped(c.x1, c.y1, c.x2, c.y2, Black);
        else
            s.FillRect(c.x1, c.y1, c.x2, c.y2, Black);
        const TCellSet filled = PixelsOf(s, Black);
        EXPECT_EQ(filled.size(), c.count) << c.name;
        for (auto [x, y] : filled)
            EXPECT_TRUE(x >= c.x1 && x < c.x2 && y >= c.y1 && y < c.y2) << c.name << " " << x << "," << y;
    }
    TSurface32 s(8, 8);
    s.FillAll(0xAB000001);
    EXPECT_EQ(PixelsOf(s, 0xAB000001).size(), 64u);
}

TEST(Surface32Lines, HorizontalAndVerticalRunsOrderAndClipTheirEnds) {
    struct Case {
        bool vertical;
        int a, at, b;
        TCellSet expected;
    } cases[] = {
        {false, 5, 1, 2, {{2, 1}, {3, 1}, {4, 1}, {5, 1}}},
        {false, 2, 1, 5, {{2, 1}, {3, 1}, {4, 1}, {5, 1}}},
        {false, -3, 0, 1, {{0, 0}, {1, 0}}},
        {false, 8, 2, 12, {{8, 2}, {9, 2}}},
        {false, 0, -1, 9, {}},
        {false, 0, 10, 9, {}},
        {false, 12, 0, 10, {}},
        {true, 5, 1, 2, {{1, 2}, {1, 3}, {1, 4}, {1, 5}}},
        {true, -2, 9, 0, {{9, 0}}},
        {true, 0, 10, 9, {}},
    };
    for (const Case& c : cases) {
        TSurface32 s(10, 10);
        if (c.vertical)
            s.VertLineClipped(c.at, c.a, c.b, Black);
        else
            s.HorzLineClipped(c.a, c.at, c.b, Black);
        EXPECT_EQ(PixelsOf(s, Black), c.expected) << (c.vertical ? "vert " : "horz ") << c.a << " " << c.b;
    }
}

TEST(Surface32Lines, BresenhamPixels) {
    struct Case {
        int x1, y1, x2, y2;
        bool includeEnd;
        TCellSet expected;
    } cases[] = {
        {0, 0, 5, 2, true, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}},
        {5, 2, 0, 0, true, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}},
        {0, 0, 2, 1, true, {{0, 0}, {1, 1}, {2, 1}}}, // an exact half steps towards the end
        {0, 0, 1, 3, true, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}},
        {3, 3, 3, 3, true, {{3, 3}}},
        {3, 3, 3, 3, false, {}},
        {0, 0, 3, 3, true, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {0, 0, 3, 3, false, {{0, 0}, {1, 1}, {2, 2}}},
        {0, 0, 5, 2, false, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
        {2, 3, 6, 3, false, {{2, 3}, {3, 3}, {4, 3}, {5, 3}}},
        {6, 3, 2, 3, false, {{3, 3}, {4, 3}, {5, 3}, {6, 3}}},
        {6, 3, 2, 3, true, {{2, 3}, {3, 3}, {4, 3}, {5, 3}, {6, 3}}},
        {4, 6, 4, 2, true, {{4, 2}, {4, 3}, {4, 4}, {4, 5}, {4, 6}}},
        {4, 6, 4, 2, false, {{4, 3}, {4, 4}, {4, 5}, {4, 6}}},
    };
    for (const Case& c : cases) {
        TSurface32 s(10, 10);
        s.LineClipped(c.x1, c.y1, c.x2, c.y2, Black, c.includeEnd);
        EXPECT_EQ(PixelsOf(s, Black), c.expected)
            << c.x1 << "," << c.y1 << " -> " << c.x2 << "," << c.y2 << " end " << c.includeEnd;
    }
}

// A clipped line sets exactly the pixels of the unclipped line that fall inside.
TEST(Surface32Lines, ClippingKeepsThePixelsOfTheWholeLine) {
    constexpr int margin = 30;
    std::srand(7);
    for (int i = 0; i < 3000; ++i) {
        const int x1 = std::rand() % 100 - 30, y1 = std::rand() % 100 - 30;
        const int x2 = std::rand() % 100 - 30, y2 = std::rand() % 100 - 30;
        TSurface32 big(40 + 2 * margin + 40, 40 + 2 * margin + 40), small(40, 40);
        big.LineClipped(x1 + margin, y1 + margin, x2 + margin, y2 + margin, Black, true);
        small.LineClipped(x1, y1, x2, y2, Black, true);
        TCellSet expected;
        for (auto [x, y] : PixelsOf(big, Black))
            if (x >= margin && x < margin + 40 && y >= margin && y < margin + 40)
                expected.insert({x - margin, y - margin});
        ASSERT_EQ(PixelsOf(small, Black), expected) << x1 << "," << y1 << " -> " << x2 << "," << y2;
    }
}

TEST(Surface32Lines, EndPointsFarOutsideStillGiveTheExactPixels) {
    constexpr int lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    TCellSet diagonal, row1;
    for (int i = 0; i < 10; ++i)
        diagonal.insert({i, i}), row1.insert({i, 1});
    struct Case {
        int x1, y1, x2, y2;
        TCellSet expected;
    } cases[] = {
        {lo, lo, hi, hi, diagonal},
        {-1000000000, -1000000000, 1000000000, 1000000000, diagonal},
        {-1000000000, 0, 1000000000, 1, row1}, // the exact half falls on x = 0
        {lo, 3, hi, 3, {{0, 3}, {1, 3}, {2, 3}, {3, 3}, {4, 3}, {5, 3}, {6, 3}, {7, 3}, {8, 3}, {9, 3}}},
        {hi, lo, hi - 5, hi, {}},
    };
    for (const Case& c : cases) {
        TSurface32 s(10, 10);
        s.LineClipped(c.x1, c.y1, c.x2, c.y2, Black, true);
        EXPECT_EQ(PixelsOf(s, Black), c.expected) << c.x1 << "," << c.y1 << " -> " << c.x2 << "," << c.y2;
    }
    TSurface32 s = FilledSurface(10, 10, White);
    s.DotAA(hi, hi, Black);
    s.DotAA(lo, lo, Black);
    s.LineAA(lo, lo, hi, hi, Black, true);
    s.LineAA(hi, lo, lo, hi - 7, Black, true);
    s.LineAA(lo, 3 * 65536, hi, 4 * 65536, Black, false);
    EXPECT_NE(s.GetPixel(5, 5), White);
}

TEST(Surface32Blend, WeightsAndGammaTable) {
    EXPECT_EQ(BlendColor(Black, White, 0), White);
    EXPECT_EQ(BlendColor(0x80123456, White, 255), 0x80123456u); // all four bytes taken
    EXPECT_EQ(BlendColor(Black, White, 253), 0xFF030303u);
    EXPECT_EQ(BlendColor(0x00000000, 0xFFFFFFFF, 128), 0x80808080u); // (255 * 128 + 128) >> 8
    EXPECT_EQ(BlendColor(0xFF0000FF, 0xFF00FF00, 64), 0xFF00BF40u);

    // The merge combination lays the colour over the pixel by the colour's own alpha too.
    EXPECT_EQ(MergeColor(0xFFFFFFFF, 0xFF000000, 128), 0xFF808080u);
    EXPECT_EQ(MergeColor(0x80FFFFFF, 0xFF000000, 255), 0xFF808080u);
    EXPECT_EQ(MergeColor(0x80FFFFFF, 0x00123456, 255), 0x80FFFFFFu); // over nothing: the colour
    EXPECT_EQ(MergeColor(0xFF102030, 0x80FFFFFF, 255), 0xFF102030u);
    EXPECT_EQ(MergeColor(0x00102030, 0x80FFFFFF, 255), 0x80FFFFFFu);
    TSurface32 merged = FilledSurface(1, 1, 0xFF000000);
    merged.CombineMode = cmMerge;
    merged.BlendPixel(0, 0, 0x80FFFFFF, 255);
    EXPECT_EQ(merged.GetPixel(0, 0), 0xFF808080u);

    const auto& g = GammaTable();
    EXPECT_EQ(g[0], 0);
    EXPECT_EQ(g[255], 255);
    EXPECT_EQ(g[63], 96);
    EXPECT_EQ(g[64], 97);
    EXPECT_EQ(g[128], 157);
    EXPECT_EQ(g[191], 208);
    EXPECT_EQ(g[192], 209);
    for (int i = 1; i < 256; ++i)
        EXPECT_GE(g[i], g[i - 1]);
}

TEST(Surface32AntiAliasing, DotAtWholePixelHasWeight253AndSparesNeighbours) {
    TSurface32 s = FilledSurface(5, 5, White);
    s.DotAA(2 * 65536, 2 * 65536, Black);
    EXPECT_EQ(s.GetPixel(2, 2), 0xFF030303u);
    EXPECT_EQ(PixelsNot(s, White), (TCellSet{{2, 2}}));
    s.DotAA(2 * 65536, 2 * 65536, Black); // a second dot (the brush's release) gives black
    EXPECT_EQ(s.GetPixel(2, 2), Black);

    // Half a pixel right: two pixels share the weight; neither gets all of it.
    TSurface32 h = FilledSurface(5, 5, White);
    h.DotAA(2 * 65536 + 32768, 2 * 65536, Black);
    EXPECT_EQ(PixelsNot(h, White), (TCellSet{{2, 2}, {3, 2}}));
    EXPECT_EQ(h.GetPixel(2, 2), h.GetPixel(3, 2));

    // Dots at and beyond the edges draw only what is inside.
    TSurface32 e = FilledSurface(5, 5, White);
    e.DotAA(-32768, -32768, Black);
    EXPECT_EQ(PixelsNot(e, White), (TCellSet{{0, 0}}));
    e.DotAA(-2 * 65536, 0, Black);
    e.DotAA(5 * 65536, 0, Black);
    e.DotAA(0, 7 * 65536, Black);
    EXPECT_EQ(PixelsNot(e, White), (TCellSet{{0, 0}}));
}

TEST(Surface32AntiAliasing, LineRowsWithAndWithoutEnd) {
    TSurface32 s = FilledSurface(6, 3, White);
    s.LineAA(0, 0, 3 * 65536, 0, Black, true);
    EXPECT_EQ(s.GetPixel(0, 0), 0xFF020202u);
    EXPECT_EQ(s.GetPixel(1, 0), 0xFF131313u);
    EXPECT_EQ(s.GetPixel(2, 0), 0xFF141414u);
    EXPECT_EQ(s.GetPixel(3, 0), 0xFF9F9F9Fu);
    EXPECT_EQ(PixelsNot(s, White), (TCellSet{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));

    TSurface32 t = FilledSurface(6, 3, White);
    t.LineAA(0, 0, 3 * 65536, 0, Black, false);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(t.GetPixel(x, 0), 0xFF030303u) << x;
    EXPECT_EQ(PixelsNot(t, White), (TCellSet{{0, 0}, {1, 0}, {2, 0}}));
}

TEST(Surface32AntiAliasing, LinesAreClippedToTheSurface) {
    // A line crossing the whole surface from far outside touches only its own row, inside.
    TSurface32 s = FilledSurface(10, 10, White);
    s.LineAA(-50 * 65536, 4 * 65536, 60 * 65536, 4 * 65536, Black, false);
    const TCellSet touched = PixelsNot(s, White);
    EXPECT_EQ(touched.size(), 10u);
    for (auto [x, y] : touched)
        EXPECT_EQ(y, 4) << x;
    // Entirely outside: nothing.
    TSurface32 o = FilledSurface(10, 10, White);
    o.LineAA(-9 * 65536, -9 * 65536, -2 * 65536, 30 * 65536, Black, true);
    o.LineAA(20 * 65536, 0, 30 * 65536, 9 * 65536, Black, true);
    EXPECT_TRUE(PixelsNot(o, White).empty());
    // A diagonal from corner to corner reaches both corners.
    TSurface32 d = FilledSurface(10, 10, White);
    d.LineAA(0, 0, 9 * 65536, 9 * 65536, Black, true);
    EXPECT_NE(d.GetPixel(0, 0), White);
    EXPECT_NE(d.GetPixel(9, 9), White);
}

TEST(Surface32Flips, MovePixelsAndTwiceRestore) {
    for (auto [w, h] : std::vector<std::pair<int, int>>{{40, 40}, {5, 3}, {1, 4}, {0, 0}}) {
        const TSurface32 original = NumberedSurface(w, h);
        TSurface32 s = original;
        s.FlipHorizontal();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(s.GetPixel(x, y), original.GetPixel(w - 1 - x, y));
        s.FlipHorizontal();
        EXPECT_TRUE(std::equal(s.Bits(), s.Bits() + w * h, original.Bits()));
        s.FlipVertical();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(s.GetPixel(x, y), original.GetPixel(x, h - 1 - y));
        s.FlipVertical();
        EXPECT_TRUE(std::equal(s.Bits(), s.Bits() + w * h, original.Bits()));
    }
}

TEST(Surface32Copy, CopiesPixelsAndDrawingSettingsButNotTheFont) {
    TSurface32 src = NumberedSurface(7, 4);
    src.DrawMode = dmBlend;
    src.MasterAlpha = 99;
    src.OuterColor = 0x01020304;
    src.Font.Name = "Courier";
    TSurface32 dst(2, 2);
    dst.CopyFrom(src);
    EXPECT_EQ(dst.Width(), 7);
    EXPECT_EQ(dst.Height(), 4);
    EXPECT_EQ(dst.ClipRect(), TRect(0, 0, 7, 4));
    EXPECT_TRUE(std::equal(dst.Bits(), dst.Bits() + 28, src.Bits()));
    EXPECT_EQ(dst.DrawMode, dmBlend);
    EXPECT_EQ(dst.MasterAlpha, 99);
    EXPECT_EQ(dst.OuterColor, 0x01020304u);
    EXPECT_EQ(dst.Font.Name, "Tahoma");
    dst.CopyFrom(dst); // self-copy keeps everything
    EXPECT_EQ(dst.GetPixel(6, 3), src.GetPixel(6, 3));
    dst.CopyFrom(nullptr);
    EXPECT_TRUE(dst.Empty());
    EXPECT_EQ(dst.Width(), 0);
}

TEST(Surface32Copy, DrawToCopiesOrBlendsInsideTheTargetClip) {
    TSurface32 src = FilledSurface(3, 3, 0x80000000);
    TSurface32 dst = FilledSurface(4, 4, White);
    src.DrawTo(dst, 2, -1); // opaque: a 2 × 2 corner, alpha included
    EXPECT_EQ(PixelsOf(dst, 0x80000000), (TCellSet{{2, 0}, {3, 0}, {2, 1}, {3, 1}}));

    TSurface32 blended = FilledSurface(2, 2, White);
    src.DrawMode = dmBlend;
    src.DrawTo(blended, 0, 0); // weight = alpha 0x80 × MasterAlpha 255 / 255
    EXPECT_EQ(blended.GetPixel(0, 0), BlendColor(0x80000000, White, 128));
}

namespace {
// The conversions on plain numbers.
uint32_t Surface(uint32_t interfaceColor) {
    return ToSurfaceColor(TInterfaceColor(interfaceColor)).Value;
}
uint32_t Interface(uint32_t surfaceColor) {
    return ToInterfaceColor(TSurfaceColor(surfaceColor)).Value;
}
} // namespace

// The two encodings never pass for each other, nor for a plain number, without a written conversion.
static_assert(!std::is_convertible_v<TSurfaceColor, TInterfaceColor>);
static_assert(!std::is_convertible_v<TInterfaceColor, TSurfaceColor>);
static_assert(!std::is_convertible_v<uint32_t, TSurfaceColor>);
static_assert(!std::is_convertible_v<uint32_t, TInterfaceColor>);
static_assert(!std::is_convertible_v<TSurfaceColor, uint32_t>);

TEST(SurfaceColors, ConversionsSwapRedAndBlue) {
    struct Case {
        uint32_t interfaceColor, surfaceColor;
    } cases[] = {
        {0x000000, 0xFF000000}, {0xCCCCCC, 0xFFCCCCCC}, {0x666633, 0xFF336666},
        {0xFF0000, 0xFF0000FF}, {0x0000FF, 0xFFFF0000}, {0x123456, 0xFF563412},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Surface(c.interfaceColor), c.surfaceColor) << std::hex << c.interfaceColor;
        EXPECT_EQ(Interface(c.surfaceColor), c.interfaceColor) << std::hex << c.surfaceColor;
    }
    EXPECT_EQ(Interface(0x7F0000FF), 0x00FF0000u); // alpha dropped
}

namespace {
class TFakeSystemColors : public TSystemColors {
  public:
    uint32_t Face = 0x00D8E9EC;
    uint32_t SystemColor(int index) const override { return index == ButtonFaceIndex ? Face : 0x00010203; }
};
} // namespace

TEST(SurfaceColors, SystemColorsAreResolvedAtUse) {
    InstallSystemColors(nullptr);
    EXPECT_EQ(ButtonFaceColor(), 0x00F0F0F0u);
    EXPECT_EQ(Surface(clBtnFace), 0xFFF0F0F0u);
    EXPECT_EQ(Surface(0xFF000005), 0xFFFFFFFFu); // window background
    EXPECT_FALSE(IsSystemColor(0x00F0F0F0));

    TFakeSystemColors fake;
    InstallSystemColors(&fake);
    EXPECT_EQ(Surface(clBtnFace), 0xFFECE9D8u);
    fake.Face = 0x00112233; // the toolkit's colours changed: the next read sees it
    EXPECT_EQ(ButtonFaceColor(), 0x00112233u);
    EXPECT_EQ(Surface(clBtnFace), 0xFF332211u);
    EXPECT_EQ(Surface(0xFF000008), 0xFF030201u);
    InstallSystemColors(nullptr);
}

namespace {
// Glyphs as 2-pixel-wide bars of the full height with one blank column between characters; the
// space is 2 pixels wide. Records what it was asked for.
class TFakeRasterizer : public TTextRasterizer {
  public:
    std::string Measured, Rendered;
    TFontDescription RenderedFont;
    int Height = 5;

    TTextExtent MeasureText(const TFontDescription&, const std::string& text) override {
        Measured = text;
        return {static_cast<int>(text.size()) * 3, Height};
    }
    TCoverageMask RenderText(const TFontDescription& font, const std::string& text, int width,
                             int height) override {
        Rendered = text;
        RenderedFont = font;
        TCoverageMask m{width, height, std::vector<uint8_t>(size_t(width) * height, 0)};
        for (size_t i = 0; i < text.size(); ++i)
            for (int y = 0; y < height; ++y)
                for (int x = int(i) * 3; x < int(i) * 3 + 2 && x < width; ++x)
                    m.Coverage[size_t(y) * width + x] = 255;
        return m;
    }
};
} // namespace

TEST(Surface32Text, GlyphPixelsTakeTheColourAndTheRestStays) {
    TFakeRasterizer fake;
    TSurface32 s = FilledSurface(12, 8, White);
    s.Font.Name = "Verdana";
    s.Font.SetStyle(fsBold, true);
    const TTextExtent extent = s.TextExtent("AB", fake);
    EXPECT_EQ(fake.Measured, "AB "); // the block has room for one more space
    EXPECT_EQ(extent.Width, 9);
    EXPECT_EQ(extent.Height, 5);

    s.RenderText(1, 2, "AB", 0xFF102030, fake);
    EXPECT_EQ(fake.Rendered, "AB");
    EXPECT_EQ(fake.RenderedFont, s.Font);
    TCellSet glyphs;
    for (int y = 2; y < 7; ++y)
        for (int x : {1, 2, 4, 5})
            glyphs.insert({x, y});
    EXPECT_EQ(PixelsOf(s, 0xFF102030), glyphs);
    EXPECT_EQ(PixelsNot(s, White), glyphs);

    // Cut off at the surface's edges, and at negative positions.
    TSurface32 edge = FilledSurface(5, 4, White);
    edge.RenderText(3, 2, "AB", Black, fake);
    EXPECT_EQ(PixelsOf(edge, Black), (TCellSet{{3, 2}, {4, 2}, {3, 3}, {4, 3}}));
    TSurface32 neg = FilledSurface(5, 4, White);
    neg.RenderText(-4, -3, "AB", Black, fake);
    EXPECT_EQ(PixelsOf(neg, Black), (TCellSet{{0, 0}, {0, 1}}));

    // Without an installed rasterizer nothing is drawn.
    InstallTextRasterizer(nullptr);
    TSurface32 none = FilledSurface(5, 4, White);
    none.RenderText(0, 0, "AB", Black);
    EXPECT_TRUE(PixelsNot(none, White).empty());
    InstallTextRasterizer(&fake);
    none.RenderText(0, 0, "A", Black);
    EXPECT_EQ(PixelsOf(none, Black).size(), 8u);
    InstallTextRasterizer(nullptr);
}

TEST(Surface32Text, FontSizeInPointsFollowsPixelHeight) {
    TFontDescription f;
    EXPECT_EQ(f.Name, "Tahoma");
    EXPECT_EQ(f.Height, 13);
    EXPECT_EQ(f.Charset, 238);
    EXPECT_EQ(f.Size(), 10);
    f.SetSize(12);
    EXPECT_EQ(f.Height, 16);
    f.SetStyle(fsItalic, true);
    f.SetStyle(fsUnderline, true);
    f.SetStyle(fsItalic, false);
    EXPECT_EQ(f.Style, fsUnderline);
}
