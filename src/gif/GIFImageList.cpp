#include "GIFImageList.h"

#include "GIFException.h"
#include "GIFExtensions.h"
#include "GIFFrameExtensionList.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"
#include "Stream.h"

namespace {
// Next byte that is not zero; -1 at the end of the data.
int ReadSkippingZeros(TStream& stream) {
    int b;
    do
        b = stream.ReadByte();
    while (b == 0);
    return b;
}
} // namespace

TGIFImageList::~TGIFImageList() {
    ClearAll();
}

bool TGIFImageList::LoadFromStream(TStream& stream, TGIFPicture* image) {
    int b = ReadSkippingZeros(stream);
    if (b < 0) return true;
    while (b != ';') {
        stream.Seek(-1);
        if (b != '!' && b != ',') {
            if (image) image->Warning(this, 1, GIFText::UnknownBlockType);
            // Stepping back once more leaves the byte before the unknown one for the trailer.
            stream.Seek(-1);
            return true;
        }
        // The frame bounds are checked here, where every frame starts, whatever stood before it.
        if (image) {
            const TGIFReadLimits& limits = image->ReadLimits;
            if (limits.FramesWanted > 0 && ItemCount() >= limits.FramesWanted) return false;
            if (limits.MaxFrames > 0 && ItemCount() >= limits.MaxFrames)
                throw EGIFException(GIFText::TooManyImages);
        }
        auto frame = std::make_unique<TGIFSubImage>(image);
        frame->LoadFromStream(stream);
        AppendItem(std::move(frame));
        if (image && image->OnProgress) {
            const std::int64_t size = stream.Size();
            image->Progress(1, size > 0 ? static_cast<int>(stream.Position() * 100 / size) : 100,
                            GIFText::Loading);
        }
        b = ReadSkippingZeros(stream);
        if (b < 0) return true;
    }
    stream.Seek(-1);
    return true;
}

TGIFFrameExtensionList::~TGIFFrameExtensionList() {
    ClearAll();
}

void TGIFFrameExtensionList::LoadFromStream(TStream& stream, TGIFSubImage* frame) {
    int b = stream.ReadByte();
    if (b < 0) return;
    while (b != ',' && b != ';') {
        if (b != '!') {
            if (frame) frame->ReportWarning(GIFText::InvalidExtensionIntroducer);
            break;
        }
        const TGIFExtensionClass* cls = FindExtensionClass(stream);
        if (!cls) throw EGIFException(GIFText::UnknownExtensionType);
        stream.Seek(-1);
        if (frame && frame->Image()) frame->Image()->ChargeBlocks(1);
        std::unique_ptr<TGIFBaseExtension> ext(cls->Create(frame));
        ext->LoadFromStream(stream);
        AppendItem(std::move(ext));
        b = stream.ReadByte();
        if (b < 0) return;
    }
    stream.Seek(-1);
}
