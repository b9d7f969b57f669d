// Reads arbitrary bytes as a GIF file; whatever loads is written again (with both encoders) and
// the result read back, which must give the same images and index planes. (Extension-only frames
// may merge with the frame that follows them, so only frames with image data are compared.)

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "GIFException.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"
#include "Stream.h"

static std::vector<TGIFSubImage*> ImagesOf(const TGIFPicture& gif) {
    std::vector<TGIFSubImage*> images;
    for (TGIFSubImage* frame : gif.Images())
        if (!frame->Empty()) images.push_back(frame);
    return images;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TGIFPicture gif;
    gif.OnCodecWarning = [](const TGIFObject*, int, const std::string&) {};
    try {
        gif.LoadFromBuffer(data, size);
    } catch (const EGIFException&) {
        return 0;
    }
    // Frames may claim up to 65536 pixels without data; re-encoding such giants adds time but no
    // new paths, so the write round trip runs on pictures of moderate size.
    std::size_t pixels = 0;
    for (TGIFSubImage* frame : gif.Images())
        pixels += frame->PixelBytes();
    if (pixels > 20000) return 0;
    for (TCompressionMethod method : {CompressLZW, CompressRLE}) {
        gif.CompressionMethod = method;
        std::vector<std::uint8_t> written;
        try {
            written = gif.SaveToBuffer();
        } catch (const EGIFException&) {
            return 0; // indices beyond the colour tables, or no frames
        }
        TGIFPicture again;
        again.LoadFromBuffer(written.data(), written.size()); // must not fail
        const std::vector<TGIFSubImage*> before = ImagesOf(gif), after = ImagesOf(again);
        if (before.size() != after.size()) std::abort();
        for (std::size_t i = 0; i < before.size(); ++i) {
            const TGIFSubImage* a = before[i];
            const TGIFSubImage* b = after[i];
            if (a->PixelBytes() != b->PixelBytes() || a->Left() != b->Left() || a->Top() != b->Top())
                std::abort();
            for (std::size_t k = 0; k < a->PixelBytes(); ++k)
                if (a->Pixels()[k] != b->Pixels()[k]) std::abort();
        }
    }
    return 0;
}
