#pragma once
// Header and Logical Screen Descriptor of a GIF file, with the global colour table.

#include <cstdint>

#include "GIFColorMap.h"
#include "GIFItem.h"

// The 7 bytes of the Logical Screen Descriptor, as in the file.
struct TLogicalScreenDescriptor {
    std::uint16_t ScreenWidth = 0;
    std::uint16_t ScreenHeight = 0;
    std::uint8_t PackedFields = 0; // 0x80 global table, 0x70 colour resolution, 0x08 sorted, 0x07 size
    std::uint8_t BackgroundColorIndex = 0;
    std::uint8_t AspectRatio = 0;
};

class TGIFHeader : public TGIFItem {
  public:
    explicit TGIFHeader(TGIFPicture* image);

    void CopyFrom(const TGIFHeader& source);
    // Clears the header and takes the colours of a table as its global table.
    void CopyFrom(const TGIFColorMap& source);
    void Clear();
    // Recomputes the packed byte from the global table and every frame's local table.
    void PrepareForWrite();
    void SaveToStream(TStream& stream) override;
    void LoadFromStream(TStream& stream) override;

    const TLogicalScreenDescriptor& Descriptor() const { return LSD_; }
    int Width() const { return LSD_.ScreenWidth; }
    int Height() const { return LSD_.ScreenHeight; }
    // Raw setters: no checks against the frames (TGIFPicture::SetWidth checks).
    void SetWidth(int width) { LSD_.ScreenWidth = static_cast<std::uint16_t>(width); }
    void SetHeight(int height) { LSD_.ScreenHeight = static_cast<std::uint16_t>(height); }
    std::uint8_t PackedFields() const { return LSD_.PackedFields; }
    std::uint8_t BackgroundColorIndex() const { return LSD_.BackgroundColorIndex; }
    void SetBackgroundColorIndex(std::uint8_t index) { LSD_.BackgroundColorIndex = index; }
    std::uint8_t AspectRatio() const { return LSD_.AspectRatio; }
    void SetAspectRatio(std::uint8_t ratio) { LSD_.AspectRatio = ratio; }
    // The colour of the Background Color Index in the global table.
    TGIFColor BackgroundColor() const;
    // Bits per entry of the global table, and that minus 1.
    int BitsPerPixel() const { return ColorMap_.EntryBits(); }
    int ColorResolution() const { return ColorMap_.EntryBits() - 1; }

    TGIFGlobalColorMap& ColorMap() { return ColorMap_; }
    const TGIFGlobalColorMap& ColorMap() const { return ColorMap_; }

  private:
    TLogicalScreenDescriptor LSD_;
    TGIFGlobalColorMap ColorMap_;
};
