#include <gtest/gtest.h>

#include <map>

#include "DitherEngine.h"

namespace {

// Records the (corrected) red values asked for. Answers every colour with itself (error 0),
// except red == Marker, answered with black, so exactly that pixel spreads an error of Marker.
class TRecordingLookup : public TColorLookup {
  public:
    static constexpr int Marker = 100;
    TRecordingLookup() : TColorLookup(256) {}
    int NearestIndex(int red, int green, int blue, TLookupColor& entry) const override {
        Asked.push_back(red);
        entry = red == Marker ? TLookupColor{0, 0, 0} : TLookupColor{red, green, blue};
        return red & 0xFF;
    }
    mutable std::vector<int> Asked;
};

// Runs a width x height red plane (green and blue 0) through the ditherer in scan order and
// answers the corrected red value of every pixel, indexed [row][column].
std::vector<std::vector<int>> DitherPlane(int method, const std::vector<std::vector<int>>& plane) {
    const int height = static_cast<int>(plane.size()), width = static_cast<int>(plane[0].size());
    TRecordingLookup lookup;
    auto d = CreateDitherer(method, width, lookup);
    std::vector<std::vector<int>> seen(static_cast<std::size_t>(height),
                                       std::vector<int>(static_cast<std::size_t>(width), -1));
    for (int y = 0; y < height; ++y) {
        for (int x = d->ScanColumn(); x >= 0 && x < width; x = d->ScanColumn()) {
            d->MapPixel(plane[y][x], 0, 0);
            seen[y][x] = lookup.Asked.back();
        }
        d->EndRow();
    }
    return seen;
}

} // namespace

TEST(Dither, EachKernelSpreadsOneErrorByItsWeights) {
    // One error of 100 at row 0, column 4 of a 9 x 4 plane of zeros; every other pixel maps
    // exactly. The corrected value at (row, 4 + offset) is (weight * 100 + divisor / 2) / divisor.
    struct Case {
        int Method;
        int Divisor;
        std::map<std::pair<int, int>, int> Weights; // (row, column offset in row 0's direction)
    };
    const Case cases[] = {
        {DitherFloydSteinberg, 16, {{{0, 1}, 7}, {{1, -1}, 3}, {{1, 0}, 5}, {{1, 1}, 1}}},
        {DitherStucki,
         42,
         {{{0, 1}, 8},
          {{0, 2}, 4},
          {{1, -2}, 2},
          {{1, -1}, 4},
          {{1, 0}, 8},
          {{1, 1}, 4},
          {{1, 2}, 2},
          {{2, -2}, 1},
          {{2, -1}, 2},
          {{2, 0}, 4},
          {{2, 1}, 2},
          {{2, 2}, 1}}},
        {DitherSierra,
         32,
         {{{0, 1}, 5},
          {{0, 2}, 3},
          {{1, -2}, 2},
          {{1, -1}, 4},
          {{1, 0}, 5},
          {{1, 1}, 4},
          {{1, 2}, 2},
          {{2, -1}, 2},
          {{2, 0}, 3},
          {{2, 1}, 2}}},
        {DitherJarvisJudiceNinke,
         48,
         {{{0, 1}, 7},
          {{0, 2}, 5},
          {{1, -2}, 3},
          {{1, -1}, 5},
          {{1, 0}, 7},
          {{1, 1}, 5},
          {{1, 2}, 3},
          {{2, -2}, 1},
          {{2, -1}, 3},
          {{2, 0}, 5},
          {{2, 1}, 3},
          {{2, 2}, 1}}},
        {DitherBurkes,
         32,
         {{{0, 1}, 8}, {{0, 2}, 4}, {{1, -2}, 2}, {{1, -1}, 4}, {{1, 0}, 8}, {{1, 1}, 4}, {{1, 2}, 2}}},
        {DitherStevensonArce,
         200,
         {{{0, 2}, 32},
          {{1, -3}, 12},
          {{1, -1}, 26},
          {{1, 1}, 30},
          {{1, 3}, 16},
          {{2, -2}, 12},
          {{2, 0}, 26},
          {{2, 2}, 12},
          {{3, -3}, 5},
          {{3, -1}, 12},
          {{3, 1}, 12},
          {{3, 3}, 5}}},
    };
    for (const Case& c : cases) {
        std::vector<std::vector<int>> plane(4, std::vector<int>(9, 0));
        plane[0][4] = TRecordingLookup::Marker;
        const auto seen = DitherPlane(c.Method, plane);
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 9; ++col) {
                if (row == 0 && col == 4) continue;
                auto it = c.Weights.find({row, col - 4});
                const int expected =
                    it == c.Weights.end() ? 0 : (it->second * 100 + c.Divisor / 2) / c.Divisor;
                EXPECT_EQ(seen[row][col], expected)
                    << "method " << c.Method << " row " << row << " col " << col;
            }
    }
}

TEST(Dither, FloydSteinbergRoundsTowardZeroAfterAddingEight) {
    // A 2 x 1 plane: pixel 0 is mapped to a fixed entry, so its error e reaches pixel 1 as
    // (7e + 8) div 16, truncated: -3 -> -13/16 = 0, -4 -> -20/16 = -1, -6 -> -34/16 = -2, 2 -> 1.
    struct Case {
        int Error;
        int Added;
    };
    for (const Case c : {Case{-3, 0}, Case{-4, -1}, Case{-6, -2}, Case{1, 0}, Case{2, 1}}) {
        class TFixed : public TColorLookup {
          public:
            explicit TFixed(int value) : TColorLookup(256), Value(value) {}
            int NearestIndex(int red, int, int, TLookupColor& entry) const override {
                Asked.push_back(red);
                entry = Asked.size() == 1 ? TLookupColor{Value, 0, 0} : TLookupColor{red, 0, 0};
                return 0;
            }
            int Value;
            mutable std::vector<int> Asked;
        } lookup(100 - c.Error);
        TFloydSteinbergDitherer d(2, lookup);
        d.MapPixel(100, 0, 0);
        d.MapPixel(100, 0, 0);
        EXPECT_EQ(lookup.Asked[1], 100 + c.Added) << c.Error;
    }
}

TEST(Dither, ClampsBeforeTheLookupAndMeasuresTheErrorFromTheClampedValue) {
    // 250 plus 20 carried: asked as 255. With the answer 235, the error 20 (not 50) goes on.
    class TFixed : public TColorLookup {
      public:
        TFixed() : TColorLookup(256) {}
        int NearestIndex(int red, int, int, TLookupColor& entry) const override {
            Asked.push_back(red);
            entry = TLookupColor{Asked.size() <= 2 ? 235 : red, 0, 0};
            return 0;
        }
        mutable std::vector<int> Asked;
    } lookup;
    TFloydSteinbergDitherer d(3, lookup);
    d.MapPixel(235 + 46, 0, 0); // clamped to 255: error 20, carried (7 * 20 + 8) / 16 = 9
    d.MapPixel(250, 0, 0);      // 259 -> 255, error 20 again
    d.MapPixel(0, 0, 0);
    EXPECT_EQ(lookup.Asked[0], 255);
    EXPECT_EQ(lookup.Asked[1], 255);
    EXPECT_EQ(lookup.Asked[2], 9);
}

TEST(Dither, WidthOneSendsOnlyTheShareBelow) {
    std::vector<std::vector<int>> plane = {{TRecordingLookup::Marker}, {0}, {0}};
    const auto seen = DitherPlane(DitherFloydSteinberg, plane);
    EXPECT_EQ(seen[1][0], (5 * 100 + 8) / 16);
    EXPECT_EQ(seen[2][0], 0);
}

TEST(Dither, RowsAlternateAndStepColumnLeavesTheErrorsBehind) {
    TRecordingLookup lookup;
    TFloydSteinbergDitherer d(3, lookup);
    EXPECT_EQ(d.ScanColumn(), 0);
    d.MapPixel(TRecordingLookup::Marker, 0, 0); // column 0, error 100
    d.StepColumn();                             // column 1 is skipped
    EXPECT_EQ(d.ScanColumn(), 2);
    d.MapPixel(0, 0, 0); // column 2, on the error cells of column 1
    EXPECT_EQ(lookup.Asked.back(), (7 * 100 + 8) / 16);
    d.EndRow();
    EXPECT_EQ(d.ScanDirection(), -1);
    EXPECT_EQ(d.ScanColumn(), 2);
    // The row's sums lag one column: column 1 holds 1/16 and column 0 holds 5/16 of the error.
    d.MapPixel(0, 0, 0);
    d.MapPixel(0, 0, 0);
    d.MapPixel(0, 0, 0);
    EXPECT_EQ(lookup.Asked[2], 0);
    EXPECT_EQ(lookup.Asked[3], (100 + 8) / 16);
    EXPECT_EQ(lookup.Asked[4], (500 + 8) / 16);
    EXPECT_EQ(d.ScanColumn(), -1);
}

TEST(Dither, NearestIgnoresTheScanDirection) {
    TRecordingLookup lookup;
    TDitherEngine d(2, lookup);
    EXPECT_EQ(d.MapPixel(7, 0, 0), 7);
    EXPECT_EQ(d.MapPixel(9, 0, 0), 9);
    d.EndRow();
    EXPECT_EQ(d.ScanColumn(), 1);
    EXPECT_EQ(d.MapPixel(9, 0, 0), 9);
    EXPECT_EQ(CreateDitherer(7, 2, lookup), nullptr);
}
