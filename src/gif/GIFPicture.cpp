#include "GIFPicture.h"

#include <algorithm>

#include "GIFException.h"
#include "GIFExtensions.h"
#include "GIFRender.h"
#include "GIFSubImage.h"
#include "GIFTrailer.h"
#include "SafeFile.h"
#include "Stream.h"

TGIFPicture::TGIFPicture()
    : ReductionMethod(static_cast<TReductionMethod>(DefaultReductionMethod)),
      DitherMethod(static_cast<TDitherMethod>(DefaultDitherMethod)),
      RenderCaches_(std::make_unique<TGIFPictureCaches>()), Header_(this) {
    ClearAll();
}

TGIFPicture::~TGIFPicture() {
    if (Attachment_) {
        Attachment_->StopWork(*this);
        Attachment_->Destroying(*this);
        Attachment_.reset();
    }
    ClearAll();
}

void TGIFPicture::SetAttachment(std::unique_ptr<TGIFPictureAttachment> attachment) {
    Attachment_ = std::move(attachment);
}

void TGIFPicture::StopAttachedWork() {
    if (Attachment_) Attachment_->StopWork(*this);
}

void TGIFPicture::ClearAll() {
    StopAttachedWork();
    auto lock = LockRendering(this);
    DropComposite(*this);
    Images_.ClearAll();
    Header_.ColorMap().ClearColors();
    Header_.SetWidth(0);
    Header_.SetHeight(0);
    Header_.PrepareForWrite();
    RenderCaches_->GlobalPalette.reset();
}

void TGIFPicture::SetWidth(int width) {
    for (const TGIFSubImage* frame : Images_)
        if (frame->Left() + frame->Width() > width) throw EGIFException(GIFText::ImageWidthTooSmall);
    if (width != Header_.Width()) {
        Header_.SetWidth(width);
        DropComposite(*this);
        Changed();
    }
}

void TGIFPicture::SetHeight(int height) {
    for (const TGIFSubImage* frame : Images_)
        if (frame->Top() + frame->Height() > height) throw EGIFException(GIFText::ImageHeightTooSmall);
    if (height != Header_.Height()) {
        Header_.SetHeight(height);
        DropComposite(*this);
        Changed();
    }
}

int TGIFPicture::AddFrame(std::unique_ptr<TGIFSubImage> frame) {
    if (!frame) throw EGIFException(GIFText::UnsupportedObjectType);
    // A frame that belongs to another picture leaves that picture's list.
    if (frame->Image() != this) {
        if (frame->Image()) frame->Image()->Images().Detach(frame.get());
        frame->SetImage(this);
        for (TGIFBaseExtension* ext : frame->Extensions())
            ext->SetImage(this);
    }
    // A frame that already stands in this list stays where it is: the list owns it already.
    if (const int listed = Images_.IndexOf(frame.get()); listed >= 0) {
        static_cast<void>(frame.release()); // owned by the list
        return listed;
    }
    const int index = Images_.AppendItem(std::move(frame));
    DropComposite(*this);
    Changed();
    return index;
}

void TGIFPicture::CopyFrom(const TGIFPicture* source) {
    if (source == this) return;
    ClearAll();
    if (!source) return;
    Header_.CopyFrom(source->Header_);
    PainterPriority = source->PainterPriority;
    PaintBackground = source->PaintBackground;
    PaintFlags = source->PaintFlags;
    ReductionMethod = source->ReductionMethod;
    DitherMethod = source->DitherMethod;
    PinnedFrame = source->PinnedFrame;
    OnCodecWarning = source->OnCodecWarning;
    const int count = source->Images_.ItemCount();
    for (int i = 0; i < count; ++i) {
        auto frame = std::make_unique<TGIFSubImage>(this);
        frame->CopyFrom(*source->Images_.ItemAt(i));
        AddFrame(std::move(frame));
        Progress(1, (i + 1) * 100 / count, GIFText::Copying);
    }
}

int TGIFPicture::RequiredVersion() const {
    int version = 0;
    for (const TGIFSubImage* frame : Images_) {
        version = std::max(version, frame->RequiredVersion());
        if (version >= 2) break;
    }
    return version;
}

int TGIFPicture::HighestEntryBits() const {
    if (SavingEntryBits_ >= 0) return SavingEntryBits_;
    int highest = Header_.ColorMap().EntryBits();
    GIFListSteps += static_cast<std::uint64_t>(Images_.ItemCount());
    for (const TGIFSubImage* frame : Images_)
        highest = std::max(highest, frame->ColorMap().EntryBits());
    return highest;
}

void TGIFPicture::SaveToStream(TStream& stream) {
    Progress(0, 0, GIFText::Saving);
    // The tables do not change while writing: the highest bits per entry is counted once.
    SavingEntryBits_ = -1;
    SavingEntryBits_ = HighestEntryBits();
    struct TForget {
        int& Bits;
        ~TForget() { Bits = -1; }
    } forget{SavingEntryBits_};
    try {
        Header_.SaveToStream(stream);
        const int count = Images_.ItemCount();
        int written = 0;
        for (TGIFSubImage* frame : Images_) {
            frame->SaveToStream(stream);
            ++written;
            Progress(1, written * 100 / count, GIFText::Saving);
        }
        TGIFTrailer(this).SaveToStream(stream);
    } catch (...) {
        Progress(2, 0, GIFText::Saving);
        throw;
    }
    Progress(2, 100, GIFText::Saving);
}

void TGIFPicture::ChargePixels(std::int64_t pixels) {
    if (!Loading_) return;
    PixelBudget_ -= pixels;
    if (PixelBudget_ < 0) throw EGIFException(GIFText::ImageTooLargeForData);
    PixelsRead_ += pixels;
    if (ReadLimits.MaxPixels > 0 && PixelsRead_ > ReadLimits.MaxPixels)
        throw EGIFException(GIFText::PixelLimit);
}

void TGIFPicture::ChargeBlocks(std::int64_t blocks) {
    if (!Loading_) return;
    BlocksRead_ += blocks;
    if (ReadLimits.MaxBlocks > 0 && BlocksRead_ > ReadLimits.MaxBlocks)
        throw EGIFException(GIFText::TooManyBlocks);
}

void TGIFPicture::LoadFromStream(TStream& stream) {
    Progress(0, 0, GIFText::Loading);
    ClearAll();
    const std::int64_t start = stream.Position();
    // All frames together may declare no more pixels than the data could stand for.
    Loading_ = true;
    PixelBudget_ = (std::int64_t(1) << 22) + stream.Remaining() * 4096;
    PixelsRead_ = 0;
    BlocksRead_ = 0;
    try {
        Header_.LoadFromStream(stream);
        // A read that stopped after the frames wanted leaves the rest, trailer included, unread.
        if (Images_.LoadFromStream(stream, this)) TGIFTrailer(this).LoadFromStream(stream);
    } catch (...) {
        Loading_ = false;
        stream.SetPosition(start);
        Progress(2, 0, GIFText::Loading);
        throw;
    }
    Loading_ = false;
    Progress(2, 100, GIFText::Loading);
}

void TGIFPicture::SaveToPath(const std::string& path) {
    // Encoded whole in memory first, then written by the safe writer: a failure while encoding (such as
    // "Color not in color table") or writing leaves the target as it was.
    TSafeFile::WriteAll(path, SaveToBuffer());
}

void TGIFPicture::LoadFromPath(const std::string& path) {
    TMemoryStream data(ReadWholeFile(path));
    LoadFromStream(data);
}

std::vector<std::uint8_t> TGIFPicture::SaveToBuffer() {
    TMemoryStream buffer;
    SaveToStream(buffer);
    return buffer.TakeData();
}

void TGIFPicture::LoadFromBuffer(const std::uint8_t* data, std::size_t size) {
    TMemoryReader buffer(data, size);
    LoadFromStream(buffer);
}

void TGIFPicture::EnableAnimation(bool on) {
    const std::uint16_t flags = on ? static_cast<std::uint16_t>(PaintFlags | pfAnimate)
                                   : static_cast<std::uint16_t>(PaintFlags & ~pfAnimate);
    if (flags == PaintFlags) return;
    PaintFlags = flags;
    if (Attachment_) Attachment_->AnimationChanged(*this);
    DropCaches();
    if (GlobalColorMap().Count() == 0 && Images_.ItemCount() == 1) {
        TGIFSubImage* frame = Images_.ItemAt(0);
        GlobalColorMap().CopyFrom(frame->ColorMap());
        frame->ColorMap().ClearColors();
        frame->DropCaches();
    }
    Changed();
}

void TGIFPicture::Warning(const TGIFObject* sender, int severity, const std::string& text) const {
    if (OnCodecWarning) OnCodecWarning(sender, severity, text);
}

void TGIFPicture::Progress(int stage, int percent, const std::string& message) {
    if (OnProgress) OnProgress(this, stage, percent, message);
}

void TGIFPicture::Changed() {
    if (OnChange) OnChange(*this);
}

void TGIFPicture::DropCaches() {
    auto lock = LockRendering(this);
    DropPictureCaches(*this);
    for (TGIFSubImage* frame : Images_)
        frame->DropCaches();
}
