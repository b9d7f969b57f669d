#include "GIFSubImage.h"

#include <algorithm>
#include <cstring>

#include "Bitmap.h"
#include "GIFEncoder.h"
#include "GIFException.h"
#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFRender.h"
#include "LZWDecoder.h"
#include "Stream.h"

TGIFPixelBuffer& TGIFPixelBuffer::operator=(const TGIFPixelBuffer& other) {
    if (&other == this) return *this;
    if (other.Empty()) {
        Release();
    } else {
        Assign(other.Size_, 0);
        std::memcpy(Data(), other.Data(), Size_);
    }
    return *this;
}

void TGIFPixelBuffer::Assign(std::size_t n, std::uint8_t v) {
    if (n > InlineBytes && n > Capacity_) {
        Release();
        Heap_ = new std::uint8_t[n];
        Capacity_ = n;
    } else if (n <= InlineBytes && Heap_) {
        Release();
    }
    Size_ = n;
    std::memset(Data(), v, n);
}

void TGIFPixelBuffer::Release() {
    delete[] Heap_;
    Heap_ = nullptr;
    Capacity_ = 0;
    Size_ = 0;
}

TGIFSubImage::TGIFSubImage(TGIFPicture* image) : TGIFItem(image), ColorMap_(this) {}

TGIFSubImage::~TGIFSubImage() {
    if (Image_) Image_->Images().Detach(this);
    Extensions_.ClearAll();
    GraphicControlExtension_ = nullptr;
}

void TGIFSubImage::DropCaches() {
    DropFrameCaches(*this);
}

void TGIFSubImage::ClearAll() {
    Extensions_.ClearAll();
    ColorMap_.ClearColors();
    ReleasePixels();
    SetHeight(0);
    SetWidth(0);
    Transparent_ = false;
    CodeBits_ = 0;
    GraphicControlExtension_ = nullptr;
    DropCaches();
}

void TGIFSubImage::CopyFrom(const TGIFSubImage& source) {
    if (&source == this) return;
    ClearAll();
    if (source.Empty()) return;
    Descriptor_ = source.Descriptor_;
    Transparent_ = source.Transparent_;
    Pixels_ = source.Pixels_;
    CodeBits_ = source.CodeBits_;
    ColorMap_.CopyFrom(source.ColorMap_);
    // Extensions travel through a stream so that each copy is a new object of its class.
    TMemoryStream buffer;
    source.Extensions_.SaveToStream(buffer);
    buffer.SetPosition(0);
    Extensions_.LoadFromStream(buffer, this);
    Transparent_ = source.Transparent_;
    // The rendered bitmap is copied, not shared: each frame's cache is its own.
    CopyFrameBitmap(*this, source);
}

int TGIFSubImage::RequiredVersion() const {
    if (ColorMap_.Sorted() || Extensions_.ItemCount() > 0) return 2;
    return 1;
}

TGIFColorMap& TGIFSubImage::ActiveColorTable() {
    if (ColorMap_.Count() == 0 && Image_ && Image_->GlobalColorMap().Count() > 0)
        return Image_->GlobalColorMap();
    return ColorMap_;
}

const TGIFColorMap& TGIFSubImage::ActiveColorTable() const {
    if (ColorMap_.Count() == 0 && Image_ && Image_->GlobalColorMap().Count() > 0)
        return Image_->GlobalColorMap();
    return ColorMap_;
}

void TGIFSubImage::SetInterlaced(bool on) {
    if (on)
        Descriptor_.PackedFields |= 0x40;
    else
        Descriptor_.PackedFields &= static_cast<std::uint8_t>(~0x40);
}

void TGIFSubImage::SetFrameBounds(int left, int top, int width, int height) {
    left = std::clamp(left, 0, 0xFFFF);
    top = std::clamp(top, 0, 0xFFFF);
    width = std::clamp(width, 0, 0xFFFF);
    height = std::clamp(height, 0, 0xFFFF);
    // Nothing changes (as when a new frame is cleared): no lock, no screen to grow.
    if (left == Left() && top == Top() && width == Width() && height == Height() &&
        (!Image_ || (Image_->Header().Width() >= left + width && Image_->Header().Height() >= top + height)))
        return;
    // The picture's render lock, held while pixels are reallocated, so that a painter thread
    // preparing a frame never sees a half-made change.
    auto lock = LockRendering(Image_);
    if (width != Width() || height != Height()) {
        DropFrameBitmap(*this);
        Pixels_.Release();
        Descriptor_.Width = static_cast<std::uint16_t>(width);
        Descriptor_.Height = static_cast<std::uint16_t>(height);
        AllocatePixels();
    }
    Descriptor_.Left = static_cast<std::uint16_t>(left);
    Descriptor_.Top = static_cast<std::uint16_t>(top);
    Descriptor_.Width = static_cast<std::uint16_t>(width);
    Descriptor_.Height = static_cast<std::uint16_t>(height);
    if (!Image_) return;
    TGIFHeader& header = Image_->Header();
    bool warned = false;
    if (header.Width() < left + width) {
        if (header.Width() > 0) {
            ReportWarning(GIFText::ImageWidthTooSmall);
            warned = true;
        }
        header.SetWidth(std::min(left + width, 0xFFFF));
    }
    if (header.Height() < top + height) {
        if (header.Height() > 0) {
            ReportWarning(GIFText::ImageHeightTooSmall);
            warned = true;
        }
        header.SetHeight(std::min(top + height, 0xFFFF));
    }
    if (warned) ReportWarning(GIFText::ImageExceedsScreen);
}

std::uint8_t TGIFSubImage::PixelAt(int x, int y) {
    if (x < 0 || x >= Width()) throw EGIFException(GIFText::InvalidPixelCoordinates);
    return RowAt(y)[x];
}

std::uint8_t* TGIFSubImage::RowAt(int y) {
    if (y < 0 || y >= Height()) throw EGIFException(GIFText::InvalidPixelCoordinates);
    RequirePixels();
    return Pixels_.Data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(Width());
}

void TGIFSubImage::AllocatePixels() {
    const std::size_t n = static_cast<std::size_t>(Width()) * static_cast<std::size_t>(Height());
    if (n == 0)
        Pixels_.Release();
    else
        Pixels_.Assign(n, 0);
}

void TGIFSubImage::ReleasePixels() {
    Pixels_.Release();
}

void TGIFSubImage::RequirePixels() {
    if (Pixels_.Empty()) AllocatePixels();
    if (Pixels_.Empty()) throw EGIFException(GIFText::ImageEmpty);
}

bool TGIFSubImage::Empty() const {
    return Pixels_.Empty() || Width() == 0 || Height() == 0;
}

void TGIFSubImage::PrepareForWrite() {
    if (ColorMap_.Count() == 0) {
        Descriptor_.PackedFields &= static_cast<std::uint8_t>(~(0x80 | 0x20 | 0x07));
    } else {
        std::uint8_t packed = 0x80;
        if (ColorMap_.Sorted()) packed |= 0x20;
        packed |= static_cast<std::uint8_t>((ColorMap_.EntryBits() - 1) & 7);
        Descriptor_.PackedFields = packed;
    }
}

void TGIFSubImage::SaveToStream(TStream& stream) {
    Extensions_.SaveToStream(stream);
    if (Empty()) return;
    PrepareForWrite();
    std::uint8_t d[10] = {0x2C,
                          static_cast<std::uint8_t>(Descriptor_.Left),
                          static_cast<std::uint8_t>(Descriptor_.Left >> 8),
                          static_cast<std::uint8_t>(Descriptor_.Top),
                          static_cast<std::uint8_t>(Descriptor_.Top >> 8),
                          static_cast<std::uint8_t>(Descriptor_.Width),
                          static_cast<std::uint8_t>(Descriptor_.Width >> 8),
                          static_cast<std::uint8_t>(Descriptor_.Height),
                          static_cast<std::uint8_t>(Descriptor_.Height >> 8),
                          Descriptor_.PackedFields};
    stream.Write(d, 10);
    ColorMap_.WriteEntries(stream);
    int bits;
    int limit;
    if (ColorMap_.Count() > 0) {
        bits = ColorMap_.EntryBits();
        limit = ColorMap_.Count();
    } else {
        bits = Image_ ? Image_->HighestEntryBits() : 0;
        limit = 1 << bits;
    }
    if (CodeBits_ > 0 && CodeBits_ < bits) bits = CodeBits_, limit = std::min(limit, 1 << bits);
    Compress(stream, bits, limit);
}

void TGIFSubImage::Compress(TStream& stream, int bitsPerPixel, int colorLimit) {
    TGIFWarningEvent warn;
    if (Image_) {
        TGIFPicture* image = Image_;
        warn = [image](const TGIFObject* sender, int severity, const std::string& text) {
            image->Warning(sender, severity, text);
        };
    }
    if (Image_ && Image_->CompressionMethod == CompressRLE) {
        TRLEEncoder encoder(warn);
        encoder.Compress(stream, bitsPerPixel, colorLimit, Pixels(), IsInterlaced(), Height(), Width());
    } else {
        TLZWEncoder encoder(warn);
        encoder.Compress(stream, bitsPerPixel, colorLimit, Pixels(), IsInterlaced(), Height(), Width());
    }
}

void TGIFSubImage::LoadFromStream(TStream& stream) {
    ClearAll();
    Extensions_.LoadFromStream(stream, this);
    const int next = stream.ReadByte();
    if (next < 0 || next == ';' || next == 0) {
        if (next >= 0) stream.Seek(-1);
        return; // extensions only
    }
    stream.Seek(-1);
    std::uint8_t d[10];
    if (stream.Read(d, 10) != 10) throw EGIFException(GIFText::PrematureEnd);
    Descriptor_.Separator = d[0];
    Descriptor_.Left = static_cast<std::uint16_t>(d[1] | (d[2] << 8));
    Descriptor_.Top = static_cast<std::uint16_t>(d[3] | (d[4] << 8));
    std::uint16_t width = static_cast<std::uint16_t>(d[5] | (d[6] << 8));
    std::uint16_t height = static_cast<std::uint16_t>(d[7] | (d[8] << 8));
    Descriptor_.PackedFields = d[9];
    if (width == 0 || height == 0) {
        width = static_cast<std::uint16_t>(Image_ ? Image_->Width() : 0);
        height = static_cast<std::uint16_t>(Image_ ? Image_->Height() : 0);
        ReportWarning(GIFText::ImageExceedsScreen);
    }
    Descriptor_.Width = width;
    Descriptor_.Height = height;
    if (Image_) {
        const TGIFReadLimits& limits = Image_->ReadLimits;
        if (limits.MaxFrameSide > 0 && (width > limits.MaxFrameSide || height > limits.MaxFrameSide))
            throw EGIFException(GIFText::ImageTooLarge);
        if (limits.FramesInsideScreen &&
            (Left() + width > Image_->Width() || Top() + height > Image_->Height()))
            throw EGIFException(GIFText::ImageOutsideScreen);
    }
    if (Descriptor_.PackedFields & 0x80) ColorMap_.ReadEntries(stream, 2 << (Descriptor_.PackedFields & 7));
    // Refuse sizes the data cannot stand for before allocating: an LZW code of at most 12 bits
    // never stands for more than 4096 pixels (a frame without data may still hold 65536).
    const std::int64_t pixels = static_cast<std::int64_t>(width) * height;
    if (pixels > (std::int64_t(1) << 16) + stream.Remaining() * 4096)
        throw EGIFException(GIFText::ImageTooLargeForData);
    if (Image_) Image_->ChargePixels(pixels);
    TLZWDecoder decoder(stream, this);
    decoder.Decode(*this);
}
