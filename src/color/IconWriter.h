#pragma once
// TIconWriter: writes one icon as an ICO file holding a single 256-colour image (8 bits per
// pixel) with its 1-bit AND mask.
//
// Layout (little-endian): the 6-byte header (0, 1, 1); one 16-byte directory entry (width and
// height bytes, then 8, 0, 0 as 16-bit values, the image's byte count, offset 22); the colour
// image's BITMAPINFOHEADER with the height doubled, its 256-entry blue-green-red-0 table, its
// rows bottom-up padded to 4 bytes, then the mask rows (1 = transparent, leftmost pixel in the
// most significant bit) bottom-up padded to 4 bytes. A 32 x 32 icon makes 2238 bytes.
//
// The colour table and the mapping of the icon's colours to it are the octree palette of the
// icon's colours between the 20 system colours (nearest entry, no dithering), so an icon of up to
// 236 colours (or using the system colours) keeps them exactly.

#include <cstdint>
#include <ostream>
#include <string>

#include "Bitmap.h"
#include "Icon.h"

struct TBitmapInfoHeader {
    std::uint32_t Size = 40;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::uint16_t Planes = 1;
    std::uint16_t BitCount = 0;
    std::uint32_t Compression = 0;
    std::uint32_t SizeImage = 0;
    std::int32_t XPelsPerMeter = 0;
    std::int32_t YPelsPerMeter = 0;
    std::uint32_t ClrUsed = 0;
    std::uint32_t ClrImportant = 0;
};

class TIconWriter {
  public:
    // Creates or replaces the file through the safe writer (TSafeFile); EFileError when it cannot be
    // written, and then a file that stood there is left as it was.
    void SaveToIconFile(const TIcon& icon, const std::string& path) const;
    // Writes the icon; with the prefix, its total size (4 bytes) comes first.
    void WriteIconStream(std::ostream& stream, const TIcon& icon, bool withLengthPrefix) const;
    // A header for the bitmap at 2 colours (1 bit), 16 (4 bits), 256 (8 bits) or 0 (its own
    // depth). EInvalidGraphic("Bitmap image is not valid") for an empty bitmap.
    static TBitmapInfoHeader PrepareDIBHeader(const TBitmap& bitmap, int colors);
};
