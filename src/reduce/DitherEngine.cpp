#include "DitherEngine.h"

#include <algorithm>

namespace {

int Clamp255(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// One weight of a kernel: `Row` rows below the current one, `Offset` columns ahead in the scan
// direction.
struct TKernelTap {
    int Row, Offset, Weight;
};

// Adds weight x e at every tap; rows[i] points at the current column's cell of row i.
template <std::size_t N> void AddTaps(std::int32_t* const* rows, int d, int e, const TKernelTap (&taps)[N]) {
    for (const TKernelTap& t : taps)
        rows[t.Row][t.Offset * d] += t.Weight * e;
}

// Spreads each channel's non-zero error from the current column's cell (`cell`) of every row.
template <std::size_t N>
void SpreadErrors(TErrorRows& rows, int cell, int d, const int (&errors)[3], const TKernelTap (&taps)[N]) {
    for (int ch = 0; ch < 3; ++ch) {
        if (errors[ch] == 0) continue;
        std::int32_t* at[4] = {};
        for (int r = 0; r < rows.Count() && r < 4; ++r)
            at[r] = rows.Row(ch, r) + cell;
        AddTaps(at, d, errors[ch], taps);
    }
}

} // namespace

// ---- TDitherEngine ----

TDitherEngine::TDitherEngine(int width, TColorLookup& lookup)
    : Lookup_(lookup), RowWidth_(std::max(width, 0)) {}

int TDitherEngine::MapNearest(int red, int green, int blue, TLookupColor& entry) {
    const int index = Lookup_.NearestIndex(red, green, blue, entry);
    ScanColumn_ += ScanDirection_;
    return index;
}

int TDitherEngine::MapPixel(int red, int green, int blue) {
    TLookupColor entry;
    return MapNearest(red, green, blue, entry);
}

void TDitherEngine::EndRow() {
    ScanDirection_ = -ScanDirection_;
    ScanColumn_ = ScanDirection_ > 0 ? 0 : RowWidth_ - 1;
}

// ---- TFloydSteinbergDitherer ----
// Errors are held in sixteenths. RowErrors cell k belongs to column k - 1; ErrorCell is the cell of
// the column before the current pixel in scan direction.

TFloydSteinbergDitherer::TFloydSteinbergDitherer(int width, TColorLookup& lookup)
    : TDitherEngine(width, lookup) {
    for (TChannel& c : Channels_)
        c.RowErrors.assign(static_cast<std::size_t>(RowWidth_) + 2, 0);
}

int TFloydSteinbergDitherer::MapPixel(int red, int green, int blue) {
    if (ScanColumn_ < 0 || ScanColumn_ >= RowWidth_)
        return TDitherEngine::MapPixel(red, green, blue); // misuse: no error cells
    const int d = ScanDirection_;
    const std::size_t p = static_cast<std::size_t>(ErrorCell_);
    const std::size_t here = static_cast<std::size_t>(ErrorCell_ + d);
    const int input[3] = {red, green, blue};
    int v[3];
    for (int ch = 0; ch < 3; ++ch) {
        const TChannel& c = Channels_[static_cast<std::size_t>(ch)];
        v[ch] = Clamp255(input[ch] + (c.CarryAhead + c.RowErrors[here] + 8) / 16);
    }
    TLookupColor entry;
    const int index = MapNearest(v[0], v[1], v[2], entry);
    const int chosen[3] = {entry.Red, entry.Green, entry.Blue};
    for (int ch = 0; ch < 3; ++ch) {
        TChannel& c = Channels_[static_cast<std::size_t>(ch)];
        const std::int32_t e = v[ch] - chosen[ch];
        c.RowErrors[p] = c.PendingNear + 3 * e;
        c.PendingNear = c.PendingFar + 5 * e;
        c.PendingFar = e;
        c.CarryAhead = 7 * e;
    }
    ErrorCell_ += d;
    return index;
}

void TFloydSteinbergDitherer::EndRow() {
    for (TChannel& c : Channels_) {
        c.RowErrors[static_cast<std::size_t>(ErrorCell_)] = c.PendingNear;
        c.CarryAhead = c.PendingNear = c.PendingFar = 0;
    }
    TDitherEngine::EndRow();
    ErrorCell_ = ScanDirection_ > 0 ? 0 : RowWidth_ + 1;
}

// ---- TErrorRows ----

TErrorRows::TErrorRows(int width, int count, int border) : Border_(border) {
    for (auto& rows : Rows_)
        rows.assign(static_cast<std::size_t>(count),
                    std::vector<std::int32_t>(static_cast<std::size_t>(width + 2 * border), 0));
}

void TErrorRows::Advance() {
    for (auto& rows : Rows_) {
        std::fill(rows.front().begin(), rows.front().end(), 0);
        std::rotate(rows.begin(), rows.begin() + 1, rows.end());
    }
}

int TDitherEngine::MapCorrected(TErrorRows& rows, int cell, int divisor, int red, int green, int blue,
                                int (&errors)[3]) {
    const int input[3] = {red, green, blue};
    int v[3];
    for (int ch = 0; ch < 3; ++ch)
        v[ch] = Clamp255(input[ch] + (rows.Row(ch, 0)[cell] + divisor / 2) / divisor);
    TLookupColor entry;
    const int index = MapNearest(v[0], v[1], v[2], entry);
    errors[0] = v[0] - entry.Red;
    errors[1] = v[1] - entry.Green;
    errors[2] = v[2] - entry.Blue;
    return index;
}

int TDitherEngine::TurnRows(TErrorRows& rows) {
    rows.Advance();
    TDitherEngine::EndRow();
    return rows.CellOf(ScanDirection_ > 0 ? 0 : RowWidth_ - 1);
}

// ---- T5by3Ditherer and its kernels ----

T5by3Ditherer::T5by3Ditherer(int width, TColorLookup& lookup, int divisor)
    : TDitherEngine(width, lookup), Rows_(RowWidth_, 3, 2), Divisor_(divisor), Position_(Rows_.CellOf(0)) {}

int T5by3Ditherer::MapPixel(int red, int green, int blue) {
    if (ScanColumn_ < 0 || ScanColumn_ >= RowWidth_)
        return TDitherEngine::MapPixel(red, green, blue); // misuse: no error cells
    int errors[3];
    const int index = MapCorrected(Rows_, Position_, Divisor_, red, green, blue, errors);
    const std::size_t cell = static_cast<std::size_t>(Position_);
    for (int ch = 0; ch < 3; ++ch) {
        const int e = errors[ch];
        if (e != 0)
            Propagate(Rows_.Row(ch, 0) + cell, Rows_.Row(ch, 1) + cell, Rows_.Row(ch, 2) + cell,
                      ScanDirection_, e);
    }
    Position_ += ScanDirection_;
    return index;
}

void T5by3Ditherer::EndRow() {
    Position_ = TurnRows(Rows_);
}

void TStuckiDitherer::Propagate(std::int32_t* cur, std::int32_t* next, std::int32_t* after, int d, int e) {
    static constexpr TKernelTap taps[] = {{0, 1, 8},  {0, 2, 4}, {1, -2, 2}, {1, -1, 4},
                                          {1, 0, 8},  {1, 1, 4}, {1, 2, 2},  {2, -2, 1},
                                          {2, -1, 2}, {2, 0, 4}, {2, 1, 2},  {2, 2, 1}};
    std::int32_t* rows[] = {cur, next, after};
    AddTaps(rows, d, e, taps);
}

void TSierraDitherer::Propagate(std::int32_t* cur, std::int32_t* next, std::int32_t* after, int d, int e) {
    static constexpr TKernelTap taps[] = {{0, 1, 5}, {0, 2, 3}, {1, -2, 2}, {1, -1, 4}, {1, 0, 5},
                                          {1, 1, 4}, {1, 2, 2}, {2, -1, 2}, {2, 0, 3},  {2, 1, 2}};
    std::int32_t* rows[] = {cur, next, after};
    AddTaps(rows, d, e, taps);
}

void TJaJuNiDitherer::Propagate(std::int32_t* cur, std::int32_t* next, std::int32_t* after, int d, int e) {
    static constexpr TKernelTap taps[] = {{0, 1, 7},  {0, 2, 5}, {1, -2, 3}, {1, -1, 5},
                                          {1, 0, 7},  {1, 1, 5}, {1, 2, 3},  {2, -2, 1},
                                          {2, -1, 3}, {2, 0, 5}, {2, 1, 3},  {2, 2, 1}};
    std::int32_t* rows[] = {cur, next, after};
    AddTaps(rows, d, e, taps);
}

// ---- TBurkesDitherer ----

TBurkesDitherer::TBurkesDitherer(int width, TColorLookup& lookup)
    : TDitherEngine(width, lookup), Rows_(RowWidth_, 2, 2), Position_(Rows_.CellOf(0)) {}

int TBurkesDitherer::MapPixel(int red, int green, int blue) {
    static constexpr TKernelTap taps[] = {{0, 1, 8}, {0, 2, 4}, {1, -2, 2}, {1, -1, 4},
                                          {1, 0, 8}, {1, 1, 4}, {1, 2, 2}};
    if (ScanColumn_ < 0 || ScanColumn_ >= RowWidth_) return TDitherEngine::MapPixel(red, green, blue);
    int errors[3];
    const int index = MapCorrected(Rows_, Position_, 32, red, green, blue, errors);
    SpreadErrors(Rows_, Position_, ScanDirection_, errors, taps);
    Position_ += ScanDirection_;
    return index;
}

void TBurkesDitherer::EndRow() {
    Position_ = TurnRows(Rows_);
}

// ---- TSteveArcheDitherer ----

TSteveArcheDitherer::TSteveArcheDitherer(int width, TColorLookup& lookup)
    : TDitherEngine(width, lookup), Rows_(RowWidth_, 4, 3), Position_(Rows_.CellOf(0)) {}

int TSteveArcheDitherer::MapPixel(int red, int green, int blue) {
    static constexpr TKernelTap taps[] = {{0, 2, 32}, {1, -3, 12}, {1, -1, 26}, {1, 1, 30},
                                          {1, 3, 16}, {2, -2, 12}, {2, 0, 26},  {2, 2, 12},
                                          {3, -3, 5}, {3, -1, 12}, {3, 1, 12},  {3, 3, 5}};
    if (ScanColumn_ < 0 || ScanColumn_ >= RowWidth_) return TDitherEngine::MapPixel(red, green, blue);
    int errors[3];
    const int index = MapCorrected(Rows_, Position_, 200, red, green, blue, errors);
    SpreadErrors(Rows_, Position_, ScanDirection_, errors, taps);
    Position_ += ScanDirection_;
    return index;
}

void TSteveArcheDitherer::EndRow() {
    Position_ = TurnRows(Rows_);
}

std::unique_ptr<TDitherEngine> CreateDitherer(int method, int width, TColorLookup& lookup) {
    switch (method) {
    case DitherNearest:
        return std::make_unique<TDitherEngine>(width, lookup);
    case DitherFloydSteinberg:
        return std::make_unique<TFloydSteinbergDitherer>(width, lookup);
    case DitherStucki:
        return std::make_unique<TStuckiDitherer>(width, lookup);
    case DitherSierra:
        return std::make_unique<TSierraDitherer>(width, lookup);
    case DitherJarvisJudiceNinke:
        return std::make_unique<TJaJuNiDitherer>(width, lookup);
    case DitherStevensonArce:
        return std::make_unique<TSteveArcheDitherer>(width, lookup);
    case DitherBurkes:
        return std::make_unique<TBurkesDitherer>(width, lookup);
    default:
        return nullptr;
    }
}
