#pragma once
// Any block object of a GIF file; it knows the picture that owns it and reports its warnings there.

#include <string>

#include "GIFObject.h"

class TGIFPicture;
class TStream;

class TGIFItem : public TGIFObject {
  public:
    explicit TGIFItem(TGIFPicture* image) : Image_(image) {}

    TGIFPicture* Image() const { return Image_; }
    void SetImage(TGIFPicture* image) { Image_ = image; }
    // 1 for GIF87a, 2 for GIF89a.
    virtual int RequiredVersion() const { return 1; }
    // Passes a warning (severity 1) to the owning picture's OnCodecWarning.
    virtual void ReportWarning(const std::string& text) const;
    virtual void SaveToStream(TStream& stream) = 0;
    virtual void LoadFromStream(TStream& stream) = 0;
    // Writes the item to memory, then the bytes to the file with the safe writer (TSafeFile): the file
    // is replaced only when everything was encoded and written; otherwise the error passes on.
    void SaveToPath(const std::string& path);
    // Reads the whole file, then loads from it.
    void LoadFromPath(const std::string& path);

  protected:
    TGIFPicture* Image_;
};
