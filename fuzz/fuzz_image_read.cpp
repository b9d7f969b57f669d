// Reads arbitrary bytes as a BMP file and as an icon file, the two other formats the editor opens.
// Either reader may refuse the data with TBmpError; anything else (a crash, a read outside the
// data, a picture whose pixel planes do not match its size) is a fault.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "BmpFile.h"
#include "IcoFile.h"

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
    return 0;
}
