#pragma once
// The trailer byte (0x3B) that ends a GIF file. Made only while reading or writing.

#include "GIFItem.h"

class TGIFTrailer : public TGIFItem {
  public:
    explicit TGIFTrailer(TGIFPicture* image) : TGIFItem(image) {}
    void SaveToStream(TStream& stream) override;
    // Anything but 0x3B draws the warning "Invalid Image trailer"; the end of the data is fine.
    void LoadFromStream(TStream& stream) override;
};
