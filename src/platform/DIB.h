#pragma once
// Row access to bitmaps for the colour reduction and the frame import.
//
// TDIBReader converts its bitmap in place to the pixel format it is created with and then hands out
// rows. TDIBWriter builds a new device-independent bitmap (8 or 24 bits) and, when finished (or
// destroyed), replaces the content of its result bitmap with it. Rows are counted from the top.
// Failures raise EInvalidGraphic (EOutOfResources for memory) with the codec's fixed texts.

#include <cstdint>
#include <vector>

#include "Bitmap.h"

class TDIB {
  public:
    TDIB(TBitmap& bitmap, TPixelFormat format) : Bitmap_(bitmap), Format_(format) {}
    virtual ~TDIB() = default;
    TDIB(const TDIB&) = delete;
    TDIB& operator=(const TDIB&) = delete;

    TBitmap& Bitmap() { return Bitmap_; }
    TPixelFormat PixelFormat() const { return Format_; }
    virtual std::uint8_t* RowPointer(int row) = 0;

  protected:
    TBitmap& Bitmap_;
    TPixelFormat Format_;
};

class TDIBReader : public TDIB {
  public:
    TDIBReader(TBitmap& bitmap, TPixelFormat format);
    // "Scan line index out of range" outside 0..height-1 (so always for an empty bitmap).
    std::uint8_t* RowPointer(int row) override;
};

class TDIBWriter : public TDIB {
  public:
    // "Unsupported PixelFormat" unless format is pf8bit or pf24bit; "Invalid image dimensions" for a
    // width or height of 0 (or below). For 8 bits the colour table gets 256 entries: the palette's in
    // order, then black.
    TDIBWriter(TBitmap& result, TPixelFormat format, int width, int height, const TPalette& palette);
    ~TDIBWriter() override;

    // The first call makes the pixel memory ("Failed to allocate memory for GIF DIB" when it cannot be
    // had, "Image has no DIB" when it is still missing); rows outside 0..height-1 raise "Scan line
    // index out of range".
    std::uint8_t* RowPointer(int row) override;
    // Moves the finished bitmap into the result; nothing when no row was ever asked for. Runs once;
    // the destructor calls it when the caller did not.
    void Finish();

  private:
    int Width_;
    int Height_;
    TPalette Palette_;
    TBitmap Work_;
    bool Allocated_ = false;
    bool Finished_ = false;
};
