#pragma once
// TBitmap: the raster layer's bitmap. Pixels are kept in rows from the top, each row padded to a
// multiple of 4 bytes, in one of the numbered pixel formats below. Indexed formats (1, 4, 8 bits)
// carry a colour table; every bitmap may carry a transparent mark (transparent colour) and an
// explicit 1-bit mask.
//
// Byte layouts of one pixel: 24 bits blue, green, red; 32 bits blue, green, red, unused; 15 bits
// 0RRRRRGG GGGBBBBB and 16 bits RRRRRGGG GGGBBBBB as little-endian words; 1 and 4 bits with the
// leftmost pixel in the most significant bits. A device-dependent bitmap (pfDevice) is stored like
// 32 bits: the display this layer stands for is a true-colour one.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "Graphic.h"
#include "Palette.h"

// Numbered as the conversion code uses them.
enum TPixelFormat : int {
    pfDevice = 0,
    pf1bit = 1,
    pf4bit = 2,
    pf8bit = 3,
    pf15bit = 4,
    pf16bit = 5,
    pf24bit = 6,
    pf32bit = 7,
    pfCustom = 8,
};

// Bits per pixel of a format as stored here (pfDevice: 32; pfCustom: 0, it cannot be stored).
int BitsPerPixelOf(TPixelFormat format);
// Padded bytes of one row.
int RowBytesOf(int width, int bitsPerPixel);

enum class TTransparentMode {
    Auto, // the transparent colour is the bottom-left pixel's
    Fixed // the transparent colour is the one set
};

class TBitmap : public TGraphic {
  public:
    // Bitmaps larger than this many pixels are refused ("Out of system resources").
    static constexpr std::int64_t MaxPixels = 64LL * 1024 * 1024;

    TBitmap() = default;
    TBitmap(int width, int height, TPixelFormat format = pfDevice);
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);
    TBitmap(TBitmap&& other) noexcept;
    TBitmap& operator=(TBitmap&& other) noexcept;
    ~TBitmap() override;

    // TGraphic
    bool Empty() const override { return Width_ == 0 || Height_ == 0; }
    int Width() const override { return Width_; }
    int Height() const override { return Height_; }
    void Draw(TCanvas& canvas, const TRect& dest) const override;
    std::string ClassName() const override { return "TBitmap"; }

    // Resizes; all pixels become 0 (index 0, or black). Negative sizes count as 0; a bitmap above
    // MaxPixels raises EOutOfResources and leaves the bitmap unchanged.
    void SetSize(int width, int height);
    // Copies the content into a bitmap of the new size; uncovered pixels are 0.
    void Resize(int width, int height);

    TPixelFormat PixelFormat() const { return Format_; }
    // Converts the pixels in place. Indexed targets map every colour to the nearest entry of the
    // bitmap's colour table when it has one, otherwise of a standard table (black and white, the 16
    // colours, the halftone palette). pfCustom raises EInvalidGraphic.
    void SetPixelFormat(TPixelFormat format);
    int BitsPerPixel() const { return BitsPerPixelOf(Format_); }
    bool IsIndexed() const { return Format_ == pf1bit || Format_ == pf4bit || Format_ == pf8bit; }
    // Everything but a device-dependent bitmap is device-independent.
    bool IsDIB() const { return Format_ != pfDevice; }
    int RowBytes() const { return RowBytes_; }

    // Row `row` counted from the top; EInvalidGraphic("Scan line index out of range") outside.
    std::uint8_t* ScanLine(int row);
    const std::uint8_t* ScanLine(int row) const;
    std::uint8_t* Bits() { return Bits_.data(); }
    const std::uint8_t* Bits() const { return Bits_.data(); }
    std::size_t BitsSize() const { return Bits_.size(); }

    // Colour table of an indexed bitmap; the palette of any other. Setting it on an indexed bitmap
    // keeps the indices (the colours change); entries beyond 2^bits are dropped.
    const TPalette& Palette() const { return Palette_; }
    void SetPalette(const TPalette& palette);
    bool HasPalette() const { return !Palette_.Empty(); }

    // Pixel colour (0x00BBGGRR); indexed pixels give their table colour (black beyond the table).
    // Outside the bitmap: InvalidColor, and writes are ignored. SetPixel on an indexed bitmap writes
    // the nearest table entry.
    static constexpr TColorRef InvalidColor = 0xFFFFFFFFu;
    TColorRef Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColorRef color);
    // Raw index of an indexed pixel (0 outside); SetIndex ignores positions outside.
    int Index(int x, int y) const;
    void SetIndex(int x, int y, int index);
    void Fill(TColorRef color);
    // Reads one row as colours (width values).
    void ReadRow(int row, TColorRef* out) const;

    // Transparent mark.
    bool Transparent() const { return Transparent_; }
    void SetTransparent(bool on) { Transparent_ = on; }
    TTransparentMode TransparentMode() const { return TransparentMode_; }
    void SetTransparentMode(TTransparentMode mode) { TransparentMode_ = mode; }
    TColorRef TransparentColor() const;
    void SetTransparentColor(TColorRef color); // also sets the mode to Fixed

    // The 1-bit mask: 1 (white) where the pixel is transparent. The explicit mask when one was set,
    // else one computed from the transparent colour (an empty bitmap for an empty one).
    TBitmap Mask() const;
    TBitmap MaskFor(TColorRef color) const;
    void SetMask(const TBitmap& mask); // converted to 1 bit; an empty one removes it
    bool HasExplicitMask() const { return static_cast<bool>(Mask_); }

    // Change notification, run by the canvas after it drew on this bitmap.
    std::function<void()> OnChange;
    void Changed() {
        if (OnChange) OnChange();
    }

  private:
    void Allocate(int width, int height, TPixelFormat format); // strong guarantee

    int Width_ = 0;
    int Height_ = 0;
    TPixelFormat Format_ = pfDevice;
    int RowBytes_ = 0;
    std::vector<std::uint8_t> Bits_;
    TPalette Palette_;
    bool Transparent_ = false;
    TTransparentMode TransparentMode_ = TTransparentMode::Auto;
    TColorRef TransparentColor_ = 0;
    std::unique_ptr<TBitmap> Mask_;
};

using TBitmapPtr = std::shared_ptr<TBitmap>;
