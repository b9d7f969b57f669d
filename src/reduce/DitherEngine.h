#pragma once
// Ditherers: each maps the pixels of a bitmap, in scan order, to palette indices through a colour
// lookup. Rows are scanned in alternating directions (row 0 left to right); ScanColumn is the
// next column, MapPixel is called once per pixel and EndRow once per row.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "ColorLookup.h"

// How the reduction spreads the error (an 8-bit option of TGIFPicture).
enum TDitherMethod : std::uint8_t {
    DitherNearest = 0,
    DitherFloydSteinberg = 1,
    DitherStucki = 2,
    DitherSierra = 3,
    DitherJarvisJudiceNinke = 4,
    DitherStevensonArce = 5,
    DitherBurkes = 6,
};

class TErrorRows;

// Plain nearest-colour mapping; the base of the error-diffusion ditherers.
class TDitherEngine {
  public:
    TDitherEngine(int width, TColorLookup& lookup);
    virtual ~TDitherEngine() = default;
    TDitherEngine(const TDitherEngine&) = delete;
    TDitherEngine& operator=(const TDitherEngine&) = delete;

    // Index for the pixel at ScanColumn; the entry's colour goes to entry. Advances ScanColumn.
    virtual int MapPixel(int red, int green, int blue);
    virtual void EndRow();
    // Skips a pixel: moves ScanColumn only (error positions stay).
    void StepColumn() { ScanColumn_ += ScanDirection_; }

    int ScanColumn() const { return ScanColumn_; }
    int ScanDirection() const { return ScanDirection_; }
    int RowWidth() const { return RowWidth_; }

  protected:
    // The lookup step shared by all: nearest entry, advance ScanColumn.
    int MapNearest(int red, int green, int blue, TLookupColor& entry);
    // The kernel ditherers' step: corrects the input by the current row's cell `cell` (rounded by
    // the divisor), clamps, maps, and answers the index with the error of each channel.
    int MapCorrected(TErrorRows& rows, int cell, int divisor, int red, int green, int blue, int (&errors)[3]);
    // The kernel ditherers' row end: rotates the rows, turns the direction and answers the cell
    // where the next row starts.
    int TurnRows(TErrorRows& rows);

    TColorLookup& Lookup_;
    int RowWidth_;
    int ScanColumn_ = 0;
    int ScanDirection_ = 1;
};

class TFloydSteinbergDitherer : public TDitherEngine {
  public:
    TFloydSteinbergDitherer(int width, TColorLookup& lookup);
    int MapPixel(int red, int green, int blue) override;
    void EndRow() override;

  private:
    struct TChannel {
        std::vector<std::int32_t> RowErrors;
        std::int32_t CarryAhead = 0;
        std::int32_t PendingNear = 0;
        std::int32_t PendingFar = 0;
    };
    std::array<TChannel, 3> Channels_; // red, green, blue
    int ErrorCell_ = 0;
};

// Error rows of the kernel ditherers: `count` rows per channel of RowWidth + 2 * border cells,
// column c in cell c + border, all 0 at first. Row 0 is the current row.
class TErrorRows {
  public:
    TErrorRows(int width, int count, int border);
    std::int32_t* Row(int channel, int row) {
        return Rows_[static_cast<std::size_t>(channel)][static_cast<std::size_t>(row)].data();
    }
    // Clears the current row and rotates: next becomes current, the cleared row the last.
    void Advance();
    // Cell of column `column`.
    int CellOf(int column) const { return column + Border_; }
    int Count() const { return static_cast<int>(Rows_[0].size()); }

  private:
    std::array<std::vector<std::vector<std::int32_t>>, 3> Rows_;
    int Border_;
};

// Kernels of 5 columns and 3 rows (Stucki, Sierra, Jarvis-Judice-Ninke).
class T5by3Ditherer : public TDitherEngine {
  public:
    T5by3Ditherer(int width, TColorLookup& lookup, int divisor);
    int MapPixel(int red, int green, int blue) override;
    void EndRow() override;

  protected:
    // Spreads error e of one channel; the pointers are at the current column's cell of the current
    // row, the next and the one after; d is the scan direction.
    virtual void Propagate(std::int32_t* current, std::int32_t* next, std::int32_t* after, int d, int e) = 0;

  private:
    TErrorRows Rows_;
    int Divisor_;
    int Position_; // cell of the current column, the same in every row
};

class TStuckiDitherer : public T5by3Ditherer {
  public:
    TStuckiDitherer(int width, TColorLookup& lookup) : T5by3Ditherer(width, lookup, 42) {}

  protected:
    void Propagate(std::int32_t* current, std::int32_t* next, std::int32_t* after, int d, int e) override;
};

class TSierraDitherer : public T5by3Ditherer {
  public:
    TSierraDitherer(int width, TColorLookup& lookup) : T5by3Ditherer(width, lookup, 32) {}

  protected:
    void Propagate(std::int32_t* current, std::int32_t* next, std::int32_t* after, int d, int e) override;
};

class TJaJuNiDitherer : public T5by3Ditherer {
  public:
    TJaJuNiDitherer(int width, TColorLookup& lookup) : T5by3Ditherer(width, lookup, 48) {}

  protected:
    void Propagate(std::int32_t* current, std::int32_t* next, std::int32_t* after, int d, int e) override;
};

class TBurkesDitherer : public TDitherEngine {
  public:
    TBurkesDitherer(int width, TColorLookup& lookup);
    int MapPixel(int red, int green, int blue) override;
    void EndRow() override;

  private:
    TErrorRows Rows_;
    int Position_;
};

class TSteveArcheDitherer : public TDitherEngine {
  public:
    TSteveArcheDitherer(int width, TColorLookup& lookup);
    int MapPixel(int red, int green, int blue) override;
    void EndRow() override;

  private:
    TErrorRows Rows_;
    int Position_;
};

// The ditherer for a method (0-6); nullptr for any other value.
std::unique_ptr<TDitherEngine> CreateDitherer(int method, int width, TColorLookup& lookup);
