#pragma once
// Helpers of the codec tests: hand-made GIF byte streams, a warning collector, and giflib as an
// independent decoder and encoder.

#include <cstdint>
#include <string>
#include <vector>

#include "GIFPicture.h"

using TBytes = std::vector<std::uint8_t>;

// Collects the warnings a picture reports.
struct TWarningLog {
    std::vector<std::string> Texts;
    void Attach(TGIFPicture& gif) {
        gif.OnCodecWarning = [this](const TGIFObject*, int, const std::string& text) {
            Texts.push_back(text);
        };
    }
};

// Builds GIF streams byte by byte.
struct TGifBytes {
    TBytes Data;
    TGifBytes& Add(std::initializer_list<int> bytes) {
        for (int b : bytes)
            Data.push_back(static_cast<std::uint8_t>(b));
        return *this;
    }
    TGifBytes& Add(const TBytes& bytes) {
        Data.insert(Data.end(), bytes.begin(), bytes.end());
        return *this;
    }
    TGifBytes& Text(const std::string& s) {
        Data.insert(Data.end(), s.begin(), s.end());
        return *this;
    }
    TGifBytes& U16(int v) { return Add({v & 0xFF, (v >> 8) & 0xFF}); }
    // "GIF" + version, screen w x h, global table of 2^bits entries (grey ramp), or none with bits 0.
    TGifBytes& Header(int w, int h, int bits, const char* version = "89a");
    // Image Descriptor.
    TGifBytes& Image(int left, int top, int w, int h, int packed = 0);
    // LZW data of the pixels made with our encoder at the given minimum code size.
    TGifBytes& Pixels(const TBytes& pixels, int w, int h, int bits, bool interlaced = false);
    // The minimal 1 x 1 image data: 02 02 44 01 00 (clear, 0, end).
    TGifBytes& DotData() { return Add({0x02, 0x02, 0x44, 0x01, 0x00}); }
    TGifBytes& Trailer() { return Add({0x3B}); }
};

// Packs codes of the given widths least significant bit first into sub-blocks of at most
// blockSize bytes, after the minimum code size byte, with the terminator.
TBytes PackCodes(int minCodeSize, const std::vector<std::pair<int, int>>& codesAndWidths,
                 int blockSize = 255);

void LoadBytes(TGIFPicture& gif, const TBytes& bytes);
TBytes SaveBytes(TGIFPicture& gif);

// Deterministic test image of w x h indices below colors, with runs so that LZW strings grow.
TBytes MakePixels(int w, int h, int colors, unsigned seed);

struct TGiflibFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Interlaced = false;
    TBytes Pixels;  // rows top to bottom (giflib de-interlaces)
    TBytes Palette; // RGB triples of the frame's table (local, else global)
    int Delay = -1;
    int TransparentIndex = -1;
};
struct TGiflibFile {
    int Width = 0, Height = 0;
    int LoopCount = -1;
    std::vector<TGiflibFrame> Frames;
};
// Decodes with giflib; fails the calling test (and answers false) when giflib refuses.
bool GiflibDecode(const TBytes& bytes, TGiflibFile& out, std::string* error = nullptr);

struct TGiflibImage {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Interlaced = false;
    int LocalBits = 0; // 0: no local table
    TBytes Pixels;     // rows top to bottom
    int Delay = -1;    // -1: no graphic control extension
};
// Encodes with giflib: screen w x h, a global table of 2^globalBits entries (0: none).
TBytes GiflibEncode(int w, int h, int globalBits, const std::vector<TGiflibImage>& images,
                    int loopCount = -1);
