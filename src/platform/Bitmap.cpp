#include "Bitmap.h"

#include <algorithm>
#include <new>
#include <unordered_map>

#include "Canvas.h"
#include "PlatformError.h"
#include "Rect.h"

int BitsPerPixelOf(TPixelFormat format) {
    switch (format) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf15bit:
    case pf16bit:
        return 16;
    case pf24bit:
        return 24;
    case pf32bit:
    case pfDevice:
        return 32;
    default:
        return 0;
    }
}

int RowBytesOf(int width, int bitsPerPixel) {
    return static_cast<int>(((static_cast<std::int64_t>(width) * bitsPerPixel + 31) / 32) * 4);
}

namespace {

TColorRef TableColor(const TPalette& palette, int index) {
    return index < palette.Count() ? palette.ColorAt(index) : 0;
}

int Expand5(int v) {
    return (v << 3) | (v >> 2);
}
int Expand6(int v) {
    return (v << 2) | (v >> 4);
}

// The colour table an indexed format gets when the bitmap brings none that fits.
const TPalette& StandardTable(TPixelFormat format) {
    switch (format) {
    case pf1bit:
        return TPalette::Monochrome();
    case pf4bit:
        return TPalette::Vga16();
    default:
        return TPalette::Halftone();
    }
}

// Nearest-entry search with a memo, for writing many colours into an indexed bitmap.
class TNearestCache {
  public:
    explicit TNearestCache(const TPalette& palette) : Palette_(palette) {}
    int operator()(TColorRef c) {
        auto it = Memo_.find(c);
        if (it != Memo_.end()) return it->second;
        const int index = std::max(0, Palette_.NearestIndex(c));
        Memo_.emplace(c, index);
        return index;
    }

  private:
    const TPalette& Palette_;
    std::unordered_map<TColorRef, int> Memo_;
};

void StoreIndex(std::uint8_t* row, TPixelFormat format, int x, int index) {
    switch (format) {
    case pf1bit: {
        const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
        if (index & 1)
            row[x >> 3] |= bit;
        else
            row[x >> 3] &= static_cast<std::uint8_t>(~bit);
        break;
    }
    case pf4bit: {
        std::uint8_t& b = row[x >> 1];
        if (x & 1)
            b = static_cast<std::uint8_t>((b & 0xF0) | (index & 0x0F));
        else
            b = static_cast<std::uint8_t>((b & 0x0F) | ((index & 0x0F) << 4));
        break;
    }
    default:
        row[x] = static_cast<std::uint8_t>(index);
        break;
    }
}

int LoadIndex(const std::uint8_t* row, TPixelFormat format, int x) {
    switch (format) {
    case pf1bit:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case pf4bit:
        return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    default:
        return row[x];
    }
}

void StoreColor(std::uint8_t* row, TPixelFormat format, int x, TColorRef c) {
    const int r = RedOf(c), g = GreenOf(c), b = BlueOf(c);
    switch (format) {
    case pf15bit: {
        const int w = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
        row[2 * x] = static_cast<std::uint8_t>(w);
        row[2 * x + 1] = static_cast<std::uint8_t>(w >> 8);
        break;
    }
    case pf16bit: {
        const int w = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
        row[2 * x] = static_cast<std::uint8_t>(w);
        row[2 * x + 1] = static_cast<std::uint8_t>(w >> 8);
        break;
    }
    case pf24bit:
        row[3 * x] = static_cast<std::uint8_t>(b);
        row[3 * x + 1] = static_cast<std::uint8_t>(g);
        row[3 * x + 2] = static_cast<std::uint8_t>(r);
        break;
    default: // pf32bit, pfDevice
        row[4 * x] = static_cast<std::uint8_t>(b);
        row[4 * x + 1] = static_cast<std::uint8_t>(g);
        row[4 * x + 2] = static_cast<std::uint8_t>(r);
        row[4 * x + 3] = 0;
        break;
    }
}

TColorRef LoadColor(const std::uint8_t* row, TPixelFormat format, const TPalette& palette, int x) {
    switch (format) {
    case pf1bit:
    case pf4bit:
    case pf8bit:
        return TableColor(palette, LoadIndex(row, format, x));
    case pf15bit: {
        const int w = row[2 * x] | (row[2 * x + 1] << 8);
        return MakeColorRef(Expand5((w >> 10) & 31), Expand5((w >> 5) & 31), Expand5(w & 31));
    }
    case pf16bit: {
        const int w = row[2 * x] | (row[2 * x + 1] << 8);
        return MakeColorRef(Expand5((w >> 11) & 31), Expand6((w >> 5) & 63), Expand5(w & 31));
    }
    case pf24bit:
        return MakeColorRef(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    default:
        return MakeColorRef(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
    }
}

} // namespace

TBitmap::TBitmap(int width, int height, TPixelFormat format) {
    if (format == pfCustom) throw EInvalidGraphic("Invalid pixel format");
    Allocate(width, height, format);
    if (IsIndexed()) Palette_ = StandardTable(format);
}

TBitmap::TBitmap(const TBitmap& other)
    : TGraphic(), Width_(other.Width_), Height_(other.Height_), Format_(other.Format_),
      RowBytes_(other.RowBytes_), Bits_(other.Bits_), Palette_(other.Palette_),
      Transparent_(other.Transparent_), TransparentMode_(other.TransparentMode_),
      TransparentColor_(other.TransparentColor_),
      Mask_(other.Mask_ ? std::make_unique<TBitmap>(*other.Mask_) : nullptr) {}

TBitmap& TBitmap::operator=(const TBitmap& other) {
    if (this != &other) {
        TBitmap copy(other);
        *this = std::move(copy);
    }
    return *this;
}

TBitmap::TBitmap(TBitmap&& other) noexcept
    : TGraphic(), Width_(other.Width_), Height_(other.Height_), Format_(other.Format_),
      RowBytes_(other.RowBytes_), Bits_(std::move(other.Bits_)), Palette_(std::move(other.Palette_)),
      Transparent_(other.Transparent_), TransparentMode_(other.TransparentMode_),
      TransparentColor_(other.TransparentColor_), Mask_(std::move(other.Mask_)) {
    other.Width_ = other.Height_ = other.RowBytes_ = 0;
}

// Assignment replaces the content; the target keeps its own change notification.
TBitmap& TBitmap::operator=(TBitmap&& other) noexcept {
    if (this != &other) {
        Width_ = other.Width_;
        Height_ = other.Height_;
        Format_ = other.Format_;
        RowBytes_ = other.RowBytes_;
        Bits_ = std::move(other.Bits_);
        Palette_ = std::move(other.Palette_);
        Transparent_ = other.Transparent_;
        TransparentMode_ = other.TransparentMode_;
        TransparentColor_ = other.TransparentColor_;
        Mask_ = std::move(other.Mask_);
        other.Width_ = other.Height_ = other.RowBytes_ = 0;
        other.Bits_.clear();
    }
    return *this;
}

TBitmap::~TBitmap() = default;

void TBitmap::Allocate(int width, int height, TPixelFormat format) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (static_cast<std::int64_t>(width) * height > MaxPixels)
        throw EOutOfResources("Out of system resources");
    const int rowBytes = RowBytesOf(width, BitsPerPixelOf(format));
    std::vector<std::uint8_t> bits;
    try {
        bits.assign(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        throw EOutOfResources("Out of system resources");
    }
    Bits_ = std::move(bits);
    Width_ = width;
    Height_ = height;
    Format_ = format;
    RowBytes_ = rowBytes;
    if (Mask_ && (Mask_->Width() != Width_ || Mask_->Height() != Height_)) Mask_.reset();
}

void TBitmap::SetSize(int width, int height) {
    Allocate(width, height, Format_);
}

void TBitmap::Resize(int width, int height) {
    TBitmap old(std::move(*this));
    try {
        Allocate(width, height, old.Format_);
    } catch (...) {
        *this = std::move(old);
        throw;
    }
    Palette_ = old.Palette_;
    Transparent_ = old.Transparent_;
    TransparentMode_ = old.TransparentMode_;
    TransparentColor_ = old.TransparentColor_;
    const int rows = std::min(Height_, old.Height_);
    const int bytes = std::min(RowBytes_, old.RowBytes_);
    // Whole bytes are copied; for 1 and 4 bits the bits right of the old width are zero already.
    for (int y = 0; y < rows; ++y)
        std::copy_n(old.ScanLine(y), bytes, ScanLine(y));
    if (Width_ < old.Width_ && (Format_ == pf1bit || Format_ == pf4bit)) {
        // Clear the pixels beyond the new width in the last byte, so they do not reappear.
        for (int y = 0; y < rows; ++y)
            for (int x = Width_; x < std::min(old.Width_, RowBytes_ * 8 / BitsPerPixel()); ++x)
                StoreIndex(ScanLine(y), Format_, x, 0);
    }
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == Format_) return;
    if (format == pfCustom) throw EInvalidGraphic("Invalid pixel format");
    const bool toIndexed = format == pf1bit || format == pf4bit || format == pf8bit;
    const int maxEntries = 1 << std::min(BitsPerPixelOf(format), 8);

    TPalette table = Palette_;
    if (toIndexed && (table.Empty() || table.Count() > maxEntries)) table = StandardTable(format);

    TBitmap result;
    result.Allocate(Width_, Height_, format);
    std::vector<TColorRef> row(static_cast<std::size_t>(Width_));
    TNearestCache nearest(table);
    // Indexed to indexed with the same table: indices are kept as they are.
    const bool keepIndices = IsIndexed() && toIndexed && table == Palette_;
    for (int y = 0; y < Height_; ++y) {
        const std::uint8_t* src = ScanLine(y);
        std::uint8_t* dst = result.ScanLine(y);
        if (keepIndices) {
            for (int x = 0; x < Width_; ++x)
                StoreIndex(dst, format, x, LoadIndex(src, Format_, x));
            continue;
        }
        ReadRow(y, row.data());
        if (toIndexed)
            for (int x = 0; x < Width_; ++x)
                StoreIndex(dst, format, x, nearest(row[static_cast<std::size_t>(x)]));
        else
            for (int x = 0; x < Width_; ++x)
                StoreColor(dst, format, x, row[static_cast<std::size_t>(x)]);
    }
    Bits_ = std::move(result.Bits_);
    RowBytes_ = result.RowBytes_;
    Format_ = format;
    Palette_ = std::move(table);
}

std::uint8_t* TBitmap::ScanLine(int row) {
    if (row < 0 || row >= Height_) throw EInvalidGraphic("Scan line index out of range");
    return Bits_.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(RowBytes_);
}

const std::uint8_t* TBitmap::ScanLine(int row) const {
    return const_cast<TBitmap*>(this)->ScanLine(row);
}

void TBitmap::SetPalette(const TPalette& palette) {
    Palette_ = palette;
    if (IsIndexed()) {
        const int maxEntries = 1 << BitsPerPixel();
        if (Palette_.Count() > maxEntries) Palette_.Resize(maxEntries);
    }
}

TColorRef TBitmap::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width_ || y >= Height_) return InvalidColor;
    return LoadColor(ScanLine(y), Format_, Palette_, x);
}

void TBitmap::SetPixel(int x, int y, TColorRef color) {
    if (x < 0 || y < 0 || x >= Width_ || y >= Height_) return;
    color &= 0xFFFFFF;
    if (IsIndexed())
        StoreIndex(ScanLine(y), Format_, x, std::max(0, Palette_.NearestIndex(color)));
    else
        StoreColor(ScanLine(y), Format_, x, color);
}

int TBitmap::Index(int x, int y) const {
    if (!IsIndexed() || x < 0 || y < 0 || x >= Width_ || y >= Height_) return 0;
    return LoadIndex(ScanLine(y), Format_, x);
}

void TBitmap::SetIndex(int x, int y, int index) {
    if (!IsIndexed() || x < 0 || y < 0 || x >= Width_ || y >= Height_) return;
    StoreIndex(ScanLine(y), Format_, x, index);
}

void TBitmap::Fill(TColorRef color) {
    if (Empty()) return;
    color &= 0xFFFFFF;
    const int index = IsIndexed() ? std::max(0, Palette_.NearestIndex(color)) : 0;
    std::uint8_t* first = ScanLine(0);
    for (int x = 0; x < Width_; ++x) {
        if (IsIndexed())
            StoreIndex(first, Format_, x, index);
        else
            StoreColor(first, Format_, x, color);
    }
    for (int y = 1; y < Height_; ++y)
        std::copy_n(first, RowBytes_, ScanLine(y));
}

void TBitmap::ReadRow(int row, TColorRef* out) const {
    const std::uint8_t* src = ScanLine(row);
    for (int x = 0; x < Width_; ++x)
        out[x] = LoadColor(src, Format_, Palette_, x);
}

TColorRef TBitmap::TransparentColor() const {
    if (TransparentMode_ == TTransparentMode::Fixed || Empty()) return TransparentColor_;
    return Pixel(0, Height_ - 1);
}

void TBitmap::SetTransparentColor(TColorRef color) {
    TransparentColor_ = color & 0xFFFFFF;
    TransparentMode_ = TTransparentMode::Fixed;
}

TBitmap TBitmap::Mask() const {
    if (Mask_) return *Mask_;
    return MaskFor(TransparentColor());
}

TBitmap TBitmap::MaskFor(TColorRef color) const {
    TBitmap mask(Width_, Height_, pf1bit);
    mask.Palette_ = TPalette::Monochrome();
    std::vector<TColorRef> row(static_cast<std::size_t>(Width_));
    color &= 0xFFFFFF;
    for (int y = 0; y < Height_; ++y) {
        ReadRow(y, row.data());
        std::uint8_t* dst = mask.ScanLine(y);
        for (int x = 0; x < Width_; ++x)
            if (row[static_cast<std::size_t>(x)] == color) StoreIndex(dst, pf1bit, x, 1);
    }
    return mask;
}

void TBitmap::SetMask(const TBitmap& mask) {
    if (mask.Empty()) {
        Mask_.reset();
        return;
    }
    if (mask.Width() != Width_ || mask.Height() != Height_)
        throw EInvalidGraphic("Mask size does not match the bitmap");
    auto copy = std::make_unique<TBitmap>(mask);
    if (copy->PixelFormat() != pf1bit) {
        // Any non-black pixel counts as set.
        TBitmap bits(Width_, Height_, pf1bit);
        bits.Palette_ = TPalette::Monochrome();
        for (int y = 0; y < Height_; ++y)
            for (int x = 0; x < Width_; ++x)
                if (copy->Pixel(x, y) != 0) bits.SetIndex(x, y, 1);
        *copy = std::move(bits);
    }
    Mask_ = std::move(copy);
}

void TBitmap::Draw(TCanvas& canvas, const TRect& dest) const {
    if (Empty()) return;
    const TRect src(0, 0, Width_, Height_);
    if (Transparent_)
        canvas.MaskedStretchBlt(dest, *this, src, Mask());
    else
        canvas.StretchBlt(dest, *this, src);
}
