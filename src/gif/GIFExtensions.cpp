#include "GIFExtensions.h"

#include <algorithm>
#include <cstring>

#include "GIFException.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"
#include "Stream.h"

namespace {

void ReadExact(TStream& stream, void* buffer, std::size_t n) {
    if (stream.Read(buffer, n) != n) throw EGIFException(GIFText::PrematureEnd);
}

// Charges one kept block against the bounds of a load in progress.
void ChargeBlock(const TGIFItem& item) {
    if (TGIFPicture* image = item.Image()) image->ChargeBlocks(1);
}

// One line per data sub-block, each cut at its first zero byte; the end of the data ends quietly.
void ReadTextLines(const TGIFItem& owner, TStream& stream, std::vector<std::string>& lines) {
    lines.clear();
    std::uint8_t buffer[255];
    int size = stream.ReadByte();
    while (size > 0) {
        ChargeBlock(owner);
        ReadExact(stream, buffer, static_cast<std::size_t>(size));
        const std::uint8_t* zero =
            static_cast<const std::uint8_t*>(std::memchr(buffer, 0, static_cast<std::size_t>(size)));
        lines.emplace_back(reinterpret_cast<const char*>(buffer),
                           zero ? static_cast<std::size_t>(zero - buffer) : static_cast<std::size_t>(size));
        size = stream.ReadByte();
    }
}

// Each line as sub-blocks of at most 255 bytes (an empty line writes nothing), then 0x00.
void WriteTextLines(TStream& stream, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        for (std::size_t at = 0; at < line.size(); at += 255) {
            const std::size_t n = std::min<std::size_t>(255, line.size() - at);
            stream.WriteByte(static_cast<std::uint8_t>(n));
            stream.Write(line.data() + at, n);
        }
    stream.WriteByte(0);
}

const TGIFExtensionClass* ResolveSelf(const TGIFExtensionClass* self, TStream&) {
    return self;
}

// Application extensions look at the identification to find a registered class.
const TGIFExtensionClass* ResolveApplication(const TGIFExtensionClass* self, TStream& stream) {
    const std::int64_t start = stream.Position();
    const int blockSize = stream.ReadByte();
    if (blockSize < 0) return nullptr;
    TGIFAppIdentification ident;
    if (blockSize == 10) {
        if (stream.Read(ident.data(), 10) != 10) return nullptr;
        return &TGIFUnknownAppExtension::Class();
    }
    if (blockSize == 11 && stream.Read(ident.data(), 11) == 11) {
        const TGIFExtensionClass* cls = TAppExtensionList::Instance().Find(ident);
        return cls ? cls : &TGIFUnknownAppExtension::Class();
    }
    stream.SetPosition(start);
    return self;
}

template <class T> TGIFBaseExtension* Make(TGIFSubImage* frame) {
    return new T(frame);
}

void PutU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
std::uint16_t GetU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

} // namespace

// Base --------------------------------------------------------------------------------------

TGIFBaseExtension::TGIFBaseExtension(TGIFSubImage* frame)
    : TGIFItem(frame ? frame->Image() : nullptr), Frame_(frame) {}

TGIFBaseExtension::~TGIFBaseExtension() {
    if (Frame_) Frame_->Extensions().Detach(this);
}

void TGIFBaseExtension::SaveToStream(TStream& stream) {
    const std::uint8_t head[2] = {0x21, ExtensionLabel()};
    stream.Write(head, 2);
    SaveData(stream);
}

void TGIFBaseExtension::LoadFromStream(TStream& stream) {
    std::uint8_t head[2];
    ReadExact(stream, head, 2);
    if (head[0] != 0x21) throw EGIFException(GIFText::InvalidExtensionIntroducer);
    if (head[1] != ExtensionLabel()) throw EGIFException(GIFText::ExtensionLabelMismatch);
    LoadData(stream);
}

// Graphic control ---------------------------------------------------------------------------

const TGIFExtensionClass& TGIFGraphicControlExtension::Class() {
    static const TGIFExtensionClass cls{"TGIFGraphicControlExtension", &Make<TGIFGraphicControlExtension>,
                                        &ResolveSelf};
    return cls;
}

TGIFGraphicControlExtension::TGIFGraphicControlExtension(TGIFSubImage* frame) : TGIFBaseExtension(frame) {
    if (frame && !frame->GraphicControlExtension()) frame->SetGraphicControlExtension(this);
}

TGIFGraphicControlExtension::~TGIFGraphicControlExtension() {
    if (TGIFSubImage* frame = Frame()) {
        if (Transparent()) frame->SetTransparentField(false);
        if (frame->GraphicControlExtension() == this) frame->SetGraphicControlExtension(nullptr);
    }
}

void TGIFGraphicControlExtension::SetDisposal(int disposal) {
    Record_.PackedFields =
        static_cast<std::uint8_t>((Record_.PackedFields & 0xE3) | ((disposal << 2) & 0x1C));
}

void TGIFGraphicControlExtension::SetTransparent(bool on) {
    if (TGIFSubImage* frame = Frame()) frame->SetTransparentField(on);
    if (on)
        Record_.PackedFields |= 0x01;
    else
        Record_.PackedFields &= static_cast<std::uint8_t>(~0x01);
}

void TGIFGraphicControlExtension::SetTransparentColorIndex(int index) {
    if (TGIFSubImage* frame = Frame()) {
        const TGIFColorMap& table = frame->ActiveColorTable();
        if (table.Count() > 0 && index >= table.Count()) {
            ReportWarning(GIFText::InvalidColorIndex);
            index = 0;
        }
    }
    Record_.TransparentColorIndex = static_cast<std::uint8_t>(index);
}

TGIFColor TGIFGraphicControlExtension::TransparentColor() const {
    if (!Frame()) throw EGIFException(GIFText::ColorTableEmpty);
    return Frame()->ActiveColorTable().ColorAt(Record_.TransparentColorIndex);
}

void TGIFGraphicControlExtension::SaveData(TStream& stream) {
    // Always the block GIF89a defines: 4 bytes and a 0 terminator, whatever a damaged file said there
    // (other readers refuse any other size).
    std::uint8_t b[6] = {4, Record_.PackedFields, 0, 0, Record_.TransparentColorIndex, 0};
    PutU16(b + 2, Record_.DelayTime);
    stream.Write(b, 6);
}

void TGIFGraphicControlExtension::LoadData(TStream& stream) {
    std::uint8_t b[6] = {Record_.BlockSize, Record_.PackedFields, 0, 0, Record_.TransparentColorIndex,
                         Record_.Terminator};
    PutU16(b + 2, Record_.DelayTime);
    const std::size_t got = stream.Read(b, 6);
    Record_.BlockSize = b[0];
    Record_.PackedFields = b[1];
    Record_.DelayTime = GetU16(b + 2);
    Record_.TransparentColorIndex = b[4];
    Record_.Terminator = b[5];
    if (got < 6) {
        ReportWarning(GIFText::PrematureEnd);
        return;
    }
    if (Transparent() && Frame()) Frame()->SetTransparentField(true);
}

// Plain text --------------------------------------------------------------------------------

const TGIFExtensionClass& TGIFTextExtension::Class() {
    static const TGIFExtensionClass cls{"TGIFTextExtension", &Make<TGIFTextExtension>, &ResolveSelf};
    return cls;
}

void TGIFTextExtension::SaveData(TStream& stream) {
    // The reader always takes 13 bytes here, so the block is written as the 12 bytes GIF89a defines,
    // whatever size a damaged file said (another size would make other readers misread the rest).
    std::uint8_t b[13] = {12};
    PutU16(b + 1, Record.Left);
    PutU16(b + 3, Record.Top);
    PutU16(b + 5, Record.GridWidth);
    PutU16(b + 7, Record.GridHeight);
    b[9] = Record.CellWidth;
    b[10] = Record.CellHeight;
    b[11] = Record.ForegroundColorIndex;
    b[12] = Record.BackgroundColorIndex;
    stream.Write(b, 13);
    WriteTextLines(stream, Text);
}

void TGIFTextExtension::LoadData(TStream& stream) {
    std::uint8_t b[13];
    ReadExact(stream, b, 13);
    Record.BlockSize = b[0];
    Record.Left = GetU16(b + 1);
    Record.Top = GetU16(b + 3);
    Record.GridWidth = GetU16(b + 5);
    Record.GridHeight = GetU16(b + 7);
    Record.CellWidth = b[9];
    Record.CellHeight = b[10];
    Record.ForegroundColorIndex = b[11];
    Record.BackgroundColorIndex = b[12];
    ReadTextLines(*this, stream, Text);
}

// Comment -----------------------------------------------------------------------------------

const TGIFExtensionClass& TGIFCommentExtension::Class() {
    static const TGIFExtensionClass cls{"TGIFCommentExtension", &Make<TGIFCommentExtension>, &ResolveSelf};
    return cls;
}

void TGIFCommentExtension::SaveData(TStream& stream) {
    WriteTextLines(stream, Text);
}
void TGIFCommentExtension::LoadData(TStream& stream) {
    ReadTextLines(*this, stream, Text);
}

// Application -------------------------------------------------------------------------------

const TGIFExtensionClass& TGIFApplicationExtension::Class() {
    static const TGIFExtensionClass cls{"TGIFApplicationExtension", &Make<TGIFApplicationExtension>,
                                        &ResolveApplication};
    return cls;
}

void TGIFApplicationExtension::SaveData(TStream& stream) {
    const int size = ShortIdentification ? 10 : 11;
    stream.WriteByte(size);
    stream.Write(Identification.data(), size);
    SaveAppData(stream);
}

void TGIFApplicationExtension::LoadData(TStream& stream) {
    const int blockSize = stream.ReadByte();
    if (blockSize < 0) throw EGIFException(GIFText::PrematureEnd);
    if (blockSize < 10) throw EGIFException(GIFText::UnsupportedAppBlockSize);
    ReadExact(stream, Identification.data(), 11);
    ShortIdentification = blockSize == 10;
    if (blockSize == 10)
        stream.Seek(-1); // the eleventh byte is the first sub-block's size
    else
        stream.Skip(blockSize - 11);
    LoadAppData(stream);
}

void TGIFApplicationExtension::SaveAppData(TStream& stream) {
    stream.WriteByte(0);
}

void TGIFApplicationExtension::LoadAppData(TStream&) {
    throw EGIFException(GIFText::UnsupportedAppExtension);
}

// Looping -----------------------------------------------------------------------------------

const TGIFExtensionClass& TGIFAppExtNSLoop::Class() {
    static const TGIFExtensionClass cls{"TGIFAppExtNSLoop", &Make<TGIFAppExtNSLoop>, &ResolveApplication};
    return cls;
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage* frame) : TGIFApplicationExtension(frame) {
    std::memcpy(Identification.data(), "NETSCAPE2.0", 11);
}

void TGIFAppExtNSLoop::SaveAppData(TStream& stream) {
    std::uint8_t loop[4] = {3, 1};
    PutU16(loop + 2, Loops);
    stream.Write(loop, 4);
    if (BufferSize != 0) {
        const std::uint8_t buf[6] = {5,
                                     2,
                                     static_cast<std::uint8_t>(BufferSize),
                                     static_cast<std::uint8_t>(BufferSize >> 8),
                                     static_cast<std::uint8_t>(BufferSize >> 16),
                                     static_cast<std::uint8_t>(BufferSize >> 24)};
        stream.Write(buf, 6);
    }
    stream.WriteByte(0);
}

void TGIFAppExtNSLoop::LoadAppData(TStream& stream) {
    // A size or identifier byte missing at the end of the data counts as 0.
    for (;;) {
        const int size = std::max(0, stream.ReadByte());
        if (size == 0) break;
        const int id = std::max(0, stream.ReadByte());
        if ((id & 7) == 1) {
            if (size < 3) throw EGIFException(GIFText::InvalidData);
            std::uint8_t b[2];
            ReadExact(stream, b, 2);
            Loops = GetU16(b);
            stream.Skip(size - 3);
        } else if ((id & 7) == 2) {
            if (size < 5) throw EGIFException(GIFText::InvalidData);
            std::uint8_t b[4];
            ReadExact(stream, b, 4);
            BufferSize = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
            stream.Skip(size - 5);
        } else {
            stream.Skip(size - 1);
        }
    }
}

// Unknown application -----------------------------------------------------------------------

const TGIFExtensionClass& TGIFUnknownAppExtension::Class() {
    static const TGIFExtensionClass cls{"TGIFUnknownAppExtension", &Make<TGIFUnknownAppExtension>,
                                        &ResolveApplication};
    return cls;
}

void TGIFUnknownAppExtension::SaveAppData(TStream& stream) {
    for (const auto& block : Blocks) {
        stream.WriteByte(block->Size());
        stream.Write(block->Data.data(), block->Data.size());
    }
    stream.WriteByte(0);
}

void TGIFUnknownAppExtension::LoadAppData(TStream& stream) {
    Blocks.clear();
    int size = stream.ReadByte();
    while (size > 0) {
        ChargeBlock(*this);
        auto block = std::make_unique<TGIFBlock>(static_cast<std::uint8_t>(size));
        ReadExact(stream, block->Data.data(), block->Data.size());
        Blocks.push_back(std::move(block));
        size = stream.ReadByte();
    }
}

// Registries --------------------------------------------------------------------------------

TExtensionList::TExtensionList() {
    Entries_.emplace_back(TGIFTextExtension::Label, &TGIFTextExtension::Class());
    Entries_.emplace_back(TGIFGraphicControlExtension::Label, &TGIFGraphicControlExtension::Class());
    Entries_.emplace_back(TGIFCommentExtension::Label, &TGIFCommentExtension::Class());
    Entries_.emplace_back(TGIFApplicationExtension::Label, &TGIFApplicationExtension::Class());
}

TExtensionList& TExtensionList::Instance() {
    static TExtensionList list;
    return list;
}

void TExtensionList::Register(std::uint8_t label, const TGIFExtensionClass* cls) {
    Entries_.emplace_back(label, cls);
}

const TGIFExtensionClass* TExtensionList::Find(std::uint8_t label) const {
    for (auto it = Entries_.rbegin(); it != Entries_.rend(); ++it)
        if (it->first == label) return it->second;
    return nullptr;
}

TAppExtensionList::TAppExtensionList() {
    TGIFAppIdentification id;
    std::memcpy(id.data(), "NETSCAPE2.0", 11);
    Entries_.emplace_back(id, &TGIFAppExtNSLoop::Class());
    std::memcpy(id.data(), "ANIMEXTS1.0", 11);
    Entries_.emplace_back(id, &TGIFAppExtNSLoop::Class());
}

TAppExtensionList& TAppExtensionList::Instance() {
    static TAppExtensionList list;
    return list;
}

void TAppExtensionList::Register(const TGIFAppIdentification& identification, const TGIFExtensionClass* cls) {
    Entries_.emplace_back(identification, cls);
}

const TGIFExtensionClass* TAppExtensionList::Find(const TGIFAppIdentification& identification) const {
    for (auto it = Entries_.rbegin(); it != Entries_.rend(); ++it)
        if (it->first == identification) return it->second;
    return nullptr;
}

const TGIFExtensionClass* FindExtensionClass(TStream& stream) {
    const std::int64_t label = stream.Position();
    const int b = stream.ReadByte();
    const TGIFExtensionClass* cls = nullptr;
    if (b >= 0) cls = TExtensionList::Instance().Find(static_cast<std::uint8_t>(b));
    // Refine until a class answers itself. Each step reads on; a few steps are enough for any
    // real block, so the walk is bounded to keep corrupt data from running through the file.
    for (int step = 0; cls && step < 8; ++step) {
        const TGIFExtensionClass* next = cls->ResolveClass(cls, stream);
        if (next == cls) break;
        cls = next;
    }
    stream.SetPosition(label);
    return cls;
}
