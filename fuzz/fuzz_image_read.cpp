// Reads arbitrary bytes as a BMP file, an icon file and a PNG file, the other formats the editor opens.
// Each reader may refuse the data with its error (TBmpError, TPngError); anything else (a crash, a read
// outside the data, a picture whose pixel planes do not match its size) is a fault.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "BmpFile.h"
#include "IcoFile.h"
#include "PngFile.h"

static void Check(const TPixelImage& image) {
    const std::size_t pixels = static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height);
    if (image.Width <= 0 || image.Height <= 0 || image.Pixels.size() != pixels) std::abort();
    if (!image.Transparent.empty() && image.Transparent.size() != pixels) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    try {
        Check(TBmpFile::Decode(bytes));
    } catch (const TBmpError&) {
    }
    try {
        Check(TIcoFile::Decode(bytes));
    } catch (const TBmpError&) {
    }
    try {
        // The bounds the document opens PNG files with: a strip of up to 4,096 frames of 40 × 40.
        TPngFile::TLimits limits;
        limits.MaxHeight = 40;
        limits.MaxWidth = 40 * 4096;
        limits.MaxPixels = 40 * 40 * 4096;
        Check(TPngFile::Decode(bytes, limits));
    } catch (const TPngError&) {
    }
    return 0;
}
