#pragma once
// Pull decoder of GIF image data: LZW Minimum Code Size, data sub-blocks, block terminator.
// Codes are read least significant bit first from a bit buffer that carries the last two bytes of
// a sub-block over to the next; decoded strings go onto an output stack and are handed out one
// value per request. Fixed tables, no allocation besides the frame's pixel buffer.

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
    int FetchCode();
    bool Refill();
    int NextValue();
    void ResetTable();
    void SkipToTerminator();
    int EndOfImage();
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

    // Only the low 8 bits of a value ever reach a pixel, so values are kept as bytes.
    std::uint16_t Prefix_[TableSize];
    std::uint8_t Suffix_[TableSize];
    std::uint8_t Stack_[StackSize];
    int StackTop_ = 0;
};
