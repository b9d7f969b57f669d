#pragma once
// Building small GIF frames for the colour tests.

#include <cstdint>
#include <memory>
#include <vector>

#include "GIFExtensions.h"
#include "GIFPicture.h"
#include "GIFSubImage.h"

inline TGIFColor Rgb(int r, int g, int b) {
    return static_cast<TGIFColor>(r | (g << 8) | (b << 16));
}

// Appends a w x h frame at (left, top) with a local table of `colors` to the image. Pixels come
// from pixel(x, y); a transparent index >= 0 adds a graphic control extension marking it.
template <typename TPixel>
TGIFSubImage& AppendTestFrame(TGIFPicture& image, int left, int top, int w, int h,
                              const std::vector<TGIFColor>& colors, TPixel pixel, int transparent = -1) {
    auto frameOwned = std::make_unique<TGIFSubImage>(&image);
    auto* frame = frameOwned.get();
    frame->SetFrameBounds(left, top, w, h);
    for (TGIFColor c : colors)
        frame->ColorMap().AppendColor(c);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            frame->RowAt(y)[x] = static_cast<std::uint8_t>(pixel(x, y));
    if (transparent >= 0) {
        auto gceOwned = std::make_unique<TGIFGraphicControlExtension>(frame);
        auto* gce = gceOwned.get();
        frame->Extensions().AppendItem(std::move(gceOwned));
        gce->SetTransparent(true);
        gce->SetTransparentColorIndex(transparent);
    }
    image.AddFrame(std::move(frameOwned));
    return *frame;
}
