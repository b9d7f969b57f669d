#include "GifAttributes.h"

#include "GIFPicture.h"

#include <algorithm>
#include <cstdio>
#include <exception>

namespace {

// Texts of the tree, index 0 Czech, 1 English.
enum TText : int {
    TxFile,
    TxHeader,
    TxScreen,
    TxGlobalTable,
    TxApplication,
    TxComment,
    TxPlainText,
    TxFrame,
    TxGraphicControl,
    TxLocalTable,
    TxImage,
    TxTrailer,
    TxUnreadable,
    TxFileSize,
    TxBytes,
    TxVersion,
    TxFrames,
    TxSignature,
    TxWidth,
    TxHeight,
    TxGlobalTableFlag,
    TxColorResolution,
    TxSorted,
    TxBackgroundIndex,
    TxBackgroundColor,
    TxAspectRatio,
    TxColors,
    TxIdentifier,
    TxLoopCount,
    TxForever,
    TxDataBytes,
    TxDelay,
    TxDisposal,
    TxUserInput,
    TxTransparentIndex,
    TxTransparentColor,
    TxNone,
    TxLeft,
    TxTop,
    TxInterlace,
    TxLocalTableFlag,
    TxLzwCodeSize,
    TxYes,
    TxNo,
    TxDisposal0,
    TxDisposal1,
    TxDisposal2,
    TxDisposal3,
    TxDisposalOther,
    TxCodecRefused,
    TxCount
};

const char* const Texts[TxCount][2] = {
    {"Soubor GIF", "GIF file"},
    {"Hlavička", "Header"},
    {"Logická obrazovka", "Logical screen"},
    {"Globální tabulka barev", "Global color table"},
    {"Rozšíření aplikace", "Application extension"},
    {"Komentář", "Comment extension"},
    {"Textové rozšíření", "Plain text extension"},
    {"Rámec", "Frame"},
    {"Řízení grafiky", "Graphic control extension"},
    {"Místní tabulka barev", "Local color table"},
    {"Obrazová data", "Image block"},
    {"Zakončení", "Trailer"},
    {"Nečitelná data", "Unreadable data"},
    {"Velikost souboru", "File size"},
    {"Bajtů", "Bytes"},
    {"Verze", "Version"},
    {"Rámců", "Frames"},
    {"Podpis", "Signature"},
    {"Šířka", "Width"},
    {"Výška", "Height"},
    {"Globální tabulka", "Global table"},
    {"Barevné rozlišení", "Color resolution"},
    {"Seřazená", "Sorted"},
    {"Index pozadí", "Background index"},
    {"Barva pozadí", "Background color"},
    {"Poměr stran", "Aspect ratio"},
    {"Barev", "Colors"},
    {"Identifikace", "Identifier"},
    {"Počet opakování", "Loop count"},
    {"stále dokola", "forever"},
    {"Bajtů dat", "Data bytes"},
    {"Zpoždění (ms)", "Delay (ms)"},
    {"Likvidace", "Disposal"},
    {"Vstup uživatele", "User input"},
    {"Průhledný index", "Transparent index"},
    {"Průhledná barva", "Transparent color"},
    {"žádný", "none"},
    {"Vlevo", "Left"},
    {"Nahoře", "Top"},
    {"Prokládání", "Interlace"},
    {"Místní tabulka", "Local table"},
    {"Min. velikost kódu LZW", "LZW minimum code size"},
    {"ano", "yes"},
    {"ne", "no"},
    {"0 - neurčeno", "0 - not specified"},
    {"1 - ponechat", "1 - do not dispose"},
    {"2 - obnovit pozadí", "2 - restore to background"},
    {"3 - obnovit předchozí", "3 - restore to previous"},
    {"jiná", "other"},
    {"nečitelný", "not readable"},
};

class TWalker {
  public:
    TWalker(const std::vector<std::uint8_t>& bytes, int language)
        : Bytes(bytes), Language(language == 1 ? 1 : 0) {}

    TGifNode Walk();

  private:
    const char* T(TText key) const { return Texts[key][Language]; }
    std::string YesNo(bool on) const { return T(on ? TxYes : TxNo); }
    static std::string Number(std::size_t n) { return std::to_string(n); }
    static std::string Hex(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        char text[8];
        std::snprintf(text, sizeof text, "#%02X%02X%02X", r, g, b);
        return text;
    }

    bool Has(std::size_t n) const { return Pos <= Bytes.size() && Bytes.size() - Pos >= n; }
    std::uint8_t At(std::size_t offset) const { return Bytes[offset]; }
    int Word(std::size_t offset) const { return Bytes[offset] | (Bytes[offset + 1] << 8); }
    TGifNode Node(TGifNodeKind kind, TText title, std::size_t offset) const {
        TGifNode node;
        node.Kind = kind;
        node.Title = T(title);
        node.Offset = offset;
        return node;
    }
    void Add(TGifNode& node, TText name, const std::string& value) const {
        node.Fields.push_back({T(name), value});
    }
    // Skips a run of data sub-blocks; false when the data ends before the terminator. dataBytes
    // receives the bytes the sub-blocks carry.
    bool SkipSubBlocks(std::size_t& dataBytes);
    // A colour table of 2^(size + 1) entries at Pos; false when the data is too short.
    bool Table(TGifNode& parent, TGifNodeKind kind, TText title, int sizeBits, std::size_t& start);
    bool Extension(std::vector<TGifNode>& pending, TGifNode& root);
    bool Image(std::vector<TGifNode>& pending, TGifNode& root);
    void Unreadable(TGifNode& root) {
        TGifNode node = Node(TGifNodeKind::Unreadable, TxUnreadable, Pos);
        node.Bytes = Pos < Bytes.size() ? Bytes.size() - Pos : 0;
        Add(node, TxBytes, Number(node.Bytes));
        root.Children.push_back(node);
        Pos = Bytes.size();
    }
    // The colour of an index in the table a frame uses (its local one, else the global one).
    std::string TableColor(const std::vector<std::uint8_t>* local, int index) const {
        const std::vector<std::uint8_t>* table = local && !local->empty() ? local : &GlobalTable;
        const std::size_t at = static_cast<std::size_t>(index) * 3;
        if (at + 3 > table->size()) return "-";
        return Hex((*table)[at], (*table)[at + 1], (*table)[at + 2]);
    }

    const std::vector<std::uint8_t>& Bytes;
    const int Language;
    std::size_t Pos = 0;
    int FrameNumber = 0;
    std::vector<std::uint8_t> GlobalTable;
    // The transparent index the last graphic control extension set, for the frame it belongs to.
    int PendingTransparent = -1;
};

bool TWalker::SkipSubBlocks(std::size_t& dataBytes) {
    dataBytes = 0;
    while (Has(1)) {
        const std::size_t size = At(Pos);
        ++Pos;
        if (size == 0) return true;
        if (!Has(size)) return false;
        dataBytes += size;
        Pos += size;
    }
    return false;
}

bool TWalker::Table(TGifNode& parent, TGifNodeKind kind, TText title, int sizeBits, std::size_t& start) {
    const std::size_t entries = std::size_t(1) << (sizeBits + 1);
    if (!Has(entries * 3)) return false;
    TGifNode node = Node(kind, title, Pos);
    node.Bytes = entries * 3;
    Add(node, TxColors, Number(entries));
    Add(node, TxBytes, Number(node.Bytes));
    start = Pos;
    Pos += node.Bytes;
    parent.Children.push_back(node);
    return true;
}

bool TWalker::Extension(std::vector<TGifNode>& pending, TGifNode& root) {
    const std::size_t start = Pos;
    if (!Has(2)) return false;
    const std::uint8_t label = At(Pos + 1);
    Pos += 2;
    if (label == 0xF9) {
        // Graphic control: Block Size 4, packed, delay, transparent index, terminator.
        if (!Has(6) || At(Pos) != 4) return false;
        const std::uint8_t packed = At(Pos + 1);
        const int delay = Word(Pos + 2);
        const int transparent = At(Pos + 4);
        Pos += 5;
        std::size_t ignored = 0;
        if (!SkipSubBlocks(ignored)) return false;
        TGifNode node = Node(TGifNodeKind::GraphicControlExtension, TxGraphicControl, start);
        node.Bytes = Pos - start;
        Add(node, TxDelay, Number(static_cast<std::size_t>(delay) * 10));
        const int disposal = (packed >> 2) & 7;
        Add(node, TxDisposal,
            disposal <= 3 ? T(static_cast<TText>(TxDisposal0 + disposal))
                          : Number(disposal) + " - " + T(TxDisposalOther));
        Add(node, TxUserInput, YesNo(packed & 0x02));
        PendingTransparent = (packed & 0x01) ? transparent : -1;
        Add(node, TxTransparentIndex, PendingTransparent >= 0 ? Number(transparent) : T(TxNone));
        Add(node, TxBytes, Number(node.Bytes));
        pending.push_back(node);
        return true;
    }
    if (label == 0xFF) {
        // Application: Block Size 11 (identifier and authentication code), then data sub-blocks.
        if (!Has(12) || At(Pos) != 11) return false;
        const std::string id(Bytes.begin() + static_cast<std::ptrdiff_t>(Pos + 1),
                             Bytes.begin() + static_cast<std::ptrdiff_t>(Pos + 12));
        Pos += 12;
        const std::size_t dataStart = Pos;
        std::size_t dataBytes = 0;
        if (!SkipSubBlocks(dataBytes)) return false;
        TGifNode node = Node(TGifNodeKind::ApplicationExtension, TxApplication, start);
        node.Bytes = Pos - start;
        std::string shown;
        for (char c : id)
            shown += (c >= 0x20 && c < 0x7F) ? c : '?';
        Add(node, TxIdentifier, shown);
        // The looping extension: sub-block 1 carries the loop count (0 = forever).
        if ((id == "NETSCAPE2.0" || id == "ANIMEXTS1.0") && dataBytes >= 3 && At(dataStart) >= 3 &&
            At(dataStart + 1) == 1) {
            const int loops = Word(dataStart + 2);
            Add(node, TxLoopCount, loops == 0 ? std::string("0 (") + T(TxForever) + ")" : Number(loops));
        }
        Add(node, TxDataBytes, Number(dataBytes));
        Add(node, TxBytes, Number(node.Bytes));
        root.Children.push_back(node);
        return true;
    }
    std::size_t dataBytes = 0;
    if (label == 0x01) {
        if (!Has(13) || At(Pos) != 12) return false;
        Pos += 13;
    }
    if (!SkipSubBlocks(dataBytes)) return false;
    const bool comment = label == 0xFE;
    TGifNode node = Node(comment ? TGifNodeKind::CommentExtension : TGifNodeKind::PlainTextExtension,
                         comment ? TxComment : TxPlainText, start);
    node.Bytes = Pos - start;
    Add(node, TxDataBytes, Number(dataBytes));
    Add(node, TxBytes, Number(node.Bytes));
    if (comment || label == 0x01)
        pending.push_back(node);
    else
        root.Children.push_back(node); // an extension of another kind, listed where it stands
    return true;
}

bool TWalker::Image(std::vector<TGifNode>& pending, TGifNode& root) {
    const std::size_t start = pending.empty() ? Pos : pending.front().Offset;
    const std::size_t descriptor = Pos;
    if (!Has(10)) return false;
    const int left = Word(Pos + 1), top = Word(Pos + 3), width = Word(Pos + 5), height = Word(Pos + 7);
    const std::uint8_t packed = At(Pos + 9);
    Pos += 10;

    // The extensions before the image become the frame's only once the whole frame is read.
    TGifNode frame = Node(TGifNodeKind::Frame, TxFrame, start);
    frame.Title += " " + Number(static_cast<std::size_t>(FrameNumber + 1));
    frame.Children = pending;

    std::vector<std::uint8_t> local;
    if (packed & 0x80) {
        std::size_t tableStart = 0;
        if (!Table(frame, TGifNodeKind::LocalColorTable, TxLocalTable, packed & 7, tableStart)) return false;
        local.assign(Bytes.begin() + static_cast<std::ptrdiff_t>(tableStart),
                     Bytes.begin() + static_cast<std::ptrdiff_t>(Pos));
    }
    if (!Has(1)) return false;
    const int codeSize = At(Pos);
    ++Pos;
    std::size_t dataBytes = 0;
    if (!SkipSubBlocks(dataBytes)) return false;

    TGifNode image = Node(TGifNodeKind::ImageBlock, TxImage, descriptor);
    image.Bytes = Pos - descriptor;
    Add(image, TxLeft, Number(static_cast<std::size_t>(left)));
    Add(image, TxTop, Number(static_cast<std::size_t>(top)));
    Add(image, TxWidth, Number(static_cast<std::size_t>(width)));
    Add(image, TxHeight, Number(static_cast<std::size_t>(height)));
    Add(image, TxInterlace, YesNo(packed & 0x40));
    Add(image, TxLocalTableFlag, YesNo(packed & 0x80));
    Add(image, TxLzwCodeSize, Number(static_cast<std::size_t>(codeSize)));
    Add(image, TxDataBytes, Number(dataBytes));
    Add(image, TxBytes, Number(image.Bytes));
    frame.Children.push_back(image);

    // The frame's own fields: its place and size, and what its graphic control extension says.
    Add(frame, TxWidth, Number(static_cast<std::size_t>(width)));
    Add(frame, TxHeight, Number(static_cast<std::size_t>(height)));
    for (TGifNode& child : frame.Children)
        if (child.Kind == TGifNodeKind::GraphicControlExtension) {
            for (const TGifField& f : child.Fields)
                if (f.Name != T(TxBytes)) frame.Fields.push_back(f);
            if (PendingTransparent >= 0) {
                const std::string color = TableColor(&local, PendingTransparent);
                // Beside the transparent index, before the block's byte count.
                child.Fields.insert(child.Fields.end() - 1, {T(TxTransparentColor), color});
                Add(frame, TxTransparentColor, color);
            }
        }
    frame.Bytes = Pos - start;
    Add(frame, TxBytes, Number(frame.Bytes));
    PendingTransparent = -1;
    ++FrameNumber;
    pending.clear();
    root.Children.push_back(frame);
    return true;
}

TGifNode TWalker::Walk() {
    TGifNode root = Node(TGifNodeKind::File, TxFile, 0);
    root.Bytes = Bytes.size();
    Add(root, TxFileSize, Number(Bytes.size()));

    if (!Has(13) || Bytes[0] != 'G' || Bytes[1] != 'I' || Bytes[2] != 'F') {
        Unreadable(root);
        return root;
    }
    const std::string version(Bytes.begin() + 3, Bytes.begin() + 6);
    Add(root, TxVersion, "GIF" + version);
    TGifNode header = Node(TGifNodeKind::Header, TxHeader, 0);
    header.Bytes = 6;
    Add(header, TxSignature, "GIF");
    Add(header, TxVersion, version);
    Add(header, TxBytes, "6");
    root.Children.push_back(header);

    Pos = 6;
    const std::uint8_t packed = At(Pos + 4);
    const int background = At(Pos + 5);
    TGifNode screen = Node(TGifNodeKind::LogicalScreen, TxScreen, Pos);
    screen.Bytes = 7;
    Add(screen, TxWidth, Number(static_cast<std::size_t>(Word(Pos))));
    Add(screen, TxHeight, Number(static_cast<std::size_t>(Word(Pos + 2))));
    Add(screen, TxGlobalTableFlag, YesNo(packed & 0x80));
    Add(screen, TxColorResolution, Number(static_cast<std::size_t>(((packed >> 4) & 7) + 1)));
    Add(screen, TxSorted, YesNo(packed & 0x08));
    Add(screen, TxBackgroundIndex, Number(static_cast<std::size_t>(background)));
    Add(screen, TxAspectRatio, Number(At(Pos + 6)));
    Add(screen, TxBytes, "7");
    Pos += 7;
    root.Children.push_back(screen);
    if (packed & 0x80) {
        std::size_t tableStart = 0;
        if (!Table(root, TGifNodeKind::GlobalColorTable, TxGlobalTable, packed & 7, tableStart)) {
            Unreadable(root);
            return root;
        }
        GlobalTable.assign(Bytes.begin() + static_cast<std::ptrdiff_t>(tableStart),
                           Bytes.begin() + static_cast<std::ptrdiff_t>(Pos));
        root.Children[1].Fields.insert(root.Children[1].Fields.end() - 1,
                                       {T(TxBackgroundColor), TableColor(nullptr, background)});
    }

    std::vector<TGifNode> pending; // extensions waiting for the image they belong to
    bool ok = true;
    while (ok && Has(1)) {
        // A block that cannot be read whole is unreadable from its first byte on.
        const std::size_t blockStart = Pos;
        const std::uint8_t introducer = At(Pos);
        if (introducer == 0x3B) {
            TGifNode trailer = Node(TGifNodeKind::Trailer, TxTrailer, Pos);
            trailer.Bytes = 1;
            Add(trailer, TxBytes, "1");
            for (TGifNode& p : pending)
                root.Children.push_back(std::move(p));
            pending.clear();
            root.Children.push_back(trailer);
            ++Pos;
            break;
        }
        if (introducer == 0x21)
            ok = Extension(pending, root);
        else if (introducer == 0x2C)
            ok = Image(pending, root);
        else
            ok = false;
        if (!ok) Pos = blockStart;
    }
    for (TGifNode& p : pending)
        root.Children.push_back(std::move(p));
    if (!ok || Pos < Bytes.size()) Unreadable(root);

    // The frames as our codec reads the same bytes.
    std::string frames;
    try {
        TGIFPicture gif;
        gif.LoadFromBuffer(Bytes.data(), Bytes.size());
        frames = Number(static_cast<std::size_t>(gif.Images().ItemCount()));
    } catch (const std::exception&) {
        frames = T(TxCodecRefused);
    }
    // After the size and the version.
    const auto place =
        root.Fields.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(2, root.Fields.size()));
    root.Fields.insert(place, {T(TxFrames), frames});
    return root;
}

} // namespace

std::string TGifNode::Field(const std::string& name) const {
    for (const TGifField& f : Fields)
        if (f.Name == name) return f.Value;
    return std::string();
}

TGifNode DescribeGif(const std::vector<std::uint8_t>& bytes, int languageIndex) {
    return TWalker(bytes, languageIndex).Walk();
}
