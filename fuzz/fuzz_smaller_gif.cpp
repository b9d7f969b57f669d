// Builds a small animation from arbitrary bytes and saves it twice, plainly and as the smaller file
// ("Optimise file size"): giflib reads both, each is composed frame by frame as a browser composes it,
// and every composed frame must be the same in both; every index written, the transparent one too,
// must name an entry of the global table. A crash, a sanitizer report or any difference is a fault.
//
// The bytes: the number of frames (2 to 9), the number of colours (2 to 40), flags (colour 0 is the
// transparent colour of a save without border; eight times the colours, more than one table holds, for
// at most 4 frames), then for each frame after the first the rectangles it
// paints over a copy of the frame before (x, y, width, height, colour), so that frames share most
// pixels as an animation's frames do.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "DocumentGif.h"
#include "GIFPicture.h"
#include "GiflibCheck.h"
#include "Surface32.h"

namespace {

constexpr int Side = 40;
constexpr std::uint32_t Nothing = 0x01000000; // "nothing drawn here", never a 0x00RRGGBB colour

// The composed screen after each frame, as giflib reads the file.
std::vector<std::vector<std::uint32_t>> Compose(const std::vector<std::uint8_t>& file) {
    giflib_check::TSource source{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, giflib_check::ReadFromSource, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK || !gif->SColorMap) std::abort();
    const int width = gif->SWidth, height = gif->SHeight;
    std::vector<std::uint32_t> screen(static_cast<std::size_t>(width) * height, Nothing);
    std::vector<std::vector<std::uint32_t>> out;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const GifImageDesc& d = image.ImageDesc;
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, i, &gcb);
        if (gcb.TransparentColor >= map->ColorCount) std::abort();
        if (d.Left < 0 || d.Top < 0 || d.Left + d.Width > width || d.Top + d.Height > height) std::abort();
        const std::vector<std::uint32_t> before = screen;
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x) {
                const int index = image.RasterBits[y * d.Width + x];
                if (index >= map->ColorCount) std::abort();
                if (index == gcb.TransparentColor) continue;
                const GifColorType c = map->Colors[index];
                screen[static_cast<std::size_t>(d.Top + y) * width + d.Left + x] =
                    static_cast<std::uint32_t>(c.Red) << 16 | static_cast<std::uint32_t>(c.Green) << 8 |
                    c.Blue;
            }
        out.push_back(screen);
        if (gcb.DisposalMode == DISPOSE_BACKGROUND)
            for (int y = 0; y < d.Height; ++y)
                for (int x = 0; x < d.Width; ++x)
                    screen[static_cast<std::size_t>(d.Top + y) * width + d.Left + x] = Nothing;
        if (gcb.DisposalMode == DISPOSE_PREVIOUS) screen = before;
    }
    DGifCloseFile(gif, &error);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    std::size_t at = 0;
    auto next = [&]() -> int { return at < size ? data[at++] : 0; };
    int frames = 2 + next() % 8;
    int colors = 2 + next() % 39;
    const int flags = next();
    const bool withoutBorder = (flags & 1) != 0;
    if (flags & 2) { // up to 320 colours: frames then need tables of their own; at most 4 frames (time)
        colors *= 8;
        frames = 2 + frames % 3;
    }

    std::vector<std::uint32_t> palette(static_cast<std::size_t>(colors));
    for (int c = 0; c < colors; ++c)
        palette[static_cast<std::size_t>(c)] = 0xFF000000u |
                                               static_cast<std::uint32_t>((c * 6) & 0xFF) << 16 |
                                               static_cast<std::uint32_t>((255 - c * 5) & 0xFF) << 8 |
                                               static_cast<std::uint32_t>((c * 97 + c / 43) & 0xFF);
    const std::uint32_t transparent = palette[0] & 0x00FFFFFFu;

    auto picture = GifFrames::MakeDocumentPicture();
    TSurface32 frame(Side, Side);
    frame.FillAll(palette[0]);
    for (int f = 0; f < frames; ++f) {
        if (f > 0) {
            const int rectangles = next() % 5;
            for (int r = 0; r < rectangles; ++r) {
                const int x = next() % Side, y = next() % Side;
                const int w = 1 + next() % 16, h = 1 + next() % 16;
                const std::uint32_t colour = palette[static_cast<std::size_t>(next() % colors)];
                for (int yy = y; yy < y + h && yy < Side; ++yy)
                    for (int xx = x; xx < x + w && xx < Side; ++xx)
                        frame.SetPixel(xx, yy, colour);
            }
        } else {
            // The first frame: a few rows of colours from the bytes.
            for (int y = 0; y < Side; y += 4)
                for (int x = 0; x < Side; x += 4) {
                    const std::uint32_t colour = palette[static_cast<std::size_t>(next() % colors)];
                    for (int yy = y; yy < y + 4; ++yy)
                        for (int xx = x; xx < x + 4; ++xx)
                            frame.SetPixel(xx, yy, colour);
                }
        }
        GifFrames::AppendFrame(*picture, frame, 10);
    }
    const auto plain = GifFrames::EncodeAnimation(*picture, withoutBorder, transparent, 0, false);
    const auto small = GifFrames::EncodeAnimation(*picture, withoutBorder, transparent, 0, true);
    if (Compose(small) != Compose(plain)) std::abort();
    return 0;
}
