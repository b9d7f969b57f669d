#include "IcoFile.h"

#include "PngFile.h"

#include "LittleEndian.h"
#include "SafeFile.h"

#include <string>

namespace {

uint16_t U16(const uint8_t* p) {
    return ReadU16LE(p);
}
uint32_t U32(const uint8_t* p) {
    return ReadU32LE(p);
}

struct TEntry {
    int Width, Height, Colors, Bits;
    uint32_t Size, Offset;
};

} // namespace

TPixelImage TIcoFile::Decode(const std::vector<uint8_t>& data) {
    if (data.size() < 6 || U16(data.data()) != 0 || U16(data.data() + 2) != 1)
        throw TBmpError("Not an icon file");
    const int count = U16(data.data() + 4);
    if (count == 0 || data.size() < 6 + 16 * static_cast<size_t>(count)) throw TBmpError("Not an icon file");

    std::vector<TEntry> entries;
    for (int k = 0; k < count; ++k) {
        const uint8_t* e = data.data() + 6 + 16 * k;
        entries.push_back({e[0] ? e[0] : 256, e[1] ? e[1] : 256, e[2], U16(e + 6), U32(e + 8), U32(e + 12)});
    }
    size_t chosen = 0;
    bool found = false;
    for (size_t k = 0; k < entries.size(); ++k) {
        const TEntry& e = entries[k];
        if (e.Width != 32 || e.Height != 32) continue;
        const int depth = e.Bits ? e.Bits : (e.Colors ? 8 : 32);
        const TEntry& best = entries[chosen];
        const int bestDepth = best.Bits ? best.Bits : (best.Colors ? 8 : 32);
        if (!found || depth > bestDepth) chosen = k;
        found = true;
    }
    const TEntry& e = entries[chosen];
    if (e.Offset >= data.size() || e.Size > data.size() - e.Offset || e.Size < 12)
        throw TBmpError("Premature end of icon data");
    const uint8_t* dib = data.data() + e.Offset;
    if (e.Size >= 8 && dib[0] == 0x89 && dib[1] == 'P' && dib[2] == 'N' && dib[3] == 'G') {
        // An image stored as PNG (as icons since Windows Vista may be): its alpha as a 32-bit image's.
        TPngFile::TLimits limits;
        limits.MaxWidth = limits.MaxHeight = 256;
        limits.MaxPixels = 256 * 256;
        TPixelImage image;
        try {
            image = TPngFile::Decode(std::vector<uint8_t>(dib, dib + e.Size), limits);
        } catch (const TPngError& error) {
            throw TBmpError(std::string("Damaged PNG image in the icon: ") +
                            error.what()); // the reader's error
        }
        image.Transparent.assign(image.Pixels.size(), false);
        for (size_t i = 0; i < image.Pixels.size(); ++i)
            if ((image.Pixels[i] >> 24) == 0) image.Transparent[i] = true;
        return image;
    }

    // The decoder says where the colour rows lie (inside the image's data); the bit depth and the
    // offsets below come from there, never from header fields read a second time.
    TBmpFile::TDibLayout layout;
    TPixelImage image = TBmpFile::DecodeDib(dib, e.Size, true, &layout);
    const size_t width = static_cast<size_t>(image.Width), height = static_cast<size_t>(image.Height);

    // A 32-bit image with any non-zero alpha carries its own transparency.
    bool alphaUsed = false;
    if (layout.Bits == 32 && !layout.Rle) {
        const size_t stride = width * 4;
        if (layout.RowsEnd > e.Size || layout.RowsEnd - layout.RowsStart != stride * height)
            throw TBmpError("Premature end of icon data");
        const uint8_t* rows = dib + layout.RowsStart;
        for (size_t i = 0; i < stride * height; i += 4)
            if (rows[i + 3] != 0) alphaUsed = true;
        if (alphaUsed) {
            // Alpha 0 is transparent; a partly covered pixel (an anti-aliased edge) keeps its alpha, so
            // that it is mixed with what lies under it when drawn.
            image.Transparent.assign(image.Pixels.size(), false);
            for (size_t row = 0; row < height; ++row)
                for (size_t x = 0; x < width; ++x) {
                    const uint32_t alpha = rows[stride * row + 4 * x + 3];
                    const size_t at = (height - 1 - row) * width + x;
                    if (alpha == 0)
                        image.Transparent[at] = true;
                    else
                        image.Pixels[at] = (image.Pixels[at] & 0x00FFFFFFu) | (alpha << 24);
                }
        }
    }
    // The AND mask: one bit a pixel, bottom-up, rows padded to 32 bits. Some writers leave it out of 32-bit
    // images; then every pixel counts as opaque unless the alpha said otherwise.
    const size_t maskStride = ((width + 31) / 32) * 4;
    if (!alphaUsed && !layout.Rle && layout.RowsEnd <= e.Size &&
        maskStride * height <= e.Size - layout.RowsEnd) {
        image.Transparent.assign(image.Pixels.size(), false);
        for (size_t row = 0; row < height; ++row) {
            const uint8_t* m = dib + layout.RowsEnd + maskStride * row;
            for (size_t x = 0; x < width; ++x)
                if ((m[x >> 3] >> (7 - (x & 7))) & 1)
                    image.Transparent[(height - 1 - row) * width + x] = true;
        }
    }
    return image;
}

TPixelImage TIcoFile::Read(const std::string& path) {
    std::vector<uint8_t> data;
    try {
        data = TSafeFile::ReadAll(path, 16u << 20);
    } catch (const TFileError& e) {
        throw TBmpError(e.what());
    }
    return Decode(data);
}
