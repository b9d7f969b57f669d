#pragma once
// Reducing the colours of the working picture: an octree palette of at most `colors` colours of the
// area's own pixels, then every pixel of the area mapped to it with one of the ditherers (0 nearest
// colour, 1 Floyd–Steinberg, 2 Stucki, 3 Sierra, 4 Jarvis–Judice–Ninke, 5 Stevenson–Arce, 6 Burkes).
// Pixels outside the area and the alpha bytes are kept.

#include "Rect.h"
#include "Surface32.h"

constexpr int MinReducedColors = 2;
constexpr int MaxReducedColors = 256;
constexpr int DitherMethodCount = 7;

// colors is clamped to 2..256, an unknown dither method counts as 0. A picture that already has no
// more colours than asked is left exactly as it is.
void ReduceColors(TSurface32& surface, const TRect& area, int colors, int ditherMethod);
