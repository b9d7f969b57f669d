// Reads arbitrary bytes as a GIF file; whatever loads is written again (with both encoders) and
// the result read back, by our reader and by giflib, which must give the same images and index
// planes, and the extension blocks in the form other readers expect. (Extension-only frames may
// merge with the frame that follows them, so only frames with image data are compared.) A read is
// bounded to 16 Mi pixels (a 64 KB input could otherwise declare some 250 M), so that the per-input
// time limit marks slow paths, not large pictures.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "GiflibCheck.h"

#include "GIFException.h"
#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"
#include "Stream.h"

// Extension blocks and their data sub-blocks, as giflib keeps them (one entry each).
static std::size_t BlocksOf(const TGIFPicture& gif) {
    std::size_t blocks = 0;
    for (const TGIFSubImage* frame : gif.Images())
        for (const TGIFBaseExtension* ext : frame->Extensions()) {
            ++blocks;
            if (auto* comment = dynamic_cast<const TGIFCommentExtension*>(ext))
                blocks += comment->Text.size();
            if (auto* text = dynamic_cast<const TGIFTextExtension*>(ext)) blocks += text->Text.size();
            if (auto* app = dynamic_cast<const TGIFUnknownAppExtension*>(ext)) blocks += app->Blocks.size();
        }
    return blocks;
}

// A comment without any non-empty line is written as an extension without data sub-blocks, which GIF
// allows and other readers take, but giflib's DGifSlurp then reads the next byte as a sub-block size.
static bool HasEmptyComment(const TGIFPicture& gif) {
    for (const TGIFSubImage* frame : gif.Images())
        for (const TGIFBaseExtension* ext : frame->Extensions())
            if (auto* comment = dynamic_cast<const TGIFCommentExtension*>(ext)) {
                bool empty = true;
                for (const std::string& line : comment->Text)
                    empty = empty && line.empty();
                if (empty) return true;
            }
    return false;
}

static std::vector<TGIFSubImage*> ImagesOf(const TGIFPicture& gif) {
    std::vector<TGIFSubImage*> images;
    for (TGIFSubImage* frame : gif.Images())
        if (!frame->Empty()) images.push_back(frame);
    return images;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TGIFPicture gif;
    gif.OnCodecWarning = [](const TGIFObject*, int, const std::string&) {};
    gif.ReadLimits.MaxPixels = std::int64_t(1) << 24;
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
        // giflib grows its list of extension blocks one entry at a time, so thousands of them would
        // spend the per-input time limit inside giflib; such files, and those giflib cannot read for
        // an empty comment, are checked by our reader only.
        if (BlocksOf(gif) <= 1000 && !HasEmptyComment(gif)) {
            std::vector<giflib_check::TImage> images;
            for (const TGIFSubImage* frame : ImagesOf(gif))
                images.push_back(
                    {frame->Left(), frame->Top(), frame->Width(), frame->Height(), frame->Pixels()});
            giflib_check::Check(written, images);
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
