#pragma once
// One frame of a GIF file: Image Descriptor, local colour table, one colour index per pixel and
// the extension blocks written before the image.

#include <cstdint>
#include <memory>
#include <vector>

#include "GIFColorMap.h"
#include "GIFFrameExtensionList.h"
#include "GIFItem.h"

class TGIFGraphicControlExtension;
struct TGIFFrameCaches;

// The 10 bytes of the Image Descriptor, as in the file.
struct TImageDescriptor {
    std::uint8_t Separator = 0x2C;
    std::uint16_t Left = 0;
    std::uint16_t Top = 0;
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    std::uint8_t PackedFields = 0; // 0x80 local table, 0x40 interlace, 0x20 sorted, 0x18 reserved, 0x07 size
};

// Plain bounds of a frame inside the logical screen.
struct TGIFBounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// A frame's index bytes. A frame of up to 16 pixels keeps them in itself (files of many tiny
// frames then cost one allocation less per frame); a larger one on the heap.
class TGIFPixelBuffer {
  public:
    static constexpr std::size_t InlineBytes = 16;

    TGIFPixelBuffer() = default;
    TGIFPixelBuffer(const TGIFPixelBuffer& other) { *this = other; }
    TGIFPixelBuffer& operator=(const TGIFPixelBuffer& other);
    ~TGIFPixelBuffer() { Release(); }

    std::uint8_t* Data() { return Heap_ ? Heap_ : Inline_; }
    const std::uint8_t* Data() const { return Heap_ ? Heap_ : Inline_; }
    std::size_t Size() const { return Size_; }
    bool Empty() const { return Size_ == 0; }
    // n bytes of value v (the storage is kept when it is large enough).
    void Assign(std::size_t n, std::uint8_t v);
    // No bytes and no storage.
    void Release();

  private:
    std::uint8_t* Heap_ = nullptr;
    std::size_t Capacity_ = 0; // of Heap_
    std::size_t Size_ = 0;
    std::uint8_t Inline_[InlineBytes] = {};
};

class TGIFSubImage : public TGIFItem {
  public:
    explicit TGIFSubImage(TGIFPicture* image);
    // Detaches itself from its picture's frame list first.
    ~TGIFSubImage() override;

    // Copies descriptor, transparency, pixels, local table, extensions (as new objects) and
    // the rendered bitmap; an empty source gives an empty frame.
    void CopyFrom(const TGIFSubImage& source);
    void ClearAll();
    void SaveToStream(TStream& stream) override;
    void LoadFromStream(TStream& stream) override;
    int RequiredVersion() const override;

    // The local table when it has entries, else the global one when that has entries, else the
    // (empty) local table.
    TGIFColorMap& ActiveColorTable();
    const TGIFColorMap& ActiveColorTable() const;
    TGIFLocalColorMap& ColorMap() { return ColorMap_; }
    const TGIFLocalColorMap& ColorMap() const { return ColorMap_; }
    TGIFFrameExtensionList& Extensions() { return Extensions_; }
    const TGIFFrameExtensionList& Extensions() const { return Extensions_; }

    const TImageDescriptor& Descriptor() const { return Descriptor_; }
    bool IsInterlaced() const { return (Descriptor_.PackedFields & 0x40) != 0; }
    void SetInterlaced(bool on);
    int Left() const { return Descriptor_.Left; }
    int Top() const { return Descriptor_.Top; }
    int Width() const { return Descriptor_.Width; }
    int Height() const { return Descriptor_.Height; }
    TGIFBounds BoundsRect() const { return {Left(), Top(), Width(), Height()}; }
    // Reallocates (zero-filled) when the size changes, and grows the logical screen to hold the
    // frame, with warnings when a non-empty screen had to grow.
    void SetFrameBounds(int left, int top, int width, int height);
    void SetLeft(int left) { SetFrameBounds(left, Top(), Width(), Height()); }
    void SetTop(int top) { SetFrameBounds(Left(), top, Width(), Height()); }
    void SetWidth(int width) { SetFrameBounds(Left(), Top(), width, Height()); }
    void SetHeight(int height) { SetFrameBounds(Left(), Top(), Width(), height); }

    std::uint8_t PixelAt(int x, int y);
    std::uint8_t* RowAt(int y);
    // A fresh zero-filled buffer of width x height bytes (none when that is 0).
    void AllocatePixels();
    void ReleasePixels();
    // Allocates a missing buffer; raises "Image is empty" for a 0-pixel frame.
    void RequirePixels();
    std::uint8_t* Pixels() { return Pixels_.Empty() ? nullptr : Pixels_.Data(); }
    const std::uint8_t* Pixels() const { return Pixels_.Empty() ? nullptr : Pixels_.Data(); }
    std::size_t PixelBytes() const { return Pixels_.Size(); }
    bool Empty() const;

    // Recomputes the descriptor's packed byte before writing.
    void PrepareForWrite();
    // Writes the image data with the picture's encoder (LZW unless CompressionMethod is 1).
    void Compress(TStream& stream, int bitsPerPixel, int colorLimit);
    // Bits per pixel for the image data when fewer than the colour table's (0, the default: the table's):
    // a frame whose indices all lie below 2^bits is written with that LZW Minimum Code Size, and shorter
    // codes. An index at or above 2^bits fails the write ("Color not in color table").
    int CodeBits() const { return CodeBits_; }
    void SetCodeBits(int bits) { CodeBits_ = bits; }

    // Mirrors the Transparent Color Flag of the graphic control extension.
    bool Transparent() const { return Transparent_; }
    void SetTransparentField(bool on) { Transparent_ = on; }
    TGIFGraphicControlExtension* GraphicControlExtension() const { return GraphicControlExtension_; }
    void SetGraphicControlExtension(TGIFGraphicControlExtension* ext) { GraphicControlExtension_ = ext; }

    // Drops the rendered bitmap, mask and palette caches (colours or bounds changed).
    void DropCaches();

    // The rendering's caches of this frame (GIFRender.h), made on first use; the codec only owns
    // them and has them dropped when its colours or bounds change.
    std::unique_ptr<TGIFFrameCaches>& RenderCaches() { return RenderCaches_; }

  private:
    TGIFPixelBuffer Pixels_;
    int CodeBits_ = 0;
    TGIFLocalColorMap ColorMap_;
    TImageDescriptor Descriptor_;
    TGIFFrameExtensionList Extensions_;
    bool Transparent_ = false;
    TGIFGraphicControlExtension* GraphicControlExtension_ = nullptr;
    std::unique_ptr<TGIFFrameCaches> RenderCaches_;
};
