#pragma once
// Reading and writing PNG files with libpng.
//
// Decode accepts every PNG colour type and depth (palette, grey, grey with alpha, RGB, RGBA; 1 to 16 bits,
// interlaced or not) and hands the picture over as 8-bit RGBA: 16-bit samples are scaled to 8 bits, a
// tRNS chunk becomes alpha, no gamma is applied (the stored values are the colours, as icon editors take
// them). The size is checked against the caller's bounds before any pixel memory is allocated; any libpng
// error (a damaged or truncated file) is refused with TPngError.

#include "PixelImage.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

class TPngError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TPngFile {
  public:
    // The bounds of a picture to decode: at most this wide and this high, and at most this many pixels.
    struct TLimits {
        int MaxWidth = 4096;
        int MaxHeight = 4096;
        std::int64_t MaxPixels = 4096 * 4096;
    };

    // Decodes a whole PNG file held in memory into 0xAARRGGBB pixels with their alpha (no mask).
    static TPixelImage Decode(const std::vector<uint8_t>& data, const TLimits& limits);
    static TPixelImage Decode(const std::vector<uint8_t>& data) { return Decode(data, TLimits()); }
    // True when the data starts with the PNG signature.
    static bool IsPng(const std::vector<uint8_t>& data);

    // An 8-bit PNG of the picture: RGB when withAlpha is false (alpha dropped), else RGBA with each
    // pixel's alpha.
    static std::vector<uint8_t> Encode(const TPixelImage& image, bool withAlpha);
};
