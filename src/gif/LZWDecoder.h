#pragma once
// Decoder of GIF image data: LZW Minimum Code Size, data sub-blocks, block terminator.
//
// Codes are read least significant bit first from a bit buffer that carries the last two bytes of
// a sub-block over to the next. A frame is decoded in one pass straight into its pixel buffer:
// every table entry whose string already stands in the output remembers where (start and length),
// so decoding a code copies that string forward instead of walking its prefix chain. Entries that
// broken data makes (codes beyond the table, strings through undefined entries) have no such copy;
// their codes are decoded by walking prefix and suffix onto the output stack, with the checks
// against cycles. Both ways give the same values, warnings and errors as decoding one value at a
// time. Fixed tables; besides the pixel buffer only an interlaced frame needs a scratch buffer.

#include <cstddef>
#include <cstdint>

class TStream;
class TGIFItem;
class TGIFSubImage;

class TLZWDecoder {
  public:
    static constexpr int TableSize = 4096;
    static constexpr int StackSize = 8192;
    static constexpr int MaxCodeBits = 12;

    // Warnings go to reporter (may be null).
    TLZWDecoder(TStream& stream, const TGIFItem* reporter) : Stream_(stream), Reporter_(reporter) {}

    // Allocates the frame's pixels, fills them with the fill value (the transparent index of a
    // transparent frame, else 0) and decodes the image data into them. Leaves the stream after
    // the block terminator (or at the end of the data).
    void Decode(TGIFSubImage& frame);
    // The same on a plain buffer of width x height bytes, already holding the fill value.
    void Decode(std::uint8_t* pixels, int width, int height, bool interlaced);

  private:
    // The string table, one 8-byte record per entry. Only the low 8 bits of a value ever reach a
    // pixel, so suffixes are bytes. An entry whose string stands in the output keeps where (Start,
    // Length; its suffix is the string's last byte); any other has Length 0 and its suffix in Start.
    // Roots are not kept (prefix 0, suffix the code), nor are the clear and end codes, nor entries
    // at or above NextCode_ (all read as 0, see Defined): no clear has to wipe the table.
    struct TEntry {
        std::uint32_t Start;
        std::uint16_t Length;
        std::uint16_t Prefix;
    };

    int FetchCode();
    bool Refill();
    // One step of the pull decoder: the next value, -1 when the data has run out, -2 after the end
    // code. Used for the request that follows a complete image.
    int NextValue();
    void ResetTable();
    void SkipToTerminator();
    int EndOfImage();
    // Decodes the values of the image into out[0 .. n) (n > 0).
    void DecodeInto(std::uint8_t* out, std::size_t n);
    // Walks the string of code (a code that is neither clear nor end) onto the output stack, as the
    // pull decoder does, and enters the new table entry. Answers the string's length.
    int WalkString(int code, std::size_t start);
    // Entries made since the last clear (roots count as made); the others' prefix and suffix are 0.
    bool Defined(int code) const { return code < ClearCode_ || (code >= ClearCode_ + 2 && code < NextCode_); }
    int PrefixOf(int code) const { return code < ClearCode_ || !Defined(code) ? 0 : Table_[code].Prefix; }
    std::uint8_t SuffixOf(int code) const {
        if (code < ClearCode_) return static_cast<std::uint8_t>(code);
        if (!Defined(code)) return 0;
        const TEntry& e = Table_[code];
        return e.Length ? Out_[e.Start + e.Length - 1u] : static_cast<std::uint8_t>(e.Start);
    }
    // The record of a new entry: the previous string plus first, copied or not.
    static TEntry MakeEntry(int previous, std::uint8_t first, bool copied, std::size_t start,
                            std::size_t length) {
        return copied ? TEntry{static_cast<std::uint32_t>(start), static_cast<std::uint16_t>(length + 1),
                               static_cast<std::uint16_t>(previous)}
                      : TEntry{first, 0, static_cast<std::uint16_t>(previous)};
    }
    void Warn(const char* text) const;

    TStream& Stream_;
    const TGIFItem* Reporter_;

    // Bit buffer: two carried bytes, a sub-block of up to 255 bytes, and zero padding so a code
    // may always be read as three bytes.
    std::uint8_t Buffer_[258 + 4] = {};
    int Cursor_ = 0;
    int ValidBits_ = 0;
    int ValidBytes_ = 2;
    bool FirstRequest_ = true;
    bool TerminatorSeen_ = false;
    bool Finished_ = false; // the end code or the end of the data was met

    int MinCodeSize_ = 0;
    int CodeSize_ = 0;
    int ClearCode_ = 0;
    int EndCode_ = 0;
    int NextCode_ = 0;
    int GrowthLimit_ = 0;
    int FirstValue_ = 0;
    int PreviousCode_ = 0;
    // Where the previous code's string stands in the output, when it stands there as the table
    // spells it (its string cannot change before the next clear).
    bool PreviousCopied_ = false;
    std::size_t PreviousStart_ = 0;
    int PreviousLength_ = 0;
    // Set by WalkString: the walk met an entry not yet made, whose string a later entry changes.
    bool WalkMetUndefined_ = false;

    TEntry Table_[TableSize];
    const std::uint8_t* Out_ = nullptr; // the output the entries' Start point into
    std::uint8_t Stack_[StackSize];
    int StackTop_ = 0;
};
