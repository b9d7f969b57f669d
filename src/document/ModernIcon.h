#pragma once
// The icon file with the entries today's desktops look for, built around the classic one: the classic
// 256-colour 32 × 32 entry first (its image bytes unchanged), then 32 × 32 in 32-bit BGRA with real alpha,
// then 16 × 16 in 8 bits and in 32 bits. The 16 × 16 pictures are area-averaged from the 32 × 32 one (each
// pixel the alpha-weighted mean of a 2 × 2 block); the 8-bit ones take their colours from the octree
// quantizer and show a pixel where its alpha is at least 128.

#include "PixelImage.h"

#include <cstdint>
#include <vector>

namespace ModernIcon {

// The 16 × 16 picture area-averaged from a 32 × 32 one (0xAARRGGBB with alpha).
TPixelImage HalfSize(const TPixelImage& picture);

// An 8-bit entry's picture as it shows: the colours its palette gives the pixels, alpha 0xFF, and alpha 0
// (colour black) where its AND mask is set.
struct TIndexed {
    std::vector<uint32_t> Palette; // 0x00RRGGBB, at most 256
    std::vector<uint8_t> Indices;  // one a pixel, rows top first
    std::vector<bool> Transparent; // the AND mask
    TPixelImage Shown(int side) const;
};
TIndexed Quantize(const TPixelImage& picture);

// The whole file: classicIcon is a one-entry 32 × 32 icon file as the classic export writes it; picture
// is the same 32 × 32 icon with alpha (0 where transparent).
std::vector<uint8_t> Encode(const std::vector<uint8_t>& classicIcon, const TPixelImage& picture);

} // namespace ModernIcon
