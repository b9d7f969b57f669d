#include "GIFItem.h"

#include "GIFPicture.h"
#include "SafeFile.h"
#include "Stream.h"

void TGIFItem::ReportWarning(const std::string& text) const {
    if (Image_) Image_->Warning(this, 1, text);
}

void TGIFItem::SaveToPath(const std::string& path) {
    // Written whole in memory first: a failure while encoding leaves the target untouched.
    TMemoryStream buffer;
    SaveToStream(buffer);
    TSafeFile::WriteAll(path, buffer.Data());
}

void TGIFItem::LoadFromPath(const std::string& path) {
    TMemoryStream data(ReadWholeFile(path));
    LoadFromStream(data);
}
