#pragma once
// A plain true-colour picture as the file readers hand it over: rows top first, one 0xAARRGGBB value a
// pixel (the surface encoding), plus an optional one-bit transparency mask (true = transparent).

#include <cstddef>
#include <cstdint>
#include <vector>

struct TPixelImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;  // Width * Height, row-major, top row first
    std::vector<bool> Transparent; // empty, or Width * Height entries (icons: the AND mask)

    TPixelImage() = default;
    TPixelImage(int width, int height, uint32_t fill = 0xFF000000u)
        : Width(width), Height(height), Pixels(static_cast<size_t>(width) * height, fill) {}

    uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
    uint32_t& At(int x, int y) { return Pixels[static_cast<size_t>(y) * Width + x]; }
    bool IsTransparent(int x, int y) const {
        return !Transparent.empty() && Transparent[static_cast<size_t>(y) * Width + x];
    }
};

// A picture's pixel as drawn over the pixel under it: an alpha between 0 and 255 mixes the two, any other
// alpha draws the pixel opaquely (pictures without an alpha channel leave it 0 or 0xFF).
inline uint32_t DrawnOver(uint32_t pixel, uint32_t under) {
    const uint32_t a = pixel >> 24;
    if (a == 0 || a == 0xFF) return pixel | 0xFF000000u;
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t s = (pixel >> shift) & 0xFFu, t = (under >> shift) & 0xFFu;
        out |= ((s * a + t * (255u - a) + 127u) / 255u) << shift;
    }
    return out;
}
