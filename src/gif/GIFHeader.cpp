#include "GIFHeader.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "GIFException.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"
#include "Stream.h"

TGIFHeader::TGIFHeader(TGIFPicture* image) : TGIFItem(image), ColorMap_(this) {}

void TGIFHeader::CopyFrom(const TGIFHeader& source) {
    if (&source == this) return;
    ColorMap_.CopyFrom(source.ColorMap_);
    LSD_ = source.LSD_;
}

void TGIFHeader::CopyFrom(const TGIFColorMap& source) {
    Clear();
    ColorMap_.CopyFrom(source);
}

void TGIFHeader::Clear() {
    ColorMap_.ClearColors();
    LSD_ = TLogicalScreenDescriptor();
}

TGIFColor TGIFHeader::BackgroundColor() const {
    return ColorMap_.ColorAt(LSD_.BackgroundColorIndex);
}

void TGIFHeader::PrepareForWrite() {
    int highest = ColorMap_.EntryBits();
    if (Image_)
        for (const TGIFSubImage* frame : Image_->Images())
            highest = std::max(highest, frame->ColorMap().EntryBits());
    std::uint8_t packed = 0;
    if (ColorMap_.Count() > 0) {
        packed |= 0x80;
        if (ColorMap_.Sorted()) packed |= 0x08;
    }
    packed |= static_cast<std::uint8_t>(((highest - 1) & 7) << 4);
    if (ColorMap_.Count() > 0)
        packed |= static_cast<std::uint8_t>((ColorMap_.EntryBits() - 1) & 7);
    else
        packed |= static_cast<std::uint8_t>((highest - 1) & 7);
    LSD_.PackedFields = packed;
}

void TGIFHeader::SaveToStream(TStream& stream) {
    const int version = Image_ ? Image_->RequiredVersion() : 1;
    if (version == 0) throw EGIFException(GIFText::UnsupportedVersion);
    stream.Write(version == 1 ? "GIF87a" : "GIF89a", 6);
    PrepareForWrite();
    const std::uint8_t lsd[7] = {static_cast<std::uint8_t>(LSD_.ScreenWidth),
                                 static_cast<std::uint8_t>(LSD_.ScreenWidth >> 8),
                                 static_cast<std::uint8_t>(LSD_.ScreenHeight),
                                 static_cast<std::uint8_t>(LSD_.ScreenHeight >> 8),
                                 LSD_.PackedFields,
                                 LSD_.BackgroundColorIndex,
                                 LSD_.AspectRatio};
    stream.Write(lsd, 7);
    if (LSD_.PackedFields & 0x80) ColorMap_.WriteEntries(stream);
}

namespace {
bool IsSignature(const std::uint8_t* b) {
    return std::toupper(b[0]) == 'G' && std::toupper(b[1]) == 'I' && std::toupper(b[2]) == 'F';
}
} // namespace

void TGIFHeader::LoadFromStream(TStream& stream) {
    const std::int64_t start = stream.Position();
    std::uint8_t sig[6];
    if (stream.Read(sig, 6) != 6) throw EGIFException(GIFText::PrematureEnd);
    if (!IsSignature(sig)) {
        // Up to 4 bytes of anything may stand before the signature.
        stream.SetPosition(start + 4);
        if (stream.Read(sig, 6) != 6 || !IsSignature(sig)) throw EGIFException(GIFText::InvalidSignature);
    }
    std::uint8_t lsd[7];
    if (stream.Read(lsd, 7) != 7) throw EGIFException(GIFText::PrematureEnd);
    LSD_.ScreenWidth = static_cast<std::uint16_t>(lsd[0] | (lsd[1] << 8));
    LSD_.ScreenHeight = static_cast<std::uint16_t>(lsd[2] | (lsd[3] << 8));
    LSD_.PackedFields = lsd[4];
    LSD_.BackgroundColorIndex = lsd[5];
    LSD_.AspectRatio = lsd[6];
    if (Image_) {
        const int limit = Image_->ReadLimits.MaxScreenSide;
        if (limit > 0 && (LSD_.ScreenWidth > limit || LSD_.ScreenHeight > limit))
            throw EGIFException(GIFText::ScreenTooLarge);
    }
    if (LSD_.PackedFields & 0x80)
        ColorMap_.ReadEntries(stream, 2 << (LSD_.PackedFields & 7));
    else
        ColorMap_.ClearColors();
}
