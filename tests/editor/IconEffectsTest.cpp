#include "IconEffects.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

// Letters for the colours of the fixtures.
const std::map<char, uint32_t> Legend = {
    {'.', 0xFFCCCCCCu}, // background
    {'x', 0xFF102030u}, // a dark drawn pixel
    {'y', 0xFFF0E0D0u}, // a light drawn pixel
    {'d', 0xFF00FF00u}, // the drawing colour of Outline
    {'s', 0xFF888888u}, // ShadowTone of the background
    {'X', 0xFFEFDFCFu}, // x inverted
    {'Y', 0xFF0F1F2Fu}, // y inverted
    {'I', 0xFF333333u}, // the background inverted
    {'g', 0xFF1D1D1Du}, // x in grey: (299*16 + 587*32 + 114*48 + 500) / 1000 = 29
    {'h', 0xFFE3E3E3u}, // y in grey: (299*240 + 587*224 + 114*208 + 500) / 1000 = 227
};

TSurface32 Make(const std::vector<std::string>& rows) {
    TSurface32 s(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            s.SetPixel(x, y, Legend.at(rows[y][x]));
    return s;
}

std::vector<std::string> Rows(const TSurface32& s) {
    std::vector<std::string> rows;
    for (int y = 0; y < s.Height(); ++y) {
        std::string row;
        for (int x = 0; x < s.Width(); ++x) {
            char letter = '?';
            for (const auto& [c, color] : Legend)
                if (color == s.GetPixel(x, y)) {
                    letter = c;
                    break;
                }
            row += letter;
        }
        rows.push_back(row);
    }
    return rows;
}

// The 4 × 4 fixture every effect starts from: one dark pixel, one light pixel on a background.
const std::vector<std::string> Fixture = {
    "....",
    ".x..",
    "..y.",
    "....",
};

const TRect Whole(0, 0, 4, 4);
constexpr uint32_t Back = 0xFFCCCCCCu;

struct TEffectCase {
    const char* Name;
    std::function<void(TSurface32&)> Apply;
    std::vector<std::string> Expected;
};

} // namespace

TEST(IconEffects, EachEffectOnTheFixture) {
    const TEffectCase cases[] = {
        {"invert", [](TSurface32& s) { InvertColors(s, Whole); }, {"IIII", "IXII", "IIYI", "IIII"}},
        // The background is a grey already and stays.
        {"greyscale", [](TSurface32& s) { Greyscale(s, Whole); }, {"....", ".g..", "..h.", "...."}},
        {"shift left",
         [](TSurface32& s) { ShiftWrapped(s, Whole, -1, 0); },
         {"....", "x...", ".y..", "...."}},
        {"shift right",
         [](TSurface32& s) { ShiftWrapped(s, Whole, 1, 0); },
         {"....", "..x.", "...y", "...."}},
        {"shift up", [](TSurface32& s) { ShiftWrapped(s, Whole, 0, -1); }, {".x..", "..y.", "....", "...."}},
        {"shift down", [](TSurface32& s) { ShiftWrapped(s, Whole, 0, 1); }, {"....", "....", ".x..", "..y."}},
        // x's shadow falls on y (not background): only y casts one.
        {"drop shadow", [](TSurface32& s) { DropShadow(s, Whole, Back); }, {"....", ".x..", "..y.", "...s"}},
        {"outline",
         [](TSurface32& s) { Outline(s, Whole, Back, 0xFF00FF00u); },
         {"ddd.", "dxdd", "ddyd", ".ddd"}},
    };
    for (const TEffectCase& c : cases) {
        TSurface32 s = Make(Fixture);
        c.Apply(s);
        EXPECT_EQ(Rows(s), c.Expected) << c.Name;
    }
}

// What leaves one side comes back on the other, over the corner too, and four shifts are no shift.
TEST(IconEffects, ShiftWrapsAroundTheEdges) {
    TSurface32 s = Make({"x...", "....", "....", "...y"});
    ShiftWrapped(s, Whole, -1, -1);
    EXPECT_EQ(Rows(s), (std::vector<std::string>{"....", "....", "..y.", "...x"}));
    for (int i = 0; i < 4; ++i)
        ShiftWrapped(s, Whole, 1, 0);
    EXPECT_EQ(Rows(s), (std::vector<std::string>{"....", "....", "..y.", "...x"}));
}

// An area leaves everything outside it alone (the border ring of a 32 × 32 icon), and shadows and
// outlines do not reach out of it.
TEST(IconEffects, OnlyTheAreaChanges) {
    const TRect inner(1, 1, 3, 3);
    const std::vector<std::string> start = {"y..y", ".x..", "....", "y..y"};
    const TEffectCase cases[] = {
        {"invert", [&](TSurface32& s) { InvertColors(s, inner); }, {"y..y", ".XI.", ".II.", "y..y"}},
        {"shift", [&](TSurface32& s) { ShiftWrapped(s, inner, 1, 0); }, {"y..y", "..x.", "....", "y..y"}},
        {"shadow", [&](TSurface32& s) { DropShadow(s, inner, Back); }, {"y..y", ".x..", "..s.", "y..y"}},
        {"outline",
         [&](TSurface32& s) { Outline(s, inner, Back, 0xFF00FF00u); },
         {"y..y", ".xd.", ".dd.", "y..y"}},
        {"outside the surface", [&](TSurface32& s) { InvertColors(s, TRect(-5, -5, 0, 99)); }, start},
    };
    for (const TEffectCase& c : cases) {
        TSurface32 s = Make(start);
        c.Apply(s);
        EXPECT_EQ(Rows(s), c.Expected) << c.Name;
    }
}

TEST(IconEffects, ReplaceColorCountsAndKeepsOthers) {
    TSurface32 s = Make({"x..x", ".y..", "....", "x..."});
    EXPECT_EQ(ReplaceColor(s, Whole, Legend.at('x'), Back), 3);
    EXPECT_EQ(Rows(s), (std::vector<std::string>{"....", ".y..", "....", "...."}));
    EXPECT_EQ(ReplaceColor(s, Whole, Legend.at('x'), Back), 0);
    // The drawing colour equal to the background: nothing to do.
    EXPECT_EQ(ReplaceColor(s, Whole, Back, Back), 0);
    EXPECT_EQ(ShadowTone(0xFFCCCCCCu), 0xFF888888u);
    EXPECT_EQ(ShadowTone(0xFF000000u), 0xFF000000u);
}
