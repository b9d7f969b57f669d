#pragma once
// The frames of a picture, in file order.

#include "GIFList.h"

class TGIFSubImage;
class TGIFPicture;

class TGIFImageList : public TGIFList<TGIFSubImage> {
  public:
    TGIFImageList() = default;
    ~TGIFImageList() override;
    // Reads frames up to the trailer (which it leaves for the trailer reader); false when it stopped
    // early after the frames the picture's ReadLimits want, leaving the rest unread.
    bool LoadFromStream(TStream& stream, TGIFPicture* image);
};
