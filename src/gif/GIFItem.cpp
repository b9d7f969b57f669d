#include "GIFItem.h"

#include "GIFPicture.h"
#include "Stream.h"

void TGIFItem::ReportWarning(const std::string& text) const {
    if (Image_) Image_->Warning(this, 1, text);
}

void TGIFItem::SaveToPath(const std::string& path) {
    TFileStream file(path, TFileStream::Create);
    SaveToStream(file);
}

void TGIFItem::LoadFromPath(const std::string& path) {
    TMemoryStream data(ReadWholeFile(path));
    LoadFromStream(data);
}
