#pragma once
// What we write, read by an independent reader: giflib (a test-only dependency of the fuzz targets) must
// take the file, find the images we wrote with the same bounds and indices, and find every fixed-size
// extension block in the form GIF89a defines (graphic control: 4 bytes then the terminator; plain text:
// 12 bytes). Any disagreement aborts, which the fuzzer reports as a fault.

#include <gif_lib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace giflib_check {

// One image as we wrote it: bounds and one index a pixel, rows top to bottom.
struct TImage {
    int Left, Top, Width, Height;
    const std::uint8_t* Pixels; // nullptr: the indices are not compared
};

struct TSource {
    const std::vector<std::uint8_t>* Data;
    std::size_t At;
};

inline int ReadFromSource(GifFileType* gif, GifByteType* buffer, int n) {
    auto* source = static_cast<TSource*>(gif->UserData);
    const std::size_t left = source->Data->size() - source->At;
    const std::size_t k = static_cast<std::size_t>(n) < left ? static_cast<std::size_t>(n) : left;
    std::memcpy(buffer, source->Data->data() + source->At, k);
    source->At += k;
    return static_cast<int>(k);
}

inline void CheckExtensions(const ExtensionBlock* blocks, int count) {
    for (int e = 0; e < count; ++e) {
        const bool continued = e + 1 < count && blocks[e + 1].Function == CONTINUE_EXT_FUNC_CODE;
        if (blocks[e].Function == GRAPHICS_EXT_FUNC_CODE && (blocks[e].ByteCount != 4 || continued))
            std::abort();
        if (blocks[e].Function == PLAINTEXT_EXT_FUNC_CODE && blocks[e].ByteCount != 12) std::abort();
    }
}

inline void Check(const std::vector<std::uint8_t>& written, const std::vector<TImage>& images) {
    TSource source{&written, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, ReadFromSource, &error);
    if (!gif) std::abort();
    if (DGifSlurp(gif) != GIF_OK) {
        // giflib refuses a file without any image, which GIF allows (we write extension-only frames).
        if (images.empty() && gif->Error == D_GIF_ERR_NO_IMAG_DSCR) {
            DGifCloseFile(gif, &error);
            return;
        }
        std::abort();
    }
    if (gif->ImageCount != static_cast<int>(images.size())) std::abort();
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& saved = gif->SavedImages[i];
        const TImage& ours = images[static_cast<std::size_t>(i)];
        const GifImageDesc& d = saved.ImageDesc;
        if (d.Left != ours.Left || d.Top != ours.Top || d.Width != ours.Width || d.Height != ours.Height)
            std::abort();
        const std::size_t pixels = static_cast<std::size_t>(d.Width) * static_cast<std::size_t>(d.Height);
        if (ours.Pixels && std::memcmp(saved.RasterBits, ours.Pixels, pixels) != 0) std::abort();
        CheckExtensions(saved.ExtensionBlocks, saved.ExtensionBlockCount);
    }
    CheckExtensions(gif->ExtensionBlocks, gif->ExtensionBlockCount);
    DGifCloseFile(gif, &error);
}

} // namespace giflib_check
