#pragma once
// Icon effects and colour replacement on the working picture, each over a rectangle of the surface
// (the whole 40 × 40 picture, or the inner 32 × 32 icon when the icon is kept without its border).
// Colours are surface colours (0xAARRGGBB); the alpha byte of every pixel is kept.

#include "Rect.h"
#include "Surface32.h"

#include <cstdint>

// Each colour channel c becomes 255 - c.
void InvertColors(TSurface32& surface, const TRect& area);
// Each pixel becomes the grey of its luminance, (299 R + 587 G + 114 B + 500) / 1000.
void Greyscale(TSurface32& surface, const TRect& area);
// Moves the picture by (dx, dy) cells; what leaves one side comes back on the other.
void ShiftWrapped(TSurface32& surface, const TRect& area, int dx, int dy);
// The tone a drop shadow takes on a background: each channel at two thirds.
uint32_t ShadowTone(uint32_t backColor);
// Every background pixel that lies one cell down-right of a pixel differing from the background
// becomes ShadowTone(backColor); other pixels stay.
void DropShadow(TSurface32& surface, const TRect& area, uint32_t backColor);
// Every background pixel among the eight neighbours of a pixel that differs from the background
// becomes drawColor; other pixels stay.
void Outline(TSurface32& surface, const TRect& area, uint32_t backColor, uint32_t drawColor);
// Every pixel of colour `from` becomes `to`; answers how many changed.
int ReplaceColor(TSurface32& surface, const TRect& area, uint32_t from, uint32_t to);
