#pragma once
// The extension blocks of one frame, in file order.

#include "GIFList.h"

class TGIFBaseExtension;
class TGIFSubImage;

class TGIFFrameExtensionList : public TGIFList<TGIFBaseExtension> {
  public:
    TGIFFrameExtensionList() = default;
    ~TGIFFrameExtensionList() override;
    // Reads the extensions that precede a frame's image (or the trailer).
    void LoadFromStream(TStream& stream, TGIFSubImage* frame);
};
