#pragma once
// Reading and writing Windows bitmap files (BMP) without any platform help.
//
// Read accepts the uncompressed formats of 1, 4, 8, 16, 24 and 32 bits per pixel (16 and 32 bits also with
// BI_BITFIELDS masks), bottom-up or top-down, and the RLE4/RLE8 compressions. Every size and offset is
// checked against the data before it is used; a file that does not hold what its header declares is
// refused with TBmpError. Pictures above MaxSide pixels on a side are refused before any allocation.
// Bit fields with an alpha mask (BITMAPV3 headers and later) give transparency: pixels of alpha 0 are
// marked in TPixelImage::Transparent, partly transparent ones keep their alpha in the top byte.

#include "PixelImage.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class TBmpError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TBmpFile {
  public:
    static constexpr int MaxSide = 4096;

    // Decodes a whole BMP file held in memory.
    static TPixelImage Decode(const std::vector<uint8_t>& data);
    // Where DecodeDib found the parts of a DIB, as offsets from its start.
    struct TDibLayout {
        int Bits = 0;         // bits per pixel of the stored rows
        bool Rle = false;     // RLE4/RLE8: the rows run to the end of the data
        size_t RowsStart = 0; // first byte of the colour rows
        size_t RowsEnd = 0;   // just after them: where an icon's AND mask starts
    };
    // Decodes the DIB part of a BMP (the 12-byte core header or a 40-byte or longer info header onwards,
    // as stored inside icons). When heightIsDoubled is set, the header's height counts the colour rows
    // and the mask rows (icon images), and only the colour half is decoded. The pixel rows follow the
    // colour table, or start at rowsAt when that lies beyond it. layout, when given, receives where the
    // rows lie (always inside the data).
    static TPixelImage DecodeDib(const uint8_t* data, size_t size, bool heightIsDoubled, TDibLayout* layout,
                                 size_t rowsAt = 0);

    static TPixelImage Read(const std::string& path);

    // A 32 bits per pixel bottom-up BMP of the picture (alpha dropped to 0 in the reserved byte).
    static std::vector<uint8_t> Encode32(const TPixelImage& image);
};
